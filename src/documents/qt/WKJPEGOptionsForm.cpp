#include "documents/qt/WKJPEGOptionsForm.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QVBoxLayout>

#include "framework/qt/QtText.h"

TWKJPEGOptionsForm::TWKJPEGOptionsForm(TWKComponent* owner, QWidget* parent)
    : TWKFormOf<QDialog>(owner, parent) {
  setObjectName("JPEGOptionsForm");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);

  QualityGroupBox = new QGroupBox(this);
  QualityLabel = new QLabel(QualityGroupBox);
  QualityEdit = new QLineEdit(QualityGroupBox);
  QualityEdit->setObjectName("QualityEdit");
  QualityEdit->setMaximumWidth(60);
  QualityComboBox = new QComboBox(QualityGroupBox);
  QualityComboBox->setObjectName("QualityComboBox");
  for (size_t i = 0; i < QualityPresets.size(); ++i) QualityComboBox->addItem(QString());
  QualityTrackBar = new QSlider(Qt::Horizontal, QualityGroupBox);
  QualityTrackBar->setObjectName("QualityTrackBar");
  QualityTrackBar->setRange(0, 100);
  QualityTrackBar->setTickInterval(5);
  QualityTrackBar->setTickPosition(QSlider::TicksBelow);
  QualityTrackBar->setMinimumWidth(260);
  SmallFileLabel = new QLabel(QualityGroupBox);
  LargeFileLabel = new QLabel(QualityGroupBox);
  LargeFileLabel->setAlignment(Qt::AlignRight);

  auto* grid = new QGridLayout(QualityGroupBox);
  auto* top = new QHBoxLayout;
  top->addWidget(QualityLabel);
  top->addWidget(QualityEdit);
  top->addWidget(QualityComboBox, 1);
  grid->addLayout(top, 0, 0, 1, 2);
  grid->addWidget(QualityTrackBar, 1, 0, 1, 2);
  grid->addWidget(SmallFileLabel, 2, 0);
  grid->addWidget(LargeFileLabel, 2, 1);

  OkButton = new QPushButton(this);
  OkButton->setObjectName("OkButton");
  OkButton->setDefault(true);
  CancelButton = new QPushButton(this);
  CancelButton->setObjectName("CancelButton");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(QualityGroupBox);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(QualityEdit, &QLineEdit::textChanged, this, [this] { QualityChange(TWKQualitySender::Edit); });
  connect(QualityComboBox, &QComboBox::currentIndexChanged, this,
          [this] { QualityChange(TWKQualitySender::ComboBox); });
  connect(QualityTrackBar, &QSlider::valueChanged, this, [this] { QualityChange(TWKQualitySender::TrackBar); });
  connect(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  InitializeUnlessOwnedByApplication(*this);
}

void TWKJPEGOptionsForm::Localize() {
  const TWKJPEGOptionsTexts texts = TWKJPEGOptions::LocalizedTexts();
  setWindowTitle(ToQString(texts.Caption));
  QualityLabel->setText(ToQString(texts.QualityLabel));
  SmallFileLabel->setText(ToQString(texts.SmallFile));
  LargeFileLabel->setText(ToQString(texts.LargeFile));
  OkButton->setText(ToQString(texts.Ok));
  CancelButton->setText(ToQString(texts.Cancel));
  for (size_t i = 0; i < texts.Presets.size(); ++i)
    QualityComboBox->setItemText(static_cast<int>(i), ToQString(texts.Presets[i]));
  QualityChange(TWKQualitySender::TrackBar);
}

void TWKJPEGOptionsForm::OkButtonClick() {
  if (Rules_.OkButtonClick(ToStdString(windowTitle()))) accept();
}

void TWKJPEGOptionsForm::showEvent(QShowEvent* event) {
  TWKFormOf<QDialog>::showEvent(event);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }
}

std::string TWKJPEGOptionsForm::QualityEditText() const { return ToStdString(QualityEdit->text()); }
void TWKJPEGOptionsForm::SetQualityEditText(const std::string& text) { QualityEdit->setText(ToQString(text)); }
int32_t TWKJPEGOptionsForm::QualityPresetIndex() const { return QualityComboBox->currentIndex(); }
void TWKJPEGOptionsForm::SetQualityPresetIndex(int32_t index) { QualityComboBox->setCurrentIndex(index); }
int32_t TWKJPEGOptionsForm::QualityTrackPosition() const { return QualityTrackBar->value(); }
void TWKJPEGOptionsForm::SetQualityTrackPosition(int32_t position) { QualityTrackBar->setValue(position); }

bool TQtJPEGQualityDialog::Execute(int32_t& quality) {
  TWKJPEGOptionsForm form(nullptr, QApplication::activeWindow());
  form.SetQuality(quality);
  if (form.exec() != QDialog::Accepted) return false;
  quality = form.GetQuality();
  return true;
}
