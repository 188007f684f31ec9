// The crop and free-rotation tools on a 24-megapixel photo: a crop through the tool with its
// undo copies; the first straightening line's preview; the final pass against libvips' rotate
// with bicubic interpolation on the same photo; finding and applying the auto-crop rectangle.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "imaging/WKFreeRotate.h"
#include "platform/codec/StillImageCodec.h"
#include "support/EditorProgram.h"
#include "support/RatioReporter.h"
#include "tools/geometry/AutoCrop.h"
#include "tools/geometry/CropTool.h"
#include "tools/geometry/FreeRotationTool.h"

#include "support/VipsPeer.h"

namespace {

constexpr int32_t W = 6000, H = 4000;
constexpr double kAngle = 0.1;  // radians; about 5.7°

// A noisy photo-like gradient.
void PaintPhoto(uint8_t* bits, ptrdiff_t rowBytes) {
  std::mt19937 random(42);
  for (int32_t y = 0; y < H; ++y) {
    uint8_t* row = bits + y * rowBytes;
    for (int32_t x = 0; x < W * 3; ++x)
      row[x] = static_cast<uint8_t>((x / 3 + y) / 8 + (random() & 31));
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

struct TProgram : TEditorProgram {
  TWKCrop2PlusTool* Crop = nullptr;
  TWKRotation3Tool* Rotation = nullptr;
  bool Opened = false;

  TProgram() {
    Crop = CreateTool<TWKCrop2PlusTool>(&App);
    Rotation = CreateTool<TWKRotation3Tool>(&App);
    Rotation->SetAutoCrop(true);
    // The photo is opened from a PNG file as a user would.
    const std::string path = BenchFile("qm_geometry_bench", ".png");
    TCodecError err;
    TStillImageCodec::SaveToFile("image/png", {Photo().Bits, Photo().RowBytes, W, H}, {}, path,
                                 err);
    Open(path);
    Opened = Document() != nullptr;
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

// Times step on a straightening whose first line has been drawn; undo (untimed) ends it.
template <class Step, class Undo>
void OnPreview(benchmark::State& state, Step step, Undo undo) {
  TProgram& p = Program();
  if (!Ready(state, p)) return;
  p.Editor->SetCurrentTool(p.Rotation);
  for (auto _ : state) {
    state.PauseTiming();
    p.Rotation->AngleStep = kAngle;
    p.Rotation->AddAngle({0, 0}, {100, 10});
    state.ResumeTiming();
    step(p);
    state.PauseTiming();
    undo(p);
    state.ResumeTiming();
  }
}

// Finishing: the Hermite pass, the auto-crop and the undo step.
void BM_RotationFinishing24MP(benchmark::State& state) {
  OnPreview(
      state, [](TProgram& p) { p.Rotation->FinishRotation(); },
      [](TProgram& p) { p.Editor->Undo(); });
}
BENCHMARK(BM_RotationFinishing24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

// Cutting the previewed canvas to its auto-crop rectangle: the rows moved up, the smaller canvas.
void BM_ApplyAutoCrop24MP(benchmark::State& state) {
  OnPreview(
      state, [](TProgram& p) { p.Rotation->ApplyAutoCrop(); },
      [](TProgram& p) { p.Rotation->CancelRotation(); });
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
  VipsInterpolate* bicubic = vips_interpolate_new("bicubic");
  const double degrees = kAngle * 180.0 / std::numbers::pi;
  TSize size;
  for (auto _ : state) {
    const bool done = VipsIntoMemory(
        state, Photo(),
        [&](VipsImage* in, VipsImage** out) {
          return vips_rotate(in, out, degrees, "interpolate", bicubic, nullptr);
        },
        &size);
    if (!done) break;
  }
  g_object_unref(bicubic);
  state.SetLabel(std::to_string(size.Width) + "x" + std::to_string(size.Height));
}
BENCHMARK(BM_VipsRotateBicubic24MP)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace

int main(int argc, char** argv) {
  const TVipsSession vips(argv[0]);
  if (vips.Failed()) return 1;
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("final pass / libvips rotate (bicubic)", "BM_FinalPass24MP",
                      "BM_VipsRotateBicubic24MP");
  benchmark::Shutdown();
  return 0;
}
