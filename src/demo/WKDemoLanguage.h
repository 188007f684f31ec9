// The directive preprocessor: a script line whose first word is a directive ("#TO", "#FOR",
// "#DOEACH" ... "#OD", "#FINISH") expands into ordinary command lines that wait here to be
// taken one at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class TWKDemoLanguage {
 public:
  // One directive never produces more than this many lines (nor more than kMaxExpandedBytes).
  static constexpr size_t kMaxExpandedLines = 100000;
  static constexpr size_t kMaxExpandedBytes = 16u << 20;

  // True when line index is a directive: its lines are appended to the pending lines and
  // LineIndex is set (the directive's line, or the line of its "#OD" for a block). A directive
  // that cannot be expanded appends nothing and leaves its reason in Error.
  bool ExpandLine(const std::vector<std::string>& scriptLines, int32_t index);
  // The first pending line, removed; empty when there is none.
  std::string TakeLine();
  bool IsEmpty() const { return PendingLines_.empty(); }
  void Clear();

  int32_t LineIndex() const { return LineIndex_; }
  size_t PendingCount() const { return PendingLines_.size(); }
  // Why the last ExpandLine produced nothing; empty after a good expansion.
  const std::string& Error() const { return Error_; }

 private:
  std::deque<std::string> PendingLines_;
  int32_t LineIndex_ = 0;
  std::string Error_;
};

// The process's one preprocessor.
TWKDemoLanguage& DemoLanguage();
