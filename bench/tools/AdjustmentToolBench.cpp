// The colour adjustment on a 24-megapixel photo: a slider step re-applied to the reduced
// preview, Ok applying the adjustment to the full photo as one step, and the lookup of every
// pixel against OpenCV's per-channel table lookup of the same image, in the same run.
#include <benchmark/benchmark.h>

#include <chrono>

#include "PhotoProgram.h"
#include "support/RatioReporter.h"
#include "tools/geometry/ResizeTool.h"
#include "tools/retouch/AdjustmentTool.h"

#ifdef QM_BENCH_OPENCV
#include <opencv2/core.hpp>
#endif

namespace {

using namespace tool_bench;

struct TProgram : TPhotoProgram {
  TWKResizeTool* Resize = nullptr;
  TWKAdjustmentTool* Tool = nullptr;
  bool Ready = false;
  TProgram() {
    Resize = CreateTool<TWKResizeTool>(&App);
    Tool = CreateTool<TWKAdjustmentTool>(&App, Resize);
    Editor->SetCurrentTool(Tool);
    Ready = OpenPhoto();
  }
};

TProgram& Program() {
  static TProgram program;
  return program;
}

// One slider step of the preview: the value changes, the idle pass applies it.
void BM_PreviewStep(benchmark::State& state) {
  TProgram& p = Program();
  if (!p.Ready) return state.SkipWithError("no photo");
  p.Tool->SetAdjustmentType(int32_t(state.range(0)));
  p.Tool->StartAdjustment();
  if (!p.Tool->Started() || !p.Tool->Downscaled()) return state.SkipWithError("no reduced preview");
  int32_t value = 0;
  for (auto _ : state) {
    value = value >= 40 ? -40 : value + 7;
    p.Tool->SetRed(value);
    p.Tool->UpdateControls();
  }
  state.counters["preview_px"] = double(p.Document()->CurrentImage.Width()) * p.Document()->CurrentImage.Height();
  p.Tool->CancelAdjustment();
}

// Ok after a reduced preview: the reduction undone, the full photo adjusted, the step stored.
void BM_FinishOnFullPhoto(benchmark::State& state) {
  TProgram& p = Program();
  if (!p.Ready) return state.SkipWithError("no photo");
  p.Tool->SetAdjustmentType(int32_t(state.range(0)));
  for (auto _ : state) {
    p.Tool->StartAdjustment();
    if (!p.Tool->Started()) return state.SkipWithError("the cycle did not start");
    p.Tool->SetRed(20);
    p.Tool->SetBlue(-10);
    p.Tool->UpdateControls();
    const auto t0 = std::chrono::steady_clock::now();
    p.Tool->FinishAdjustment();
    const auto t1 = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    if (p.Document()->History().Count() != 1) return state.SkipWithError("Ok stored no single step");
    p.Editor->Undo();
  }
  state.counters["photo_px"] = double(p.Document()->CurrentImage.Width()) * p.Document()->CurrentImage.Height();
}

std::array<TLookupTable, 3> Tables() {
  std::array<TLookupTable, 3> t;
  BuildBrightnessTable(-12, t[0]);
  BuildGammaTable(20, t[1]);
  BuildContrastTable(15, 110.0, t[2]);
  return t;
}

void BM_LookupTables24MP(benchmark::State& state) {
  TProgram& p = Program();
  if (!p.Ready) return state.SkipWithError("no photo");
  const auto t = Tables();
  TWKGraphicsDocument& doc = *p.Document();
  for (auto _ : state) ApplyLookupTables(doc.Backup, *doc.CurrentPixels(), t[0], t[1], t[2]);
  doc.RefreshBackup();
}

#ifdef QM_BENCH_OPENCV
// cv::LUT with a three-channel table: each channel through its own 256 entries.
void BM_OpenCVLut24MP(benchmark::State& state) {
  TProgram& p = Program();
  if (!p.Ready) return state.SkipWithError("no photo");
  const auto t = Tables();
  cv::Mat lut(1, 256, CV_8UC3);
  for (int i = 0; i < 256; ++i) lut.at<cv::Vec3b>(0, i) = cv::Vec3b(t[2][i], t[1][i], t[0][i]);
  TWKGraphicsDocument& doc = *p.Document();
  const cv::Mat source(doc.Backup.Height, doc.Backup.Width, CV_8UC3, doc.Backup.Bits, size_t(doc.Backup.RowBytes));
  const TWKPixels& d = *doc.CurrentPixels();
  cv::Mat dest(d.Height, d.Width, CV_8UC3, d.Bits, size_t(d.RowBytes));
  for (auto _ : state) cv::LUT(source, lut, dest);
  doc.RefreshBackup();
}
#endif

void Types(benchmark::internal::Benchmark* b) {
  b->ArgName("type")->Arg(AdjustBrightness)->Arg(AdjustContrast)->Arg(AdjustSaturation);
}

}  // namespace

BENCHMARK(BM_PreviewStep)->Apply(Types)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_FinishOnFullPhoto)->Apply(Types)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(3.0);
BENCHMARK(BM_LookupTables24MP)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
#ifdef QM_BENCH_OPENCV
BENCHMARK(BM_OpenCVLut24MP)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
#endif

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("lookup of 24 MP / OpenCV cv::LUT", "BM_LookupTables24MP", "BM_OpenCVLut24MP");
  benchmark::Shutdown();
  return 0;
}
