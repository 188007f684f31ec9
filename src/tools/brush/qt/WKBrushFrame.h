// The base of the painting tools' option frames: the brush preview and the size, opacity,
// hardness and smoothing track bars, each made by one call and found by the tool under its
// name (BrushNames). A concrete frame adds what it shows, in its order.
#pragma once

#include <QHBoxLayout>
#include <QWidget>

#include "tools/framework/qt/WKOptionFrame.h"

class TWKBrushFrame : public TWKOptionFrame {
 public:
  TWKBrushFrame(TWKComponent* owner, QWidget* parent, int minimumWidth);

  static constexpr int kPreviewSide = 105;

  // PreviewAlignmentPanel, a row holding PreviewPaintBox (side × side, centred); widgets a
  // frame adds beside the preview go into PreviewRow.
  QWidget* PreviewAlignmentPanel = nullptr;
  QHBoxLayout* PreviewRow = nullptr;
  TQtPaintBox* PreviewPaintBox = nullptr;
  TQtTrackBar* SizeTrackBar = nullptr;
  TQtTrackBar* OpacityTrackBar = nullptr;
  TQtTrackBar* HardnessTrackBar = nullptr;
  TQtTrackBar* SmoothingTrackBar = nullptr;

  // Each appends its control to the column; the tool sets the ranges when it binds them.
  TQtPaintBox* AddBrushPreview(int side = kPreviewSide);
  TQtTrackBar* AddSizeTrackBar();
  TQtTrackBar* AddOpacityTrackBar();
  TQtTrackBar* AddHardnessTrackBar();
  TQtTrackBar* AddSmoothingTrackBar();
};
