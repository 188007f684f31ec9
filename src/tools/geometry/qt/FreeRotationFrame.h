// The free-rotation tool's option frame: auto crop, and the Finishing and Cancel actions.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

#include "tools/framework/qt/WKOptionFrame.h"
#include "tools/geometry/FreeRotationTool.h"

class TWKRotation3Frame : public TWKOptionFrame, public IWKRotationFrame {
 public:
  TWKRotation3Frame(TWKComponent* owner, QWidget* parent, TWKRotation3Tool& tool);

  QCheckBox* AutoCropTBXCheckBox = nullptr;
  QGroupBox* ActionsTntGroupBox = nullptr;
  QPushButton* FinishingTBXButton = nullptr;
  QPushButton* CancelTBXButton = nullptr;

  void SetTexts(const TRotationFrameTexts& texts) override;
  void SetAutoCropChecked(bool value) override;
  void SetActionsEnabled(bool value) override;

 private:
  TWKRotation3Tool& Tool_;
};

// The factory the composition hands the tool: the frame made in the program's tool panel.
IWKRotationFrame* CreateRotationFrame(TWKRotation3Tool& tool);
