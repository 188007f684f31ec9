// Stands in for the application in the plug-in tests: reads the exchange file named on its
// command line the way the application does, edits it as QM_EDITOR_ACTION asks, optionally
// damages it (QM_EDITOR_PATCH "Field=value", QM_EDITOR_SIZE bytes to keep) and exits with
// QM_EDITOR_EXIT (default 0). QM_EDITOR_RECORD names a file that receives its argument count,
// its argument and its working directory, one per line.
//
// Actions: "invert" (every colour byte inverted, written back with 3 bytes per pixel and rows
// padded to 4 bytes), "grow" (the same image one pixel wider), "keep" (file left as it is).
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "plugin/FileMapping.h"
#include "plugin/PhotoshopDataInfo.h"

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? v : "";
}

void Record(int argc, char** argv) {
  const std::string file = Env("QM_EDITOR_RECORD");
  if (file.empty()) return;
  char cwd[4096] = "";
  if (::getcwd(cwd, sizeof cwd) == nullptr) cwd[0] = '\0';
  if (FILE* f = std::fopen(file.c_str(), "w")) {
    std::fprintf(f, "%d\n%s\n%s\n", argc - 1, argc > 1 ? argv[1] : "", cwd);
    std::fclose(f);
  }
}

// Reads the image as blue-green-red rows, like the application's document.
bool Load(const std::string& name, int32_t& width, int32_t& height, std::vector<uint8_t>& bgr) {
  TFileMapping mapping;
  if (!mapping.Create(name, false)) return false;
  void* view = mapping.Map(0, 0, TFileAccess::Write);
  if (view == nullptr) return false;
  TWKExchangeImage image;
  const bool ok = ParseExchangeFile(static_cast<uint8_t*>(view), size_t(mapping.FileSize()), image);
  if (ok) {
    width = image.Header.Width;
    height = image.Header.Height;
    bgr.assign(size_t(width) * 3 * size_t(height), 0);
    ReadExchangePixels(image, bgr.data(), ptrdiff_t(width) * 3);
  }
  mapping.Unmap(view);
  return ok;
}

bool Save(const std::string& name, int32_t width, int32_t height, const std::vector<uint8_t>& bgr, int32_t srcWidth) {
  const int32_t rowBytes = (width * 3 + 3) & ~3;
  TFileMapping mapping;
  if (!mapping.Create(name, false) || !mapping.SetSize(ExchangeFileSize(rowBytes, height))) return false;
  void* view = mapping.Map(0, 0, TFileAccess::Write);
  if (view == nullptr) return false;
  std::vector<uint8_t> rows(size_t(width) * 3 * size_t(height), 0x5A);
  for (int32_t y = 0; y < height; ++y)
    std::memcpy(&rows[size_t(y) * width * 3], &bgr[size_t(y) * srcWidth * 3], size_t(std::min(width, srcWidth)) * 3);
  const bool ok = WriteExchangeImage(static_cast<uint8_t*>(view), size_t(mapping.FileSize()), width, height, rowBytes,
                                     rows.data(), ptrdiff_t(width) * 3);
  mapping.Unmap(view);
  return ok;
}

bool Patch(const std::string& name) {
  const std::string patch = Env("QM_EDITOR_PATCH");
  const std::string keep = Env("QM_EDITOR_SIZE");
  if (patch.empty() && keep.empty()) return true;
  TFileMapping mapping;
  if (!mapping.Create(name, false)) return false;
  if (!patch.empty()) {
    static const char* const kFields[] = {"HeaderSize", "Mode", "Left", "Top", "Width", "Height", "RowBytes", "PixelBytes"};
    const size_t eq = patch.find('=');
    auto* view = static_cast<uint8_t*>(mapping.Map(0, 0, TFileAccess::Write));
    if (view == nullptr || eq == std::string::npos) return false;
    for (int i = 0; i < 8; ++i) {
      if (patch.compare(0, eq, kFields[i]) != 0) continue;
      const auto value = static_cast<int32_t>(std::strtoll(patch.c_str() + eq + 1, nullptr, 0));
      std::memcpy(view + 4 + 4 * i, &value, 4);
    }
    mapping.Unmap(view);
  }
  return keep.empty() || mapping.SetSize(std::strtoull(keep.c_str(), nullptr, 0));
}

}  // namespace

int main(int argc, char** argv) {
  Record(argc, argv);
  const int exitCode = std::atoi(Env("QM_EDITOR_EXIT").c_str());
  if (argc != 2) return 3;
  const std::string action = Env("QM_EDITOR_ACTION");
  if (action == "invert" || action == "grow") {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> bgr;
    if (!Load(argv[1], width, height, bgr)) return 4;
    for (uint8_t& b : bgr) b = uint8_t(255 - b);
    if (!Save(argv[1], action == "grow" ? width + 1 : width, height, bgr, width)) return 5;
  }
  if (!Patch(argv[1])) return 6;
  return exitCode;
}
