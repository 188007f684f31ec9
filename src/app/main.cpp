// Quillmoor: start-up, message loop and shut-down.
#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <string>
#include <vector>

#include "app/Composition.h"
#include "documents/qt/QtBusyCursor.h"
#include "framework/WKApplication.h"
#include "framework/WKCommandLine.h"
#include "framework/WKLocalizer.h"
#include "framework/WKPaths.h"
#include "framework/WKStartupTimes.h"
#include "framework/qt/CommonDataModule.h"
#include "framework/qt/QtLogging.h"
#include "framework/qt/QtMessageBox.h"
#include "framework/qt/QtMessageLoop.h"
#include "framework/qt/QtTranslations.h"
#include "platform/paint/QtMonitorProfile.h"
#include "platform/system/NamedMutex.h"
#include "framework/qt/WKCursors.h"

#ifndef QM_VERSION
#define QM_VERSION "0.0.0"
#endif

namespace {

// The desktop entry and the icon share the application's identifier.
constexpr char kApplicationId[] = "com.marrowby.Quillmoor";

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

// --help and --version are answered before the toolkit starts, so they need no display.
int PrintText(TWKCommandLine::TAction action, const char* program) {
  const std::string text = action == TWKCommandLine::TAction::ShowHelp
                               ? CommandLineUsage(ExtractBaseName(program != nullptr ? program : "quillmoor"))
                               : VersionText(QM_VERSION);
  std::fputs(text.c_str(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  NoteStartupMoment("start");
  // Unit initialisation: the localiser chooses the start language; the named mutex is only
  // held for the plug-in to see, never waited on. Cursors, the demonstration language, the
  // printer and the picture formats join here with their modules.
  SetGlobalLocalizer(std::make_unique<TWKLocalizer>());
  const TWKCommandLine commandLine = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (commandLine.Action != TWKCommandLine::TAction::Run) return PrintText(commandLine.Action, argv[0]);

  QApplication qt(argc, argv);  // takes its own options out of argv
  SetProgramArguments(std::vector<std::string>(argv + 1, argv + argc));
  QApplication::setApplicationName("Quillmoor");
  QApplication::setApplicationVersion(QM_VERSION);
  QGuiApplication::setDesktopFileName(kApplicationId);
  QApplication::setWindowIcon(QIcon::fromTheme(kApplicationId));
  InstallQtLogging();
  InstallMonitorColorProfile();
  int exitCode = 0;
  {
    const TQtTranslations qtTexts;  // follows the localiser's language from here on
    const auto mutex = TNamedMutex::Create("QuillmoorMutexName");
    InstallQtBusyCursor();
    LoadProgramCursors();
    exitCode = RunProgram();
  }
  SetGlobalLocalizer(nullptr);
  return exitCode;
}
