#include "documents/qt/QtBusyCursor.h"

#include <QApplication>
#include <QCursor>

#include "documents/WKBusyCursor.h"

void InstallQtBusyCursor() {
  TWKBusyCursor::SetHooks([] { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); },
                          [] { QApplication::restoreOverrideCursor(); });
}
