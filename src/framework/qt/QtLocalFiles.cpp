#include "framework/qt/QtLocalFiles.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

#include <filesystem>


namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of folder (bytes) that Qt shows as name; "" when none or more than one does.
std::string FindEntry(const std::string& folder, const QString& name) {
  DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
  if (dir == nullptr) return {};
  std::string found;
  int matches = 0;
  while (const dirent* entry = ::readdir(dir)) {
    if (QFile::decodeName(entry->d_name) != name) continue;
    found = entry->d_name;
    ++matches;
  }
  ::closedir(dir);
  return matches == 1 ? found : std::string();
}

}  // namespace

std::string LocalFileOf(const QUrl& url) {
  if (!url.isValid() || url.scheme().compare("file", Qt::CaseInsensitive) != 0) return {};
  if (!url.host().isEmpty() && url.host().compare("localhost", Qt::CaseInsensitive) != 0) return {};
  // The percent-encoded path holds the name's bytes, whatever they are.
  const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
  return path.toStdString();
}

std::string LocalFileFromArgument(const std::string& argument) {
  if (QByteArray::fromStdString(argument.substr(0, 5)).compare("file:", Qt::CaseInsensitive) == 0)
    return LocalFileOf(QUrl::fromEncoded(QByteArray::fromStdString(argument)));
  if (argument.empty() || !Exists(argument)) return argument;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(argument, error);
  return error ? argument : absolute.lexically_normal().string();
}

std::string FileSystemName(const QString& path) {
  const std::string direct = QFile::encodeName(path).toStdString();
  if (path.isEmpty() || Exists(direct)) return direct;
  const qsizetype slash = path.lastIndexOf('/');
  if (slash < 0) return direct;
  const std::string folder = slash == 0 ? std::string("/") : FileSystemName(path.left(slash));
  const std::string entry = FindEntry(folder, path.mid(slash + 1));
  if (entry.empty()) return direct;
  return (folder == "/" ? folder : folder + "/") + entry;
}

QList<QUrl> DroppedUrls(const QMimeData& data) {
  static const QString kUriList = "text/uri-list";
  if (!data.hasFormat(kUriList)) return data.urls();
  QList<QUrl> urls;
  for (const QByteArray& line : data.data(kUriList).split('\n')) {
    const QByteArray address = line.trimmed();
    if (address.isEmpty() || address.startsWith('#')) continue;
    urls.append(QUrl::fromEncoded(address));
  }
  return urls;
}
