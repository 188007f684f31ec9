// The fourth layer of the painting tools: the mean colour of the image around any pixel, over a
// disc of diameter Smoothing that leaves the pixel itself out, cached for the length of a
// stroke. The smudge and make-up tools paint with it.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/brush/NeighbourhoodAverage.h"
#include "tools/brush/WKBrushTool.h"

class TWKCustomBlurBrushTool : public TWKBrushTool {
 public:
  explicit TWKCustomBlurBrushTool(TWKComponent* owner);
  ~TWKCustomBlurBrushTool() override;

  // The means computed in this stroke; a tool sizes it before use (the smudge tool to the image
  // when its stroke begins). New bounds hold no means.
  TWKAverageCache AverageCache;
  // 255 on the disc of diameter Smoothing, 0 at its centre: a pixel never averages itself.
  TWKPixelMask SmoothingMask;

  int32_t Smoothing() const { return Smoothing_; }
  bool SmoothingFollowsSize() const { return SmoothingFollowsSize_; }
  // Ignored unless the value differs and lies in MinSize..MaxSize.
  virtual void SetSmoothing(int32_t value);
  virtual void SmoothingChanged();
  // With the smoothing following the size, SetSize also sets Smoothing.
  void SetSize(int32_t value) override;
  void SetSmoothingFollowsSize(bool value);
  void BindSmoothingTrackBar(IWKTrackBar* trackBar);
  IWKTrackBar* SmoothingTrackBar() const { return SmoothingTrackBar_; }
  void BindFrame(IWKToolFrame& frame) override;
  void EndStroke() override;

  // The mean of the backup's pixels under SmoothingMask centred on (x, y), counting only pixels
  // inside the image; cached where the cache covers (x, y). When no pixel counts (a disc of the
  // centre alone, or off the image) the backup's own pixel, uncached; black off the image.
  TBGRPixel AveragePixel(int32_t x, int32_t y);
  // Computes the means of every pixel of rect at once (row sums: one step per disc row and
  // pixel). A tool that reads the mean of every pixel of a stamp calls this first.
  void PrepareAverages(const TRect& rect);

  void AfterConstruction() override;
  bool ExecuteScriptCommand(const std::string& command, const TWKCustomProperties& params) override;
  bool GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) override;

 private:
  // The backup the means are taken from: the transaction's, else the current document's.
  const TWKPixels* AverageSource() const;

  int32_t Smoothing_ = 0;
  bool SmoothingFollowsSize_ = false;
  IWKTrackBar* SmoothingTrackBar_ = nullptr;
  std::vector<TMaskRun> SmoothingRuns_;
};
