// Where on the screen the demonstration's named items lie, for the locators that tools and
// editors register; none while the item is not shown.
#pragma once

#include <optional>

#include "imaging/WKTypes.h"

class QAction;
class QSlider;
class QWidget;

// The control's centre, (width div 2, height div 2) of its client area.
std::optional<TPoint> ControlCenter(const QWidget* control);
// The centre of the item in the open pop-up menu that shows it, else in a shown menu or menu
// bar it belongs to.
std::optional<TPoint> MenuItemCenter(const QAction* item);
// The centre of the item's button on a shown tool bar.
std::optional<TPoint> ToolbarItemCenter(const QAction* item);
// The centre of the slider's handle.
std::optional<TPoint> TrackBarThumbCenter(const QSlider* slider);
