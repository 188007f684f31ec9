#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <filesystem>
#include <unistd.h>

#include "support/QtTestApplication.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "documents/qt/QtFileDialogs.h"
#include "documents/qt/QtGraphicsEditorWindow.h"
#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"
#include "framework/qt/MainForm.h"
#include "framework/qt/WKCursors.h"
#include "framework/qt/QtText.h"
#include "platform/codec/StillImageCodec.h"
#include "view/qt/QtGraphicsView.h"

namespace {

// The program's arrangement: main form, its editor window, the editor; freed in reverse.
class QtGraphicsViewTest : public ::testing::Test {
 protected:
  QtGraphicsViewTest() {
    Folder = std::filesystem::temp_directory_path() / ("qm_view_qt_" + std::to_string(::getpid()));
    std::filesystem::create_directories(Folder);
    const char* data = std::getenv("QM_DATA");
    Previous = SetGlobalLocalizer(
        std::make_unique<TWKLocalizer>(std::string(data ? data : "data") + "/Languages", 1033));
    App.SetTitle("Quillmoor");
    Form = App.CreateForm<TMainForm>();
    Window = std::make_unique<TQtGraphicsEditorWindow>(*Form);
    Window->ViewWidget = [](TWKDocumentView& view) { return QtViewWidget(view); };
    InstallQtViewWindows();
    InstallGraphicsViews();
    Editor = std::make_unique<TWKGraphicsEditor>(&App, *Window, *Window, Dialogs);
    Form->resize(700, 500);
  }
  // As in the program, the window first shows after the editor has started.
  void ShowForm() {
    Form->show();
    QApplication::processEvents();
  }
  ~QtGraphicsViewTest() override {
    Editor.reset();
    Window.reset();
    TWKGraphicsView::SetWindowFactory(nullptr);
    SetGlobalLocalizer(std::move(Previous));
    std::filesystem::remove_all(Folder);
  }

  std::string Gradient(int32_t width, int32_t height) {
    const ptrdiff_t rowBytes = AlignedRowBytes24(width);
    std::vector<uint8_t> bits(static_cast<size_t>(rowBytes * height));
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) {
        uint8_t* p = bits.data() + y * rowBytes + x * 3;
        p[0] = static_cast<uint8_t>(x * 3);
        p[1] = static_cast<uint8_t>(y * 5);
        p[2] = static_cast<uint8_t>(200);
      }
    const std::string path = (Folder / "gradient.png").string();
    TCodecError err;
    EXPECT_TRUE(TStillImageCodec::SaveToFile("image/png", {bits.data(), rowBytes, width, height}, {}, path, err));
    return path;
  }
  TQtGraphicsViewWidget* Widget() const {
    return static_cast<TQtGraphicsViewWidget*>(QtViewWidget(*Editor->CurrentView()));
  }
  QString StatusText(int index) const {
    return Form->StatusBar->findChildren<QLabel*>().at(index)->text();
  }

  std::filesystem::path Folder;
  std::unique_ptr<TWKLocalizer> Previous;
  TWKApplication App;
  TMainForm* Form = nullptr;
  std::unique_ptr<TQtGraphicsEditorWindow> Window;
  TQtFileDialogs Dialogs;
  std::unique_ptr<TWKGraphicsEditor> Editor;
};

TEST_F(QtGraphicsViewTest, TheWidgetShowsTheImageAndScrollsWithItsBars) {
  ShowForm();
  TWKDocument* document = nullptr;
  ASSERT_TRUE(Editor->OpenFile(Gradient(80, 50), document, true));
  TQtGraphicsViewWidget* widget = Widget();
  ASSERT_NE(widget, nullptr);
  Editor->ActualSizeClick();
  QApplication::processEvents();
  EXPECT_TRUE(widget->isVisible());
  // The image lies centred at 1/1; the painted pixels are the image's.
  const QImage shot = widget->viewport()->grab().toImage();
  const TPoint origin = Editor->CurrentView()->MapMode().DevOrigin;
  EXPECT_EQ(QColor(shot.pixel(origin.X + 10, origin.Y + 4)), QColor(200, 20, 30));
  EXPECT_EQ(QColor(shot.pixel(1, 1)), QColor(64, 64, 64));
  EXPECT_FALSE(widget->horizontalScrollBar()->isVisible());

  for (int i = 0; i < 5; ++i) Editor->ZoomInClick();  // 5/1: 400 x 250 in the view
  Editor->ZoomInClick();                              // 6/1: 480 x 300
  Editor->ZoomInClick();                              // 7/1: 560 x 350
  Editor->ZoomInClick();                              // 8/1: 640 x 400
  Editor->ZoomInClick();                              // 12/1: 960 x 600
  QApplication::processEvents();
  ASSERT_TRUE(widget->horizontalScrollBar()->isVisible());
  QScrollBar* bar = widget->horizontalScrollBar();
  const int before = Editor->CurrentView()->MapMode().DevOrigin.X;
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(Editor->CurrentView()->MapMode().DevOrigin.X, before - 10);
  EXPECT_EQ(bar->value(), -(before - 10));
  bar->triggerAction(QAbstractSlider::SliderToMaximum);  // not a step the view knows: ignored
  EXPECT_EQ(Editor->CurrentView()->MapMode().DevOrigin.X, before - 10);
}

TEST_F(QtGraphicsViewTest, KeysWheelAndPointerReachTheView) {
  ShowForm();
  TWKDocument* document = nullptr;
  ASSERT_TRUE(Editor->OpenFile(Gradient(80, 50), document, true));
  TQtGraphicsViewWidget* widget = Widget();
  Editor->ActualSizeClick();
  QApplication::processEvents();
  // The hand tool takes the main keyboard's plus key as zoom in.
  QTest::keyClick(widget, Qt::Key_Equal);
  EXPECT_EQ(Editor->CurrentView()->ZoomNumerator(), 3);
  LoadProgramCursors();
  QTest::mouseMove(widget->viewport(), QPoint(5, 5));
  QTest::keyPress(widget, Qt::Key_Space);
  EXPECT_NE(Editor->CurrentTool(), nullptr);
  // The hand tool's cursor is the program's drawn hand, not a platform shape.
  EXPECT_EQ(widget->viewport()->cursor().pixmap().toImage(),
            ProgramCursor(crHandCursor).pixmap().toImage());
  EXPECT_FALSE(widget->viewport()->cursor().pixmap().isNull());
  QTest::keyRelease(widget, Qt::Key_Space);
  EXPECT_EQ(Editor->CurrentTool(), nullptr);
  // The read-outs follow the pointer.
  const TPoint at = Editor->CurrentView()->MapMode().DocToDev({4, 6});
  QTest::mouseMove(widget->viewport(), QPoint(at.X + 1, at.Y + 1));
  QApplication::processEvents();
  EXPECT_EQ(ToStdString(StatusText(1)), "4");
  EXPECT_EQ(ToStdString(StatusText(3)), "6");
  EXPECT_EQ(ToStdString(StatusText(9)), "200");
  EXPECT_EQ(TQtGraphicsViewWidget::VirtualKey(Qt::Key_Minus, Qt::NoModifier), VK_OEM_MINUS);
  EXPECT_EQ(TQtGraphicsViewWidget::VirtualKey(Qt::Key_Plus, Qt::KeypadModifier), VK_ADD);
}

TEST_F(QtGraphicsViewTest, AnImageOpenedBeforeTheWindowShowsIsFittedToTheRealView) {
  TWKDocument* document = nullptr;
  ASSERT_TRUE(Editor->OpenFile(Gradient(2000, 600), document, true));
  Form->show();
  QApplication::processEvents();
  TQtGraphicsViewWidget* widget = Widget();
  ASSERT_GT(widget->width(), 600);
  EXPECT_EQ(Editor->CurrentView()->ZoomNumerator(), widget->width());
  EXPECT_EQ(Editor->CurrentView()->ZoomDenominator(), 2000);
}

TEST_F(QtGraphicsViewTest, ScrolledPixelsMatchAFreshRepaint) {
  ShowForm();
  TWKDocument* document = nullptr;
  ASSERT_TRUE(Editor->OpenFile(Gradient(300, 200), document, true));
  Editor->ActualSizeClick();
  for (int i = 0; i < 2; ++i) Editor->ZoomInClick();  // 2/1: 600 x 400
  Editor->ZoomInClick();                              // 3/1: 900 x 600
  QApplication::processEvents();
  TQtGraphicsViewWidget* widget = Widget();
  TWKGraphicsView& view = *Editor->CurrentView();
  for (const QPoint step : {QPoint(-37, -11), QPoint(25, 40), QPoint(-90, 3), QPoint(7, -60)}) {
    int32_t dx = step.x(), dy = step.y();
    view.ClampScroll(dx, dy);
    view.ScrollBy(dx, dy);
    QApplication::processEvents();
  }
  // What the window shows (moved pixels and repainted strips) against a repaint of all of it.
  const QPoint topLeft = widget->viewport()->mapTo(Form, QPoint(0, 0));
  const QImage shown = Form->screen()
                           ->grabWindow(Form->winId(), topLeft.x(), topLeft.y(),
                                        widget->viewport()->width(), widget->viewport()->height())
                           .toImage()
                           .convertToFormat(QImage::Format_RGB32);
  const QImage fresh = widget->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), fresh.size());
  EXPECT_TRUE(shown == fresh);
}

// The message panel stands left of the fixed panels and gives way to a passing status message,
// such as a long open's "Press Esc to cancel", instead of covering its room.
TEST_F(QtGraphicsViewTest, TheMessagePanelGivesWayToAPassingStatusMessage) {
  ShowForm();
  Editor->ShowStatusMessage("Eyes repaired: 2");
  QLabel* panel = nullptr;
  QLabel* x = nullptr;
  for (QLabel* label : Form->StatusBar->findChildren<QLabel*>()) {
    if (label->text() == "Eyes repaired: 2") panel = label;
    if (label->text() == "X:") x = label;
  }
  ASSERT_NE(panel, nullptr);
  ASSERT_NE(x, nullptr);
  QApplication::processEvents();
  EXPECT_TRUE(panel->isVisible());
  EXPECT_LT(panel->geometry().left(), x->geometry().left());
  Form->StatusBar->showMessage("Opening panorama.jpg. Press Esc to cancel.");
  EXPECT_FALSE(panel->isVisible());
  Form->StatusBar->clearMessage();
  EXPECT_TRUE(panel->isVisible());
}

TEST_F(QtGraphicsViewTest, PluginModeHidesTheFileMenuAndOffersOkAndCancel) {
  ShowForm();
  Editor->SetPluginMode(true);
  EXPECT_EQ(Form->windowTitle(), "Quillmoor Plug-in");
  EXPECT_FALSE(Form->FileMenuItem->isVisible());
  EXPECT_EQ(App.ExitCode, -1);
  QToolBar* bar = TQtEditorWindow::ToolbarOf(Editor->StandardToolbar);
  ASSERT_NE(bar, nullptr);
  QStringList texts;
  for (QAction* action : bar->actions())
    if (action->isVisible() && !action->isSeparator()) texts << action->text();
  EXPECT_TRUE(texts.contains("OK"));
  EXPECT_TRUE(texts.contains("Cancel"));
  EXPECT_FALSE(TQtEditorWindow::ActionOf(Editor->OpenToolButton)->isVisible());
  TQtEditorWindow::ActionOf(Editor->CancelButton)->trigger();
  QApplication::processEvents();
  EXPECT_FALSE(Form->isVisible());
  EXPECT_EQ(App.ExitCode, -1);
}

TEST_F(QtGraphicsViewTest, TheWheelScrollsALargeImage) {
  ShowForm();
  TWKDocument* document = nullptr;
  ASSERT_TRUE(Editor->OpenFile(Gradient(200, 200), document, true));
  Editor->ActualSizeClick();
  Editor->ZoomInClick();
  Editor->ZoomInClick();
  Editor->ZoomInClick();  // 3/1: 600 x 600, higher than the view
  QApplication::processEvents();
  TQtGraphicsViewWidget* widget = Widget();
  ASSERT_TRUE(widget->verticalScrollBar()->isVisible());
  // The zoom kept the image centre under the view centre.
  const TSize client{widget->viewport()->width(), widget->viewport()->height()};
  EXPECT_NEAR(Editor->CurrentView()->MapMode().DocFromDev({client.Width / 2, client.Height / 2}).Y, 100, 1);
  const int before = Editor->CurrentView()->MapMode().DevOrigin.Y;
  const QPoint local(20, 20);
  QWheelEvent wheel(local, widget->viewport()->mapToGlobal(local), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget->viewport(), &wheel);
  EXPECT_EQ(Editor->CurrentView()->MapMode().DevOrigin.Y, before - 30);
  EXPECT_EQ(widget->verticalScrollBar()->value(), -(before - 30));
}

}  // namespace

namespace {

// A view object that counts the keys offered to it.
class TKeyCounter : public TWKViewObject, public IWKViewInputHandler {
 public:
  int Downs = 0, Ups = 0;
  bool KeyDown(uint16_t key, TWKShiftState) override {
    Downs += key == 'O' ? 1 : 0;
    return false;
  }
  bool KeyUp(uint16_t key, TWKShiftState) override {
    Ups += key == 'O' ? 1 : 0;
    return false;
  }
};

TEST_F(QtGraphicsViewTest, AHeldKeyRepeatsItsPressButIsReleasedOnce) {
  ShowForm();
  TWKDocument* document = nullptr;
  ASSERT_TRUE(Editor->OpenFile(Gradient(40, 30), document, true));
  auto* counter = static_cast<TKeyCounter*>(
      Editor->CurrentView()->Objects().Add(std::make_unique<TKeyCounter>()));
  TQtGraphicsViewWidget* widget = Widget();
  // X11 key repeat: a release and a press, both marked as repeats, for every repeat.
  auto send = [widget](QEvent::Type type, bool repeat) {
    QKeyEvent event(type, Qt::Key_O, Qt::NoModifier, "o", repeat);
    QApplication::sendEvent(widget, &event);
  };
  send(QEvent::KeyPress, false);
  for (int i = 0; i < 90; ++i) {
    send(QEvent::KeyRelease, true);
    send(QEvent::KeyPress, true);
  }
  send(QEvent::KeyRelease, false);
  EXPECT_EQ(counter->Ups, 1);
  EXPECT_EQ(counter->Downs, 91);
}

TEST_F(QtGraphicsViewTest, AHoldButtonReportsPressAndReleaseAndIsDrawnPressedWhileChecked) {
  ShowForm();
  std::vector<bool> held;
  IWKUIItem* item = Window->AddHoldButton(Editor->StandardToolbar, "Hold", [&held](bool down) {
    held.push_back(down);
  });
  QToolBar* bar = TQtEditorWindow::ToolbarOf(Editor->StandardToolbar);
  auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(TQtEditorWindow::ActionOf(item)));
  ASSERT_NE(button, nullptr);
  EXPECT_FALSE(item->Checked());
  // As the program does it: checked once the press has shown the original, unchecked after the
  // release.
  QTest::mousePress(button, Qt::LeftButton);
  EXPECT_EQ(held, (std::vector<bool>{true}));
  item->SetChecked(true);
  EXPECT_TRUE(button->isChecked());
  QTest::mouseRelease(button, Qt::LeftButton);
  EXPECT_EQ(held, (std::vector<bool>{true, false}));
  item->SetChecked(false);
  EXPECT_FALSE(item->Checked());
  EXPECT_FALSE(button->isChecked());
  // Checked from elsewhere (the O key) it is drawn pressed without being held.
  item->SetChecked(true);
  EXPECT_TRUE(item->Checked());
  EXPECT_TRUE(button->isChecked());
  EXPECT_EQ(held.size(), 2U);
  // Status panels have no checked state.
  IWKUIItem* panel = Window->AddStatusPanel("W", 40);
  panel->SetChecked(true);
  EXPECT_FALSE(panel->Checked());
}

}  // namespace
