#include "tools/brush/qt/WKExpertBrushFrame.h"

TWKExpertBrushFrame::TWKExpertBrushFrame(TWKComponent* owner, QWidget* parent, const std::string& scriptName,
                                         bool smoothing)
    : TWKBrushFrame(owner, parent, TWKSmudgeTool::kFrameWidth) {
  Name = scriptName + "Frame";
  AddBrushPreview();
  ExpertModeCheckBox = AddNamedCheckBox(ExpertBrushNames::ExpertModeControl, this);
  Column->addWidget(ExpertModeCheckBox->Box);
  AddSizeTrackBar();
  AddOpacityTrackBar();
  AddHardnessTrackBar();
  if (smoothing) AddSmoothingTrackBar();
  Column->addStretch(1);
}

namespace {

template <class TTool>
IWKToolFrame* MakeFrame(TTool& tool, bool smoothing) {
  TWKToolPanelModule* panel = ToolPanel();
  return panel != nullptr ? panel->CreateToolFrame<TWKExpertBrushFrame>(tool.ScriptName, smoothing) : nullptr;
}

}  // namespace

IWKToolFrame* CreateSmudgeFrame(TWKExpertBrushTool<TWKCustomBlurBrushTool>& tool) { return MakeFrame(tool, true); }

IWKToolFrame* CreateUndoBrushFrame(TWKExpertBrushTool<TWKBrushTool>& tool) { return MakeFrame(tool, false); }
