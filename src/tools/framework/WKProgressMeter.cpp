#include "tools/framework/WKProgressMeter.h"

namespace {
TProgressMeter* GlobalMeter = nullptr;
}

void TProgressMeter::Reset(int32_t count) {
  Maximum_ = count > 0 ? count : DefaultMaximum_;
  Position_ = 0;
  if (Bar_ == nullptr) return;
  Bar_->SetRange(Maximum_);
  Bar_->SetPosition(0);
}

void TProgressMeter::Step() {
  if (Position_ >= Maximum_) return;
  ++Position_;
  if (Bar_ != nullptr) Bar_->SetPosition(Position_);
}

TProgressMeter* ProgressMeter() { return GlobalMeter; }
void SetProgressMeter(TProgressMeter* meter) { GlobalMeter = meter; }
