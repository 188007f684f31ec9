#include "tools/brush/qt/WKBrushFrame.h"

#include "tools/brush/BrushNames.h"

TWKBrushFrame::TWKBrushFrame(TWKComponent* owner, QWidget* parent, int minimumWidth)
    : TWKOptionFrame(owner, parent, minimumWidth) {}

TQtPaintBox* TWKBrushFrame::AddBrushPreview(int side) {
  PreviewAlignmentPanel = new QWidget(this);
  PreviewRow = new QHBoxLayout(PreviewAlignmentPanel);
  PreviewRow->setContentsMargins(0, 0, 0, 0);
  PreviewPaintBox = AddNamedPaintBox(BrushNames::PreviewControl, PreviewAlignmentPanel, side, side);
  PreviewRow->addStretch(1);
  PreviewRow->addWidget(PreviewPaintBox);
  PreviewRow->addStretch(1);
  Column->addWidget(PreviewAlignmentPanel);
  return PreviewPaintBox;
}

TQtTrackBar* TWKBrushFrame::AddSizeTrackBar() {
  return SizeTrackBar = AddNamedTrackBar(BrushNames::SizeControl, 1, 50);
}

TQtTrackBar* TWKBrushFrame::AddOpacityTrackBar() {
  return OpacityTrackBar = AddNamedTrackBar(BrushNames::OpacityControl, 0, 255);
}

TQtTrackBar* TWKBrushFrame::AddHardnessTrackBar() {
  return HardnessTrackBar = AddNamedTrackBar(BrushNames::HardnessControl, 0, 255);
}

TQtTrackBar* TWKBrushFrame::AddSmoothingTrackBar() {
  return SmoothingTrackBar = AddNamedTrackBar(BrushNames::SmoothingControl, 1, 50);
}
