// The demo editor: an authoring window that stays above the application's windows. It edits
// the sections of a script as text, one tab per section, plays the script and records new
// lines while the user works. Its texts are fixed English.
#pragma once

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "demo/WKDemoEditorSession.h"
#include "demo/WKDemoScript.h"
#include "framework/qt/WKForm.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QShortcut;
class QTabBar;
class QToolBar;
class QToolButton;
class TMainForm;
class TWKDemonstrationModule;

class TAddLangForm : public QDialog {
 public:
  explicit TAddLangForm(QWidget* owner);
  QLabel* LangIdLabel = nullptr;
  QLineEdit* LangIdEdit = nullptr;
  QPushButton* AddButton = nullptr;
  QPushButton* CancelButton = nullptr;
};

class TWKDemoEditorForm : public TWKFormOf<QMainWindow> {
 public:
  TWKDemoEditorForm(TWKComponent* owner, TWKDemonstrationModule& module, TMainForm* mainForm);

  TWKDemoScript EditedScript;
  // Selection start and length in the memo, one pair per tab.
  std::vector<std::pair<int, int>> Selections;

  // The file dialogs and the language question; tests answer them. An empty answer cancels.
  std::function<std::string()> AskOpenFile;
  std::function<std::string()> AskSaveFile;
  std::function<std::optional<std::string>()> AskLanguage;

  void UpdateControls() override;

  // Published handlers.
  void CmNew();
  void CmOpen();
  void CmSave();
  void CmExit();
  void CmPlay();
  void CmRecord();
  void CmStop();
  void CmAddLanguage();
  void CmDeleteLanguage();
  void SectionsTabControlChanging();
  void SectionsTabControlChange();
  void MessageToolButtonClick();
  void MessageComboBoxAcceptText(const QString& text);
  void MessageComboBoxChange();
  void RefreshTabs();
  void StoreMemo();

  // Delete Language is offered for the language sections only, never for "Info" or "Script".
  bool CanDeleteSection(int index) const;
  TWKDemoEditorSession& Session() { return Session_; }

  QAction* FileMenuItem = nullptr;
  QAction* NewMenuItem = nullptr;
  QAction* OpenMenuItem = nullptr;
  QAction* SaveAsMenuItem = nullptr;
  QAction* FileMenuSeparator = nullptr;
  QAction* ExitMenuItem = nullptr;
  QAction* EditMenuItem = nullptr;
  QAction* AddLanguageMenuItem = nullptr;
  QAction* DeleteLanguageMenuItem = nullptr;
  QAction* PlaybackMenuItem = nullptr;
  QAction* PlayMenuItem = nullptr;
  QAction* RecordMenuItem = nullptr;
  QAction* StopMenuItem = nullptr;
  QToolBar* Toolbar = nullptr;
  QAction* OpenToolButton = nullptr;
  QAction* SaveToolButton = nullptr;
  QAction* PlayToolButton = nullptr;
  QAction* RecordToolButton = nullptr;
  QAction* StopToolButton = nullptr;
  QComboBox* MessageComboBox = nullptr;
  QAction* MessageToolButton = nullptr;
  QTabBar* SectionsTabControl = nullptr;
  QPlainTextEdit* ScriptMemo = nullptr;

 private:
  void BuildMenus();
  void BuildToolbar();
  void PlaceBesideMainForm(TMainForm* mainForm);
  // The tab shown in the memo, whose lines StoreMemo writes back; -1 before the first.
  int ShownTab_ = -1;
  bool Refreshing_ = false;
  TWKDemonstrationModule& Module_;
  TWKDemoEditorSession Session_;
};

// The invisible File > Demo item whose shortcut Ctrl+Shift+D opens the demo editor.
class TWKDemoEditorModule : public TWKModuleWithControls {
 public:
  TWKDemoEditorModule(TWKComponent* owner, TMainForm& mainForm, TWKDemonstrationModule& module);
  ~TWKDemoEditorModule() override;

  // Creates the editor window on first use and shows it (not modally).
  void CmDemoEditor();

  QAction* DemoEditorMenuItem = nullptr;
  TWKDemoEditorForm* EditorForm = nullptr;

 private:
  TMainForm& MainForm_;
  TWKDemonstrationModule& Module_;
  QPointer<QShortcut> Shortcut_;
};
