#include "tools/brush/WKCustomBlurBrushTool.h"

#include "documents/WKGraphicsDocument.h"
#include "tools/brush/BrushMasks.h"
#include "tools/brush/BrushNames.h"
#include "tools/framework/WKToolFrame.h"

TWKCustomBlurBrushTool::TWKCustomBlurBrushTool(TWKComponent* owner) : TWKBrushTool(owner) {}

TWKCustomBlurBrushTool::~TWKCustomBlurBrushTool() = default;

void TWKCustomBlurBrushTool::AfterConstruction() {
  TWKBrushTool::AfterConstruction();
  SetSmoothingFollowsSize(true);
}

void TWKCustomBlurBrushTool::SetSmoothing(int32_t value) {
  if (value == Smoothing_ || value < MinSize || value > MaxSize) return;
  Smoothing_ = value;
  SmoothingChanged();
  if (SmoothingTrackBar_ != nullptr) SmoothingTrackBar_->SetPosition(Smoothing_);
  RecordValue("Smoothing", Smoothing_);
}

void TWKCustomBlurBrushTool::SmoothingChanged() {
  BuildDiscMask(SmoothingMask, Smoothing_, 255);
  if (uint8_t* centre = SmoothingMask.ByteAddress(0, 0)) *centre = 0;
  SmoothingRuns_ = MaskRuns(SmoothingMask);
  // Means of another disc are no longer valid.
  const TRect cached = AverageCache.BoundsRect();
  if (!cached.IsEmpty()) AverageCache.SetBounds(cached);
}

void TWKCustomBlurBrushTool::SetSize(int32_t value) {
  TWKBrushTool::SetSize(value);
  if (SmoothingFollowsSize_) SetSmoothing(Size());
}

void TWKCustomBlurBrushTool::SetSmoothingFollowsSize(bool value) {
  SmoothingFollowsSize_ = value;
  if (value) SetSmoothing(Size());
}

void TWKCustomBlurBrushTool::BindSmoothingTrackBar(IWKTrackBar* trackBar) {
  SmoothingTrackBar_ = trackBar;
  BindTrackBar(trackBar, MinSize, MaxSize, MaxSize / 10, Smoothing_,
               [this](int32_t v) { SetSmoothing(v); });
}

void TWKCustomBlurBrushTool::BindFrame(IWKToolFrame& frame) {
  TWKBrushTool::BindFrame(frame);
  if (IWKTrackBar* bar = frame.TrackBar(BrushNames::SmoothingControl)) BindSmoothingTrackBar(bar);
}

void TWKCustomBlurBrushTool::EndStroke() {
  AverageCache.Clear();
  TWKBrushTool::EndStroke();
}

const TWKPixels* TWKCustomBlurBrushTool::AverageSource() const {
  if (Backup() != nullptr) return Backup();
  TWKGraphicsDocument* doc = CurrentDocument();
  return doc != nullptr && doc->Backup.Bits != nullptr ? &doc->Backup : nullptr;
}

TBGRPixel TWKCustomBlurBrushTool::AveragePixel(int32_t x, int32_t y) {
  if (const uint8_t* cached = AverageCache.Find(x, y)) return TBGRPixel{cached[0], cached[1], cached[2]};
  const TWKPixels* source = AverageSource();
  if (source == nullptr) return TBGRPixel{};
  TBGRPixel mean;
  if (DiscAverage(*source, SmoothingRuns_, x, y, mean)) {
    AverageCache.Store(x, y, mean);
    return mean;
  }
  if (!source->BoundsRect().Contains(x, y)) return TBGRPixel{};
  const uint8_t* p = source->PixelAddress(x, y);
  return TBGRPixel{p[0], p[1], p[2]};
}

void TWKCustomBlurBrushTool::PrepareAverages(const TRect& rect) {
  if (const TWKPixels* source = AverageSource()) CacheDiscAverages(*source, SmoothingRuns_, rect, AverageCache);
}

bool TWKCustomBlurBrushTool::ExecuteScriptCommand(const std::string& command,
                                                  const TWKCustomProperties& params) {
  return RunIntegerCommand(command, "SMOOTHING", params, [this](int32_t v) { SetSmoothing(v); }) ||
         TWKBrushTool::ExecuteScriptCommand(command, params);
}

bool TWKCustomBlurBrushTool::GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) {
  return ThumbPoint(params, "SMOOTHING", SmoothingTrackBar_, point) ||
         TWKBrushTool::GetScriptCommandPoint(params, point);
}
