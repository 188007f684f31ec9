#include "documents/WKCommandHistory.h"

void TWKCommandHistoryList::Add(std::unique_ptr<TWKCommandState> state) {
  if (!state) return;
  DiscardRedo();
  States_.push_back(std::move(state));
  ++Position_;
}

void TWKCommandHistoryList::DiscardRedo() {
  while (Count() > Position_) States_.pop_back();
  if (SavedPosition_ > Position_) ForgetSaved();  // the saved state was just cut off
}

void TWKCommandHistoryList::Undo() {
  if (!CanUndo()) return;
  --Position_;
  States_[static_cast<size_t>(Position_)]->Undo();
}

void TWKCommandHistoryList::Redo() {
  if (!CanRedo()) return;
  States_[static_cast<size_t>(Position_)]->Redo();
  ++Position_;
}

TWKCommandState* TWKCommandHistoryList::LastDone() const {
  return Position_ > 0 ? States_[static_cast<size_t>(Position_ - 1)].get() : nullptr;
}

TWKCommandState* TWKCommandHistoryList::NextRedo() const {
  return Position_ < Count() ? States_[static_cast<size_t>(Position_)].get() : nullptr;
}
