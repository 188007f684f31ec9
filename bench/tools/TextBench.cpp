// The text tool on the 24-megapixel scene: one pointer move while a box of about 2 megapixels is
// dragged out (the text mask stretched to the box, the picture under the last box put back and
// the text blended into the new one), beside one copy of that many pixels.
#include <benchmark/benchmark.h>

#include "BrushScene.h"
#include "support/RatioReporter.h"
#include "tools/geometry/WKTextTool.h"

namespace {

using namespace brush_bench;

// Lettering without a font: a 600 × 80 mask of stripes, as a line of large text gives.
class TStripeRasterizer : public IWKTextRasterizer {
 public:
  std::vector<std::string> FontNames() override { return {"DejaVu Sans"}; }
  bool Render(const TWKTextFont&, const std::vector<std::string>& lines, TWKPixelBuffer& mask) override {
    if (lines.empty()) return true;
    mask.Allocate(FormatBGR24, Rect(0, 0, 600, 80));
    for (int32_t y = 0; y < 80; ++y)
      for (int32_t x = 0; x < 600; ++x) {
        const uint8_t v = (x / 7 + y / 9) % 3 == 0 ? 255 : 0;
        *mask.Pixel(x, y) = {v, v, v};
      }
    return true;
  }
};

class TMemoFrame : public virtual IWKToolFrame, public IWKTextFrame {
 public:
  void SetControlsEnabled(bool) override {}
  void SetFrameVisible(bool) override {}
  void BringToFront() override {}
  const void* Control(std::string_view) const override { return nullptr; }
  std::optional<TPoint> ControlCenter(std::string_view) const override { return std::nullopt; }
  void SetFontNames(const std::vector<std::string>&) override {}
  std::string SelectedFontName() const override { return "DejaVu Sans"; }
  void SelectFontName(const std::string&) override {}
  void ShowFontSize(int32_t) override {}
  void SetFontSizeStep(int32_t) override {}
  void ShowFontStyle(int32_t) override {}
  void ShowColorMode(int32_t) override {}
  void ShowSelectedColor(uint32_t) override {}
  void ShowMaxInverse(bool) override {}
  std::vector<std::string> MemoLines() const override { return {"Quillmoor"}; }
  void SetMemoLines(const std::vector<std::string>&) override {}
  void LocalizeFrame() override {}
};

struct TTextProgram : TEditorProgram {
  TStripeRasterizer Rasterizer;
  TMemoFrame Frame;
  TWKTextTool* Text = nullptr;

  TTextProgram() {
    SetTextRasterizer(&Rasterizer);
    Text = CreateTool<TWKTextTool>(&App, [this](TWKTextTool&) { return &Frame; });
    Open(redeye_bench::WriteScene("image/tiff", BenchFile("qm_text_bench", ".tif")));
    Editor->SetCurrentTool(Text);
    Text->SetSelectedColor(0xFFFFFF);
    Text->TextMemoChange();
  }
};

TTextProgram& Program() {
  static TTextProgram program;
  return program;
}

constexpr TPoint kStart{1000, 800};

void BM_TextBoxDrag2MP(benchmark::State& state) {
  TTextProgram& p = Program();
  if (p.Document() == nullptr) {
    state.SkipWithError("the photo did not open");
    return;
  }
  p.View()->MouseDown(mbLeft, ssLeft, p.Client(kStart));
  int32_t i = 0;
  for (auto _ : state) {
    // 1632 × 1224 and one pixel more or less each way: about 2 megapixels every move.
    const int32_t d = (i++ % 2 == 0) ? 1 : -1;
    p.View()->MouseMove(ssLeft, p.Client({kStart.X + 1632 + d, kStart.Y + 1224 + d}));
  }
  p.View()->MouseUp(mbLeft, 0, p.Client({kStart.X + 1632, kStart.Y + 1224}));
  p.Text->CancelEdit();
}
BENCHMARK(BM_TextBoxDrag2MP)->Unit(benchmark::kMillisecond);

void BM_Copy2MP(benchmark::State& state) {
  TTextProgram& p = Program();
  if (p.Document() == nullptr) return;
  const TRect box = Bounds(kStart.X, kStart.Y, 1632, 1224);
  TWKPixelBuffer copy;
  copy.Allocate(FormatBGR24, box);
  for (auto _ : state) {
    copy.CopyRect(box.Left, box.Top, box, *p.Document()->CurrentPixels());
    benchmark::DoNotOptimize(copy.Bits);
  }
}
BENCHMARK(BM_Copy2MP)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("2-megapixel text box drag / copy of its pixels", "BM_TextBoxDrag2MP", "BM_Copy2MP");
  benchmark::Shutdown();
  return 0;
}
