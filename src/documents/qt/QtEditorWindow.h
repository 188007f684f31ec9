// The editor's view of the main window, over the Qt main form: menu items and buttons are
// QActions, tool bars QToolBars, document views widgets in the central area.
#pragma once

#include <QPointer>
#include <QStackedWidget>
#include <functional>
#include <memory>
#include <vector>

#include "documents/WKEditorUI.h"
#include "framework/qt/MainForm.h"

class QAction;
class QToolBar;

class TQtEditorWindow : public IWKMainWindow {
 public:
  explicit TQtEditorWindow(TMainForm& form);
  ~TQtEditorWindow() override;

  // Finds the widget that shows a core view; the view layer sets it. The widget stays owned by
  // whoever made it: it is only placed in the central area.
  std::function<QWidget*(TWKDocumentView&)> ViewWidget;

  IWKUIItem* FileMenuItem() override { return FileMenu_; }
  IWKUIItem* FileMenuSeparator() override { return FileSeparator_; }
  IWKUIItem* ExitMenuItem() override { return Exit_; }
  IWKUIItem* ViewMenuItem() override { return ViewMenu_; }
  IWKUIItem* HelpMenuItem() override { return HelpMenu_; }
  IWKUIItem* AddMenuItem(const std::string& caption, const std::string& shortcut, IWKUIItem* before,
                         IWKUIItem* parent, int32_t imageIndex, TWKClickHandler click) override;
  IWKUIItem* AddSubmenu(const std::string& caption, IWKUIItem* parent, IWKUIItem* before) override;
  IWKUIItem* AddSeparator(IWKUIItem* parent, IWKUIItem* before) override;
  IWKUIItem* AddToolbar(const std::string& caption) override;
  IWKUIItem* AddToolbarButton(IWKUIItem* toolbar, IWKUIItem* before, const std::string& caption,
                              int32_t imageIndex, TWKClickHandler click) override;
  IWKUIItem* AddToolbarSeparator(IWKUIItem* toolbar, IWKUIItem* before) override;
  void SetCaption(const std::string& caption) override;
  void ShowDocumentView(TWKDocumentView& view) override;
  void SetCloseQuery(std::function<void(bool& canClose)> query) override;
  void Close() override;

  // The QAction behind an item (none for a tool bar or a foreign item).
  static QAction* ActionOf(IWKUIItem* item);
  static QToolBar* ToolbarOf(IWKUIItem* item);

 protected:
  IWKUIItem* WrapAction(QAction* action, QToolBar* toolbar = nullptr);
  TMainForm& Form() const { return Form_; }
  // The central area's stack of document views, made on first use.
  QStackedWidget& CentralArea();

 private:
  TMainForm& Form_;
  QPointer<QStackedWidget> Central_;
  std::vector<std::unique_ptr<IWKUIItem>> Items_;
  IWKUIItem* FileMenu_ = nullptr;
  IWKUIItem* FileSeparator_ = nullptr;
  IWKUIItem* Exit_ = nullptr;
  IWKUIItem* ViewMenu_ = nullptr;
  IWKUIItem* HelpMenu_ = nullptr;
};
