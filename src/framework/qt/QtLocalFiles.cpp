#include "framework/qt/QtLocalFiles.h"

#include <QFileInfo>

#include "framework/qt/QtText.h"

std::string LocalFileOf(const QUrl& url) {
  if (!url.isValid() || url.scheme().compare("file", Qt::CaseInsensitive) != 0) return {};
  QUrl local = url;
  if (local.host().compare("localhost", Qt::CaseInsensitive) == 0) local.setHost(QString());
  if (!local.host().isEmpty()) return {};
  return ToStdString(local.toLocalFile());
}

std::string LocalFileFromArgument(const QString& argument) {
  if (argument.startsWith("file:", Qt::CaseInsensitive)) return LocalFileOf(QUrl(argument));
  const QFileInfo info(argument);
  return ToStdString(info.exists() ? info.absoluteFilePath() : argument);
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
