#include "tools/eyes/qt/RedEyeFrame.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include "documents/WKGraphicsDocument.h"
#include "framework/WKLocalizer.h"
#include "framework/qt/QtText.h"
#include "imaging/WKBitmap.h"
#include "tools/eyes/RedEyePreview.h"
#include "tools/framework/qt/WKToolPanel.h"

namespace {

// Our pixel surface over a QImage's rows (BGR888 rows are 32-bit aligned).
TWKPixels SurfaceOver(QImage& image) {
  TWKPixels pixels;
  pixels.Attach(Rect(0, 0, image.width(), image.height()), image.bits(), FormatBGR24,
                static_cast<int32_t>(image.bytesPerLine()));
  return pixels;
}

}  // namespace

TRedEyePreviewPanel::TRedEyePreviewPanel(TWKRedEyeFrame& frame, bool selection, QWidget* parent)
    : QWidget(parent), Frame_(frame), Selection_(selection) {
  setFixedHeight(kHeight);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  if (selection) setCursor(Qt::CrossCursor);
}

QRect TRedEyePreviewPanel::InnerRect() const {
  const int inset = kPadding + kBorder;
  return rect().adjusted(inset, inset, -inset, -inset);
}

void TRedEyePreviewPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(palette().color(QPalette::Mid), kBorder));
  painter.setBrush(palette().color(QPalette::Window));
  painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
  const QRect inner = InnerRect();
  if (inner.isEmpty()) return;
  // Painted off-screen, then copied in one transfer.
  QImage section(inner.size(), QImage::Format_BGR888);
  section.fill(palette().color(QPalette::Window));
  if (Selection_)
    Frame_.SelectionPreviewPaint(section);
  else
    Frame_.CorrectionPreviewPaint(section);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.drawImage(inner.topLeft(), section);
}

void TRedEyePreviewPanel::mousePressEvent(QMouseEvent* event) {
  Pressed_ = true;
  if (!Selection_) return;
  const QPoint p = event->position().toPoint() - InnerRect().topLeft();
  const int32_t button = event->button() == Qt::LeftButton ? mbLeft
                         : event->button() == Qt::RightButton ? mbRight : mbMiddle;
  Frame_.Tool().SelectionPreviewMouseDown(button, TPoint{p.x(), p.y()});
}

void TRedEyePreviewPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (!Pressed_ || !rect().contains(event->position().toPoint())) return;
  Pressed_ = false;
  if (Selection_)
    Frame_.Tool().SelectionPreviewClick();
  else
    Frame_.Tool().CorrectionPreviewClick();
}

TWKRedEyeFrame::TWKRedEyeFrame(TWKComponent* owner, QWidget* parent, TWKRedEyeTool& tool)
    : TWKOptionFrame(owner, parent, TWKRedEyeTool::kFrameWidth), Tool_(tool) {
  using namespace RedEyeNames;
  Name = "RedEyeFrame";
  SelectionPreview = new TRedEyePreviewPanel(*this, true, this);
  Column->addWidget(SelectionPreview);

  AreaSizeTrackBar = AddTrackBar(AreaSizeLabel, 0, 255, [this](int v) { Tool_.AreaSizeTrackBarChange(v); },
                                 [this] { Tool_.AreaSizeTrackBarEnter(); });

  RemoveBorderPanel = new QWidget(this);
  auto* row = new QHBoxLayout(RemoveBorderPanel);
  row->setContentsMargins(0, 0, 0, 0);
  RemoveBorderLabel = new QLabel(RemoveBorderPanel);
  IncSizeButton = new QPushButton(QStringLiteral("+"), RemoveBorderPanel);
  DecSizeButton = new QPushButton(QStringLiteral("-"), RemoveBorderPanel);
  for (QPushButton* b : {IncSizeButton, DecSizeButton}) b->setFixedWidth(28);
  row->addWidget(RemoveBorderLabel, 1);
  row->addWidget(IncSizeButton);
  row->addWidget(DecSizeButton);
  Column->addWidget(RemoveBorderPanel);

  BrightnessTrackBar = AddTrackBar(BrightnessLabel, 0, 255, [this](int v) { Tool_.BrightnessTrackBarChange(v); },
                                   [this] { Tool_.BrightnessTrackBarEnter(); });

  CorrectionPreview = new TRedEyePreviewPanel(*this, false, this);
  Column->addWidget(CorrectionPreview);
  RepairAllButton = new QPushButton(this);
  Column->addWidget(RepairAllButton);
  Column->addStretch(1);
  QObject::connect(RepairAllButton, &QPushButton::clicked, this, [this] { Tool_.RepairAllEyesClick(); });

  QObject::connect(IncSizeButton, &QPushButton::clicked, this, [this] { Tool_.IncSizeButtonClick(); });
  QObject::connect(DecSizeButton, &QPushButton::clicked, this, [this] { Tool_.DecSizeButtonClick(); });

  NameControl(SelectionControl, SelectionPreview);
  NameControl(AreaSizeControl, AreaSizeTrackBar);
  NameControl(IncAreaControl, IncSizeButton);
  NameControl(DecAreaControl, DecSizeButton);
  NameControl(BrightnessControl, BrightnessTrackBar);
  NameControl(PreviewControl, CorrectionPreview);
  NameControl(RepairAllControl, RepairAllButton);

  SelectionTimer = new QTimer(this);
  SelectionTimer->setInterval(200);
  QObject::connect(SelectionTimer, &QTimer::timeout, this, [this] { SelectionTimerTimer(); });
  SelectionTimer->start();
}

void TWKRedEyeFrame::PaintPlaceholder(QImage& image, const std::string& text) {
  QPainter p(&image);
  p.setPen(palette().color(QPalette::Disabled, QPalette::Text));
  p.drawText(image.rect(), Qt::AlignCenter | Qt::TextSingleLine, ToQString(text));
}

void TWKRedEyeFrame::SelectionPreviewPaint(QImage& image) {
  const TWKRedEyeCommandState* state = Tool_.LastRedEyeState();
  TWKGraphicsDocument* doc = Tool_.CurrentDocument();
  if (state == nullptr || doc == nullptr || doc->CurrentPixels() == nullptr) {
    const auto& t = RedEyeNames::SourceImageText;
    PaintPlaceholder(image, LanguageString(t.Id, std::string(t.Fallback)));
    CorrectionPreview->update();
    return;
  }
  TWKPixels section = SurfaceOver(image);
  RenderSelectionPreview(section, *doc->CurrentPixels(), state->BeforePixels(), state->SelectionRegion,
                         state->StateRect(), Tool_.PreviewZoom(), AntsPhase_);
}

void TWKRedEyeFrame::CorrectionPreviewPaint(QImage& image) {
  const TWKRedEyeCommandState* state = Tool_.LastRedEyeState();
  TWKGraphicsDocument* doc = Tool_.CurrentDocument();
  if (state == nullptr || doc == nullptr || doc->CurrentPixels() == nullptr) {
    const auto& t = RedEyeNames::ProcessedImageText;
    PaintPlaceholder(image, LanguageString(t.Id, std::string(t.Fallback)));
    return;
  }
  TWKPixels section = SurfaceOver(image);
  RenderCorrectionPreview(section, *doc->CurrentPixels(), state->StateRect(), Tool_.PreviewZoom());
}

void TWKRedEyeFrame::SelectionTimerTimer() {
  AntsPhase_ = (AntsPhase_ + 1) % 8;
  SelectionPreview->update();
}

void TWKRedEyeFrame::SetAreaSizePosition(int32_t value) { SetTrackBarPosition(AreaSizeTrackBar, value); }

void TWKRedEyeFrame::SetBrightnessPosition(int32_t value) { SetTrackBarPosition(BrightnessTrackBar, value); }

void TWKRedEyeFrame::SetTexts(const TRedEyeFrameTexts& texts) {
  TitleLabel->setText(ToQString(texts.Title));
  AreaSizeLabel->setText(ToQString(texts.AreaSize));
  RemoveBorderLabel->setText(ToQString(texts.Border));
  BrightnessLabel->setText(ToQString(texts.Brightness));
  RepairAllButton->setText(ToQString(texts.RepairAll));
}

void TWKRedEyeFrame::InvalidatePreviews() {
  SelectionPreview->update();
  CorrectionPreview->update();
}

TSize TWKRedEyeFrame::PreviewArea() const {
  QRect inner = SelectionPreview->InnerRect();
  // Before the first layout the panel has no width yet: use the frame's.
  if (SelectionPreview->width() < 10) {
    const int inset = 2 * (TRedEyePreviewPanel::kPadding + TRedEyePreviewPanel::kBorder);
    inner = QRect(0, 0, TWKRedEyeTool::kFrameWidth - inset, TRedEyePreviewPanel::kHeight - inset);
  }
  return TSize{inner.width(), inner.height()};
}

IWKRedEyeFrame* CreateRedEyeFrame(TWKRedEyeTool& tool) { return CreateOptionFrame<TWKRedEyeFrame>(tool); }
