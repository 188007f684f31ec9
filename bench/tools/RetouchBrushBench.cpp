// The smudge and undo brushes and the original-image comparison on the 24-megapixel scene,
// through the running tools: a smudge stroke's first size-64 dab (the stroke's start, the means of
// the dab by row sums, its undo step) and its later dabs as the pointer moves on, an undo-brush
// dab, and the swap to the original and back beside one copy of the whole image.
#include <benchmark/benchmark.h>

#include <cstring>

#include "BrushScene.h"
#include "support/RatioReporter.h"
#include "tools/brush/WKSmudgeTool.h"
#include "tools/brush/WKUndoBrushTool.h"
#include "tools/original/WKOriginalImageTool.h"

namespace {

using namespace brush_bench;

struct TRetouchProgram : TEditorProgram {
  TWKSmudgeTool* Smudge = nullptr;
  TWKUndoBrushTool* UndoBrush = nullptr;
  TWKOriginalImageTool* Original = nullptr;

  TRetouchProgram() {
    Smudge = CreateTool<TWKSmudgeTool>(&App, nullptr);
    UndoBrush = CreateTool<TWKUndoBrushTool>(&App, nullptr);
    Original = CreateTool<TWKOriginalImageTool>(&App, nullptr, nullptr);
    Open(redeye_bench::WriteScene("image/tiff", BenchFile("qm_retouch_bench", ".tif")));
    Smudge->SetSize(64);
    UndoBrush->SetSize(64);
  }
};

TRetouchProgram& Program() {
  static TRetouchProgram program;
  return program;
}

bool Ready(benchmark::State& state) {
  if (Program().Document() != nullptr) return true;
  state.SkipWithError("the photo did not open");
  return false;
}

// Press and release with the tool: the stroke begins (for the smudge the means' cache over the
// whole image), one dab, the undo step; the undo between runs is not timed.
void ClickDab(benchmark::State& state, TWKDrawTool* tool) {
  if (!Ready(state)) return;
  TRetouchProgram& p = Program();
  p.Editor->SetCurrentTool(tool);
  const TPoint client = p.Client(Pupil);
  for (auto _ : state) {
    p.View()->MouseDown(mbLeft, ssLeft, client);
    p.View()->MouseUp(mbLeft, 0, client);
    state.PauseTiming();
    p.Editor->Undo();
    state.ResumeTiming();
  }
}

void BM_SmudgeFirstDab64(benchmark::State& state) { ClickDab(state, Program().Smudge); }
BENCHMARK(BM_SmudgeFirstDab64)->Unit(benchmark::kMillisecond);

// One mouse move of 4 pixels inside a running smudge stroke: the new pixels' means and the blend.
void BM_SmudgeLaterDab64(benchmark::State& state) {
  if (!Ready(state)) return;
  TRetouchProgram& p = Program();
  p.Editor->SetCurrentTool(p.Smudge);
  p.View()->MouseDown(mbLeft, ssLeft, p.Client({Pupil.X - 800, Pupil.Y}));
  int32_t i = 0;
  for (auto _ : state) {
    const TPoint at{Pupil.X - 800 + 4 * (i++ % 400), Pupil.Y};
    p.View()->MouseMove(ssLeft, p.Client(at));
  }
  p.View()->MouseUp(mbLeft, 0, p.Client(Pupil));
  p.Editor->Undo();
}
BENCHMARK(BM_SmudgeLaterDab64)->Unit(benchmark::kMillisecond);

void BM_UndoBrushDab64(benchmark::State& state) { ClickDab(state, Program().UndoBrush); }
BENCHMARK(BM_UndoBrushDab64)->Unit(benchmark::kMillisecond);

// O pressed and released: both tool changes and the image objects' swap, without painting.
void BM_OriginalSwap(benchmark::State& state) {
  if (!Ready(state)) return;
  TRetouchProgram& p = Program();
  p.Editor->SetCurrentTool(p.Smudge);
  for (auto _ : state) {
    p.View()->KeyDown(TWKOriginalImageToolControl::kShowKey, 0);
    p.View()->KeyUp(TWKOriginalImageToolControl::kShowKey, 0);
  }
}
BENCHMARK(BM_OriginalSwap)->Unit(benchmark::kMicrosecond);

// What a swap that copied the original over the current image would cost at least.
void BM_WholeImageCopy(benchmark::State& state) {
  if (!Ready(state)) return;
  const TWKPixels& original = *Program().Document()->OriginalPixels();
  TWKPixelBuffer copy;
  copy.Allocate(FormatBGR24, original.BoundsRect());
  for (auto _ : state) {
    copy.Assign(original);
    benchmark::DoNotOptimize(copy.Bits);
  }
}
BENCHMARK(BM_WholeImageCopy)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("original swap / one whole-image copy", "BM_OriginalSwap", "BM_WholeImageCopy");
  benchmark::Shutdown();
  return 0;
}
