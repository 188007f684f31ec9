// A 24-megapixel photo in an image document with a view, over windows that do nothing: shared
// by the view benchmarks.
#pragma once

#include <random>

#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "support/NullWindows.h"
#include "view/WKGraphicsView.h"


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
    InstallGraphicsViews();
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

