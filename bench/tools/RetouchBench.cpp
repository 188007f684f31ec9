// The retouch brushes on the 24-megapixel scene: the emphasis brush's whole-image preparation
// (source copy, fine and coarse blur on every core) beside two 11 × 11 box blurs of OpenCV on the
// same pixels, the plain column-by-column blur it replaces, one size-64 emphasis dab and one
// size-100 eye colour dab inside a running stroke, and a refresh of the eye colour palette.
#include <benchmark/benchmark.h>

#include "RedEyeScene.h"
#include "support/EditorProgram.h"
#include "support/RatioReporter.h"
#include "tools/retouch/EmphasisTool.h"
#include "tools/retouch/EyeColorTool.h"

#ifdef QM_BENCH_OPENCV
#include <opencv2/imgproc.hpp>
#endif

namespace {

using redeye_bench::H;
using redeye_bench::Pupil;
using redeye_bench::W;

struct TProgram : TEditorProgram {
  TWKEmphasisTool* Emphasis = nullptr;
  TWKEyeColorTool* EyeColor = nullptr;
  TProgram() {
    Emphasis = CreateTool<TWKEmphasisTool>(&App, nullptr);
    EyeColor = CreateTool<TWKEyeColorTool>(&App, nullptr);
    Open(redeye_bench::WriteScene("image/tiff", BenchFile("qm_retouch_bench", ".tif")));
  }
};

TProgram& Program() {
  static TProgram program;
  return program;
}

const TWKPixels* Photo(benchmark::State& state) {
  if (Program().Document() != nullptr) return Program().Document()->CurrentPixels();
  state.SkipWithError("the photo did not open");
  return nullptr;
}

// Naturalness 1, smoothing 5 (the defaults): the copy and both blurs, as after another tool's edit.
void BM_EmphasisPrepare(benchmark::State& state) {
  const TWKPixels* photo = Photo(state);
  if (photo == nullptr) return;
  TFrequencyRange range;
  for (auto _ : state) {
    range.MarkStale(2);
    range.Compute(*photo, 1, 5);
  }
}
BENCHMARK(BM_EmphasisPrepare)->Unit(benchmark::kMillisecond)->UseRealTime();

// The plain blur of the same photo with radius 5, once: the arithmetic as stated, column first.
void BM_PlainBlur5(benchmark::State& state) {
  const TWKPixels* photo = Photo(state);
  if (photo == nullptr) return;
  std::vector<uint8_t> out(static_cast<size_t>(W) * H * 3);
  for (auto _ : state) BoxBlurPlain(photo->Bits, photo->RowBytes, W, H, 5, out.data(), W * 3);
}
BENCHMARK(BM_PlainBlur5)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

#ifdef QM_BENCH_OPENCV
// Two normalised 11 × 11 box filters (radius 5) over the same pixels, borders replicated.
void BM_OpenCvBlur11Twice(benchmark::State& state) {
  const TWKPixels* photo = Photo(state);
  if (photo == nullptr) return;
  const cv::Mat source(H, W, CV_8UC3, photo->Bits, static_cast<size_t>(photo->RowBytes));
  cv::Mat fine, coarse;
  for (auto _ : state) {
    cv::blur(source, fine, cv::Size(11, 11));
    cv::blur(source, coarse, cv::Size(11, 11));
    benchmark::DoNotOptimize(coarse.data);
  }
}
BENCHMARK(BM_OpenCvBlur11Twice)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

// One mouse move of a running size-64 emphasis stroke: the stamp's merge and its blend toward
// the filtered image.
void BM_EmphasisDab64(benchmark::State& state) {
  if (Photo(state) == nullptr) return;
  TProgram& p = Program();
  p.Editor->SetCurrentTool(p.Emphasis);
  p.Emphasis->SetSize(64);
  p.View()->MouseMove(0, p.Client(Pupil));  // prepares the decomposition
  p.View()->MouseDown(mbLeft, ssLeft, p.Client(Pupil));
  int32_t i = 0;
  for (auto _ : state) p.View()->MouseMove(ssLeft, p.Client({Pupil.X - 200 + (i++ % 400), Pupil.Y}));
  p.View()->MouseUp(mbLeft, 0, p.Client(Pupil));
  p.Editor->Undo();
}
BENCHMARK(BM_EmphasisDab64)->Unit(benchmark::kMicrosecond);

// One mouse move of a running size-100 eye colour stroke: the recolouring stamp, then the
// palette's brightness from the mean under the brush.
void BM_EyeColorDab100(benchmark::State& state) {
  if (Photo(state) == nullptr) return;
  TProgram& p = Program();
  p.Editor->SetCurrentTool(p.EyeColor);
  p.EyeColor->SetSize(100);
  p.View()->MouseDown(mbLeft, ssLeft, p.Client(Pupil));
  int32_t i = 0;
  for (auto _ : state) p.View()->MouseMove(ssLeft, p.Client({Pupil.X - 200 + (i++ % 400), Pupil.Y}));
  p.View()->MouseUp(mbLeft, 0, p.Client(Pupil));
  p.Editor->Undo();
}
BENCHMARK(BM_EyeColorDab100)->Unit(benchmark::kMicrosecond);

// Another plane: the 256 × 256 palette drawn again and the colours taken from it.
void BM_PaletteRefresh(benchmark::State& state) {
  TMakeUpPalette palette(TPoint{128, 128}, 128, TMakeUpPalette::PlaneRed);
  int32_t plane = 1;
  for (auto _ : state) {
    plane = plane % 3 + 1;
    palette.SetPlane(plane);
  }
}
BENCHMARK(BM_PaletteRefresh)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("emphasis preparation / two OpenCV 11 x 11 blurs", "BM_EmphasisPrepare", "BM_OpenCvBlur11Twice");
  benchmark::Shutdown();
  return 0;
}
