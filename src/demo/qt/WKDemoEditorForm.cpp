#include "demo/qt/WKDemoEditorForm.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTextBlock>
#include <QToolBar>
#include <QVBoxLayout>

#include "demo/WKDemonstrationModule.h"
#include "framework/qt/MainForm.h"
#include "framework/qt/QtText.h"

namespace {

constexpr char kFilter[] = "Demo Script (*.dsc)";

std::string AskFile(QWidget* parent, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, QString(), QString(), kFilter);
  dialog.setAcceptMode(mode);
  dialog.setDefaultSuffix("dsc");
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return ToStdString(dialog.selectedFiles().front());
}

std::optional<std::string> AskLanguageId(QWidget* owner) {
  TAddLangForm form(owner);
  if (form.exec() != QDialog::Accepted) return std::nullopt;
  return ToStdString(form.LangIdEdit->text());
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool SameSectionName(const std::string& a, const std::string& b) { return DemoName(a) == DemoName(b); }

}  // namespace

TAddLangForm::TAddLangForm(QWidget* owner) : QDialog(owner) {
  setObjectName("AddLangForm");
  setWindowTitle("Add Language");
  LangIdLabel = new QLabel("LangID:", this);
  LangIdEdit = new QLineEdit(this);
  LangIdEdit->setObjectName("LangIdEdit");
  AddButton = new QPushButton("Add", this);
  AddButton->setObjectName("AddButton");
  AddButton->setDefault(true);
  CancelButton = new QPushButton("Cancel", this);
  CancelButton->setObjectName("CancelButton");
  auto* edit = new QHBoxLayout;
  edit->addWidget(LangIdLabel);
  edit->addWidget(LangIdEdit, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(AddButton);
  buttons->addWidget(CancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(edit);
  layout->addLayout(buttons);
  connect(AddButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

TWKDemoEditorForm::TWKDemoEditorForm(TWKComponent* owner, TWKDemonstrationModule& module, TMainForm* mainForm)
    : TWKFormOf<QMainWindow>(owner, mainForm), Module_(module), Session_(module) {
  setObjectName("DemoEditorForm");
  setWindowTitle("Demo Editor");
  // A tool window of the main window stays above the application's other windows.
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint);
  BuildMenus();
  BuildToolbar();

  auto* central = new QWidget(this);
  SectionsTabControl = new QTabBar(central);
  SectionsTabControl->setObjectName("SectionsTabControl");
  SectionsTabControl->setExpanding(false);
  ScriptMemo = new QPlainTextEdit(central);
  ScriptMemo->setObjectName("ScriptMemo");
  ScriptMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  ScriptMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(0);
  layout->addWidget(SectionsTabControl);
  layout->addWidget(ScriptMemo, 1);
  setCentralWidget(central);
  statusBar()->setObjectName("StatusBar");
  resize(420, 480);

  // A tab change stores the memo into the section shown so far before it shows the other.
  connect(SectionsTabControl, &QTabBar::currentChanged, this, [this] {
    if (Refreshing_) return;
    SectionsTabControlChanging();
    SectionsTabControlChange();
  });
  Session_.OnShowEditor = [this](bool visible) { setVisible(visible); };
  Session_.OnRecordingStarted = [this] { ScriptMemo->setEnabled(false); };
  Session_.OnRecordingStopped = [this](const TWKDemoScript& recorded) {
    EditedScript.Assign(recorded);
    ScriptMemo->setEnabled(true);
    SectionsTabControlChange();
  };
  AskOpenFile = [this] { return AskFile(this, QFileDialog::AcceptOpen); };
  AskSaveFile = [this] { return AskFile(this, QFileDialog::AcceptSave); };
  AskLanguage = [this] { return AskLanguageId(this); };

  InitializeUnlessOwnedByApplication(*this);
  PlaceBesideMainForm(mainForm);
  CmNew();
  MessageComboBox->setEditText(ToQString(Module_.MessageText));
}

void TWKDemoEditorForm::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("Menu");
  QMenu* file = bar->addMenu("File");
  FileMenuItem = file->menuAction();
  NewMenuItem = file->addAction("New", this, [this] { CmNew(); });
  OpenMenuItem = file->addAction("Open...", this, [this] { CmOpen(); });
  SaveAsMenuItem = file->addAction("Save As...", this, [this] { CmSave(); });
  FileMenuSeparator = file->addSeparator();
  ExitMenuItem = file->addAction("Exit", this, [this] { CmExit(); });
  QMenu* edit = bar->addMenu("Edit");
  EditMenuItem = edit->menuAction();
  AddLanguageMenuItem = edit->addAction("Add Language", this, [this] { CmAddLanguage(); });
  DeleteLanguageMenuItem = edit->addAction("Delete Language", this, [this] { CmDeleteLanguage(); });
  QMenu* playback = bar->addMenu("Playback");
  PlaybackMenuItem = playback->menuAction();
  PlayMenuItem = playback->addAction("Play", this, [this] { CmPlay(); });
  RecordMenuItem = playback->addAction("Record", this, [this] { CmRecord(); });
  StopMenuItem = playback->addAction("Stop", this, [this] { CmStop(); });
}

void TWKDemoEditorForm::BuildToolbar() {
  Toolbar = addToolBar("Toolbar");
  Toolbar->setObjectName("Toolbar");
  Toolbar->setMovable(false);
  Toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  OpenToolButton = Toolbar->addAction("Open", this, [this] { CmOpen(); });
  SaveToolButton = Toolbar->addAction("Save", this, [this] { CmSave(); });
  Toolbar->addSeparator();
  PlayToolButton = Toolbar->addAction("Play", this, [this] { CmPlay(); });
  RecordToolButton = Toolbar->addAction("Record", this, [this] { CmRecord(); });
  StopToolButton = Toolbar->addAction("Stop", this, [this] { CmStop(); });
  Toolbar->addSeparator();
  MessageComboBox = new QComboBox(Toolbar);
  MessageComboBox->setObjectName("MessageComboBox");
  MessageComboBox->setEditable(true);
  MessageComboBox->setInsertPolicy(QComboBox::NoInsert);
  MessageComboBox->setMinimumContentsLength(10);
  MessageComboBox->setFixedWidth(80 + 24);
  MessageComboBox->setToolTip("Message");
  Toolbar->addWidget(MessageComboBox);
  MessageToolButton = Toolbar->addAction("Show Messages");
  MessageToolButton->setCheckable(true);
  connect(MessageToolButton, &QAction::triggered, this, [this] { MessageToolButtonClick(); });
  connect(MessageComboBox->lineEdit(), &QLineEdit::returnPressed, this,
          [this] { MessageComboBoxAcceptText(MessageComboBox->currentText()); });
  connect(MessageComboBox, &QComboBox::editTextChanged, this, [this] { MessageComboBoxChange(); });
}

void TWKDemoEditorForm::PlaceBesideMainForm(TMainForm* mainForm) {
  const QWidget* central = mainForm != nullptr ? mainForm->centralWidget() : nullptr;
  if (central == nullptr) return;
  // Inside the docks: below the top tool bars and left of the right-hand panels.
  const QPoint topRight = central->mapToGlobal(QPoint(central->width(), 0));
  move(topRight.x() - frameGeometry().width() - 4, topRight.y() + 4);
}

void TWKDemoEditorForm::RefreshTabs() {
  Refreshing_ = true;
  while (SectionsTabControl->count() > 0) SectionsTabControl->removeTab(0);
  int scriptTab = 0;
  for (int32_t i = 0; i < EditedScript.SectionCount(); ++i) {
    SectionsTabControl->addTab(ToQString(EditedScript.SectionName(i)));
    if (SameSectionName(EditedScript.SectionName(i), "Script") && scriptTab == 0) scriptTab = i;
  }
  Selections.assign(static_cast<size_t>(EditedScript.SectionCount()), {0, 0});
  ShownTab_ = -1;
  SectionsTabControl->setCurrentIndex(scriptTab);
  Refreshing_ = false;
  SectionsTabControlChange();
}

void TWKDemoEditorForm::SectionsTabControlChange() {
  const int tab = SectionsTabControl->currentIndex();
  ShownTab_ = tab;
  if (tab < 0 || tab >= EditedScript.SectionCount()) {
    ScriptMemo->clear();
    return;
  }
  QStringList lines;
  for (const std::string& line : EditedScript.SectionLines(tab)) lines << ToQString(line);
  ScriptMemo->setPlainText(lines.join('\n'));
  const auto [start, length] = Selections.at(static_cast<size_t>(tab));
  QTextCursor cursor = ScriptMemo->textCursor();
  const int end = static_cast<int>(ScriptMemo->toPlainText().size());
  cursor.setPosition(std::min(start, end));
  cursor.setPosition(std::min(start + length, end), QTextCursor::KeepAnchor);
  ScriptMemo->setTextCursor(cursor);
}

void TWKDemoEditorForm::SectionsTabControlChanging() { StoreMemo(); }

void TWKDemoEditorForm::StoreMemo() {
  const int tab = ShownTab_;
  if (tab < 0 || tab >= EditedScript.SectionCount()) return;
  std::vector<std::string>& lines = EditedScript.SectionLines(tab);
  lines.clear();
  const QString text = ScriptMemo->toPlainText();
  if (!text.isEmpty())
    for (const QString& line : text.split('\n')) lines.push_back(ToStdString(line));
  const QTextCursor cursor = ScriptMemo->textCursor();
  Selections.at(static_cast<size_t>(tab)) = {cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()};
}

void TWKDemoEditorForm::CmNew() {
  EditedScript.Clear();
  EditedScript.FileName.clear();
  RefreshTabs();
}

void TWKDemoEditorForm::CmOpen() {
  const std::string file = AskOpenFile ? AskOpenFile() : std::string();
  if (file.empty()) return;
  if (!EditedScript.LoadFromFile(file)) statusBar()->showMessage("Cannot read " + ToQString(file));
  // Edited as the program's own text: lines added later do not mix encodings with the file's.
  EditedScript.ConvertToUtf8();
  RefreshTabs();
}

void TWKDemoEditorForm::CmSave() {
  StoreMemo();
  const std::string file = AskSaveFile ? AskSaveFile() : std::string();
  if (file.empty()) return;
  if (EditedScript.SaveToFile(file)) {
    EditedScript.FileName = file;
    statusBar()->showMessage("Saved " + ToQString(file));
  } else {
    statusBar()->showMessage("Cannot write " + ToQString(file));
  }
}

void TWKDemoEditorForm::CmExit() { close(); }

void TWKDemoEditorForm::CmPlay() {
  if (!Session_.Idle()) return;
  StoreMemo();
  Session_.Play(EditedScript);
}

void TWKDemoEditorForm::CmRecord() {
  if (!Session_.Idle()) return;
  StoreMemo();
  Session_.Record(EditedScript);
}

void TWKDemoEditorForm::CmStop() { Session_.Stop(); }

void TWKDemoEditorForm::CmAddLanguage() {
  const std::optional<std::string> answer = AskLanguage ? AskLanguage() : std::nullopt;
  if (!answer) return;
  const std::string name = Trimmed(*answer);
  if (name.empty()) return;
  int32_t index = -1;
  if (EditedScript.FindSection(name, index)) {
    // As a click on its tab: the memo goes into the section shown so far first.
    SectionsTabControl->setCurrentIndex(index);
    return;
  }
  StoreMemo();
  index = EditedScript.AddSection(name);
  RefreshTabs();
  Refreshing_ = true;
  SectionsTabControl->setCurrentIndex(index);
  Refreshing_ = false;
  SectionsTabControlChange();
}

bool TWKDemoEditorForm::CanDeleteSection(int index) const {
  if (index < 0 || index >= EditedScript.SectionCount()) return false;
  const std::string& name = EditedScript.SectionName(index);
  return !SameSectionName(name, "Info") && !SameSectionName(name, "Script");
}

void TWKDemoEditorForm::CmDeleteLanguage() {
  const int tab = SectionsTabControl->currentIndex();
  if (!CanDeleteSection(tab)) return;
  StoreMemo();
  EditedScript.DeleteSection(tab);
  RefreshTabs();
}

void TWKDemoEditorForm::MessageComboBoxAcceptText(const QString& text) {
  if (MessageComboBox->findText(text) < 0) MessageComboBox->insertItem(0, text);
  MessageComboBox->setEditText(text);
}

void TWKDemoEditorForm::MessageComboBoxChange() { Module_.MessageText = ToStdString(MessageComboBox->currentText()); }

void TWKDemoEditorForm::MessageToolButtonClick() { Module_.Playback().ShowMessages = MessageToolButton->isChecked(); }

void TWKDemoEditorForm::UpdateControls() {
  const bool idle = Session_.Idle();
  for (QAction* item : {PlayMenuItem, PlayToolButton, RecordMenuItem, RecordToolButton}) item->setEnabled(idle);
  for (QAction* item : {StopMenuItem, StopToolButton}) item->setEnabled(!idle);
  DeleteLanguageMenuItem->setEnabled(CanDeleteSection(SectionsTabControl->currentIndex()));
  const bool messages = Module_.Playback().ShowMessages;
  MessageToolButton->setChecked(messages);
  MessageComboBox->setEnabled(messages);
}

TWKDemoEditorModule::TWKDemoEditorModule(TWKComponent* owner, TMainForm& mainForm, TWKDemonstrationModule& module)
    : TWKModuleWithControls(owner), MainForm_(mainForm), Module_(module) {
  Name = "DemoEditorModule";
  const QKeySequence shortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_D);
  DemoEditorMenuItem = mainForm.AddMenuItem("Demo", shortcut, mainForm.FileMenuSeparator, mainForm.FileMenuItem, -1,
                                            [this] { CmDemoEditor(); });
  DemoEditorMenuItem->setObjectName("DemoEditorMenuItem");
  // The item stays hidden; its shortcut still opens the editor.
  DemoEditorMenuItem->setVisible(false);
  Shortcut_ = new QShortcut(shortcut, &mainForm);
  Shortcut_->setContext(Qt::ApplicationShortcut);
  QObject::connect(Shortcut_, &QShortcut::activated, Shortcut_, [this] { CmDemoEditor(); });
}

TWKDemoEditorModule::~TWKDemoEditorModule() {
  delete Shortcut_.data();
  delete EditorForm;
}

void TWKDemoEditorModule::CmDemoEditor() {
  if (EditorForm == nullptr) EditorForm = new TWKDemoEditorForm(this, Module_, &MainForm_);
  EditorForm->show();
  EditorForm->raise();
  EditorForm->activateWindow();
}
