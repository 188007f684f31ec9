// The text tool's lettering drawn with the system's fonts (fontconfig through Qt).
#pragma once

#include "tools/geometry/WKTextRasterizer.h"

class TQtTextRasterizer : public IWKTextRasterizer {
 public:
  // Largest mask made, in pixels; bigger text is not drawn.
  static constexpr int64_t kMaxPixels = int64_t{1} << 27;

  std::vector<std::string> FontNames() override;
  bool Render(const TWKTextFont& font, const std::vector<std::string>& lines, TWKPixelBuffer& mask) override;
};
