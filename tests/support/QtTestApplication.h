// One QApplication for the whole test program, made before the first test and freed after the
// last. Include it once per Qt test program.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace qt_test {

class TQtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "quillmoor_qt_test";
    static char* argv[] = {name, nullptr};
    App_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { App_.reset(); }

 private:
  std::unique_ptr<QApplication> App_;
};

inline const auto* const gApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new TQtApplicationEnvironment);

}  // namespace qt_test
