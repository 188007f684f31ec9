#include "print/qt/WKGraphicsPrintModule.h"

#include <QProcess>
#include <QStandardPaths>

#include "documents/WKEditorUI.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"
#include "framework/qt/QtText.h"
#include "print/qt/WKGraphicsPrintForm.h"
#include "print/qt/WKPrinter.h"

namespace {

enum : int {
  kPrintCaption = 21,
  kNoPrinterMessage = 170,
  kAddPrinterQuestion = 171,
  kPrintImageIndex = 3,
};

}  // namespace

TWKGraphicsPrintModule::TWKGraphicsPrintModule(TWKComponent* owner, TWKGraphicsEditor& editor,
                                               IWKMainWindow& window, QWidget* dialogParent)
    : TWKModuleWithControls(owner),
      Editor_(editor),
      DialogParent_(dialogParent),
      Printer_(std::make_unique<TWKPrinter>()) {
  Name = "GraphicsPrintModule";
  AddPrinterProgram = ToStdString(QStandardPaths::findExecutable("system-config-printer"));
  PrintMenuSeparator = window.AddSeparator(window.FileMenuItem(), window.FileMenuSeparator());
  PrintMenuItem = window.AddMenuItem(LanguageString(kPrintCaption) + "...", "Ctrl+P",
                                     window.FileMenuSeparator(), window.FileMenuItem(),
                                     kPrintImageIndex, [this] { PrintClick(); });
}

TWKGraphicsPrintModule::~TWKGraphicsPrintModule() = default;

void TWKGraphicsPrintModule::Localize() {
  PrintMenuItem->SetCaption(LanguageString(kPrintCaption) + "...");
}

void TWKGraphicsPrintModule::UpdateControls() {
  const bool documentOpen = Editor_.SaveAsMenuItem != nullptr && Editor_.SaveAsMenuItem->Enabled();
  PrintMenuItem->SetEnabled(documentOpen && !Editor_.PluginMode());
}

void TWKGraphicsPrintModule::PrintClick() {
  TWKGraphicsDocument* document = Editor_.CurrentImageDocument();
  if (document == nullptr) return;
  if (!TWKPrinter::HasPrinters() && !AddPrinterProgram.empty()) {
    TWKApplication* app = Application();
    const std::string question =
        LanguageString(kNoPrinterMessage) + " " + LanguageString(kAddPrinterQuestion);
    if (app != nullptr &&
        app->MessageBox(question, LanguageString(kPrintCaption), MB_YESNO | MB_ICONQUESTION) == IDYES) {
      QProcess::startDetached(ToQString(AddPrinterProgram), {});
      return;
    }
  }
  // Without a printer the dialog prints to a PDF file.
  TWKGraphicsPrintForm form(nullptr, *Printer_, DialogParent_);
  form.SetDocument(document);
  form.exec();
}
