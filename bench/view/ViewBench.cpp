// The image view's repaint of a 1920 x 1080 client over a 24-megapixel photo at the zoom steps,
// one frame of dragging, and undo / redo of a small pixel step on that photo; the same paints of
// a photo with a Display P3 profile, converted for an sRGB monitor.
#include <benchmark/benchmark.h>

#include "ViewBenchScene.h"
#include "documents/WKGraphicsCommandState.h"
#include "imaging/WKColorProfile.h"
#include "support/RatioReporter.h"
#include "support/TestColorProfiles.h"

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

// The photo's profile for the colour-managed cases; untagged again afterwards.
class TProfiled {
 public:
  explicit TProfiled(std::vector<uint8_t> profile) { Scene().Doc().Metadata.Embedded.IccProfile = std::move(profile); }
  ~TProfiled() { Scene().Doc().Metadata.Embedded.IccProfile.clear(); }
};

// The first paint of a whole 1920 x 1080 view after a Display P3 photo opened: the conversion
// is made for the profile, then every painted pixel converted. Two different wide-gamut
// profiles take turns, so that every paint is a first one.
void BM_FirstColorManagedPaint(benchmark::State& state) {
  TScene& scene = Scene();
  const int32_t n = static_cast<int32_t>(state.range(0)), d = static_cast<int32_t>(state.range(1));
  scene.view->SetZoom(n, d);
  const std::vector<uint8_t> profiles[2] = {test_profiles::DisplayP3Profile(), test_profiles::WideRgbProfile()};
  TRegionWindow target;
  target.region = TWKRegion(Rect(0, 0, 1920, 1080));
  int turn = 0;
  for (auto _ : state) {
    scene.Doc().Metadata.Embedded.IccProfile = profiles[turn ^= 1];
    scene.view->Paint(target);
    benchmark::ClobberMemory();
  }
  scene.Doc().Metadata.Embedded.IccProfile.clear();
  state.SetLabel(std::to_string(n) + "/" + std::to_string(d));
}
BENCHMARK(BM_FirstColorManagedPaint)->Args({270, 1000})->Args({1, 1})->Args({4, 1})
    ->Unit(benchmark::kMillisecond)->UseRealTime();

// Later paints of the whole view, the conversion already made.
void BM_ColorManagedRepaint(benchmark::State& state) {
  const TProfiled p3(test_profiles::DisplayP3Profile());
  BM_RepaintFullView(state);
}
BENCHMARK(BM_ColorManagedRepaint)->Args({270, 1000})->Args({1, 1})->Args({4, 1})
    ->Unit(benchmark::kMillisecond)->UseRealTime();

// One frame of dragging a Display P3 photo: only the two uncovered strips are converted.
void BM_ColorManagedDragFrame(benchmark::State& state) {
  const TProfiled p3(test_profiles::DisplayP3Profile());
  BM_DragFrame(state);
}
BENCHMARK(BM_ColorManagedDragFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

// What a photo tagged sRGB costs once, at its first paint: finding that it renders like sRGB.
void BM_SrgbProfileCheck(benchmark::State& state) {
  const std::vector<uint8_t> srgb = test_profiles::SrgbProfile();
  for (auto _ : state) {
    TWKDisplayTransform transform;
    transform.Prepare(srgb, {});
    if (!transform.Identity()) state.SkipWithError("sRGB was not recognised");
  }
}
BENCHMARK(BM_SrgbProfileCheck)->Unit(benchmark::kMicrosecond);

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

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("P3 drag frame / untagged drag frame", "BM_ColorManagedDragFrame", "BM_DragFrame");
  return 0;
}
