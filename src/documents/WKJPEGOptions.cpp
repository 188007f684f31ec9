#include "documents/WKJPEGOptions.h"

#include <algorithm>
#include <cctype>

#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

bool ParseQuality(const std::string& text, int32_t& value) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  size_t i = begin;
  if (i < end && (text[i] == '+' || text[i] == '-')) ++i;
  if (i == end) return false;
  int64_t number = 0;
  for (; i < end; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    number = number * 10 + (text[i] - '0');
    if (number > 1000) return false;  // far beyond 100; stops overflow on long digit runs
  }
  if (text[begin] == '-') number = -number;
  if (number < 0 || number > 100) return false;
  value = static_cast<int32_t>(number);
  return true;
}

int32_t PresetIndex(int32_t quality) {
  for (int32_t row = static_cast<int32_t>(QualityPresets.size()) - 1; row >= 1; --row)
    if (QualityPresets[static_cast<size_t>(row)].Quality <= quality) return row;
  return 0;
}

int32_t LeadingQuality(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t number = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
    number = std::min<int64_t>(number * 10 + (text[i] - '0'), 1000);
  if (negative) number = -number;
  return static_cast<int32_t>(std::clamp<int64_t>(number, 0, 100));
}

void TWKJPEGOptions::QualityChange(TWKQualitySender sender) {
  if (Changing_) return;
  Changing_ = true;
  switch (sender) {
    case TWKQualitySender::Edit: {
      int32_t value = 0;
      if (ParseQuality(Controls_.QualityEditText(), value)) {
        Controls_.SetQualityPresetIndex(PresetIndex(value));
        Controls_.SetQualityTrackPosition(value);
      }
      break;
    }
    case TWKQualitySender::TrackBar: {
      const int32_t position = Controls_.QualityTrackPosition();
      Controls_.SetQualityEditText(std::to_string(position));
      Controls_.SetQualityPresetIndex(PresetIndex(position));
      break;
    }
    case TWKQualitySender::ComboBox: {
      const int32_t row = Controls_.QualityPresetIndex();
      if (row >= 0 && row < static_cast<int32_t>(QualityPresets.size())) {
        const int32_t value = QualityPresets[static_cast<size_t>(row)].Quality;
        Controls_.SetQualityTrackPosition(value);
        Controls_.SetQualityEditText(std::to_string(value));
      }
      break;
    }
  }
  Changing_ = false;
}

void TWKJPEGOptions::SetQuality(int32_t value) {
  Controls_.SetQualityTrackPosition(std::clamp(value, 0, 100));
  QualityChange(TWKQualitySender::TrackBar);
}

bool TWKJPEGOptions::OkButtonClick(const std::string& caption) {
  const std::string text = Controls_.QualityEditText();
  int32_t value = 0;
  if (ParseQuality(text, value)) return true;
  if (TWKApplication* app = Application())
    app->MessageBox(LanguageString(216, "Please enter a quality between 0 and 100."), caption,
                    MB_OK | MB_ICONERROR);
  SetQuality(LeadingQuality(text));
  return false;
}

TWKJPEGOptionsTexts TWKJPEGOptions::LocalizedTexts() {
  TWKJPEGOptionsTexts texts;
  texts.Caption = LanguageString(205, "JPEG Quality");
  texts.QualityLabel = LanguageString(207, "Quality") + ":";
  texts.SmallFile = LanguageString(213, "Smaller file");
  texts.LargeFile = LanguageString(214, "Larger file");
  texts.Ok = LanguageString(1, "OK");
  texts.Cancel = LanguageString(2, "Cancel");
  for (size_t i = 0; i < QualityPresets.size(); ++i)
    texts.Presets[i] = LanguageString(QualityPresets[i].TextId, QualityPresets[i].DefaultText);
  return texts;
}
