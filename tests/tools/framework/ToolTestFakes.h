// The tool panel, its buttons and the demonstration recorder as the tools see them, without a
// window.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "documents/WKScriptRecorder.h"
#include "tools/framework/WKToolFrame.h"
#include "tools/framework/WKToolPanelService.h"

// What every option frame does, for fake frames to derive from beside their tool's interface.
class TFakeToolFrame : public virtual IWKToolFrame {
 public:
  bool Enabled = true, Shown = true;
  int Fronts = 0;
  void SetControlsEnabled(bool v) override { Enabled = v; }
  void SetFrameVisible(bool v) override { Shown = v; }
  void BringToFront() override { ++Fronts; }
  const void* Control(std::string_view) const override { return this; }
  std::optional<TPoint> ControlCenter(std::string_view) const override { return TPoint{}; }
};

class TFakeToolButton : public IWKToolButton {
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

// Every button it hands out is kept; Button is the last one.
class TFakeToolPanel : public IWKToolPanel {
 public:
  std::vector<std::unique_ptr<TFakeToolButton>> Buttons;
  TFakeToolButton* Button = nullptr;
  int32_t Width = 0;
  IWKToolButton* AddToolButton(const std::string& caption, std::function<void()> click) override {
    Buttons.push_back(std::make_unique<TFakeToolButton>());
    Button = Buttons.back().get();
    Button->Text = caption;
    Button->Click = std::move(click);
    return Button;
  }
  void AddToolSeparator(int32_t) override {}
  void SetPanelWidth(int32_t width) override { Width = std::max(Width, width); }
};

class TLineRecorder : public IWKScriptRecorder {
 public:
  std::vector<std::string> Lines;
  bool Messages = true;
  void AddLine(const std::string& line) override { Lines.push_back(line); }
  bool ShowsMessages() const override { return Messages; }
};
