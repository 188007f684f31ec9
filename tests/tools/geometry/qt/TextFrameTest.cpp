// The text tool's frame in the real tool panel, beside an editor on the main form: the colour
// box names its colours in the user's language, an emptied size edit becomes 8 when left, and a
// double click on the size label makes the main window 800 × 600.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include "documents/WKGraphicsEditor.h"
#include "documents/qt/QtFileDialogs.h"
#include "documents/qt/QtGraphicsEditorWindow.h"
#include "support/QtTestApplication.h"
#include "support/ShippedLanguages.h"
#include "tools/framework/qt/OptionFrameFixture.h"
#include "tools/geometry/qt/WKTextFrame.h"

namespace {

QStringList Items(const QComboBox& box) {
  QStringList items;
  for (int i = 0; i < box.count(); ++i) items << box.itemText(i);
  return items;
}

class TextFrameTest : public OptionFrameTest {
 protected:
  void SetUp() override {
    OptionFrameTest::SetUp();
    window = std::make_unique<TQtGraphicsEditorWindow>(*form);
    editor = std::make_unique<TWKGraphicsEditor>(app.get(), *window, *window, dialogs);
    tool = CreateTool<TWKTextTool>(app.get(), CreateTextFrame);
    frame = dynamic_cast<TWKTextFrame*>(tool->Frame());
  }
  void TearDown() override {
    editor.reset();
    window.reset();
    OptionFrameTest::TearDown();
  }

  TQtFileDialogs dialogs;
  std::unique_ptr<TQtGraphicsEditorWindow> window;
  std::unique_ptr<TWKGraphicsEditor> editor;
  TWKTextTool* tool = nullptr;
  TWKTextFrame* frame = nullptr;
};

}  // namespace

TEST_F(TextFrameTest, TheColourBoxNamesItsColoursInTheUsersLanguage) {
  ASSERT_NE(frame, nullptr);
  const struct {
    uint16_t language;
    QStringList names;
  } languages[] = {
      {1033,
       {"Black", "Maroon", "Green", "Olive", "Navy", "Purple", "Teal", "Gray", "Silver", "Red", "Lime", "Yellow",
        "Blue", "Fuchsia", "Aqua", "White", "Money Green", "Sky Blue", "Cream", "Medium Gray"}},
      {1031,
       {"Schwarz", "Kastanienbraun", "Grün", "Oliv", "Marineblau", "Purpur", "Petrol", "Grau", "Silber", "Rot",
        "Hellgrün", "Gelb", "Blau", "Fuchsia", "Cyan", "Weiß", "Mintgrün", "Himmelblau", "Creme", "Mittelgrau"}}};
  for (const auto& l : languages) {
    const TShippedLanguages shipped(l.language);
    tool->Localize();
    EXPECT_EQ(Items(*frame->ColorBox), l.names) << l.language;
    // The tool's colour is the named entry; the user's pick reaches the tool.
    tool->SetSelectedColor(0x0000FF);
    EXPECT_EQ(frame->ColorBox->currentText(), l.names[9]);
    frame->ColorBox->activated(15);
    EXPECT_EQ(tool->SelectedColor(), 0xFFFFFFu);
  }
  // A colour the list lacks is added under its #RRGGBB, behind the named ones.
  tool->SetSelectedColor(0x123456);
  EXPECT_EQ(frame->ColorBox->count(), 21);
  EXPECT_EQ(frame->ColorBox->currentText(), "#563412");
}

TEST_F(TextFrameTest, AnEmptiedSizeEditBecomesEightWhenLeft) {
  ASSERT_NE(frame, nullptr);
  tool->SetFontSize(150);
  EXPECT_EQ(frame->SizeSpinEdit->value(), 150);
  auto* edit = frame->SizeSpinEdit->findChild<QLineEdit*>();
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->isReadOnly());
  edit->setText("");
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(frame->SizeSpinEdit, &out);
  EXPECT_EQ(tool->FontSize(), 8);
  EXPECT_EQ(frame->SizeSpinEdit->value(), 8);
  EXPECT_EQ(frame->SizeSpinEdit->cleanText(), "8");
  EXPECT_EQ(frame->SizeSpinEdit->singleStep(), 1);
  // Leaving it with a number changes nothing.
  frame->SizeSpinEdit->setValue(72);
  QApplication::sendEvent(frame->SizeSpinEdit, &out);
  EXPECT_EQ(tool->FontSize(), 72);
}

TEST_F(TextFrameTest, ADoubleClickOnTheSizeLabelMakesTheMainWindow800By600) {
  ASSERT_NE(frame, nullptr);
  form->setGeometry(40, 50, 1000, 700);
  const QPoint at = frame->SizeTBXLabel->rect().center();
  QMouseEvent click(QEvent::MouseButtonDblClick, at, frame->SizeTBXLabel->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(frame->SizeTBXLabel, &click);
  EXPECT_EQ(window->WindowRect().Width(), 800);
  EXPECT_EQ(window->WindowRect().Height(), 600);
  EXPECT_EQ(form->frameGeometry().size(), QSize(800, 600));
}
