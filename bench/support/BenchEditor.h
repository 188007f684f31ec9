// The image editor without a display, showing a photo that the benchmark painted: for
// benchmarks that drive a tool through the editor, its view and its document.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/WKApplication.h"
#include "platform/codec/StillImageCodec.h"
#include "support/NullWindows.h"
#include "view/WKGraphicsView.h"

struct TBenchEditor {
  TWKApplication App;
  TNullWindow Window;
  TNullDialogs Dialogs;
  TWKGraphicsEditor* Editor = nullptr;

  TBenchEditor() {
    TWKGraphicsView::SetWindowFactory(
        [](TWKGraphicsView&) { return std::make_unique<TClientWindow>(); });
    InstallGraphicsViews();
    Editor = App.CreateModule<TWKGraphicsEditor>(Window, Window, Dialogs);
  }

  // Paints width × height B, G, R rows, writes them as a PNG in the temporary folder and opens
  // that; false when it did not open.
  bool OpenPainted(int32_t width, int32_t height,
                   const std::function<void(uint8_t* bits, ptrdiff_t rowBytes)>& paint) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("qm_bench_" + std::to_string(::getpid()) + ".png"))
                                 .string();
    const ptrdiff_t rowBytes = (width * 3 + 3) & ~3;
    std::vector<uint8_t> bits(static_cast<size_t>(rowBytes) * height);
    paint(bits.data(), rowBytes);
    TCodecError err;
    TStillImageCodec::SaveToFile("image/png", {bits.data(), rowBytes, width, height}, {}, path,
                                 err);
    TWKDocument* doc = nullptr;
    Editor->OpenFile(path, doc, false);
    std::filesystem::remove(path);
    return Document() != nullptr;
  }

  TWKGraphicsView* View() const { return Editor->CurrentView(); }
  TWKGraphicsDocument* Document() const { return Editor->CurrentImageDocument(); }
};
