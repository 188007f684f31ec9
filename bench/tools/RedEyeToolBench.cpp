// A red-eye click through the running tool on a 24-megapixel photo: the view's mouse-down to
// the corrected pixels and the stored undo step; and a slider step that re-tunes it.
#include <benchmark/benchmark.h>

#include "RedEyeScene.h"
#include "support/EditorProgram.h"
#include "tools/eyes/RedEyeTool.h"

namespace {

using namespace redeye_bench;

struct TProgram : TEditorProgram {
  TWKRedEyeTool* Tool = nullptr;

  TProgram() {
    Tool = CreateTool<TWKRedEyeTool>(&App);
    Editor->SetCurrentTool(Tool);
    Open(WriteScene("image/png", BenchFile("qm_redeye_bench", ".png")));
  }
};

TProgram& Program() {
  static TProgram program;
  return program;
}

void BM_RedEyeToolClick(benchmark::State& state) {
  TProgram& p = Program();
  if (p.Document() == nullptr) {
    state.SkipWithError("the photo did not open");
    return;
  }
  const TPoint client = p.View()->MapMode().DocToDev(Pupil);
  for (auto _ : state) {
    p.View()->MouseDown(mbLeft, 0, client);
    p.View()->MouseUp(mbLeft, 0, client);
    state.PauseTiming();
    p.Editor->Undo();
    state.ResumeTiming();
  }
  state.counters["selected"] = static_cast<double>(p.Tool->Selection().Region().Count());
}
BENCHMARK(BM_RedEyeToolClick)->Unit(benchmark::kMillisecond);

void BM_RedEyeToolSliderStep(benchmark::State& state) {
  TProgram& p = Program();
  if (p.Document() == nullptr) {
    state.SkipWithError("the photo did not open");
    return;
  }
  const TPoint client = p.View()->MapMode().DocToDev(Pupil);
  p.View()->MouseDown(mbLeft, 0, client);
  int32_t value = 0;
  for (auto _ : state) {
    value = (value + 17) & 255;
    p.Tool->BrightnessTrackBarChange(value == p.Tool->Brightness() ? value + 1 : value);
  }
  state.counters["history"] = p.Document()->History().Count();
  p.Editor->Undo();
}
BENCHMARK(BM_RedEyeToolSliderStep)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
