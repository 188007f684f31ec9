// The rotate/flip tool's option frame: the four direct buttons, or behind "Show More Options" a
// thumbnail previewing the checked operation with its radio buttons and a perform button.
#pragma once

#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <array>

#include "tools/framework/qt/WKOptionFrame.h"
#include "tools/geometry/RotateTool.h"

class TWKRotateFrame;

// The paint box of the thumbnail.
class TRotateThumbnailView : public QWidget {
 public:
  TRotateThumbnailView(TWKRotateFrame& frame, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TWKRotateFrame& Frame_;
};

class TWKRotateFrame : public TWKOptionFrame, public IWKRotateFrame {
 public:
  static constexpr int kPreviewWidth = 176, kPreviewHeight = 150;

  TWKRotateFrame(TWKComponent* owner, QWidget* parent, TWKRotateTool& tool);

  QWidget* PreviewControl = nullptr;
  TRotateThumbnailView* ThumbnailView = nullptr;
  // Radio and direct buttons by operation code - 1 (left, right, horizontal, vertical).
  std::array<QRadioButton*, 4> RadioButtons{};
  std::array<QPushButton*, 4> DirectButtons{};
  QPushButton* RotateButton = nullptr;
  QPushButton* ShowOptions = nullptr;

  // White box with a black outline, the preview centred in it at its own size.
  void ThumbnailViewPaint(QPainter& painter);

  void SetTexts(const TRotateFrameTexts& texts) override;
  void ShowOptionsPanel(bool shown) override;
  bool OptionsPanelShown() const override { return PreviewControl->isVisibleTo(this); }
  uint8_t SelectedOperation() const override;
  void CheckOperation(uint8_t op) override;
  TSize ThumbnailViewSize() const override { return {ThumbnailView->width(), ThumbnailView->height()}; }
  void RepaintThumbnail() override { ThumbnailView->update(); }

 private:
  TWKRotateTool& Tool_;
};

IWKRotateFrame* CreateRotateFrame(TWKRotateTool& tool);
