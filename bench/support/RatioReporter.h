// Prints the runs as usual and keeps each benchmark's time (its median when repeated), so that
// ratios against a peer measured in the same run can be printed at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class TRatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
        Times_[run.run_name.function_name] = run.GetAdjustedRealTime();
  }
  void PrintRatio(const char* label, const char* ours, const char* theirs) const {
    auto a = Times_.find(ours), b = Times_.find(theirs);
    if (a == Times_.end() || b == Times_.end() || b->second <= 0) return;
    std::printf("%-52s %.3fx\n", label, a->second / b->second);
  }

 private:
  std::map<std::string, double> Times_;
};
