// The base of every tool's option frame: a bold title over a column of controls, the controls
// named for demonstrations, and the operations every tool asks of its frame.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "framework/qt/WKForm.h"
#include "tools/framework/WKToolFrame.h"
#include "tools/framework/qt/WKToolPanel.h"

class TWKOptionFrame;

// A label over a horizontal slider, as a tool binds it.
class TQtTrackBar : public IWKTrackBar {
 public:
  TQtTrackBar(TWKOptionFrame& frame, QLabel* label, QSlider* slider);
  void SetRange(int32_t minimum, int32_t maximum) override;
  void SetTickFrequency(int32_t frequency) override;
  void SetPosition(int32_t value) override;
  int32_t Position() const override { return Slider->value(); }
  void SetOnChange(std::function<void(int32_t)> handler) override { OnChange_ = std::move(handler); }
  void SetOnEnter(std::function<void()> handler) override;
  void SetCaption(const std::string& text) override;
  void SetVisible(bool value) override;
  bool Visible() const override { return !Slider->isHidden(); }
  std::optional<TPoint> ThumbScreenPoint() const override;

  QLabel* Label;
  QSlider* Slider;

 private:
  TWKOptionFrame& Frame_;
  std::function<void(int32_t)> OnChange_;
};

// A box the tool paints as a 24-bit image of its client size.
class TQtPaintBox : public QWidget, public IWKPaintBox {
 public:
  TQtPaintBox(QWidget* parent, int width, int height);
  void SetPaintHandler(TPaintHandler handler) override { Handler_ = std::move(handler); }
  void Repaint() override { update(); }
  bool Visible() const override { return isVisible(); }
  void SetMouseHandler(TMouseHandler handler) override { MouseHandler_ = std::move(handler); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void ReportMouse(TMouseEvent kind, QMouseEvent* event);

  TPaintHandler Handler_;
  TMouseHandler MouseHandler_;
};

// A check box, or a button that stays down, as a tool binds it.
class TQtCheckBox : public IWKCheckBox {
 public:
  explicit TQtCheckBox(QAbstractButton* box);
  void SetChecked(bool value) override;
  bool Checked() const override { return Box->isChecked(); }
  void SetOnChange(std::function<void(bool)> handler) override { OnChange_ = std::move(handler); }
  void SetCaption(const std::string& text) override;

  QAbstractButton* Box;

 private:
  std::function<void(bool)> OnChange_;
};

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
  void SetTitle(const std::string& text) override;
  IWKTrackBar* TrackBar(std::string_view name) override;
  IWKPaintBox* PaintBox(std::string_view name) override;
  IWKCheckBox* CheckBox(std::string_view name) override;

  // Names a control for demonstrations (the tool registers it under its script name + name).
  void NameControl(std::string_view name, QWidget* widget);
  QWidget* ControlWidget(std::string_view name) const;

  // A label over a horizontal track bar, both appended to the column (or to `into`). Changes the
  // user makes go to onChange; focus entering the bar goes to onEnter (demonstration recording).
  QSlider* AddTrackBar(QLabel*& label, int minimum, int maximum, std::function<void(int)> onChange,
                       std::function<void()> onEnter = nullptr, QBoxLayout* into = nullptr);
  // Moves a track bar without reporting a change: the tool's own moves are no user action.
  static void SetTrackBarPosition(QSlider* trackBar, int value);
  // A track bar a tool binds (AddTrackBar's pair), appended to the column and named for
  // demonstrations and for TrackBar(name).
  TQtTrackBar* AddNamedTrackBar(std::string_view name, int minimum, int maximum);
  // A paint box of the given size named for demonstrations and PaintBox(name); the caller
  // places it.
  TQtPaintBox* AddNamedPaintBox(std::string_view name, QWidget* parent, int width, int height);
  // A check box a tool binds, named for demonstrations and CheckBox(name); the caller places it.
  TQtCheckBox* AddNamedCheckBox(std::string_view name, QWidget* parent);
  // A button of the given size that stays down when clicked, bound as a check box.
  TQtCheckBox* AddNamedToggleButton(std::string_view name, QWidget* parent, int width, int height);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class TQtTrackBar;
  // Focus entering the widget goes to handler (none: nothing).
  void SetEnterHandler(QWidget* widget, std::function<void()> handler);

  std::unordered_map<std::string, QWidget*> Controls_;
  std::unordered_map<std::string, std::unique_ptr<TQtTrackBar>> TrackBars_;
  std::unordered_map<std::string, TQtPaintBox*> PaintBoxes_;
  std::unordered_map<std::string, std::unique_ptr<TQtCheckBox>> CheckBoxes_;
  std::unordered_map<QObject*, std::function<void()>> EnterHandlers_;
};

// Makes a frame of class F in the program's tool panel for a tool; none without a panel.
template <class F, class Tool>
F* CreateOptionFrame(Tool& tool) {
  TWKToolPanelModule* panel = ToolPanel();
  return panel != nullptr ? panel->CreateToolFrame<F>(tool) : nullptr;
}
