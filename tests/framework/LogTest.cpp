#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/WKLog.h"

namespace {

constexpr TWKLogCategory kOn{"test.on"};
constexpr TWKLogCategory kOff{"test.off"};

// Records the lines of the categories named "…on"; restores the previous back end when done.
struct TRecordingBackend {
  std::vector<std::string> Lines;
  TWKLogBackend Previous = SetLogBackend({
      [](const TWKLogCategory& c) { return std::string(c.Name).ends_with(".on"); },
      [this](const TWKLogCategory& c, const std::string& line) { Lines.push_back(std::string(c.Name) + ": " + line); },
  });
  ~TRecordingBackend() { SetLogBackend(std::move(Previous)); }
};

}  // namespace

TEST(Log, EveryCategoryIsOffWithoutABackend) {
  const TWKLogBackend previous = SetLogBackend({});
  EXPECT_FALSE(LogEnabled(kOn));
  LogLine(kOn, "nowhere");  // no back end to write to: nothing happens
  // A back end that switches categories on but cannot write keeps them off.
  SetLogBackend({[](const TWKLogCategory&) { return true; }, nullptr});
  EXPECT_FALSE(LogEnabled(kOn));
  LogLine(kOn, "nowhere");
  SetLogBackend(previous);
}

TEST(Log, TheBackendDecidesWhichCategoriesWrite) {
  TRecordingBackend backend;
  EXPECT_TRUE(LogEnabled(kOn));
  EXPECT_FALSE(LogEnabled(kOff));
  LogLine(kOn, "first");
  LogLine(kOff, "dropped");
  LogLine(kOn, "second");
  EXPECT_EQ(backend.Lines, (std::vector<std::string>{"test.on: first", "test.on: second"}));
}
