#include "documents/WKLoadProgress.h"

namespace {

TWKLoadProgress::THooks& Hooks() {
  static TWKLoadProgress::THooks hooks;
  return hooks;
}

TWKLoadProgress* Current = nullptr;

}  // namespace

void TWKLoadProgress::SetHooks(THooks hooks) { Hooks() = std::move(hooks); }

TWKLoadProgress::TWKLoadProgress(const std::string& fileName) : FileName_(fileName), Outer_(Current) {
  Current = this;
}

TWKLoadProgress::~TWKLoadProgress() {
  Current = Outer_;
  if (Shown_ && Hooks().End) Hooks().End();
}

bool TWKLoadProgress::Report(double done) {
  TWKLoadProgress* open = Current;
  if (open == nullptr || open->Cancelled_) return open == nullptr;
  if (!open->Shown_) {
    open->Shown_ = true;
    if (Hooks().Begin) Hooks().Begin(open->FileName_);
  }
  if (Hooks().Update && !Hooks().Update(done)) open->Cancelled_ = true;
  return !open->Cancelled_;
}

bool TWKLoadProgress::Cancelled() { return Current != nullptr && Current->Cancelled_; }

bool TWKLoadProgress::Running() { return Current != nullptr; }
