// A red-eye click and a re-tune on a 24-megapixel photo: the selection grown on the backup,
// the correction of the current image and the before/after pixels of the undo step.
#include <benchmark/benchmark.h>

#include <memory>

#include "RedEyeScene.h"
#include "imaging/WKBitmap.h"
#include "tools/eyes/RedEyeCorrection.h"
#include "tools/eyes/RedEyeParams.h"

#ifdef QM_HAVE_OPENCV
#include <opencv2/imgproc.hpp>
#endif

namespace {

using namespace redeye_bench;

void Paint(TWKPixels& px) { PaintScene(px.Bits, px.RowBytes); }

// The photo: current image and backup, both 6000 x 4000, made once.
struct TPhoto {
  TWKPixelBuffer Current, Backup;
  TPhoto() {
    Backup.Allocate(FormatBGR24, Rect(0, 0, W, H));
    Paint(Backup);
    Current.Allocate(FormatBGR24, Rect(0, 0, W, H));
    Current.Assign(Backup);
  }
};

TPhoto& Photo() {
  static TPhoto photo;
  return photo;
}

// What the undo step keeps: the rectangle's pixels before and after, the values and the
// selection.
struct TStep {
  TWKPixelBuffer Before, After;
  TRedEyeParams Params;
  TWKPixelSet SelectionRegion;
};

std::unique_ptr<TStep> Click(TPhoto& photo, TRedEyeSelection& selection, const TRedEyeParams& p) {
  const TRect dirty = ApplyRedEyeCorrection(photo.Backup, photo.Current, p, selection);
  const TRect undo = RedEyeUndoRect(dirty, p.ClickPoint);
  auto step = std::make_unique<TStep>();
  step->Before.Allocate(FormatBGR24, undo);
  step->Before.Assign(photo.Backup);
  step->After.Allocate(FormatBGR24, undo);
  step->After.Assign(photo.Current);
  step->Params = p;
  step->SelectionRegion = selection.Region();
  photo.Backup.CopyRect(undo.Left, undo.Top, undo, photo.Current);  // backup up to date
  return step;
}

// The step's rectangle back into the image and the backup; never the whole image.
void Undo(TPhoto& photo, const TStep& step) {
  photo.Current.Assign(step.Before);
  photo.Backup.Assign(step.Before);
}

void BM_RedEyeClick(benchmark::State& state) {
  TPhoto& photo = Photo();
  TRedEyeSelection selection;
  TRedEyeParams params;
  params.ClickPoint = Pupil;
  for (auto _ : state) {
    auto step = Click(photo, selection, params);
    benchmark::DoNotOptimize(step->After.Bits);
    state.PauseTiming();
    Undo(photo, *step);
    state.ResumeTiming();
  }
  state.counters["selected"] = static_cast<double>(selection.Region().Count());
}
BENCHMARK(BM_RedEyeClick)->Unit(benchmark::kMillisecond);

// A slider step: undo the last red-eye step, apply again with the new value, store the step.
void BM_RedEyeRetune(benchmark::State& state) {
  TPhoto& photo = Photo();
  TRedEyeSelection selection;
  TRedEyeParams params;
  params.ClickPoint = Pupil;
  auto step = Click(photo, selection, params);
  int32_t value = 0;
  for (auto _ : state) {
    Undo(photo, *step);
    params.Brightness = value;
    params.AreaSize = 150 + value / 4;
    value = (value + 17) & 255;
    step = Click(photo, selection, params);
    benchmark::DoNotOptimize(step->After.Bits);
  }
  Undo(photo, *step);
}
BENCHMARK(BM_RedEyeRetune)->Unit(benchmark::kMillisecond);

void BM_RedEyeSelectOnly(benchmark::State& state) {
  TPhoto& photo = Photo();
  TRedEyeSelection selection;
  for (auto _ : state) {
    selection.Select(photo.Backup, Pupil, 255 - 176, 0);
    benchmark::DoNotOptimize(selection.Region().BoundingBox());
  }
}
BENCHMARK(BM_RedEyeSelectOnly)->Unit(benchmark::kMicrosecond);

// For scale: what refreshing the whole backup from the current image would cost.
void BM_WholeImageCopy(benchmark::State& state) {
  TPhoto& photo = Photo();
  for (auto _ : state) {
    photo.Backup.Assign(photo.Current);
    benchmark::DoNotOptimize(photo.Backup.Bits);
  }
}
BENCHMARK(BM_WholeImageCopy)->Unit(benchmark::kMillisecond);

#ifdef QM_HAVE_OPENCV
// The peer's flood fill over the same search square, with the same fixed colour range
// (four-neighbour, mask only), for the ratio to BM_RedEyeSelectOnly.
void BM_OpenCVFloodFill(benchmark::State& state) {
  TPhoto& photo = Photo();
  cv::Mat image(H, W, CV_8UC3, photo.Backup.Bits, static_cast<size_t>(photo.Backup.RowBytes));
  const cv::Rect square(Pupil.X - 86, Pupil.Y - 86, 172, 172);
  cv::Mat roi = image(square);
  cv::Mat mask(roi.rows + 2, roi.cols + 2, CV_8UC1);
  const cv::Scalar range(70, 70, 70);
  for (auto _ : state) {
    mask.setTo(0);
    cv::floodFill(roi, mask, cv::Point(86, 86), cv::Scalar(), nullptr, range, range,
                  4 | cv::FLOODFILL_FIXED_RANGE | cv::FLOODFILL_MASK_ONLY | (1 << 8));
    benchmark::DoNotOptimize(mask.data);
  }
}
BENCHMARK(BM_OpenCVFloodFill)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace

BENCHMARK_MAIN();
