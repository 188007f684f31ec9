// The crop tool's option frame: the description, the side-ratio choice (free with width and
// height edits, a print format or a screen format) and the screen's resolution.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QWidget>

#include "tools/framework/qt/WKOptionFrame.h"
#include "tools/geometry/CropTool.h"

class TWKCrop2PlusFrame : public TWKOptionFrame, public IWKCropFrame {
 public:
  TWKCrop2PlusFrame(TWKComponent* owner, QWidget* parent, TWKCrop2PlusTool& tool);

  QLabel* DescriptionLabel = nullptr;
  QGroupBox* SidesRatioTntGroupBox = nullptr;
  QRadioButton* rbFree = nullptr;
  QRadioButton* rbFoto = nullptr;
  QRadioButton* rbScreen = nullptr;
  QWidget* SizePanel = nullptr;
  QLabel* WidthLabel = nullptr;
  QSpinBox* WidthEdit = nullptr;
  QLabel* HeightLabel = nullptr;
  QSpinBox* HeightEdit = nullptr;
  QWidget* panelScreen = nullptr;
  QComboBox* cmbScreen = nullptr;
  QWidget* panelFoto = nullptr;
  QComboBox* cmbFoto = nullptr;
  QGroupBox* gbCurrentResolution = nullptr;
  QLabel* lblCurrentResolution = nullptr;

  // The ratio kind of the checked radio button.
  int32_t RatioKind() const;
  void OnRadioGroupClick();
  void cmbFotoChange();
  void cmbScreenChange();

  void SetTexts(const TCropFrameTexts& texts) override;
  void SetSizeEdits(int32_t width, int32_t height) override;

 private:
  // The panels of the checked kind are shown.
  void ShowPanels();

  TWKCrop2PlusTool& Tool_;
};

// The factory the composition hands the tool: the frame made in the program's tool panel.
IWKCropFrame* CreateCropFrame(TWKCrop2PlusTool& tool);
