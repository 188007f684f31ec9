#include "GraphicsEditorFixture.h"

#include <fstream>

#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "framework/WKStreams.h"

using ::testing::_;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Return;

TEST(ZoomStepsTest, StepsFromActualSizeAndTheEnds) {
  TWKZoomRatio z{1, 1};
  std::vector<TWKZoomRatio> seen;
  for (int i = 0; i < 12; ++i) {
    z = NextZoomStep(z.Numerator, z.Denominator, true);
    seen.push_back(z);
  }
  EXPECT_EQ(seen[0], (TWKZoomRatio{3, 2}));
  EXPECT_EQ(seen[1], (TWKZoomRatio{2, 1}));
  EXPECT_EQ(seen[9], (TWKZoomRatio{16, 1}));
  EXPECT_EQ(seen[11], (TWKZoomRatio{16, 1}));  // stops at the top
  EXPECT_EQ(NextZoomStep(1, 16, false), (TWKZoomRatio{1, 16}));
  EXPECT_EQ(NextZoomStep(1, 1, false), (TWKZoomRatio{3, 4}));
}

TEST(ZoomStepsTest, FromAFitRatioTheNeighbouringSteps) {
  EXPECT_EQ(NextZoomStep(3, 10, true), (TWKZoomRatio{1, 3}));
  EXPECT_EQ(NextZoomStep(3, 10, false), (TWKZoomRatio{1, 4}));
  // Beyond the table in both directions.
  EXPECT_EQ(NextZoomStep(1, 100, true), (TWKZoomRatio{1, 16}));
  EXPECT_EQ(NextZoomStep(40, 1, false), (TWKZoomRatio{16, 1}));
}

TEST(ZoomStepsTest, FitTiesGoToTheHeightAndEmptySidesDoNotFit) {
  TWKZoomRatio z;
  ASSERT_TRUE(ZoomToFit({800, 600}, {4000, 3000}, z));
  EXPECT_EQ(z, (TWKZoomRatio{600, 3000}));
  ASSERT_TRUE(ZoomToFit({800, 600}, {4000, 1000}, z));
  EXPECT_EQ(z, (TWKZoomRatio{800, 4000}));
  z = {7, 7};
  EXPECT_FALSE(ZoomToFit({0, 600}, {4000, 3000}, z));
  EXPECT_FALSE(ZoomToFit({800, 0}, {4000, 3000}, z));
  EXPECT_FALSE(ZoomToFit({800, 600}, {0, 0}, z));
  EXPECT_EQ(z, (TWKZoomRatio{7, 7}));
}

TEST_F(GraphicsEditorTest, ALargeImageOpensFittedAndASmallOneAtActualSize) {
  ASSERT_NE(Open(MakeImage("big.png", 4000, 3000)), nullptr);
  EXPECT_EQ(View()->ZoomNumerator(), 600);
  EXPECT_EQ(View()->ZoomDenominator(), 3000);
  // The whole image is visible and centred: no scrolling needed.
  EXPECT_FALSE(ViewWindow()->BarVisible(0));
  EXPECT_FALSE(ViewWindow()->BarVisible(1));
  EXPECT_EQ(View()->MapMode().DevOrigin, (TPoint{0, 0}));

  ASSERT_NE(Open(MakeImage("small.png", 640, 480)), nullptr);
  EXPECT_EQ(Editor->DocumentCount(), 1);
  EXPECT_EQ(View()->ZoomNumerator(), 1);
  EXPECT_EQ(View()->ZoomDenominator(), 1);
  EXPECT_EQ(View()->MapMode().DevOrigin, (TPoint{80, 60}));
  EXPECT_EQ(Editor->WStatusPanel->Caption(), "640");
  EXPECT_EQ(Editor->HStatusPanel->Caption(), "480");
}

TEST_F(GraphicsEditorTest, ZoomCommandsStepAndKeepTheCentre) {
  NextViewSize = {400, 300};
  ASSERT_NE(Open(MakeImage("big.png", 2000, 1500)), nullptr);
  EXPECT_EQ(View()->ZoomNumerator(), 300);
  // Bars that take no room, so that the client centre stays where it was.
  ViewWindow()->BarWidth = ViewWindow()->BarHeight = 0;
  Editor->ZoomInClick();
  EXPECT_EQ(View()->ZoomNumerator(), 1);
  EXPECT_EQ(View()->ZoomDenominator(), 4);
  // The image point under the view centre stays there (up to one screen pixel of 1/4).
  const TSize client = ViewWindow()->ClientSize();
  const TPoint centre{client.Width / 2, client.Height / 2};
  const TPoint kept = View()->MapMode().DocFromDev(centre);
  EXPECT_NEAR(kept.X, 1000, 4);
  EXPECT_NEAR(kept.Y, 750, 4);
  Editor->ActualSizeClick();
  EXPECT_EQ(View()->MapMode().DocFromDev(centre), kept);
  EXPECT_EQ(View()->MapMode().DevOrigin, (TPoint{200 - kept.X, 150 - kept.Y}));
  EXPECT_TRUE(ViewWindow()->BarVisible(0));
  EXPECT_TRUE(ViewWindow()->BarVisible(1));
  EXPECT_EQ(ViewWindow()->Bars[0].Position, kept.X - 200);
  Editor->BestFitClick();
  EXPECT_EQ(View()->ZoomNumerator(), 300);
  EXPECT_EQ(View()->ZoomDenominator(), 1500);
  EXPECT_GT(ViewWindow()->MouseMovesRepeated, 0);
}

TEST_F(GraphicsEditorTest, BestFitWithAnEmptyViewChangesNothing) {
  ASSERT_NE(Open(MakeImage("big.png", 400, 300)), nullptr);
  Editor->ZoomInClick();
  const int32_t before = View()->ZoomNumerator();
  ViewWindow()->Outer = {0, 300};
  Editor->BestFitClick();
  EXPECT_EQ(View()->ZoomNumerator(), before);
  ViewWindow()->Outer = {300, 0};
  Editor->SetZoomToFit();
  EXPECT_EQ(View()->ZoomNumerator(), before);
}

TEST_F(GraphicsEditorTest, AFileThatDoesNotLoadReportsAndLeavesNoDocument) {
  const std::string path = (Folder / "broken.png").string();
  {
    std::ofstream out(path, std::ios::binary);
    out << "\x89PNG\r\n\x1a\n truncated";
  }
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("broken.png"), _, _)).WillOnce(Return(IDOK));
  EXPECT_EQ(Open(path), nullptr);
  EXPECT_EQ(Editor->DocumentCount(), 0);
}

namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Names(const std::vector<std::string>& paths) {
  std::vector<std::string> names;
  for (const std::string& p : paths) names.push_back(std::filesystem::path(p).filename().string());
  return names;
}

class TLines : public IWKScriptRecorder {
 public:
  std::vector<std::string> Lines;
  bool Messages = true;
  void AddLine(const std::string& line) override { Lines.push_back(line); }
  bool ShowsMessages() const override { return Messages; }
  std::string CurrentMessage() const override { return "Click the eye"; }
};

}  // namespace

TEST_F(GraphicsEditorTest, PluginModeCancelLeavesTheExchangeFileAndExitsWithMinusOne) {
  const std::string path = MakeExchangeFile("exchange.tmp", 4, 3);
  const std::vector<uint8_t> before = FileBytes(path);
  TWKGraphicsDocument* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  EXPECT_TRUE(Editor->PluginMode());
  EXPECT_EQ(doc->FormatId, gfExchange);
  EXPECT_EQ(App.ExitCode, -1);
  EXPECT_EQ(Window.WindowCaption, "Quillmoor Plug-in");
  EXPECT_FALSE(Window.File.IsVisible);
  EXPECT_FALSE(Editor->OpenToolButton->Visible());
  EXPECT_FALSE(Editor->NextImageButton->Visible());
  ASSERT_EQ(Window.TextButtons.size(), 2u);
  EXPECT_EQ(Window.TextButtons[0]->CaptionText, "OK");
  EXPECT_TRUE(Editor->RecentFiles().empty());  // the exchange file is never listed
  EXPECT_EQ(Editor->FolderList().Count(), 0);
  // A change, then Cancel: no question, nothing written, still -1.
  auto* tool = new TLoggingTool(&App, "T", Log);
  tool->Paint(*doc, Rect(0, 0, 2, 2), {1, 1, 1});
  doc->EndEditTransaction(doc);
  EXPECT_CALL(*Messages, MessageBox(_, _, _)).Times(0);
  Window.TextButtons[1]->Click();
  EXPECT_EQ(Window.Closed, 1);
  EXPECT_EQ(App.ExitCode, -1);
  EXPECT_TRUE(doc->Saved());
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_EQ(Formats->Writes, 0);
  // Open and Save are ignored from now on.
  Editor->SaveAsClick();
  EXPECT_EQ(Dialogs.SaveDialogs, 0);
}

TEST_F(GraphicsEditorTest, PluginModeOkWritesBackAndExitsWithZero) {
  const std::string path = MakeExchangeFile("exchange.tmp", 4, 3);
  TWKGraphicsDocument* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  auto* tool = new TLoggingTool(&App, "T", Log);
  tool->Paint(*doc, Rect(0, 0, 1, 1), {7, 8, 9});  // still open: OK closes it without commit
  Window.TextButtons[0]->Click();
  EXPECT_EQ(App.ExitCode, 0);
  EXPECT_EQ(Window.Closed, 1);
  const std::vector<uint8_t> after = FileBytes(path);
  ASSERT_EQ(after.size(), 6u + 4 * 3 * 3);
  EXPECT_EQ(after[6], 7);
  EXPECT_FALSE(doc->EditActive());
}

TEST_F(GraphicsEditorTest, PluginModeOkWhoseWriteFailsStaysOpenAndKeepsMinusOne) {
  TWKGraphicsDocument* doc = Open(MakeExchangeFile("exchange.tmp", 4, 3));
  ASSERT_NE(doc, nullptr);
  Formats->FailWrites = true;
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("the disk is full"), _, MB_OK | MB_ICONERROR))
      .WillOnce(Return(IDOK));
  Window.TextButtons[0]->Click();
  EXPECT_EQ(App.ExitCode, -1);
  EXPECT_EQ(Window.Closed, 0);
  // Closing the changed image asks about "the image"; Yes writes back.
  Formats->FailWrites = false;
  auto* tool = new TLoggingTool(&App, "T", Log);
  tool->Paint(*doc, Rect(0, 0, 1, 1), {7, 8, 9});
  doc->EndEditTransaction(doc);
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("the image"), _, MB_YESNOCANCEL | MB_ICONWARNING))
      .WillOnce(Return(IDYES));
  bool canClose = true;
  Window.CloseQuery(canClose);
  EXPECT_TRUE(canClose);
  EXPECT_EQ(App.ExitCode, 0);
}

TEST_F(GraphicsEditorTest, FolderBrowsingListsImagesByNameWithoutRegardToCase) {
  for (const char* name : {"e.gif", "b.txt", "d.jpe", "Zeta.png", "c.PNG"})
    std::ofstream((Folder / name).string()) << "x";
  const std::string a = MakeImage("a.jpg.png", 8, 8);
  std::filesystem::rename(a, Folder / "a.jpg");
  MakeImage("B.png", 8, 8);
  ASSERT_NE(Open((Folder / "a.jpg").string()), nullptr);
  EXPECT_THAT(Names(Editor->FolderList().Files()),
              ElementsAre("a.jpg", "B.png", "c.PNG", "d.jpe", "Zeta.png"));
  EXPECT_EQ(Editor->FolderList().Index(), 0);
  Editor->UpdateControls();
  EXPECT_FALSE(Editor->PrevImageButton->Enabled());
  EXPECT_TRUE(Editor->NextImageButton->Enabled());
  Editor->NextImageClick();
  EXPECT_EQ(std::filesystem::path(Document()->FileName).filename(), "B.png");
  EXPECT_EQ(Editor->FolderList().Index(), 1);
  // c.PNG is no image: the failure is reported and the index has moved; the image shown
  // before stays open.
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("c.PNG"), _, _)).WillOnce(Return(IDOK));
  Editor->NextImageClick();
  EXPECT_EQ(Editor->FolderList().Index(), 2);
  EXPECT_EQ(std::filesystem::path(Document()->FileName).filename(), "B.png");
  Editor->PrevImageClick();
  EXPECT_EQ(Editor->FolderList().Index(), 1);
}

TEST(FolderListTest, AnEmptyOrMissingFolderGivesNoList) {
  TWKFolderList list;
  list.Build("/nonexistent-folder-of-quillmoor/x.jpg");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Index(), -1);
  EXPECT_FALSE(list.HasNext());
  EXPECT_FALSE(list.HasPrevious());
  EXPECT_EQ(list.Next(), "");
  EXPECT_TRUE(TWKFolderList::IsImageName("x.JPE"));
  EXPECT_FALSE(TWKFolderList::IsImageName("x.J"));
  EXPECT_FALSE(TWKFolderList::IsImageName("x.gif"));
  EXPECT_FALSE(TWKFolderList::IsImageName("noextension"));
}

TEST_F(GraphicsEditorTest, SettingsSectionRoundTripsQualityAndFlag) {
  TWKMemoryStream stream;
  {
    Formats->JpegQuality = 63;
    Editor->StoredFlag = true;
    TWKSDFWriter writer(&stream, false);
    Editor->SaveSettings(writer);
  }
  auto formats = std::make_unique<TFakeExchangeFormats>();
  TFakeExchangeFormats* other = formats.get();
  Editor.reset();
  Editor = std::make_unique<TWKGraphicsEditor>(&App, Window, Window, Dialogs, std::move(formats));
  EXPECT_EQ(other->JpegQuality, 80);
  stream.Seek(0);
  TWKSDFReader reader(&stream, false);
  Editor->LoadSettings(reader);
  EXPECT_EQ(other->JpegQuality, 63);
  EXPECT_TRUE(Editor->StoredFlag);
}

TEST_F(GraphicsEditorTest, TheWindowGrowsForAMinimumViewAndStaysOnASecondScreen) {
  NextViewSize = {600, 400};
  ASSERT_NE(Open(MakeImage("small.png", 64, 48)), nullptr);
  // A work area that starts right of a first screen and below a top panel.
  Window.Area = Bounds(1920, 40, 1280, 1000);
  Window.Frame = Bounds(1900, 30, 800, 600);
  Editor->SetMinViewSize(900, 500);
  EXPECT_EQ(Window.Frame, Bounds(1920, 40, 1100, 700));
  // Larger than the work area: it takes the whole axis.
  Editor->SetMinViewSize(2000, 500);
  EXPECT_EQ(Window.Frame.Left, 1920);
  EXPECT_EQ(Window.Frame.Width(), 1280);
  // Past the end: centred inside the work area, not inside a screen at 0.
  Window.Frame = Bounds(2900, 900, 400, 300);
  Editor->SetMinViewSize(0, 0);
  EXPECT_EQ(Window.Frame, Bounds(1920 + (1280 - 400) / 2, 40 + (1000 - 300) / 2, 400, 300));
  Window.Frame = Bounds(1950, 60, 300, 200);
  Editor->SetMinWindowSize(700, 500);
  EXPECT_EQ(Window.Frame, Bounds(1920 + (1280 - 700) / 2, 40 + (1000 - 500) / 2, 700, 500));
}

TEST_F(GraphicsEditorTest, ScriptCommandsOpenFromTheDemoFolderAndZoom) {
  std::filesystem::create_directories(Folder / "Demo");
  MakeImage("Demo/eye.png", 1600, 1200);
  Editor->DemoFolder = (Folder / "Demo").string() + "/";
  TWKCustomProperties params;
  params.SetString(1, "eye.png");
  params.SetInteger(2, 700);
  params.SetDouble(3, 650.0);
  ASSERT_TRUE(Editor->ExecuteScriptCommand("IMAGEOPEN", params));
  EXPECT_FALSE(Editor->ScriptCommandFailed);
  ASSERT_NE(Document(), nullptr);
  EXPECT_TRUE(Document()->NoSaveQuery);
  EXPECT_EQ(Window.Frame.Height(), 800 + 50);  // the view fell 50 short of 650
  TWKCustomProperties none;
  EXPECT_TRUE(Editor->ExecuteScriptCommand("ACTUALSIZE", none));
  EXPECT_EQ(View()->ZoomNumerator(), 1);
  EXPECT_TRUE(Editor->ExecuteScriptCommand("ZOOMIN", none));
  EXPECT_EQ(View()->ZoomNumerator(), 3);
  EXPECT_FALSE(Editor->ExecuteScriptCommand("SPIN", none));

  TWKCustomProperties missing;
  missing.SetString(1, "nowhere.png");
  ASSERT_TRUE(Editor->ExecuteScriptCommand("IMAGEOPEN", missing));
  EXPECT_TRUE(Editor->ScriptCommandFailed);

  TWKCustomProperties image;
  image.SetString(1, "image");
  image.SetInteger(2, 10);
  image.SetInteger(3, 20);
  TPoint point;
  ASSERT_TRUE(Editor->GetScriptCommandPoint(image, point));
  const TPoint device = View()->MapMode().DocToDev({10, 20});
  EXPECT_EQ(point, ViewWindow()->ClientToScreen(device));
  TWKCustomProperties zoomIn;
  zoomIn.SetString(1, "ZoomIn");
  Editor->ZoomInButton->SetVisible(true);
  static_cast<TFakeItem*>(Editor->ZoomInButton)->Center = {5, 6};
  ASSERT_TRUE(Editor->GetScriptCommandPoint(zoomIn, point));
  EXPECT_EQ(point, (TPoint{5, 6}));
}

TEST_F(GraphicsEditorTest, RecordingWritesTheOpenAndZoomLines) {
  TLines recorder;
  Editor->StartRecording(&recorder);
  NextViewSize = {320, 240};
  ASSERT_NE(Open(MakeImage("cat.png", 64, 48)), nullptr);
  Editor->ZoomInClick();
  recorder.Messages = false;
  Editor->BestFitClick();
  EXPECT_THAT(recorder.Lines,
              ElementsAre("MouseCurvedMove Open", "Message \"Open Image\"", "ImageOpen \"cat.png\", 320, 240",
                          "MouseCurvedMove ZoomIn", "Message \"Zoom In\"", "ZoomIn",
                          "MouseCurvedMove BestFit", "BestFit"));
  Editor->StopRecording();
}

TEST_F(GraphicsEditorTest, DroppedFilesOpenAndTheWheelOnlyCountsOverTheView) {
  ASSERT_TRUE(Window.DropFile);
  Window.DropFile(MakeImage("dropped.png", 2000, 2000));
  ASSERT_NE(Document(), nullptr);
  EXPECT_EQ(Editor->RecentFiles().size(), 1u);
  Editor->ActualSizeClick();
  const TPoint origin = View()->MapMode().DevOrigin;
  const TPoint inside = ViewWindow()->ClientToScreen({10, 10});
  const TPoint outside = ViewWindow()->ClientToScreen({-5, 10});
  EXPECT_FALSE(Editor->MainFormMouseWheel(0, 120, outside));
  EXPECT_EQ(View()->MapMode().DevOrigin, origin);
  EXPECT_TRUE(Editor->MainFormMouseWheel(0, -120, inside));
  EXPECT_EQ(View()->MapMode().DevOrigin, (TPoint{origin.X, origin.Y - 30}));
  EXPECT_TRUE(Editor->MainFormMouseWheel(ssShift, 120, inside));
  EXPECT_EQ(View()->MapMode().DevOrigin, (TPoint{origin.X + 30, origin.Y - 30}));
}

TEST_F(GraphicsEditorTest, ZoomItemsFollowTheDocumentAndTheScannerStaysHidden) {
  Editor->UpdateControls();
  EXPECT_FALSE(Editor->ZoomInButton->Enabled());
  EXPECT_FALSE(Editor->ScaleToBestFitMenuItem->Enabled());
  EXPECT_FALSE(Editor->AcquireMenuItem->Visible());
  EXPECT_FALSE(Editor->ImportSubmenu->Visible());
  Editor->ZoomInClick();  // nothing without a view
  ASSERT_NE(Open(MakeImage("one.png", 8, 8)), nullptr);
  Editor->UpdateControls();
  EXPECT_TRUE(Editor->ZoomInButton->Enabled());
  EXPECT_TRUE(Editor->ActualSizeMenuItem->Enabled());
  Editor->Localize();
  EXPECT_EQ(Editor->ActualSizeMenuItem->Caption(), "Actual Size");
  EXPECT_EQ(Window.WindowCaption, "one.png - Quillmoor");
}
