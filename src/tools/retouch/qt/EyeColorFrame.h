// The eye colour tool's option frame: the size bar (opacity and hardness bars hidden), the
// colour-selector button, the swatch and the hidden tint box in a row, the brightness bar, the
// three plane buttons and the palette box.
#pragma once

#include <QButtonGroup>

#include "tools/brush/qt/WKBrushFrame.h"
#include "tools/retouch/EyeColorTool.h"

class TWKMakeUpSurfaceFrame : public TWKBrushFrame, public IWKMakeUpSurfaceFrame {
 public:
  TWKMakeUpSurfaceFrame(TWKComponent* owner, QWidget* parent, TWKMakeUpSurfaceTool& tool);

  QWidget* TBXAlignmentPanel = nullptr;
  TQtCheckBox* ColorSelectorTntSpeedButton = nullptr;
  TQtPaintBox* ColorTntPaintBox = nullptr;
  TQtCheckBox* TintTBXCheckBox = nullptr;
  TQtTrackBar* BrightnessTrackBar = nullptr;
  QWidget* TBXAlignmentPanel1 = nullptr;
  TQtCheckBox* PlaneButtons[3] = {};
  TQtPaintBox* PaletteTntPaintBox = nullptr;

  void SetBrightnessEnabled(bool value) override;

 private:
  QButtonGroup* PlaneGroup_ = nullptr;
};

class TWKEyeColorFrame : public TWKMakeUpSurfaceFrame {
 public:
  TWKEyeColorFrame(TWKComponent* owner, QWidget* parent, TWKMakeUpSurfaceTool& tool);
};

// The factory the composition hands the eye colour tool.
IWKMakeUpSurfaceFrame* CreateEyeColorFrame(TWKMakeUpSurfaceTool& tool);
