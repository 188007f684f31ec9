#include "EditorFixture.h"

#include <unistd.h>

#include <fstream>
#include <iterator>

namespace {

class TEditState : public TWKCommandState {
 public:
  TEditState(TTextDocument& document, std::string before)
      : Document(document), Before(std::move(before)), After(document.Text) {}
  void Undo() override { Document.Text = Before; }
  void Redo() override { Document.Text = After; }
  TTextDocument& Document;
  std::string Before, After;
};

void WriteBytes(const std::string& fileName, const std::string& bytes) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Encode(const std::string& text) {
  std::string bytes = "QMT1";
  const uint32_t n = static_cast<uint32_t>(text.size());
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
  return bytes + text;
}

}  // namespace

TFakeMainWindow::TFakeMainWindow() {
  File.Children = {&FileSeparator, &Exit};
  FileSeparator.Parent = Exit.Parent = &File;
  MenuBar.Children = {&File, &View, &Help};
  File.Parent = View.Parent = Help.Parent = &MenuBar;
  File.CaptionText = "File";
  View.CaptionText = "View";
  Help.CaptionText = "Help";
  FileSeparator.CaptionText = "-";
  Exit.CaptionText = "Exit";
}

TFakeItem* TFakeMainWindow::Insert(IWKUIItem* parent, IWKUIItem* before,
                                   const std::string& caption) {
  if (parent == nullptr) parent = &MenuBar;
  auto* owner = static_cast<TFakeItem*>(parent);
  Items_.push_back(std::make_unique<TFakeItem>());
  TFakeItem* item = Items_.back().get();
  item->CaptionText = caption;
  item->Parent = owner;
  auto at = std::find(owner->Children.begin(), owner->Children.end(), before);
  owner->Children.insert(at, item);
  return item;
}

IWKUIItem* TFakeMainWindow::AddMenuItem(const std::string& caption, const std::string& shortcut,
                                        IWKUIItem* before, IWKUIItem* parent, int32_t imageIndex,
                                        TWKClickHandler click) {
  TFakeItem* item = Insert(parent, before, caption);
  item->Shortcut = shortcut;
  item->Click = std::move(click);
  return item;
}

IWKUIItem* TFakeMainWindow::AddSubmenu(const std::string& caption, IWKUIItem* parent,
                                       IWKUIItem* before) {
  return Insert(parent, before, caption);
}

IWKUIItem* TFakeMainWindow::AddSeparator(IWKUIItem* parent, IWKUIItem* before) {
  return Insert(parent, before, "-");
}

IWKUIItem* TFakeMainWindow::AddToolbar(const std::string& caption) {
  Items_.push_back(std::make_unique<TFakeItem>());
  Items_.back()->CaptionText = caption;
  return Items_.back().get();
}

IWKUIItem* TFakeMainWindow::AddToolbarButton(IWKUIItem* toolbar, IWKUIItem* before,
                                             const std::string& caption, int32_t imageIndex,
                                             TWKClickHandler click) {
  TFakeItem* item = Insert(toolbar, before, caption);
  item->HintText = caption;
  item->Click = std::move(click);
  return item;
}

IWKUIItem* TFakeMainWindow::AddToolbarSeparator(IWKUIItem* toolbar, IWKUIItem* before) {
  return Insert(toolbar, before, "|");
}

std::vector<std::string> TFakeMainWindow::Captions(const TFakeItem& parent) const {
  std::vector<std::string> captions;
  for (const TFakeItem* child : parent.Children)
    if (child->IsVisible) captions.push_back(child->CaptionText);
  return captions;
}

bool TFakeDialogs::ExecuteOpenDialog(TWKFileFormats& formats, std::string& fileName) {
  fileName = OpenName;
  return !fileName.empty();
}

bool TFakeDialogs::ExecuteSaveDialog(TWKFileFormats& formats, const TWKFileFormatArray& saveFormats,
                                     std::string& fileName, int32_t& filterIndex) {
  ++SaveDialogs;
  ProposedName = fileName;
  OfferedFilter = filterIndex;
  fileName = SaveName;
  filterIndex = SaveFilter;
  if (!LaterSaveNames.empty()) {
    SaveName = LaterSaveNames.front();
    LaterSaveNames.erase(LaterSaveNames.begin());
  }
  return !fileName.empty();
}

void TTextDocument::Edit(const std::string& more) {
  std::string before = Text;
  Text += more;
  History().Add(std::make_unique<TEditState>(*this, std::move(before)));
}

TWKFileFormatInfo TTextFormats::FormatInfo(int32_t index) {
  if (index == 0) return {0, "Text", "*.qmt;*.qmtext", ".qmt"};
  return {1, "Other", "*.oth", ".oth"};
}

bool TTextFormats::LoadDocument(TWKDocument& document, const std::string& fileName,
                                int32_t& formatId) {
  std::ifstream in(fileName, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() < 8 || bytes.compare(0, 4, "QMT1") != 0) return false;
  uint32_t n = 0;
  for (int i = 0; i < 4; ++i)
    n |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[4 + i])) << (8 * i);
  if (bytes.size() - 8 < n) return false;
  static_cast<TTextDocument&>(document).Text = bytes.substr(8, n);
  formatId = 0;
  return true;
}

bool TTextFormats::SaveDocument(TWKDocument& document, const std::string& fileName,
                                int32_t formatId) {
  ++Saves;
  WriteBytes(fileName, Encode(static_cast<TTextDocument&>(document).Text));
  return true;
}

EditorTest::EditorTest() {
  Folder = std::filesystem::temp_directory_path() /
           ("qm_editor_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::remove_all(Folder);
  std::filesystem::create_directories(Folder / "Languages");
  WriteBytes((Folder / "Languages" / "English.ini").string(),
             "[Language]\nLangId=1033\nLanguage=English\n[Strings]\n"
             "12=Open\n13=Close\n15=Save\n16=Save As\n24=Edit\n25=Undo\n26=Redo\n74=Untitled\n"
             "94=Do you want to save the changes to %s?\n146=All Supported Formats\n"
             "147=All Files\n162=Standard\n164=The file %s already exists. Replace it?\n"
             "168=Undo All\n169=Redo All\n1030=The file %s cannot be opened.\n");
  PreviousLocalizer =
      SetGlobalLocalizer(std::make_unique<TWKLocalizer>((Folder / "Languages").string(), 1033));
  auto messages = std::make_unique<::testing::StrictMock<MockMessageBox>>();
  Messages = messages.get();
  App.SetMessageBoxService(std::move(messages));
  App.SetTitle("Quillmoor");
  Editor = NewEditor();
}

EditorTest::~EditorTest() {
  Editor.reset();
  SetGlobalLocalizer(std::move(PreviousLocalizer));
  std::error_code error;
  std::filesystem::remove_all(Folder, error);
}

std::unique_ptr<TTestEditor> EditorTest::NewEditor() {
  return std::make_unique<TTestEditor>(nullptr, Window, Dialogs);
}

std::string EditorTest::MakeFile(const std::string& name, const std::string& text, bool truncated) {
  const std::string fileName = (Folder / name).string();
  std::string bytes = Encode(text);
  if (truncated) bytes.resize(bytes.size() - text.size() / 2 - 1);
  WriteBytes(fileName, bytes);
  return fileName;
}

bool EditorTest::Open(const std::string& fileName) {
  TWKDocument* document = nullptr;
  return Editor->OpenFile(fileName, document, true);
}
