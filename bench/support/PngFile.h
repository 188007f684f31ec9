// Reading and writing 24-bit PNG files straight into and out of pixel surfaces, for benchmarks
// and photo tools.
#pragma once

#include <png.h>

#include <string>

#include "imaging/WKBitmap.h"

inline bool LoadPng(const std::string& path, TWKPixelBuffer& out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_BGR;
  if (!out.Allocate(FormatBGR24, Rect(0, 0, static_cast<int32_t>(image.width),
                                      static_cast<int32_t>(image.height)))) {
    png_image_free(&image);
    return false;
  }
  return png_image_finish_read(&image, nullptr, out.Bits, out.RowBytes, nullptr) != 0;
}

inline bool SavePng(const std::string& path, const TWKPixels& px) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(px.Width);
  image.height = static_cast<png_uint_32>(px.Height);
  image.format = PNG_FORMAT_BGR;
  return png_image_write_to_file(&image, path.c_str(), 0, px.Bits, px.RowBytes, nullptr) != 0;
}
