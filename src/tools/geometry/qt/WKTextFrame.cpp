#include "tools/geometry/qt/WKTextFrame.h"

#include <QButtonGroup>
#include <QEvent>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

#include "framework/qt/QtText.h"

namespace {

QColor ToQColor(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// A swatch with the colour's name.
void AddColor(QComboBox* box, uint32_t value, const QString& name) {
  QPixmap swatch(12, 12);
  swatch.fill(ToQColor(value));
  box->addItem(QIcon(swatch), name, QVariant::fromValue(value));
}

}  // namespace

TWKTextFrame::TWKTextFrame(TWKComponent* owner, QWidget* parent, TWKTextTool& tool)
    : TWKOptionFrame(owner, parent, TWKTextTool::kPanelWidth), Tool_(tool) {
  Name = "TextFrame";
  MakeFontGroup();
  TextTntMemo = new QPlainTextEdit(this);
  TextTntMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  Column->addWidget(TextTntMemo, 1);
  NameControl(TextNames::MemoControl, TextTntMemo);
  QObject::connect(TextTntMemo, &QPlainTextEdit::textChanged, this, [this] { Tool_.TextMemoChange(); });
}

void TWKTextFrame::MakeFontGroup() {
  FontTntGroupBox = new QGroupBox(this);
  auto* grid = new QGridLayout(FontTntGroupBox);
  FontNameComboBox = new QComboBox(FontTntGroupBox);
  FontNameComboBox->setMaxVisibleItems(16);
  grid->addWidget(FontNameComboBox, 0, 0, 1, 4);
  QObject::connect(FontNameComboBox, &QComboBox::currentIndexChanged, this, [this] { Tool_.TextMemoChange(); });
  SizeTBXLabel = new QLabel(FontTntGroupBox);
  SizeSpinEdit = new QSpinBox(FontTntGroupBox);
  SizeSpinEdit->setRange(TWKTextTool::kMinFontSize, TWKTextTool::kMaxFontSize);
  SizeSpinEdit->setValue(72);
  if (auto* edit = SizeSpinEdit->findChild<QLineEdit*>()) edit->setReadOnly(true);  // arrows only
  NameControl(TextNames::FontSizeControl, SizeSpinEdit);
  QObject::connect(SizeSpinEdit, &QSpinBox::valueChanged, this, [this](int v) { Tool_.SizeSpinEditChange(v); });
  SizeSpinEdit->installEventFilter(this);
  SizeTBXLabel->installEventFilter(this);
  grid->addWidget(SizeTBXLabel, 1, 0);
  grid->addWidget(SizeSpinEdit, 1, 1);
  auto* styles = new QHBoxLayout;
  for (QToolButton*& button : StyleButtons) {
    button = new QToolButton(FontTntGroupBox);
    button->setCheckable(true);
    styles->addWidget(button);
    QObject::connect(button, &QToolButton::clicked, this, [this] { Tool_.FontStyleButtonsClick(CheckedStyle()); });
  }
  NameControl(TextNames::FontStyleControl, StyleButtons[0]);
  grid->addLayout(styles, 1, 2, 1, 2);
  MakeColorControls(grid);
  Column->addWidget(FontTntGroupBox);
}

void TWKTextFrame::MakeColorControls(QGridLayout* grid) {
  FontColorTntRadioGroup = new QGroupBox(FontTntGroupBox);
  auto* radios = new QVBoxLayout(FontColorTntRadioGroup);
  auto* group = new QButtonGroup(FontColorTntRadioGroup);
  for (int i = 0; i < 2; ++i) {
    ColorModeButtons[static_cast<size_t>(i)] = new QRadioButton(FontColorTntRadioGroup);
    radios->addWidget(ColorModeButtons[static_cast<size_t>(i)]);
    group->addButton(ColorModeButtons[static_cast<size_t>(i)], i);
  }
  ColorModeButtons[0]->setChecked(true);
  QObject::connect(group, &QButtonGroup::idClicked, this, [this](int id) { Tool_.FontColorClick(id); });
  NameControl(TextNames::FontColorControl, FontColorTntRadioGroup);
  grid->addWidget(FontColorTntRadioGroup, 2, 0, 2, 2);
  ColorBox = new QComboBox(FontTntGroupBox);
  ColorBox->setMaxVisibleItems(20);
  for (const TextNames::TNamedColor& c : TextNames::Colors) AddColor(ColorBox, c.Value, ToQString(LanguageString(c.Name)));
  ColorBox->setCurrentIndex(ColorBox->findData(QVariant::fromValue(uint32_t{0xFFFFFF})));
  NameControl(TextNames::ColorControl, ColorBox);
  QObject::connect(ColorBox, &QComboBox::activated, this, [this](int index) {
    Tool_.SetSelectedColor(ColorBox->itemData(index).toUInt());
  });
  grid->addWidget(ColorBox, 2, 2, 1, 2);
  MaxInverseTBXCheckBox = new QCheckBox(FontTntGroupBox);
  NameControl(TextNames::MaxInverseControl, MaxInverseTBXCheckBox);
  QObject::connect(MaxInverseTBXCheckBox, &QCheckBox::clicked, this, [this](bool v) { Tool_.MaxInverseClick(v); });
  grid->addWidget(MaxInverseTBXCheckBox, 3, 2, 1, 2);
}

int32_t TWKTextFrame::CheckedStyle() const {
  int32_t style = 0;
  for (size_t i = 0; i < StyleButtons.size(); ++i)
    if (StyleButtons[i]->isChecked()) style |= 1 << i;
  return style;
}

void TWKTextFrame::SetFontNames(const std::vector<std::string>& names) {
  const QSignalBlocker block(FontNameComboBox);
  FontNameComboBox->clear();
  for (const std::string& name : names) {
    const QString family = ToQString(name);
    FontNameComboBox->addItem(family);
    // Each name in its own face.
    FontNameComboBox->setItemData(FontNameComboBox->count() - 1, QFont(family), Qt::FontRole);
  }
  FontNameComboBox->setCurrentIndex(-1);
}

std::string TWKTextFrame::SelectedFontName() const {
  return FontNameComboBox->currentIndex() < 0 ? std::string() : ToStdString(FontNameComboBox->currentText());
}

void TWKTextFrame::SelectFontName(const std::string& name) {
  FontNameComboBox->setCurrentIndex(name.empty() ? -1 : FontNameComboBox->findText(ToQString(name)));
}

void TWKTextFrame::ShowFontSize(int32_t value) {
  const QSignalBlocker block(SizeSpinEdit);
  SizeSpinEdit->setValue(value);
}

void TWKTextFrame::SetFontSizeStep(int32_t step) { SizeSpinEdit->setSingleStep(step); }

void TWKTextFrame::ShowFontStyle(int32_t style) {
  for (size_t i = 0; i < StyleButtons.size(); ++i) StyleButtons[i]->setChecked((style & (1 << i)) != 0);
}

void TWKTextFrame::ShowColorMode(int32_t mode) {
  if (mode >= 0 && mode < 2) ColorModeButtons[static_cast<size_t>(mode)]->setChecked(true);
}

void TWKTextFrame::ShowSelectedColor(uint32_t color) {
  int index = ColorBox->findData(QVariant::fromValue(color));
  if (index < 0) {
    // A colour from the settings or a script that the list lacks goes by its #RRGGBB.
    AddColor(ColorBox, color, ToQColor(color).name(QColor::HexRgb).toUpper());
    index = ColorBox->count() - 1;
  }
  ColorBox->setCurrentIndex(index);
}

void TWKTextFrame::ShowMaxInverse(bool value) { MaxInverseTBXCheckBox->setChecked(value); }

std::vector<std::string> TWKTextFrame::MemoLines() const {
  std::vector<std::string> lines;
  for (const QString& line : TextTntMemo->toPlainText().split(QLatin1Char('\n'))) lines.push_back(ToStdString(line));
  return lines;
}

void TWKTextFrame::SetMemoLines(const std::vector<std::string>& lines) {
  QStringList text;
  for (const std::string& line : lines) text << ToQString(line);
  TextTntMemo->setPlainText(text.join(QLatin1Char('\n')));
}

void TWKTextFrame::LocalizeFrame() {
  using namespace TextNames;
  FontTntGroupBox->setTitle(ToQString(LanguageString(FontGroup)));
  SizeTBXLabel->setText(ToQString(LanguageString(Size) + ":"));
  for (size_t i = 0; i < StyleButtons.size(); ++i) {
    StyleButtons[i]->setText(ToQString(LanguageString(StyleCaptions[i])));
    StyleButtons[i]->setToolTip(ToQString(LanguageString(StyleHints[i])));
  }
  FontColorTntRadioGroup->setTitle(ToQString(LanguageString(ColorGroup)));
  ColorModeButtons[0]->setText(ToQString(LanguageString(Selected)));
  ColorModeButtons[1]->setText(ToQString(LanguageString(Inverted)));
  MaxInverseTBXCheckBox->setText(ToQString(LanguageString(MaxInverse)));
  for (int i = 0; i < static_cast<int>(std::size(Colors)); ++i)
    ColorBox->setItemText(i, ToQString(LanguageString(Colors[static_cast<size_t>(i)].Name)));
}

bool TWKTextFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == SizeTBXLabel && event->type() == QEvent::MouseButtonDblClick) {
    Tool_.SizeLabelDoubleClick();
    return true;
  }
  // Leaving the size edit: its text before the spin box would put back the last value.
  if (watched == SizeSpinEdit && event->type() == QEvent::FocusOut)
    Tool_.SizeSpinEditExit(ToStdString(SizeSpinEdit->cleanText()));
  return TWKOptionFrame::eventFilter(watched, event);
}

void TWKTextFrame::Pause(int32_t milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

IWKTextFrame* CreateTextFrame(TWKTextTool& tool) { return CreateOptionFrame<TWKTextFrame>(tool); }
