#include "tools/framework/qt/WKOptionFrame.h"

#include <QEvent>
#include <QSignalBlocker>

TWKOptionFrame::TWKOptionFrame(TWKComponent* owner, QWidget* parent, int minimumWidth)
    : TWKFrame(owner, parent) {
  setMinimumWidth(minimumWidth);
  Column = new QVBoxLayout(this);
  Column->setContentsMargins(0, 4, 0, 4);
  Column->setSpacing(4);
  TitleLabel = new QLabel(this);
  QFont bold = TitleLabel->font();
  bold.setBold(true);
  bold.setUnderline(true);
  TitleLabel->setFont(bold);
  Column->addWidget(TitleLabel);
}

void TWKOptionFrame::BringToFront() {
  if (TWKToolPanelModule* panel = ToolPanel()) panel->BringToFront(this);
}

void TWKOptionFrame::NameControl(std::string_view name, QWidget* widget) {
  Controls_[std::string(name)] = widget;
}

QWidget* TWKOptionFrame::ControlWidget(std::string_view name) const {
  const auto it = Controls_.find(std::string(name));
  return it != Controls_.end() ? it->second : nullptr;
}

std::optional<TPoint> TWKOptionFrame::ControlCenter(std::string_view name) const {
  QWidget* w = ControlWidget(name);
  if (w == nullptr || !w->isVisible()) return std::nullopt;
  const QPoint p = w->mapToGlobal(QPoint(w->width() / 2, w->height() / 2));
  return TPoint{p.x(), p.y()};
}

QSlider* TWKOptionFrame::AddTrackBar(QLabel*& label, int minimum, int maximum,
                                     std::function<void(int)> onChange, std::function<void()> onEnter,
                                     QBoxLayout* into) {
  if (into == nullptr) into = Column;
  label = new QLabel(this);
  into->addWidget(label);
  auto* slider = new QSlider(Qt::Horizontal, this);
  slider->setRange(minimum, maximum);
  const int step = std::max(1, (maximum - minimum + 1) / 16);
  slider->setTickInterval(step);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setPageStep(step);
  into->addWidget(slider);
  if (onChange) QObject::connect(slider, &QSlider::valueChanged, this, std::move(onChange));
  if (onEnter) {
    EnterHandlers_[slider] = std::move(onEnter);
    slider->installEventFilter(this);
  }
  return slider;
}

void TWKOptionFrame::SetTrackBarPosition(QSlider* trackBar, int value) {
  const QSignalBlocker block(trackBar);
  trackBar->setValue(value);
}

bool TWKOptionFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    if (const auto it = EnterHandlers_.find(watched); it != EnterHandlers_.end()) it->second();
  }
  return TWKFrame::eventFilter(watched, event);
}
