#include "tools/geometry/qt/ResizeFrame.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "framework/qt/QtText.h"

TResizeUpDown::TResizeUpDown(QWidget* parent, std::function<int32_t()> position,
                             std::function<void(int16_t)> changing)
    : QWidget(parent), Position_(std::move(position)), Changing_(std::move(changing)) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  Up = new QToolButton(this);
  Down = new QToolButton(this);
  Up->setArrowType(Qt::UpArrow);
  Down->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {Up, Down}) {
    b->setAutoRepeat(true);
    b->setFixedSize(18, 12);
    column->addWidget(b);
  }
  QObject::connect(Up, &QToolButton::clicked, this, [this] { Step(1); });
  QObject::connect(Down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void TResizeUpDown::Step(int32_t delta) {
  const int32_t next = std::clamp(Position_() + delta, kMinimum, kMaximum);
  Changing_(static_cast<int16_t>(next));
}

TWKResizeFrame::TWKResizeFrame(TWKComponent* owner, QWidget* parent, TWKResizeTool& tool)
    : TWKOptionFrame(owner, parent, TWKResizeTool::kFrameWidth), Tool_(tool) {
  using namespace ResizeNames;
  Name = "ResizeFrame";
  SizePanel = new QWidget(this);
  auto* grid = new QGridLayout(SizePanel);
  grid->setContentsMargins(0, 0, 0, 0);
  NewSizeLabel = new QLabel(SizePanel);
  grid->addWidget(NewSizeLabel, 0, 0, 1, 3);
  auto row = [&](int index, QLabel*& label, QLineEdit*& edit, TResizeUpDown*& upDown,
                 std::function<int32_t()> position, std::function<void(int16_t)> changing,
                 std::function<void(const std::string&)> edited) {
    label = new QLabel(SizePanel);
    edit = new QLineEdit(QStringLiteral("1"), SizePanel);
    upDown = new TResizeUpDown(SizePanel, std::move(position), std::move(changing));
    grid->addWidget(label, index, 0);
    grid->addWidget(edit, index, 1);
    grid->addWidget(upDown, index, 2);
    QObject::connect(edit, &QLineEdit::textEdited, this,
                     [edited = std::move(edited)](const QString& text) { edited(ToStdString(text)); });
  };
  row(1, WidthLabel, WidthEdit, WidthUpDown, [this] { return Tool_.NewWidth(); },
      [this](int16_t p) { Tool_.WidthUpDownChanging(p); }, [this](const std::string& t) { Tool_.WidthEditChange(t); });
  row(2, HeightLabel, HeightEdit, HeightUpDown, [this] { return Tool_.NewHeight(); },
      [this](int16_t p) { Tool_.HeightUpDownChanging(p); }, [this](const std::string& t) { Tool_.HeightEditChange(t); });
  Column->addWidget(SizePanel);

  ConstrainProportionsCheckBox = new QCheckBox(this);
  Column->addWidget(ConstrainProportionsCheckBox);
  QObject::connect(ConstrainProportionsCheckBox, &QCheckBox::clicked, this,
                   [this](bool checked) { Tool_.ConstrainProportionsCheckBoxChange(checked); });

  OkPanel = new QWidget(this);
  auto* buttons = new QHBoxLayout(OkPanel);
  buttons->setContentsMargins(0, 0, 0, 0);
  OkButton = new QPushButton(OkPanel);
  CancelButton = new QPushButton(OkPanel);
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  Column->addWidget(OkPanel);
  Column->addStretch(1);
  QObject::connect(OkButton, &QPushButton::clicked, this, [this] { Tool_.OkButtonClick(); });
  QObject::connect(CancelButton, &QPushButton::clicked, this, [this] { Tool_.CancelButtonClick(); });

  NameControl(WidthControl, WidthEdit);
  NameControl(HeightControl, HeightEdit);
  NameControl(ProportionsControl, ConstrainProportionsCheckBox);
  NameControl(PerformControl, OkButton);
  NameControl(CancelControl, CancelButton);
}

void TWKResizeFrame::SetTexts(const TResizeFrameTexts& texts) {
  TitleLabel->setText(ToQString(texts.Title));
  NewSizeLabel->setText(ToQString(texts.NewSize));
  WidthLabel->setText(ToQString(texts.Width));
  HeightLabel->setText(ToQString(texts.Height));
  ConstrainProportionsCheckBox->setText(ToQString(texts.Constrain));
  OkButton->setText(ToQString(texts.Ok));
  CancelButton->setText(ToQString(texts.Cancel));
}

void TWKResizeFrame::ShowWidth(int32_t value) {
  const QString text = QString::number(value);
  if (WidthEdit->text() != text) WidthEdit->setText(text);
}

void TWKResizeFrame::ShowHeight(int32_t value) {
  const QString text = QString::number(value);
  if (HeightEdit->text() != text) HeightEdit->setText(text);
}

void TWKResizeFrame::SetConstrainChecked(bool value) {
  const QSignalBlocker block(ConstrainProportionsCheckBox);
  ConstrainProportionsCheckBox->setChecked(value);
}

void TWKResizeFrame::SetActionsEnabled(bool value) {
  OkButton->setEnabled(value);
  CancelButton->setEnabled(value);
}

IWKResizeFrame* CreateResizeFrame(TWKResizeTool& tool) { return CreateOptionFrame<TWKResizeFrame>(tool); }
