// The JPEG quality dialog's rules: presets, parsing of the typed value and keeping the edit, the
// preset list and the track bar in line. The Qt form (documents/qt) supplies the controls.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct TWKQualityPreset {
  int TextId;
  const char* DefaultText;
  int32_t Quality;
};

inline constexpr std::array<TWKQualityPreset, 5> QualityPresets{{
    {208, "Low", 10},
    {209, "Medium", 30},
    {210, "High", 60},
    {211, "Very High", 80},
    {212, "Maximum", 100},
}};

inline constexpr int32_t kDefaultJpegQuality = 80;

// True with the value when the text, blanks around it removed, is a whole number 0..100 and
// nothing else.
bool ParseQuality(const std::string& text, int32_t& value);
// The preset row for a quality: the highest row from 4 down to 1 whose quality is at most q,
// else row 0.
int32_t PresetIndex(int32_t quality);
// The number the text begins with (after leading blanks, with an optional sign), clamped to
// 0..100; 0 when it begins with none.
int32_t LeadingQuality(const std::string& text);

// What the dialog's three value controls offer. Setting a control may raise its change event;
// the rules guard against that re-entry themselves.
class IWKJPEGOptionsControls {
 public:
  virtual ~IWKJPEGOptionsControls() = default;
  virtual std::string QualityEditText() const = 0;
  virtual void SetQualityEditText(const std::string& text) = 0;
  virtual int32_t QualityPresetIndex() const = 0;
  virtual void SetQualityPresetIndex(int32_t index) = 0;
  virtual int32_t QualityTrackPosition() const = 0;
  virtual void SetQualityTrackPosition(int32_t position) = 0;
};

enum class TWKQualitySender { Edit, ComboBox, TrackBar };

struct TWKJPEGOptionsTexts {
  std::string Caption, QualityLabel, SmallFile, LargeFile, Ok, Cancel;
  std::array<std::string, QualityPresets.size()> Presets;
};

class TWKJPEGOptions {
 public:
  explicit TWKJPEGOptions(IWKJPEGOptionsControls& controls) : Controls_(controls) {}

  // The published change handler of the edit, the preset list and the track bar.
  void QualityChange(TWKQualitySender sender);
  void SetQuality(int32_t value);
  int32_t GetQuality() const { return Controls_.QualityTrackPosition(); }
  // True when the dialog may close with OK. Otherwise message 216 has been shown (error icon,
  // the caption as title) and the value corrected from what was typed.
  bool OkButtonClick(const std::string& caption);

  // The texts of Localize, from the language strings.
  static TWKJPEGOptionsTexts LocalizedTexts();

 private:
  IWKJPEGOptionsControls& Controls_;
  bool Changing_ = false;
};

// How the format registry asks for a quality: true with the chosen value on OK, false on
// Cancel. The value comes in as the one to show.
class IWKJPEGQualityDialog {
 public:
  virtual ~IWKJPEGQualityDialog() = default;
  virtual bool Execute(int32_t& quality) = 0;
};
