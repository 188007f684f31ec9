// Resampling and whole-image geometry against peer libraries, measured in one run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>

#include <time.h>

#include "imaging/WKBitmap.h"
#include "imaging/WKGeometry.h"

#include "support/VipsPeer.h"
#ifdef QM_BENCH_OPENCV
#include <opencv2/imgproc.hpp>
#endif

namespace {

// A noisy photo-sized test image, made once per size.
const TWKPixelBuffer& Photo(int32_t w, int32_t h) {
  static TWKPixelBuffer cache[2];
  TWKPixelBuffer& p = w >= 6000 ? cache[0] : cache[1];
  if (p.Width == w && p.Height == h) return p;
  p.Allocate(FormatBGR24, Rect(0, 0, w, h));
  std::mt19937 random(42);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = p.PixelAddress(0, y);
    for (int32_t x = 0; x < w * 3; ++x)
      row[x] = static_cast<uint8_t>((x / 3 + y) / 8 + (random() & 31));
  }
  return p;
}

void SetSizes(benchmark::State& state, int32_t dw, int32_t dh) {
  state.SetLabel(std::to_string(state.range(0)) + "x" + std::to_string(state.range(1)) + " -> " +
                 std::to_string(dw) + "x" + std::to_string(dh));
}

void BM_OursLanczos(benchmark::State& state) {
  const auto& source = Photo(int32_t(state.range(0)), int32_t(state.range(1)));
  const int32_t dw = int32_t(state.range(2)), dh = int32_t(state.range(3));
  TWKPixelBuffer dest;
  dest.Allocate(FormatBGR24, Rect(0, 0, dw, dh));
  const TLanczosResampler lanczos;
  for (auto _ : state) {
    ResamplePixels(dest, dest.BoundsRect(), dest.BoundsRect(), lanczos, source.BoundsRect(),
                   source);
    benchmark::DoNotOptimize(dest.Bits);
  }
  SetSizes(state, dw, dh);
}

// The whole container operation: new storage, resampling, release of the old storage.
void BM_OursResize(benchmark::State& state) {
  const auto& source = Photo(int32_t(state.range(0)), int32_t(state.range(1)));
  TWKLTBitmap bitmap;
  for (auto _ : state) {
    state.PauseTiming();
    bitmap.AssignPixels(source);
    state.ResumeTiming();
    bitmap.Resize(int32_t(state.range(2)), int32_t(state.range(3)));
  }
  SetSizes(state, int32_t(state.range(2)), int32_t(state.range(3)));
}

#ifdef QM_BENCH_VIPS
void RunVips(benchmark::State& state, bool reduce) {
  const auto& source = Photo(int32_t(state.range(0)), int32_t(state.range(1)));
  const int32_t dw = int32_t(state.range(2)), dh = int32_t(state.range(3));
  const double hshrink = double(source.Width) / dw, vshrink = double(source.Height) / dh;
  for (auto _ : state) {
    const bool done = VipsIntoMemory(state, source, [&](VipsImage* in, VipsImage** out) {
      return reduce ? vips_reduce(in, out, hshrink, vshrink, "kernel", VIPS_KERNEL_LANCZOS3, nullptr)
                    : vips_resize(in, out, 1.0 / hshrink, "vscale", 1.0 / vshrink, "kernel",
                                  VIPS_KERNEL_LANCZOS3, nullptr);
    });
    if (!done) return;
  }
  SetSizes(state, dw, dh);
}

void BM_VipsReduce(benchmark::State& state) { RunVips(state, true); }
void BM_VipsResize(benchmark::State& state) { RunVips(state, false); }
#endif

#ifdef QM_BENCH_OPENCV
void BM_OpenCVLanczos4(benchmark::State& state) {
  const auto& source = Photo(int32_t(state.range(0)), int32_t(state.range(1)));
  const int32_t dw = int32_t(state.range(2)), dh = int32_t(state.range(3));
  const cv::Mat in(source.Height, source.Width, CV_8UC3, source.Bits, size_t(source.RowBytes));
  cv::Mat out(dh, dw, CV_8UC3);
  for (auto _ : state) {
    cv::resize(in, out, cv::Size(dw, dh), 0, 0, cv::INTER_LANCZOS4);
    benchmark::DoNotOptimize(out.data);
  }
  SetSizes(state, dw, dh);
}
#endif

void ResizeCases(benchmark::internal::Benchmark* b) {
  b->Args({6000, 4000, 3000, 2000})->Args({6000, 4000, 1500, 1000})->Args({1500, 1000, 6000, 4000});
  b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
}

void ReduceCases(benchmark::internal::Benchmark* b) {
  b->Args({6000, 4000, 3000, 2000})->Args({6000, 4000, 1500, 1000});
  b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
}

// ---- Geometry of 24 megapixels against one copy of the same bytes
//
// Every destination here is faulted in once, before timing, exactly like the copy's: the figures
// compare moving the pixels, not the kernel's handing out of fresh pages. The container
// benchmarks below include fresh pages on both sides (a turn against a clone).

constexpr int32_t GW = 6000, GH = 4000;

TWKPixelBuffer& Target(bool turned) {
  static TWKPixelBuffer straight, across;
  TWKPixelBuffer& t = turned ? across : straight;
  if (!t.Bits) {
    t.Allocate(FormatBGR24, turned ? Rect(0, 0, GH, GW) : Rect(0, 0, GW, GH));
    std::memset(t.Bits, 1, size_t(t.RowBytes) * t.Height);
  }
  return t;
}

double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Processor time of the whole process (both cores), in milliseconds.
double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void BM_Memcpy24MP(benchmark::State& state) {
  const auto& source = Photo(GW, GH);
  TWKPixelBuffer& dest = Target(false);
  const size_t bytes = size_t(source.RowBytes) * source.Height;
  for (auto _ : state) {
    std::memcpy(dest.Bits, source.Bits, bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations() * bytes));
}

// The same copy split in two halves on both cores: how far a two-core kernel could go.
void BM_Memcpy24MPTwoCores(benchmark::State& state) {
  const auto& source = Photo(GW, GH);
  TWKPixelBuffer& dest = Target(false);
  const size_t half = size_t(source.RowBytes) * source.Height / 2;
  for (auto _ : state) {
    std::thread helper([&] { std::memcpy(dest.Bits + half, source.Bits + half, half); });
    std::memcpy(dest.Bits, source.Bits, half);
    helper.join();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations() * half * 2));
}

// Each iteration copies the image once with memcpy and then runs the operation; only the
// operation is timed. The counters give both times and their ratios, taken from the same
// iterations so that load from other processes falls on both alike: "ratio" from the sums,
// "best_ratio" from the fastest run of each. "cpu_ratio" is processor time on all cores against
// the copy's: what the operation costs whether or not the second core was free (about twice the
// elapsed ratio for work split evenly over two idle cores).
template <void (*Op)(const TWKPixels&, TWKPixels&), bool Turned>
void BM_Geometry(benchmark::State& state) {
  const auto& source = Photo(GW, GH);
  TWKPixelBuffer& copy = Target(false);
  TWKPixelBuffer& dest = Target(Turned);
  const size_t bytes = size_t(source.RowBytes) * source.Height;
  double opSum = 0, copySum = 0, opBest = 1e300, copyBest = 1e300, opCpu = 0, copyCpu = 0;
  for (auto _ : state) {
    const double c0 = ProcessCpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    std::memcpy(copy.Bits, source.Bits, bytes);
    benchmark::ClobberMemory();
    const auto t1 = std::chrono::steady_clock::now();
    const double c1 = ProcessCpuMs();
    Op(source, dest);
    benchmark::ClobberMemory();
    const auto t2 = std::chrono::steady_clock::now();
    const double c2 = ProcessCpuMs();
    copyCpu += c1 - c0;
    opCpu += c2 - c1;
    const double copyMs = Milliseconds(t1 - t0), opMs = Milliseconds(t2 - t1);
    state.SetIterationTime(opMs / 1000);
    copySum += copyMs;
    opSum += opMs;
    copyBest = std::min(copyBest, copyMs);
    opBest = std::min(opBest, opMs);
  }
  state.SetBytesProcessed(int64_t(state.iterations() * bytes));
  state.counters["memcpy_ms"] = copySum / double(state.iterations());
  state.counters["ratio"] = opSum / copySum;
  state.counters["best_ms"] = opBest;
  state.counters["best_memcpy_ms"] = copyBest;
  state.counters["best_ratio"] = opBest / copyBest;
  state.counters["cpu_ratio"] = opCpu / copyCpu;
}

// The container operations, fresh storage included, against a clone (fresh storage and one copy).
void BM_BitmapClone(benchmark::State& state) {
  TWKLTBitmap bitmap;
  bitmap.AssignPixels(Photo(GW, GH));
  for (auto _ : state) benchmark::DoNotOptimize(bitmap.Clone());
}

void BM_BitmapRotateLeft(benchmark::State& state) {
  TWKLTBitmap bitmap;
  bitmap.AssignPixels(Photo(GW, GH));
  for (auto _ : state) bitmap.RotateLeft();
}

void BM_BitmapRotateRight(benchmark::State& state) {
  TWKLTBitmap bitmap;
  bitmap.AssignPixels(Photo(GW, GH));
  for (auto _ : state) bitmap.RotateRight();
}

void GeometryCase(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1.0);
}

void ContainerCase(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
}

}  // namespace

BENCHMARK(BM_OursLanczos)->Apply(ResizeCases);
BENCHMARK(BM_OursResize)->Apply(ResizeCases);
#ifdef QM_BENCH_VIPS
BENCHMARK(BM_VipsReduce)->Apply(ReduceCases);
BENCHMARK(BM_VipsResize)->Apply(ResizeCases);
#endif
#ifdef QM_BENCH_OPENCV
BENCHMARK(BM_OpenCVLanczos4)->Apply(ResizeCases);
#endif
BENCHMARK(BM_Memcpy24MP)->Apply(ContainerCase);
BENCHMARK(BM_Memcpy24MPTwoCores)->Apply(ContainerCase);
BENCHMARK(BM_Geometry<RotateLeftPixels, true>)->Name("BM_RotateLeft24MP")->Apply(GeometryCase);
BENCHMARK(BM_Geometry<RotateRightPixels, true>)->Name("BM_RotateRight24MP")->Apply(GeometryCase);
BENCHMARK(BM_Geometry<MirrorPixels, false>)->Name("BM_Mirror24MP")->Apply(GeometryCase);
BENCHMARK(BM_Geometry<FlipPixels, false>)->Name("BM_Flip24MP")->Apply(GeometryCase);
BENCHMARK(BM_BitmapClone)->Apply(ContainerCase);
BENCHMARK(BM_BitmapRotateLeft)->Apply(ContainerCase);
BENCHMARK(BM_BitmapRotateRight)->Apply(ContainerCase);

int main(int argc, char** argv) {
  const TVipsSession vips(argv[0]);
  if (vips.Failed()) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
