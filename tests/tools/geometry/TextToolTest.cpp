// The text tool in the editor with a rasterizer that draws each character as a block: the box
// dragged, mirrored, moved and resized; one copy of the text whatever the order of changes;
// commit as one step clipped to the image, undone exactly; cancel; settings and recording.
#include <gtest/gtest.h>

#include "documents/WKGraphicsCommandState.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "framework/WKStreams.h"
#include "tools/framework/ToolFixture.h"
#include "tools/geometry/WKTextTool.h"

namespace {

// Every character is a 4 × 5 block whose blue byte steps with its column, so that mirroring
// shows; lines are 5 high.
class TBlockRasterizer : public IWKTextRasterizer {
 public:
  std::vector<std::string> FontNames() override { return {"Sans", "DejaVu Serif", "Mono"}; }
  bool Render(const TWKTextFont& font, const std::vector<std::string>& lines, TWKPixelBuffer& mask) override {
    Last = font;
    size_t count = lines.size(), width = 0;
    while (count > 0 && lines[count - 1].empty()) --count;
    for (size_t i = 0; i < count; ++i) width = std::max(width, lines[i].size());
    if (count == 0) {
      mask.Clear();
      return true;
    }
    mask.Allocate(FormatBGR24, Rect(0, 0, static_cast<int32_t>(4 * width), static_cast<int32_t>(5 * count)));
    for (size_t i = 0; i < count; ++i)
      for (int32_t x = 0; x < static_cast<int32_t>(4 * lines[i].size()); ++x)
        for (int32_t y = 0; y < 5; ++y) {
          const uint8_t v = static_cast<uint8_t>(60 + 60 * (x % 4));
          *mask.Pixel(x, static_cast<int32_t>(5 * i) + y) = {v, v, v};
        }
    return true;
  }
  TWKTextFont Last;
};

class TFakeTextFrame : public TFakeToolFrame, public IWKTextFrame {
 public:
  TFakeTextFrame() : TFakeToolFrame({}) {}
  std::vector<std::string> Names, Lines;
  std::string Font;
  int32_t Size = 0, Step = 0, Style = 0, Mode = 0;
  uint32_t Color = 0xFFFFFF;
  bool Inverse = false;
  TWKTextTool* Tool = nullptr;

  void SetFontNames(const std::vector<std::string>& names) override { Names = names; }
  std::string SelectedFontName() const override { return Font; }
  void SelectFontName(const std::string& name) override { Font = name; }
  void ShowFontSize(int32_t value) override { Size = value; }
  void SetFontSizeStep(int32_t step) override { Step = step; }
  void ShowFontStyle(int32_t style) override { Style = style; }
  void ShowColorMode(int32_t mode) override { Mode = mode; }
  void ShowSelectedColor(uint32_t color) override { Color = color; }
  void ShowMaxInverse(bool value) override { Inverse = value; }
  std::vector<std::string> MemoLines() const override { return Lines; }
  void SetMemoLines(const std::vector<std::string>& lines) override {
    Lines = lines;
    if (Tool != nullptr) Tool->TextMemoChange();
  }
  void LocalizeFrame() override {}
};

constexpr TBGRPixel kGrey{100, 100, 100};

class TextToolTest : public ToolTest {
 protected:
  TextToolTest() {
    SetTextRasterizer(&Rasterizer);
    Tool = CreateTool<TWKTextTool>(&App, [this](TWKTextTool& tool) {
      Frame.Tool = &tool;
      return &Frame;
    });
    Editor->SetCurrentTool(Tool);
  }
  ~TextToolTest() override {
    Destroy(Tool);
    SetTextRasterizer(nullptr);
  }
  void Drag(TPoint from, TPoint to, int32_t button = mbLeft) {
    View()->MouseDown(button, ssLeft, Client(from));
    View()->MouseMove(ssLeft, Client(to));
    View()->MouseUp(button, 0, Client(to));
  }
  void Click(TPoint at, int32_t button = mbLeft) {
    View()->MouseDown(button, 0, Client(at));
    View()->MouseUp(button, 0, Client(at));
  }
  TWKTextToolControl& Box() const { return *Tool->BoxControl(); }
  // The image pixel the block text gives at (x, y) of the box, for a white text on kGrey.
  static uint8_t Expected(int32_t column) {
    const int32_t m = 60 + 60 * (column % 4);
    return static_cast<uint8_t>(100 + ((155 * m) >> 8));
  }

  TBlockRasterizer Rasterizer;
  TFakeTextFrame Frame;
  TWKTextTool* Tool = nullptr;
};

TEST_F(TextToolTest, ConstructionDefaultsAndTheFallbackFace) {
  EXPECT_EQ(Tool->FontSize(), 32);
  EXPECT_EQ(Tool->ColorMode(), 0);
  EXPECT_EQ(Tool->SelectedColor(), 0u);
  EXPECT_FALSE(Tool->MaxInverse());
  EXPECT_EQ(Tool->FontStyle(), 0);
  EXPECT_EQ(Frame.Size, 32);
  EXPECT_EQ(Frame.Names, Rasterizer.FontNames());
  // None of the classic faces is installed: the free serif stands in.
  EXPECT_EQ(Frame.Font, "DejaVu Serif");
  EXPECT_EQ(DefaultTextFace({"arial", "DejaVu Sans"}), "arial");
  EXPECT_EQ(DefaultTextFace({"Mono"}), "");
  EXPECT_TRUE(Tool->PluginAvailable);
  EXPECT_TRUE(Tool->ExclusiveEdit());
}

TEST_F(TextToolTest, ADraggedBoxStretchesTheTextAndDraggingBackwardsTurnsIt) {
  OpenPainted(80, 60, Uniform(kGrey));
  Tool->SetSelectedColor(0xFFFFFF);
  Frame.SetMemoLines({"AB"});  // an 8 × 5 mask
  Drag({10, 10}, {26, 20});   // a 16 × 10 box: every mask pixel doubled
  EXPECT_EQ(Box().BoxState, TWKTextToolControl::bsPresent);
  EXPECT_TRUE(Editor->ToolsLocked());
  for (int32_t x = 0; x < 16; ++x) EXPECT_EQ(At(10 + x, 12).Blue, Expected(x / 2)) << x;
  EXPECT_EQ(At(26, 12), kGrey);
  Tool->CancelEdit();
  EXPECT_EQ(Bytes(), std::vector<uint8_t>(Bytes().size(), 100));
  EXPECT_FALSE(Editor->ToolsLocked());

  // From bottom-right to top-left: mirrored both ways.
  Drag({26, 20}, {10, 10});
  EXPECT_TRUE(Tool->MirroredX);
  EXPECT_TRUE(Tool->MirroredY);
  for (int32_t x = 0; x < 16; ++x) EXPECT_EQ(At(10 + x, 12).Blue, Expected((15 - x) / 2)) << x;
  // The right handle dragged across the left edge mirrors left-right back.
  EXPECT_EQ(Box().HandleHitTest(Client({25, 15})), thRight);
  Drag({25, 15}, {-5, 15});
  EXPECT_FALSE(Tool->MirroredX);
  EXPECT_TRUE(Tool->MirroredY);
  EXPECT_EQ(Box().TextBox, (TRect{0, 10, 10, 20}));
}

TEST_F(TextToolTest, TheImageHoldsOneCopyOfTheTextWhateverChangesBeforeAPaint) {
  OpenPainted(80, 60, Uniform(kGrey));
  Frame.SetMemoLines({"ABCD"});
  Drag({10, 10}, {42, 30});  // 32 × 20: the 16 × 5 mask stretched
  // Moved, then changed three times before any repaint.
  View()->MouseDown(mbLeft, 0, Client({26, 20}));
  View()->MouseMove(0, Client({56, 40}));
  Tool->SetSelectedColor(0xFFFFFF);
  Tool->SetSelectedColor(0xFFFFFF);
  Tool->SetColorMode(0);
  Tool->ApplyText();
  Tool->ApplyText();
  View()->MouseUp(mbLeft, 0, Client({56, 40}));
  EXPECT_EQ(Box().TextBox, (TRect{40, 30, 72, 50}));
  for (int32_t y = 0; y < 60; ++y)
    for (int32_t x = 0; x < 80; ++x) {
      const bool inText = x >= 40 && x < 72 && y >= 30 && y < 50;
      EXPECT_EQ(At(x, y).Blue, inText ? Expected((x - 40) / 2) : 100) << x << "," << y;
    }
}

TEST_F(TextToolTest, ABoxHalfOffTheImageCommitsOnlyItsVisiblePartAndUndoesExactly) {
  OpenPainted(80, 60, [](int32_t x, int32_t y) {
    return TBGRPixel{static_cast<uint8_t>(x * 3), static_cast<uint8_t>(y * 4), 77};
  });
  const std::vector<uint8_t> before = Bytes();
  Frame.SetMemoLines({"ABCDE"});
  Drag({40, 10}, {60, 40});
  // Moved so that half of it lies right of the image.
  View()->MouseDown(mbLeft, 0, Client({50, 25}));
  View()->MouseMove(0, Client({80, 25}));
  View()->MouseUp(mbLeft, 0, Client({80, 25}));
  EXPECT_EQ(Box().TextBox, (TRect{70, 10, 90, 40}));
  // Undo is off while the box rests.
  Tool->UpdateControls();
  EXPECT_FALSE(static_cast<TFakeItem*>(Editor->UndoMenuItem)->IsEnabled);
  View()->KeyDown(VK_RETURN, 0);
  EXPECT_EQ(Box().BoxState, TWKTextToolControl::bsIdle);
  ASSERT_EQ(HistoryCount(), 1);
  const auto* state = dynamic_cast<const TWKGraphicsCommandState*>(Document()->History().Items(0));
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->StateRect(), (TRect{70, 10, 80, 40}));
  EXPECT_NE(Bytes(), before);
  Editor->Undo();
  EXPECT_EQ(Bytes(), before);
  Editor->Redo();
  EXPECT_NE(Bytes(), before);
}

TEST_F(TextToolTest, RightClickEscapeAndTinyBoxesRemoveTheText) {
  OpenPainted(80, 60, Uniform(kGrey));
  Tool->SetSelectedColor(0xFFFFFF);
  Frame.SetMemoLines({"AB"});
  const std::vector<uint8_t> grey = Bytes();
  Drag({10, 10}, {30, 30});
  EXPECT_NE(Bytes(), grey);
  Click({70, 50}, mbRight);
  EXPECT_EQ(Bytes(), grey);
  EXPECT_EQ(Box().BoxState, TWKTextToolControl::bsIdle);

  Drag({10, 10}, {30, 30});
  EXPECT_TRUE(View()->KeyDown(VK_ESCAPE, 0));
  EXPECT_EQ(Bytes(), grey);
  EXPECT_FALSE(Editor->ToolsLocked());

  Drag({10, 10}, {11, 10});
  EXPECT_EQ(Box().BoxState, TWKTextToolControl::bsIdle);
  // A left click outside the box commits; an empty memo still stores the box as a step.
  Frame.SetMemoLines({});
  Drag({10, 10}, {30, 30});
  Click({70, 50});
  EXPECT_EQ(HistoryCount(), 1);
  EXPECT_EQ(Bytes(), grey);
}

TEST_F(TextToolTest, SettingsRecordingAndDemonstrationCommands) {
  TRecorder recorder;
  Tool->StartRecording(&recorder);
  Tool->SizeSpinEditChange(250);
  EXPECT_EQ(Frame.Step, 2);
  Tool->SizeSpinEditChange(251);
  EXPECT_EQ(Frame.Step, 3);
  Tool->FontStyleButtonsClick(5);
  Tool->FontColorClick(1);
  Tool->MaxInverseClick(true);
  Tool->SetSelectedColor(0x0000FF);
  Tool->StopRecording();
  EXPECT_EQ(recorder.Lines,
            (std::vector<std::string>{"MouseCurvedMove TextFontSize", "TextFontSize 250", "MouseCurvedMove TextFontSize",
                                      "TextFontSize 251", "MouseCurvedMove TextFontBI", "TextFontBI 5",
                                      "MouseCurvedMove TextFontColor", "TextFontColor 1", "MouseCurvedMove TextMaxInverse",
                                      "TextMaxInverse 1", "MouseCurvedMove TextColor", "TextColor 255"}));

  TWKMemoryStream saved;
  {
    TWKSDFWriter writer(&saved, false);
    Tool->SaveSettings(writer);
  }
  Tool->SetFontSize(20);
  Tool->SetColorMode(0);
  Tool->SetSelectedColor(0);
  Tool->SetMaxInverse(false);
  Tool->SetFontStyle(0);
  {
    TWKSDFReader reader(new TWKMemoryStream(saved.Bytes()), true);
    Tool->LoadSettings(reader);
  }
  EXPECT_EQ(Tool->FontSize(), 251);
  EXPECT_EQ(Tool->ColorMode(), 1);
  EXPECT_EQ(Tool->SelectedColor(), 0x0000FFu);
  EXPECT_TRUE(Tool->MaxInverse());
  EXPECT_EQ(Tool->FontStyle(), 5);
  EXPECT_EQ(Frame.Mode, 1);
  EXPECT_TRUE(Frame.Inverse);

  // The font the rasterizer is asked for follows the options.
  OpenPainted(40, 30, Uniform(kGrey));
  Frame.SetMemoLines({"A"});
  EXPECT_EQ(Rasterizer.Last.Size, 251);
  EXPECT_EQ(Rasterizer.Last.Style, 5);
  EXPECT_EQ(Rasterizer.Last.Face, "DejaVu Serif");

  TWKCustomProperties args;
  args.SetInteger(1, 48);
  EXPECT_TRUE(Registry.Execute("TextFontSize", args));
  EXPECT_EQ(Tool->FontSize(), 48);
}

TEST(TextToolSizeEdit, LeavingTheEditWithoutANumberFallsBackToTheSmallestSize) {
  for (const char* text : {"", "   ", "abc", "12x", "1 2", "-", "+", "4.5"})
    EXPECT_EQ(TWKTextTool::FontSizeOnExit(text), std::optional<int32_t>(8)) << '"' << text << '"';
  for (const char* text : {"40", " 72 ", "+50", "3", "-5", "1000", "99999999999"})
    EXPECT_EQ(TWKTextTool::FontSizeOnExit(text), std::nullopt) << '"' << text << '"';
}

TEST_F(TextToolTest, AnEmptiedSizeEditBecomesEightAndTheLabelsDoubleClickSizesTheWindow) {
  OpenPainted(40, 30, Uniform(kGrey));
  Frame.SetMemoLines({"A"});
  Tool->SizeSpinEditChange(150);
  EXPECT_EQ(Frame.Step, 2);
  Tool->SizeSpinEditExit("");
  EXPECT_EQ(Tool->FontSize(), 8);
  EXPECT_EQ(Frame.Size, 8);
  EXPECT_EQ(Frame.Step, 1);
  EXPECT_EQ(Rasterizer.Last.Size, 8);
  // A number left in the edit was reported as it changed; leaving changes nothing.
  Tool->SetFontSize(64);
  Tool->SizeSpinEditExit("400");
  EXPECT_EQ(Tool->FontSize(), 64);
  EXPECT_EQ(Frame.Size, 64);

  Window.Frame = Bounds(30, 40, 1000, 700);
  Tool->SizeLabelDoubleClick();
  EXPECT_EQ(Window.Frame, Bounds(30, 40, 800, 600));
}

}  // namespace
