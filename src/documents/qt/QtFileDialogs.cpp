#include "documents/qt/QtFileDialogs.h"

#include <QStringList>

#include "framework/qt/QtText.h"
#include "help/qt/WKOpenDialog.h"
#include "help/qt/WKSaveDialog.h"

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
  TWKOpenDialog dialog(Parent_, formats);
  if (!fileName.empty()) dialog.SetFileName(fileName);
  if (!dialog.Execute()) return false;
  const std::string chosen = dialog.FileName();
  if (chosen.empty()) return false;
  fileName = chosen;
  return true;
}

bool TQtFileDialogs::ExecuteSaveDialog(TWKFileFormats& formats,
                                       const TWKFileFormatArray& saveFormats, std::string& fileName,
                                       int32_t& filterIndex) {
  TWKSaveDialog dialog(Parent_, formats);
  dialog.SetFilter(BuildFilter(saveFormats));  // exactly the entries filterIndex counts in
  dialog.SetFilterIndex(filterIndex);
  if (!fileName.empty()) dialog.SetFileName(fileName);
  if (!dialog.Execute()) return false;
  const std::string chosen = dialog.FileName();
  if (chosen.empty()) return false;
  fileName = chosen;
  filterIndex = dialog.FilterIndex();
  return true;
}
