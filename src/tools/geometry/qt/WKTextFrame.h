// The text tool's option frame: the font group (face, size, the four style buttons, the colour
// mode, the colour box and the maximum-contrast check box) over the text memo.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <array>

#include "tools/framework/qt/WKOptionFrame.h"
#include "tools/geometry/WKTextTool.h"

class TWKTextFrame : public TWKOptionFrame, public IWKTextFrame {
 public:
  TWKTextFrame(TWKComponent* owner, QWidget* parent, TWKTextTool& tool);

  QGroupBox* FontTntGroupBox = nullptr;
  QComboBox* FontNameComboBox = nullptr;
  QLabel* SizeTBXLabel = nullptr;
  QSpinBox* SizeSpinEdit = nullptr;
  // Bold, italic, underline, strikeout.
  std::array<QToolButton*, 4> StyleButtons{};
  QGroupBox* FontColorTntRadioGroup = nullptr;
  std::array<QRadioButton*, 2> ColorModeButtons{};
  QComboBox* ColorBox = nullptr;
  QCheckBox* MaxInverseTBXCheckBox = nullptr;
  QPlainTextEdit* TextTntMemo = nullptr;

  void SetFontNames(const std::vector<std::string>& names) override;
  std::string SelectedFontName() const override;
  void SelectFontName(const std::string& name) override;
  void ShowFontSize(int32_t value) override;
  void SetFontSizeStep(int32_t step) override;
  void ShowFontStyle(int32_t style) override;
  void ShowColorMode(int32_t mode) override;
  void ShowSelectedColor(uint32_t color) override;
  void ShowMaxInverse(bool value) override;
  std::vector<std::string> MemoLines() const override;
  void SetMemoLines(const std::vector<std::string>& lines) override;
  void LocalizeFrame() override;
  void Pause(int32_t milliseconds) override;

 protected:
  // A double click on the size label; leaving the size edit.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void MakeFontGroup();
  void MakeColorControls(QGridLayout* grid);
  int32_t CheckedStyle() const;

  TWKTextTool& Tool_;
};

IWKTextFrame* CreateTextFrame(TWKTextTool& tool);
