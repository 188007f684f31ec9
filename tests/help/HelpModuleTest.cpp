#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "EditorFixture.h"
#include "HelpFakes.h"
#include "framework/TempFolder.h"
#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"
#include "help/WKAboutLayout.h"
#include "help/WKHelp.h"
#include "help/WKInetUpdater.h"
#include "help/WKLinks.h"
#include "help/WKShell.h"
#include "support/ShippedLanguages.h"

namespace {

using ::testing::_;
using ::testing::HasSubstr;
using ::testing::Return;

TEST(Links, OnlyWebAndMailAddressesOpen) {
  struct {
    const char* Url;
    bool Openable;
  } cases[] = {
      {"http://www.quillmoor.example/", true},
      {"HTTPS://www.quillmoor.example/support/", true},
      {"mailto:support@quillmoor.example", true},
      {"file:///etc/passwd", false},
      {"/usr/bin/xterm", false},
      {"javascript:alert(1)", false},
      {"ftp://files.example/", false},
      {"smb://server/share", false},
      {"http:", false},
      {"", false},
      {"http://a.example/ -e xterm", false},
      {"https://a.example/\n", false},
      {"xhttp://a.example/", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsOpenableLink(c.Url), c.Openable) << '"' << c.Url << '"';
}

TEST(Links, LabelsShowTheHostOnly) {
  EXPECT_EQ(LinkHostText("https://www.quillmoor.example/support/"), "www.quillmoor.example");
  EXPECT_EQ(LinkHostText("http://host.example:8080/path"), "host.example");
  EXPECT_EQ(LinkHostText("mailto:support@quillmoor.example"), "support@quillmoor.example");
  EXPECT_EQ(LinkHostText("www.quillmoor.example/path"), "www.quillmoor.example");
  EXPECT_EQ(LinkHostText("file:\\\\server\\share"), "server");
  EXPECT_EQ(LinkHostText(""), "");
}

class HelpModuleTest : public ::testing::Test {
 protected:
  HelpModuleTest() {
    auto messages = std::make_unique<::testing::StrictMock<MockMessageBox>>();
    Messages = messages.get();
    App.SetMessageBoxService(std::move(messages));
    App.SetTitle("Quillmoor");
    Help = App.CreateModule<TWKHelp>(Window, Shell, Downloader);
    Help->ProductVersion = "1.2.4";
    Help->HomePage = "https://www.quillmoor.example/";
    Help->UpdateUrl = "http://127.0.0.1:1/update.ini";
    Help->Initialize();
    for (const char* page : {"index.html", "getting-started.html", "support.html"})
      Pages.Write(std::string("English/") + page, "<html></html>");
    Pages.Write("German/getting-started.html", "<html></html>");
    Help->SetHelpFolder(Pages.Path());
  }
  TShippedLanguages Languages;
  TWKApplication App;
  ::testing::StrictMock<MockMessageBox>* Messages = nullptr;
  TFakeMainWindow Window;
  TFakeShell Shell;
  TFakeDownloader Downloader;
  TTempFolder Pages;
  TWKHelp* Help = nullptr;
};

TEST_F(HelpModuleTest, FillsTheHelpMenuAndFollowsTheLanguage) {
  EXPECT_EQ(Window.Captions(Window.Help),
            (std::vector<std::string>{"Contents", "-", "Getting Started", "Technical Support", "-",
                                      "Check for Updates..."}));
  EXPECT_EQ(static_cast<TFakeItem*>(Help->ContentsMenuItem)->Shortcut, "F1");
  SelectLanguage(1031);
  EXPECT_EQ(Help->ContentsMenuItem->Caption(), "Inhalt");
  EXPECT_EQ(Help->UpdateMenuItem->Caption(), "Nach Updates suchen...");
}

TEST_F(HelpModuleTest, OpensThePageOfTheLanguageOrElseTheEnglishOne) {
  static_cast<TFakeItem*>(Help->ContentsMenuItem)->Click();
  ASSERT_EQ(Shell.Files.size(), 1u);
  EXPECT_EQ(Shell.Files.back(), Pages / "English/index.html");
  SelectLanguage(1031);
  Help->ShowTopic(TWKHelp::GettingStartedTopic);
  EXPECT_EQ(Shell.Files.back(), Pages / "German/getting-started.html");
  static_cast<TFakeItem*>(Help->TechnicalSupportMenuItem)->Click();
  EXPECT_EQ(Shell.Files.back(), Pages / "English/support.html");  // no German page yet
  Help->ShowTopic(77);
  EXPECT_EQ(Shell.Files.back(), Pages / "English/index.html");
}

TEST_F(HelpModuleTest, AMissingPageIsReportedNotOpened) {
  Help->SetHelpFolder(Pages / "nowhere");
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("nowhere/English/support.html"), "Quillmoor", _))
      .WillOnce(Return(IDOK));
  Help->ShowTopic(TWKHelp::TechnicalSupportTopic);
  EXPECT_TRUE(Shell.Files.empty());
}

TEST_F(HelpModuleTest, ANewerVersionOffersTheWebSite) {
  Downloader.Answer = "[Quillmoor-English]\nVersion=1.2.10\n";
  EXPECT_CALL(*Messages,
              MessageBox("A new version (1.2.10) is available. Click OK to visit the web site and download it.",
                         "Quillmoor", MB_OKCANCEL))
      .WillOnce(Return(IDOK))
      .WillOnce(Return(IDCANCEL));
  static_cast<TFakeItem*>(Help->UpdateMenuItem)->Click();
  EXPECT_EQ(Shell.Urls, std::vector<std::string>{"https://www.quillmoor.example/"});
  Help->CheckForUpdates();
  EXPECT_EQ(Shell.Urls.size(), 1u);  // Cancel opens nothing
}

TEST_F(HelpModuleTest, NoNewerVersionOrAFailureSaysSo) {
  EXPECT_CALL(*Messages, MessageBox("No newer version is available.", "Update Check", MB_OK))
      .Times(3)
      .WillRepeatedly(Return(IDOK));
  Downloader.Answer = "[Quillmoor]\nVersion=1.2.4\n";
  Help->CheckForUpdates();
  Downloader.Answer = "[Quillmoor]\nVersion=1.2.10\n";
  Downloader.Succeeds = false;
  Help->CheckForUpdates();
  Downloader.Succeeds = true;
  Downloader.Answer = "";
  Help->CheckForUpdates();
  EXPECT_TRUE(Shell.Urls.empty());
}

// Every character 7 pixels wide, lines 13 pixels high plus a leading of 2.
class TFixedMetrics : public IWKLabelMetrics {
 public:
  TSize TextSize(const std::string& text, bool bold) const override {
    return {static_cast<int32_t>(text.size()) * (bold ? 8 : 7), 13};
  }
  int32_t LineHeight() const override { return 15; }
  int32_t ExternalLeading() const override { return 2; }
  int32_t AverageCharWidth() const override { return 7; }
};

class AboutLayoutTest : public ::testing::Test {
 protected:
  TShippedLanguages Languages;
};

constexpr TWKLabelDescriptor kLabels[] = {
    {.TextId = 156, .Flags = LabelBold, .Left = 96, .Top = 96, .Tab = -1},
    {.FixedText = "0.1.0", .Flags = LabelSameLine, .Tab = -1},
    {.TextId = 54, .Flags = LabelRightAligned | LabelColon, .Left = 16, .Top = 132, .Width = 75},
    {.FixedText = "https://www.quillmoor.example/", .Flags = LabelSameLine | LabelHyperlink},
    {.TextId = 56, .Flags = LabelRightAligned | LabelColon, .Width = 75, .Spacing = 0.5f},
    {.FixedText = "mailto:help@quillmoor.example", .Flags = LabelSameLine | LabelHyperlink},
};
const TWKAboutLayoutTable kTable{kLabels, 6, "About"};

TEST_F(AboutLayoutTest, PlacesRowsFromTheTable) {
  const auto labels = LayoutAboutLabels(kTable, 420, 420, TFixedMetrics());
  ASSERT_EQ(labels.size(), 6u);
  EXPECT_EQ(labels[0].Text, "Quillmoor");
  EXPECT_EQ(labels[0].Bounds, Bounds(96, 96, 72, 13));
  EXPECT_EQ(labels[1].Bounds, Bounds(96 + 72 + 7, 96, 35, 13));  // on the same line
  EXPECT_EQ(labels[2].Text, "Web Site:");
  EXPECT_EQ(labels[2].Bounds, Bounds(16, 132, 75, 13));
  EXPECT_FALSE(labels[2].AutoSize);
  EXPECT_EQ(labels[3].Text, "www.quillmoor.example");
  EXPECT_EQ(labels[3].Hint, "https://www.quillmoor.example/");
  EXPECT_EQ(labels[3].Bounds, Bounds(16 + 75 + 7, 132, 21 * 7, 13));
  // Half a line (8) below the row before, plus twice the leading; left where that row began.
  EXPECT_EQ(labels[4].Text, "Support:");
  EXPECT_EQ(labels[4].Bounds, Bounds(16, 145 + 8 + 4, 75, 13));
  EXPECT_EQ(labels[5].Text, "help@quillmoor.example");
  EXPECT_EQ(labels[5].Bounds.Top, 157);
}

TEST_F(AboutLayoutTest, ExplicitPositionsScaleWithTheControl) {
  const auto labels = LayoutAboutLabels(kTable, 630, 420, TFixedMetrics());
  EXPECT_EQ(labels[0].Bounds.Left, 144);
  EXPECT_EQ(labels[0].Bounds.Top, 144);
  EXPECT_EQ(labels[0].Bounds.Width(), 72);  // automatic sizes follow the font, not the scale
  EXPECT_EQ(labels[2].Bounds, Bounds(24, 198, 113, 13));  // 112.5 away from zero
  const auto unscaled = LayoutAboutLabels(kTable, 420, 0, TFixedMetrics());
  EXPECT_EQ(unscaled[0].Bounds.Left, 96);  // a picture without width counts as the control's
}

TEST_F(AboutLayoutTest, TabsComeFromThePagesAfterTheFirst) {
  constexpr TWKLabelDescriptor labels[] = {{.TextId = 1, .Tab = 0}, {.TextId = 1, .Tab = -1},
                                           {.TextId = 1, .Tab = 2}, {.TextId = 1, .Tab = 1},
                                           {.TextId = 1, .Tab = 2}};
  EXPECT_EQ(AboutTabPages({labels, 5, ""}), (std::vector<int32_t>{2, 1}));
  EXPECT_EQ(AboutTabName(0), "About");
  EXPECT_EQ(AboutTabName(1), "Credits");
  EXPECT_EQ(AboutTabName(2), "License");
  EXPECT_EQ(AboutTabName(3), "");
  EXPECT_EQ(AboutTabName(-1), "");
}

}  // namespace
