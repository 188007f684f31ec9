// The Help menu on the real main window: the pages it opens, the addresses the shell lets
// through, and the about box.
#include <gtest/gtest.h>

#include <QAction>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTabBar>
#include <QUrl>
#include <QtTest/QTest>
#include <cstdlib>

#include "HelpFakes.h"
#include "documents/qt/QtEditorWindow.h"
#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"
#include "framework/qt/MainForm.h"
#include "framework/qt/QtText.h"
#include "help/WKHelp.h"
#include "help/qt/QtDownloader.h"
#include "help/qt/QtShell.h"
#include "help/qt/WKAbout.h"
#include "help/qt/WKAboutForm.h"
#include "support/QtTestApplication.h"
#include "support/ShippedLanguages.h"

// Takes the addresses that would go to the system's default handlers.
class TUrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> Urls;
 public slots:
  void Open(const QUrl& url) { Urls << url; }
};

namespace {

const char* kSchemes[] = {"file", "http", "https", "mailto", "javascript", "ftp", "smb"};

class HelpMenuTest : public ::testing::Test {
 protected:
  HelpMenuTest() {
    for (const char* scheme : kSchemes) QDesktopServices::setUrlHandler(scheme, &Catcher, "Open");
    Form = App.CreateForm<TMainForm>();
    Window = std::make_unique<TQtEditorWindow>(*Form);
    Help = App.CreateModule<TWKHelp>(*Window, Shell, Downloader);
    Help->SetHelpFolder(DataFolder + "/Help");
    About = App.CreateModule<TWKAbout>(*Window, Shell, Form);
    About->SetLayout(kLabels, 5, "About");
    for (TWKModule* module : std::initializer_list<TWKModule*>{Form, Help, About}) module->Initialize();
  }
  ~HelpMenuTest() override {
    for (const char* scheme : kSchemes) QDesktopServices::unsetUrlHandler(scheme);
    Window.reset();
  }

  QAction* HelpItem(const QString& caption) const {
    for (QAction* action : Form->HelpMenuItem->menu()->actions())
      if (action->text() == caption) return action;
    return nullptr;
  }

  static constexpr TWKLabelDescriptor kLabels[] = {
      {.TextId = 156, .Flags = LabelBold, .Left = 96, .Top = 96, .Tab = -1},
      {.TextId = 54, .Flags = LabelRightAligned | LabelColon, .Left = 16, .Top = 132, .Width = 75},
      {.FixedText = "https://www.quillmoor.example/", .Flags = LabelSameLine | LabelHyperlink},
      {.TextId = 56, .Flags = LabelRightAligned | LabelColon, .Width = 75, .Spacing = 0.5f},
      {.FixedText = "file:///etc/passwd", .Flags = LabelSameLine | LabelHyperlink},
  };

  const std::string DataFolder = TShippedLanguages::DataFolder();
  TShippedLanguages Languages;
  TUrlCatcher Catcher;
  TWKApplication App;
  TMainForm* Form = nullptr;
  std::unique_ptr<TQtEditorWindow> Window;
  TQtShell Shell;
  TQtDownloader Downloader;
  TWKHelp* Help = nullptr;
  TWKAbout* About = nullptr;
};

TEST_F(HelpMenuTest, ContentsOpensTheShippedPageInTheBrowser) {
  QStringList captions;
  for (QAction* action : Form->HelpMenuItem->menu()->actions())
    captions << (action->isSeparator() ? "-" : action->text());
  EXPECT_EQ(captions, QStringList({"Contents", "-", "Getting Started", "Technical Support", "-",
                                   "Check for Updates...", "-", "About"}));
  QAction* contents = HelpItem("Contents");
  ASSERT_NE(contents, nullptr);
  EXPECT_EQ(contents->shortcut(), QKeySequence(Qt::Key_F1));
  contents->trigger();
  ASSERT_EQ(Catcher.Urls.size(), 1);
  EXPECT_TRUE(Catcher.Urls[0].isLocalFile());
  EXPECT_EQ(Catcher.Urls[0].toLocalFile().toStdString(), DataFolder + "/Help/English/index.html");

  SelectLanguage(1031);
  QAction* support = HelpItem("Technischer Support");
  ASSERT_NE(support, nullptr);
  support->trigger();
  EXPECT_EQ(Catcher.Urls.back().toLocalFile().toStdString(), DataFolder + "/Help/German/support.html");
}

TEST_F(HelpMenuTest, TheShellOpensOnlyWebAndMailAddresses) {
  for (const char* url : {"file:///etc/passwd", "javascript:alert(1)", "ftp://a.example/", "smb://a/b",
                          "/usr/bin/xterm", "https://a.example/ b"})
    EXPECT_FALSE(Shell.OpenUrl(url)) << url;
  EXPECT_TRUE(Catcher.Urls.isEmpty());
  for (const char* url : {"https://www.quillmoor.example/", "http://a.example/x?y=1", "mailto:help@quillmoor.example"})
    EXPECT_TRUE(Shell.OpenUrl(url)) << url;
  EXPECT_EQ(Catcher.Urls.size(), 3);
  EXPECT_EQ(Catcher.Urls[2].scheme(), "mailto");
}

TEST_F(HelpMenuTest, AboutBoxShowsHostsOpensLinksAndClosesOnKeys) {
  TWKAboutForm form(nullptr, About->Layout(), Shell);
  EXPECT_EQ(form.windowTitle(), "About");
  EXPECT_EQ(form.Background->PictureWidth(), 420);  // the picture stored in the program
  EXPECT_EQ(form.AboutTabControl->count(), 1);
  EXPECT_EQ(form.AboutTabControl->tabText(0), "About");
  ASSERT_EQ(form.Labels.size(), 5u);
  EXPECT_EQ(form.Labels[0]->text(), "Quillmoor");
  EXPECT_TRUE(form.Labels[0]->font().bold());
  EXPECT_EQ(form.Labels[1]->text(), "Web Site:");
  EXPECT_EQ(form.Labels[2]->text(), "www.quillmoor.example");
  EXPECT_EQ(form.Labels[2]->toolTip(), "https://www.quillmoor.example/");
  EXPECT_TRUE(form.Labels[2]->font().underline());
  EXPECT_EQ(form.Labels[2]->geometry().top(), 132);
  EXPECT_GT(form.Labels[3]->geometry().top(), 132);

  form.show();
  QTest::mouseClick(form.Labels[2], Qt::LeftButton);
  ASSERT_EQ(Catcher.Urls.size(), 1);
  EXPECT_EQ(Catcher.Urls[0], QUrl("https://www.quillmoor.example/"));
  QTest::mouseClick(form.Labels[4], Qt::LeftButton);  // a link to a local file stays shut
  EXPECT_EQ(Catcher.Urls.size(), 1);

  for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
    form.show();
    form.setResult(QDialog::Rejected);
    QTest::keyClick(form.AboutTabControl, static_cast<Qt::Key>(key));
    EXPECT_FALSE(form.isVisible()) << key;
    EXPECT_EQ(form.result(), QDialog::Accepted) << key;
  }
}

}  // namespace

#include "HelpMenuTest.moc"
