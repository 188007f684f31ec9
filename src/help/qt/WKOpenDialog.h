// The open dialog: a non-native file dialog with a side panel showing a thumbnail of the
// selected file and a few lines about it, both from the format registry.
//
//   TWKOpenDialog dialog(mainWindow, formats);
//   if (dialog.Execute()) open(dialog.FileName());
#pragma once

#include <QFileDialog>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "documents/WKFileFormats.h"

class QFrame;
class QLabel;
class QPainter;
class TWKDialogPreviewThread;
class TWKOpenDialog;

// The paint box of the side panel; its painting is the dialog's PaintPreview.
class TWKPreviewBox : public QWidget {
  Q_OBJECT
 public:
  TWKPreviewBox(TWKOpenDialog& dialog, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TWKOpenDialog& Dialog_;
};

class TWKOpenDialog : public QFileDialog {
  Q_OBJECT
 public:
  // owner: the window the dialog is modal to (may be none); formats are not owned.
  TWKOpenDialog(QWidget* owner, TWKFileFormats& formats);
  ~TWKOpenDialog() override;

  // The open list of the formats with "all supported formats" selected.
  virtual void SetupFilter();
  // Runs the dialog modally; true when the user confirmed a file name.
  bool Execute();

  std::string FileName() const;
  // Selects the file (its folder becomes the dialog's folder when it names one).
  void SetFileName(const std::string& fileName);
  // 1-based entry of the filter; 0 when none is selected.
  int32_t FilterIndex() const;
  void SetFilterIndex(int32_t index);
  // "caption|masks|caption|masks", as BuildFilter makes it.
  std::string Filter() const { return Filter_; }
  void SetFilter(const std::string& filter);
  std::string Title() const;

  // Draws the thumbnail centred in the box, fills the rest and frames the box.
  void PaintPreview(QPainter& painter);
  // Ends the preview thread (DoClose), then closes as the file dialog does.
  void done(int result) override;
  // Shows a thumbnail made for the ticket if no newer selection was made; frees it otherwise.
  void ShowThumbnail(uint64_t ticket, std::unique_ptr<TWKThumbnail> thumbnail);

  TWKFileFormats& Formats;
  QFrame* SidePanel = nullptr;
  TWKPreviewBox* PreviewBox = nullptr;
  QLabel* InfoLabel = nullptr;
  std::unique_ptr<TWKDialogPreviewThread> PreviewThread;
  std::unique_ptr<TWKThumbnail> Thumbnail;

 public slots:
  // The selected file changed: the description at once, the thumbnail from the thread.
  void DoSelectionChange(const QString& path);

 protected:
  enum class TKind { Open, Save };
  // Builds the panel and starts the thread; the most derived constructor calls SetupFilter.
  TWKOpenDialog(QWidget* owner, TWKFileFormats& formats, TKind kind);

  virtual void DoShow();
  virtual void DoClose();
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildSidePanel();
  void FitPreviewBox();

  TKind Kind_;
  std::string Filter_;
  std::string Selected_;  // the file last previewed or cleared for
};
