#include "tools/retouch/qt/AdjustmentFrame.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "framework/qt/QtText.h"

namespace {

template <class Widget>
void SetShown(Widget* widget, bool value) {
  if (widget->isVisibleTo(widget->parentWidget()) != value) widget->setVisible(value);
}

}  // namespace

TWKAdjustmentFrame::TWKAdjustmentFrame(TWKComponent* owner, QWidget* parent, TWKAdjustmentTool& tool)
    : TWKOptionFrame(owner, parent, TWKAdjustmentTool::kFrameWidth), Tool_(tool) {
  Name = "AdjustmentFrame";
  CreateTypeGroup();
  CreateSettingsGroup();
  CreateActionsGroup();
  ExplanationTntCheckBox = new QCheckBox(this);
  Column->addWidget(ExplanationTntCheckBox);
  QObject::connect(ExplanationTntCheckBox, &QCheckBox::clicked, this,
                   [this](bool v) { Tool_.ExplanationTntCheckBoxClick(v); });
  ExplanationTntMemo = new QPlainTextEdit(this);
  ExplanationTntMemo->setReadOnly(true);
  ExplanationTntMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ExplanationTntMemo->setFocusPolicy(Qt::NoFocus);
  Column->addWidget(ExplanationTntMemo, 1);
  NameControls();
}

void TWKAdjustmentFrame::CreateTypeGroup() {
  AdjustmentTypeTntGroupBox = new QGroupBox(this);
  auto* types = new QGridLayout(AdjustmentTypeTntGroupBox);
  TypeGroup = new QButtonGroup(this);
  TypeGroup->setExclusive(true);
  for (int type = 0; type < 4; ++type) {
    auto* button = new QToolButton(AdjustmentTypeTntGroupBox);
    button->setCheckable(true);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    TypeButtons[static_cast<size_t>(type)] = button;
    TypeGroup->addButton(button, type);
    types->addWidget(button, type / 2, type % 2);
    QObject::connect(button, &QToolButton::clicked, this, [this, type] { Tool_.TypeButtonClick(type); });
  }
  Column->addWidget(AdjustmentTypeTntGroupBox);
}

void TWKAdjustmentFrame::CreateSettingsGroup() {
  SettingsTntGroupBox = new QGroupBox(this);
  auto* settings = new QVBoxLayout(SettingsTntGroupBox);
  auto* allRow = new QHBoxLayout;
  AllTntCheckBox = new QCheckBox(SettingsTntGroupBox);
  ResetTBXButton = new QPushButton(QStringLiteral("0"), SettingsTntGroupBox);
  ResetTBXButton->setFixedWidth(28);
  allRow->addWidget(AllTntCheckBox, 1);
  allRow->addWidget(ResetTBXButton);
  settings->addLayout(allRow);
  QObject::connect(AllTntCheckBox, &QCheckBox::clicked, this, [this](bool v) { Tool_.AllTntCheckBoxClick(v); });
  QObject::connect(ResetTBXButton, &QPushButton::clicked, this, [this] { Tool_.ResetTBXButtonClick(); });
  const std::array<std::function<void(int)>, 3> handlers = {
      [this](int v) { Tool_.RedTrackBarChange(v); }, [this](int v) { Tool_.GreenTrackBarChange(v); },
      [this](int v) { Tool_.BlueTrackBarChange(v); }};
  for (size_t c = 0; c < 3; ++c) {
    QSlider* slider = AddTrackBar(ChannelLabels[c], TWKAdjustmentTool::MinValue, TWKAdjustmentTool::MaxValue,
                                  handlers[c], nullptr, settings);
    slider->setTickInterval(5);
    slider->setPageStep(1);
    ChannelTrackBars[c] = slider;
  }
  Column->addWidget(SettingsTntGroupBox);
}

void TWKAdjustmentFrame::CreateActionsGroup() {
  ActionsTntGroupBox = new QGroupBox(this);
  auto* actions = new QHBoxLayout(ActionsTntGroupBox);
  StartTBXButton = new QPushButton(ActionsTntGroupBox);
  FinishingTBXButton = new QPushButton(ActionsTntGroupBox);
  CancelTBXButton = new QPushButton(ActionsTntGroupBox);
  for (QPushButton* b : {StartTBXButton, FinishingTBXButton, CancelTBXButton}) actions->addWidget(b);
  QObject::connect(StartTBXButton, &QPushButton::clicked, this, [this] { Tool_.StartTBXButtonClick(); });
  QObject::connect(FinishingTBXButton, &QPushButton::clicked, this, [this] { Tool_.FinishingTBXButtonClick(); });
  QObject::connect(CancelTBXButton, &QPushButton::clicked, this, [this] { Tool_.CancelTBXButtonClick(); });
  Column->addWidget(ActionsTntGroupBox);
}

void TWKAdjustmentFrame::NameControls() {
  using namespace AdjustmentNames;
  for (size_t c = 0; c < 3; ++c) NameControl(ChannelControls[c], ChannelTrackBars[c]);
  for (size_t t = 0; t < 4; ++t) NameControl(TypeControls[t], TypeButtons[t]);
  NameControl(AllControl, AllTntCheckBox);
  NameControl(ExplanationControl, ExplanationTntCheckBox);
  NameControl(ResetControl, ResetTBXButton);
  NameControl(StartControl, StartTBXButton);
  NameControl(FinishingControl, FinishingTBXButton);
  NameControl(CancelControl, CancelTBXButton);
}

void TWKAdjustmentFrame::SetTexts(const TAdjustmentFrameTexts& texts) {
  TitleLabel->setText(ToQString(texts.Title));
  for (size_t t = 0; t < 4; ++t) {
    TypeButtons[t]->setText(ToQString(texts.TypeHints[t]));
    TypeButtons[t]->setToolTip(ToQString(texts.TypeHints[t]));
  }
  SettingsTntGroupBox->setTitle(ToQString(texts.Settings));
  AllTntCheckBox->setText(ToQString(texts.All));
  ActionsTntGroupBox->setTitle(ToQString(texts.Actions));
  StartTBXButton->setText(ToQString(texts.Start));
  FinishingTBXButton->setText(ToQString(texts.Finishing));
  CancelTBXButton->setText(ToQString(texts.Cancel));
  ExplanationTntCheckBox->setText(ToQString(texts.Explanation));
}

void TWKAdjustmentFrame::ShowState(const TAdjustmentFrameState& state) {
  const QString caption = ToQString(state.TypeCaption);
  if (AdjustmentTypeTntGroupBox->title() != caption) AdjustmentTypeTntGroupBox->setTitle(caption);
  for (size_t c = 0; c < 3; ++c) ChannelLabels[c]->setText(ToQString(state.ChannelLabels[c]));
  for (size_t c = 1; c < 3; ++c) {
    SetShown(ChannelLabels[c], state.GreenBlueVisible);
    SetShown(ChannelTrackBars[c], state.GreenBlueVisible);
  }
  StartTBXButton->setEnabled(state.StartEnabled);
  FinishingTBXButton->setEnabled(state.FinishingEnabled);
  CancelTBXButton->setEnabled(state.CancelEnabled);
  SetShown(ExplanationTntMemo, state.ExplanationVisible);
  for (size_t t = 0; t < 4; ++t) TypeButtons[t]->setEnabled(state.TypeEnabled[t]);
}

void TWKAdjustmentFrame::SetChannelPosition(int channel, int32_t value) {
  if (channel >= 0 && channel < 3) SetTrackBarPosition(ChannelTrackBars[static_cast<size_t>(channel)], value);
}

void TWKAdjustmentFrame::SetAllChecked(bool value) {
  const QSignalBlocker block(AllTntCheckBox);
  AllTntCheckBox->setChecked(value);
}

void TWKAdjustmentFrame::SetExplanationChecked(bool value) {
  const QSignalBlocker block(ExplanationTntCheckBox);
  ExplanationTntCheckBox->setChecked(value);
}

void TWKAdjustmentFrame::PressTypeButton(int32_t type) {
  if (type >= 0 && type < 4) TypeButtons[static_cast<size_t>(type)]->setChecked(true);
}

void TWKAdjustmentFrame::SetExplanation(const std::vector<std::string>& lines) {
  QStringList text;
  for (const std::string& line : lines) text << ToQString(line);
  ExplanationTntMemo->setPlainText(text.join('\n'));
  // Painted at once, as the long work that may follow blocks the loop.
  if (lines.empty()) ExplanationTntMemo->repaint();
  ExplanationTntMemo->moveCursor(QTextCursor::Start);
  ExplanationTntMemo->ensureCursorVisible();
}

IWKAdjustmentFrame* CreateAdjustmentFrame(TWKAdjustmentTool& tool) {
  return CreateOptionFrame<TWKAdjustmentFrame>(tool);
}
