// The image editor of the running program over windows that do nothing, with a photo opened from
// a file as a user would: the setting of the benchmarks that drive tools through the view.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/WKApplication.h"
#include "platform/codec/StillImageCodec.h"
#include "support/NullWindows.h"
#include "view/WKGraphicsView.h"

// A temporary file of that extension for this process.
inline std::string BenchFile(const std::string& stem, const std::string& extension) {
  return (std::filesystem::temp_directory_path() / (stem + "_" + std::to_string(::getpid()) + extension)).string();
}

// Views get the window factory installed before (none: windows that do nothing). Tools are made
// by the benchmark after construction, then Open.
struct TEditorProgram {
  TWKApplication App;
  TNullWindow Window;
  TNullDialogs Dialogs;
  TWKGraphicsEditor* Editor = nullptr;

  TEditorProgram() {
    if (!TWKGraphicsView::HasWindowFactory())
      TWKGraphicsView::SetWindowFactory([](TWKGraphicsView&) { return std::make_unique<TClientWindow>(); });
    InstallGraphicsViews();
    Editor = App.CreateModule<TWKGraphicsEditor>(Window, Window, Dialogs);
  }
  // Opens the file and removes it.
  void Open(const std::string& path) {
    TWKDocument* doc = nullptr;
    Editor->OpenFile(path, doc, false);
    std::filesystem::remove(path);
  }
  TWKGraphicsView* View() const { return Editor->CurrentView(); }
  TWKGraphicsDocument* Document() const { return Editor->CurrentImageDocument(); }
  TPoint Client(TPoint image) const { return View()->MapMode().DocToDev(image); }
};
