#include "app/StartupReport.h"

#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <fstream>
#include <string>

#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"
#include "framework/qt/CommonDataModule.h"

namespace {

// Once the command line's file has opened.
void ReportOnceOpen(TWKGraphicsEditor& editor, const std::string& reportFile, int delay = 0) {
  QTimer::singleShot(delay, [&editor, reportFile] {
    if (editor.StartupOpenPending()) {
      ReportOnceOpen(editor, reportFile, 10);
      return;
    }
    TWKApplication* app = Application();
    std::ofstream report(reportFile, std::ios::trunc);
    report << "title: " << (app != nullptr ? app->GetTitle() : std::string()) << "\n";
    if (const TWKGraphicsDocument* document = editor.CurrentImageDocument()) {
      report << "document: " << document->FileName << "\n";
      report << "size: " << document->CurrentImage.Width() << "x" << document->CurrentImage.Height() << "\n";
    }
    TWKLanguageList languages;
    GetLanguages(languages);
    report << "languages: " << languages.size() << "\n";
    if (TCommonDataModule* data = CommonDataModule()) {
      const TWKImageList& images = data->New24TBXImageList;
      int loaded = 0;
      for (int i = 0; i < images.Count(); ++i) loaded += images.Image(i).isNull() ? 0 : 1;
      report << "images: " << loaded << "\n";
    }
    report.close();
    if (auto* window = dynamic_cast<QWidget*>(app != nullptr ? app->MainForm() : nullptr)) window->close();
  });
}

}  // namespace

bool InstallStartupReport(TWKGraphicsEditor& editor) {
  const char* file = std::getenv("QUILLMOOR_TEST_STARTUP_REPORT");
  if (file == nullptr || *file == '\0') return false;
  ReportOnceOpen(editor, file);
  return true;
}
