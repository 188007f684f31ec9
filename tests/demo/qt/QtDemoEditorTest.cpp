// A script played on the program's own main window: the editor names its Undo button, the
// playback moves the pointer there and clicks it, and the click undoes the edit.
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QTest>
#include <QToolBar>

#include "../../documents/EditorFixture.h"
#include "demo/WKDemoPlayback.h"
#include "demo/WKDemoResolver.h"
#include "demo/qt/QtDemoPlatform.h"
#include "demo/qt/QtDemoScreenPoints.h"
#include "documents/qt/QtEditorWindow.h"
#include "framework/qt/MainForm.h"
#include "support/QtTestApplication.h"

namespace {

class QtDemoEditorTest : public EditorTest {
 protected:
  QtDemoEditorTest() : Playback(Platform) {
    Form = App.CreateForm<TMainForm>();
    QtWindow = std::make_unique<TQtEditorWindow>(*Form);
    // Owned by the application, so that the playback asks its script hooks.
    QtEditor = std::make_unique<TTestEditor>(&App, *QtWindow, Dialogs);
    BindDemoResolution(Playback, nullptr);
    Playback.OnError = [this](TWKDemoPlayback&, const std::string& message, bool&, const std::string& line) {
      Errors.push_back(message + " / " + line);
    };
  }
  ~QtDemoEditorTest() override {
    QtEditor.reset();
    QtWindow.reset();
  }

  TMainForm* Form = nullptr;  // owned by App
  std::unique_ptr<TQtEditorWindow> QtWindow;
  std::unique_ptr<TTestEditor> QtEditor;
  TQtDemoPlatform Platform;
  TWKDemoPlayback Playback;
  std::vector<std::string> Errors;
};

}  // namespace

TEST_F(QtDemoEditorTest, AScriptClicksTheEditorsUndoButton) {
  TWKDocument* doc = nullptr;
  ASSERT_TRUE(QtEditor->OpenFile(MakeFile("a.qmt", "a"), doc, false));
  static_cast<TTextDocument*>(doc)->Edit("!");
  QtEditor->UpdateControls();
  Form->setGeometry(50, 50, 600, 400);
  Form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Form));
  QAction* undo = TQtEditorWindow::ActionOf(QtEditor->UndoToolButton);
  int triggered = 0;
  QObject::connect(undo, &QAction::triggered, [&] { ++triggered; });

  TWKDemoScript script;
  script.LoadFromText("[Script]\nMouseSpeed 50\nMouseTo 0, 0\nMouseClick Undo\nNoSuchThing\n");
  Playback.LoadScript(script);
  ASSERT_TRUE(Playback.Play(0));
  QElapsedTimer timer;
  timer.start();
  while (Playback.IsPlaying() && timer.elapsed() < 5000) QTest::qWait(5);

  EXPECT_EQ(triggered, 1);
  EXPECT_EQ(static_cast<TTextDocument*>(QtEditor->CurrentDocument())->Text, "a");
  const TPoint button = *ToolbarItemCenter(undo);
  EXPECT_LE(std::abs(QCursor::pos().x() - button.X), 1);
  EXPECT_LE(std::abs(QCursor::pos().y() - button.Y), 1);
  // The unknown command at the end is reported with its line and stops the playback.
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_NE(Errors[0].find("NoSuchThing"), std::string::npos);
  EXPECT_EQ(Playback.State(), TWKDemoState::Stopped);
}
