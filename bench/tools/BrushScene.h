// The brush benchmarks' program: the image editor with the pupil, gleam and a plain darkening
// brush on the red-eye benchmarks' 24-megapixel scene, opened from a file as a user would.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "RedEyeScene.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/WKApplication.h"
#include "platform/codec/StillImageCodec.h"
#include "support/NullWindows.h"
#include "tools/brush/BrushMasks.h"
#include "tools/eyes/GlareTool.h"
#include "tools/eyes/SpotTool.h"
#include "view/WKGraphicsView.h"

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

inline std::string WritePhoto() {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("qm_brush_bench_" + std::to_string(::getpid()) + ".tif")).string();
  const ptrdiff_t rowBytes = (W * 3 + 3) & ~3;
  std::vector<uint8_t> bits(static_cast<size_t>(rowBytes) * H);
  redeye_bench::PaintScene(bits.data(), rowBytes);
  TCodecError err;
  TStillImageCodec::SaveToFile("image/tiff", {bits.data(), rowBytes, W, H}, {}, path, err);
  return path;
}

// The view windows come from the factory installed before (none: windows that do nothing).
struct TProgram {
  TWKApplication App;
  TNullWindow Window;
  TNullDialogs Dialogs;
  TWKGraphicsEditor* Editor = nullptr;
  TWKPupilTool* PupilTool = nullptr;
  TWKGlareTool* Glare = nullptr;
  TDarkenBrush* Brush = nullptr;

  TProgram() {
    if (!TWKGraphicsView::HasWindowFactory())
      TWKGraphicsView::SetWindowFactory([](TWKGraphicsView&) { return std::make_unique<TClientWindow>(); });
    Editor = App.CreateModule<TWKGraphicsEditor>(Window, Window, Dialogs);
    PupilTool = CreateTool<TWKPupilTool>(&App, nullptr);
    Glare = CreateTool<TWKGlareTool>(&App);
    Brush = CreateTool<TDarkenBrush>(&App);
    const std::string path = WritePhoto();
    TWKDocument* doc = nullptr;
    Editor->OpenFile(path, doc, false);
    std::filesystem::remove(path);
  }
  TWKGraphicsView* View() const { return Editor->CurrentView(); }
  TWKGraphicsDocument* Document() const { return Editor->CurrentImageDocument(); }
  TPoint Client(TPoint image) const { return View()->MapMode().DocToDev(image); }
};

}  // namespace brush_bench
