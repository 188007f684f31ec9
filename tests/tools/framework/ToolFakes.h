// A tool panel, buttons, option frames with track bars and paint boxes, and a recorder that
// remember what the tools did to them, for tool tests without a window.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "documents/WKScriptRecorder.h"
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
  TMouseHandler Mouse;
  int Repaints = 0;
  bool Shown = true;
  void SetPaintHandler(TPaintHandler handler) override { Handler = std::move(handler); }
  void Repaint() override { ++Repaints; }
  bool Visible() const override { return Shown; }
  void SetMouseHandler(TMouseHandler handler) override { Mouse = std::move(handler); }
};

class TFakeCheckBox : public IWKCheckBox {
 public:
  bool Value = false;
  std::string Caption;
  std::function<void(bool)> OnChange;
  void SetChecked(bool value) override { Value = value; }
  bool Checked() const override { return Value; }
  void SetOnChange(std::function<void(bool)> handler) override { OnChange = std::move(handler); }
  void SetCaption(const std::string& text) override { Caption = text; }
  // The user clicks it.
  void UserSets(bool value) {
    Value = value;
    if (OnChange) OnChange(value);
  }
};

// An option frame with the named track bars, paint boxes and check boxes it was given.
class TFakeToolFrame : public virtual IWKToolFrame {
 public:
  explicit TFakeToolFrame(std::initializer_list<std::string> trackBars = {},
                          std::initializer_list<std::string> paintBoxes = {},
                          std::initializer_list<std::string> checkBoxes = {}) {
    int32_t i = 0;
    for (const std::string& name : trackBars) {
      TrackBars[name].Thumb = TPoint{1000 + i, 500};
      Centres[name] = TPoint{1000 + i++, 500};
    }
    for (const std::string& name : paintBoxes) {
      PaintBoxes[name];
      Centres[name] = TPoint{2000 + i++, 600};
    }
    for (const std::string& name : checkBoxes) {
      CheckBoxes[name];
      Centres[name] = TPoint{3000 + i++, 700};
    }
  }
  std::map<std::string, TFakeTrackBar> TrackBars;
  std::map<std::string, TFakePaintBox> PaintBoxes;
  std::map<std::string, TFakeCheckBox> CheckBoxes;
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
  IWKCheckBox* CheckBox(std::string_view name) override {
    const auto it = CheckBoxes.find(std::string(name));
    return it != CheckBoxes.end() ? &it->second : nullptr;
  }
};
