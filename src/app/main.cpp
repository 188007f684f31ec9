// Quillmoor: start-up, message loop and shut-down.
#include <QApplication>

#include "app/Composition.h"
#include "documents/qt/QtBusyCursor.h"
#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"
#include "framework/qt/CommonDataModule.h"
#include "framework/qt/QtMessageBox.h"
#include "framework/qt/QtMessageLoop.h"
#include "platform/system/NamedMutex.h"
#include "framework/qt/WKCursors.h"

namespace {

int RunProgram() {
  TWKApplication app;
  app.SetMessageLoop(std::make_unique<TQtMessageLoop>(app));
  app.SetMessageBoxService(std::make_unique<TQtMessageBoxService>());
  app.Initialize();
  app.SetTitle("Quillmoor");
  app.CreateForm<TCommonDataModule>();
  app.CreateForm<TModule>();
  app.Run();
  return app.ExitCode;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  QApplication::setApplicationName("Quillmoor");
  // Unit initialisation: the localiser chooses the start language; the named mutex is only
  // held for the plug-in to see, never waited on. Cursors, the demonstration language, the
  // printer and the picture formats join here with their modules.
  SetGlobalLocalizer(std::make_unique<TWKLocalizer>());
  const auto mutex = TNamedMutex::Create("QuillmoorMutexName");
  InstallQtBusyCursor();
  LoadProgramCursors();
  const int exitCode = RunProgram();
  SetGlobalLocalizer(nullptr);
  return exitCode;
}
