// The brush benchmarks' program: the image editor with the pupil, gleam and a plain darkening
// brush on the red-eye benchmarks' 24-megapixel scene, opened from a file as a user would.
#pragma once

#include "RedEyeScene.h"
#include "support/EditorProgram.h"
#include "tools/brush/BrushMasks.h"
#include "tools/eyes/GlareTool.h"
#include "tools/eyes/SpotTool.h"

namespace brush_bench {

using redeye_bench::H;
using redeye_bench::Pupil;
using redeye_bench::W;

// Darkens toward black through the stroke's per-pixel maximum, as the smudge, undo brush and
// emphasis tools blend toward their targets; up to size 100.
class TDarkenBrush : public TWKBrushTool {
 public:
  explicit TDarkenBrush(TWKComponent* owner) : TWKBrushTool(owner) {
    ScriptName = "Darken";
    MaxSize = 100;
    Accumulate = true;
  }
  void ApplyToRect(const TRect& rect) override {
    for (int32_t y = rect.Top; y < rect.Bottom; ++y)
      BlendRowTowardGrey(CurrentPixels()->PixelAddress(rect.Left, y), Backup()->PixelAddress(rect.Left, y),
                         CurrentMask().ByteAddress(rect.Left, y), rect.Width(), 0);
  }
};

struct TProgram : TEditorProgram {
  TWKPupilTool* PupilTool = nullptr;
  TWKGlareTool* Glare = nullptr;
  TDarkenBrush* Brush = nullptr;

  TProgram() {
    PupilTool = CreateTool<TWKPupilTool>(&App, nullptr);
    Glare = CreateTool<TWKGlareTool>(&App);
    Brush = CreateTool<TDarkenBrush>(&App);
    Open(redeye_bench::WriteScene("image/tiff", BenchFile("qm_brush_bench", ".tif")));
  }
};

}  // namespace brush_bench
