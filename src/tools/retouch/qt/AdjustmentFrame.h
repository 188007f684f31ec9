// The colour adjustment tool's option frame: the four adjustment types, the channel sliders with
// "All" and the reset button, Start / Ok / Cancel and the explanation.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <array>

#include "tools/framework/qt/WKOptionFrame.h"
#include "tools/retouch/AdjustmentTool.h"

class TWKAdjustmentFrame : public TWKOptionFrame, public IWKAdjustmentFrame {
 public:
  TWKAdjustmentFrame(TWKComponent* owner, QWidget* parent, TWKAdjustmentTool& tool);

  QGroupBox* AdjustmentTypeTntGroupBox = nullptr;
  // Brightness, contrast, gamma, saturation (tags 0..3).
  std::array<QToolButton*, 4> TypeButtons{};
  QButtonGroup* TypeGroup = nullptr;
  QGroupBox* SettingsTntGroupBox = nullptr;
  QCheckBox* AllTntCheckBox = nullptr;
  QPushButton* ResetTBXButton = nullptr;
  // Red, green, blue.
  std::array<QLabel*, 3> ChannelLabels{};
  std::array<QSlider*, 3> ChannelTrackBars{};
  QGroupBox* ActionsTntGroupBox = nullptr;
  QPushButton* StartTBXButton = nullptr;
  QPushButton* FinishingTBXButton = nullptr;
  QPushButton* CancelTBXButton = nullptr;
  QCheckBox* ExplanationTntCheckBox = nullptr;
  QPlainTextEdit* ExplanationTntMemo = nullptr;

  void SetTexts(const TAdjustmentFrameTexts& texts) override;
  void ShowState(const TAdjustmentFrameState& state) override;
  void SetChannelPosition(int channel, int32_t value) override;
  void SetAllChecked(bool value) override;
  void SetExplanationChecked(bool value) override;
  void PressTypeButton(int32_t type) override;
  void SetExplanation(const std::vector<std::string>& lines) override;

 private:
  void CreateTypeGroup();
  void CreateSettingsGroup();
  void CreateActionsGroup();
  void NameControls();

  TWKAdjustmentTool& Tool_;
};

IWKAdjustmentFrame* CreateAdjustmentFrame(TWKAdjustmentTool& tool);
