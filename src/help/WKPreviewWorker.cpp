#include "help/WKPreviewWorker.h"

TWKPreviewWorker::TWKPreviewWorker(TMaker maker, TDeliver deliver)
    : maker_(std::move(maker)), deliver_(std::move(deliver)), thread_([this] { Run(); }) {}

TWKPreviewWorker::~TWKPreviewWorker() {
  Terminate();
  Join();
}

void TWKPreviewWorker::Join() {
  if (thread_.joinable()) thread_.join();
}

TWKPreviewWorker::TCounts TWKPreviewWorker::Counts() const {
  return {made_.load(), failed_.load(), dropped_.load(), delivered_.load()};
}

void TWKPreviewWorker::Run() {
  TWKPreviewRequest request;
  while (requests_.Take(request)) {
    std::unique_ptr<TWKThumbnail> thumbnail;
    ++made_;
    try {
      thumbnail = maker_(request.FileName, request.Width, request.Height);
    } catch (...) {
      thumbnail.reset();  // out of memory or a failing decoder: no preview
    }
    if (!thumbnail) {
      ++failed_;
    } else if (!requests_.IsCurrent(request.Ticket)) {
      thumbnail.reset();
      ++dropped_;
    } else {
      deliver_(request.Ticket, std::move(thumbnail));
      ++delivered_;
    }
    requests_.Finish();
  }
}
