// The brush family on a 24-megapixel photo through the running tools: one size-100 dab (pupil and
// darkening brush), the cost of a dab as a stroke grows (the stroke mask merges each stamp into
// its own square, set beside a mask that grows to the union and copies itself), the averaging
// cache's start and a size-64 dab of means (row sums beside the pixel-by-pixel sum), and a gleam
// over the eye.
#include <benchmark/benchmark.h>

#include "BrushScene.h"
#include "imaging/WKPageMemory.h"
#include "support/RatioReporter.h"
#include "tools/brush/NeighbourhoodAverage.h"

namespace {

using namespace brush_bench;

TProgram& Program() {
  static TProgram program;
  return program;
}

bool Ready(benchmark::State& state) {
  if (Program().Document() != nullptr) return true;
  state.SkipWithError("the photo did not open");
  return false;
}

// Press and release: the stroke's transaction, the stamp, its undo step and the backup's update.
// As the first change after the open, the original and the backup still share the current image's
// pixels and take copies of their own first; the current image is then in fresh memory as a
// decode leaves it, and no freed blocks are kept, as in a program just started.
void PupilDabs(benchmark::State& state, bool firstAfterOpen) {
  if (!Ready(state)) return;
  TProgram& p = Program();
  p.Editor->SetCurrentTool(p.PupilTool);
  p.PupilTool->SetSize(100);
  const TPoint client = p.Client(Pupil);
  for (auto _ : state) {
    if (firstAfterOpen) {
      state.PauseTiming();
      TWKGraphicsDocument& doc = *p.Document();
      ReleaseKeptPixelMemory();
      TWKLTBitmap decoded;
      if (!decoded.AssignPixels(*doc.CurrentPixels())) {
        state.SkipWithError("no memory for the photo");
        return;
      }
      doc.CurrentImage.Swap(decoded);
      doc.SharePixels();
      decoded.FreeStorage();
      state.ResumeTiming();
    }
    p.View()->MouseDown(mbLeft, ssLeft, client);
    p.View()->MouseUp(mbLeft, 0, client);
    state.PauseTiming();
    p.Editor->Undo();
    state.ResumeTiming();
  }
}
void BM_PupilDab100(benchmark::State& state) { PupilDabs(state, false); }
void BM_PupilDab100FirstAfterOpen(benchmark::State& state) { PupilDabs(state, true); }
BENCHMARK(BM_PupilDab100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PupilDab100FirstAfterOpen)->Unit(benchmark::kMillisecond);

// One mouse move inside a running stroke of the size-100 darkening brush: the stamp's merge into
// the stroke mask and its blend.
void BM_BrushDab100InStroke(benchmark::State& state) {
  if (!Ready(state)) return;
  TProgram& p = Program();
  p.Editor->SetCurrentTool(p.Brush);
  p.Brush->SetSize(100);
  p.View()->MouseDown(mbLeft, ssLeft, p.Client(Pupil));
  int32_t i = 0;
  for (auto _ : state) {
    const TPoint at{Pupil.X - 200 + (i++ % 400), Pupil.Y};
    p.View()->MouseMove(ssLeft, p.Client(at));
  }
  p.View()->MouseUp(mbLeft, 0, p.Client(Pupil));
  p.Editor->Undo();
}
BENCHMARK(BM_BrushDab100InStroke)->Unit(benchmark::kMillisecond);

// A stroke of n size-100 dabs across the photo through the tool, per dab: constant when a stamp
// costs only its square.
void BM_StrokePerDab(benchmark::State& state) {
  if (!Ready(state)) return;
  TProgram& p = Program();
  p.Editor->SetCurrentTool(p.Brush);
  p.Brush->SetSize(100);
  const int32_t dabs = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    p.View()->MouseDown(mbLeft, ssLeft, p.Client({100, 100}));
    for (int32_t i = 1; i < dabs; ++i)
      p.View()->MouseMove(ssLeft, p.Client({100 + i * (W - 200) / dabs, 100 + i * (H - 200) / dabs}));
    state.PauseTiming();
    p.View()->MouseUp(mbLeft, 0, p.Client({W - 100, H - 100}));
    p.Editor->Undo();
    state.ResumeTiming();
  }
  state.counters["per_dab"] =
      benchmark::Counter(static_cast<double>(dabs), benchmark::Counter::kIsIterationInvariantRate |
                                                               benchmark::Counter::kInvert);
}
BENCHMARK(BM_StrokePerDab)->Arg(10)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

// The stroke mask alone: n size-100 stamps merged into a mask sized once for the photo (its pages
// zeroed where first touched), as the brush does, ...
void BM_StrokeMaskSizedOnce(benchmark::State& state) {
  TWKPixelMask dab;
  BuildSoftMask(dab, 100, 128, 255);
  const int32_t dabs = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    TWKPixelMask stroke;
    stroke.SetBounds(0, 0, W, H);
    for (int32_t i = 0; i < dabs; ++i) {
      dab.Left = 50 + i * (W - 200) / dabs;
      dab.Top = 50 + i * (H - 200) / dabs;
      MergeMaskMaximum(stroke, dab);
    }
    benchmark::DoNotOptimize(stroke.Bits);
  }
  state.counters["per_dab"] =
      benchmark::Counter(static_cast<double>(dabs), benchmark::Counter::kIsIterationInvariantRate |
                                                               benchmark::Counter::kInvert);
}
BENCHMARK(BM_StrokeMaskSizedOnce)->Arg(10)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

// ... and merged into a mask that grows to the union of the stroke, copying itself whenever it
// grows.
void BM_StrokeMaskGrowing(benchmark::State& state) {
  TWKPixelMask dab;
  BuildSoftMask(dab, 100, 128, 255);
  const int32_t dabs = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    TWKPixelMask stroke;
    for (int32_t i = 0; i < dabs; ++i) {
      dab.Left = 50 + i * (W - 200) / dabs;
      dab.Top = 50 + i * (H - 200) / dabs;
      stroke.Merge(dab);
    }
    benchmark::DoNotOptimize(stroke.Bits);
  }
  state.counters["per_dab"] =
      benchmark::Counter(static_cast<double>(dabs), benchmark::Counter::kIsIterationInvariantRate |
                                                               benchmark::Counter::kInvert);
}
BENCHMARK(BM_StrokeMaskGrowing)->Arg(10)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

// Sizing the averaging cache for the whole photo, as a smudge stroke begins, and releasing it.
void BM_AverageCacheStartAndEnd(benchmark::State& state) {
  TWKAverageCache cache;
  for (auto _ : state) {
    cache.SetBounds(Rect(0, 0, W, H));
    cache.Clear();
  }
}
BENCHMARK(BM_AverageCacheStartAndEnd)->Unit(benchmark::kMicrosecond);

// The means of a fresh size-64 stamp with a disc of 64 (65 × 65 pixels, ~3200 neighbours each).
void BM_AverageDab64RowSums(benchmark::State& state) {
  if (!Ready(state)) return;
  const TWKPixels& source = *Program().Document()->CurrentPixels();
  TWKPixelMask disc;
  BuildDiscMask(disc, 64, 255);
  *disc.ByteAddress(0, 0) = 0;
  const std::vector<TMaskRun> runs = MaskRuns(disc);
  TWKAverageCache cache;
  for (auto _ : state) {
    cache.SetBounds(Rect(0, 0, W, H));
    CacheDiscAverages(source, runs, BrushRect(Pupil, 64), cache);
  }
}
BENCHMARK(BM_AverageDab64RowSums)->Unit(benchmark::kMillisecond);

void BM_AverageDab64PerPixel(benchmark::State& state) {
  if (!Ready(state)) return;
  const TWKPixels& source = *Program().Document()->CurrentPixels();
  TWKPixelMask disc;
  BuildDiscMask(disc, 64, 255);
  *disc.ByteAddress(0, 0) = 0;
  const std::vector<TMaskRun> runs = MaskRuns(disc);
  const TRect stamp = BrushRect(Pupil, 64);
  for (auto _ : state) {
    TBGRPixel mean;
    for (int32_t y = stamp.Top; y < stamp.Bottom; ++y)
      for (int32_t x = stamp.Left; x < stamp.Right; ++x) DiscAverage(source, runs, x, y, mean);
    benchmark::DoNotOptimize(mean);
  }
}
BENCHMARK(BM_AverageDab64PerPixel)->Unit(benchmark::kMillisecond);

// A 90 × 60 gleam dragged over the pupil: press, move, release with the step it stores.
void BM_GleamOverEye(benchmark::State& state) {
  if (!Ready(state)) return;
  TProgram& p = Program();
  p.Editor->SetCurrentTool(p.Glare);
  const TPoint end{Pupil.X + 45, Pupil.Y + 30};
  for (auto _ : state) {
    p.View()->MouseDown(mbLeft, ssLeft, p.Client(Pupil));
    p.View()->MouseMove(ssLeft, p.Client(end));
    p.View()->MouseUp(mbLeft, 0, p.Client(end));
    state.PauseTiming();
    p.Editor->Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_GleamOverEye)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("size-100 dab, first after the open / later", "BM_PupilDab100FirstAfterOpen",
                      "BM_PupilDab100");
  reporter.PrintRatio("size-64 means, row sums / pixel by pixel", "BM_AverageDab64RowSums",
                      "BM_AverageDab64PerPixel");
  reporter.PrintRatio("400-stamp stroke mask, sized once / growing", "BM_StrokeMaskSizedOnce",
                      "BM_StrokeMaskGrowing");
  benchmark::Shutdown();
  return 0;
}
