#include "tools/geometry/qt/RotateFrame.h"

#include <QPainter>
#include <QVBoxLayout>

#include "framework/qt/QtText.h"

namespace {

// The radio buttons from the top: right, left, horizontal, vertical.
constexpr std::array<uint8_t, 4> RadioOrder = {RotateRightOperation, RotateLeftOperation,
                                               MirrorHorizontalOperation, FlipVerticalOperation};

QString ButtonText(const std::string& text) { return ToQString(text).replace('&', "&&"); }

}  // namespace

TRotateThumbnailView::TRotateThumbnailView(TWKRotateFrame& frame, QWidget* parent)
    : QWidget(parent), Frame_(frame) {
  setFixedSize(TWKRotateFrame::kPreviewWidth, TWKRotateFrame::kPreviewHeight);
}

void TRotateThumbnailView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Frame_.ThumbnailViewPaint(painter);
}

TWKRotateFrame::TWKRotateFrame(TWKComponent* owner, QWidget* parent, TWKRotateTool& tool)
    : TWKOptionFrame(owner, parent, TWKRotateTool::kFrameWidth), Tool_(tool) {
  using namespace RotateNames;
  Name = "RotateFrame";
  PreviewControl = new QWidget(this);
  auto* preview = new QVBoxLayout(PreviewControl);
  preview->setContentsMargins(0, 0, 0, 0);
  ThumbnailView = new TRotateThumbnailView(*this, PreviewControl);
  preview->addWidget(ThumbnailView, 0, Qt::AlignHCenter);
  for (uint8_t op : RadioOrder) {
    QRadioButton* radio = new QRadioButton(PreviewControl);
    RadioButtons[op - 1] = radio;
    preview->addWidget(radio);
    QObject::connect(radio, &QRadioButton::toggled, this,
                     [this, op](bool checked) { Tool_.RotateRadioButtonChange(op, checked); });
  }
  RadioButtons[RotateRightOperation - 1]->setChecked(true);
  RotateButton = new QPushButton(PreviewControl);
  preview->addWidget(RotateButton);
  QObject::connect(RotateButton, &QPushButton::clicked, this, [this] { Tool_.RotateButtonClick(); });
  Column->addWidget(PreviewControl);

  for (uint8_t op : RadioOrder) {
    QPushButton* button = new QPushButton(this);
    DirectButtons[op - 1] = button;
    Column->addWidget(button);
    QObject::connect(button, &QPushButton::clicked, this, [this, op] { Tool_.DirectButtonClick(op); });
  }

  ShowOptions = new QPushButton(this);
  ShowOptions->setFlat(true);
  ShowOptions->setCursor(Qt::PointingHandCursor);
  QFont link = ShowOptions->font();
  link.setUnderline(true);
  ShowOptions->setFont(link);
  ShowOptions->setStyleSheet(QStringLiteral("QPushButton { color: palette(link); text-align: left; border: none; }"));
  Column->addWidget(ShowOptions);
  Column->addStretch(1);
  QObject::connect(ShowOptions, &QPushButton::clicked, this, [this] { Tool_.ShowOptionsButtonClick(); });

  NameControl(ViewControl, ThumbnailView);
  for (size_t i = 0; i < 4; ++i) {
    NameControl(OptionControls[i], RadioButtons[i]);
    NameControl(DirectControls[i], DirectButtons[i]);
  }
  NameControl(PerformControl, RotateButton);
  NameControl(OptionsControl, ShowOptions);
}

void TWKRotateFrame::ThumbnailViewPaint(QPainter& painter) {
  const QRect box = ThumbnailView->rect();
  painter.setPen(Qt::black);
  painter.setBrush(Qt::white);
  painter.drawRect(box.adjusted(0, 0, -1, -1));
  const TWKLTBitmap* bitmap = Tool_.PreviewBitmap();
  const TWKPixels* pixels = bitmap != nullptr ? bitmap->Pixels() : nullptr;
  if (pixels == nullptr || pixels->PixelFormat != FormatBGR24) return;
  // Laid over the bitmap's rows: BGR888 rows are 32-bit aligned like ours.
  const QImage image(pixels->Bits, pixels->Width, pixels->Height, pixels->RowBytes, QImage::Format_BGR888);
  painter.drawImage(QPoint((box.width() - pixels->Width) / 2, (box.height() - pixels->Height) / 2), image);
}

void TWKRotateFrame::SetTexts(const TRotateFrameTexts& texts) {
  TitleLabel->setText(ToQString(texts.Title));
  for (size_t i = 0; i < 4; ++i) {
    RadioButtons[i]->setText(ButtonText(texts.Operations[i]));
    DirectButtons[i]->setText(ButtonText(texts.Operations[i]));
  }
  RotateButton->setText(ButtonText(texts.Perform));
  ShowOptions->setText(ButtonText(texts.Options));
}

void TWKRotateFrame::ShowOptionsPanel(bool shown) {
  setUpdatesEnabled(false);
  PreviewControl->setVisible(shown);
  for (QPushButton* button : DirectButtons) button->setVisible(!shown);
  setUpdatesEnabled(true);
}

uint8_t TWKRotateFrame::SelectedOperation() const {
  for (uint8_t op = RotateLeftOperation; op <= FlipVerticalOperation; ++op)
    if (RadioButtons[op - 1]->isChecked()) return op;
  return RotateNone;
}

void TWKRotateFrame::CheckOperation(uint8_t op) {
  if (op >= RotateLeftOperation && op <= FlipVerticalOperation) RadioButtons[op - 1]->setChecked(true);
}

IWKRotateFrame* CreateRotateFrame(TWKRotateTool& tool) { return CreateOptionFrame<TWKRotateFrame>(tool); }
