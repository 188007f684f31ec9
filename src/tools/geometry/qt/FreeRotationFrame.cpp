#include "tools/geometry/qt/FreeRotationFrame.h"

#include <QSignalBlocker>
#include <QVBoxLayout>

#include "framework/qt/QtText.h"

TWKRotation3Frame::TWKRotation3Frame(TWKComponent* owner, QWidget* parent, TWKRotation3Tool& tool)
    : TWKOptionFrame(owner, parent, TWKRotation3Tool::kPanelWidth - 16), Tool_(tool) {
  using namespace FreeRotationNames;
  Name = "Rotation3Frame";
  AutoCropTBXCheckBox = new QCheckBox(this);
  AutoCropTBXCheckBox->setChecked(true);
  Column->addWidget(AutoCropTBXCheckBox);
  ActionsTntGroupBox = new QGroupBox(this);
  auto* actions = new QVBoxLayout(ActionsTntGroupBox);
  FinishingTBXButton = new QPushButton(ActionsTntGroupBox);
  CancelTBXButton = new QPushButton(ActionsTntGroupBox);
  actions->addWidget(FinishingTBXButton);
  actions->addWidget(CancelTBXButton);
  Column->addWidget(ActionsTntGroupBox);
  Column->addStretch(1);

  QObject::connect(AutoCropTBXCheckBox, &QCheckBox::toggled, this,
                   [this](bool checked) { Tool_.AutoCropTBXCheckBoxChange(checked); });
  QObject::connect(FinishingTBXButton, &QPushButton::clicked, this,
                   [this] { Tool_.FinishingTBXButtonClick(); });
  QObject::connect(CancelTBXButton, &QPushButton::clicked, this,
                   [this] { Tool_.CancelTBXButtonClick(); });
  NameControl(AutoCropControl, AutoCropTBXCheckBox);
  NameControl(FinishingControl, FinishingTBXButton);
  NameControl(CancelControl, CancelTBXButton);
}

void TWKRotation3Frame::SetTexts(const TRotationFrameTexts& texts) {
  TitleLabel->setText(ToQString(texts.Title));
  AutoCropTBXCheckBox->setText(ToQString(texts.AutoCrop));
  ActionsTntGroupBox->setTitle(ToQString(texts.Actions));
  FinishingTBXButton->setText(ToQString(texts.Finishing));
  CancelTBXButton->setText(ToQString(texts.Cancel));
}

void TWKRotation3Frame::SetAutoCropChecked(bool value) {
  const QSignalBlocker block(AutoCropTBXCheckBox);
  AutoCropTBXCheckBox->setChecked(value);
}

void TWKRotation3Frame::SetActionsEnabled(bool value) {
  // Within a frame whose controls are disabled the buttons stay disabled.
  const bool enabled = value && ControlsEnabled();
  FinishingTBXButton->setEnabled(enabled);
  CancelTBXButton->setEnabled(enabled);
}

IWKRotationFrame* CreateRotationFrame(TWKRotation3Tool& tool) {
  return CreateOptionFrame<TWKRotation3Frame>(tool);
}
