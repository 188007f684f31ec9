#include "help/qt/WKDialogPreviewThread.h"

#include <QMetaObject>

#include "help/qt/WKOpenDialog.h"

TWKDialogPreviewThread::TWKDialogPreviewThread(TWKOpenDialog& dialog)
    : Dialog(dialog),
      worker_(
          [&formats = dialog.Formats](const std::string& name, int32_t width, int32_t height) {
            std::unique_ptr<TWKThumbnail> thumbnail;
            if (!formats.GetThumbnail(name, width, height, thumbnail)) thumbnail.reset();
            return thumbnail;
          },
          [dialog = &dialog](uint64_t ticket, std::unique_ptr<TWKThumbnail> thumbnail) {
            // The posted call is discarded, and the thumbnail freed, if the dialog is gone first.
            auto held = std::make_shared<std::unique_ptr<TWKThumbnail>>(std::move(thumbnail));
            QMetaObject::invokeMethod(
                dialog, [dialog, ticket, held] { dialog->ShowThumbnail(ticket, std::move(*held)); },
                Qt::QueuedConnection);
          }) {}
