#include "tools/geometry/WKTextRasterizer.h"

#include <algorithm>
#include <cctype>

namespace {

IWKTextRasterizer*& Installed() {
  static IWKTextRasterizer* rasterizer = nullptr;
  return rasterizer;
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

IWKTextRasterizer* TextRasterizer() { return Installed(); }

void SetTextRasterizer(IWKTextRasterizer* rasterizer) { Installed() = rasterizer; }

std::string DefaultTextFace(const std::vector<std::string>& names) {
  // The classic faces first; on systems without them, the free serif and sans families.
  static const char* const kPreferred[] = {"Times New Roman", "Veranda",        "Arial",
                                           "Courier New",     "Liberation Serif", "DejaVu Serif",
                                           "Liberation Sans", "DejaVu Sans"};
  for (const char* face : kPreferred)
    for (const std::string& name : names)
      if (SameName(name, face)) return name;
  return {};
}
