// The editor's open and save dialogs: the file dialogs with preview over the formats' filters.
#pragma once

#include <QString>
#include <QWidget>

#include "documents/WKEditorUI.h"

// "JPEG (*.jpg *.jpeg);;PNG (*.png)": the dialogs' filter in Qt's form.
QString QtFilter(const TWKFileFormatArray& formats);

class TQtFileDialogs : public IWKFileDialogs {
 public:
  explicit TQtFileDialogs(QWidget* parent = nullptr) : Parent_(parent) {}
  bool ExecuteOpenDialog(TWKFileFormats& formats, std::string& fileName) override;
  bool ExecuteSaveDialog(TWKFileFormats& formats, const TWKFileFormatArray& saveFormats,
                         std::string& fileName, int32_t& filterIndex) override;

 private:
  QWidget* Parent_;
};
