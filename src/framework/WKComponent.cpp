#include "framework/WKComponent.h"

#include <algorithm>

TWKComponent::TWKComponent(TWKComponent* owner) : Owner_(owner) {
  if (Owner_ != nullptr) Owner_->Components_.push_back(this);
}

TWKComponent::~TWKComponent() {
  DestroyComponents();
  if (Owner_ == nullptr) return;
  auto& list = Owner_->Components_;
  const auto it = std::find(list.rbegin(), list.rend(), this);
  if (it == list.rend()) return;
  list.erase(std::next(it).base());
  Owner_->ComponentRemoved(this);
}

void TWKComponent::DestroyComponents() {
  while (!Components_.empty()) delete Components_.back();
}
