// The resize tool's option frame: the new width and height with their up-downs, the check box
// that keeps the proportions, Ok and Cancel.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <functional>

#include "tools/framework/qt/WKOptionFrame.h"
#include "tools/geometry/ResizeTool.h"

// Two arrow buttons that step a value within 1..32767 and report the new position.
class TResizeUpDown : public QWidget {
 public:
  TResizeUpDown(QWidget* parent, std::function<int32_t()> position, std::function<void(int16_t)> changing);
  static constexpr int32_t kMinimum = 1, kMaximum = 32767;
  QToolButton* Up = nullptr;
  QToolButton* Down = nullptr;

 private:
  void Step(int32_t delta);
  std::function<int32_t()> Position_;
  std::function<void(int16_t)> Changing_;
};

class TWKResizeFrame : public TWKOptionFrame, public IWKResizeFrame {
 public:
  TWKResizeFrame(TWKComponent* owner, QWidget* parent, TWKResizeTool& tool);

  QWidget* SizePanel = nullptr;
  QLabel* NewSizeLabel = nullptr;
  QLabel* WidthLabel = nullptr;
  QLineEdit* WidthEdit = nullptr;
  TResizeUpDown* WidthUpDown = nullptr;
  QLabel* HeightLabel = nullptr;
  QLineEdit* HeightEdit = nullptr;
  TResizeUpDown* HeightUpDown = nullptr;
  QCheckBox* ConstrainProportionsCheckBox = nullptr;
  QWidget* OkPanel = nullptr;
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

  void SetTexts(const TResizeFrameTexts& texts) override;
  void ShowWidth(int32_t value) override;
  void ShowHeight(int32_t value) override;
  void SetConstrainChecked(bool value) override;
  void SetActionsEnabled(bool value) override;

 private:
  TWKResizeTool& Tool_;
};

IWKResizeFrame* CreateResizeFrame(TWKResizeTool& tool);
