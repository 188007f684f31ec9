#include "help/WKAboutLayout.h"

#include <algorithm>
#include <cmath>

#include "framework/WKLocalizer.h"
#include "help/WKLinks.h"

namespace {

// Tab captions by page: About, Credits, License.
constexpr int kTabNames[] = {47, 53, 167};

int32_t Scaled(int32_t value, int32_t width, int32_t pictureWidth) {
  return static_cast<int32_t>(std::round(double(value) * width / pictureWidth));
}

// A label's flags, tab and text: a link shows its host and keeps the address as its hint.
TWKAboutLabel LabelText(const TWKLabelDescriptor& d) {
  TWKAboutLabel label;
  label.Flags = d.Flags;
  label.Tab = d.Tab;
  std::string text = d.FixedText ? d.FixedText : LanguageString(d.TextId);
  if (d.Flags & LabelHyperlink) {
    label.Hint = text;
    text = LinkHostText(text);
  }
  if (d.Flags & LabelColon) text += ":";
  label.Text = text;
  return label;
}

}  // namespace

std::vector<TWKAboutLabel> LayoutAboutLabels(const TWKAboutLayoutTable& table, int32_t width,
                                             int32_t pictureWidth, const IWKLabelMetrics& metrics) {
  if (pictureWidth <= 0) pictureWidth = width > 0 ? width : 1;
  auto scale = [&](int32_t v) { return Scaled(v, width, pictureWidth); };
  const int32_t lineHeight = metrics.LineHeight();
  const int32_t leading = metrics.ExternalLeading();
  std::vector<TWKAboutLabel> labels;
  TRect running;
  for (int32_t i = 0; i < table.Count; ++i) {
    const TWKLabelDescriptor& d = table.Labels[i];
    TWKAboutLabel label = LabelText(d);

    running.Bottom += static_cast<int32_t>(std::nearbyint(lineHeight * double(d.Spacing)));
    const TSize natural = metrics.TextSize(label.Text, (d.Flags & LabelBold) != 0);
    label.AutoSize = d.Width == 0 && d.Height == 0;
    const int32_t w = d.Width != 0 ? scale(d.Width) : natural.Width;
    const int32_t h = d.Height != 0 ? scale(d.Height) : natural.Height;
    int32_t left = 0, top = 0;
    if (d.Flags & LabelSameLine) {
      left = running.Right + metrics.AverageCharWidth();
      top = running.Top;
    } else {
      left = d.Left != 0 ? scale(d.Left) : running.Left;
      top = d.Top != 0 ? scale(d.Top) : running.Bottom + 2 * leading;
    }
    label.Bounds = Bounds(left, top, w, h);
    running = (d.Flags & LabelSameLine) ? UnionRect(running, label.Bounds) : label.Bounds;
    labels.push_back(std::move(label));
  }
  return labels;
}

std::vector<int32_t> AboutTabPages(const TWKAboutLayoutTable& table) {
  std::vector<int32_t> pages;
  for (int32_t i = 0; i < table.Count; ++i) {
    const int32_t page = table.Labels[i].Tab;
    if (page > 0 && std::find(pages.begin(), pages.end(), page) == pages.end()) pages.push_back(page);
  }
  return pages;
}

std::string AboutTabName(int32_t page) {
  if (page < 0 || page >= static_cast<int32_t>(std::size(kTabNames))) return {};
  return LanguageString(kTabNames[page]);
}
