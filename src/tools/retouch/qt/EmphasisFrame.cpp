#include "tools/retouch/qt/EmphasisFrame.h"

TWKAntiAgingFrame::TWKAntiAgingFrame(TWKComponent* owner, QWidget* parent, TWKAntiAgingTool& tool)
    : TWKBrushFrame(owner, parent, TWKAntiAgingTool::kFrameWidth) {
  using namespace EmphasisNames;
  Name = tool.ScriptName + "Frame";
  AddBrushPreview();
  ExpertModeTBXCheckBox = AddNamedCheckBox(ExpertModeControl, PreviewAlignmentPanel);
  PreviewRow->insertWidget(2, ExpertModeTBXCheckBox->Box);
  AddSizeTrackBar();
  NaturalnessTrackBar = AddNamedTrackBar(NaturalnessControl, TWKAntiAgingTool::kMinNaturalness,
                                         TWKAntiAgingTool::kMaxNaturalness);
  SmoothingTrackBar = AddNamedTrackBar(SmoothingControl, TWKAntiAgingTool::kMinSmoothing,
                                       TWKAntiAgingTool::kMaxSmoothing);
  AddOpacityTrackBar();
  AddHardnessTrackBar();
  Column->addStretch(1);
}

IWKToolFrame* CreateEmphasisFrame(TWKAntiAgingTool& tool) { return CreateOptionFrame<TWKEmphasisFrame>(tool); }
