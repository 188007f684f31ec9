#include "demo/WKDemoList.h"

#include <algorithm>
#include <filesystem>

#include "demo/WKDemoTexts.h"
#include "demo/WKDemonstrationModule.h"

namespace fs = std::filesystem;

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsScriptName(const std::string& name) {
  if (name.size() < 4) return false;
  std::string extension = name.substr(name.size() - 4);
  for (char& c : extension) c = LowerAscii(c);
  return extension == ".dsc";
}

}  // namespace

bool DemoFileNameLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return LowerAscii(x) < LowerAscii(y); });
}

TRect DemoThumbnailRect(TSize picture, int32_t size) {
  const int64_t w = picture.Width, h = picture.Height;
  if (w <= 0 || h <= 0 || size <= 0) return {};
  if (w > h) {
    const auto height = static_cast<int32_t>(h * size / w);
    return Bounds(0, (size - height) / 2, size, height);
  }
  const auto width = static_cast<int32_t>(w * size / h);
  return Bounds((size - width) / 2, 0, width, size);
}

bool TWKDemoList::Fill(std::string& error) {
  Scripts_.clear();
  Selected_ = -1;
  std::vector<std::string> files;
  std::error_code failed;
  for (fs::directory_iterator it(Module_.DemoFolder, failed), end; !failed && it != end; it.increment(failed)) {
    const std::string name = it->path().filename().string();
    std::error_code typeFailed;
    if (IsScriptName(name) && it->is_regular_file(typeFailed)) files.push_back(Module_.DemoFolder + name);
  }
  // A missing folder is an empty list.
  for (const std::string& file : files) {
    auto script = std::make_unique<TWKDemoScript>();
    if (!script->LoadFromFile(file)) {
      error = DemoText(TWKDemoText::CannotReadScript, file);
      Scripts_.clear();
      return false;
    }
    Scripts_.push_back(std::move(script));
  }
  std::stable_sort(Scripts_.begin(), Scripts_.end(), [](const auto& a, const auto& b) {
    return DemoFileNameLess(fs::path(a->FileName).filename().string(), fs::path(b->FileName).filename().string());
  });
  if (!Scripts_.empty()) {
    if (Module_.LastDemoIndex >= Count()) Module_.LastDemoIndex = Count() - 1;
    Select(Module_.LastDemoIndex);
  }
  return true;
}

std::string TWKDemoList::ImageFile(int32_t index) const {
  const std::string image = Script(index).InfoValue("Image");
  return image.empty() ? std::string() : Module_.DemoFolder + image;
}

void TWKDemoList::Select(int32_t index) { Selected_ = index >= 0 && index < Count() ? index : -1; }

bool TWKDemoList::ShowAtStartup() const { return Module_.ShowAtStartup; }

void TWKDemoList::SetShowAtStartup(bool value) { Module_.ShowAtStartup = value; }

void TWKDemoList::Closing() { Module_.LastDemoIndex = Selected_; }
