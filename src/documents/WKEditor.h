// The editor module: owns the open documents and contributes the File and Edit commands, the
// recent-files list, the main window's title and its close query.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "documents/WKDocument.h"
#include "documents/WKEditorUI.h"
#include "documents/WKFileFormats.h"
#include "documents/WKScriptRecorder.h"
#include "framework/WKGuid.h"
#include "framework/WKLocalizer.h"
#include "framework/WKModule.h"
#include "framework/WKProperties.h"

inline constexpr TWKGUID RecentFilesSettingsGuid = WKGuid("{C0F4C248-34D7-4014-8116-24BEE9AB5C30}");

class TWKEditor : public TWKModuleWithControls {
 public:
  TWKEditor(TWKComponent* owner, IWKMainWindow& mainWindow, IWKFileDialogs& dialogs);
  ~TWKEditor() override;

  int32_t RecentFilesMax = 5;
  bool UndoEnabled = true;
  bool AskToSave = true;

  // Published items (owned by the main window).
  IWKUIItem* OpenMenuItem = nullptr;
  IWKUIItem* SaveMenuItem = nullptr;
  IWKUIItem* SaveAsMenuItem = nullptr;
  IWKUIItem* CloseMenuItem = nullptr;
  IWKUIItem* EditMenuItem = nullptr;
  IWKUIItem* UndoMenuItem = nullptr;
  IWKUIItem* RedoMenuItem = nullptr;
  IWKUIItem* UndoAllMenuItem = nullptr;
  IWKUIItem* RedoAllMenuItem = nullptr;
  IWKUIItem* StandardToolbar = nullptr;
  IWKUIItem* OpenToolButton = nullptr;
  IWKUIItem* SaveToolButton = nullptr;
  IWKUIItem* UndoToolButton = nullptr;
  IWKUIItem* RedoToolButton = nullptr;
  IWKUIItem* RecentFilesMenuSeparator = nullptr;
  IWKUIItem* EditToolbarSeparator = nullptr;

  void Localize() override;
  void LoadSettings(TWKSDFReader& reader) override;
  void SaveSettings(TWKSDFWriter& writer) override;
  void Start() override;
  void UpdateControls() override;

  virtual void BringToFront(TWKDocument* document);
  virtual void UpdateTitle(const void* sender);
  // Removes and frees the document.
  virtual void RemoveDocument(TWKDocument* document);
  virtual void SetMultipleDocuments(bool value);
  virtual TWKCommandHistoryList* GetHistory();
  virtual TWKDocumentFormats* GetFileFormats() = 0;
  virtual std::unique_ptr<TWKDocument> CreateDocument() = 0;
  virtual void ShowDocument(TWKDocument& document, TWKDocumentView*& view);
  virtual bool OpenWithDialog();
  virtual bool SaveAs(TWKDocument& document);
  // IDYES, IDNO or IDCANCEL.
  virtual int AskSaveChanges(const std::string& name);
  virtual bool AskOverwrite(const std::string& name);
  virtual void MainFormCloseQuery(const void* sender, bool& canClose);
  // Commands arrive upper-cased; parameters are read by position.
  virtual bool ExecuteScriptCommand(const std::string& command, const TWKCustomProperties& params);
  virtual bool GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point);
  virtual void StartRecording(IWKScriptRecorder* recorder);
  virtual void DocumentOpened(TWKDocument& document);
  virtual void SetPluginMode(bool value);
  virtual bool NewDocument(TWKDocument*& document);
  virtual bool OpenFile(const std::string& fileName, TWKDocument*& document, bool addToRecent);
  virtual bool CanUndo();
  virtual bool CanRedo();
  virtual void Undo();
  virtual void Redo();
  virtual void OpenClick();
  virtual void CloseClick();
  virtual void SaveClick();
  virtual void SaveAsClick();
  virtual void UndoClick();
  virtual void UndoAllClick();
  virtual void RedoClick();
  virtual void RedoAllClick();

  TWKDocument* CurrentDocument() const;
  int32_t DocumentCount() const { return static_cast<int32_t>(Documents_.size()); }
  TWKDocument* Documents(int32_t index) const {
    return Documents_[static_cast<size_t>(index)].get();
  }
  void StopRecording() { Recorder_ = nullptr; }
  IWKScriptRecorder* Recorder() const { return Recorder_; }
  // In one-document mode asks whether the current document may give way to another (it
  // is closed only once the other has been read).
  bool CanOpenAnother(const std::string& fileName);
  void AddRecentFile(const std::string& fileName);
  const std::vector<std::string>& RecentFiles() const { return RecentFiles_; }
  bool MultipleDocuments() const { return MultipleDocuments_; }
  bool PluginMode() const { return PluginMode_; }
  // The program's arguments; Start opens the first when it names an existing file.
  void SetCommandLine(std::vector<std::string> arguments) { CommandLine_ = std::move(arguments); }
  const std::vector<std::string>& CommandLine() const { return CommandLine_; }

 protected:
  IWKMainWindow& MainWindow() const { return MainWindow_; }
  IWKFileDialogs& Dialogs() const { return Dialogs_; }

 private:
  void CreateItems();
  // The open or save message: the file's line, then the formats' reason on a second line.
  void ReportFailure(const TWKLanguageText& message, const std::string& fileName);
  void UpdateRecentMenu();
  void OpenRecent(size_t index);
  // Adds the shown document as the current one; in one-document mode the previous one
  // closes (it has already agreed in CanOpenAnother).
  void AdoptDocument(std::unique_ptr<TWKDocument> document);
  static std::string Ellipsis(int id);

  IWKMainWindow& MainWindow_;
  IWKFileDialogs& Dialogs_;
  std::vector<std::unique_ptr<TWKDocument>> Documents_;
  std::vector<std::string> RecentFiles_;
  std::vector<IWKUIItem*> RecentItems_;
  std::vector<std::string> CommandLine_;
  IWKScriptRecorder* Recorder_ = nullptr;
  bool MultipleDocuments_ = false;
  bool PluginMode_ = false;
};
