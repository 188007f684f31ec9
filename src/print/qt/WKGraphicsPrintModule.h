// The Print command in the File menu: the Print dialog over the current image, or, with no
// printer installed, the offer to add one before printing to a PDF file.
#pragma once

#include <memory>
#include <string>

#include "framework/WKModule.h"

class IWKMainWindow;
class IWKUIItem;
class QWidget;
class TWKGraphicsEditor;
class TWKPrinter;

class TWKGraphicsPrintModule : public TWKModuleWithControls {
 public:
  // dialogParent: the window the dialog is centred on.
  TWKGraphicsPrintModule(TWKComponent* owner, TWKGraphicsEditor& editor, IWKMainWindow& window,
                         QWidget* dialogParent);
  ~TWKGraphicsPrintModule() override;

  IWKUIItem* PrintMenuSeparator = nullptr;
  IWKUIItem* PrintMenuItem = nullptr;
  // The system's add-printer tool; empty when none is installed.
  std::string AddPrinterProgram;

  void Localize() override;
  void UpdateControls() override;
  void PrintClick();
  TWKPrinter& Printer() { return *Printer_; }

 private:
  TWKGraphicsEditor& Editor_;
  QWidget* DialogParent_;
  std::unique_ptr<TWKPrinter> Printer_;
};
