#include "documents/WKEditor.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <variant>

#include "documents/WKDocumentTexts.h"
#include "documents/WKLoadProgress.h"
#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"
#include "framework/WKMessageBox.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"

namespace {

// Bounds the work a corrupt count in the settings can cause.
constexpr int32_t kMaxStoredRecentFiles = 1000;

constexpr TWKLanguageText kCannotOpen{1030, "The file %s cannot be opened."};
constexpr TWKLanguageText kCannotSave{3969, "The file %s cannot be saved."};
constexpr TWKLanguageText kWriteProtected{3970, "The file %s is write-protected. Please choose another name."};

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool SameFileName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string WithoutExtension(const std::string& fileName) {
  const size_t slash = fileName.find_last_of('/');
  const size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return fileName;
  return fileName.substr(0, dot);
}

bool FileExists(const std::string& fileName) {
  std::error_code error;
  return !fileName.empty() && std::filesystem::exists(fileName, error) &&
         !std::filesystem::is_directory(fileName, error);
}

int ShowMessage(const std::string& text, int flags) {
  TWKApplication* app = Application();
  return app ? app->MessageBox(text, flags) : 0;
}

}  // namespace

TWKEditor::TWKEditor(TWKComponent* owner, IWKMainWindow& mainWindow, IWKFileDialogs& dialogs)
    : TWKModuleWithControls(owner), MainWindow_(mainWindow), Dialogs_(dialogs) {
  CreateItems();
  MainWindow_.SetCloseQuery([this](bool& canClose) { MainFormCloseQuery(this, canClose); });
  if (TWKApplication* app = Application()) app->OnTitleChange = [this, app] { UpdateTitle(app); };
  UpdateTitle(this);
}

TWKEditor::~TWKEditor() {
  if (TWKApplication* app = Application()) app->OnTitleChange = nullptr;
  MainWindow_.SetCloseQuery(nullptr);
  while (!Documents_.empty()) Documents_.pop_back();
}

std::string TWKEditor::Ellipsis(int id) { return LanguageString(id) + "..."; }

void TWKEditor::CreateItems() {
  IWKMainWindow& w = MainWindow_;
  IWKUIItem* file = w.FileMenuItem();
  IWKUIItem* fileSeparator = w.FileMenuSeparator();
  OpenMenuItem =
      w.AddMenuItem(Ellipsis(12), "Ctrl+O", fileSeparator, file, 1, [this] { OpenClick(); });
  SaveMenuItem =
      w.AddMenuItem(LanguageString(15), "", fileSeparator, file, 2, [this] { SaveAsClick(); });
  SaveMenuItem->SetVisible(false);
  SaveAsMenuItem =
      w.AddMenuItem(Ellipsis(16), "Ctrl+S", fileSeparator, file, 2, [this] { SaveAsClick(); });
  CloseMenuItem =
      w.AddMenuItem(LanguageString(13), "", fileSeparator, file, -1, [this] { CloseClick(); });
  RecentFilesMenuSeparator = w.AddSeparator(file, w.ExitMenuItem());

  StandardToolbar = w.AddToolbar(LanguageString(162));
  OpenToolButton =
      w.AddToolbarButton(StandardToolbar, nullptr, LanguageString(12), 1, [this] { OpenClick(); });
  SaveToolButton = w.AddToolbarButton(StandardToolbar, nullptr, LanguageString(16), 2,
                                      [this] { SaveAsClick(); });

  EditMenuItem = w.AddSubmenu(LanguageString(24), nullptr, w.ViewMenuItem());
  UndoMenuItem = w.AddMenuItem(LanguageString(25), "Ctrl+Z", nullptr, EditMenuItem, 8,
                               [this] { UndoClick(); });
  UndoAllMenuItem =
      w.AddMenuItem(LanguageString(168), "", nullptr, EditMenuItem, -1, [this] { UndoAllClick(); });
  RedoMenuItem = w.AddMenuItem(LanguageString(26), "Ctrl+Y", nullptr, EditMenuItem, 9,
                               [this] { RedoClick(); });
  RedoAllMenuItem =
      w.AddMenuItem(LanguageString(169), "", nullptr, EditMenuItem, -1, [this] { RedoAllClick(); });
  EditToolbarSeparator = w.AddToolbarSeparator(StandardToolbar, nullptr);
  UndoToolButton =
      w.AddToolbarButton(StandardToolbar, nullptr, LanguageString(25), 8, [this] { UndoClick(); });
  RedoToolButton =
      w.AddToolbarButton(StandardToolbar, nullptr, LanguageString(26), 9, [this] { RedoClick(); });
}

void TWKEditor::Localize() {
  OpenMenuItem->SetCaption(Ellipsis(12));
  SaveMenuItem->SetCaption(LanguageString(15));
  SaveAsMenuItem->SetCaption(Ellipsis(16));
  CloseMenuItem->SetCaption(LanguageString(13));
  StandardToolbar->SetCaption(LanguageString(162));
  OpenToolButton->SetHint(LanguageString(12));
  SaveToolButton->SetHint(LanguageString(16));
  EditMenuItem->SetCaption(LanguageString(24));
  UndoMenuItem->SetCaption(LanguageString(25));
  UndoAllMenuItem->SetCaption(LanguageString(168));
  RedoMenuItem->SetCaption(LanguageString(26));
  RedoAllMenuItem->SetCaption(LanguageString(169));
  UndoToolButton->SetHint(LanguageString(25));
  RedoToolButton->SetHint(LanguageString(26));
  UpdateTitle(this);
}

void TWKEditor::LoadSettings(TWKSDFReader& reader) {
  if (!reader.OpenNode(1, RecentFilesSettingsGuid)) return;
  if (reader.OpenNode(1)) {
    int32_t count = 0;
    reader.ReadInteger(0, count);
    for (int32_t id = std::min(count, kMaxStoredRecentFiles); id >= 1; --id) {
      std::string name;
      if (reader.ReadWideString(static_cast<uint32_t>(id), name) && !name.empty())
        AddRecentFile(name);
    }
    reader.CloseNode();
  }
  reader.CloseNode();
}

void TWKEditor::SaveSettings(TWKSDFWriter& writer) {
  writer.BeginNode(1, RecentFilesSettingsGuid);
  writer.BeginNode(1, static_cast<int32_t>(RecentFiles_.size()));
  for (size_t i = 0; i < RecentFiles_.size(); ++i)
    writer.WriteWideString(static_cast<uint32_t>(i + 1), RecentFiles_[i]);
  writer.EndNode();
  writer.EndNode();
}

void TWKEditor::Start() {
  if (CommandLine_.empty() || !FileExists(CommandLine_[0])) return;
  TWKDocument* document = nullptr;
  OpenFile(CommandLine_[0], document, true);
}

void TWKEditor::UpdateControls() {
  TWKDocument* document = CurrentDocument();
  SaveMenuItem->SetEnabled(document != nullptr && !document->Saved());
  SaveAsMenuItem->SetEnabled(document != nullptr);
  SaveToolButton->SetEnabled(document != nullptr);
  CloseMenuItem->SetEnabled(document != nullptr);
  const bool undo = UndoEnabled && CanUndo();
  const bool redo = UndoEnabled && CanRedo();
  UndoMenuItem->SetEnabled(undo);
  UndoAllMenuItem->SetEnabled(undo);
  UndoToolButton->SetEnabled(undo);
  RedoMenuItem->SetEnabled(redo);
  RedoAllMenuItem->SetEnabled(redo);
  RedoToolButton->SetEnabled(redo);
}

void TWKEditor::BringToFront(TWKDocument* document) {
  auto it = std::find_if(Documents_.begin(), Documents_.end(),
                         [document](const auto& d) { return d.get() == document; });
  if (it == Documents_.end()) return;
  std::rotate(it, it + 1, Documents_.end());
  UpdateTitle(this);
}

void TWKEditor::UpdateTitle(const void* sender) {
  TWKApplication* app = Application();
  const std::string title = app ? app->GetTitle() : std::string();
  TWKDocument* document = CurrentDocument();
  if (MultipleDocuments_ || document == nullptr) {
    MainWindow_.SetCaption(title);
    return;
  }
  MainWindow_.SetCaption(document->DisplayName() + " - " + title);
}

void TWKEditor::RemoveDocument(TWKDocument* document) {
  auto it = std::find_if(Documents_.begin(), Documents_.end(),
                         [document](const auto& d) { return d.get() == document; });
  if (it == Documents_.end()) return;
  std::unique_ptr<TWKDocument> removed = std::move(*it);
  Documents_.erase(it);
  removed.reset();
  UpdateTitle(this);
}

void TWKEditor::SetMultipleDocuments(bool value) {
  MultipleDocuments_ = value;
  UpdateTitle(this);
}

TWKCommandHistoryList* TWKEditor::GetHistory() {
  TWKDocument* document = CurrentDocument();
  return document ? &document->History() : nullptr;
}

void TWKEditor::ShowDocument(TWKDocument& document, TWKDocumentView*& view) {
  view = document.GetView();
  if (view) MainWindow_.ShowDocumentView(*view);
}

bool TWKEditor::OpenWithDialog() {
  TWKDocumentFormats* formats = GetFileFormats();
  if (formats == nullptr) return false;
  std::string fileName;
  if (!Dialogs_.ExecuteOpenDialog(*formats, fileName)) return false;
  TWKDocument* document = nullptr;
  return OpenFile(fileName, document, true);
}

bool TWKEditor::SaveAs(TWKDocument& document) {
  TWKDocumentFormats* formats = GetFileFormats();
  if (formats == nullptr) return false;
  TWKFileFormatArray saveFormats;
  formats->GetSaveFormats(saveFormats);
  std::string fileName = WithoutExtension(document.FileName);
  int32_t filterIndex = FindFormat(saveFormats, document.FormatId) + 1;
  for (;;) {
    if (!Dialogs_.ExecuteSaveDialog(*formats, saveFormats, fileName, filterIndex)) return false;
    if (filterIndex < 1 || filterIndex > static_cast<int32_t>(saveFormats.size()) || fileName.empty())
      return false;
    fileName = WithDefaultExtension(fileName, saveFormats[static_cast<size_t>(filterIndex - 1)]);
    if (!FileExists(fileName) || ::access(fileName.c_str(), W_OK) == 0) break;
    // Not replaced behind the user's back: the dialog comes again for another name.
    ShowMessage(FormatText(LanguageString(kWriteProtected), fileName), MB_OK | MB_ICONWARNING);
  }
  if (FileExists(fileName) && !AskOverwrite(fileName)) return false;
  if (document.SaveToFile(fileName, saveFormats[static_cast<size_t>(filterIndex - 1)].Id)) return true;
  ReportFailure(kCannotSave, fileName);
  return false;
}

void TWKEditor::ReportFailure(const TWKLanguageText& message, const std::string& fileName) {
  TWKDocumentFormats* formats = GetFileFormats();
  std::string text = FormatText(LanguageString(message), fileName);
  if (formats != nullptr && !formats->LastError.empty()) text += "\n" + formats->LastError;
  ShowMessage(text, MB_OK | MB_ICONERROR);
}

int TWKEditor::AskSaveChanges(const std::string& name) {
  return ShowMessage(FormatText(LanguageString(94), name), MB_YESNOCANCEL | MB_ICONWARNING);
}

bool TWKEditor::AskOverwrite(const std::string& name) {
  return ShowMessage(FormatText(LanguageString(164), name), MB_YESNO | MB_ICONWARNING) == IDYES;
}

void TWKEditor::MainFormCloseQuery(const void* sender, bool& canClose) {
  for (int32_t i = DocumentCount() - 1; i >= 0; --i) {
    if (i >= DocumentCount()) continue;
    if (!Documents(i)->CloseQuery()) {
      canClose = false;
      return;
    }
  }
}

bool TWKEditor::ExecuteScriptCommand(const std::string& command,
                                     const TWKCustomProperties& params) {
  if (command == "UNDO") {
    UndoClick();
    return true;
  }
  if (command == "REDO") {
    RedoClick();
    return true;
  }
  return false;
}

bool TWKEditor::GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) {
  const TWKVariant first = params.GetVariant(0);
  const std::string* text = std::get_if<std::string>(&first);
  if (text == nullptr) return false;
  const std::string name = Upper(*text);
  IWKUIItem* item = name == "UNDO" ? UndoToolButton : name == "REDO" ? RedoToolButton : nullptr;
  return ShownCenter(item, point);
}

void TWKEditor::StartRecording(IWKScriptRecorder* recorder) { Recorder_ = recorder; }

void TWKEditor::DocumentOpened(TWKDocument& document) { AddRecentFile(document.FileName); }

void TWKEditor::SetPluginMode(bool value) { PluginMode_ = value; }

bool TWKEditor::CanOpenAnother(const std::string& fileName) {
  if (MultipleDocuments_) return true;
  TWKDocument* current = CurrentDocument();
  return current == nullptr || current->QuerySave();
}

void TWKEditor::AdoptDocument(std::unique_ptr<TWKDocument> document) {
  if (!MultipleDocuments_) {
    while (TWKDocument* previous = CurrentDocument()) {
      previous->BeforeClose();
      previous->Close();
    }
  }
  TWKDocument* added = document.get();
  TWKDocumentView* view = nullptr;
  ShowDocument(*added, view);
  Documents_.push_back(std::move(document));
  BringToFront(added);
  added->AfterOpen();
}

bool TWKEditor::NewDocument(TWKDocument*& document) {
  document = nullptr;
  if (!CanOpenAnother("")) return false;
  std::unique_ptr<TWKDocument> created = CreateDocument();
  if (!created) return false;
  document = created.get();
  AdoptDocument(std::move(created));
  return true;
}

bool TWKEditor::OpenFile(const std::string& fileName, TWKDocument*& document, bool addToRecent) {
  document = nullptr;
  // The user interface runs while a long open shows its progress; no second open starts then.
  if (TWKLoadProgress::Running() || !CanOpenAnother(fileName)) return false;
  std::unique_ptr<TWKDocument> created = CreateDocument();
  if (!created || !created->LoadFromFile(fileName)) {
    created.reset();
    TWKDocumentFormats* formats = GetFileFormats();
    if (formats == nullptr || !formats->LastCancelled) ReportFailure(kCannotOpen, fileName);
    return false;
  }
  document = created.get();
  AdoptDocument(std::move(created));
  if (addToRecent) DocumentOpened(*document);
  return true;
}

bool TWKEditor::CanUndo() {
  TWKCommandHistoryList* history = GetHistory();
  return UndoEnabled && history != nullptr && history->CanUndo();
}

bool TWKEditor::CanRedo() {
  TWKCommandHistoryList* history = GetHistory();
  return UndoEnabled && history != nullptr && history->CanRedo();
}

void TWKEditor::Undo() {
  if (TWKCommandHistoryList* history = GetHistory()) history->Undo();
}

void TWKEditor::Redo() {
  if (TWKCommandHistoryList* history = GetHistory()) history->Redo();
}

void TWKEditor::OpenClick() {
  if (!PluginMode_) OpenWithDialog();
}

void TWKEditor::CloseClick() {
  if (TWKDocument* document = CurrentDocument()) document->CloseQuery();
}

void TWKEditor::SaveClick() { SaveAsClick(); }

void TWKEditor::SaveAsClick() {
  if (PluginMode_) return;
  if (TWKDocument* document = CurrentDocument()) SaveAs(*document);
}

void TWKEditor::UndoClick() {
  if (!CanUndo()) return;
  RecordCommand(Recorder_, "Undo", "Undo", "Undo");
  Undo();
}

void TWKEditor::UndoAllClick() {
  while (CanUndo()) {
    const int32_t before = GetHistory()->Position();
    Undo();
    if (GetHistory() == nullptr || GetHistory()->Position() == before) break;
  }
}

void TWKEditor::RedoClick() {
  if (!CanRedo()) return;
  RecordCommand(Recorder_, "Redo", "Redo", "Redo");
  Redo();
}

void TWKEditor::RedoAllClick() {
  while (CanRedo()) {
    const int32_t before = GetHistory()->Position();
    Redo();
    if (GetHistory() == nullptr || GetHistory()->Position() == before) break;
  }
}

TWKDocument* TWKEditor::CurrentDocument() const {
  return Documents_.empty() ? nullptr : Documents_.back().get();
}

void TWKEditor::AddRecentFile(const std::string& fileName) {
  if (fileName.empty()) return;
  auto it = std::find_if(RecentFiles_.begin(), RecentFiles_.end(),
                         [&](const std::string& f) { return SameFileName(f, fileName); });
  if (it != RecentFiles_.end()) RecentFiles_.erase(it);
  RecentFiles_.insert(RecentFiles_.begin(), fileName);
  if (static_cast<int32_t>(RecentFiles_.size()) > std::max(RecentFilesMax, 0))
    RecentFiles_.pop_back();
  UpdateRecentMenu();
}

void TWKEditor::UpdateRecentMenu() {
  IWKUIItem* file = MainWindow_.FileMenuItem();
  while (RecentItems_.size() < RecentFiles_.size()) {
    const size_t index = RecentItems_.size();
    RecentItems_.push_back(MainWindow_.AddMenuItem("", "", RecentFilesMenuSeparator, file, -1,
                                                   [this, index] { OpenRecent(index); }));
  }
  for (size_t i = 0; i < RecentItems_.size(); ++i) {
    const bool used = i < RecentFiles_.size();
    RecentItems_[i]->SetVisible(used);
    if (used) RecentItems_[i]->SetCaption("&" + std::to_string(i + 1) + " " + RecentFiles_[i]);
  }
}

void TWKEditor::OpenRecent(size_t index) {
  if (index >= RecentItems_.size()) return;
  const std::string caption = RecentItems_[index]->Caption();
  const size_t space = caption.find(' ');
  if (space == std::string::npos) return;
  TWKDocument* document = nullptr;
  OpenFile(caption.substr(space + 1), document, true);
}
