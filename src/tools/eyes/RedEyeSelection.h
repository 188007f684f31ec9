// The pupil selection of the red-eye tool: a fill from the clicked pixel over pixels of
// similar colour, limited to a square around the click, then grown or shrunk by whole pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/WKBitmap.h"
#include "imaging/WKTypes.h"
#include "tools/eyes/WKPixelSet.h"

class TRedEyeSelection {
 public:
  static constexpr int32_t SearchSize = 175;
  static constexpr int32_t MaxBorder = 5;

  // Grows the selection on source from click. toleranceBase is 255 - AreaSize, border grows
  // (> 0) or shrinks (< 0) the result by that many pixels (limited to -5..5). Returns whether
  // anything is selected; a click off the image, or a source that is not a 24/32-bit surface,
  // reads nothing and selects nothing.
  bool Select(const TWKPixels& source, TPoint click, int32_t toleranceBase, int32_t border);

  // The colour and distance threshold for a tolerance base: max(0, 220 - base) div 2.
  static int32_t Threshold(int32_t toleranceBase);

  const TWKPixelSet& Region() const { return Region_; }
  bool IsEmpty() const { return Region_.IsEmpty(); }
  // The region's bounding box grown by one pixel, within the source; empty for no selection.
  TRect SelectionBounds() const;
  // The region's membership blurred with 1-2-1 / 2-4-2 / 1-2-1, scaled to 0..255.
  uint8_t CoverageAt(int32_t x, int32_t y) const;

  TRect SearchRect() const { return SearchRect_; }
  TRect SourceBounds() const { return SourceBounds_; }
  TPoint Click() const { return Click_; }
  int32_t ToleranceBase() const { return ToleranceBase_; }
  int32_t Border() const { return Border_; }

  // Figures of the last fill for the diagnostic line.
  int64_t StackPushes() const { return Pushes_; }
  double ElapsedMs() const { return ElapsedMs_; }
  // "Stack iterations: <pushes> Time: <ms>", for the platform's debug output.
  std::string DiagnosticLine() const;

 private:
  std::vector<uint8_t> Candidates(const TWKPixels& source, int32_t threshold) const;
  void Fill(const TWKPixels& source, int32_t threshold);
  void ApplyBorder();

  TWKPixelSet Region_;
  TRect SourceBounds_;
  TRect SearchRect_;
  TPoint Click_;
  int32_t ToleranceBase_ = 0;
  int32_t Border_ = 0;
  int64_t Pushes_ = 0;
  double ElapsedMs_ = 0;
};
