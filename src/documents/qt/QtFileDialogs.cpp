#include "documents/qt/QtFileDialogs.h"

#include <QFileDialog>
#include <QStringList>

#include "framework/qt/QtText.h"

namespace {

QStringList FilterEntries(const TWKFileFormatArray& formats) {
  QStringList entries;
  for (const TWKFileFormatInfo& info : formats) {
    QString masks = ToQString(info.Masks);
    masks.replace(';', ' ');
    entries << ToQString(info.Description) + " (" + masks + ")";
  }
  return entries;
}

}  // namespace

QString QtFilter(const TWKFileFormatArray& formats) { return FilterEntries(formats).join(";;"); }

bool TQtFileDialogs::ExecuteOpenDialog(TWKFileFormats& formats, std::string& fileName) {
  TWKFileFormatArray openFormats;
  formats.GetOpenFormats(openFormats);
  const QStringList entries = FilterEntries(openFormats);
  // The "all supported" entry comes second to last; it is the one selected first.
  QString selected = entries.size() >= 2 ? entries[entries.size() - 2] : QString();
  const QString name = QFileDialog::getOpenFileName(parent_, QString(), ToQString(fileName),
                                                    entries.join(";;"), &selected);
  if (name.isEmpty()) return false;
  fileName = ToStdString(name);
  return true;
}

bool TQtFileDialogs::ExecuteSaveDialog(TWKFileFormats& formats,
                                       const TWKFileFormatArray& saveFormats, std::string& fileName,
                                       int32_t& filterIndex) {
  const QStringList entries = FilterEntries(saveFormats);
  QString selected = filterIndex >= 1 && filterIndex <= entries.size() ? entries[filterIndex - 1]
                                                                       : entries.value(0);
  const QString name =
      QFileDialog::getSaveFileName(parent_, QString(), ToQString(fileName), entries.join(";;"),
                                   &selected, QFileDialog::DontConfirmOverwrite);
  if (name.isEmpty()) return false;
  fileName = ToStdString(name);
  filterIndex = static_cast<int32_t>(entries.indexOf(selected)) + 1;
  return true;
}
