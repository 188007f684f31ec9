#include "EditorFixture.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "framework/WKStreams.h"

using ::testing::_;
using ::testing::HasSubstr;
using ::testing::Return;

namespace {

class TLineRecorder : public IWKScriptRecorder {
 public:
  std::vector<std::string> Lines;
  bool Messages = true;
  void AddLine(const std::string& line) override { Lines.push_back(line); }
  bool ShowsMessages() const override { return Messages; }
};

}  // namespace

TEST_F(EditorTest, RecentFilesKeepTheirOrderAndSurviveASettingsRoundTrip) {
  std::vector<std::string> names;
  for (const char* n : {"a", "b", "c", "d", "e", "f"})
    names.push_back(MakeFile(std::string(n) + ".qmt", n));
  for (const std::string& name : names) ASSERT_TRUE(Open(name));
  // Re-opened under another case: moves to the top without a duplicate.
  std::string upper = names[2];
  upper.replace(upper.size() - 5, 1, "C");
  std::filesystem::copy_file(names[2], upper);
  ASSERT_TRUE(Open(upper));
  const std::vector<std::string> expected{upper, names[5], names[4], names[3], names[1]};
  EXPECT_EQ(Editor->RecentFiles(), expected);

  std::vector<std::string> menu = Window.Captions(Window.File);
  const std::vector<std::string> expectedMenu{
      "Open...",        "Save As...",     "Close",          "-", "&1 " + upper, "&2 " + names[5],
      "&3 " + names[4], "&4 " + names[3], "&5 " + names[1], "-", "Exit"};
  EXPECT_EQ(menu, expectedMenu);  // the hidden Save item is not listed

  TWKMemoryStream stream;
  {
    TWKSDFWriter writer(&stream, false);
    Editor->SaveSettings(writer);
  }
  Editor.reset();
  TFakeMainWindow window;
  Editor = std::make_unique<TTestEditor>(nullptr, window, Dialogs);
  EXPECT_TRUE(Editor->RecentFiles().empty());
  stream.Seek(0);
  TWKSDFReader reader(&stream, false);
  Editor->LoadSettings(reader);
  EXPECT_EQ(Editor->RecentFiles(), expected);
  EXPECT_EQ(window.Captions(window.File), expectedMenu);

  // Clicking a recent item opens the file behind the first blank of its caption.
  static_cast<TFakeItem*>(window.File.Children[6])->Click();
  ASSERT_NE(Editor->Current(), nullptr);
  EXPECT_EQ(Editor->Current()->FileName, names[5]);
  EXPECT_EQ(Editor->RecentFiles().front(), names[5]);
  Editor.reset();  // before its window goes
}

TEST_F(EditorTest, SettingsWithoutTheSectionOrWithABadCountLeaveTheListAlone) {
  TWKMemoryStream stream;
  {
    TWKSDFWriter writer(&stream, false);
    writer.BeginNode(1, RecentFilesSettingsGuid);
    writer.BeginNode(1, 2000000000);  // claims far more names than it holds
    writer.WriteWideString(2, "/x/two.qmt");
    writer.WriteInteger(1, 5);  // wrong type: skipped
    writer.EndNode();
    writer.EndNode();
  }
  stream.Seek(0);
  TWKSDFReader reader(&stream, false);
  Editor->LoadSettings(reader);
  EXPECT_EQ(Editor->RecentFiles(), (std::vector<std::string>{"/x/two.qmt"}));

  TWKMemoryStream empty;
  TWKSDFReader none(&empty, false);
  Editor->LoadSettings(none);
  EXPECT_EQ(Editor->RecentFiles().size(), 1u);
}

TEST_F(EditorTest, SaveAtStepTwoThenUndoAsksOnClose) {
  const std::string a = MakeFile("a.qmt", "x");
  ASSERT_TRUE(Open(a));
  TTextDocument* doc = Editor->Current();
  doc->Edit("1");
  doc->Edit("2");
  Dialogs.SaveName = (Folder / "saved").string();
  Editor->SaveAsClick();
  EXPECT_EQ(Dialogs.ProposedName, (Folder / "a").string());
  EXPECT_EQ(Dialogs.OfferedFilter, 1);
  EXPECT_EQ(doc->FileName, (Folder / "saved.qmt").string());
  EXPECT_TRUE(doc->Saved());
  EXPECT_EQ(Window.WindowCaption, "saved.qmt - Quillmoor");

  Editor->UndoClick();
  EXPECT_FALSE(doc->Saved());
  Editor->RedoClick();
  EXPECT_TRUE(doc->Saved());
  Editor->UndoClick();

  EXPECT_CALL(*Messages,
              MessageBox("Do you want to save the changes to saved.qmt?", "Quillmoor", _))
      .WillOnce(Return(IDCANCEL))
      .WillOnce(Return(IDNO));
  bool canClose = true;
  Window.CloseQuery(canClose);
  EXPECT_FALSE(canClose);
  EXPECT_EQ(Editor->DocumentCount(), 1);
  Editor->CloseClick();
  EXPECT_EQ(Editor->DocumentCount(), 0);
  EXPECT_EQ(Window.WindowCaption, "Quillmoor");
}

TEST_F(EditorTest, UndoAllBackToTheSavedStartAsksNothing) {
  ASSERT_TRUE(Open(MakeFile("a.qmt", "x")));
  TTextDocument* doc = Editor->Current();
  for (const char* s : {"1", "2", "3"}) doc->Edit(s);
  EXPECT_FALSE(doc->Saved());
  Editor->UndoAllClick();
  EXPECT_EQ(doc->Text, "x");
  EXPECT_TRUE(doc->Saved());
  bool canClose = true;
  Window.CloseQuery(canClose);  // the strict mock fails on any question
  EXPECT_TRUE(canClose);
  EXPECT_EQ(Editor->DocumentCount(), 0);
}

// The file on disk holds step 1; undoing everything is a change against it.
TEST_F(EditorTest, UndoAllAfterASaveAtStepOneIsNotSaved) {
  ASSERT_TRUE(Open(MakeFile("a.qmt", "x")));
  TTextDocument* doc = Editor->Current();
  doc->Edit("1");
  ASSERT_TRUE(doc->Save());
  doc->Edit("2");
  Editor->UndoAllClick();
  EXPECT_FALSE(doc->Saved());
  // A new step after undoing cuts the saved state off for good.
  doc->Edit("3");
  Editor->UndoAllClick();
  EXPECT_FALSE(doc->Saved());
  Editor->RedoAllClick();
  EXPECT_FALSE(doc->Saved());
  EXPECT_EQ(doc->Text, "x3");
}

TEST_F(EditorTest, CommandStatesFollowTheHistory) {
  Editor->UpdateControls();
  EXPECT_FALSE(Editor->SaveAsMenuItem->Enabled());
  EXPECT_FALSE(Editor->CloseMenuItem->Enabled());
  EXPECT_FALSE(Editor->UndoMenuItem->Enabled());
  EXPECT_FALSE(Editor->RedoToolButton->Enabled());

  ASSERT_TRUE(Open(MakeFile("a.qmt", "x")));
  TTextDocument* doc = Editor->Current();
  for (const char* s : {"1", "2", "3"}) doc->Edit(s);
  for (int i = 0; i < 3; ++i) Editor->UndoClick();
  EXPECT_EQ(doc->Text, "x");
  Editor->UpdateControls();
  EXPECT_FALSE(Editor->UndoMenuItem->Enabled());
  EXPECT_TRUE(Editor->RedoAllMenuItem->Enabled());
  EXPECT_FALSE(Editor->SaveMenuItem->Enabled());  // back at the loaded state

  static_cast<TFakeItem*>(Editor->RedoAllMenuItem)->Click();
  EXPECT_EQ(doc->Text, "x123");
  Editor->UpdateControls();
  EXPECT_FALSE(Editor->RedoMenuItem->Enabled());
  EXPECT_FALSE(Editor->RedoAllMenuItem->Enabled());
  EXPECT_FALSE(Editor->RedoToolButton->Enabled());
  EXPECT_TRUE(Editor->UndoMenuItem->Enabled());
  EXPECT_TRUE(Editor->UndoAllMenuItem->Enabled());
  EXPECT_TRUE(Editor->UndoToolButton->Enabled());
  EXPECT_TRUE(Editor->SaveMenuItem->Enabled());

  Editor->UndoEnabled = false;
  Editor->UpdateControls();
  EXPECT_FALSE(Editor->UndoMenuItem->Enabled());
  Editor->UndoClick();
  EXPECT_EQ(doc->Text, "x123");
}

TEST_F(EditorTest, FailedOpenReportsTheFileAndKeepsThePreviousDocument) {
  const std::string good = MakeFile("good.qmt", "keep me");
  const std::string broken = MakeFile("broken.qmt", "0123456789", true);
  ASSERT_TRUE(Open(good));
  TTextDocument* doc = Editor->Current();
  doc->Edit(" changed");

  // Asked about the changes first; "No" does not throw them away while the new file fails.
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("good.qmt"), _, MB_YESNOCANCEL | MB_ICONWARNING))
      .WillOnce(Return(IDNO));
  EXPECT_CALL(*Messages, MessageBox("The file " + broken + " cannot be opened.", "Quillmoor",
                                    MB_OK | MB_ICONERROR));
  EXPECT_FALSE(Open(broken));
  ASSERT_EQ(Editor->DocumentCount(), 1);
  EXPECT_EQ(Editor->Current(), doc);
  EXPECT_EQ(doc->Text, "keep me changed");
  EXPECT_EQ(Editor->RecentFiles(), (std::vector<std::string>{good}));
  EXPECT_EQ(Window.WindowCaption, "good.qmt - Quillmoor");
  ::testing::Mock::VerifyAndClearExpectations(Messages);

  // Refusing to give up the current document reads nothing and says nothing more.
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("good.qmt"), _, _)).WillOnce(Return(IDCANCEL));
  EXPECT_FALSE(Open(MakeFile("other.qmt", "o")));
  EXPECT_EQ(Editor->Current(), doc);
  ::testing::Mock::VerifyAndClearExpectations(Messages);

  // A file that does not exist at all fails the same way.
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("good.qmt"), _, _)).WillOnce(Return(IDNO));
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("missing.qmt cannot be opened"), _, _));
  EXPECT_FALSE(Open((Folder / "missing.qmt").string()));
  EXPECT_EQ(Editor->Current(), doc);
}

TEST_F(EditorTest, SuccessfulOpenReplacesTheCurrentDocumentAfterAgreement) {
  ASSERT_TRUE(Open(MakeFile("a.qmt", "a")));
  Editor->Current()->Edit("!");
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("a.qmt"), _, _)).WillOnce(Return(IDNO));
  ASSERT_TRUE(Open(MakeFile("b.qmt", "b")));
  ASSERT_EQ(Editor->DocumentCount(), 1);
  EXPECT_EQ(Editor->Current()->Text, "b");
  EXPECT_TRUE(Editor->Current()->Saved());
  EXPECT_EQ(Window.ShownView, Editor->Current()->View());
}

TEST_F(EditorTest, SavingAsksBeforeOverwritingAndAppendsOnlyMissingExtensions) {
  ASSERT_TRUE(Open(MakeFile("a.qmt", "a")));
  TTextDocument* doc = Editor->Current();
  doc->Edit("!");
  const std::string existing = MakeFile("b.qmtext", "old");
  Dialogs.SaveName = existing;  // matches the second mask: nothing appended
  EXPECT_CALL(*Messages, MessageBox("The file " + existing + " already exists. Replace it?", _,
                                    MB_YESNO | MB_ICONWARNING))
      .WillOnce(Return(IDNO));
  EXPECT_FALSE(Editor->SaveAs(*doc));
  EXPECT_FALSE(doc->Saved());
  EXPECT_EQ(Editor->Formats.Saves, 0);

  Dialogs.SaveName = (Folder / "c.QMT").string();
  EXPECT_TRUE(Editor->SaveAs(*doc));
  EXPECT_EQ(doc->FileName, (Folder / "c.QMT").string());

  Dialogs.SaveName = (Folder / "d.qmt").string();
  Dialogs.SaveFilter = 2;  // "Other": .qmt is not one of its masks
  EXPECT_TRUE(Editor->SaveAs(*doc));
  EXPECT_EQ(doc->FileName, (Folder / "d.qmt.oth").string());
  EXPECT_EQ(doc->FormatId, 1);

  Dialogs.SaveName.clear();  // cancelled
  EXPECT_FALSE(Editor->SaveAs(*doc));
  Dialogs.SaveName = "x";
  Dialogs.SaveFilter = 9;  // no such entry
  EXPECT_FALSE(Editor->SaveAs(*doc));
}

TEST_F(EditorTest, CloseQueryAnsweredYesSavesAndAFailedSaveKeepsTheDocument) {
  ASSERT_TRUE(Open(MakeFile("a.qmt", "a")));
  Editor->Current()->Edit("!");
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("a.qmt"), _, _))
      .Times(2)
      .WillRepeatedly(Return(IDYES));
  Dialogs.SaveName.clear();  // the save dialog is cancelled: the close is cancelled
  Editor->CloseClick();
  EXPECT_EQ(Editor->DocumentCount(), 1);
  Dialogs.SaveName = (Folder / "a2").string();
  Editor->CloseClick();
  EXPECT_EQ(Editor->DocumentCount(), 0);
  EXPECT_TRUE(std::filesystem::exists(Folder / "a2.qmt"));
}

TEST_F(EditorTest, DocumentsThatNeedNoQuestionCloseQuietly) {
  ASSERT_TRUE(Open(MakeFile("a.qmt", "a")));
  Editor->Current()->Edit("!");
  Editor->Current()->NoSaveQuery = true;
  Editor->CloseClick();
  EXPECT_EQ(Editor->DocumentCount(), 0);

  ASSERT_TRUE(Open(MakeFile("b.qmt", "b")));
  Editor->Current()->Edit("!");
  Editor->AskToSave = false;
  Editor->CloseClick();
  EXPECT_EQ(Editor->DocumentCount(), 0);
}

TEST_F(EditorTest, TitleNewDocumentAndPluginModeIgnoresFileCommands) {
  EXPECT_EQ(Window.WindowCaption, "Quillmoor");
  TWKDocument* doc = nullptr;
  ASSERT_TRUE(Editor->NewDocument(doc));
  EXPECT_EQ(Window.WindowCaption, "Untitled - Quillmoor");
  App.SetTitle("Renamed");
  EXPECT_EQ(Window.WindowCaption, "Untitled - Renamed");
  Editor->SetMultipleDocuments(true);
  EXPECT_EQ(Window.WindowCaption, "Renamed");
  Editor->SetMultipleDocuments(false);

  Editor->SetPluginMode(true);
  Dialogs.OpenName = MakeFile("a.qmt", "a");
  Editor->OpenClick();
  Editor->SaveAsClick();
  EXPECT_EQ(Editor->Current(), doc);
  EXPECT_EQ(Dialogs.SaveDialogs, 0);
  Editor->SetPluginMode(false);
  Editor->OpenClick();
  EXPECT_EQ(Editor->Current()->FileName, Dialogs.OpenName);
}

TEST_F(EditorTest, StartOpensAnExistingFirstArgument) {
  Editor->SetCommandLine({(Folder / "none.qmt").string()});
  Editor->Start();
  EXPECT_EQ(Editor->DocumentCount(), 0);
  const std::string a = MakeFile("a.qmt", "a");
  Editor->SetCommandLine({a, "ignored"});
  Editor->Start();
  ASSERT_EQ(Editor->DocumentCount(), 1);
  EXPECT_EQ(Editor->RecentFiles().front(), a);
}

TEST_F(EditorTest, ScriptCommandsAndRecordedLines) {
  ASSERT_TRUE(Open(MakeFile("a.qmt", "a")));
  TTextDocument* doc = Editor->Current();
  doc->Edit("1");
  TLineRecorder recorder;
  Editor->StartRecording(&recorder);
  TWKCustomProperties none;
  EXPECT_TRUE(Editor->ExecuteScriptCommand("UNDO", none));
  EXPECT_EQ(doc->Text, "a");
  recorder.Messages = false;
  EXPECT_TRUE(Editor->ExecuteScriptCommand("REDO", none));
  EXPECT_EQ(doc->Text, "a1");
  EXPECT_FALSE(Editor->ExecuteScriptCommand("ZOOMIN", none));
  Editor->StopRecording();
  Editor->UndoClick();
  EXPECT_EQ(recorder.Lines, (std::vector<std::string>{"MouseCurvedMove Undo", "Message \"Undo\"",
                                                      "Undo", "MouseCurvedMove Redo", "Redo"}));

  static_cast<TFakeItem*>(Editor->RedoToolButton)->Center = {40, 12};
  TWKCustomProperties params;
  params.SetString(1, "redo");
  TPoint point;
  ASSERT_TRUE(Editor->GetScriptCommandPoint(params, point));
  EXPECT_EQ(point, (TPoint{40, 12}));
  params.SetString(1, "Open");
  EXPECT_FALSE(Editor->GetScriptCommandPoint(params, point));
  EXPECT_FALSE(Editor->GetScriptCommandPoint(none, point));
}

TEST_F(EditorTest, ObserversHearLoadAndClose) {
  class TObserver : public IWKDocumentObserver {
   public:
    std::vector<std::string> Log;
    void DocumentLoaded(TWKDocument& d) override { Log.push_back("loaded " + d.DisplayName()); }
    void DocumentClosed(TWKDocument& d) override { Log.push_back("closed " + d.DisplayName()); }
  } observer;
  TTextDocument doc(*Editor);
  doc.AddObserver(&observer);
  doc.AddObserver(&observer);  // no duplicates
  ASSERT_TRUE(doc.LoadFromFile(MakeFile("a.qmt", "a")));
  EXPECT_FALSE(doc.LoadFromFile(MakeFile("b.qmt", "b", true)));
  EXPECT_EQ(doc.FileName, (Folder / "a.qmt").string());
  doc.RemoveObserver(&observer);
  ASSERT_TRUE(doc.LoadFromFile(MakeFile("c.qmt", "c")));
  EXPECT_EQ(observer.Log, (std::vector<std::string>{"loaded a.qmt"}));
}
