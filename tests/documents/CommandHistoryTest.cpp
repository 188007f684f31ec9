#include <gtest/gtest.h>

#include <vector>

#include "documents/WKCommandHistory.h"

namespace {

class TCountedState : public TWKCommandState {
 public:
  TCountedState(int id, std::vector<std::string>& log) : Id(id), Log(log) {}
  ~TCountedState() override { Log.push_back("free " + std::to_string(Id)); }
  void Undo() override { Log.push_back("undo " + std::to_string(Id)); }
  void Redo() override { Log.push_back("redo " + std::to_string(Id)); }
  int Id;
  std::vector<std::string>& Log;
};

}  // namespace

TEST(CommandHistory, UndoRedoAndCuttingOffRedoableStates) {
  std::vector<std::string> log;
  TWKCommandHistoryList history;
  EXPECT_FALSE(history.CanUndo());
  EXPECT_EQ(history.LastDone(), nullptr);
  for (int i = 1; i <= 3; ++i) history.Add(std::make_unique<TCountedState>(i, log));
  EXPECT_EQ(history.Position(), 3);
  history.Undo();
  history.Undo();
  EXPECT_EQ(static_cast<TCountedState*>(history.LastDone())->Id, 1);
  EXPECT_EQ(static_cast<TCountedState*>(history.NextRedo())->Id, 2);
  history.Redo();
  EXPECT_EQ(history.Position(), 2);
  history.Undo();
  history.Add(std::make_unique<TCountedState>(4, log));  // frees 3 then 2
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(history.Count(), 2);
  EXPECT_EQ(log,
            (std::vector<std::string>{"undo 3", "undo 2", "redo 2", "undo 2", "free 3", "free 2"}));
  history.Undo();
  history.Undo();
  history.Undo();  // nothing left: no call
  EXPECT_EQ(log.back(), "undo 1");
  history.Add(nullptr);
  EXPECT_EQ(history.Count(), 2);
}

TEST(CommandHistory, HasNoSizeLimit) {
  std::vector<std::string> log;
  TWKCommandHistoryList history;
  for (int i = 0; i < 20000; ++i) history.Add(std::make_unique<TCountedState>(i, log));
  EXPECT_EQ(history.Count(), 20000);
  EXPECT_TRUE(log.empty());
}

TEST(CommandHistory, SavedPositionFollowsUndoRedoAndIsForgottenWhenCutOff) {
  std::vector<std::string> log;
  TWKCommandHistoryList history;
  EXPECT_TRUE(history.AtSavedPosition());  // a new history matches its new document
  history.Add(std::make_unique<TCountedState>(1, log));
  history.Add(std::make_unique<TCountedState>(2, log));
  EXPECT_FALSE(history.AtSavedPosition());
  history.MarkSaved();
  history.Undo();
  EXPECT_FALSE(history.AtSavedPosition());
  history.Redo();
  EXPECT_TRUE(history.AtSavedPosition());

  history.Undo();
  history.Add(std::make_unique<TCountedState>(3, log));  // cuts off the saved step 2
  EXPECT_EQ(history.SavedPosition(), TWKCommandHistoryList::NoSavedPosition);
  while (history.CanUndo()) {
    history.Undo();
    EXPECT_FALSE(history.AtSavedPosition());
  }

  // A new step at the saved position keeps it: undoing back returns to the saved state.
  history.MarkSaved();
  history.Add(std::make_unique<TCountedState>(4, log));
  history.Undo();
  EXPECT_TRUE(history.AtSavedPosition());
}

TEST(CommandHistory, DiscardedRedoStatesAreFreedAndTheSavedPositionKeptWhenStillThere) {
  std::vector<std::string> log;
  TWKCommandHistoryList history;
  history.Add(std::make_unique<TCountedState>(1, log));
  history.MarkSaved();
  history.Add(std::make_unique<TCountedState>(2, log));
  history.Undo();
  history.DiscardRedo();
  EXPECT_EQ(history.Count(), 1);
  EXPECT_FALSE(history.CanRedo());
  EXPECT_TRUE(history.AtSavedPosition());
  history.Add(std::make_unique<TCountedState>(3, log));
  history.MarkSaved();
  history.Undo();
  history.DiscardRedo();  // the saved state goes with it
  EXPECT_FALSE(history.AtSavedPosition());
  EXPECT_EQ(log, (std::vector<std::string>{"undo 2", "free 2", "undo 3", "free 3"}));
}
