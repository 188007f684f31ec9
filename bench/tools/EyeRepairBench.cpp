// "Repair all eyes" on a 24-megapixel photo (6000 x 4000): the portrait enlarged to
// 4000 x 4000 with red-eye painted on both pupils, beside the coffee photo enlarged three times
// over; finding the eyes over the whole photo, and finding plus repairing them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "EyeSet.h"
#include "tools/eyes/EyeFinder.h"
#include "tools/eyes/EyeRepair.h"

namespace {

using namespace eyeset;

constexpr int32_t W = 6000, H = 4000;

struct TBigPhoto {
  TWKPixelBuffer Pixels, Work;
  bool Loaded = false;
  TBigPhoto() {
    TWKPixelBuffer portrait, coffee, big, side;
    if (!LoadPng(std::string(QM_SAMPLES_DIR) + "/astronaut.png", portrait) ||
        !LoadPng(std::string(QM_SAMPLES_DIR) + "/coffee.png", coffee))
      return;
    Pixels.Allocate(FormatBGR24, Rect(0, 0, W, H));
    Resize(portrait, 4000, 4000, big);
    Pixels.CopyRect(0, 0, big.BoundsRect(), big);
    Resize(coffee, 2000, 1333, side);
    for (int32_t i = 0; i < 3; ++i) Pixels.CopyRect(4000, i * 1333, side.BoundsRect(), side);
    const double s = 4000.0 / 512;
    const TDefectStyle red{"red", {205, 35, 40}, 0.95, 1.0, true};
    const std::vector<TPhotoSpec> photos = Photos();
    for (const TPupilSpot& p : photos[0].Pupils)
      PaintDefect(Pixels, TPupilSpot{p.X * s, p.Y * s, p.Rx * s, p.Ry * s}, red);
    Work.Allocate(FormatBGR24, Pixels.BoundsRect());
    Work.Assign(Pixels);
    Loaded = true;
  }
};

TBigPhoto& Photo() {
  static TBigPhoto photo;
  return photo;
}

void BM_FindEyes24MP(benchmark::State& state) {
  TBigPhoto& photo = Photo();
  if (!photo.Loaded) return state.SkipWithError("sample photos not found");
  size_t eyes = 0;
  for (auto _ : state) {
    eyes = FindEyes(photo.Pixels, photo.Pixels.BoundsRect()).size();
    benchmark::DoNotOptimize(eyes);
  }
  state.counters["eyes"] = static_cast<double>(eyes);
}
BENCHMARK(BM_FindEyes24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

// Finding and repairing; the repaired pixels go back from the untouched photo each time, out
// of the timing (only the eyes' rectangle changes).
void BM_RepairAllEyes24MP(benchmark::State& state) {
  TBigPhoto& photo = Photo();
  if (!photo.Loaded) return state.SkipWithError("sample photos not found");
  int32_t repaired = 0;
  for (auto _ : state) {
    const auto eyes = FindEyes(photo.Work, photo.Work.BoundsRect());
    const TEyesRepaired done = RepairEyes(photo.Pixels, photo.Work, eyes, TEyeRepairTuning{});
    repaired = done.Count;
    state.PauseTiming();
    if (!done.Changed.IsEmpty()) photo.Work.CopyRect(done.Changed.Left, done.Changed.Top, done.Changed, photo.Pixels);
    state.ResumeTiming();
  }
  state.counters["eyes"] = repaired;
}
BENCHMARK(BM_RepairAllEyes24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
