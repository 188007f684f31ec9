#include "help/qt/WKSaveDialog.h"

TWKSaveDialog::TWKSaveDialog(QWidget* owner, TWKFileFormats& formats)
    : TWKOpenDialog(owner, formats, TKind::Save) {
  setAcceptMode(QFileDialog::AcceptSave);
  setFileMode(QFileDialog::AnyFile);
  // The editor asks about overwriting itself, after adding the format's extension.
  setOption(QFileDialog::DontConfirmOverwrite, true);
  SetupFilter();
}

void TWKSaveDialog::SetupFilter() {
  TWKFileFormatArray formats;
  Formats.GetSaveFormats(formats);
  SetFilter(BuildFilter(formats));
}
