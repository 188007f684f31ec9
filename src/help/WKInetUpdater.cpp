#include "help/WKInetUpdater.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "framework/WKIniFile.h"
#include "platform/system/TemporaryFile.h"

namespace {

// The update file is a few lines; anything larger is not one.
constexpr std::streamsize kMaxUpdateFileSize = 1 << 20;

std::string ReadSmallFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  std::string text(static_cast<size_t>(kMaxUpdateFileSize), '\0');
  in.read(text.data(), kMaxUpdateFileSize);
  text.resize(static_cast<size_t>(in.gcount()));
  return text;
}

// Deletes the file when it goes, whatever happened in between.
struct TRemovedFile {
  std::string Name;
  ~TRemovedFile() { ::unlink(Name.c_str()); }
};

}  // namespace

std::string UpdateRequestUrl(const std::string& url, const std::tm& t) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d%02d%04d%02d%02d%02d", t.tm_mday, t.tm_mon + 1,
                t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
  return url + (url.find('?') == std::string::npos ? "?" : "&") + stamp;
}

std::string ReadUpdateVersion(std::string_view iniText, const std::vector<std::string>& sections) {
  TWKIniFile ini;
  ini.SetText(iniText);
  for (const std::string& section : sections) {
    const std::string version(TWKIniFile::Trim(ini.ReadString(section, "Version", "")));
    if (!version.empty()) return version;
  }
  return {};
}

TWKInetUpdater::TWKInetUpdater(const std::string& url, const std::vector<std::string>& sections,
                               IWKDownloader& downloader, std::time_t now) {
  const TRemovedFile file{CreateTemporaryFile("~")};
  if (file.Name.empty()) return;
  std::tm local{};
  localtime_r(&now, &local);
  if (downloader.DownloadToFile(UpdateRequestUrl(url, local), file.Name))
    Version = ReadUpdateVersion(ReadSmallFile(file.Name), sections);
}
