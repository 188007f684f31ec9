// Tools inside the image editor without a window: a tool panel, buttons, option frames with
// track bars and paint boxes, and a recorder that remember what the tools did to them; images
// painted by a function and opened through the codec; the view at 1/1 from the client origin.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "documents/GraphicsEditorFixture.h"
#include "documents/WKScriptRecorder.h"
#include "platform/codec/StillImageCodec.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/WKToolFrame.h"
#include "tools/framework/WKToolPanelService.h"

class TFakeButton : public IWKToolButton {
 public:
  std::string Text, Hint;
  bool IsEnabled = true, IsVisible = true, IsChecked = false;
  int32_t Image = -1;
  std::function<void()> Click;
  void SetCaption(const std::string& t) override { Text = t; }
  void SetHint(const std::string& t) override { Hint = t; }
  void SetEnabled(bool v) override { IsEnabled = v; }
  void SetVisible(bool v) override { IsVisible = v; }
  std::string Caption() const override { return Text; }
  bool Enabled() const override { return IsEnabled; }
  bool Visible() const override { return IsVisible; }
  TPoint ScreenCenter() const override { return {20, 30}; }
  void SetChecked(bool v) override { IsChecked = v; }
  bool Checked() const override { return IsChecked; }
  void SetImageIndex(int32_t i) override { Image = i; }
};

// Hands out one button per tool, in creation order; Button is the first.
class TFakePanel : public IWKToolPanel {
 public:
  std::vector<std::unique_ptr<TFakeButton>> Buttons = OneButton();
  TFakeButton& Button = *Buttons.front();
  int32_t Width = 0;
  IWKToolButton* AddToolButton(const std::string& caption, std::function<void()> click) override {
    if (Given_++ > 0) Buttons.push_back(std::make_unique<TFakeButton>());
    TFakeButton* b = Buttons.back().get();
    b->Text = caption;
    b->Click = std::move(click);
    return b;
  }
  void AddToolSeparator(int32_t) override {}
  void SetPanelWidth(int32_t width) override { Width = std::max(Width, width); }

 private:
  static std::vector<std::unique_ptr<TFakeButton>> OneButton() {
    std::vector<std::unique_ptr<TFakeButton>> buttons;
    buttons.push_back(std::make_unique<TFakeButton>());
    return buttons;
  }
  int Given_ = 0;
};

class TRecorder : public IWKScriptRecorder {
 public:
  std::vector<std::string> Lines;
  bool Messages = true;
  void AddLine(const std::string& line) override { Lines.push_back(line); }
  bool ShowsMessages() const override { return Messages; }
};

class TFakeTrackBar : public IWKTrackBar {
 public:
  int32_t Min = 0, Max = 10, Tick = 1, Pos = 0;
  std::string Caption;
  bool Shown = true;
  std::function<void(int32_t)> OnChange;
  std::function<void()> OnEnter;
  TPoint Thumb{0, 0};

  void SetRange(int32_t minimum, int32_t maximum) override {
    Min = minimum;
    Max = maximum;
    Pos = std::clamp(Pos, Min, Max);
  }
  void SetTickFrequency(int32_t frequency) override { Tick = frequency; }
  void SetPosition(int32_t value) override { Pos = std::clamp(value, Min, Max); }
  int32_t Position() const override { return Pos; }
  void SetOnChange(std::function<void(int32_t)> handler) override { OnChange = std::move(handler); }
  void SetOnEnter(std::function<void()> handler) override { OnEnter = std::move(handler); }
  void SetCaption(const std::string& text) override { Caption = text; }
  void SetVisible(bool value) override { Shown = value; }
  bool Visible() const override { return Shown; }
  std::optional<TPoint> ThumbScreenPoint() const override {
    if (!Shown) return std::nullopt;
    return Thumb;
  }
  // The user drags the thumb there.
  void UserMoves(int32_t value) {
    SetPosition(value);
    if (OnChange) OnChange(Pos);
  }
};

class TFakePaintBox : public IWKPaintBox {
 public:
  TPaintHandler Handler;
  int Repaints = 0;
  bool Shown = true;
  void SetPaintHandler(TPaintHandler handler) override { Handler = std::move(handler); }
  void Repaint() override { ++Repaints; }
  bool Visible() const override { return Shown; }
};

// An option frame with the named track bars and paint boxes it was given.
class TFakeToolFrame : public virtual IWKToolFrame {
 public:
  TFakeToolFrame(std::initializer_list<std::string> trackBars, std::initializer_list<std::string> paintBoxes = {}) {
    int32_t i = 0;
    for (const std::string& name : trackBars) {
      TrackBars[name].Thumb = TPoint{1000 + i, 500};
      Centres[name] = TPoint{1000 + i++, 500};
    }
    for (const std::string& name : paintBoxes) {
      PaintBoxes[name];
      Centres[name] = TPoint{2000 + i++, 600};
    }
  }
  std::map<std::string, TFakeTrackBar> TrackBars;
  std::map<std::string, TFakePaintBox> PaintBoxes;
  std::map<std::string, TPoint> Centres;
  std::string Title;
  bool Enabled = true, Shown = true;
  int Fronts = 0;

  TFakeTrackBar& Bar(const std::string& name) { return TrackBars.at(name); }
  void SetControlsEnabled(bool v) override { Enabled = v; }
  void SetFrameVisible(bool v) override { Shown = v; }
  void BringToFront() override { ++Fronts; }
  const void* Control(std::string_view name) const override {
    const auto it = Centres.find(std::string(name));
    return it != Centres.end() ? &it->second : nullptr;
  }
  std::optional<TPoint> ControlCenter(std::string_view name) const override {
    const auto it = Centres.find(std::string(name));
    if (it == Centres.end()) return std::nullopt;
    if (const auto bar = TrackBars.find(it->first); bar != TrackBars.end() && !bar->second.Shown)
      return std::nullopt;
    return it->second;
  }
  void SetTitle(const std::string& text) override { Title = text; }
  IWKTrackBar* TrackBar(std::string_view name) override {
    const auto it = TrackBars.find(std::string(name));
    return it != TrackBars.end() ? &it->second : nullptr;
  }
  IWKPaintBox* PaintBox(std::string_view name) override {
    const auto it = PaintBoxes.find(std::string(name));
    return it != PaintBoxes.end() ? &it->second : nullptr;
  }
};

// The view's window as painted: the canvas's pixels when the paint is presented.
class TViewScreen : public IWKPaintWindow {
 public:
  explicit TViewScreen(TSize size) : Size(size) {}
  TSize Size;
  std::vector<uint8_t> Pixels;
  int32_t RowBytes = 0;
  TWKRegion UpdateRegion() override { return TWKRegion(Rect(0, 0, Size.Width, Size.Height)); }
  void Present(const TWKViewCanvas& canvas, const TRect&) override {
    Pixels.assign(canvas.Bits(), canvas.Bits() + canvas.RowBytes() * canvas.BitmapHeight());
    RowBytes = canvas.RowBytes();
  }
  TBGRPixel At(int32_t x, int32_t y) const {
    const uint8_t* p = Pixels.data() + y * RowBytes + x * 3;
    return {p[0], p[1], p[2]};
  }
};

using TPaint = std::function<TBGRPixel(int32_t x, int32_t y)>;

// The editor with the demonstration registry and the tool panel installed for tools to use.
class ToolTest : public GraphicsEditorTest {
 protected:
  ToolTest() {
    SetDemoRegistry(&Registry);
    SetToolPanelService(&Panel);
  }
  ~ToolTest() override {
    SetDemoRegistry(nullptr);
    SetToolPanelService(nullptr);
  }

  // Opens a PNG of the given pixels; the view shows it at 1/1 from the client origin when it
  // fits the view.
  TWKGraphicsDocument* OpenPainted(int32_t width, int32_t height, const TPaint& paint) {
    const ptrdiff_t rowBytes = (width * 3 + 3) & ~3;
    std::vector<uint8_t> bits(static_cast<size_t>(rowBytes * height));
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) {
        const TBGRPixel p = paint(x, y);
        uint8_t* d = bits.data() + y * rowBytes + x * 3;
        d[0] = p.Blue;
        d[1] = p.Green;
        d[2] = p.Red;
      }
    const std::string path = (Folder / "painted.png").string();
    TCodecError err;
    EXPECT_TRUE(TStillImageCodec::SaveToFile("image/png", {bits.data(), rowBytes, width, height}, {}, path, err));
    if (Document() != nullptr) Document()->NoSaveQuery = true;
    TWKGraphicsDocument* doc = Open(path);
    EXPECT_NE(doc, nullptr);
    return doc;
  }
  static TPaint Uniform(TBGRPixel p) {
    return [p](int32_t, int32_t) { return p; };
  }
  // A client point of the view for an image point.
  TPoint Client(TPoint image) const { return View()->MapMode().DocToDev(image); }
  TBGRPixel At(int32_t x, int32_t y) const { return *Document()->CurrentPixels()->Pixel(x, y); }
  std::vector<uint8_t> Bytes() const {
    const TWKPixels& p = *Document()->CurrentPixels();
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < p.Height; ++y)
      out.insert(out.end(), p.PixelAddress(0, y), p.PixelAddress(0, y) + p.Width * 3);
    return out;
  }
  int32_t HistoryCount() const { return Document()->History().Count(); }
  // Frees a tool before the fake frame it uses goes (the application would free it later).
  template <class T>
  void Destroy(T*& tool) {
    if (Editor->CurrentTool() == tool) Editor->SetCurrentTool(nullptr);
    delete tool;
    tool = nullptr;
  }

  TWKDemoRegistry Registry;
  TFakePanel Panel;
};
