#include "demo/qt/QtDemoScreenPoints.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolBar>

namespace {

std::optional<TPoint> ScreenPoint(const QWidget* widget, QPoint local) {
  const QPoint p = widget->mapToGlobal(local);
  return TPoint{p.x(), p.y()};
}

QPoint Middle(const QRect& r) { return QPoint((r.left() + r.right() + 1) / 2, (r.top() + r.bottom() + 1) / 2); }

}  // namespace

std::optional<TPoint> ControlCenter(const QWidget* control) {
  if (control == nullptr || !control->isVisible()) return std::nullopt;
  return ScreenPoint(control, QPoint(control->width() / 2, control->height() / 2));
}

std::optional<TPoint> MenuItemCenter(const QAction* item) {
  if (item == nullptr || !item->isVisible()) return std::nullopt;
  if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      popup != nullptr && popup->actions().contains(const_cast<QAction*>(item)))
    return ScreenPoint(popup, Middle(popup->actionGeometry(const_cast<QAction*>(item))));
  for (QObject* owner : item->associatedObjects()) {
    auto* widget = qobject_cast<QWidget*>(owner);
    if (widget == nullptr || !widget->isVisible()) continue;
    if (auto* menu = qobject_cast<QMenu*>(widget))
      return ScreenPoint(menu, Middle(menu->actionGeometry(const_cast<QAction*>(item))));
    if (auto* bar = qobject_cast<QMenuBar*>(widget))
      return ScreenPoint(bar, Middle(bar->actionGeometry(const_cast<QAction*>(item))));
  }
  return std::nullopt;
}

std::optional<TPoint> ToolbarItemCenter(const QAction* item) {
  if (item == nullptr || !item->isVisible()) return std::nullopt;
  for (QObject* owner : item->associatedObjects())
    if (auto* toolbar = qobject_cast<QToolBar*>(owner); toolbar != nullptr && toolbar->isVisible())
      return ControlCenter(toolbar->widgetForAction(const_cast<QAction*>(item)));
  return std::nullopt;
}

std::optional<TPoint> TrackBarThumbCenter(const QSlider* slider) {
  if (slider == nullptr || !slider->isVisible()) return std::nullopt;
  QStyleOptionSlider option;
  option.initFrom(slider);
  option.subControls = QStyle::SC_None;
  option.activeSubControls = QStyle::SC_None;
  option.orientation = slider->orientation();
  option.maximum = slider->maximum();
  option.minimum = slider->minimum();
  option.tickPosition = slider->tickPosition();
  option.tickInterval = slider->tickInterval();
  option.upsideDown = slider->orientation() == Qt::Horizontal ? slider->invertedAppearance() != (option.direction == Qt::RightToLeft)
                                                             : !slider->invertedAppearance();
  option.sliderPosition = slider->sliderPosition();
  option.sliderValue = slider->value();
  option.singleStep = slider->singleStep();
  option.pageStep = slider->pageStep();
  const QRect handle = slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
  return ScreenPoint(slider, Middle(handle));
}
