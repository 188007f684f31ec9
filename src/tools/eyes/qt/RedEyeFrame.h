// The red-eye tool's option frame: the selection preview with marching ants, the area-size
// and brightness sliders, the border buttons and the correction preview.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QWidget>

#include "tools/eyes/RedEyeTool.h"
#include "tools/framework/qt/WKOptionFrame.h"

class TWKRedEyeFrame;

// A preview panel: rounded border, 2-pixel padding; painting and clicks go to the frame.
class TRedEyePreviewPanel : public QWidget {
 public:
  TRedEyePreviewPanel(TWKRedEyeFrame& frame, bool selection, QWidget* parent);
  static constexpr int kPadding = 2, kBorder = 1, kHeight = 167;
  // The area inside padding and border, in panel coordinates.
  QRect InnerRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  TWKRedEyeFrame& Frame_;
  bool Selection_;
  bool Pressed_ = false;
};

class TWKRedEyeFrame : public TWKOptionFrame, public IWKRedEyeFrame {
 public:
  TWKRedEyeFrame(TWKComponent* owner, QWidget* parent, TWKRedEyeTool& tool);

  TRedEyePreviewPanel* SelectionPreview = nullptr;
  QLabel* AreaSizeLabel = nullptr;
  QSlider* AreaSizeTrackBar = nullptr;
  QWidget* RemoveBorderPanel = nullptr;
  QLabel* RemoveBorderLabel = nullptr;
  QPushButton* IncSizeButton = nullptr;
  QPushButton* DecSizeButton = nullptr;
  QLabel* BrightnessLabel = nullptr;
  QSlider* BrightnessTrackBar = nullptr;
  TRedEyePreviewPanel* CorrectionPreview = nullptr;
  QPushButton* RepairAllButton = nullptr;
  QTimer* SelectionTimer = nullptr;

  int AntsPhase() const { return AntsPhase_; }
  TWKRedEyeTool& Tool() const { return Tool_; }

  // The preview paint handlers draw into image, the size of the panel's inner area.
  void SelectionPreviewPaint(QImage& image);
  void CorrectionPreviewPaint(QImage& image);
  void SelectionTimerTimer();

  void SetAreaSizePosition(int32_t value) override;
  void SetBrightnessPosition(int32_t value) override;
  void SetTexts(const TRedEyeFrameTexts& texts) override;
  void InvalidatePreviews() override;
  TSize PreviewArea() const override;

 private:
  void PaintPlaceholder(QImage& image, const std::string& text);

  TWKRedEyeTool& Tool_;
  int AntsPhase_ = 0;
  QString PlaceholderSource_, PlaceholderProcessed_;
};

// The factory the composition hands the tool: the frame made in the program's tool panel.
IWKRedEyeFrame* CreateRedEyeFrame(TWKRedEyeTool& tool);
