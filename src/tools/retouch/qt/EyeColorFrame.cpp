#include "tools/retouch/qt/EyeColorFrame.h"

#include <QHBoxLayout>

#include "framework/WKProgramCursors.h"
#include "framework/qt/WKCursors.h"

namespace {

QHBoxLayout* Row(QWidget* panel) {
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(0, 0, 0, 0);
  return row;
}

}  // namespace

TWKMakeUpSurfaceFrame::TWKMakeUpSurfaceFrame(TWKComponent* owner, QWidget* parent, TWKMakeUpSurfaceTool& tool)
    : TWKBrushFrame(owner, parent, TWKMakeUpSurfaceTool::kFrameWidth) {
  using namespace EyeColorNames;
  Name = tool.ScriptName + "Frame";
  AddSizeTrackBar();
  AddOpacityTrackBar();
  AddHardnessTrackBar();

  TBXAlignmentPanel = new QWidget(this);
  QHBoxLayout* top = Row(TBXAlignmentPanel);
  ColorSelectorTntSpeedButton = AddNamedToggleButton(ColorSelectorControl, TBXAlignmentPanel, 41, 41);
  ColorSelectorTntSpeedButton->Box->setIcon(QIcon(ProgramCursor(crEyedropper).pixmap()));
  ColorTntPaintBox = AddNamedPaintBox(ColorControl, TBXAlignmentPanel, 80, 41);
  NameControl(EllipseControl, ColorTntPaintBox);
  TintTBXCheckBox = AddNamedCheckBox(TintControl, TBXAlignmentPanel);
  top->addWidget(ColorSelectorTntSpeedButton->Box);
  top->addWidget(ColorTntPaintBox);
  top->addWidget(TintTBXCheckBox->Box);
  top->addStretch(1);
  Column->addWidget(TBXAlignmentPanel);

  BrightnessTrackBar = AddNamedTrackBar(BrightnessControl, 0, 255);

  TBXAlignmentPanel1 = new QWidget(this);
  QHBoxLayout* planes = Row(TBXAlignmentPanel1);
  planes->setSpacing(2);
  PlaneGroup_ = new QButtonGroup(this);
  PlaneGroup_->setExclusive(true);
  for (int i = 0; i < 3; ++i) {
    PlaneButtons[i] = AddNamedToggleButton(PlaneControls[i], TBXAlignmentPanel1, 85, 33);
    PlaneGroup_->addButton(PlaneButtons[i]->Box, i + 1);
    planes->addWidget(PlaneButtons[i]->Box);
  }
  planes->addStretch(1);
  Column->addWidget(TBXAlignmentPanel1);

  PaletteTntPaintBox = AddNamedPaintBox(PaletteControl, this, TMakeUpPalette::kSize, TMakeUpPalette::kSize);
  PaletteTntPaintBox->setCursor(ProgramCursor(crEyedropper));
  Column->addWidget(PaletteTntPaintBox);
  Column->addStretch(1);
}

void TWKMakeUpSurfaceFrame::SetBrightnessEnabled(bool value) {
  BrightnessTrackBar->Label->setEnabled(value);
  BrightnessTrackBar->Slider->setEnabled(value);
}

TWKEyeColorFrame::TWKEyeColorFrame(TWKComponent* owner, QWidget* parent, TWKMakeUpSurfaceTool& tool)
    : TWKMakeUpSurfaceFrame(owner, parent, tool) {
  // The eye colour tool always tints: the box stays checked and out of sight.
  TintTBXCheckBox->Box->setVisible(false);
}

IWKMakeUpSurfaceFrame* CreateEyeColorFrame(TWKMakeUpSurfaceTool& tool) {
  return CreateOptionFrame<TWKEyeColorFrame>(tool);
}
