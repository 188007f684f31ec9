#include "documents/WKImageView.h"

namespace {

TWKViewMakers& Makers() {
  static TWKViewMakers makers;
  return makers;
}

}  // namespace

void SetViewMakers(TWKViewMakers makers) { Makers() = std::move(makers); }
const TWKViewMakers& ViewMakers() { return Makers(); }
