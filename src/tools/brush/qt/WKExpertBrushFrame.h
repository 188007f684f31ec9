// The option frame of the smudge and undo brushes: the brush preview with the expert-mode check
// box, and the size, opacity and hardness track bars (the smudge frame also the smoothing bar,
// which its tool keeps hidden).
#pragma once

#include "tools/brush/WKSmudgeTool.h"
#include "tools/brush/WKUndoBrushTool.h"
#include "tools/brush/qt/WKBrushFrame.h"

class TWKExpertBrushFrame : public TWKBrushFrame {
 public:
  TWKExpertBrushFrame(TWKComponent* owner, QWidget* parent, const std::string& scriptName, bool smoothing);

  TQtCheckBox* ExpertModeCheckBox = nullptr;
};

// The factories the composition hands the two tools.
IWKToolFrame* CreateSmudgeFrame(TWKExpertBrushTool<TWKCustomBlurBrushTool>& tool);
IWKToolFrame* CreateUndoBrushFrame(TWKExpertBrushTool<TWKBrushTool>& tool);
