// The core's user-interface items over Qt objects: menu and tool-bar actions, tool bars,
// status-bar panels. Only the caption property and the widget that shows the item differ with
// the kind of object; an item whose object is gone does nothing.
#pragma once

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QToolBar>
#include <type_traits>

#include "documents/WKEditorUI.h"
#include "framework/qt/QtText.h"

inline QString CaptionOf(const QAction& action) { return action.text(); }
inline void SetCaptionOf(QAction& action, const QString& text) { action.setText(text); }
inline QString CaptionOf(const QToolBar& toolbar) { return toolbar.windowTitle(); }
inline void SetCaptionOf(QToolBar& toolbar, const QString& text) { toolbar.setWindowTitle(text); }
inline QString CaptionOf(const QLabel& label) { return label.text(); }
inline void SetCaptionOf(QLabel& label, const QString& text) { label.setText(text); }
// An action becomes checkable when first checked, so that its button is drawn pressed; tool bars
// and status panels have no checked state.
inline bool CheckedOf(const QAction& action) { return action.isChecked(); }
inline void SetCheckedOf(QAction& action, bool value) {
  if (value) action.setCheckable(true);
  action.setChecked(value);
}
inline bool CheckedOf(const QWidget&) { return false; }
inline void SetCheckedOf(QWidget&, bool) {}

template <class T>
class TQtUIItem : public IWKUIItem {
 public:
  explicit TQtUIItem(T* object) : Object(object) {}
  QPointer<T> Object;

  void SetCaption(const std::string& text) override {
    if (Object) SetCaptionOf(*Object, ToQString(text));
  }
  void SetHint(const std::string& text) override {
    if (Object) Object->setToolTip(ToQString(text));
  }
  // An action is set only on a change: each set makes its menus and tool bars update.
  void SetEnabled(bool value) override {
    if (Object && (IsWidget || Object->isEnabled() != value)) Object->setEnabled(value);
  }
  void SetVisible(bool value) override {
    if (Object && (IsWidget || Object->isVisible() != value)) Object->setVisible(value);
  }
  void SetChecked(bool value) override {
    if (Object && CheckedOf(*Object) != value) SetCheckedOf(*Object, value);
  }
  std::string Caption() const override {
    return Object ? ToStdString(CaptionOf(*Object)) : std::string();
  }
  bool Enabled() const override { return Object && Object->isEnabled(); }
  bool Visible() const override { return Object && Object->isVisible(); }
  bool Checked() const override { return Object && CheckedOf(*Object); }
  TPoint ScreenCenter() const override {
    const QWidget* widget = Object ? ShownBy() : nullptr;
    if (widget == nullptr) return {};
    const QPoint p = widget->mapToGlobal(widget->rect().center());
    return {p.x(), p.y()};
  }
  // A tool-bar button folded into the overflow menu has its widget hidden.
  bool Shown() const override {
    const QWidget* widget = Object ? ShownBy() : nullptr;
    return widget != nullptr && widget->isVisible();
  }

 protected:
  static constexpr bool IsWidget = std::is_base_of_v<QWidget, T>;
  // The widget the item appears as (none: it is not on screen).
  virtual const QWidget* ShownBy() const {
    if constexpr (IsWidget)
      return Object.data();
    else
      return nullptr;
  }
};

// A menu item or tool-bar button; a button appears as its tool bar's widget for the action.
class TQtActionItem : public TQtUIItem<QAction> {
 public:
  TQtActionItem(QAction* action, QToolBar* toolbar) : TQtUIItem(action), Toolbar(toolbar) {}
  QPointer<QToolBar> Toolbar;

 protected:
  const QWidget* ShownBy() const override {
    return Toolbar ? Toolbar->widgetForAction(Object) : nullptr;
  }
};
