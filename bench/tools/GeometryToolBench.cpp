// The crop and free-rotation tools on a 24-megapixel photo: a crop through the tool with its
// undo copies; the first straightening line's preview; the final pass against libvips' rotate
// with bicubic interpolation on the same photo; finding and applying the auto-crop rectangle.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "imaging/WKFreeRotate.h"
#include "support/BenchEditor.h"
#include "support/RatioReporter.h"
#include "tools/geometry/AutoCrop.h"
#include "tools/geometry/CropTool.h"
#include "tools/geometry/FreeRotationTool.h"

#ifdef QM_BENCH_VIPS
#include <vips/vips.h>
#endif

namespace {

constexpr int32_t W = 6000, H = 4000;
constexpr double kAngle = 0.1;  // radians; about 5.7°

// A noisy photo-like gradient.
void PaintPhoto(uint8_t* bits, ptrdiff_t rowBytes) {
  std::mt19937 random(42);
  for (int32_t y = 0; y < H; ++y) {
    uint8_t* row = bits + y * rowBytes;
    for (int32_t x = 0; x < W * 3; ++x) row[x] = static_cast<uint8_t>((x / 3 + y) / 8 + (random() & 31));
  }
}

const TWKPixelBuffer& Photo() {
  static TWKPixelBuffer photo;
  if (photo.Bits == nullptr) {
    photo.Allocate(FormatBGR24, Rect(0, 0, W, H));
    PaintPhoto(photo.Bits, photo.RowBytes);
  }
  return photo;
}

struct TProgram : TBenchEditor {
  TWKCrop2PlusTool* Crop = nullptr;
  TWKRotation3Tool* Rotation = nullptr;
  bool Opened = false;

  TProgram() {
    Crop = CreateTool<TWKCrop2PlusTool>(&App);
    Rotation = CreateTool<TWKRotation3Tool>(&App);
    Rotation->SetAutoCrop(true);
    Opened = OpenPainted(W, H, PaintPhoto);
  }
};

TProgram& Program() {
  static TProgram program;
  return program;
}

bool Ready(benchmark::State& state, TProgram& p) {
  if (p.Opened) return true;
  state.SkipWithError("the photo did not open");
  return false;
}

// Enter on a shown 5000 × 3200 rectangle: both images copied for undo, both cut, the backup.
void BM_CropTool24MP(benchmark::State& state) {
  TProgram& p = Program();
  if (!Ready(state, p)) return;
  p.Editor->SetCurrentTool(p.Crop);
  for (auto _ : state) {
    state.PauseTiming();
    p.Crop->CropRect = Rect(500, 400, 5500, 3600);
    p.Crop->CurrentControl()->CropState = csPresent;
    state.ResumeTiming();
    p.View()->KeyDown(VK_RETURN, 0);
    state.PauseTiming();
    if (p.Document()->ImageRect() != Rect(0, 0, 5000, 3200)) state.SkipWithError("no crop");
    p.Editor->Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_CropTool24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first line of a straightening: the source copy, the grown canvas and the preview.
void BM_RotationPreview24MP(benchmark::State& state) {
  TProgram& p = Program();
  if (!Ready(state, p)) return;
  p.Editor->SetCurrentTool(p.Rotation);
  for (auto _ : state) {
    p.Rotation->AngleStep = kAngle;
    p.Rotation->AddAngle({0, 0}, {100, 10});
    state.PauseTiming();
    if (!p.Rotation->Straightening()) state.SkipWithError("no straightening");
    p.Rotation->CancelRotation();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RotationPreview24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

// Finishing: the Hermite pass, the auto-crop and the undo step.
void BM_RotationFinishing24MP(benchmark::State& state) {
  TProgram& p = Program();
  if (!Ready(state, p)) return;
  p.Editor->SetCurrentTool(p.Rotation);
  for (auto _ : state) {
    state.PauseTiming();
    p.Rotation->AngleStep = kAngle;
    p.Rotation->AddAngle({0, 0}, {100, 10});
    state.ResumeTiming();
    p.Rotation->FinishRotation();
    state.PauseTiming();
    p.Editor->Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RotationFinishing24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

// Cutting the previewed canvas to its auto-crop rectangle: the rows moved up, the smaller canvas.
void BM_ApplyAutoCrop24MP(benchmark::State& state) {
  TProgram& p = Program();
  if (!Ready(state, p)) return;
  p.Editor->SetCurrentTool(p.Rotation);
  for (auto _ : state) {
    state.PauseTiming();
    p.Rotation->AngleStep = kAngle;
    p.Rotation->AddAngle({0, 0}, {100, 10});
    state.ResumeTiming();
    p.Rotation->ApplyAutoCrop();
    state.PauseTiming();
    p.Rotation->CancelRotation();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ApplyAutoCrop24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

struct TTurned {
  TWKPixelBuffer Dest;
  std::vector<TRotatedRow> Rows;
  TTurned() {
    const TSize size = RotatedCanvasSize(W, H, kAngle);
    Dest.Allocate(FormatBGR24, Rect(0, 0, size.Width, size.Height));
  }
};

TTurned& Turned() {
  static TTurned turned;
  return turned;
}

void TurnPhoto(benchmark::State& state, TRotationFilter filter) {
  TTurned& t = Turned();
  for (auto _ : state) {
    RotatePixels(Photo(), t.Dest, kAngle, filter, &t.Rows);
    benchmark::DoNotOptimize(t.Dest.Bits);
  }
  state.SetLabel(std::to_string(t.Dest.Width) + "x" + std::to_string(t.Dest.Height));
}

void BM_FinalPass24MP(benchmark::State& state) { TurnPhoto(state, TRotationFilter::Hermite); }
BENCHMARK(BM_FinalPass24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PreviewPass24MP(benchmark::State& state) { TurnPhoto(state, TRotationFilter::Nearest); }
BENCHMARK(BM_PreviewPass24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FindAutoCropRect24MP(benchmark::State& state) {
  TTurned& t = Turned();
  RotatePixels(Photo(), t.Dest, kAngle, TRotationFilter::Nearest, &t.Rows);
  TRect r;
  for (auto _ : state) {
    r = FindAutoCropRect(t.Rows, t.Dest.Width);
    benchmark::DoNotOptimize(r);
  }
  state.SetLabel(std::to_string(r.Width()) + "x" + std::to_string(r.Height()));
}
BENCHMARK(BM_FindAutoCropRect24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef QM_BENCH_VIPS
// The same photo turned by the same angle onto its bounding canvas, evaluated into memory.
void BM_VipsRotateBicubic24MP(benchmark::State& state) {
  const TWKPixelBuffer& photo = Photo();
  VipsInterpolate* bicubic = vips_interpolate_new("bicubic");
  const double degrees = kAngle * 180.0 / std::numbers::pi;
  int32_t width = 0, height = 0;
  for (auto _ : state) {
    VipsImage* in = vips_image_new_from_memory(photo.Bits, size_t(photo.RowBytes) * photo.Height, photo.Width,
                                               photo.Height, 3, VIPS_FORMAT_UCHAR);
    VipsImage* out = nullptr;
    if (vips_rotate(in, &out, degrees, "interpolate", bicubic, nullptr) != 0) {
      state.SkipWithError(vips_error_buffer());
      g_object_unref(in);
      break;
    }
    VipsImage* memory = vips_image_new_memory();
    vips_image_write(out, memory);
    benchmark::DoNotOptimize(VIPS_IMAGE_ADDR(memory, 0, 0));
    width = memory->Xsize;
    height = memory->Ysize;
    g_object_unref(memory);
    g_object_unref(out);
    g_object_unref(in);
  }
  g_object_unref(bicubic);
  state.SetLabel(std::to_string(width) + "x" + std::to_string(height));
}
BENCHMARK(BM_VipsRotateBicubic24MP)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef QM_BENCH_VIPS
  if (VIPS_INIT(argv[0])) return 1;
  vips_cache_set_max(0);
#endif
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("final pass / libvips rotate (bicubic)", "BM_FinalPass24MP", "BM_VipsRotateBicubic24MP");
  benchmark::Shutdown();
#ifdef QM_BENCH_VIPS
  vips_shutdown();
#endif
  return 0;
}
