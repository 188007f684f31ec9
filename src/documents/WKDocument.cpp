#include "documents/WKDocument.h"

#include <algorithm>

#include "documents/WKEditor.h"
#include "documents/WKFileFormats.h"
#include "framework/WKLocalizer.h"
#include "framework/WKMessageBox.h"

TWKDocument::TWKDocument(TWKEditor& editor) : Editor_(editor) {}

// The view goes first: it may still look at the document while it is destroyed.
TWKDocument::~TWKDocument() { View_.reset(); }

void TWKDocument::SetSaved(bool value) {
  if (value)
    History_.MarkSaved();
  else
    History_.ForgetSaved();
}

std::string TWKDocument::DisplayName() const {
  if (FileName.empty()) return LanguageString(74);
  const size_t slash = FileName.find_last_of('/');
  return slash == std::string::npos ? FileName : FileName.substr(slash + 1);
}

TWKDocumentView* TWKDocument::GetView() {
  if (!View_) CreateView(View_);
  return View_.get();
}

void TWKDocument::AddObserver(IWKDocumentObserver* observer) {
  if (observer == nullptr) return;
  if (std::find(Observers_.begin(), Observers_.end(), observer) != Observers_.end()) return;
  Observers_.push_back(observer);
}

void TWKDocument::RemoveObserver(IWKDocumentObserver* observer) {
  Observers_.erase(std::remove(Observers_.begin(), Observers_.end(), observer), Observers_.end());
}

bool TWKDocument::LoadFromFile(const std::string& fileName) {
  TWKDocumentFormats* formats = Editor_.GetFileFormats();
  int32_t formatId = 0;
  if (formats == nullptr || !formats->LoadDocument(*this, fileName, formatId)) return false;
  FileName = fileName;
  FormatId = formatId;
  // Copied: an observer may remove itself while it is told.
  const std::vector<IWKDocumentObserver*> observers = Observers_;
  for (IWKDocumentObserver* observer : observers) observer->DocumentLoaded(*this);
  SetSaved(true);
  return true;
}

bool TWKDocument::SaveToFile(const std::string& fileName, int32_t formatId) {
  TWKDocumentFormats* formats = Editor_.GetFileFormats();
  if (formats == nullptr) return false;
  BeforeSave();
  if (!formats->SaveDocument(*this, fileName, formatId)) return false;
  SetSaved(true);
  FileName = fileName;
  FormatId = formatId;
  Editor_.UpdateTitle(this);
  return true;
}

bool TWKDocument::Save() {
  if (FileName.empty()) return false;
  return SaveToFile(FileName, FormatId);
}

bool TWKDocument::QueryClose() {
  BeforeClose();
  return QuerySave();
}

bool TWKDocument::QuerySave() {
  if (NoSaveQuery || Saved() || !Editor_.AskToSave) return true;
  switch (Editor_.AskSaveChanges(DisplayName())) {
    case IDYES:
      return Editor_.SaveAs(*this);
    case IDNO:
      return true;
    default:
      return false;
  }
}

void TWKDocument::Close() {
  const std::vector<IWKDocumentObserver*> observers = Observers_;
  for (IWKDocumentObserver* observer : observers) observer->DocumentClosed(*this);
  Editor_.RemoveDocument(this);  // frees this document
}

bool TWKDocument::CloseQuery() {
  if (!QueryClose()) return false;
  Close();
  return true;
}
