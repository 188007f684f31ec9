#include "documents/WKBackgroundDecode.h"

namespace {

thread_local const TWKBackgroundDecode* InScope = nullptr;

}  // namespace

TWKBackgroundDecode::TWKBackgroundDecode(THooks hooks) : Hooks_(std::move(hooks)), Outer_(InScope) {
  InScope = this;
}

TWKBackgroundDecode::~TWKBackgroundDecode() { InScope = Outer_; }

const TWKBackgroundDecode* TWKBackgroundDecode::Current() { return InScope; }
