// Writes the hostile files into a folder for measurements with the real program:
//   make-hostile-files FOLDER [--panorama]
// --panorama adds panorama-40000x10000.jpg, a legitimate 400-megapixel photograph-like JPEG
// (encoded a row at a time, so it takes little memory to make).
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "support/HostileFiles.h"

namespace {

bool WritePanorama(const std::string& fileName) {
  constexpr int kWidth = 40000, kHeight = 10000;
  FILE* file = std::fopen(fileName.c_str(), "wb");
  if (file == nullptr) return false;
  jpeg_compress_struct c{};
  jpeg_error_mgr error{};
  c.err = jpeg_std_error(&error);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, file);
  c.image_width = kWidth;
  c.image_height = kHeight;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 85, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(size_t(kWidth) * 3);
  uint32_t noise = 1;
  while (c.next_scanline < c.image_height) {
    const double y = double(c.next_scanline) / kHeight;
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const double f = double(x) / kWidth;
      const int n = int(noise >> 29) - 4;
      row[size_t(x) * 3] = uint8_t(std::clamp(int(120 + 100 * std::sin(9 * f + 2 * y)) + n, 0, 255));
      row[size_t(x) * 3 + 1] = uint8_t(std::clamp(int(90 + 140 * y) + n, 0, 255));
      row[size_t(x) * 3 + 2] = uint8_t(std::clamp(int(200 - 120 * f * y) + n, 0, 255));
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FOLDER [--panorama]\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  for (const hostile::TFile& file : hostile::MakeAll()) {
    std::ofstream out(folder + "/" + file.Name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.Bytes.data()), std::streamsize(file.Bytes.size()));
    if (!out) return 1;
    std::printf("%-28s %-20s %zu bytes\n", file.Name.c_str(), file.Class.c_str(), file.Bytes.size());
  }
  if (argc > 2 && std::strcmp(argv[2], "--panorama") == 0) {
    if (!WritePanorama(folder + "/panorama-40000x10000.jpg")) return 1;
    std::printf("panorama-40000x10000.jpg\n");
  }
  return 0;
}
