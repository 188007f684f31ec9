// A 24-megapixel photo in an image document with a view, over windows that do nothing: shared
// by the view benchmarks.
#pragma once

#include <random>

#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "view/WKGraphicsView.h"


class TNullItem : public IWKUIItem {
 public:
  void SetCaption(const std::string& text) override { caption = text; }
  void SetHint(const std::string&) override {}
  void SetEnabled(bool) override {}
  void SetVisible(bool) override {}
  std::string Caption() const override { return caption; }
  bool Enabled() const override { return true; }
  bool Visible() const override { return true; }
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

 private:
  IWKUIItem* New() {
    items.push_back(std::make_unique<TNullItem>());
    return items.back().get();
  }
  std::vector<std::unique_ptr<TNullItem>> items;
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

class TRegionWindow : public IWKPaintWindow {
 public:
  TWKRegion region;
  TWKRegion UpdateRegion() override { return region; }
  void Present(const TWKViewCanvas&, const TRect&) override {}
};

// One 6000 x 4000 photo in a document with a 1920 x 1080 view, made once.
struct TScene {
  TNullWindow window;
  TNullDialogs dialogs;
  std::unique_ptr<TWKGraphicsEditor> editor;
  std::unique_ptr<TWKDocument> document;
  TWKGraphicsView* view = nullptr;

  // Without a factory the views get TClientWindow; the Qt benchmark installs its own first.
  TScene() {
    if (!TWKGraphicsView::HasWindowFactory())
      TWKGraphicsView::SetWindowFactory([](TWKGraphicsView&) { return std::make_unique<TClientWindow>(); });
    editor = std::make_unique<TWKGraphicsEditor>(nullptr, window, window, dialogs);
    document = editor->CreateDocument();
    auto& doc = static_cast<TWKGraphicsDocument&>(*document);
    doc.SetImageSize(6000, 4000);
    std::mt19937 random(7);
    TWKPixels& p = *doc.CurrentPixels();
    for (int32_t y = 0; y < p.Height; ++y) {
      uint8_t* row = p.PixelAddress(0, y);
      for (int32_t x = 0; x < p.Width * 3; ++x) row[x] = static_cast<uint8_t>(x / 7 + y / 5 + (random() & 15));
    }
    doc.CurrentImageLoaded();
    view = doc.GraphicsView();
    view->DocumentView()->SetVisible(true);
    view->DocumentView()->SetBounds(doc.ImageRect());
  }
  TWKGraphicsDocument& Doc() { return static_cast<TWKGraphicsDocument&>(*document); }
};

