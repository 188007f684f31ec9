// Scripts played on real widgets under the offscreen platform: the pointer moves, injected
// buttons reach the widget under it, balloons show at the pointer and stop keys stop.
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolBar>
#include <QTimer>

#include "demo/FakeDemoPlatform.h"
#include "demo/WKDemoPlayback.h"
#include "demo/WKDemoResolver.h"
#include "demo/qt/QtDemoPlatform.h"
#include "demo/qt/QtDemoScreenPoints.h"
#include "demo/qt/WKBalloon.h"
#include "demo/qt/DemoTestWindow.h"
#include "support/QtTestApplication.h"
#include "tools/framework/WKDemoRegistry.h"

namespace {

class QtDemoPlaybackTest : public ::testing::Test {
 protected:
  QtDemoPlaybackTest() : Demo(Platform, QRect(100, 100, 400, 300)) {}

  void Start(const std::string& lines) { ASSERT_TRUE(Demo.Start(lines)); }
  bool PlayToEnd(const std::string& lines) { return Demo.PlayToEnd(lines); }
  static std::string At(const char* what, QPoint p) {
    return std::string(what) + " " + std::to_string(p.x()) + "," + std::to_string(p.y());
  }

  TProgramLanguages Texts;
  TQtDemoPlatform Platform;
  TDemoTestWindow Demo;
  TWKDemoPlayback& Playback = Demo.Playback;
  QPushButton*& Button = Demo.Button;
  TPad*& Pad = Demo.Pad;
  int& Clicks = Demo.Clicks;
  std::vector<std::string>& Errors = Demo.Errors;
};

}  // namespace

TEST_F(QtDemoPlaybackTest, ClicksARegisteredButtonOnceAndShowsTheBalloonAtThePointer) {
  Start("MouseTo 10, 10\nMouseClick GoButton\nMessage \"Click here\", 0.3\nPause 0.2\n");
  ASSERT_TRUE(WaitFor([] { return ShownBalloon() != nullptr; }));
  const QPoint center = CenterOf(Button);
  EXPECT_EQ(QCursor::pos(), center);
  EXPECT_EQ(Clicks, 1);
  TWKBalloon* balloon = ShownBalloon();
  EXPECT_EQ(balloon->Text(), "Click here");
  const TWKBalloonShape& shape = balloon->Shape();
  EXPECT_EQ(balloon->geometry().topLeft() + QPoint(shape.Tail[2].X, shape.Tail[2].Y), center);
  EXPECT_TRUE(balloon->testAttribute(Qt::WA_TransparentForMouseEvents));
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);

  ASSERT_TRUE(WaitFor([this] { return !Playback.IsPlaying(); }));
  EXPECT_EQ(ShownBalloon(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(QGuiApplication::mouseButtons(), Qt::NoButton);
  EXPECT_TRUE(Errors.empty());
}

TEST_F(QtDemoPlaybackTest, DragsAndDoubleClicksReachTheWidgetUnderThePointer) {
  const QPoint pad = CenterOf(Pad);
  ASSERT_TRUE(PlayToEnd("MouseTo Pad\nMouseDrag " + std::to_string(pad.x() + 40) + ", " +
                        std::to_string(pad.y() + 30) + "\nMouseDblClick Pad\n"));
  const std::vector<std::string>& log = Pad->Log;
  ASSERT_GE(log.size(), 6u);
  EXPECT_EQ(log.front(), At("press", pad));
  const QPoint end = pad + QPoint(40, 30);
  const auto release = std::find(log.begin(), log.end(), At("release", end));
  ASSERT_NE(release, log.end());
  EXPECT_GT(release - log.begin(), 2);  // moves with the button held came between
  EXPECT_EQ(*(release - 1), At("drag", end));
  EXPECT_EQ(std::vector<std::string>(release + 1, log.end()),
            (std::vector<std::string>{At("press", pad), At("release", pad), At("double", pad), At("release", pad)}));
  EXPECT_TRUE(Errors.empty());
}

TEST_F(QtDemoPlaybackTest, EscStopsWithNoButtonLeftDownAndIsNotPassedOn) {
  Start("MouseTo Pad\nMouseDown\nPause 10\n");
  ASSERT_TRUE(WaitFor([this] { return !Pad->Log.empty(); }));
  EXPECT_EQ(QGuiApplication::mouseButtons(), Qt::LeftButton);
  QTest::keyClick(Pad, Qt::Key_Escape);
  EXPECT_EQ(Playback.State(), TWKDemoState::Stopped);
  EXPECT_EQ(QGuiApplication::mouseButtons(), Qt::NoButton);
  EXPECT_EQ(Pad->Log.back(), At("release", CenterOf(Pad)));
  ASSERT_TRUE(WaitFor([this] { return !Platform.Pacing(); }));
  // Keys reach the program again once it stopped.
  QTest::keyClick(Pad, Qt::Key_A);
  EXPECT_EQ(Pad->Log.back(), "key " + std::to_string(Qt::Key_A));
  EXPECT_EQ(std::count(Pad->Log.begin(), Pad->Log.end(), "key " + std::to_string(Qt::Key_Escape)), 0);
}

TEST_F(QtDemoPlaybackTest, AnInactiveApplicationPausesAndHintsStayOffDuringMessages) {
  Start("Message \"Wait\", 0.4\n");
  ASSERT_TRUE(WaitFor([] { return ShownBalloon() != nullptr; }));
  QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), CenterOf(Pad));
  QApplication::sendEvent(Pad, &help);
  EXPECT_EQ(Pad->Tips, 0);

  QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
  QApplication::sendEvent(qApp, &inactive);
  EXPECT_EQ(Playback.State(), TWKDemoState::Paused);
  EXPECT_EQ(ShownBalloon(), nullptr);
  QTest::qWait(600);  // paused time does not count
  EXPECT_TRUE(Playback.IsPlaying());
  QApplicationStateChangeEvent active(Qt::ApplicationActive);
  QApplication::sendEvent(qApp, &active);
  EXPECT_EQ(Playback.State(), TWKDemoState::Playing);
  EXPECT_NE(ShownBalloon(), nullptr);
  ASSERT_TRUE(WaitFor([this] { return !Playback.IsPlaying(); }));
  QApplication::sendEvent(Pad, &help);
  EXPECT_EQ(Pad->Tips, 1);
}

TEST_F(QtDemoPlaybackTest, AStepThatRunsAModalLoopIsNeverEnteredAgain) {
  int commands = 0;
  bool armedInside = true;
  Playback.OnCommand = [&](TWKDemoPlayback&, const std::string&, bool& handled, TWKDemoScriptUserAction&,
                           const TWKDemoScriptParams&) {
    ++commands;
    QEventLoop loop;
    QTimer::singleShot(60, &loop, &QEventLoop::quit);
    loop.exec();  // as a message box would
    armedInside = Platform.TimerArmed();
    handled = true;
  };
  ASSERT_TRUE(PlayToEnd("Modal\nModal\n"));
  EXPECT_EQ(commands, 2);
  EXPECT_FALSE(armedInside);
}

TEST(QtDemoPlatform, KeysMapToVirtualKeyCodes) {
  const struct {
    int Key;
    Qt::KeyboardModifiers Modifiers;
    int32_t Vk;
  } cases[] = {
      {Qt::Key_Escape, {}, 0x1B},   {Qt::Key_Space, {}, 0x20},     {Qt::Key_Return, {}, 0x0D},
      {Qt::Key_Backspace, {}, 0x08}, {Qt::Key_PageUp, {}, 0x21},   {Qt::Key_Left, {}, 0x25},
      {Qt::Key_Q, {}, 0x51},        {Qt::Key_7, {}, 0x37},         {Qt::Key_7, Qt::KeypadModifier, 0x67},
      {Qt::Key_Plus, Qt::KeypadModifier, 0x6B}, {Qt::Key_Plus, {}, 0}, {Qt::Key_F24, {}, 0x87},
      {Qt::Key_Super_L, {}, 0x5B},  {Qt::Key_Menu, {}, 0x5D},      {Qt::Key_ScrollLock, {}, 0x91},
  };
  for (const auto& c : cases) {
    QKeyEvent event(QEvent::KeyPress, c.Key, c.Modifiers);
    EXPECT_EQ(VirtualKeyOf(event), c.Vk) << c.Key;
  }
}

TEST(QtDemoScreenPoints, ItemsAreFoundWhereTheyAreShown) {
  QWidget window;
  window.setGeometry(50, 60, 300, 200);
  auto* control = new QWidget(&window);
  control->setGeometry(10, 20, 101, 51);
  auto* slider = new QSlider(Qt::Horizontal, &window);
  slider->setGeometry(10, 100, 200, 30);
  slider->setRange(0, 100);
  EXPECT_EQ(ControlCenter(control), std::nullopt);  // not shown
  window.show();
  QTest::qWait(10);
  const QPoint origin = window.mapToGlobal(QPoint(0, 0));
  EXPECT_EQ(ControlCenter(control), (TPoint{origin.x() + 10 + 50, origin.y() + 20 + 25}));

  slider->setValue(0);
  const TPoint left = *TrackBarThumbCenter(slider);
  slider->setValue(100);
  const TPoint right = *TrackBarThumbCenter(slider);
  EXPECT_LT(left.X, right.X);
  EXPECT_EQ(left.Y, right.Y);
  EXPECT_GE(left.X, origin.x() + 10);
  EXPECT_LE(right.X, origin.x() + 210);

  QMainWindow main;
  QToolBar* toolbar = main.addToolBar("Tools");
  QAction* tool = toolbar->addAction("Zoom");
  QMenu* menu = main.menuBar()->addMenu("File");
  QAction* open = menu->addAction("Open");
  main.show();
  QTest::qWait(10);
  EXPECT_EQ(ToolbarItemCenter(tool), ControlCenter(toolbar->widgetForAction(tool)));
  EXPECT_EQ(MenuItemCenter(open), std::nullopt);  // its menu is closed
  const TPoint fileItem = *MenuItemCenter(menu->menuAction());
  const QRect bar = main.menuBar()->actionGeometry(menu->menuAction());
  EXPECT_TRUE(bar.contains(main.menuBar()->mapFromGlobal(QPoint(fileItem.X, fileItem.Y))));
  tool->setVisible(false);
  EXPECT_EQ(ToolbarItemCenter(tool), std::nullopt);
}
