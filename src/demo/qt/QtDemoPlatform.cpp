#include "demo/qt/QtDemoPlatform.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QToolTip>
#include <QWidget>
#include <QWindowStateChangeEvent>

#include "demo/qt/WKBalloon.h"
#include "framework/WKApplication.h"

int32_t VirtualKeyOf(const QKeyEvent& event) {
  const int key = event.key();
  const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return (keypad ? 0x60 : 0x30) + (key - Qt::Key_0);
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 0x41 + (key - Qt::Key_A);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
  static constexpr std::pair<int, int32_t> kKeys[] = {
      {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09},      {Qt::Key_Backtab, 0x09},  {Qt::Key_Clear, 0x0C},
      {Qt::Key_Return, 0x0D},    {Qt::Key_Enter, 0x0D},    {Qt::Key_Shift, 0x10},    {Qt::Key_Control, 0x11},
      {Qt::Key_Alt, 0x12},       {Qt::Key_AltGr, 0x12},    {Qt::Key_Pause, 0x13},    {Qt::Key_CapsLock, 0x14},
      {Qt::Key_Escape, 0x1B},    {Qt::Key_Space, 0x20},    {Qt::Key_PageUp, 0x21},   {Qt::Key_PageDown, 0x22},
      {Qt::Key_End, 0x23},       {Qt::Key_Home, 0x24},     {Qt::Key_Left, 0x25},     {Qt::Key_Up, 0x26},
      {Qt::Key_Right, 0x27},     {Qt::Key_Down, 0x28},     {Qt::Key_Select, 0x29},   {Qt::Key_Execute, 0x2B},
      {Qt::Key_Print, 0x2C},     {Qt::Key_Insert, 0x2D},   {Qt::Key_Delete, 0x2E},   {Qt::Key_Help, 0x2F},
      {Qt::Key_Meta, 0x5B},      {Qt::Key_Super_L, 0x5B},  {Qt::Key_Super_R, 0x5C},  {Qt::Key_Menu, 0x5D},
      {Qt::Key_Sleep, 0x5F},     {Qt::Key_NumLock, 0x90},  {Qt::Key_ScrollLock, 0x91},
  };
  for (const auto& [qtKey, vk] : kKeys)
    if (key == qtKey) return vk;
  if (keypad) {
    static constexpr std::pair<int, int32_t> kKeypad[] = {{Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B},
                                                          {Qt::Key_Minus, 0x6D},    {Qt::Key_Period, 0x6E},
                                                          {Qt::Key_Comma, 0x6E},    {Qt::Key_Slash, 0x6F}};
    for (const auto& [qtKey, vk] : kKeypad)
      if (key == qtKey) return vk;
  }
  return 0;
}

TQtDemoPlatform::TQtDemoPlatform(std::unique_ptr<IQtPointerInjector> injector)
    : Injector_(injector ? std::move(injector) : CreatePointerInjector()) {
  Clock_.start();
  Timer_.setSingleShot(true);
  Timer_.setTimerType(Qt::PreciseTimer);
  connect(&Timer_, &QTimer::timeout, this, [this] { RunTick(); });
}

TQtDemoPlatform::~TQtDemoPlatform() {
  StopPacing();
  WatchApplication(nullptr);
  SetPointerVisible(true);
  SetHintsEnabled(true);
}

TPoint TQtDemoPlatform::PointerPos() {
  const QPoint p = QCursor::pos();
  return TPoint{p.x(), p.y()};
}

void TQtDemoPlatform::SetPointerPos(TPoint point) {
  const QPoint target(point.X, point.Y);
  if (QCursor::pos() != target) Injector_->MovePointer(target);
}

void TQtDemoPlatform::InjectButton(TWKPhysicalButton button, bool down) {
  Injector_->InjectButton(button, down, QCursor::pos());
}

void TQtDemoPlatform::SetPointerVisible(bool visible) {
  if (visible == !PointerHidden_) return;
  PointerHidden_ = !visible;
  if (PointerHidden_)
    QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
  else
    QGuiApplication::restoreOverrideCursor();
}

void TQtDemoPlatform::SetHintsEnabled(bool enabled) {
  HintsOff_ = !enabled;
  if (TWKApplication* app = Application()) app->ShowHint = enabled;
  if (HintsOff_) QToolTip::hideText();
  Filter(HintsOff_ || Watcher_ != nullptr);
}

// Without a parent window: the action that shows the balloon owns it.
std::unique_ptr<IWKDemoBalloon> TQtDemoPlatform::CreateBalloon() { return std::make_unique<TWKBalloon>(); }

void TQtDemoPlatform::WatchApplication(IWKDemoAppWatcher* watcher) {
  Watcher_ = watcher;
  Active_ = QGuiApplication::applicationState() == Qt::ApplicationActive;
  Minimized_ = false;
  Filter(HintsOff_ || Watcher_ != nullptr);
}

void TQtDemoPlatform::Filter(bool on) {
  if (on == Filtering_ || qApp == nullptr) return;
  Filtering_ = on;
  if (on)
    qApp->installEventFilter(this);
  else
    qApp->removeEventFilter(this);
}

void TQtDemoPlatform::StartPacing(std::function<bool()> tick) {
  Tick_ = std::move(tick);
  ++Generation_;
  Timer_.start(kTickMs);
}

void TQtDemoPlatform::StopPacing() {
  Tick_ = nullptr;
  ++Generation_;
  Timer_.stop();
}

// One step; the timer is armed again only after it, so a step that runs a modal loop never
// has a second one start inside it.
void TQtDemoPlatform::RunTick() {
  if (!Tick_) return;
  const uint64_t generation = Generation_;
  const std::function<bool()> tick = Tick_;  // a step may replace the pacing
  InTick_ = true;
  const bool going = tick();
  InTick_ = false;
  if (generation != Generation_) return;  // replaced or stopped inside the step
  if (going)
    Timer_.start(kTickMs);
  else
    Tick_ = nullptr;
}

bool TQtDemoPlatform::eventFilter(QObject* watched, QEvent* event) {
  if (HintsOff_ && (event->type() == QEvent::ToolTip || event->type() == QEvent::WhatsThis)) return true;
  if (Watcher_ != nullptr && WatchEvent(watched, event)) return true;
  return QObject::eventFilter(watched, event);
}

// Tells the watcher when state changes: on when it becomes true, off when it becomes false.
void TQtDemoPlatform::Switch(bool& state, bool value, void (IWKDemoAppWatcher::*on)(),
                             void (IWKDemoAppWatcher::*off)()) {
  if (state == value) return;
  state = value;
  (Watcher_->*(value ? on : off))();
}

bool TQtDemoPlatform::WatchEvent(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ApplicationStateChange: {
      const auto* change = static_cast<QApplicationStateChangeEvent*>(event);
      Switch(Active_, change->applicationState() == Qt::ApplicationActive, &IWKDemoAppWatcher::ApplicationActivated,
             &IWKDemoAppWatcher::ApplicationDeactivated);
      return false;
    }
    case QEvent::WindowStateChange: {
      auto* widget = qobject_cast<QWidget*>(watched);
      if (widget == nullptr || !widget->isWindow() || widget->windowType() != Qt::Window) return false;
      Switch(Minimized_, widget->isMinimized(), &IWKDemoAppWatcher::ApplicationMinimized,
             &IWKDemoAppWatcher::ApplicationRestored);
      return false;
    }
    case QEvent::ShortcutOverride: {
      // A stop key that is also a shortcut must arrive as a key press, not run its command.
      const int32_t vk = VirtualKeyOf(*static_cast<QKeyEvent*>(event));
      if (!IsDemoStopKey(vk) || !Watcher_->KeyMessage(vk, false)) return false;
      event->accept();
      return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      return Watcher_->KeyMessage(VirtualKeyOf(*key), event->type() == QEvent::KeyPress);
    }
    default:
      return false;
  }
}
