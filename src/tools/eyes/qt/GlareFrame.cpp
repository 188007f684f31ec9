#include "tools/eyes/qt/GlareFrame.h"

TWKGlareFrame::TWKGlareFrame(TWKComponent* owner, QWidget* parent, TWKGlareTool& tool)
    : TWKOptionFrame(owner, parent, TWKGlareTool::kFrameWidth) {
  using namespace GleamNames;
  Name = "GlareFrame";
  BrightnessTrackBar = AddNamedTrackBar(BrightnessControl, 0, TGleamParams::MaxBrightness);
  SizeTrackBar = AddNamedTrackBar(AreaSizeControl, 0, TGleamParams::MaxSize);
  SizeTrackBar->SetVisible(false);
  Column->addStretch(1);
}

IWKToolFrame* CreateGlareFrame(TWKGlareTool& tool) { return CreateOptionFrame<TWKGlareFrame>(tool); }
