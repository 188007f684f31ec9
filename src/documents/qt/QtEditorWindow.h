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

  IWKUIItem* FileMenuItem() override { return fileMenu_; }
  IWKUIItem* FileMenuSeparator() override { return fileSeparator_; }
  IWKUIItem* ExitMenuItem() override { return exit_; }
  IWKUIItem* ViewMenuItem() override { return viewMenu_; }
  IWKUIItem* HelpMenuItem() override { return helpMenu_; }
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
  TMainForm& Form() const { return form_; }

 private:
  TMainForm& form_;
  QPointer<QStackedWidget> central_;
  std::vector<std::unique_ptr<IWKUIItem>> items_;
  IWKUIItem* fileMenu_ = nullptr;
  IWKUIItem* fileSeparator_ = nullptr;
  IWKUIItem* exit_ = nullptr;
  IWKUIItem* viewMenu_ = nullptr;
  IWKUIItem* helpMenu_ = nullptr;
};
