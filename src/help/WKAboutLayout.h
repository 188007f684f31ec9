// The about box's texts, laid out from a table of label descriptors over its background
// picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/WKTypes.h"

enum : uint32_t {
  LabelBold = 1,
  LabelSameLine = 2,  // continues on the previous label's line
  LabelHyperlink = 4,
  LabelWordWrap = 8,
  LabelRightAligned = 16,
  LabelColon = 32,  // ":" appended
  LabelWhite = 64,
};

struct TWKLabelDescriptor {
  int32_t TextId = 0;                // a language string
  const char* FixedText = nullptr;   // used instead when set
  uint32_t Flags = 0;
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;  // background-picture pixels; 0 = automatic
  float Spacing = 0;  // extra space above the label, in lines
  int32_t Tab = 0;    // the tab page showing the label; -1 = every page
};

struct TWKAboutLayoutTable {
  const TWKLabelDescriptor* Labels = nullptr;
  int32_t Count = 0;
  std::string ResourceName;  // the background picture
};

// What the platform measures of the about box's font.
class IWKLabelMetrics {
 public:
  virtual ~IWKLabelMetrics() = default;
  virtual TSize TextSize(const std::string& text, bool bold) const = 0;
  // Text height plus external leading.
  virtual int32_t LineHeight() const = 0;
  virtual int32_t ExternalLeading() const = 0;
  virtual int32_t AverageCharWidth() const = 0;
};

struct TWKAboutLabel {
  std::string Text;  // as shown: a hyperlink's host only, ":" appended with LabelColon
  std::string Hint;  // a hyperlink's whole address
  uint32_t Flags = 0;
  int32_t Tab = 0;
  TRect Bounds;
  bool AutoSize = true;
};

// The labels in table order, placed for a background control width wide over a picture
// pictureWidth wide (every explicit position and size scales by their ratio; a picture
// without width counts as the control's).
std::vector<TWKAboutLabel> LayoutAboutLabels(const TWKAboutLayoutTable& table, int32_t width,
                                             int32_t pictureWidth, const IWKLabelMetrics& metrics);
// The tab pages the labels add after the first, in the order they first appear.
std::vector<int32_t> AboutTabPages(const TWKAboutLayoutTable& table);
// The caption of a tab page; empty for a page without a name.
std::string AboutTabName(int32_t page);
