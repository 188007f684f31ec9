// The demonstration module in the program's own composition: the list and how a chosen script
// starts, what happens to an open image before a demonstration, the demo editor's sections,
// its playing and recording, and a recorded red-eye correction played back.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTabBar>
#include <filesystem>

#include "ProgramFixture.h"
#include "demo/WKDemoList.h"
#include "demo/qt/WKDemoEditorForm.h"
#include "framework/TempFolder.h"
#include "support/QtTestApplication.h"
#include "tools/eyes/qt/RedEyeFrame.h"

namespace fs = std::filesystem;

namespace {

constexpr int kTimeoutMs = 60000;

std::string ScriptText(const std::string& title, const std::string& lines = "Pause 0.05\n") {
  return "\xEF\xBB\xBF[Info]\nTitle=" + title + "\n[Script]\n" + lines;
}

// The list window: picks an entry and closes with Start, or closes with Close.
class TChoosingListForm : public IWKDemoListForm {
 public:
  TChoosingListForm(std::vector<int32_t>& openedWith, int32_t choice) : OpenedWith_(openedWith), Choice_(choice) {}
  bool ShowModal(TWKDemoList& list) override {
    OpenedWith_.push_back(list.SelectedIndex());
    if (Choice_ >= 0) list.Select(Choice_);
    list.Closing();
    return Choice_ >= 0;
  }

 private:
  std::vector<int32_t>& OpenedWith_;
  int32_t Choice_;
};

class DemonstrationModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Program.Start();
    Program.Demo->DemoFolder = Scripts.Path() + "/";
    // An unexpected question never opens a file dialog.
    Program.Answer = IDNO;
  }

  // Each opening of the list chooses the next of choices (-1: Close); none left: Close.
  void ChooseInList(std::vector<int32_t> choices) {
    Program.Demo->ListFormFactory = [this, choices, next = size_t{0}]() mutable {
      const int32_t choice = next < choices.size() ? choices[next++] : -1;
      return std::make_unique<TChoosingListForm>(ListOpenedWith, choice);
    };
  }

  // A copy of a sample photo, opened as the user opens it, with an unsaved change.
  TWKGraphicsDocument* OpenChangedPhoto(const std::string& file) {
    if (TWKDocument* open = Program.Editor->CurrentDocument()) {
      open->NoSaveQuery = true;
      open->CloseQuery();
    }
    fs::copy_file(TProgram::DataFolder("Demo") + "portrait-red-eye.png", file);
    TWKDocument* document = nullptr;
    if (!Program.Editor->OpenFile(file, document, false)) return nullptr;
    document->SetSaved(false);
    return Program.Document();
  }

  bool WaitUntilIdle() {
    return RunUntil([&] { return !Program.Demo->Playback().IsPlaying(); }, kTimeoutMs);
  }

  int FinishedMessages() const {
    const std::string finished = LanguageString(TWKDemonstrationModule::kFinishedText);
    return static_cast<int>(std::count_if(Program.Messages.begin(), Program.Messages.end(),
                                          [&](const TShownMessage& m) { return m.Text == finished; }));
  }

  TProgram Program{8};
  TTempFolder Scripts;
  std::vector<int32_t> ListOpenedWith;
};

// B, G, R rows without padding.
std::vector<uint8_t> Pixels(TWKGraphicsDocument& document) {
  const TWKBitmapStorage& rows = document.CurrentImage.Storage();
  std::vector<uint8_t> bits;
  for (int32_t y = 0; y < rows.Height; ++y) {
    const uint8_t* row = rows.Bits + static_cast<ptrdiff_t>(y) * rows.RowBytes;
    bits.insert(bits.end(), row, row + static_cast<ptrdiff_t>(rows.Width) * 3);
  }
  return bits;
}

std::vector<uint8_t> PhotoPixels(const std::string& file) {
  const QImage image = QImage(QString::fromStdString(file)).convertToFormat(QImage::Format_BGR888);
  std::vector<uint8_t> bits;
  for (int y = 0; y < image.height(); ++y)
    bits.insert(bits.end(), image.constScanLine(y), image.constScanLine(y) + static_cast<ptrdiff_t>(image.width()) * 3);
  return bits;
}

TWKDemoEditorForm& OpenDemoEditor(TWKApplication& app) {
  for (int i = 0; i < app.ComponentCount(); ++i)
    if (auto* module = dynamic_cast<TWKDemoEditorModule*>(app.Components(i))) {
      module->CmDemoEditor();
      return *module->EditorForm;
    }
  throw std::runtime_error("no demo editor module");
}

}  // namespace

TEST_F(DemonstrationModuleTest, TheListFollowsTheFileNamesAndKeepsItsSelectionInRange) {
  TWKDemoList list(*Program.Demo);
  std::string error;
  ASSERT_TRUE(list.Fill(error));  // an empty folder: an empty list, nothing to start
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.StartEnabled());
  EXPECT_EQ(list.SelectedScript(), nullptr);

  Scripts.Write("2-first.dsc", ScriptText("Apple"));
  Scripts.Write("10-second.dsc", ScriptText("Zebra"));
  Scripts.Write("b.dsc", ScriptText("Mango"));
  Scripts.Write("A.DSC", ScriptText("Kiwi"));
  Scripts.Write("notes.txt", "not a script");
  Program.Demo->LastDemoIndex = 17;
  ASSERT_TRUE(list.Fill(error));
  ASSERT_EQ(list.Count(), 4);
  std::vector<std::string> captions;
  for (int32_t i = 0; i < list.Count(); ++i) captions.push_back(list.Caption(i));
  EXPECT_EQ(captions, (std::vector<std::string>{"Zebra", "Apple", "Kiwi", "Mango"}));
  EXPECT_EQ(list.SelectedIndex(), 3);
  EXPECT_EQ(Program.Demo->LastDemoIndex, 3);
  EXPECT_TRUE(list.StartEnabled());

  Program.Demo->DemoFolder = Scripts / "missing/";
  ASSERT_TRUE(list.Fill(error));
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(DemonstrationModuleTest, TheChosenScriptPlaysAndTheListComesBackWithTheNextOne) {
  Scripts.Write("1.dsc", ScriptText("One"));
  Scripts.Write("2.dsc", ScriptText("Two"));
  ChooseInList({1, 1});
  Program.Demo->ShowDemonstrations();
  ASSERT_TRUE(Program.Demo->Playback().IsPlaying());
  // The script was taken from the list before the list and its scripts went.
  EXPECT_EQ(Program.Demo->Playback().Script().Title(), "Two");
  EXPECT_EQ(Program.App.GetTitle(), "Quillmoor - Two");
  EXPECT_EQ(Program.Demo->LastDemoIndex, 2);

  // The list comes back by itself after each run; past the last script it selects the last
  // again. The third time it is closed.
  ASSERT_TRUE(RunUntil([&] { return ListOpenedWith.size() == 3 && !Program.Demo->Playback().IsPlaying(); }, kTimeoutMs));
  EXPECT_EQ(ListOpenedWith, (std::vector<int32_t>{0, 1, 1}));
  QTest::qWait(50);
  EXPECT_EQ(ListOpenedWith.size(), 3u);
  EXPECT_EQ(FinishedMessages(), 2);
  EXPECT_EQ(Program.App.GetTitle(), "Quillmoor");
  EXPECT_TRUE(Program.ErrorMessages().empty());
}

// An unsaved photo before a demonstration: the question, then the photo's own save prompt.
TEST_F(DemonstrationModuleTest, AnOpenPhotoIsClosedOnlyWithTheUsersConsent) {
  const struct {
    const char* Case;
    std::deque<int> Answers;
    bool Starts;
  } cases[] = {
      {"No to the question", {IDNO}, false},
      {"Yes, then Cancel in the save prompt", {IDYES, IDCANCEL}, false},
      {"Yes, then do not save", {IDYES, IDNO}, true},
  };
  Scripts.Write("1.dsc", ScriptText("One"));
  TWKDemoScript script;
  ASSERT_TRUE(script.LoadFromFile(Scripts / "1.dsc"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    ASSERT_NE(OpenChangedPhoto(Scripts / (std::string(c.Case) + ".png")), nullptr);
    Program.Answers = c.Answers;
    EXPECT_EQ(Program.Demo->PlayScript(script, false), c.Starts);
    EXPECT_TRUE(Program.Answers.empty());
    EXPECT_EQ(Program.Document() == nullptr, c.Starts);
    EXPECT_EQ(Program.App.GetTitle(), c.Starts ? "Quillmoor - One" : "Quillmoor");
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Program.App.GetTitle(), "Quillmoor");
  }
}

// In plug-in mode the photo goes back into the exchange file before a demonstration; when that
// fails and the user cancels the save prompt, nothing starts (and nothing asks again).
TEST_F(DemonstrationModuleTest, InPluginModeAFailedSaveAndCancelStartNothing) {
  Scripts.Write("1.dsc", ScriptText("One"));
  TWKDemoScript script;
  ASSERT_TRUE(script.LoadFromFile(Scripts / "1.dsc"));
  TWKGraphicsDocument* document = OpenChangedPhoto(Scripts / "photo.png");
  ASSERT_NE(document, nullptr);
  Program.Editor->SetPluginMode(true);
  const std::string title = Program.App.GetTitle();
  document->FileName = Scripts / "gone/photo.png";  // cannot be written
  Program.Answers = {IDYES, IDCANCEL};
  EXPECT_FALSE(Program.Demo->PlayScript(script, false));
  EXPECT_TRUE(Program.Answers.empty());
  EXPECT_EQ(Program.Document(), document);
  EXPECT_EQ(Program.App.GetTitle(), title);

  // A save that works: the photo is written and closed, and closing the list opens it again.
  document->FileName = Scripts / "photo.png";
  Program.Answers = {IDYES};
  fs::remove(Scripts / "photo.png");
  ASSERT_TRUE(Program.Demo->PlayScript(script, false));
  EXPECT_EQ(Program.Document(), nullptr);
  EXPECT_TRUE(fs::exists(Scripts / "photo.png"));
  EXPECT_EQ(Program.Demo->PluginFileName, Scripts / "photo.png");
  ASSERT_TRUE(WaitUntilIdle());
  ChooseInList({-1});
  Program.Demo->ShowDemonstrations();
  ASSERT_NE(Program.Document(), nullptr);
  EXPECT_EQ(Program.Document()->FileName, Scripts / "photo.png");
}

TEST_F(DemonstrationModuleTest, RecordingOperationsWriteOnlyWhileRecording) {
  TWKDemonstrationModule& demo = *Program.Demo;
  TWKDemoPlayback& playback = demo.Playback();
  demo.RecordText("Pause 1");
  demo.RecordControl("RedEyeBrightness", "20");
  demo.RecordMessage("Click");
  EXPECT_TRUE(playback.Script().ScriptLines().empty());

  ASSERT_TRUE(playback.BeginRecording(-1));
  demo.RecordControl("RedEyeIncArea", "");
  demo.RecordControl("RedEyeBrightness", "1");
  demo.RecordMessage("Say \"cheese\"");
  playback.EndRecording();
  demo.RecordText("Pause 1");
  EXPECT_EQ(playback.Script().ScriptLines(),
            (std::vector<std::string>{"MouseCurvedMove RedEyeIncArea", "RedEyeIncArea",
                                      "MouseCurvedMove RedEyeBrightness", "RedEyeBrightness 1",
                                      "Message 'Say \"cheese\"'"}));
}

// Delete Language never offers the "Info" or "Script" section, wherever they stand in the file.
TEST_F(DemonstrationModuleTest, TheEditorDeletesLanguageSectionsOnly) {
  TWKDemoEditorForm& editor = OpenDemoEditor(Program.App);
  editor.EditedScript.LoadFromText("[Info]\nTitle=x\n[1033]\nTitle=English\n[Script]\nPause 1\n[1031]\nTitle=Deutsch\n");
  editor.RefreshTabs();
  ASSERT_EQ(editor.SectionsTabControl->currentIndex(), 2);  // "Script" is shown first
  for (const auto& [tab, deletable] : std::vector<std::pair<int, bool>>{{0, false}, {1, true}, {2, false}, {3, true}}) {
    editor.SectionsTabControl->setCurrentIndex(tab);
    editor.UpdateControls();
    EXPECT_EQ(editor.DeleteLanguageMenuItem->isEnabled(), deletable) << "tab " << tab;
  }
  editor.SectionsTabControl->setCurrentIndex(2);
  editor.CmDeleteLanguage();  // even when asked directly
  ASSERT_EQ(editor.EditedScript.SectionCount(), 4);
  editor.SectionsTabControl->setCurrentIndex(1);
  editor.CmDeleteLanguage();
  ASSERT_EQ(editor.EditedScript.SectionCount(), 3);
  EXPECT_EQ(editor.EditedScript.SectionName(1), "Script");
  EXPECT_EQ(editor.EditedScript.ScriptLines(), std::vector<std::string>{"Pause 1"});
  EXPECT_EQ(editor.SectionsTabControl->tabText(editor.SectionsTabControl->currentIndex()), "Script");
}

TEST_F(DemonstrationModuleTest, AddLanguageSwitchesToAnExistingSectionOrAddsAnEmptyOne) {
  TWKDemoEditorForm& editor = OpenDemoEditor(Program.App);
  editor.EditedScript.LoadFromText("[Info]\n[Script]\nPause 1\n[1031]\nTitle=Deutsch\n");
  editor.RefreshTabs();
  std::optional<std::string> answer;
  editor.AskLanguage = [&] { return answer; };
  editor.ScriptMemo->setPlainText("Pause 2");

  for (const std::optional<std::string>& nothing : {std::optional<std::string>(), std::optional<std::string>("  ")}) {
    answer = nothing;
    editor.CmAddLanguage();
    EXPECT_EQ(editor.EditedScript.SectionCount(), 3);
    EXPECT_EQ(editor.SectionsTabControl->currentIndex(), 1);
  }
  answer = " 1031 ";
  editor.CmAddLanguage();
  EXPECT_EQ(editor.EditedScript.SectionCount(), 3);
  EXPECT_EQ(editor.SectionsTabControl->currentIndex(), 2);
  EXPECT_EQ(editor.ScriptMemo->toPlainText(), "Title=Deutsch");
  EXPECT_EQ(editor.EditedScript.ScriptLines(), std::vector<std::string>{"Pause 2"});  // stored on the switch

  answer = "1049";
  editor.CmAddLanguage();
  ASSERT_EQ(editor.EditedScript.SectionCount(), 4);
  EXPECT_EQ(editor.EditedScript.SectionName(3), "1049");
  EXPECT_EQ(editor.SectionsTabControl->currentIndex(), 3);
  EXPECT_TRUE(editor.ScriptMemo->toPlainText().isEmpty());
}

// Playing from the editor hides it and shows it again after the module's finish message, once
// per play; a play that the user declines leaves the module's handlers in place.
TEST_F(DemonstrationModuleTest, TheEditorPlaysItsScriptAgainAndAgain) {
  TWKDemoEditorForm& editor = OpenDemoEditor(Program.App);
  editor.EditedScript.LoadFromText(ScriptText("Edited"));
  editor.RefreshTabs();
  ASSERT_NE(OpenChangedPhoto(Scripts / "photo.png"), nullptr);
  Program.Answers = {IDNO};
  editor.CmPlay();
  EXPECT_FALSE(Program.Demo->Playback().IsPlaying());
  EXPECT_TRUE(editor.isVisible());
  Program.Editor->CurrentDocument()->NoSaveQuery = true;

  for (int play = 1; play <= 2; ++play) {
    SCOPED_TRACE(play);
    editor.CmPlay();
    ASSERT_TRUE(Program.Demo->Playback().IsPlaying());
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(Program.App.GetTitle(), "Quillmoor - Edited");
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(FinishedMessages(), play);
    EXPECT_EQ(Program.App.GetTitle(), "Quillmoor");
  }
  EXPECT_TRUE(Program.ErrorMessages().empty());
}

// The user corrects both red eyes of the portrait and darkens the pupils while the editor
// records; playing the recording on the freshly opened photo gives the same pixels.
TEST_F(DemonstrationModuleTest, ARecordedRedEyeCorrectionPlaysBackToTheSamePixels) {
  TWKDemoEditorForm& editor = OpenDemoEditor(Program.App);
  Program.Editor->DemoFolder = Program.Demo->DemoFolder = TProgram::DataFolder("Demo");
  editor.CmNew();
  editor.CmRecord();
  ASSERT_TRUE(Program.Demo->Playback().IsRecording());
  EXPECT_FALSE(editor.ScriptMemo->isEnabled());

  TWKDocument* opened = nullptr;
  ASSERT_TRUE(Program.Editor->OpenFile(Program.Demo->DemoFolder + "portrait-red-eye.png", opened, true));
  QTest::qWait(50);
  IWKDemoPlatform& desktop = Program.Demo->Platform();
  for (const TPoint pupil : {TPoint{69, 70}, TPoint{111, 72}}) {
    TWKDemoScriptParams at;
    at.AddString("Image");
    at.AddInteger(pupil.X);
    at.AddInteger(pupil.Y);
    TPoint screen;
    ASSERT_TRUE(Program.Editor->GetScriptCommandPoint(at, screen));
    // The user moved the editor away from the photo.
    editor.move(screen.X + 60, editor.y());
    desktop.SetPointerPos(screen);
    QTest::qWait(20);
    desktop.InjectButton(TWKPhysicalButton::Left, true);
    QTest::qWait(20);
    desktop.InjectButton(TWKPhysicalButton::Left, false);
    QTest::qWait(50);
  }
  QSlider* brightness = nullptr;
  for (QWidget* widget : QApplication::allWidgets())
    if (auto* frame = dynamic_cast<TWKRedEyeFrame*>(widget))
      brightness = qobject_cast<QSlider*>(frame->ControlWidget("Brightness"));
  ASSERT_NE(brightness, nullptr);
  brightness->setValue(20);
  QTest::qWait(50);
  editor.CmStop();
  EXPECT_FALSE(Program.Demo->Playback().IsRecording());
  EXPECT_TRUE(editor.ScriptMemo->isEnabled());

  const std::string text = editor.ScriptMemo->toPlainText().toStdString();
  EXPECT_NE(text.find("ImageOpen \"portrait-red-eye.png\""), std::string::npos) << text;
  EXPECT_NE(text.find("MouseDown Image, 69, 70"), std::string::npos) << text;
  EXPECT_NE(text.find("RedEyeBrightness 20"), std::string::npos) << text;

  TWKGraphicsDocument* document = Program.Document();
  ASSERT_NE(document, nullptr);
  const std::vector<uint8_t> expected = Pixels(*document);
  ASSERT_NE(expected, PhotoPixels(Program.Demo->DemoFolder + "portrait-red-eye.png")) << "the clicks corrected nothing";
  document->NoSaveQuery = true;
  ASSERT_TRUE(document->CloseQuery());
  brightness->setValue(50);

  editor.CmPlay();
  ASSERT_TRUE(Program.Demo->Playback().IsPlaying());
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_TRUE(Program.ErrorMessages().empty());
  ASSERT_NE(Program.Document(), nullptr);
  EXPECT_EQ(Pixels(*Program.Document()), expected);
}

// The list at the start comes unless the program was started on a photo; then the photo opens
// and the list waits for a later start.
TEST(DemonstrationListAtStart, APhotoNamedAtTheStartComesFirst) {
  for (const bool onPhoto : {false, true}) {
    SCOPED_TRACE(onPhoto ? "started on a photo" : "started without a file");
    TTempFolder folder;
    const std::string photo = folder / "photo.png";
    fs::copy_file(TProgram::DataFolder("Demo") + "portrait-red-eye.png", photo);
    TProgram program;
    std::vector<int32_t> listOpenedWith;
    program.Demo->ListFormFactory = [&] { return std::make_unique<TChoosingListForm>(listOpenedWith, -1); };
    if (onPhoto) {
      program.Editor->SetCommandLine({photo});
      program.Demo->StartedOnPhoto = true;
    }
    program.Start(true);
    ASSERT_TRUE(RunUntil([&] { return onPhoto ? program.Document() != nullptr : !listOpenedWith.empty(); }, kTimeoutMs));
    QTest::qWait(50);
    EXPECT_EQ(listOpenedWith.size(), onPhoto ? 0u : 1u);
    EXPECT_EQ(program.Document() != nullptr, onPhoto);
    EXPECT_TRUE(program.Demo->ShowAtStartup);
    EXPECT_TRUE(program.ErrorMessages().empty());
  }
}
