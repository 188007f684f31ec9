#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "support/QtTestApplication.h"
#include "../EditorFixture.h"
#include "documents/qt/QtEditorWindow.h"
#include "documents/qt/QtFileDialogs.h"
#include "framework/qt/MainForm.h"
#include "framework/qt/QtText.h"

using ::testing::_;
using ::testing::HasSubstr;
using ::testing::Return;

namespace {

QStringList Texts(const QList<QAction*>& actions) {
  QStringList texts;
  for (QAction* a : actions) texts << (a->isSeparator() ? "-" : a->text());
  return texts;
}

// The editor on the real main form, beside the fixture's fake window.
class QtEditorWindowTest : public EditorTest {
 protected:
  QtEditorWindowTest() {
    Form = App.CreateForm<TMainForm>();
    QtWindow = std::make_unique<TQtEditorWindow>(*Form);
    QtEditor = std::make_unique<TTestEditor>(nullptr, *QtWindow, Dialogs);
  }
  ~QtEditorWindowTest() override {
    QtEditor.reset();
    QtWindow.reset();
  }
  TMainForm* Form = nullptr;  // owned by App
  std::unique_ptr<TQtEditorWindow> QtWindow;
  std::unique_ptr<TTestEditor> QtEditor;
};

}  // namespace

TEST_F(QtEditorWindowTest, ItemsLandWhereTheEditorPutsThem) {
  EXPECT_EQ(Texts(Form->FileMenuItem->menu()->actions()),
            (QStringList{"Open...", "Save", "Save As...", "Close", "-", "-", ""}));
  EXPECT_FALSE(QtEditor->SaveMenuItem->Visible());
  EXPECT_EQ(Form->Menu->actions()[1], TQtEditorWindow::ActionOf(QtEditor->EditMenuItem));
  EXPECT_EQ(Texts(TQtEditorWindow::ActionOf(QtEditor->EditMenuItem)->menu()->actions()),
            (QStringList{"Undo", "Undo All", "Redo", "Redo All"}));
  EXPECT_EQ(TQtEditorWindow::ActionOf(QtEditor->UndoMenuItem)->shortcut(), QKeySequence("Ctrl+Z"));
  QToolBar* toolbar = TQtEditorWindow::ToolbarOf(QtEditor->StandardToolbar);
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(toolbar->windowTitle(), "Standard");
  EXPECT_EQ(Texts(toolbar->actions()), (QStringList{"Open", "Save As", "-", "Undo", "Redo"}));
  EXPECT_EQ(Form->windowTitle(), "Quillmoor");

  // Recent files go between the two separators; a click opens the file.
  const std::string a = MakeFile("a.qmt", "a");
  TWKDocument* doc = nullptr;
  ASSERT_TRUE(QtEditor->OpenFile(a, doc, true));
  QtEditor->AddRecentFile("/elsewhere/b.qmt");
  EXPECT_EQ(Texts(Form->FileMenuItem->menu()->actions()).mid(4, 4),
            (QStringList{"-", "&1 /elsewhere/b.qmt", ToQString("&2 " + a), "-"}));
  EXPECT_EQ(Form->windowTitle(), "a.qmt - Quillmoor");
  Form->FileMenuItem->menu()->actions()[6]->trigger();
  EXPECT_EQ(QtEditor->RecentFiles().front(), a);

  QtEditor->UpdateControls();
  EXPECT_FALSE(TQtEditorWindow::ActionOf(QtEditor->UndoToolButton)->isEnabled());
  static_cast<TTextDocument*>(QtEditor->CurrentDocument())->Edit("!");
  QtEditor->UpdateControls();
  EXPECT_TRUE(TQtEditorWindow::ActionOf(QtEditor->UndoToolButton)->isEnabled());
  TQtEditorWindow::ActionOf(QtEditor->UndoToolButton)->trigger();
  EXPECT_EQ(static_cast<TTextDocument*>(QtEditor->CurrentDocument())->Text, "a");
}

// A demonstration finds a tool-bar button only where it is on screen: folded into the tool bar's
// overflow menu by a narrow window, it is not found (nothing else is clicked in its place).
TEST_F(QtEditorWindowTest, ButtonsFoldedIntoTheOverflowMenuAreNotFoundByDemonstrations) {
  QToolBar* toolbar = TQtEditorWindow::ToolbarOf(QtEditor->StandardToolbar);
  ASSERT_NE(toolbar, nullptr);
  // Wide buttons in front of Undo push it out of a narrow window.
  for (int i = 0; i < 12; ++i)
    QtWindow->AddToolbarButton(QtEditor->StandardToolbar, QtEditor->UndoToolButton,
                               "A rather wide caption " + std::to_string(i), -1, {});
  TWKCustomProperties undo;
  undo.SetString(1, "Undo");
  Form->show();
  for (const int width : {300, 6000}) {
    SCOPED_TRACE(width);
    Form->resize(width, 300);
    QApplication::processEvents();
    const bool fits = width > 300;
    EXPECT_EQ(QtEditor->UndoToolButton->Shown(), fits);
    TPoint point{-1, -1};
    EXPECT_EQ(QtEditor->GetScriptCommandPoint(undo, point), fits);
    if (fits) {
      const QWidget* button = toolbar->widgetForAction(TQtEditorWindow::ActionOf(QtEditor->UndoToolButton));
      ASSERT_NE(button, nullptr);
      const QPoint centre = button->mapToGlobal(button->rect().center());
      EXPECT_EQ(point, (TPoint{centre.x(), centre.y()}));
    } else {
      EXPECT_EQ(point, (TPoint{-1, -1}));
    }
  }
  EXPECT_TRUE(QtEditor->OpenToolButton->Shown()) << "the first buttons stay in the bar";
}

TEST_F(QtEditorWindowTest, ClosingTheMainWindowRunsTheCloseQuery) {
  TWKDocument* doc = nullptr;
  ASSERT_TRUE(QtEditor->OpenFile(MakeFile("a.qmt", "a"), doc, false));
  static_cast<TTextDocument*>(doc)->Edit("!");
  Form->show();
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("a.qmt"), _, _))
      .WillOnce(Return(IDCANCEL))
      .WillOnce(Return(IDNO));
  EXPECT_FALSE(Form->close());
  EXPECT_EQ(QtEditor->DocumentCount(), 1);
  EXPECT_TRUE(Form->close());
  EXPECT_EQ(QtEditor->DocumentCount(), 0);
}

TEST(QtFileDialogs, FilterInQtForm) {
  const TWKFileFormatArray formats{{0, "JPEG", "*.jpg;*.jpeg", ".jpg"},
                                   {2, "PNG", "*.png", ".png"}};
  EXPECT_EQ(QtFilter(formats), "JPEG (*.jpg *.jpeg);;PNG (*.png)");
}
