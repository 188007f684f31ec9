// The image editor over windows that do nothing, with a 24-megapixel photo made in memory: the
// setting of the tool benchmarks that time whole-image steps.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/WKApplication.h"
#include "platform/codec/StillImageCodec.h"
#include "support/NullWindows.h"
#include "view/WKGraphicsView.h"

namespace tool_bench {

inline constexpr int32_t PhotoWidth = 6000, PhotoHeight = 4000;

struct TPhotoProgram {
  TWKApplication App;
  TNullWindow Window;
  TNullDialogs Dialogs;
  TWKGraphicsEditor* Editor = nullptr;

  TPhotoProgram() {
    TWKGraphicsView::SetWindowFactory([](TWKGraphicsView&) { return std::make_unique<TClientWindow>(); });
    InstallGraphicsViews();
    Editor = App.CreateModule<TWKGraphicsEditor>(Window, Window, Dialogs);
  }

  // Opens a small file, then gives the document a noisy gradient of PhotoWidth × PhotoHeight in
  // both images, as opening a photo that size would.
  bool OpenPhoto() {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("qm_tool_bench_" + std::to_string(::getpid()) + ".png")).string();
    std::vector<uint8_t> small(8 * 24, 128);
    TCodecError error;
    if (!TStillImageCodec::SaveToFile("image/png", {small.data(), 24, 8, 8}, {}, path, error)) return false;
    TWKDocument* opened = nullptr;
    const bool ok = Editor->OpenFile(path, opened, false);
    std::filesystem::remove(path);
    TWKGraphicsDocument* doc = Document();
    if (!ok || doc == nullptr || !doc->SetImageSize(PhotoWidth, PhotoHeight)) return false;
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

  TWKGraphicsDocument* Document() const { return Editor->CurrentImageDocument(); }
  TWKGraphicsView* View() const { return Editor->CurrentView(); }
};

}  // namespace tool_bench
