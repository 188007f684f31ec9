// The emphasis tool's option frame: the brush preview with the expert-mode check box beside it,
// then the size, naturalness, smoothing, opacity and hardness bars (the last two shown only in
// expert mode).
#pragma once

#include "tools/brush/qt/WKBrushFrame.h"
#include "tools/retouch/EmphasisTool.h"

class TWKAntiAgingFrame : public TWKBrushFrame {
 public:
  TWKAntiAgingFrame(TWKComponent* owner, QWidget* parent, TWKAntiAgingTool& tool);

  TQtCheckBox* ExpertModeTBXCheckBox = nullptr;
  TQtTrackBar* NaturalnessTrackBar = nullptr;
  TQtTrackBar* SmoothingTrackBar = nullptr;
};

// The emphasis variant; its captions come from the tool.
class TWKEmphasisFrame : public TWKAntiAgingFrame {
 public:
  using TWKAntiAgingFrame::TWKAntiAgingFrame;
};

// The factory the composition hands the emphasis tool.
IWKToolFrame* CreateEmphasisFrame(TWKAntiAgingTool& tool);
