// The main of a benchmark that drives the image view's Qt widgets: a QApplication (offscreen
// unless the environment names a platform) with the Qt view windows installed, the benchmarks,
// then afterwards, while the application still exists, whatever holds widgets is freed.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <functional>

#include "view/qt/QtGraphicsView.h"

inline int RunQtViewBenchmarks(int argc, char** argv, const std::function<void()>& beforeExit = nullptr) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  InstallQtViewWindows();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (beforeExit) beforeExit();
  return 0;
}
