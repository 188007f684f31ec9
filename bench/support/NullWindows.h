// Main window, dialogs and view window that do nothing, for benchmarks that run the image
// editor without a display.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "documents/WKEditorUI.h"
#include "documents/WKGraphicsEditorUI.h"
#include "view/WKViewControl.h"

class TNullItem : public IWKUIItem {
 public:
  void SetCaption(const std::string& text) override { caption = text; }
  void SetHint(const std::string&) override {}
  void SetEnabled(bool) override {}
  void SetVisible(bool) override {}
  void SetChecked(bool) override {}
  std::string Caption() const override { return caption; }
  bool Enabled() const override { return true; }
  bool Visible() const override { return true; }
  bool Checked() const override { return false; }
  TPoint ScreenCenter() const override { return {}; }
  std::string caption;
};

class TNullWindow : public IWKMainWindow, public IWKGraphicsMainWindow {
 public:
  TNullItem item;
  IWKUIItem* FileMenuItem() override { return &item; }
  IWKUIItem* FileMenuSeparator() override { return &item; }
  IWKUIItem* ExitMenuItem() override { return &item; }
  IWKUIItem* ViewMenuItem() override { return &item; }
  IWKUIItem* HelpMenuItem() override { return &item; }
  IWKUIItem* AddMenuItem(const std::string&, const std::string&, IWKUIItem*, IWKUIItem*, int32_t,
                         TWKClickHandler) override { return New(); }
  IWKUIItem* AddSubmenu(const std::string&, IWKUIItem*, IWKUIItem*) override { return New(); }
  IWKUIItem* AddSeparator(IWKUIItem*, IWKUIItem*) override { return New(); }
  IWKUIItem* AddToolbar(const std::string&) override { return New(); }
  IWKUIItem* AddToolbarButton(IWKUIItem*, IWKUIItem*, const std::string&, int32_t,
                              TWKClickHandler) override { return New(); }
  IWKUIItem* AddToolbarSeparator(IWKUIItem*, IWKUIItem*) override { return New(); }
  void SetCaption(const std::string&) override {}
  void ShowDocumentView(TWKDocumentView&) override {}
  void SetCloseQuery(std::function<void(bool&)>) override {}
  void Close() override {}
  IWKUIItem* ToolbarsMenuItem() override { return &item; }
  IWKUIItem* AddStatusPanel(const std::string&, int32_t) override { return New(); }
  int32_t FontHeight() const override { return 13; }
  IWKUIItem* AddTextButton(IWKUIItem*, const std::string&, TWKClickHandler) override { return New(); }
  TRect WindowRect() const override { return Rect(0, 0, 1920, 1200); }
  void SetWindowRect(const TRect&) override {}
  TRect WorkArea() const override { return Rect(0, 0, 1920, 1200); }
  void SetDropFileHandler(std::function<void(const std::string&)>) override {}
  void ShowReducedPicture(const TWKLTBitmap*, int32_t, int32_t) override {}

 private:
  IWKUIItem* New() {
    Items_.push_back(std::make_unique<TNullItem>());
    return Items_.back().get();
  }
  std::vector<std::unique_ptr<TNullItem>> Items_;
};

class TNullDialogs : public IWKFileDialogs {
 public:
  bool ExecuteOpenDialog(TWKFileFormats&, std::string&) override { return false; }
  bool ExecuteSaveDialog(TWKFileFormats&, const TWKFileFormatArray&, std::string&, int32_t&) override {
    return false;
  }
};

class TClientWindow : public IWKViewWindow {
 public:
  TSize OuterSize() const override { return {1920 + 17, 1080 + 17}; }
  TSize ClientSize() const override { return {1920, 1080}; }
  int32_t VerticalScrollBarWidth() const override { return 17; }
  int32_t HorizontalScrollBarHeight() const override { return 17; }
  void SetScrollBar(bool horizontal, const TWKScrollBarInfo& info, bool) override { bars[horizontal] = info; }
  TWKScrollBarInfo GetScrollBar(bool horizontal) const override { return bars[horizontal]; }
  void Invalidate(const TRect*) override {}
  void ScrollPixels(int32_t, int32_t) override {}
  void Update() override {}
  TPoint ClientToScreen(TPoint p) const override { return p; }
  TPoint ScreenToClient(TPoint p) const override { return p; }
  TPoint CursorPos() const override { return {}; }
  TWKScrollBarInfo bars[2];
};
