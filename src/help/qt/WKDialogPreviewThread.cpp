#include "help/qt/WKDialogPreviewThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include "help/qt/WKOpenDialog.h"

namespace {

// Released threads may still be decoding through a registry the program frees on its way out.
void JoinReleasedThreadsWhenTheLoopEnds() {
  static QPointer<QCoreApplication> hooked;
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || hooked == app) return;
  hooked = app;
  QObject::connect(app, &QCoreApplication::aboutToQuit, app,
                   [] { TWKPreviewWorker::JoinReleased(); });
}

}  // namespace

TWKDialogPreviewThread::TWKDialogPreviewThread(TWKOpenDialog& dialog)
    : Dialog(dialog),
      Post_([&dialog] {
        auto post = std::make_shared<TPostBox>();
        post->Dialog = &dialog;
        return post;
      }()),
      Worker_(
          [&formats = dialog.Formats](const std::string& name, int32_t width, int32_t height) {
            std::unique_ptr<TWKThumbnail> thumbnail;
            if (!formats.GetThumbnail(name, width, height, thumbnail)) thumbnail.reset();
            return thumbnail;
          },
          [post = Post_](uint64_t ticket, std::unique_ptr<TWKThumbnail> thumbnail) {
            auto held = std::make_shared<std::unique_ptr<TWKThumbnail>>(std::move(thumbnail));
            // Posting under the lock: the dialog cannot go meanwhile. A posted call still
            // queued when the dialog goes is discarded with its thumbnail; one that runs after
            // this thread object went finds the box empty.
            std::lock_guard lock(post->Lock);
            if (post->Dialog == nullptr) return;
            QMetaObject::invokeMethod(
                post->Dialog,
                [post, ticket, held] {
                  if (TWKOpenDialog* receiver = post->Receiver())
                    receiver->ShowThumbnail(ticket, std::move(*held));
                },
                Qt::QueuedConnection);
          }) {
  JoinReleasedThreadsWhenTheLoopEnds();
}

TWKDialogPreviewThread::~TWKDialogPreviewThread() {
  {
    std::lock_guard lock(Post_->Lock);
    Post_->Dialog = nullptr;
  }
  Worker_.Release();
}
