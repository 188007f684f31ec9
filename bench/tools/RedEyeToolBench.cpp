// A red-eye click through the running tool on a 24-megapixel photo: the view's mouse-down to
// the corrected pixels and the stored undo step; and a slider step that re-tunes it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "documents/WKGraphicsEditorUI.h"
#include "documents/WKGraphicsFormats.h"
#include "framework/WKApplication.h"
#include "platform/codec/StillImageCodec.h"
#include "tools/eyes/RedEyeTool.h"
#include "view/WKGraphicsView.h"

namespace {

constexpr int32_t W = 6000, H = 4000;
constexpr TPoint Pupil{3000, 2000};

class TItem : public IWKUIItem {
 public:
  void SetCaption(const std::string&) override {}
  void SetHint(const std::string&) override {}
  void SetEnabled(bool) override {}
  void SetVisible(bool) override {}
  std::string Caption() const override { return {}; }
  bool Enabled() const override { return true; }
  bool Visible() const override { return true; }
  TPoint ScreenCenter() const override { return {}; }
};

// A main window that only hands out items.
class TWindow : public IWKMainWindow, public IWKGraphicsMainWindow, public IWKFileDialogs {
 public:
  IWKUIItem* Item() {
    items_.push_back(std::make_unique<TItem>());
    return items_.back().get();
  }
  IWKUIItem* FileMenuItem() override { return &fixed_[0]; }
  IWKUIItem* FileMenuSeparator() override { return &fixed_[1]; }
  IWKUIItem* ExitMenuItem() override { return &fixed_[2]; }
  IWKUIItem* ViewMenuItem() override { return &fixed_[3]; }
  IWKUIItem* ToolbarsMenuItem() override { return &fixed_[4]; }
  IWKUIItem* AddMenuItem(const std::string&, const std::string&, IWKUIItem*, IWKUIItem*, int32_t,
                         TWKClickHandler) override { return Item(); }
  IWKUIItem* AddSubmenu(const std::string&, IWKUIItem*, IWKUIItem*) override { return Item(); }
  IWKUIItem* AddSeparator(IWKUIItem*, IWKUIItem*) override { return Item(); }
  IWKUIItem* AddToolbar(const std::string&) override { return Item(); }
  IWKUIItem* AddToolbarButton(IWKUIItem*, IWKUIItem*, const std::string&, int32_t,
                              TWKClickHandler) override { return Item(); }
  IWKUIItem* AddToolbarSeparator(IWKUIItem*, IWKUIItem*) override { return Item(); }
  void SetCaption(const std::string&) override {}
  void ShowDocumentView(TWKDocumentView&) override {}
  void SetCloseQuery(std::function<void(bool&)>) override {}
  void Close() override {}
  IWKUIItem* AddStatusPanel(const std::string&, int32_t) override { return Item(); }
  int32_t FontHeight() const override { return 13; }
  IWKUIItem* AddTextButton(IWKUIItem*, const std::string&, TWKClickHandler) override { return Item(); }
  TRect WindowRect() const override { return Bounds(0, 0, 1600, 1000); }
  void SetWindowRect(const TRect&) override {}
  TRect WorkArea() const override { return Bounds(0, 0, 1920, 1080); }
  void SetDropFileHandler(std::function<void(const std::string&)>) override {}
  bool ExecuteOpenDialog(TWKFileFormats&, std::string&) override { return false; }
  bool ExecuteSaveDialog(TWKFileFormats&, const TWKFileFormatArray&, std::string&, int32_t&) override {
    return false;
  }

 private:
  TItem fixed_[5];
  std::vector<std::unique_ptr<TItem>> items_;
};

class TViewWindow : public IWKViewWindow {
 public:
  TSize OuterSize() const override { return {1920, 1080}; }
  TSize ClientSize() const override { return {1903, 1063}; }
  int32_t VerticalScrollBarWidth() const override { return 17; }
  int32_t HorizontalScrollBarHeight() const override { return 17; }
  void SetScrollBar(bool, const TWKScrollBarInfo& info, bool) override { bar_ = info; }
  TWKScrollBarInfo GetScrollBar(bool) const override { return bar_; }
  void Invalidate(const TRect*) override {}
  void ScrollPixels(int32_t, int32_t) override {}
  void Update() override {}
  TPoint ClientToScreen(TPoint p) const override { return p; }
  TPoint ScreenToClient(TPoint p) const override { return p; }
  TPoint CursorPos() const override { return {}; }

 private:
  TWKScrollBarInfo bar_;
};

// The photo as a PNG file: a dark scene with a red pupil in an iris.
std::string WritePhoto() {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("qm_redeye_bench_" + std::to_string(::getpid()) + ".png")).string();
  const ptrdiff_t rowBytes = (W * 3 + 3) & ~3;
  std::vector<uint8_t> bits(static_cast<size_t>(rowBytes) * H);
  for (int32_t y = 0; y < H; ++y) {
    uint8_t* p = bits.data() + y * rowBytes;
    for (int32_t x = 0; x < W; ++x, p += 3) {
      const int32_t dx = x - Pupil.X, dy = y - Pupil.Y, d2 = dx * dx + dy * dy;
      const bool pupil = d2 <= 45 * 45, iris = d2 <= 110 * 110;
      p[0] = static_cast<uint8_t>(pupil ? 40 : iris ? 90 : (x * 7 + y) & 127);
      p[1] = static_cast<uint8_t>(pupil ? 30 : iris ? 110 : (x + y * 3) & 127);
      p[2] = static_cast<uint8_t>(pupil ? 210 + (x & 7) : iris ? 70 : 120);
    }
  }
  TCodecError err;
  TStillImageCodec::SaveToFile("image/png", {bits.data(), rowBytes, W, H}, {}, path, err);
  return path;
}

struct TProgram {
  TWKApplication App;
  TWindow Window;
  TWKGraphicsEditor* Editor = nullptr;
  TWKRedEyeTool* Tool = nullptr;
  std::string Path;

  TProgram() {
    TWKRedEyeTool::DiagnosticOutput = nullptr;
    TWKGraphicsView::SetWindowFactory([](TWKGraphicsView&) { return std::make_unique<TViewWindow>(); });
    Editor = App.CreateModule<TWKGraphicsEditor>(Window, Window, Window);
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
