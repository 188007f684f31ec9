// A red-eye click through the running tool on a 24-megapixel photo: the view's mouse-down to
// the corrected pixels and the stored undo step; and a slider step that re-tunes it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "RedEyeScene.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "documents/WKGraphicsEditorUI.h"
#include "documents/WKGraphicsFormats.h"
#include "framework/WKApplication.h"
#include "platform/codec/StillImageCodec.h"
#include "tools/eyes/RedEyeTool.h"
#include "support/NullWindows.h"
#include "view/WKGraphicsView.h"

namespace {

using namespace redeye_bench;

// The photo as a PNG file: a dark scene with a red pupil in an iris.
std::string WritePhoto() {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("qm_redeye_bench_" + std::to_string(::getpid()) + ".png")).string();
  const ptrdiff_t rowBytes = (W * 3 + 3) & ~3;
  std::vector<uint8_t> bits(static_cast<size_t>(rowBytes) * H);
  PaintScene(bits.data(), rowBytes);
  TCodecError err;
  TStillImageCodec::SaveToFile("image/png", {bits.data(), rowBytes, W, H}, {}, path, err);
  return path;
}

struct TProgram {
  TWKApplication App;
  TNullWindow Window;
  TNullDialogs Dialogs;
  TWKGraphicsEditor* Editor = nullptr;
  TWKRedEyeTool* Tool = nullptr;
  std::string Path;

  TProgram() {
    TWKGraphicsView::SetWindowFactory([](TWKGraphicsView&) { return std::make_unique<TClientWindow>(); });
    InstallGraphicsViews();
    Editor = App.CreateModule<TWKGraphicsEditor>(Window, Window, Dialogs);
    Tool = CreateTool<TWKRedEyeTool>(&App);
    Editor->SetCurrentTool(Tool);
    Path = WritePhoto();
    TWKDocument* doc = nullptr;
    Editor->OpenFile(Path, doc, false);
    std::filesystem::remove(Path);
  }
  TWKGraphicsView* View() const { return Editor->CurrentView(); }
  TWKGraphicsDocument* Document() const { return Editor->CurrentImageDocument(); }
};

TProgram& Program() {
  static TProgram program;
  return program;
}

void BM_RedEyeToolClick(benchmark::State& state) {
  TProgram& p = Program();
  if (p.Document() == nullptr) {
    state.SkipWithError("the photo did not open");
    return;
  }
  const TPoint client = p.View()->MapMode().DocToDev(Pupil);
  for (auto _ : state) {
    p.View()->MouseDown(mbLeft, 0, client);
    p.View()->MouseUp(mbLeft, 0, client);
    state.PauseTiming();
    p.Editor->Undo();
    state.ResumeTiming();
  }
  state.counters["selected"] = static_cast<double>(p.Tool->Selection().Region().Count());
}
BENCHMARK(BM_RedEyeToolClick)->Unit(benchmark::kMillisecond);

void BM_RedEyeToolSliderStep(benchmark::State& state) {
  TProgram& p = Program();
  if (p.Document() == nullptr) {
    state.SkipWithError("the photo did not open");
    return;
  }
  const TPoint client = p.View()->MapMode().DocToDev(Pupil);
  p.View()->MouseDown(mbLeft, 0, client);
  int32_t value = 0;
  for (auto _ : state) {
    value = (value + 17) & 255;
    p.Tool->BrightnessTrackBarChange(value == p.Tool->Brightness() ? value + 1 : value);
  }
  state.counters["history"] = p.Document()->History().Count();
  p.Editor->Undo();
}
BENCHMARK(BM_RedEyeToolSliderStep)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
