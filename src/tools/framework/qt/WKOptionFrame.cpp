#include "tools/framework/qt/WKOptionFrame.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolButton>

#include "framework/WKInputCodes.h"
#include "framework/qt/QtText.h"
#include "imaging/WKBitmap.h"

TQtTrackBar::TQtTrackBar(TWKOptionFrame& frame, QLabel* label, QSlider* slider)
    : Label(label), Slider(slider), Frame_(frame) {
  QObject::connect(slider, &QSlider::valueChanged, slider, [this](int v) {
    if (OnChange_) OnChange_(v);
  });
}

void TQtTrackBar::SetOnEnter(std::function<void()> handler) { Frame_.SetEnterHandler(Slider, std::move(handler)); }

void TQtTrackBar::SetRange(int32_t minimum, int32_t maximum) {
  const QSignalBlocker block(Slider);
  Slider->setRange(minimum, maximum);
}

void TQtTrackBar::SetTickFrequency(int32_t frequency) {
  Slider->setTickInterval(std::max(1, frequency));
  Slider->setPageStep(std::max(1, frequency));
}

void TQtTrackBar::SetPosition(int32_t value) { TWKOptionFrame::SetTrackBarPosition(Slider, value); }

void TQtTrackBar::SetCaption(const std::string& text) { Label->setText(ToQString(text)); }

void TQtTrackBar::SetVisible(bool value) {
  Label->setVisible(value);
  Slider->setVisible(value);
}

std::optional<TPoint> TQtTrackBar::ThumbScreenPoint() const {
  if (!Slider->isVisible()) return std::nullopt;
  QStyleOptionSlider option;
  option.initFrom(Slider);
  option.orientation = Slider->orientation();
  option.minimum = Slider->minimum();
  option.maximum = Slider->maximum();
  option.sliderPosition = Slider->sliderPosition();
  option.sliderValue = Slider->value();
  option.tickPosition = Slider->tickPosition();
  option.tickInterval = Slider->tickInterval();
  option.upsideDown = Slider->invertedAppearance();
  const QRect handle =
      Slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, Slider);
  const QPoint p = Slider->mapToGlobal(handle.center());
  return TPoint{p.x(), p.y()};
}

TQtCheckBox::TQtCheckBox(QAbstractButton* box) : Box(box) {
  QObject::connect(box, &QAbstractButton::toggled, box, [this](bool v) {
    if (OnChange_) OnChange_(v);
  });
}

void TQtCheckBox::SetChecked(bool value) {
  const QSignalBlocker block(Box);
  Box->setChecked(value);
}

void TQtCheckBox::SetCaption(const std::string& text) { Box->setText(ToQString(text)); }

TQtPaintBox::TQtPaintBox(QWidget* parent, int width, int height) : QWidget(parent) {
  setFixedSize(width, height);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TQtPaintBox::paintEvent(QPaintEvent*) {
  QImage image(size(), QImage::Format_BGR888);
  image.fill(Qt::white);
  if (Handler_) {
    // Our pixel surface over the image's rows (BGR888 rows are 32-bit aligned).
    TWKPixels pixels;
    pixels.Attach(Rect(0, 0, image.width(), image.height()), image.bits(), FormatBGR24,
                  static_cast<int32_t>(image.bytesPerLine()));
    Handler_(pixels, isEnabled());
  }
  QPainter(this).drawImage(0, 0, image);
}

void TQtPaintBox::mousePressEvent(QMouseEvent* event) { ReportMouse(TMouseEvent::Down, event); }

void TQtPaintBox::mouseMoveEvent(QMouseEvent* event) { ReportMouse(TMouseEvent::Move, event); }

void TQtPaintBox::ReportMouse(TMouseEvent kind, QMouseEvent* event) {
  if (!MouseHandler_) return;
  const Qt::MouseButtons buttons = event->buttons() | event->button();
  uint32_t shift = 0;
  if (buttons & Qt::LeftButton) shift |= ssLeft;
  if (buttons & Qt::RightButton) shift |= ssRight;
  if (buttons & Qt::MiddleButton) shift |= ssMiddle;
  const QPoint p = event->position().toPoint();
  MouseHandler_(kind, shift, TPoint{p.x(), p.y()});
}

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
  SetEnterHandler(slider, std::move(onEnter));
  return slider;
}

void TWKOptionFrame::SetEnterHandler(QWidget* widget, std::function<void()> handler) {
  if (!handler) {
    EnterHandlers_.erase(widget);
    return;
  }
  if (EnterHandlers_.count(widget) == 0) widget->installEventFilter(this);
  EnterHandlers_[widget] = std::move(handler);
}

void TWKOptionFrame::SetTitle(const std::string& text) { TitleLabel->setText(ToQString(text)); }

IWKTrackBar* TWKOptionFrame::TrackBar(std::string_view name) {
  const auto it = TrackBars_.find(std::string(name));
  return it != TrackBars_.end() ? it->second.get() : nullptr;
}

IWKPaintBox* TWKOptionFrame::PaintBox(std::string_view name) {
  const auto it = PaintBoxes_.find(std::string(name));
  return it != PaintBoxes_.end() ? it->second : nullptr;
}

IWKCheckBox* TWKOptionFrame::CheckBox(std::string_view name) {
  const auto it = CheckBoxes_.find(std::string(name));
  return it != CheckBoxes_.end() ? it->second.get() : nullptr;
}

TQtCheckBox* TWKOptionFrame::AddNamedCheckBox(std::string_view name, QWidget* parent) {
  auto* box = new QCheckBox(parent);
  NameControl(name, box);
  auto& entry = CheckBoxes_[std::string(name)];
  entry = std::make_unique<TQtCheckBox>(box);
  return entry.get();
}

TQtCheckBox* TWKOptionFrame::AddNamedToggleButton(std::string_view name, QWidget* parent, int width, int height) {
  auto* button = new QToolButton(parent);
  button->setCheckable(true);
  button->setFixedSize(width, height);
  NameControl(name, button);
  auto& entry = CheckBoxes_[std::string(name)];
  entry = std::make_unique<TQtCheckBox>(button);
  return entry.get();
}

TQtTrackBar* TWKOptionFrame::AddNamedTrackBar(std::string_view name, int minimum, int maximum) {
  QLabel* label = nullptr;
  QSlider* slider = AddTrackBar(label, minimum, maximum, nullptr);
  NameControl(name, slider);
  auto& bar = TrackBars_[std::string(name)];
  bar = std::make_unique<TQtTrackBar>(*this, label, slider);
  return bar.get();
}

TQtPaintBox* TWKOptionFrame::AddNamedPaintBox(std::string_view name, QWidget* parent, int width, int height) {
  auto* box = new TQtPaintBox(parent, width, height);
  NameControl(name, box);
  PaintBoxes_[std::string(name)] = box;
  return box;
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
