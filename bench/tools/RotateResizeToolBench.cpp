// The rotate/flip and resize tools on a 24-megapixel photo: a quarter turn of both images with
// the backup refreshed, against OpenCV doing the same work; the Lanczos resize to 1.5 megapixels
// against libvips' resize and reduce of the same image, in the same run.
#include <benchmark/benchmark.h>

#include "PhotoProgram.h"
#include "support/RatioReporter.h"
#include "tools/geometry/ResizeTool.h"
#include "tools/geometry/RotateTool.h"

#include "support/VipsPeer.h"
#ifdef QM_BENCH_OPENCV
#include <opencv2/core.hpp>
#endif

namespace {

using namespace tool_bench;

struct TProgram : TPhotoProgram {
  TWKRotateTool* Rotate = nullptr;
  bool Ready = false;
  TProgram() {
    Rotate = CreateTool<TWKRotateTool>(&App);
    Editor->SetCurrentTool(Rotate);
    Ready = OpenPhoto();
  }
};

TProgram& Program() {
  static TProgram program;
  return program;
}

constexpr int32_t SmallWidth = 1500, SmallHeight = 1000;

// The tool's step: both images turned into new storage, the backup refreshed, the step stored.
void BM_ToolQuarterTurn(benchmark::State& state) {
  TProgram& p = Program();
  if (!p.Ready) return state.SkipWithError("no photo");
  for (auto _ : state)
    if (!p.Rotate->RotateRight()) return state.SkipWithError("the turn did nothing");
  state.counters["history"] = p.Document()->History().Count();
}

void BM_ToolFlipVertical(benchmark::State& state) {
  TProgram& p = Program();
  if (!p.Ready) return state.SkipWithError("no photo");
  for (auto _ : state)
    if (!p.Rotate->FlipVertical()) return state.SkipWithError("the flip did nothing");
}

// The Lanczos resize of the photo into a new bitmap (the container's resize).
void BM_LanczosResize24To1_5(benchmark::State& state) {
  TProgram& p = Program();
  if (!p.Ready) return state.SkipWithError("no photo");
  for (auto _ : state) {
    TWKLTBitmap small;
    p.Document()->CurrentImage.ResizeInto(SmallWidth, SmallHeight, small);
    benchmark::DoNotOptimize(small.Pixels());
  }
}

#ifdef QM_BENCH_OPENCV
cv::Mat MatOver(const TWKPixels& p) { return cv::Mat(p.Height, p.Width, CV_8UC3, p.Bits, size_t(p.RowBytes)); }

// The same work as the tool's turn: both images turned into new matrices, one copied on.
void BM_OpenCVQuarterTurnTwoImagesAndCopy(benchmark::State& state) {
  TProgram& p = Program();
  if (!p.Ready) return state.SkipWithError("no photo");
  const cv::Mat current = MatOver(*p.Document()->CurrentPixels());
  const cv::Mat original = MatOver(*p.Document()->OriginalPixels());
  for (auto _ : state) {
    cv::Mat a, b, backup;
    cv::rotate(current, a, cv::ROTATE_90_CLOCKWISE);
    cv::rotate(original, b, cv::ROTATE_90_CLOCKWISE);
    a.copyTo(backup);
    benchmark::DoNotOptimize(backup.data);
  }
}
#endif

#ifdef QM_BENCH_VIPS
void RunVips(benchmark::State& state, bool reduce) {
  TProgram& p = Program();
  if (!p.Ready) return state.SkipWithError("no photo");
  const TWKPixels& source = *p.Document()->CurrentPixels();
  const double h = double(source.Width) / SmallWidth, v = double(source.Height) / SmallHeight;
  const auto lanczos = [&](VipsImage* in, VipsImage** out) {
    return reduce ? vips_reduce(in, out, h, v, "kernel", VIPS_KERNEL_LANCZOS3, nullptr)
                  : vips_resize(in, out, 1.0 / h, "vscale", 1.0 / v, "kernel", VIPS_KERNEL_LANCZOS3, nullptr);
  };
  for (auto _ : state)
    if (!VipsIntoMemory(state, source, lanczos)) return;
}
void BM_VipsResize24To1_5(benchmark::State& state) { RunVips(state, false); }
void BM_VipsReduce24To1_5(benchmark::State& state) { RunVips(state, true); }
#endif

void Case(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
}

}  // namespace

BENCHMARK(BM_ToolQuarterTurn)->Apply(Case);
BENCHMARK(BM_ToolFlipVertical)->Apply(Case);
#ifdef QM_BENCH_OPENCV
BENCHMARK(BM_OpenCVQuarterTurnTwoImagesAndCopy)->Apply(Case);
#endif
BENCHMARK(BM_LanczosResize24To1_5)->Apply(Case);
#ifdef QM_BENCH_VIPS
BENCHMARK(BM_VipsResize24To1_5)->Apply(Case);
BENCHMARK(BM_VipsReduce24To1_5)->Apply(Case);
#endif

int main(int argc, char** argv) {
  const TVipsSession vips(argv[0]);
  if (vips.Failed()) return 1;
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("tool quarter turn / OpenCV two rotates + copy", "BM_ToolQuarterTurn",
                      "BM_OpenCVQuarterTurnTwoImagesAndCopy");
  reporter.PrintRatio("Lanczos resize 24 -> 1.5 MP / vips_resize", "BM_LanczosResize24To1_5", "BM_VipsResize24To1_5");
  reporter.PrintRatio("Lanczos resize 24 -> 1.5 MP / vips_reduce", "BM_LanczosResize24To1_5", "BM_VipsReduce24To1_5");
  benchmark::Shutdown();
  return 0;
}
