// The composition root: creating TModule creates every module and tool of the program, owned
// by the application, in the fixed order that is also the order of settings loading,
// initialisation, start and settings saving.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/WKComponent.h"

class IWKDemoPlatform;
class TQtDownloader;
class TWKGraphicsEditor;
class TQtShell;
class TQtTextRasterizer;
struct TStatusProgress;

// What a test may choose differently from the program.
struct TCompositionOptions {
  // The desktop the demonstrations play on; none: the real one.
  std::function<std::unique_ptr<IWKDemoPlatform>()> DemoPlatform;
};

class TModule : public TWKComponent {
 public:
  explicit TModule(TWKComponent* owner, TCompositionOptions options = {});
  ~TModule() override;

 private:
  void DataModuleCreate();

  TCompositionOptions Options_;
  std::unique_ptr<TStatusProgress> Progress_;
  // The default handlers and the downloader of the help and about modules.
  std::unique_ptr<TQtShell> Shell_;
  std::unique_ptr<TQtDownloader> Downloader_;
  // The text tool's lettering.
  std::unique_ptr<TQtTextRasterizer> TextRasterizer_;
};

// The program's arguments as the system gave them, bytes unchanged (a file name need not be
// UTF-8), once the toolkit has taken out its own.
void SetProgramArguments(std::vector<std::string> arguments);

// Test program only: called with the editor once the composition has made it; true when a hook
// drives the program (it then runs unattended: no list of demonstrations at the first start).
using TEditorTestHook = bool (*)(TWKGraphicsEditor& editor);
void SetEditorTestHook(TEditorTestHook hook);
