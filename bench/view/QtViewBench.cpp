// The whole repaint of the image view's Qt widget, 1920 x 1080, over a 24-megapixel photo:
// the core's layered paint plus Qt drawing the finished box onto the widget.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "ViewBenchScene.h"
#include "support/QtBenchMain.h"

namespace {

void BM_WidgetRepaint(benchmark::State& state) {
  static TScene scene;
  auto* widget = static_cast<TQtGraphicsViewWidget*>(QtViewWidget(*scene.view));
  widget->resize(1920 + 40, 1080 + 40);
  widget->show();
  QApplication::processEvents();
  const int32_t n = static_cast<int32_t>(state.range(0)), d = static_cast<int32_t>(state.range(1));
  scene.view->SetZoom(n, d);
  QApplication::processEvents();
  for (auto _ : state) widget->viewport()->repaint();
  state.SetLabel(std::to_string(widget->viewport()->width()) + "x" +
                 std::to_string(widget->viewport()->height()) + " at " + std::to_string(n) + "/" +
                 std::to_string(d));
}
BENCHMARK(BM_WidgetRepaint)->Args({270, 1000})->Args({1, 1})->Args({4, 1})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunQtViewBenchmarks(argc, argv); }
