// The save dialog: the open dialog's side panel over the save variant of the file dialog.
// The filter index is the caller's (the document's current format).
#pragma once

#include "help/qt/WKOpenDialog.h"

class TWKSaveDialog : public TWKOpenDialog {
  Q_OBJECT
 public:
  TWKSaveDialog(QWidget* owner, TWKFileFormats& formats);

  // The save list of the formats; the filter index is left as it is.
  void SetupFilter() override;
};
