// The dockable tool panel: a wrapping tool bar of tool buttons at the top and, below it, the
// current tool's option frame.
#pragma once

#include <QFrame>
#include <QLayout>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/WKGuid.h"
#include "framework/qt/WKForm.h"
#include "tools/framework/WKPanelState.h"
#include "tools/framework/WKToolPanelService.h"

class QAction;
class QDockWidget;
class QScrollArea;
class QStackedWidget;
class QToolButton;
class TMainForm;
class TWKImageList;

// Lays its items out left to right in rows, starting a new row when the next item does not fit.
class TWKFlowLayout : public QLayout {
 public:
  explicit TWKFlowLayout(QWidget* parent) : QLayout(parent) {}
  ~TWKFlowLayout() override;

  void addItem(QLayoutItem* item) override { Items_.append(item); }
  int count() const override { return static_cast<int>(Items_.size()); }
  QLayoutItem* itemAt(int index) const override { return Items_.value(index); }
  QLayoutItem* takeAt(int index) override;
  Qt::Orientations expandingDirections() const override { return {}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override { return Arrange(QRect(0, 0, width, 0), false); }
  QSize sizeHint() const override { return minimumSize(); }
  QSize minimumSize() const override;
  void setGeometry(const QRect& rect) override;

 private:
  int Arrange(const QRect& rect, bool apply) const;
  QList<QLayoutItem*> Items_;
};

// The panel tool bar: buttons with the program images; separators, of which a wide one starts
// a new row.
class TWKWrapToolbar : public QWidget {
 public:
  explicit TWKWrapToolbar(QWidget* parent);

  QToolButton* AddButton(const std::string& caption, int imageIndex, std::function<void()> click);
  // A vertical line; width > the bar's width starts a new row after it.
  QWidget* AddSeparator(int width = 6);
  void SetImageIndex(QToolButton* button, int imageIndex);
  void SetImages(TWKImageList* images) { Images_ = images; }
  int HeightFor(int width) const;
  bool Wrap() const { return Wrap_; }
  void SetWrap(bool value);

  // Runs when the bar's size changes and when its buttons change (added, shown or hidden).
  std::function<void()> OnResize;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void ItemsChanged();

  TWKImageList* Images_ = nullptr;
  bool Wrap_ = true;
};

class TWKToolFrame : public TWKFrame {
 public:
  explicit TWKToolFrame(TWKComponent* owner, QWidget* parent);
  TWKWrapToolbar* Toolbar = nullptr;
  // The bar takes the frame's width and its rows are laid out; frame height := bar height + 6.
  void ToolbarResize();

 protected:
  // The tool bar spans the frame: a wider or narrower panel re-wraps its buttons.
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool Resizing_ = false;
};

// A tool's button on the panel tool bar.
class TQtToolButton : public IWKToolButton {
 public:
  TQtToolButton(TWKWrapToolbar& toolbar, QToolButton* button) : Toolbar_(toolbar), Button_(button) {}
  void SetCaption(const std::string& text) override;
  void SetHint(const std::string& text) override;
  void SetEnabled(bool value) override;
  void SetVisible(bool value) override;
  std::string Caption() const override;
  bool Enabled() const override;
  bool Visible() const override;
  TPoint ScreenCenter() const override;
  void SetChecked(bool value) override;
  bool Checked() const override;
  void SetImageIndex(int32_t index) override;
  QToolButton* Widget() const { return Button_; }

 private:
  TWKWrapToolbar& Toolbar_;
  QToolButton* Button_;
};

class TWKToolPanelModule : public TWKModuleWithControls, public IWKToolPanel {
 public:
  static constexpr TWKGUID kSettingsGuid = WKGuid("{9FC124C8-2014-4832-8878-3489538D623F}");
  static constexpr int kCaptionText = 176;
  static constexpr int kDefaultWidth = 200;

  TWKToolPanelModule(TWKComponent* owner, TMainForm& mainForm);
  ~TWKToolPanelModule() override;

  // Creates a frame of class F owned by this module, placed in the panel below the tool bar,
  // filling it and scrolling when larger; none when its construction fails.
  template <class F, class... Args>
  F* CreateToolFrame(Args&&... args) {
    F* frame = nullptr;
    try {
      frame = new F(this, nullptr, std::forward<Args>(args)...);
    } catch (...) {
      return nullptr;
    }
    PlaceFrame(frame);
    return frame;
  }
  // Shows the frame in front of the others.
  void BringToFront(QWidget* frame);
  QWidget* FrontFrame() const;
  // Ignored below the panel's current minimum width; otherwise the panel becomes that wide.
  int PanelWidth() const { return PanelWidth_; }
  void SetToolbarWrap();
  bool PanelVisible() const;
  void SetPanelVisible(bool value) override;

  IWKToolButton* AddToolButton(const std::string& caption, std::function<void()> click) override;
  void AddToolSeparator(int32_t width) override { Toolbar->AddSeparator(width); }
  void SetPanelWidth(int32_t width) override;
  const std::vector<std::unique_ptr<TQtToolButton>>& Buttons() const { return Buttons_; }

  TWKPanelState State() const;
  void ApplyState(const TWKPanelState& state);

  void Localize() override;
  void UpdateControls() override;
  void LoadSettings(TWKSDFReader& reader) override;
  void SaveSettings(TWKSDFWriter& writer) override;

  QAction* VisibleMenuItem = nullptr;
  QDockWidget* Panel = nullptr;
  TWKToolFrame* ToolFrame = nullptr;
  TWKWrapToolbar* Toolbar = nullptr;

 private:
  void PlaceFrame(QWidget* frame);

  TMainForm& MainForm_;
  std::vector<std::unique_ptr<TQtToolButton>> Buttons_;
  QStackedWidget* Frames_ = nullptr;
  int PanelWidth_ = kDefaultWidth;
  bool Visible_ = true;
};

// The program's tool panel, or none.
TWKToolPanelModule* ToolPanel();
