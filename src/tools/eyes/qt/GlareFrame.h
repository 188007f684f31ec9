// The gleam tool's option frame: the brightness track bar, and the size track bar, kept hidden.
#pragma once

#include "tools/eyes/GlareTool.h"
#include "tools/framework/qt/WKOptionFrame.h"

class TWKGlareFrame : public TWKOptionFrame {
 public:
  TWKGlareFrame(TWKComponent* owner, QWidget* parent, TWKGlareTool& tool);

  TQtTrackBar* BrightnessTrackBar = nullptr;
  TQtTrackBar* SizeTrackBar = nullptr;
};

IWKToolFrame* CreateGlareFrame(TWKGlareTool& tool);
