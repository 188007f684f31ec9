// The option frame of the pupil and cat-pupil tools: the pupil preview and the size, thickness,
// rotation and shape track bars (each tool hides those it does not use).
#pragma once

#include "tools/brush/qt/WKBrushFrame.h"
#include "tools/eyes/SpotTool.h"

class TWKSpotFrame : public TWKBrushFrame {
 public:
  TWKSpotFrame(TWKComponent* owner, QWidget* parent, TWKSpotTool& tool);

  TQtTrackBar* ThicknessTrackBar = nullptr;
  TQtTrackBar* RotationTrackBar = nullptr;
  TQtTrackBar* ShapeTrackBar = nullptr;
};

// The factory the composition hands either pupil tool.
IWKToolFrame* CreateSpotFrame(TWKSpotTool& tool);
