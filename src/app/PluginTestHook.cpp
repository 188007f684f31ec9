#include "app/PluginTestHook.h"

#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/WKApplication.h"

namespace {

void InvertImage(TWKGraphicsDocument& document) {
  const TWKBitmapStorage& rows = document.CurrentImage.Storage();
  for (int32_t y = 0; y < rows.Height; ++y) {
    uint8_t* row = rows.Bits + static_cast<ptrdiff_t>(y) * rows.RowBytes;
    for (int32_t i = 0; i < rows.Width * 3; ++i) row[i] = static_cast<uint8_t>(255 - row[i]);
  }
  document.SetSaved(false);
  document.MarkDirty(document.ImageRect(), true);
}

}  // namespace

bool InstallPluginTestHook(TWKGraphicsEditor& editor) {
  const char* action = std::getenv("QUILLMOOR_TEST_PLUGIN_EDIT");
  if (action == nullptr || *action == '\0') return false;
  const std::string what = action;
  QTimer::singleShot(0, [&editor, what] {
    TWKGraphicsDocument* document = editor.CurrentImageDocument();
    if (!editor.PluginMode() || document == nullptr) return;
    if (TWKApplication* app = Application()) std::fprintf(stderr, "title: %s\n", app->GetTitle().c_str());
    if (what == "cancel") {
      editor.PluginCancelClick();
      return;
    }
    if (what == "invert") InvertImage(*document);
    editor.PluginApplyClick();
  });
  return true;
}
