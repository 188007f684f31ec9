#include "help/WKPreviewLayout.h"

#include <algorithm>

TSize FitThumbnail(int32_t pictureWidth, int32_t pictureHeight, int32_t boxWidth,
                   int32_t boxHeight) {
  if (boxWidth <= 0 || boxHeight <= 0) return {};
  const int64_t w = std::max(pictureWidth, 1), h = std::max(pictureHeight, 1);
  // boxHeight / h > boxWidth / w, compared exactly in integers.
  if (int64_t{boxHeight} * w > int64_t{boxWidth} * h) {
    const int64_t height = h * boxWidth / w;
    return {boxWidth, static_cast<int32_t>(std::max<int64_t>(height, 1))};
  }
  const int64_t width = w * boxHeight / h;
  return {static_cast<int32_t>(std::max<int64_t>(width, 1)), boxHeight};
}

TRect CenterRect(const TSize& size, const TRect& rect) {
  const int32_t left = (rect.Left + rect.Right) / 2 - size.Width / 2;
  const int32_t top = (rect.Top + rect.Bottom) / 2 - size.Height / 2;
  return Bounds(left, top, size.Width, size.Height);
}

int32_t PreviewBoxHeight(int32_t panelHeight, int32_t fontPixelHeight) {
  const int32_t text = static_cast<int32_t>(std::lround(7.0 * fontPixelHeight * 1.25));
  return std::max(panelHeight - text, 0);
}

std::vector<TWKFilterEntry> ParseFilter(const std::string& filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= filter.size() && !filter.empty()) {
    size_t end = filter.find('|', start);
    if (end == std::string::npos) end = filter.size();
    parts.push_back(filter.substr(start, end - start));
    start = end + 1;
  }
  std::vector<TWKFilterEntry> entries;
  for (size_t i = 0; i < parts.size(); i += 2) {
    const std::string masks = i + 1 < parts.size() && !parts[i + 1].empty() ? parts[i + 1] : "*";
    entries.push_back({parts[i], masks});
  }
  return entries;
}
