#include "view/qt/QtGraphicsView.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QWheelEvent>

#include "framework/WKStartupTimes.h"
#include "framework/qt/WKCursors.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "platform/canvas/QtViewCanvas.h"

namespace {

TPoint ToPoint(const QPoint& p) { return {p.x(), p.y()}; }

int32_t ButtonOf(Qt::MouseButton button) {
  return button == Qt::RightButton ? mbRight : (button == Qt::MiddleButton ? mbMiddle : mbLeft);
}

}  // namespace

// The view owns this; the widget may already have gone with the main window.
class TQtViewWindow : public IWKViewWindow {
 public:
  explicit TQtViewWindow(TQtGraphicsViewWidget* widget) : Widget(widget) {}
  ~TQtViewWindow() override { delete Widget.data(); }

  QPointer<TQtGraphicsViewWidget> Widget;
  TWKScrollBarInfo Info[2];  // [0] horizontal

  bool Exists() const override { return !Widget.isNull(); }
  TSize OuterSize() const override {
    return Widget ? TSize{Widget->width(), Widget->height()} : TSize{};
  }
  // From the bars the view asked for rather than the viewport's size, which lags behind until
  // Qt has laid the scroll area out again.
  TSize ClientSize() const override {
    if (!Widget) return {};
    const TSize outer = OuterSize();
    const int32_t extent = VerticalScrollBarWidth();
    auto needed = [](const TWKScrollBarInfo& bar) { return bar.Max - bar.Min + 1 > bar.Page; };
    return {outer.Width - (needed(Info[1]) ? extent : 0), outer.Height - (needed(Info[0]) ? extent : 0)};
  }
  int32_t VerticalScrollBarWidth() const override {
    return Widget ? Widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
  }
  int32_t HorizontalScrollBarHeight() const override { return VerticalScrollBarWidth(); }
  void SetScrollBar(bool horizontal, const TWKScrollBarInfo& info, bool) override {
    Info[horizontal ? 0 : 1] = info;
    if (!Widget) return;
    QScrollBar* bar = horizontal ? Widget->horizontalScrollBar() : Widget->verticalScrollBar();
    Widget->Setting_ = true;
    const int last = std::max(info.Min, info.Max - info.Page + 1);
    bar->setRange(info.Min, last);
    bar->setPageStep(std::max(info.Page, 1));
    bar->setSingleStep(10);
    bar->setValue(ClampInt(info.Position, info.Min, last));
    Widget->Setting_ = false;
  }
  TWKScrollBarInfo GetScrollBar(bool horizontal) const override {
    TWKScrollBarInfo info = Info[horizontal ? 0 : 1];
    if (Widget) {
      QScrollBar* bar = horizontal ? Widget->horizontalScrollBar() : Widget->verticalScrollBar();
      info.TrackPosition = bar->sliderPosition();
    }
    return info;
  }
  void Invalidate(const TRect* rect) override {
    if (!Widget) return;
    if (rect)
      Widget->viewport()->update(QRect(rect->Left, rect->Top, rect->Width(), rect->Height()));
    else
      Widget->viewport()->update();
  }
  void ScrollPixels(int32_t dx, int32_t dy) override {
    if (Widget) Widget->viewport()->scroll(dx, dy);
  }
  void Update() override {}
  TPoint ClientToScreen(TPoint p) const override {
    return Widget ? ToPoint(Widget->viewport()->mapToGlobal(QPoint(p.X, p.Y))) : p;
  }
  TPoint ScreenToClient(TPoint p) const override {
    return Widget ? ToPoint(Widget->viewport()->mapFromGlobal(QPoint(p.X, p.Y))) : p;
  }
  TPoint CursorPos() const override { return ToPoint(QCursor::pos()); }
  void RepeatMouseMove() override {
    if (!Widget || !Widget->underMouse()) return;
    const QPoint p = Widget->viewport()->mapFromGlobal(QCursor::pos());
    Widget->View().MouseMove(TQtGraphicsViewWidget::ShiftState(QApplication::keyboardModifiers(),
                                                               QApplication::mouseButtons()),
                             ToPoint(p));
  }
  void RefreshCursor() override {
    if (!Widget) return;
    Widget->ApplyCursor(ToPoint(Widget->viewport()->mapFromGlobal(QCursor::pos())));
  }
  void ShowCursor(int32_t cursor) override {
    if (!Widget) return;
    Widget->viewport()->setCursor(ProgramCursor(cursor));
  }
  bool Focused() const override { return Widget && Widget->hasFocus(); }
  void SetFocus() override {
    if (Widget) Widget->setFocus(Qt::MouseFocusReason);
  }
  bool MainWindowForeground() const override { return Widget && Widget->isActiveWindow(); }
};

TQtGraphicsViewWidget::TQtGraphicsViewWidget(TWKGraphicsView& view, QWidget* parent)
    : QAbstractScrollArea(parent), View_(view) {
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  viewport()->setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAttribute(Qt::WA_NoSystemBackground);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
          [this](int action) { BarAction(true, action); });
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
          [this](int action) { BarAction(false, action); });
}

void TQtGraphicsViewWidget::BarAction(bool horizontal, int action) {
  if (Setting_) return;
  TWKScrollCode code = TWKScrollCode::EndScroll;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: code = TWKScrollCode::LineUp; break;
    case QAbstractSlider::SliderSingleStepAdd: code = TWKScrollCode::LineDown; break;
    case QAbstractSlider::SliderPageStepSub: code = TWKScrollCode::PageUp; break;
    case QAbstractSlider::SliderPageStepAdd: code = TWKScrollCode::PageDown; break;
    case QAbstractSlider::SliderMove: code = TWKScrollCode::ThumbTrack; break;
    default: break;
  }
  View_.ScrollBarMessage(horizontal, code);
  // The core decided the position; Qt's own step is replaced by it.
  QScrollBar* bar = horizontal ? horizontalScrollBar() : verticalScrollBar();
  const TWKScrollBarInfo info = View_.Window()->GetScrollBar(horizontal);
  bar->setSliderPosition(ClampInt(info.Position, bar->minimum(), bar->maximum()));
}

// A view made while the main window was still hidden was fitted to a size it did not keep:
// once it is shown and laid out, it is fitted again, unless its zoom has been changed since.
void TQtGraphicsViewWidget::showEvent(QShowEvent* event) {
  QAbstractScrollArea::showEvent(event);
  if (Shown_) return;
  Shown_ = true;
  const TWKMapMode zoomAtShow = View_.MapMode();
  QTimer::singleShot(0, this, [this, zoomAtShow] {
    const TWKMapMode& now = View_.MapMode();
    if (now.DevExtent != zoomAtShow.DevExtent || now.DocExtent != zoomAtShow.DocExtent) return;
    TWKGraphicsEditor* editor = View_.Document().GraphicsEditor();
    if (editor != nullptr && editor->CurrentView() == &View_) editor->FitNewImage();
  });
}

bool TQtGraphicsViewWidget::viewportEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::Resize:
      View_.Resized();
      return true;
    case QEvent::Enter:
      if (!View_.MouseInside()) View_.MouseEnter();
      return true;
    case QEvent::Leave:
      if (View_.MouseInside()) View_.MouseLeave();
      return true;
    default:
      return QAbstractScrollArea::viewportEvent(event);
  }
}

void TQtGraphicsViewWidget::paintEvent(QPaintEvent* event) {
  TQtWidgetPaintWindow window(*viewport(), event->region());
  View_.Paint(window);
  NoteStartupMoment("picture");
}

TWKShiftState TQtGraphicsViewWidget::ShiftState(Qt::KeyboardModifiers modifiers,
                                                Qt::MouseButtons buttons) {
  TWKShiftState shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= ssShift;
  if (modifiers & Qt::AltModifier) shift |= ssAlt;
  if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
  if (buttons & Qt::LeftButton) shift |= ssLeft;
  if (buttons & Qt::RightButton) shift |= ssRight;
  if (buttons & Qt::MiddleButton) shift |= ssMiddle;
  return shift;
}

uint16_t TQtGraphicsViewWidget::VirtualKey(int key, Qt::KeyboardModifiers modifiers) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<uint16_t>('A' + (key - Qt::Key_A));
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<uint16_t>('0' + (key - Qt::Key_0));
  switch (key) {
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Plus: case Qt::Key_Equal:
      return (modifiers & Qt::KeypadModifier) ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus:
      return (modifiers & Qt::KeypadModifier) ? VK_SUBTRACT : VK_OEM_MINUS;
    default: return 0;
  }
}

void TQtGraphicsViewWidget::ApplyCursor(TPoint point) {
  const int32_t cursor =
      View_.GetCursor(ShiftState(QApplication::keyboardModifiers(), QApplication::mouseButtons()), point);
  if (View_.Window()) View_.Window()->ShowCursor(cursor);
}

void TQtGraphicsViewWidget::mousePressEvent(QMouseEvent* event) {
  const TPoint p = ToPoint(event->position().toPoint());
  View_.MouseDown(ButtonOf(event->button()), ShiftState(event->modifiers(), event->buttons()), p);
}

void TQtGraphicsViewWidget::mouseMoveEvent(QMouseEvent* event) {
  const TPoint p = ToPoint(event->position().toPoint());
  View_.MouseMove(ShiftState(event->modifiers(), event->buttons()), p);
  ApplyCursor(p);
}

void TQtGraphicsViewWidget::mouseReleaseEvent(QMouseEvent* event) {
  const TPoint p = ToPoint(event->position().toPoint());
  View_.MouseUp(ButtonOf(event->button()), ShiftState(event->modifiers(), event->buttons()), p);
  ApplyCursor(p);
}

void TQtGraphicsViewWidget::wheelEvent(QWheelEvent* event) {
  TWKGraphicsEditor* editor = View_.Document().GraphicsEditor();
  const QPoint global = event->globalPosition().toPoint();
  const int delta = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
  const bool handled =
      delta != 0 && editor != nullptr &&
      editor->MainFormMouseWheel(ShiftState(event->modifiers(), event->buttons()), delta, ToPoint(global));
  event->setAccepted(handled);
}

void TQtGraphicsViewWidget::keyPressEvent(QKeyEvent* event) {
  const uint16_t key = VirtualKey(event->key(), event->modifiers());
  const TWKShiftState shift = ShiftState(event->modifiers(), QApplication::mouseButtons());
  const bool handled = key != 0 && View_.KeyDown(key, shift);
  ApplyCursor(ToPoint(viewport()->mapFromGlobal(QCursor::pos())));
  event->setAccepted(handled || TWKGraphicsView::WantsKey(key));
}

void TQtGraphicsViewWidget::keyReleaseEvent(QKeyEvent* event) {
  // Held keys repeat as release and press pairs; only the real release counts.
  if (event->isAutoRepeat()) return;
  const uint16_t key = VirtualKey(event->key(), event->modifiers());
  const bool handled =
      key != 0 && View_.KeyUp(key, ShiftState(event->modifiers(), QApplication::mouseButtons()));
  ApplyCursor(ToPoint(viewport()->mapFromGlobal(QCursor::pos())));
  event->setAccepted(handled);
}

void InstallQtViewWindows() {
  TWKGraphicsView::SetWindowFactory([](TWKGraphicsView& view) -> std::unique_ptr<IWKViewWindow> {
    view.SetCanvas(std::make_unique<TQtViewCanvas>());
    auto* widget = new TQtGraphicsViewWidget(view);
    return std::make_unique<TQtViewWindow>(widget);
  });
}

QWidget* QtViewWidget(TWKDocumentView& view) {
  auto* graphics = dynamic_cast<TWKGraphicsView*>(&view);
  auto* window = graphics ? dynamic_cast<TQtViewWindow*>(graphics->Window()) : nullptr;
  return window ? window->Widget.data() : nullptr;
}
