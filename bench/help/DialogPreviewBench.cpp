// The open dialog's preview of a 24-megapixel camera-sized JPEG through the program's format
// registry: the reduced decode the preview thread runs against a full decode, the time from a
// selection change until the thumbnail is painted, how long the user-interface thread is kept
// from its events while the user browses large files quickly, and how long closing the dialog
// during a decode takes on that thread. The JPEG is made at start from a sample photo with ImageMagick
// (enlarged to 6000 x 4000, sensor-like noise added), in a temporary folder removed at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/RunTool.h"
#include "documents/WKGraphicsFormats.h"
#include "framework/qt/QtText.h"
#include "help/WKPreviewLayout.h"
#include "help/WKPreviewWorker.h"
#include "help/qt/WKDialogPreviewThread.h"
#include "help/qt/WKOpenDialog.h"
#include "platform/codec/StillImageCodec.h"
#include "platform/paint/QtPixelPainter.h"

namespace {

// Times every event the user-interface thread delivers at the top level: the longest delivery
// is the longest our code (and Qt's) kept the thread from its other events. Also counts the
// finished paints of one watched widget while it shows a picture.
class TTimedApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    const bool watchedPaint = receiver == Watched && event->type() == QEvent::Paint;
    if (Depth_++ > 0) {
      const bool handled = QApplication::notify(receiver, event);
      if (watchedPaint && ShowsPicture && ShowsPicture()) ++PicturePaints;
      --Depth_;
      return handled;
    }
    const auto start = std::chrono::steady_clock::now();
    const bool handled = QApplication::notify(receiver, event);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (ms > Longest) {
      Longest = ms;
      LongestType = event->type();
    }
    --Depth_;
    return handled;
  }
  double Longest = 0;
  int LongestType = 0;
  QObject* Watched = nullptr;
  std::function<bool()> ShowsPicture;
  int32_t PicturePaints = 0;

 private:
  int Depth_ = 0;
};

TTimedApplication* App() { return static_cast<TTimedApplication*>(QCoreApplication::instance()); }

// Counts the paints of the dialog's preview box that draw a thumbnail.
void WatchPreview(TWKOpenDialog& dialog) {
  App()->Watched = dialog.PreviewBox;
  App()->ShowsPicture = [&dialog] { return dialog.Thumbnail != nullptr; };
  App()->PicturePaints = 0;
}

void Unwatch() {
  App()->Watched = nullptr;
  App()->ShowsPicture = nullptr;
}

struct TFixture {
  std::string Folder;
  std::vector<std::string> Photos;  // the same picture under three names, as a user's folder

  TFixture() {
    char pattern[] = "/tmp/qm-help-bench-XXXXXX";
    Folder = mkdtemp(pattern);
    const std::string first = Folder + "/photo1.jpg";
    if (!RunTool({QM_CONVERT, QM_SAMPLE_PHOTO, "-resize", "6000x4000!", "-attenuate", "0.4", "+noise",
                  "Gaussian", "-quality", "92", "-sampling-factor", "2x2", first})) {
      std::fprintf(stderr, "ImageMagick could not make the 24-megapixel JPEG\n");
      std::exit(1);
    }
    Photos.push_back(first);
    for (int i = 2; i <= 3; ++i) {
      Photos.push_back(Folder + "/photo" + std::to_string(i) + ".jpg");
      std::filesystem::copy_file(first, Photos.back());
    }
    std::fprintf(stderr, "24-megapixel JPEG: %s, %ju bytes\n", first.c_str(),
                 static_cast<uintmax_t>(std::filesystem::file_size(first)));
  }
  ~TFixture() { std::filesystem::remove_all(Folder); }
};

TFixture& Fixture() {
  static TFixture fixture;
  return fixture;
}

// The thumbnail box of a shown dialog: 226 wide, about 300 high.
constexpr int32_t BoxWidth = 226, BoxHeight = 300;

void BM_ReducedDecodeForThePreview(benchmark::State& state) {
  const std::string& path = Fixture().Photos[0];
  std::vector<uint8_t> bits;
  for (auto _ : state) {
    TCodecError err;
    auto decoder = TStillImageCodec::OpenFile(path, err);
    const TSize size = FitThumbnail(decoder->Info().Width, decoder->Info().Height, BoxWidth, BoxHeight);
    const ptrdiff_t rowBytes = AlignedRowBytes24(size.Width);
    bits.resize(size_t(rowBytes) * size.Height);
    if (!decoder->ReadThumbnail({bits.data(), rowBytes, size.Width, size.Height}, err))
      state.SkipWithError("thumbnail failed");
  }
}
BENCHMARK(BM_ReducedDecodeForThePreview)->Unit(benchmark::kMillisecond)->UseRealTime();

// The open phase alone (header, metadata items): what the description costs the UI thread.
void BM_OpenOnly(benchmark::State& state) {
  for (auto _ : state) {
    TCodecError err;
    auto decoder = TStillImageCodec::OpenFile(Fixture().Photos[0], err);
    benchmark::DoNotOptimize(decoder.get());
  }
}
BENCHMARK(BM_OpenOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FullDecodeForComparison(benchmark::State& state) {
  const std::string& path = Fixture().Photos[0];
  std::vector<uint8_t> bits(size_t(AlignedRowBytes24(6000)) * 4000);
  for (auto _ : state) {
    TCodecError err;
    auto decoder = TStillImageCodec::OpenFile(path, err);
    if (!decoder->ReadPixels({bits.data(), AlignedRowBytes24(6000), 6000, 4000}, err))
      state.SkipWithError("decode failed");
  }
}
BENCHMARK(BM_FullDecodeForComparison)->Unit(benchmark::kMillisecond)->UseRealTime();

// From the selection change until the thumbnail has been drawn into the preview box.
void BM_SelectionToPaintedPreview(benchmark::State& state) {
  TWKGraphicsFormats formats;
  TWKOpenDialog dialog(nullptr, formats);
  dialog.resize(900, 560);
  dialog.show();
  (void)QTest::qWaitForWindowExposed(&dialog);
  QCoreApplication::processEvents();
  WatchPreview(dialog);
  double worst = 0;
  int n = 0;
  for (auto _ : state) {
    const std::string& path = Fixture().Photos[n++ % 3];
    const auto start = std::chrono::steady_clock::now();
    emit dialog.currentChanged(ToQString(path));  // drops the shown thumbnail at once
    const int32_t drawn = App()->PicturePaints;
    while (App()->PicturePaints == drawn) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
      if (std::chrono::steady_clock::now() - start > std::chrono::seconds(5)) {
        state.SkipWithError("no preview within 5 s");
        break;
      }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    worst = std::max(worst, seconds);
    state.SetIterationTime(seconds);
  }
  state.counters["worst_ms"] = worst * 1000;
  state.counters["box_w"] = dialog.PreviewBox->width();
  state.counters["box_h"] = dialog.PreviewBox->height();
  Unwatch();
}
BENCHMARK(BM_SelectionToPaintedPreview)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);

// A 1 ms timer on the user-interface thread while selections change every 25 ms among the three
// large files for two seconds: the longest gap between its ticks is the longest the thread was
// kept from its events (selection handling, description, painting, thumbnail replacement).
void BM_UiThreadGapWhileBrowsing(benchmark::State& state) {
  TWKGraphicsFormats formats;
  TWKOpenDialog dialog(nullptr, formats);
  dialog.resize(900, 560);
  dialog.show();
  (void)QTest::qWaitForWindowExposed(&dialog);
  WatchPreview(dialog);
  double worstGap = 0, worstSelection = 0;
  int32_t selections = 0;
  QCoreApplication::processEvents();
  App()->Longest = 0;
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    double gap = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      const qint64 now = clock.nsecsElapsed();
      gap = std::max(gap, (now - last) / 1e6);
      last = now;
    });
    QTimer browse;
    browse.setTimerType(Qt::PreciseTimer);
    QObject::connect(&browse, &QTimer::timeout, [&] {
      QElapsedTimer inside;
      inside.start();
      emit dialog.currentChanged(ToQString(Fixture().Photos[selections++ % 3]));
      worstSelection = std::max(worstSelection, inside.nsecsElapsed() / 1e6);
    });
    ticker.start(1);
    browse.start(25);
    while (clock.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    browse.stop();
    // Let the last preview arrive and be painted while the ticker still runs.
    while (clock.elapsed() < 2600) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ticker.stop();
    worstGap = std::max(worstGap, gap);
  }
  const auto counts = dialog.PreviewThread->Counts();
  state.counters["max_ui_gap_ms"] = worstGap;
  state.counters["max_event_ms"] = App()->Longest;
  state.counters["max_event_type"] = App()->LongestType;
  state.counters["max_selection_ms"] = worstSelection;
  state.counters["selections"] = selections;
  state.counters["decodes"] = counts.Made;
  state.counters["shown"] = counts.Delivered;
  state.counters["painted"] = App()->PicturePaints;
  Unwatch();
}
BENCHMARK(BM_UiThreadGapWhileBrowsing)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Closing and freeing the dialog while the preview thread decodes the large file, timed on the
// user-interface thread. The decode goes on on the released thread; it is waited for outside
// the timing, as the end of the program would. With argument 0 nothing is selected: the cost of
// closing the file dialog itself, for comparison.
void BM_CloseDuringDecode(benchmark::State& state) {
  const bool select = state.range(0) != 0;
  TWKGraphicsFormats formats;
  double worst = 0;
  int32_t stillDecoding = 0;
  for (auto _ : state) {
    auto* dialog = new TWKOpenDialog(nullptr, formats);
    dialog->show();
    QCoreApplication::processEvents();
    if (select) emit dialog->currentChanged(ToQString(Fixture().Photos[0]));
    std::this_thread::sleep_for(std::chrono::milliseconds(15));  // well into the decode
    const auto start = std::chrono::steady_clock::now();
    dialog->done(QDialog::Rejected);
    delete dialog;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stillDecoding += TWKPreviewWorker::ReleasedRunning();
    worst = std::max(worst, seconds);
    state.SetIterationTime(seconds);
    TWKPreviewWorker::JoinReleased();
    QCoreApplication::processEvents();
  }
  state.counters["worst_ms"] = worst * 1000;
  state.counters["still_decoding"] = stillDecoding;  // closes that left a decode running
}
BENCHMARK(BM_CloseDuringDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TTimedApplication app(argc, argv);
  InstallQtPixelPainter();
  Fixture();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  TWKPreviewWorker::JoinReleased();
  return 0;
}
