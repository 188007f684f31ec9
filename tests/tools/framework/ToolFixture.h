// Tools inside the image editor without a window (the fakes of ToolFakes.h): images painted by
// a function and opened through the codec; the view at 1/1 from the client origin.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "documents/GraphicsEditorFixture.h"
#include "platform/codec/StillImageCodec.h"
#include "tools/framework/ToolFakes.h"
#include "tools/framework/WKDemoRegistry.h"

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
    if (Document() != nullptr) Document()->NoSaveQuery = true;
    TWKGraphicsDocument* doc = Open(MakeImage("painted.png", width, height, paint));
    EXPECT_NE(doc, nullptr);
    return doc;
  }
  static TPaint Uniform(TBGRPixel p) {
    return [p](int32_t, int32_t) { return p; };
  }
  // A client point of the view for an image point.
  TPoint Client(TPoint image) const { return View()->MapMode().DocToDev(image); }
  TBGRPixel At(int32_t x, int32_t y) const { return *Document()->CurrentPixels()->Pixel(x, y); }
  std::vector<uint8_t> Bytes() const { return ImageBytes(*Document()->CurrentPixels()); }
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
