#include "documents/WKFileFormats.h"

#include <cctype>

#include "framework/WKLocalizer.h"

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Iterative wildcard match with one backtrack point: linear in practice, never recursive.
bool MatchMask(const std::string& name, const std::string& mask) {
  size_t n = 0, m = 0, starM = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || Lower(mask[m]) == Lower(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (starM != std::string::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool TWKFileFormats::GetFileInfo(const std::string&, std::unique_ptr<TWKFileInfo>&) {
  return false;
}

bool TWKFileFormats::GetThumbnail(const std::string&, int32_t, int32_t,
                                  std::unique_ptr<TWKThumbnail>&) {
  return false;
}

void TWKFileFormats::GetSaveFormats(TWKFileFormatArray& formats) {
  formats.clear();
  const int32_t count = FormatCount();
  for (int32_t i = 0; i < count; ++i) formats.push_back(FormatInfo(i));
}

void TWKFileFormats::GetOpenFormats(TWKFileFormatArray& formats) {
  GetSaveFormats(formats);
  std::string all;
  for (const TWKFileFormatInfo& info : formats) {
    if (!all.empty()) all += ";";
    all += info.Masks;
  }
  formats.push_back({0, LanguageString(146), all, ""});
  formats.push_back({0, LanguageString(147), "*.*", ""});
}

int32_t TWKFileFormats::IndexOfId(int32_t id) {
  const int32_t count = FormatCount();
  for (int32_t i = 0; i < count; ++i)
    if (FormatInfo(i).Id == id) return i;
  return -1;
}

int32_t FindFormat(const TWKFileFormatArray& formats, int32_t id) {
  for (size_t i = 0; i < formats.size(); ++i)
    if (formats[i].Id == id) return static_cast<int32_t>(i);
  return -1;
}

std::string BuildFilter(const TWKFileFormatArray& formats) {
  std::string filter;
  for (const TWKFileFormatInfo& info : formats) {
    if (!filter.empty()) filter += "|";
    filter += info.Description + " (" + info.Masks + ")|" + info.Masks;
  }
  return filter;
}

bool MatchesMasks(const std::string& fileName, const std::string& masks) {
  const std::string name = BaseName(fileName);
  size_t start = 0;
  while (start <= masks.size()) {
    size_t end = masks.find(';', start);
    if (end == std::string::npos) end = masks.size();
    const std::string mask = masks.substr(start, end - start);
    if (!mask.empty() && MatchMask(name, mask)) return true;
    start = end + 1;
  }
  return false;
}

std::string WithDefaultExtension(const std::string& fileName, const TWKFileFormatInfo& format) {
  if (format.DefaultExt.empty() || MatchesMasks(fileName, format.Masks)) return fileName;
  return fileName + format.DefaultExt;
}
