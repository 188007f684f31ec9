#include "tools/eyes/qt/SpotFrame.h"

TWKSpotFrame::TWKSpotFrame(TWKComponent* owner, QWidget* parent, TWKSpotTool& tool)
    : TWKBrushFrame(owner, parent, TWKSpotTool::kFrameWidth) {
  using namespace SpotNames;
  Name = tool.ScriptName + "Frame";
  AddBrushPreview();
  AddSizeTrackBar();
  ThicknessTrackBar = AddNamedTrackBar(ThicknessControl, TWKSpotTool::kMinThickness, TWKSpotTool::kMaxThickness);
  RotationTrackBar = AddNamedTrackBar(RotationControl, TWKSpotTool::kMinRotation, TWKSpotTool::kMaxRotation);
  ShapeTrackBar = AddNamedTrackBar(ShapeControl, TWKSpotTool::kMinShape, TWKSpotTool::kMaxShape);
  Column->addStretch(1);
}

IWKToolFrame* CreateSpotFrame(TWKSpotTool& tool) { return CreateOptionFrame<TWKSpotFrame>(tool); }
