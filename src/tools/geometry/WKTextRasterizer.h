// Text drawn by the platform with an installed font: the font list and the text mask, white
// lettering on black at the font's natural size. The program installs the Qt implementation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/WKBitmap.h"

struct TWKTextFont {
  std::string Face;
  int32_t Size = 32;  // points
  int32_t Style = 0;  // 1 bold, 2 italic, 4 underline, 8 strikeout
};

class IWKTextRasterizer {
 public:
  virtual ~IWKTextRasterizer() = default;
  // The installed font families.
  virtual std::vector<std::string> FontNames() = 0;
  // mask := the lines up to the last non-empty one (UTF-8, drawn as Unicode), each as high as
  // "Wy" in the font and as wide as the widest line, white on black, 24-bit at (0, 0); empty
  // when every line is empty. False when the mask cannot be made.
  virtual bool Render(const TWKTextFont& font, const std::vector<std::string>& lines, TWKPixelBuffer& mask) = 0;
};

// The program's rasterizer; none: the text tool draws nothing.
IWKTextRasterizer* TextRasterizer();
void SetTextRasterizer(IWKTextRasterizer* rasterizer);

// The first of the preferred faces (compared without regard to case) that names holds, else
// the first installed serif or sans face of the common free families; empty when none is there.
std::string DefaultTextFace(const std::vector<std::string>& names);
