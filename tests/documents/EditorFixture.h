// Fakes of the editor's user interface, a small text document and its file format.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "documents/WKEditor.h"
#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"

class TFakeItem : public IWKUIItem {
 public:
  std::string CaptionText, HintText, Shortcut;
  bool IsEnabled = true, IsVisible = true, IsChecked = false;
  TPoint Center;
  TWKClickHandler Click;
  TFakeItem* Parent = nullptr;
  std::vector<TFakeItem*> Children;

  void SetCaption(const std::string& text) override { CaptionText = text; }
  void SetHint(const std::string& text) override { HintText = text; }
  void SetEnabled(bool value) override { IsEnabled = value; }
  void SetVisible(bool value) override { IsVisible = value; }
  void SetChecked(bool value) override { IsChecked = value; }
  std::string Caption() const override { return CaptionText; }
  bool Enabled() const override { return IsEnabled; }
  bool Visible() const override { return IsVisible; }
  bool Checked() const override { return IsChecked; }
  TPoint ScreenCenter() const override { return Center; }
};

class TFakeMainWindow : public IWKMainWindow {
 public:
  TFakeMainWindow();
  TFakeItem MenuBar, File, FileSeparator, Exit, View, Help;
  std::string WindowCaption;
  std::function<void(bool&)> CloseQuery;
  TWKDocumentView* ShownView = nullptr;
  int Closed = 0;

  IWKUIItem* FileMenuItem() override { return &File; }
  IWKUIItem* FileMenuSeparator() override { return &FileSeparator; }
  IWKUIItem* ExitMenuItem() override { return &Exit; }
  IWKUIItem* ViewMenuItem() override { return &View; }
  IWKUIItem* HelpMenuItem() override { return &Help; }
  IWKUIItem* AddMenuItem(const std::string& caption, const std::string& shortcut, IWKUIItem* before,
                         IWKUIItem* parent, int32_t imageIndex, TWKClickHandler click) override;
  IWKUIItem* AddSubmenu(const std::string& caption, IWKUIItem* parent, IWKUIItem* before) override;
  IWKUIItem* AddSeparator(IWKUIItem* parent, IWKUIItem* before) override;
  IWKUIItem* AddToolbar(const std::string& caption) override;
  IWKUIItem* AddToolbarButton(IWKUIItem* toolbar, IWKUIItem* before, const std::string& caption,
                              int32_t imageIndex, TWKClickHandler click) override;
  IWKUIItem* AddToolbarSeparator(IWKUIItem* toolbar, IWKUIItem* before) override;
  void SetCaption(const std::string& caption) override { WindowCaption = caption; }
  void ShowDocumentView(TWKDocumentView& view) override { ShownView = &view; }
  void SetCloseQuery(std::function<void(bool&)> query) override { CloseQuery = std::move(query); }
  void Close() override { ++Closed; }

  // Captions of the children of an item, in menu order.
  std::vector<std::string> Captions(const TFakeItem& parent) const;

 private:
  TFakeItem* Insert(IWKUIItem* parent, IWKUIItem* before, const std::string& caption);
  std::vector<std::unique_ptr<TFakeItem>> Items_;
};

class TFakeDialogs : public IWKFileDialogs {
 public:
  // Answers of the next dialogs; an empty name cancels.
  std::string OpenName;
  std::string SaveName;
  // Names of the dialogs after the next one, in turn (SaveName takes each).
  std::vector<std::string> LaterSaveNames;
  int32_t SaveFilter = 1;
  int SaveDialogs = 0;
  int32_t OfferedFilter = -1;
  std::string ProposedName;

  bool ExecuteOpenDialog(TWKFileFormats& formats, std::string& fileName) override;
  bool ExecuteSaveDialog(TWKFileFormats& formats, const TWKFileFormatArray& saveFormats,
                         std::string& fileName, int32_t& filterIndex) override;
};

class MockMessageBox : public IWKMessageBoxService {
 public:
  MOCK_METHOD(int, MessageBox, (const std::string& text, const std::string& caption, int flags),
              (override));
};

class TTextDocument : public TWKDocument {
 public:
  using TWKDocument::TWKDocument;
  std::string Text;
  void CreateView(std::unique_ptr<TWKDocumentView>& view) override {
    view = std::make_unique<TWKDocumentView>();
  }
  // Appends the text as one undoable step.
  void Edit(const std::string& more);
};

// "QMT1", a 32-bit length, then the text. Format 0 "Text" (*.qmt;*.qmtext), 1 "Other" (*.oth).
class TTextFormats : public TWKDocumentFormats {
 public:
  int32_t FormatCount() override { return 2; }
  TWKFileFormatInfo FormatInfo(int32_t index) override;
  bool LoadDocument(TWKDocument& document, const std::string& fileName, int32_t& formatId) override;
  bool SaveDocument(TWKDocument& document, const std::string& fileName, int32_t formatId) override;
  bool CanWriteFormat(int32_t formatId) override { return formatId == 0 || formatId == 1; }
  int Saves = 0;
};

class TTestEditor : public TWKEditor {
 public:
  using TWKEditor::TWKEditor;
  TTextFormats Formats;
  TWKDocumentFormats* GetFileFormats() override { return &Formats; }
  std::unique_ptr<TWKDocument> CreateDocument() override {
    return std::make_unique<TTextDocument>(*this);
  }
  TTextDocument* Current() const { return static_cast<TTextDocument*>(CurrentDocument()); }
};

class EditorTest : public ::testing::Test {
 protected:
  EditorTest();
  ~EditorTest() override;

  // A text file in the test folder; truncated files stop in the middle of the text.
  std::string MakeFile(const std::string& name, const std::string& text, bool truncated = false);
  std::unique_ptr<TTestEditor> NewEditor();
  bool Open(const std::string& fileName);

  std::filesystem::path Folder;
  TWKApplication App;
  ::testing::StrictMock<MockMessageBox>* Messages;  // owned by App
  TFakeMainWindow Window;
  TFakeDialogs Dialogs;
  std::unique_ptr<TTestEditor> Editor;
  std::unique_ptr<TWKLocalizer> PreviousLocalizer;
};
