// A document independent of its content: file, format, saved state, view, observers and the
// undo history.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "documents/WKCommandHistory.h"

class TWKDocument;
class TWKEditor;

// {81AAE3E7-2E13-47DF-A573-63B5BC51D3F3}
class IWKDocumentObserver {
 public:
  virtual ~IWKDocumentObserver() = default;
  virtual void DocumentLoaded(TWKDocument& document) = 0;
  virtual void DocumentClosed(TWKDocument& document) = 0;
};

// The window control that shows a document; the user interface places it.
class TWKDocumentView {
 public:
  virtual ~TWKDocumentView() = default;
};

class TWKDocument {
 public:
  explicit TWKDocument(TWKEditor& editor);
  virtual ~TWKDocument();
  TWKDocument(const TWKDocument&) = delete;
  TWKDocument& operator=(const TWKDocument&) = delete;

  std::string FileName;  // empty for a new document
  int32_t FormatId = 0;  // -1: the plug-in bridge's exchange file
  bool NoSaveQuery = false;

  // Saved exactly when the history stands where the document was last loaded or saved.
  bool Saved() const { return History_.AtSavedPosition(); }
  // True: the current state is the one on disk. False: no state of the history is.
  void SetSaved(bool value);

  TWKCommandHistoryList& History() { return History_; }
  TWKEditor& Editor() const { return Editor_; }
  // The view when one has been created, without creating it.
  TWKDocumentView* View() const { return View_.get(); }
  const std::vector<IWKDocumentObserver*>& Observers() const { return Observers_; }
  // The file name without its folder, or the text for an unnamed document.
  std::string DisplayName() const;

  virtual void CreateView(std::unique_ptr<TWKDocumentView>& view) = 0;
  // Creates the view on the first request.
  virtual TWKDocumentView* GetView();
  virtual void BeforeClose() {}
  virtual void BeforeSave() {}
  virtual void AfterOpen() {}
  virtual void AddObserver(IWKDocumentObserver* observer);
  virtual void RemoveObserver(IWKDocumentObserver* observer);
  // Through the editor's formats; on success file name and format are stored, the observers
  // hear DocumentLoaded and the document is saved.
  virtual bool LoadFromFile(const std::string& fileName);
  virtual bool SaveToFile(const std::string& fileName, int32_t formatId);
  virtual bool IsWritable() { return true; }
  // To the stored file name and format; false without a file name.
  virtual bool Save();
  // May ask to save; when it proceeds the document is closed and freed by the editor.
  virtual bool CloseQuery();

  // Asks to save when the document has unsaved changes that matter; true when it may close.
  bool QuerySave();
  // The question part of CloseQuery: BeforeClose, then QuerySave.
  bool QueryClose();
  // The closing part: observers hear DocumentClosed, the editor frees the document.
  void Close();

 private:
  TWKEditor& Editor_;
  TWKCommandHistoryList History_;
  std::unique_ptr<TWKDocumentView> View_;
  std::vector<IWKDocumentObserver*> Observers_;
};
