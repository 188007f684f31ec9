#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/WKJPEGOptions.h"
#include "framework/WKApplication.h"

namespace {

struct TShownMessage {
  std::string Text, Caption;
  int Flags;
};

class TRecordingMessageBox : public IWKMessageBoxService {
 public:
  explicit TRecordingMessageBox(std::vector<TShownMessage>& shown) : Shown_(shown) {}
  int MessageBox(const std::string& text, const std::string& caption, int flags) override {
    Shown_.push_back({text, caption, flags});
    return IDOK;
  }

 private:
  std::vector<TShownMessage>& Shown_;
};

// Controls that raise their change event whenever they are set, as the widgets do.
class TControls : public IWKJPEGOptionsControls {
 public:
  TWKJPEGOptions Rules{*this};
  std::string Edit;
  int32_t Preset = -1, Track = 0;
  int Changes = 0;

  std::string QualityEditText() const override { return Edit; }
  void SetQualityEditText(const std::string& text) override {
    Edit = text;
    Changed(TWKQualitySender::Edit);
  }
  int32_t QualityPresetIndex() const override { return Preset; }
  void SetQualityPresetIndex(int32_t index) override {
    Preset = index;
    Changed(TWKQualitySender::ComboBox);
  }
  int32_t QualityTrackPosition() const override { return Track; }
  void SetQualityTrackPosition(int32_t position) override {
    Track = position;
    Changed(TWKQualitySender::TrackBar);
  }
  // What the user does.
  void Type(const std::string& text) { SetQualityEditText(text); }
  void Choose(int32_t row) { SetQualityPresetIndex(row); }
  void Slide(int32_t position) { SetQualityTrackPosition(position); }

 private:
  void Changed(TWKQualitySender sender) {
    ++Changes;
    Rules.QualityChange(sender);
  }
};

class JPEGOptions : public ::testing::Test {
 protected:
  JPEGOptions() { App_.SetMessageBoxService(std::make_unique<TRecordingMessageBox>(Shown)); }
  TWKApplication App_;
  std::vector<TShownMessage> Shown;
  TControls Dialog;
};

}  // namespace

TEST(QualityText, ParsingAndPresets) {
  int32_t v = -1;
  EXPECT_TRUE(ParseQuality("  45 ", v));
  EXPECT_EQ(v, 45);
  EXPECT_TRUE(ParseQuality("0", v) && v == 0);
  EXPECT_TRUE(ParseQuality("100", v) && v == 100);
  EXPECT_TRUE(ParseQuality("007", v) && v == 7);
  for (const char* bad : {"", "   ", "101", "-1", "abc", "4 5", "45%", "4.5", "+", "99999999999999999999"}) {
    v = -1;
    EXPECT_FALSE(ParseQuality(bad, v)) << bad;
    EXPECT_EQ(v, -1) << bad;
  }
  EXPECT_EQ(PresetIndex(5), 0);
  EXPECT_EQ(PresetIndex(29), 0);
  EXPECT_EQ(PresetIndex(30), 1);
  EXPECT_EQ(PresetIndex(45), 1);
  EXPECT_EQ(PresetIndex(60), 2);
  EXPECT_EQ(PresetIndex(99), 3);
  EXPECT_EQ(PresetIndex(100), 4);
  EXPECT_EQ(LeadingQuality("101"), 100);
  EXPECT_EQ(LeadingQuality("abc"), 0);
  EXPECT_EQ(LeadingQuality(" 42abc"), 42);
  EXPECT_EQ(LeadingQuality("-7"), 0);
  EXPECT_EQ(LeadingQuality("123456789012345678901234567890"), 100);
}

TEST_F(JPEGOptions, EditPresetAndTrackBarFollowEachOther) {
  Dialog.Rules.SetQuality(80);
  EXPECT_EQ(Dialog.Edit, "80");
  EXPECT_EQ(Dialog.Preset, 3);
  EXPECT_EQ(Dialog.Rules.GetQuality(), 80);

  Dialog.Type("45");
  EXPECT_EQ(Dialog.Preset, 1) << "Medium";
  EXPECT_EQ(Dialog.Track, 45);
  EXPECT_EQ(Dialog.Edit, "45") << "the edit keeps what was typed";

  Dialog.Type("5");
  EXPECT_EQ(Dialog.Preset, 0);
  EXPECT_EQ(Dialog.Track, 5);

  Dialog.Choose(3);
  EXPECT_EQ(Dialog.Track, 80);
  EXPECT_EQ(Dialog.Edit, "80");
  EXPECT_EQ(Dialog.Preset, 3);

  Dialog.Slide(61);
  EXPECT_EQ(Dialog.Edit, "61");
  EXPECT_EQ(Dialog.Preset, 2);

  for (const char* bad : {"101", "abc", ""}) {
    Dialog.Type(bad);
    EXPECT_EQ(Dialog.Track, 61) << bad;
    EXPECT_EQ(Dialog.Preset, 2) << bad;
  }
  EXPECT_TRUE(Shown.empty());
}

TEST_F(JPEGOptions, OkWithAnInvalidValueWarnsCorrectsAndStaysOpen) {
  Dialog.Rules.SetQuality(30);
  Dialog.Type("101");
  EXPECT_FALSE(Dialog.Rules.OkButtonClick("JPEG Quality"));
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0].Text, "Please enter a quality between 0 and 100.");
  EXPECT_EQ(Shown[0].Caption, "JPEG Quality");
  EXPECT_EQ(Shown[0].Flags & MB_ICONMASK, MB_ICONERROR);
  EXPECT_EQ(Dialog.Track, 100);
  EXPECT_EQ(Dialog.Edit, "100");
  EXPECT_EQ(Dialog.Preset, 4);

  Dialog.Type("abc");
  EXPECT_FALSE(Dialog.Rules.OkButtonClick("JPEG Quality"));
  EXPECT_EQ(Shown.size(), 2u);
  EXPECT_EQ(Dialog.Rules.GetQuality(), 0);
  EXPECT_EQ(Dialog.Edit, "0");

  Dialog.Type(" 64 ");
  EXPECT_TRUE(Dialog.Rules.OkButtonClick("JPEG Quality"));
  EXPECT_EQ(Shown.size(), 2u);
  EXPECT_EQ(Dialog.Rules.GetQuality(), 64);
}

TEST(JPEGOptionsTexts, DefaultsWithoutALanguageFile) {
  TWKJPEGOptionsTexts texts = TWKJPEGOptions::LocalizedTexts();
  EXPECT_EQ(texts.Caption, "JPEG Quality");
  EXPECT_EQ(texts.QualityLabel, "Quality:");
  EXPECT_EQ(texts.Presets[1], "Medium");
  EXPECT_EQ(texts.Presets[4], "Maximum");
}
