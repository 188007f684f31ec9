// The base of every tool's option frame: a bold title over a column of controls, the controls
// named for demonstrations, and the operations every tool asks of its frame.
#pragma once

#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>
#include <functional>
#include <string>
#include <unordered_map>

#include "framework/qt/WKForm.h"
#include "tools/framework/WKToolFrame.h"
#include "tools/framework/qt/WKToolPanel.h"

class TWKOptionFrame : public TWKFrame, public virtual IWKToolFrame {
 public:
  TWKOptionFrame(TWKComponent* owner, QWidget* parent, int minimumWidth);

  QLabel* TitleLabel = nullptr;
  QVBoxLayout* Column = nullptr;

  void SetControlsEnabled(bool value) override { TWKFrame::SetControlsEnabled(value); }
  void SetFrameVisible(bool value) override { setVisible(value); }
  void BringToFront() override;
  const void* Control(std::string_view name) const override { return ControlWidget(name); }
  std::optional<TPoint> ControlCenter(std::string_view name) const override;

  // Names a control for demonstrations (the tool registers it under its script name + name).
  void NameControl(std::string_view name, QWidget* widget);
  QWidget* ControlWidget(std::string_view name) const;

  // A label over a horizontal track bar, both appended to the column (or to `into`). Changes the
  // user makes go to onChange; focus entering the bar goes to onEnter (demonstration recording).
  QSlider* AddTrackBar(QLabel*& label, int minimum, int maximum, std::function<void(int)> onChange,
                       std::function<void()> onEnter = nullptr, QBoxLayout* into = nullptr);
  // Moves a track bar without reporting a change: the tool's own moves are no user action.
  static void SetTrackBarPosition(QSlider* trackBar, int value);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unordered_map<std::string, QWidget*> Controls_;
  std::unordered_map<QObject*, std::function<void()>> EnterHandlers_;
};

// Makes a frame of class F in the program's tool panel for a tool; none without a panel.
template <class F, class Tool>
F* CreateOptionFrame(Tool& tool) {
  TWKToolPanelModule* panel = ToolPanel();
  return panel != nullptr ? panel->CreateToolFrame<F>(tool) : nullptr;
}
