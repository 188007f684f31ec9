#include "help/qt/QtDownloader.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>

#include "framework/qt/QtText.h"

bool TQtDownloader::DownloadToFile(const std::string& url, const std::string& fileName) {
  const QUrl address(ToQString(url), QUrl::StrictMode);
  if (!address.isValid() || (address.scheme() != "http" && address.scheme() != "https")) return false;

  QNetworkAccessManager manager;
  QNetworkRequest request(address);
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setTransferTimeout(TimeoutMs);
  std::unique_ptr<QNetworkReply> reply(manager.get(request));

  QByteArray data;
  bool tooLarge = false;
  bool timedOut = false;
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
    data += reply->readAll();
    if (data.size() > MaxBytes) {
      tooLarge = true;
      reply->abort();
    }
  });
  QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
  QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
    timedOut = true;
    reply->abort();
  });
  timer.start(TimeoutMs);
  if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  timer.stop();
  if (reply->isOpen()) data += reply->readAll();

  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (timedOut || tooLarge || data.size() > MaxBytes || reply->error() != QNetworkReply::NoError ||
      status < 200 || status > 299)
    return false;
  QFile file(ToQString(fileName));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  const bool written = file.write(data) == data.size();
  return file.flush() && written;
}
