// A script played on a real X server: the real pointer moves (as xdotool sees it), XTest
// buttons click a registered button once, the balloon's tip lies on the pointer, and Esc stops
// the playback with no button left down (as xinput sees it). Started outside an X server, the
// program runs itself again under xvfb-run; without xvfb-run, xdotool or xinput it is skipped.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <cstdlib>
#include <xcb/xcb.h>
#include <QtGui/qguiapplication_platform.h>
#include <vector>

#include "demo/FakeDemoPlatform.h"
#include "demo/WKDemoPlayback.h"
#include "demo/WKDemoResolver.h"
#include "demo/qt/QtDemoPlatform.h"
#include "demo/qt/QtDemoScreenPoints.h"
#include "demo/qt/WKBalloon.h"
#include "demo/qt/DemoTestWindow.h"
#include "support/XvfbRerun.h"
#include "tools/framework/WKDemoRegistry.h"

namespace {

QString RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(10000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

QPoint XdotoolPointer() {
  const QString out = RunTool("xdotool", {"getmouselocation"});
  const QRegularExpressionMatch m = QRegularExpression("x:(-?\\d+) y:(-?\\d+)").match(out);
  return m.hasMatch() ? QPoint(m.captured(1).toInt(), m.captured(2).toInt()) : QPoint(-1, -1);
}

// The buttons xinput reports pressed on the pointer device that XTest presses.
QStringList PressedButtons() {
  const QString out = RunTool("xinput", {"query-state", "Virtual core XTEST pointer"});
  QStringList pressed;
  for (const QRegularExpressionMatch& m : QRegularExpression("button\\[(\\d+)\\]=down").globalMatch(out))
    pressed << m.captured(1);
  if (!out.contains("button[1]=")) pressed << "no answer";
  return pressed;
}

class X11PlaybackTest : public ::testing::Test {
 protected:
  X11PlaybackTest() : Demo(Platform, QRect(200, 150, 500, 300)) {}

  void Start(const std::string& lines) { ASSERT_TRUE(Demo.Start(lines, 20)); }

  // The balloon's colour lies just inside its tail next to the tip, not just outside it.
  // With QM_SCREENSHOTS set, the screen is saved there as shot.
  void ExpectTailAtPointer(const TWKBalloon& balloon, QPoint pointer, const QString& shot) {
    const TWKBalloonShape& shape = balloon.Shape();
    EXPECT_EQ(balloon.geometry().topLeft() + QPoint(shape.Tail[2].X, shape.Tail[2].Y), pointer);
    const int dy = shape.Style <= 2 ? 8 : -8;    // from the tip towards the body
    const int dx = shape.Style % 2 == 1 ? 2 : -2;  // towards the base's far end
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    const QColor base = balloon.palette().color(QPalette::ToolTipBase);
    EXPECT_EQ(screen.pixelColor(pointer + QPoint(dx, dy)), base);
    EXPECT_NE(screen.pixelColor(pointer + QPoint(-3 * dx, dy / 2)), base);
    if (const char* folder = std::getenv("QM_SCREENSHOTS"))
      RunTool("import", {"-window", "root", QString(folder) + "/" + shot});
  }

  TProgramLanguages Texts;
  TQtDemoPlatform Platform;
  TDemoTestWindow Demo;
  TWKDemoPlayback& Playback = Demo.Playback;
  QPushButton*& Button = Demo.Button;
  int& Clicks = Demo.Clicks;
  std::vector<std::string>& Errors = Demo.Errors;
};

}  // namespace

TEST_F(X11PlaybackTest, TheRealPointerClicksOnceAndEscStopsWithNoButtonDown) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb");
  std::string reason;
  ASSERT_TRUE(Platform.CanControlPointer(reason)) << reason;
  EXPECT_FALSE(Platform.ButtonsSwapped());
  Start("MouseTo 5, 5\nMouseClick GoButton\nMessage \"The pointer is on the button.\", 30\n");

  ASSERT_TRUE(WaitFor([] { return ShownBalloon() != nullptr; }));
  const TPoint button = *ControlCenter(Button);
  const QPoint center(button.X, button.Y);
  EXPECT_EQ(XdotoolPointer(), center);
  ASSERT_TRUE(WaitFor([this] { return Clicks > 0; }, 2000));
  QTest::qWait(100);
  EXPECT_EQ(Clicks, 1);
  TWKBalloon* balloon = ShownBalloon();
  ASSERT_NE(balloon, nullptr);
  QTest::qWait(100);  // painted
  ExpectTailAtPointer(*balloon, center, "issue-20-balloon-x11.png");

  RunTool("xdotool", {"key", "Escape"});
  ASSERT_TRUE(WaitFor([this] { return Playback.State() == TWKDemoState::Stopped; }));
  EXPECT_TRUE(WaitFor([] { return ShownBalloon() == nullptr; }));
  EXPECT_EQ(PressedButtons(), QStringList());
  EXPECT_EQ(Clicks, 1);
  EXPECT_TRUE(Errors.empty());
}

TEST_F(X11PlaybackTest, ABalloonLowRightSitsAboveAndLeftOfThePointerAndWrapsItsText) {
  Start("MouseTo 1000, 900\nMessage \"This message is long enough to be wrapped: the balloon is at most "
        "350 pixels wide for its text, and its tail points at the pointer from above and to the left.\", 30\n");
  ASSERT_TRUE(WaitFor([] { return ShownBalloon() != nullptr; }));
  QTest::qWait(100);
  TWKBalloon* balloon = ShownBalloon();
  ASSERT_NE(balloon, nullptr);
  EXPECT_EQ(balloon->Shape().Style, 4);
  EXPECT_LE(balloon->Shape().Text.Width(), TWKBalloon::kMaxTextWidth);
  EXPECT_GT(balloon->Shape().Text.Height(), 2 * balloon->fontMetrics().height());
  EXPECT_EQ(balloon->geometry().bottom(), 900);
  EXPECT_LT(balloon->geometry().left(), 1000 - TWKBalloon::kMaxTextWidth / 2);
  ExpectTailAtPointer(*balloon, QPoint(1000, 900), "issue-20-balloon-x11-style4.png");
  EXPECT_TRUE(Playback.RequestStop());
}

TEST_F(X11PlaybackTest, EscWhileTheScriptHoldsTheButtonReleasesIt) {
  Start("MouseTo Pad\nMouseDown\nMouseMove Pad\nMessage \"Holding the button\", 30\n");
  ASSERT_TRUE(WaitFor([] { return ShownBalloon() != nullptr; }));
  EXPECT_EQ(PressedButtons(), QStringList{"1"});
  RunTool("xdotool", {"key", "Escape"});
  ASSERT_TRUE(WaitFor([this] { return Playback.State() == TWKDemoState::Stopped; }));
  EXPECT_TRUE(WaitFor([] { return PressedButtons().isEmpty(); }, 3000));
  EXPECT_EQ(PressedButtons(), QStringList());
}

namespace {

xcb_connection_t* Connection() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

std::vector<uint8_t> PointerMapping() {
  xcb_connection_t* c = Connection();
  xcb_get_pointer_mapping_reply_t* reply = xcb_get_pointer_mapping_reply(c, xcb_get_pointer_mapping(c), nullptr);
  if (reply == nullptr) return {};
  const uint8_t* map = xcb_get_pointer_mapping_map(reply);
  std::vector<uint8_t> mapping(map, map + xcb_get_pointer_mapping_map_length(reply));
  free(reply);
  return mapping;
}

bool SetPointerMapping(std::vector<uint8_t> mapping) {
  xcb_connection_t* c = Connection();
  xcb_set_pointer_mapping_reply_t* reply = xcb_set_pointer_mapping_reply(
      c, xcb_set_pointer_mapping(c, static_cast<uint8_t>(mapping.size()), mapping.data()), nullptr);
  const bool done = reply != nullptr && reply->status == XCB_MAPPING_STATUS_SUCCESS;
  free(reply);
  return done;
}

}  // namespace

TEST_F(X11PlaybackTest, SwappedButtonsStillClickAndStaySwapped) {
  const std::vector<uint8_t> original = PointerMapping();
  ASSERT_GE(original.size(), 3u);
  std::vector<uint8_t> swapped = original;
  std::swap(swapped[0], swapped[2]);
  ASSERT_TRUE(SetPointerMapping(swapped));
  EXPECT_TRUE(Platform.ButtonsSwapped());
  EXPECT_TRUE(Demo.PlayToEnd("MouseClick GoButton\nMouseRightClick Pad\n"));
  EXPECT_EQ(Clicks, 1);  // the primary button, which is the hardware's third
  EXPECT_EQ(PointerMapping(), swapped);  // the user's setting is left as it was
  EXPECT_EQ(PressedButtons(), QStringList());
  EXPECT_TRUE(Errors.empty());
  SetPointerMapping(original);
}

int main(int argc, char** argv) {
  const int rerun = xvfb_rerun::RerunUnderXvfb(argc, argv, {"xvfb-run", "xdotool", "xinput", "xauth"});
  if (rerun >= 0) return rerun;
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
