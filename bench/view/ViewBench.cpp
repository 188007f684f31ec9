// The image view's repaint of a 1920 x 1080 client over a 24-megapixel photo at the zoom steps,
// one frame of dragging, and undo / redo of a small pixel step on that photo.
#include <benchmark/benchmark.h>

#include "ViewBenchScene.h"
#include "documents/WKGraphicsCommandState.h"

namespace {

TScene& Scene() {
  static TScene scene;
  return scene;
}

void BM_RepaintFullView(benchmark::State& state) {
  TScene& scene = Scene();
  const int32_t n = static_cast<int32_t>(state.range(0)), d = static_cast<int32_t>(state.range(1));
  scene.view->SetZoom(n, d);
  TRegionWindow target;
  target.region = TWKRegion(Rect(0, 0, 1920, 1080));
  for (auto _ : state) {
    scene.view->Paint(target);
    benchmark::ClobberMemory();
  }
  state.SetLabel(std::to_string(n) + "/" + std::to_string(d));
}
BENCHMARK(BM_RepaintFullView)
    ->Args({270, 1000})  // about the fit of 6000 x 4000 into 1920 x 1080
    ->Args({1, 4})->Args({1, 2})->Args({1, 1})->Args({2, 1})->Args({4, 1})->Args({16, 1})
    ->Unit(benchmark::kMillisecond);

// One frame of dragging by (8, 8): the view moves and paints the two uncovered strips.
void BM_DragFrame(benchmark::State& state) {
  TScene& scene = Scene();
  scene.view->SetZoom(1, 1);
  TRegionWindow target;
  int32_t step = -8;
  for (auto _ : state) {
    int32_t dx = step, dy = step;
    scene.view->ClampScroll(dx, dy);
    if (dx == 0 && dy == 0) {
      step = -step;
      continue;
    }
    scene.view->ScrollBy(dx, dy);
    target.region = TWKRegion(Rect(0, 0, 1920, 8));
    target.region.Add(Rect(0, 0, 8, 1080));
    scene.view->Paint(target);
  }
  state.SetLabel("1/1, strips 1920x8 + 8x1080");
}
BENCHMARK(BM_DragFrame)->Unit(benchmark::kMicrosecond);

// Undo then redo of a 64 x 64 pixel step on the 24-megapixel photo.
void BM_UndoRedoSmallStep(benchmark::State& state) {
  TScene& scene = Scene();
  TWKGraphicsDocument& doc = scene.Doc();
  TWKPixels& pixels = *doc.CurrentPixels();
  const TRect rect = Bounds(3000, 2000, 64, 64);
  for (int32_t y = rect.Top; y < rect.Bottom; ++y)
    for (int32_t x = rect.Left; x < rect.Right; ++x) pixels.Pixel(x, y)->Red = 255;
  TWKGraphicsCommandState step(nullptr, rect, doc);
  for (auto _ : state) {
    step.Undo();
    step.Redo();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_UndoRedoSmallStep)->Unit(benchmark::kMicrosecond);

// For comparison: refreshing the whole backup, as an undo that copies the full image would.
void BM_WholeBackupCopy(benchmark::State& state) {
  TWKGraphicsDocument& doc = Scene().Doc();
  for (auto _ : state) {
    doc.RefreshBackup();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_WholeBackupCopy)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
