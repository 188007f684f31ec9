#include "app/TestHooks.h"

#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/Composition.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "documents/WKLoadProgress.h"
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

// Once the command line's file has opened (it opens after the main window shows).
void InstallPluginEdit(TWKGraphicsEditor& editor, const std::string& what, int delay = 0) {
  QTimer::singleShot(delay, [&editor, what] {
    if (editor.StartupOpenPending()) {
      InstallPluginEdit(editor, what, 10);
      return;
    }
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
}

class TStandardErrorMessages : public IWKMessageBoxService {
 public:
  int MessageBox(const std::string& text, const std::string&, int flags) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
    const int buttons = flags & MB_BUTTONMASK;
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDNO : IDOK;
  }
};

// Once the open of the command line's file is over (it starts after the main window shows; a long
// one runs the message loop while it shows its progress), reports what is open and closes the
// main window.
void ReportAndQuit(TWKGraphicsEditor& editor) {
  if (editor.StartupOpenPending() || TWKLoadProgress::Running()) {
    QTimer::singleShot(20, [&editor] { ReportAndQuit(editor); });
    return;
  }
  if (const TWKGraphicsDocument* document = editor.CurrentImageDocument())
    std::fprintf(stderr, "opened: %d x %d\n", document->CurrentImage.Width(), document->CurrentImage.Height());
  else
    std::fprintf(stderr, "opened: none\n");
  TWKApplication* app = Application();
  if (auto* window = dynamic_cast<QWidget*>(app != nullptr ? app->MainForm() : nullptr)) window->close();
}

void InstallQuitAfterStart(TWKGraphicsEditor& editor) {
  if (TWKApplication* app = Application()) app->SetMessageBoxService(std::make_unique<TStandardErrorMessages>());
  QTimer::singleShot(0, [&editor] { ReportAndQuit(editor); });
}

bool InstallTestHooks(TWKGraphicsEditor& editor) {
  const char* edit = std::getenv("QUILLMOOR_TEST_PLUGIN_EDIT");
  const bool editing = edit != nullptr && *edit != '\0';
  if (editing) InstallPluginEdit(editor, edit);
  const char* quit = std::getenv("QUILLMOOR_TEST_QUIT_AFTER_START");
  const bool quitting = quit != nullptr && *quit != '\0';
  if (quitting) InstallQuitAfterStart(editor);
  return editing || quitting;
}

// Linked into the test program only: the composition calls the hooks once the editor exists.
[[maybe_unused]] const bool kInstalled = (SetEditorTestHook(InstallTestHooks), true);

}  // namespace
