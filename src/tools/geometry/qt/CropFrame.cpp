#include "tools/geometry/qt/CropFrame.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "framework/qt/QtText.h"

namespace {

QComboBox* FormatList(QWidget* panel, const auto& items) {
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* list = new QComboBox(panel);
  for (std::string_view item : items)
    list->addItem(QString::fromUtf8(item.data(), qsizetype(item.size())));
  list->setCurrentIndex(0);
  layout->addWidget(list);
  return list;
}

}  // namespace

TWKCrop2PlusFrame::TWKCrop2PlusFrame(TWKComponent* owner, QWidget* parent, TWKCrop2PlusTool& tool)
    : TWKOptionFrame(owner, parent, TWKCrop2PlusTool::kFrameWidth), Tool_(tool) {
  Name = "Crop2PlusFrame";
  DescriptionLabel = new QLabel(this);
  DescriptionLabel->setWordWrap(true);
  Column->addWidget(DescriptionLabel);

  SidesRatioTntGroupBox = new QGroupBox(this);
  auto* ratios = new QVBoxLayout(SidesRatioTntGroupBox);
  rbFree = new QRadioButton(SidesRatioTntGroupBox);
  rbFoto = new QRadioButton(SidesRatioTntGroupBox);
  rbScreen = new QRadioButton(SidesRatioTntGroupBox);
  rbFree->setChecked(true);
  for (QRadioButton* b : {rbFree, rbFoto, rbScreen}) {
    ratios->addWidget(b);
    QObject::connect(b, &QRadioButton::toggled, this, [this](bool checked) {
      if (checked) OnRadioGroupClick();
    });
  }
  Column->addWidget(SidesRatioTntGroupBox);

  SizePanel = new QWidget(this);
  auto* grid = new QGridLayout(SizePanel);
  grid->setContentsMargins(0, 0, 0, 0);
  WidthLabel = new QLabel(SizePanel);
  HeightLabel = new QLabel(SizePanel);
  WidthEdit = new QSpinBox(SizePanel);
  HeightEdit = new QSpinBox(SizePanel);
  for (QSpinBox* edit : {WidthEdit, HeightEdit}) edit->setRange(1, 65535);
  grid->addWidget(WidthLabel, 0, 0);
  grid->addWidget(WidthEdit, 0, 1);
  grid->addWidget(HeightLabel, 1, 0);
  grid->addWidget(HeightEdit, 1, 1);
  Column->addWidget(SizePanel);
  QObject::connect(WidthEdit, &QSpinBox::valueChanged, this,
                   [this](int v) { Tool_.WidthEditChange(v); });
  QObject::connect(HeightEdit, &QSpinBox::valueChanged, this,
                   [this](int v) { Tool_.HeightEditChange(v); });

  panelScreen = new QWidget(this);
  cmbScreen = FormatList(panelScreen, ScreenFormats);
  Column->addWidget(panelScreen);
  panelFoto = new QWidget(this);
  cmbFoto = FormatList(panelFoto, PrintFormats);
  Column->addWidget(panelFoto);
  QObject::connect(cmbFoto, &QComboBox::currentIndexChanged, this, [this] { cmbFotoChange(); });
  QObject::connect(cmbScreen, &QComboBox::currentIndexChanged, this, [this] { cmbScreenChange(); });

  gbCurrentResolution = new QGroupBox(this);
  auto* resolution = new QVBoxLayout(gbCurrentResolution);
  lblCurrentResolution = new QLabel(gbCurrentResolution);
  resolution->addWidget(lblCurrentResolution);
  Column->addWidget(gbCurrentResolution);
  Column->addStretch(1);
  ShowPanels();
}

int32_t TWKCrop2PlusFrame::RatioKind() const {
  if (rbFoto->isChecked()) return rkPrint;
  if (rbScreen->isChecked()) return rkScreen;
  return rkFree;
}

void TWKCrop2PlusFrame::ShowPanels() {
  const int32_t kind = RatioKind();
  SizePanel->setVisible(kind == rkFree);
  panelFoto->setVisible(kind == rkPrint);
  panelScreen->setVisible(kind == rkScreen);
  gbCurrentResolution->setVisible(kind == rkScreen);
}

void TWKCrop2PlusFrame::OnRadioGroupClick() {
  const int32_t kind = RatioKind();
  const QComboBox* list = kind == rkPrint ? cmbFoto : cmbScreen;
  Tool_.SetRatio(kind, ToStdString(list->currentText()));
  ShowPanels();
}

void TWKCrop2PlusFrame::cmbFotoChange() {
  Tool_.SetRatio(rkPrint, ToStdString(cmbFoto->currentText()));
}

void TWKCrop2PlusFrame::cmbScreenChange() {
  Tool_.SetRatio(rkScreen, ToStdString(cmbScreen->currentText()));
}

void TWKCrop2PlusFrame::SetTexts(const TCropFrameTexts& texts) {
  TitleLabel->setText(ToQString(texts.Title));
  DescriptionLabel->setText(ToQString(texts.Description));
  SidesRatioTntGroupBox->setTitle(ToQString(texts.SidesRatio));
  rbFree->setText(ToQString(texts.Free));
  rbFoto->setText(ToQString(texts.Print));
  rbScreen->setText(ToQString(texts.Screen));
  WidthLabel->setText(ToQString(texts.Width));
  HeightLabel->setText(ToQString(texts.Height));
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize size = screen != nullptr ? screen->size() : QSize();
  lblCurrentResolution->setText(QStringLiteral("%1: %2x%3")
                                    .arg(ToQString(texts.Resolution))
                                    .arg(size.width())
                                    .arg(size.height()));
}

void TWKCrop2PlusFrame::SetSizeEdits(int32_t width, int32_t height) {
  const QSignalBlocker blockWidth(WidthEdit), blockHeight(HeightEdit);
  WidthEdit->setValue(width);
  HeightEdit->setValue(height);
}

IWKCropFrame* CreateCropFrame(TWKCrop2PlusTool& tool) {
  return CreateOptionFrame<TWKCrop2PlusFrame>(tool);
}
