#include "help/qt/QtShell.h"

#include <QDesktopServices>
#include <QUrl>

#include "framework/qt/QtText.h"
#include "help/WKLinks.h"

bool TQtShell::OpenUrl(const std::string& url) {
  if (!IsOpenableLink(url)) return false;
  const QUrl address(ToQString(url), QUrl::StrictMode);
  return address.isValid() && QDesktopServices::openUrl(address);
}

bool TQtShell::OpenFile(const std::string& fileName) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(ToQString(fileName)));
}
