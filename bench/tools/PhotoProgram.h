// The editor program with a 24-megapixel photo made in memory: the setting of the tool benchmarks
// that time whole-image steps.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "documents/WKGraphicsDocument.h"
#include "platform/codec/StillImageCodec.h"
#include "support/EditorProgram.h"

namespace tool_bench {

inline constexpr int32_t PhotoWidth = 6000, PhotoHeight = 4000;

struct TPhotoProgram : TEditorProgram {
  // Opens a small file, then gives the document a noisy gradient of PhotoWidth × PhotoHeight in
  // both images, as opening a photo that size would.
  bool OpenPhoto() {
    const std::string path = BenchFile("qm_tool_bench", ".png");
    std::vector<uint8_t> small(8 * 24, 128);
    TCodecError error;
    if (!TStillImageCodec::SaveToFile("image/png", {small.data(), 24, 8, 8}, {}, path, error)) return false;
    Open(path);
    TWKGraphicsDocument* doc = Document();
    if (doc == nullptr || !doc->SetImageSize(PhotoWidth, PhotoHeight)) return false;
    std::mt19937 random(42);
    const TWKPixels& p = *doc->CurrentPixels();
    for (int32_t y = 0; y < p.Height; ++y) {
      uint8_t* row = p.PixelAddress(0, y);
      for (int32_t x = 0; x < p.Width * 3; ++x) row[x] = static_cast<uint8_t>((x / 3 + y) / 40 + (random() & 31));
    }
    if (!doc->CurrentImageLoaded()) return false;
    doc->ImageChanged();
    Editor->FitNewImage();
    return View() != nullptr;
  }
};

}  // namespace tool_bench
