#include "documents/qt/QtEditorWindow.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QToolBar>

#include "framework/qt/QtText.h"

namespace {

QPoint Center(const QWidget* widget) { return widget->mapToGlobal(widget->rect().center()); }

class TActionItem : public IWKUIItem {
 public:
  TActionItem(QAction* action, QToolBar* toolbar) : Action(action), Toolbar(toolbar) {}
  QPointer<QAction> Action;
  QPointer<QToolBar> Toolbar;  // for a tool-bar button

  void SetCaption(const std::string& text) override {
    if (Action) Action->setText(ToQString(text));
  }
  void SetHint(const std::string& text) override {
    if (Action) Action->setToolTip(ToQString(text));
  }
  void SetEnabled(bool value) override {
    if (Action && Action->isEnabled() != value) Action->setEnabled(value);
  }
  void SetVisible(bool value) override {
    if (Action && Action->isVisible() != value) Action->setVisible(value);
  }
  std::string Caption() const override {
    return Action ? ToStdString(Action->text()) : std::string();
  }
  bool Enabled() const override { return Action && Action->isEnabled(); }
  bool Visible() const override { return Action && Action->isVisible(); }
  TPoint ScreenCenter() const override {
    QWidget* widget = nullptr;
    if (Action && Toolbar) widget = Toolbar->widgetForAction(Action);
    if (widget == nullptr) return {};
    const QPoint p = Center(widget);
    return {p.x(), p.y()};
  }
};

class TToolbarItem : public IWKUIItem {
 public:
  explicit TToolbarItem(QToolBar* toolbar) : Toolbar(toolbar) {}
  QPointer<QToolBar> Toolbar;

  void SetCaption(const std::string& text) override {
    if (Toolbar) Toolbar->setWindowTitle(ToQString(text));
  }
  void SetHint(const std::string& text) override {
    if (Toolbar) Toolbar->setToolTip(ToQString(text));
  }
  void SetEnabled(bool value) override {
    if (Toolbar) Toolbar->setEnabled(value);
  }
  void SetVisible(bool value) override {
    if (Toolbar) Toolbar->setVisible(value);
  }
  std::string Caption() const override {
    return Toolbar ? ToStdString(Toolbar->windowTitle()) : std::string();
  }
  bool Enabled() const override { return Toolbar && Toolbar->isEnabled(); }
  bool Visible() const override { return Toolbar && Toolbar->isVisible(); }
  TPoint ScreenCenter() const override {
    if (!Toolbar) return {};
    const QPoint p = Center(Toolbar);
    return {p.x(), p.y()};
  }
};

}  // namespace

TQtEditorWindow::TQtEditorWindow(TMainForm& form) : form_(form) {
  fileMenu_ = WrapAction(form.FileMenuItem);
  fileSeparator_ = WrapAction(form.FileMenuSeparator);
  exit_ = WrapAction(form.ExitMenuItem);
  viewMenu_ = WrapAction(form.ViewMenuItem);
  helpMenu_ = WrapAction(form.HelpMenuItem);
}

TQtEditorWindow::~TQtEditorWindow() { form_.OnCloseQuery = nullptr; }

QAction* TQtEditorWindow::ActionOf(IWKUIItem* item) {
  auto* action = dynamic_cast<TActionItem*>(item);
  return action ? action->Action.data() : nullptr;
}

QToolBar* TQtEditorWindow::ToolbarOf(IWKUIItem* item) {
  auto* toolbar = dynamic_cast<TToolbarItem*>(item);
  return toolbar ? toolbar->Toolbar.data() : nullptr;
}

IWKUIItem* TQtEditorWindow::WrapAction(QAction* action, QToolBar* toolbar) {
  items_.push_back(std::make_unique<TActionItem>(action, toolbar));
  return items_.back().get();
}

IWKUIItem* TQtEditorWindow::AddMenuItem(const std::string& caption, const std::string& shortcut,
                                        IWKUIItem* before, IWKUIItem* parent, int32_t imageIndex,
                                        TWKClickHandler click) {
  return WrapAction(form_.AddMenuItem(caption, QKeySequence(ToQString(shortcut)), ActionOf(before),
                                      ActionOf(parent), imageIndex, std::move(click)));
}

IWKUIItem* TQtEditorWindow::AddSubmenu(const std::string& caption, IWKUIItem* parent,
                                       IWKUIItem* before) {
  return WrapAction(form_.AddSubmenu(caption, ActionOf(parent), ActionOf(before)));
}

IWKUIItem* TQtEditorWindow::AddSeparator(IWKUIItem* parent, IWKUIItem* before) {
  return WrapAction(form_.AddSeparator(ActionOf(parent), ActionOf(before)));
}

IWKUIItem* TQtEditorWindow::AddToolbar(const std::string& caption) {
  items_.push_back(std::make_unique<TToolbarItem>(form_.AddToolbar(caption)));
  return items_.back().get();
}

IWKUIItem* TQtEditorWindow::AddToolbarButton(IWKUIItem* toolbar, IWKUIItem* before,
                                             const std::string& caption, int32_t imageIndex,
                                             TWKClickHandler click) {
  QToolBar* bar = ToolbarOf(toolbar);
  if (bar == nullptr) return WrapAction(nullptr);
  return WrapAction(
      form_.AddToolbarButton(bar, nullptr, ActionOf(before), caption, imageIndex, std::move(click)),
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
  form_.setWindowTitle(ToQString(caption));
}

void TQtEditorWindow::ShowDocumentView(TWKDocumentView& view) {
  QWidget* widget = ViewWidget ? ViewWidget(view) : nullptr;
  if (widget == nullptr) return;
  if (!central_) {
    central_ = new QStackedWidget(&form_);
    form_.setCentralWidget(central_);
  }
  if (central_->indexOf(widget) < 0) central_->addWidget(widget);
  central_->setCurrentWidget(widget);
}

void TQtEditorWindow::SetCloseQuery(std::function<void(bool& canClose)> query) {
  if (!query) {
    form_.OnCloseQuery = nullptr;
    return;
  }
  form_.OnCloseQuery = [query = std::move(query)] {
    bool canClose = true;
    query(canClose);
    return canClose;
  };
}

void TQtEditorWindow::Close() { form_.close(); }
