// From a mouse event to the repainted screen: a mouse move with the button held, sent to the image
// view's Qt widget (1920 × 1080 client) over a 24-megapixel photo, until the widget has painted
// what the move changed. The darkening brush and the pupil stamp at size 100; the gleam moves its
// outline. At the fitted zoom and at 1:1.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>

#include "BrushScene.h"
#include "support/QtBenchMain.h"

namespace {

using namespace brush_bench;

// Made after the application object and freed before it: the views own Qt widgets.
std::unique_ptr<TProgram> gProgram;

TProgram& Program() {
  if (!gProgram) gProgram = std::make_unique<TProgram>();
  return *gProgram;
}

void Send(QWidget* viewport, QEvent::Type type, TPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
  const QPointF local(p.X, p.Y);
  QMouseEvent event(type, local, viewport->mapToGlobal(local), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(viewport, &event);
}

enum { kBrush = 0, kPupil = 1, kGleam = 2 };

// Counts the paints of a widget and the pixels they covered.
class TPaintCounter : public QObject {
 public:
  int64_t Paints = 0, Pixels = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++Paints;
      for (const QRect& r : static_cast<QPaintEvent*>(event)->region()) Pixels += int64_t(r.width()) * r.height();
    }
    return false;
  }
};

void BM_MouseMoveToRepaint(benchmark::State& state) {
  TProgram& p = Program();
  if (p.Document() == nullptr) {
    state.SkipWithError("the photo did not open");
    return;
  }
  auto* widget = static_cast<TQtGraphicsViewWidget*>(QtViewWidget(*p.View()));
  widget->resize(1920 + 40, 1080 + 40);
  widget->show();
  QApplication::processEvents();
  const int32_t n = static_cast<int32_t>(state.range(1)), d = static_cast<int32_t>(state.range(2));
  p.View()->SetZoom(n, d);
  p.View()->CenterOn(Pupil);
  QApplication::processEvents();
  const int32_t tool = static_cast<int32_t>(state.range(0));
  p.Brush->SetSize(100);
  p.PupilTool->SetSize(100);
  p.Editor->SetCurrentTool(tool == kBrush ? static_cast<IWKGraphicsTool*>(p.Brush)
                           : tool == kPupil ? static_cast<IWKGraphicsTool*>(p.PupilTool)
                                            : static_cast<IWKGraphicsTool*>(p.Glare));
  QWidget* viewport = widget->viewport();
  const TPoint centre = p.Client(Pupil);
  Send(viewport, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
  QApplication::processEvents();
  TPaintCounter counter;
  viewport->installEventFilter(&counter);
  int32_t i = 0;
  for (auto _ : state) {
    // Back and forth over 60 screen pixels.
    const int32_t step = i++ % 120;
    const TPoint at{centre.X - 30 + (step < 60 ? step : 120 - step), centre.Y + (step % 7)};
    Send(viewport, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
    QApplication::processEvents();
  }
  viewport->removeEventFilter(&counter);
  // Every move is painted before the next: one paint per move, and how much it covered.
  state.counters["paints"] = benchmark::Counter(double(counter.Paints), benchmark::Counter::kAvgIterations);
  state.counters["pixels"] = benchmark::Counter(double(counter.Pixels), benchmark::Counter::kAvgIterations);
  Send(viewport, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
  QApplication::processEvents();
  if (p.Document()->History().CanUndo()) p.Editor->Undo();
  state.SetLabel(std::string(tool == kBrush ? "brush" : tool == kPupil ? "pupil" : "gleam") + " at " +
                 std::to_string(n) + "/" + std::to_string(d));
}
BENCHMARK(BM_MouseMoveToRepaint)
    ->Args({kBrush, 270, 1000})
    ->Args({kBrush, 1, 1})
    ->Args({kPupil, 270, 1000})
    ->Args({kPupil, 1, 1})
    ->Args({kGleam, 270, 1000})
    ->Args({kGleam, 1, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunQtViewBenchmarks(argc, argv, [] { gProgram.reset(); });
}
