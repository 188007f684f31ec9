#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "documents/qt/WKJPEGOptionsForm.h"
#include "framework/WKApplication.h"

namespace {

class TCountingMessageBox : public IWKMessageBoxService {
 public:
  explicit TCountingMessageBox(std::vector<std::string>& texts) : Texts_(texts) {}
  int MessageBox(const std::string& text, const std::string& caption, int flags) override {
    Texts_.push_back(caption + "|" + text);
    return IDOK;
  }

 private:
  std::vector<std::string>& Texts_;
};

}  // namespace

TEST(JPEGOptionsForm, TypingChoosingAndOk) {
  TWKApplication app;
  std::vector<std::string> shown;
  app.SetMessageBoxService(std::make_unique<TCountingMessageBox>(shown));
  TWKJPEGOptionsForm form(nullptr);
  form.SetQuality(80);
  EXPECT_EQ(form.QualityEdit->text(), "80");
  EXPECT_EQ(form.QualityComboBox->currentText(), "Very High");
  EXPECT_EQ(form.windowTitle(), "JPEG Quality");
  EXPECT_EQ(form.QualityTrackBar->tickInterval(), 5);
  EXPECT_TRUE(form.OkButton->isDefault());

  form.QualityEdit->clear();
  QTest::keyClicks(form.QualityEdit, "45");
  EXPECT_EQ(form.QualityComboBox->currentText(), "Medium");
  EXPECT_EQ(form.QualityTrackBar->value(), 45);
  EXPECT_EQ(form.QualityEdit->text(), "45");

  form.QualityComboBox->setCurrentIndex(4);
  EXPECT_EQ(form.QualityEdit->text(), "100");
  EXPECT_EQ(form.GetQuality(), 100);

  form.show();
  form.QualityEdit->setText("abc");
  QTest::mouseClick(form.OkButton, Qt::LeftButton);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "JPEG Quality|Please enter a quality between 0 and 100.");
  EXPECT_TRUE(form.isVisible()) << "the dialog stays open";
  EXPECT_EQ(form.GetQuality(), 0);
  EXPECT_EQ(form.QualityComboBox->currentIndex(), 0);

  form.QualityEdit->setText("72");
  QTest::mouseClick(form.OkButton, Qt::LeftButton);
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(form.GetQuality(), 72);
}
