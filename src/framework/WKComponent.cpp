#include "framework/WKComponent.h"

#include <algorithm>

TWKComponent::TWKComponent(TWKComponent* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->components_.push_back(this);
}

TWKComponent::~TWKComponent() {
  DestroyComponents();
  if (owner_ == nullptr) return;
  auto& list = owner_->components_;
  const auto it = std::find(list.rbegin(), list.rend(), this);
  if (it == list.rend()) return;
  list.erase(std::next(it).base());
  owner_->ComponentRemoved(this);
}

void TWKComponent::DestroyComponents() {
  while (!components_.empty()) delete components_.back();
}
