#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QVBoxLayout>
#include <csignal>
#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include "support/QtTestApplication.h"
#include "../TempFolder.h"
#include "framework/WKLocalizer.h"
#include "framework/qt/CommonDataModule.h"
#include "framework/qt/MainForm.h"
#include "framework/qt/QtMessageLoop.h"

void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace {

// Runs the event loop as the program does (blocking while idle) for a while.
void RunLoopFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    languages.Write("English.ini",
                    "\xEF\xBB\xBF[Language]\nLangId=1033\nLanguage=English\n[Strings]\n10=&File\n"
                    "23=E&xit\n34=&View\n41=&Language\n46=&Help\n163=&Toolbars\n");
    languages.Write("German.ini",
                    "[Language]\nLangId=1031\nLanguage=Deutsch\nCodePage=1252\n[Strings]\n10=&Datei\n"
                    "23=&Beenden\n34=&Ansicht\n41=&Sprache\n46=&Hilfe\n163=&Symbolleisten\n");
    previous = SetGlobalLocalizer(std::make_unique<TWKLocalizer>(languages.Path(), 1033));
    Start();
  }
  void TearDown() override {
    app.reset();
    SetGlobalLocalizer(std::move(previous));
  }
  void Start() {
    app.reset();
    app = std::make_unique<TWKApplication>();
    app->SetMessageLoop(std::make_unique<TQtMessageLoop>(*app));
    app->SetSettingsFileName(settings / "Quillmoor.cfg");
    form = app->CreateForm<TMainForm>();
    app->LoadSettingsAndInitialize();
  }
  static QString Text(QAction* item) { return item->text(); }

  TTempFolder languages, settings;
  std::unique_ptr<TWKLocalizer> previous;
  std::unique_ptr<TWKApplication> app;
  TMainForm* form = nullptr;
};

TEST_F(MainFormTest, MenusAndPlacementOfNewItems) {
  const QList<QAction*> bar = form->Menu->actions();
  ASSERT_EQ(bar.size(), 3);
  EXPECT_EQ(bar[0], form->FileMenuItem);
  EXPECT_EQ(bar[1], form->ViewMenuItem);
  EXPECT_EQ(bar[2], form->HelpMenuItem);
  EXPECT_EQ(Text(form->FileMenuItem), "&File");
  EXPECT_EQ(Text(form->ExitMenuItem), "E&xit");
  EXPECT_EQ(form->FileMenuItem->menu()->actions(),
            (QList<QAction*>{form->FileMenuSeparator, form->ExitMenuItem}));
  EXPECT_EQ(form->ViewMenuItem->menu()->actions(),
            (QList<QAction*>{form->ToolbarsMenuItem, form->ViewMenuSeparator, form->LanguageMenuItem}));

  int clicks = 0;
  QAction* open = form->AddMenuItem("Open", QKeySequence("Ctrl+O"), form->FileMenuSeparator,
                                    form->FileMenuItem, 1, [&] { ++clicks; });
  QAction* appended = form->AddMenuItem("Odd", {}, form->HelpMenuItem, form->FileMenuItem, -1, {});
  QAction* edit = form->AddSubmenu("Edit", nullptr, form->ViewMenuItem);
  EXPECT_EQ(form->FileMenuItem->menu()->actions().front(), open);
  EXPECT_EQ(form->FileMenuItem->menu()->actions().back(), appended);  // before-item elsewhere
  EXPECT_EQ(form->Menu->actions()[1], edit);
  open->trigger();
  EXPECT_EQ(clicks, 1);

  QToolBar* toolbar = form->AddToolbar("Standard");
  QAction* button = form->AddToolbarButton(toolbar, nullptr, nullptr, "Zoom in", 10, {});
  EXPECT_EQ(button->toolTip(), "Zoom in");
  EXPECT_EQ(form->ToolbarsMenuItem->menu()->actions().size(), 1);
  EXPECT_EQ(form->toolBarArea(toolbar), Qt::TopToolBarArea);
  EXPECT_EQ(form->AddToolbarImage("no-such-image"), -1);
}

TEST_F(MainFormTest, SwitchingLanguageRelabelsEveryMenuAtOnce) {
  QToolBar* toolbar = form->AddToolbar("Standard");
  const QList<QAction*> items = form->LanguageMenuItem->menu()->actions();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->text(), "English");  // files in name order
  EXPECT_EQ(items[1]->text(), "Deutsch");
  EXPECT_TRUE(items[0]->isChecked());
  items[1]->trigger();
  EXPECT_EQ(CurrentLanguageId(), 1031);
  EXPECT_EQ(Text(form->FileMenuItem), "&Datei");
  EXPECT_EQ(Text(form->ExitMenuItem), "&Beenden");
  EXPECT_EQ(Text(form->ViewMenuItem), "&Ansicht");
  EXPECT_EQ(Text(form->ToolbarsMenuItem), "&Symbolleisten");
  EXPECT_EQ(Text(form->LanguageMenuItem), "&Sprache");
  EXPECT_EQ(Text(form->HelpMenuItem), "&Hilfe");
  EXPECT_TRUE(items[1]->isChecked());
  EXPECT_FALSE(items[0]->isChecked());
  // The tool bar's visibility item follows its caption through a deferred call.
  toolbar->setWindowTitle("Standard (de)");
  SelectLanguage(1031);
  QTRY_COMPARE(toolbar->toggleViewAction()->text(), QString("Standard (de)"));
}

TEST_F(MainFormTest, PlacementAndLanguageRoundTripThroughTheSettingsFile) {
  form->setGeometry(123, 77, 640, 480);
  SelectLanguage(1031);
  ASSERT_TRUE(app->SaveSettings());
  SelectLanguage(1033);
  Start();
  EXPECT_EQ(CurrentLanguageId(), 1031);
  EXPECT_EQ(Text(form->FileMenuItem), "&Datei");
  EXPECT_EQ(form->geometry(), QRect(123, 77, 640, 480));
  const TWindowPlacement p = form->Placement();
  EXPECT_EQ(p.Length, 44);
  EXPECT_EQ(p.Right - p.Left, 640);
  EXPECT_EQ(TWindowPlacement::FromBytes(p.ToBytes().data()).Bottom, p.Bottom);
  // A record of the wrong length or with an empty rectangle is not restored.
  TWindowPlacement bad = p;
  bad.Right = bad.Left;
  form->RestorePlacement(bad);
  EXPECT_EQ(form->geometry().width(), 640);
}

TEST_F(MainFormTest, PlacementFromTheSettingsStaysInsideTheScreensArea) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const struct {
    QRect Stored;
    QRect Expected;
  } cases[] = {
      {QRect(0, 0, 32767, 32767), area},  // a huge window takes the whole area, no more
      {QRect(area.right() + 5000, 40, 300, 200),
       QRect(area.x() + (area.width() - 300) / 2, 40, 300, 200)},  // past the right edge: centred
      {QRect(-30000, -30000, 400, 300), QRect(area.x(), area.y(), 400, 300)},
      {QRect(area.x() + 10, area.y() + 10, 300, 200), QRect(area.x() + 10, area.y() + 10, 300, 200)},
  };
  for (const auto& c : cases) {
    TWindowPlacement p;
    p.Left = c.Stored.x();
    p.Top = c.Stored.y();
    p.Right = c.Stored.x() + c.Stored.width();
    p.Bottom = c.Stored.y() + c.Stored.height();
    form->RestorePlacement(p);
    EXPECT_EQ(form->geometry(), c.Expected) << c.Stored.x() << "," << c.Stored.y();
  }
}

TEST_F(MainFormTest, CutSettingsFilesStartWithDefaultsOrTheirLeadingPart) {
  form->setGeometry(50, 60, 700, 500);
  SelectLanguage(1031);
  ASSERT_TRUE(app->SaveSettings());
  const std::string whole = TTempFolder::Read(settings / "Quillmoor.cfg");
  ASSERT_EQ(whole.size(), 20u + 8u + 48u + 1u);  // node start, language, placement, end
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    SetGlobalLocalizer(std::make_unique<TWKLocalizer>(languages.Path(), 1033));
    settings.Write("Quillmoor.cfg", whole.substr(0, cut));
    Start();
    EXPECT_EQ(CurrentLanguageId(), cut >= 28 ? 1031 : 1033) << cut;
    EXPECT_EQ(form->geometry() == QRect(50, 60, 700, 500), cut >= 76) << cut;
  }
}

TEST_F(MainFormTest, DeferredCallsOnePostedEventEach) {
  struct TCounter : QObject {
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == kDeferredCallEvent) ++events;
      return false;
    }
    int events = 0;
  } counter;
  form->installEventFilter(&counter);
  QCoreApplication::processEvents();  // drain what start-up queued
  counter.events = 0;
  std::vector<int> seenAtEvent;
  QTimer::singleShot(0, [&] {
    for (int i = 1; i <= 3; ++i) app->PostDeferredCall([&] { seenAtEvent.push_back(counter.events); });
  });
  QTRY_COMPARE(seenAtEvent.size(), size_t(3));
  EXPECT_EQ(seenAtEvent, (std::vector<int>{1, 2, 3}));
  form->removeEventFilter(&counter);
}

TEST_F(MainFormTest, IdlePassesRefreshWithoutSpinning) {
  int updates = 0;
  form->OnUpdate = [&] { ++updates; };
  auto* loop = static_cast<TQtMessageLoop*>(app->MessageLoop());
  const int before = loop->IdlePasses();
  RunLoopFor(400);
  EXPECT_GE(updates, 1);
  // At most one pass per interval, however long the loop keeps waking.
  EXPECT_LE(loop->IdlePasses() - before, 400 / TQtMessageLoop::kIdleIntervalMs + 2);
  bool letThrough = false;
  app->OnIdle = [&](bool& done) { done = letThrough; };
  const int suppressed = updates;
  RunLoopFor(200);
  EXPECT_EQ(updates, suppressed);
}

TEST_F(MainFormTest, OnlyTheFirstExistingDroppedFileIsTaken) {
  settings.Write("a.png", "x");
  settings.Write("b.png", "y");
  std::vector<std::string> dropped;
  form->OnDropFile = [&](const std::string& name) { dropped.push_back(name); };
  const auto drop = [&](const QList<QUrl>& urls) { form->FilesDropped(urls); };
  drop({QUrl::fromLocalFile(QString::fromStdString(settings / "a.png")),
        QUrl::fromLocalFile(QString::fromStdString(settings / "b.png"))});
  drop({QUrl::fromLocalFile(QString::fromStdString(settings / "missing.png"))});
  drop({QUrl("https://example.org/c.png")});
  form->OnDropFile = nullptr;
  drop({QUrl::fromLocalFile(QString::fromStdString(settings / "b.png"))});
  EXPECT_EQ(dropped, (std::vector<std::string>{settings / "a.png"}));
}

TEST_F(MainFormTest, AUriListFromAFileManagerOpensItsFirstLocalFile) {
  settings.Write("with space ä.png", "x");
  std::vector<std::string> dropped;
  form->OnDropFile = [&](const std::string& name) { dropped.push_back(name); };
  // text/uri-list as file managers send it: CRLF lines, a comment, percent-encoded names.
  const auto drop = [&](const QByteArray& uriList) {
    QMimeData data;
    data.setData("text/uri-list", uriList);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form, &event);
  };
  const QByteArray encoded = QUrl::fromLocalFile(QString::fromStdString(settings / "with space ä.png")).toEncoded();
  ASSERT_TRUE(encoded.contains("%20"));
  drop("# from a file manager\r\n" + encoded + "\r\nfile:///nonexistent/second.png\r\n");
  drop("file://localhost" + encoded.mid(7) + "\r\n");
  drop("file://otherhost" + encoded.mid(7) + "\r\n");  // a file on another machine is no local file
  EXPECT_EQ(dropped, (std::vector<std::string>{settings / "with space ä.png", settings / "with space ä.png"}));
}

TEST_F(MainFormTest, KeyPreviewSeesKeysBeforeTheFocusedControl) {
  auto* edit = new QLineEdit(form->centralWidget());
  form->show();
  form->activateWindow();
  edit->setFocus();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form));
  std::vector<int> previewed;
  form->OnKeyPreview = [&](QKeyEvent* key) {
    if (key->type() == QEvent::KeyPress) previewed.push_back(key->key());
    return key->key() == Qt::Key_X;  // consumed: the edit never sees it
  };
  QTest::keyClicks(edit, "axb");
  EXPECT_EQ(edit->text(), "ab");
  EXPECT_EQ(previewed, (std::vector<int>{Qt::Key_A, Qt::Key_X, Qt::Key_B}));
}

TEST_F(MainFormTest, TerminationSignalClosesTheWindowAndEndsTheLoop) {
  int closeQueries = 0;
  form->OnCloseQuery = [&] { return ++closeQueries > 0; };
  QTimer::singleShot(100, [] { std::raise(SIGTERM); });
  app->MessageLoop()->Run();  // returns only when the main window has closed
  EXPECT_EQ(closeQueries, 1);
  EXPECT_FALSE(form->isVisible());
}

class TProbeFrame : public TWKFrame {
 public:
  using TWKFrame::TWKFrame;
  void Localize() override { ++localized; }
  int localized = 0;
};

TEST_F(MainFormTest, FramesEnableTheirControlsAndInitialiseThemselvesWhenNotApplicationOwned) {
  TProbeFrame frame(form);  // owned by the main window, not by the application
  auto* layout = new QVBoxLayout(&frame);
  auto* box = new QCheckBox("a");
  auto* inner = new QWidget;
  auto* deep = new QLineEdit(inner);
  layout->addWidget(box);
  layout->addWidget(inner);
  InitializeUnlessOwnedByApplication(frame);
  EXPECT_EQ(frame.localized, 1);
  SelectLanguage(1031);
  EXPECT_EQ(frame.localized, 2);
  frame.SetControlsEnabled(false);
  EXPECT_FALSE(box->isEnabled());
  EXPECT_FALSE(deep->isEnabled());
  EXPECT_FALSE(frame.ControlsEnabled());
  frame.SetControlsEnabled(true);
  EXPECT_TRUE(deep->isEnabled());
  EXPECT_TRUE(inner->isEnabled());
  // A frame owned by the application waits for the start-up sequence.
  auto* owned = app->CreateModule<TProbeFrame>();
  InitializeUnlessOwnedByApplication(*owned);
  EXPECT_EQ(owned->localized, 0);
}

TEST(ImageList, ProgramImagesFromTheDataFolder) {
  TWKImageList list(24);
  const char* data = std::getenv("QM_DATA");
  ASSERT_NE(data, nullptr);
  EXPECT_GE(list.LoadSvgFolder(QString(data) + "/icons"), 28);
  for (int index : {1, 2, 3, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 21, 23, 24, 35, 46, 47,
                    49, 50, 51, 79, 83, 97, 98}) {
    const QImage image = list.Image(index);
    ASSERT_FALSE(image.isNull()) << index;
    EXPECT_EQ(image.size(), QSize(24, 24));
    // Drawn, not blank.
    int opaque = 0;
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x) opaque += qAlpha(image.pixel(x, y)) > 0;
    EXPECT_GT(opaque, 40) << index;
  }
  EXPECT_TRUE(list.Image(0).isNull());
  EXPECT_TRUE(list.Icon(-1).isNull());
}

}  // namespace
