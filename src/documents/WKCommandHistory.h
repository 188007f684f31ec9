// Undoable steps and the per-document history of them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class TWKCommandState {
 public:
  virtual ~TWKCommandState() = default;
  virtual void Undo() = 0;
  virtual void Redo() = 0;
};

// States below the position are done, those at or above it undone. No size limit. The
// history also remembers the position at which its document was last loaded or saved.
class TWKCommandHistoryList {
 public:
  static constexpr int32_t NoSavedPosition = -1;

  // Frees every redoable state, then appends the state as done.
  void Add(std::unique_ptr<TWKCommandState> state);
  bool CanUndo() const { return Position_ > 0; }
  bool CanRedo() const { return Position_ < Count(); }
  void Undo();
  void Redo();
  // Frees every redoable state (a step taken back for good).
  void DiscardRedo();
  TWKCommandState* LastDone() const;
  TWKCommandState* NextRedo() const;

  int32_t Count() const { return static_cast<int32_t>(States_.size()); }
  int32_t Position() const { return Position_; }
  TWKCommandState* Items(int32_t index) const { return States_[static_cast<size_t>(index)].get(); }

  // The document on disk now matches the current position.
  void MarkSaved() { SavedPosition_ = Position_; }
  // No position matches the document on disk any longer.
  void ForgetSaved() { SavedPosition_ = NoSavedPosition; }
  bool AtSavedPosition() const { return Position_ == SavedPosition_; }
  int32_t SavedPosition() const { return SavedPosition_; }

 private:
  std::vector<std::unique_ptr<TWKCommandState>> States_;
  int32_t Position_ = 0;
  int32_t SavedPosition_ = 0;
};
