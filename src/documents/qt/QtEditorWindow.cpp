#include "documents/qt/QtEditorWindow.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QToolBar>

#include "documents/qt/QtUIItem.h"
#include "framework/qt/QtText.h"

TQtEditorWindow::TQtEditorWindow(TMainForm& form) : Form_(form) {
  FileMenu_ = WrapAction(form.FileMenuItem);
  FileSeparator_ = WrapAction(form.FileMenuSeparator);
  Exit_ = WrapAction(form.ExitMenuItem);
  ViewMenu_ = WrapAction(form.ViewMenuItem);
  HelpMenu_ = WrapAction(form.HelpMenuItem);
}

TQtEditorWindow::~TQtEditorWindow() { Form_.OnCloseQuery = nullptr; }

QAction* TQtEditorWindow::ActionOf(IWKUIItem* item) {
  auto* action = dynamic_cast<TQtActionItem*>(item);
  return action ? action->Object.data() : nullptr;
}

QToolBar* TQtEditorWindow::ToolbarOf(IWKUIItem* item) {
  auto* toolbar = dynamic_cast<TQtUIItem<QToolBar>*>(item);
  return toolbar ? toolbar->Object.data() : nullptr;
}

IWKUIItem* TQtEditorWindow::WrapAction(QAction* action, QToolBar* toolbar) {
  Items_.push_back(std::make_unique<TQtActionItem>(action, toolbar));
  return Items_.back().get();
}

IWKUIItem* TQtEditorWindow::AddMenuItem(const std::string& caption, const std::string& shortcut,
                                        IWKUIItem* before, IWKUIItem* parent, int32_t imageIndex,
                                        TWKClickHandler click) {
  return WrapAction(Form_.AddMenuItem(caption, QKeySequence(ToQString(shortcut)), ActionOf(before),
                                      ActionOf(parent), imageIndex, std::move(click)));
}

IWKUIItem* TQtEditorWindow::AddSubmenu(const std::string& caption, IWKUIItem* parent,
                                       IWKUIItem* before) {
  return WrapAction(Form_.AddSubmenu(caption, ActionOf(parent), ActionOf(before)));
}

IWKUIItem* TQtEditorWindow::AddSeparator(IWKUIItem* parent, IWKUIItem* before) {
  return WrapAction(Form_.AddSeparator(ActionOf(parent), ActionOf(before)));
}

IWKUIItem* TQtEditorWindow::AddToolbar(const std::string& caption) {
  Items_.push_back(std::make_unique<TQtUIItem<QToolBar>>(Form_.AddToolbar(caption)));
  return Items_.back().get();
}

IWKUIItem* TQtEditorWindow::AddToolbarButton(IWKUIItem* toolbar, IWKUIItem* before,
                                             const std::string& caption, int32_t imageIndex,
                                             TWKClickHandler click) {
  QToolBar* bar = ToolbarOf(toolbar);
  if (bar == nullptr) return WrapAction(nullptr);
  return WrapAction(
      Form_.AddToolbarButton(bar, nullptr, ActionOf(before), caption, imageIndex, std::move(click)),
      bar);
}

IWKUIItem* TQtEditorWindow::AddToolbarSeparator(IWKUIItem* toolbar, IWKUIItem* before) {
  QToolBar* bar = ToolbarOf(toolbar);
  if (bar == nullptr) return WrapAction(nullptr);
  QAction* at = ActionOf(before);
  QAction* separator =
      at && bar->actions().contains(at) ? bar->insertSeparator(at) : bar->addSeparator();
  return WrapAction(separator, bar);
}

void TQtEditorWindow::SetCaption(const std::string& caption) {
  Form_.setWindowTitle(ToQString(caption));
}

void TQtEditorWindow::ShowDocumentView(TWKDocumentView& view) {
  QWidget* widget = ViewWidget ? ViewWidget(view) : nullptr;
  if (widget == nullptr) return;
  QStackedWidget& central = CentralArea();
  if (central.indexOf(widget) < 0) central.addWidget(widget);
  central.setCurrentWidget(widget);
}

QStackedWidget& TQtEditorWindow::CentralArea() {
  if (!Central_) {
    Central_ = new QStackedWidget(&Form_);
    Form_.setCentralWidget(Central_);
  }
  return *Central_;
}

void TQtEditorWindow::SetCloseQuery(std::function<void(bool& canClose)> query) {
  if (!query) {
    Form_.OnCloseQuery = nullptr;
    return;
  }
  Form_.OnCloseQuery = [query = std::move(query)] {
    bool canClose = true;
    query(canClose);
    return canClose;
  };
}

void TQtEditorWindow::Close() { Form_.close(); }
