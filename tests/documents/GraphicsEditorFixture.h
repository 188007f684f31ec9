// The image editor over fake windows: a main window with status panels and a screen, view
// windows of a chosen size, and tools that log what they hear.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "EditorFixture.h"
#include "documents/WKGraphicsCommandState.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "documents/WKGraphicsFormats.h"
#include "documents/WKGraphicsToolHooks.h"
#include "framework/WKModule.h"
#include "view/FakeViewWindow.h"
#include "view/WKGraphicsView.h"

class TFakeGraphicsWindow : public TFakeMainWindow, public IWKGraphicsMainWindow {
 public:
  TFakeItem Toolbars;
  std::vector<TFakeItem*> StatusPanels;
  std::vector<TFakeItem*> TextButtons;
  TRect Frame = Bounds(0, 0, 1000, 800);
  TRect Area = Bounds(0, 0, 1920, 1080);
  std::function<void(const std::string&)> DropFile;

  IWKUIItem* ToolbarsMenuItem() override { return &Toolbars; }
  IWKUIItem* AddStatusPanel(const std::string& text, int32_t width) override;
  int32_t FontHeight() const override { return 13; }
  IWKUIItem* AddTextButton(IWKUIItem* toolbar, const std::string& caption,
                           TWKClickHandler click) override;
  TRect WindowRect() const override { return Frame; }
  void SetWindowRect(const TRect& rect) override { Frame = rect; }
  TRect WorkArea() const override { return Area; }
  void SetDropFileHandler(std::function<void(const std::string&)> handler) override {
    DropFile = std::move(handler);
  }
  void ShowReducedPicture(const TWKLTBitmap* reduced, int32_t width, int32_t height) override {
    if (OnReducedPicture) OnReducedPicture(reduced, width, height);
  }
  std::function<void(const TWKLTBitmap*, int32_t, int32_t)> OnReducedPicture;

 private:
  std::vector<std::unique_ptr<TFakeItem>> Own_;
};

// A tool that logs every hook as one word and can hold edit transactions.
class TLoggingTool : public TWKModuleWithControls, public IWKGraphicsTool {
 public:
  TLoggingTool(TWKComponent* owner, std::string name, std::vector<std::string>& log)
      : TWKModuleWithControls(owner), Log(log) {
    Name = std::move(name);
  }
  std::vector<std::string>& Log;
  bool Exclusive = false;
  TWKGraphicsDocument* Editing = nullptr;
  int32_t ControlsCreated = 0;

  void Activate() override { Log.push_back(Name + ".Activate"); }
  void Deactivate() override { Log.push_back(Name + ".Deactivate"); }
  void CreateControl(TWKGraphicsView&) override { ++ControlsCreated; }
  // Stores a pixel state for the dirty rectangle, as the tool framework's default does.
  void EndEdit() override;
  bool ExclusiveEdit() const override { return Exclusive; }
  void DocumentOpened(TWKGraphicsDocument&) override { Log.push_back(Name + ".Opened"); }
  void DocumentClosing(TWKGraphicsDocument&) override { Log.push_back(Name + ".Closing"); }
  void BeforeUndo(TWKCommandState*) override { Log.push_back(Name + ".BeforeUndo"); }
  void AfterUndo(TWKCommandState*) override { Log.push_back(Name + ".AfterUndo"); }
  void BeforeRedo(TWKCommandState*) override { Log.push_back(Name + ".BeforeRedo"); }
  void AfterRedo(TWKCommandState*) override { Log.push_back(Name + ".AfterRedo"); }
  void ImageRegionChanged(TWKGraphicsDocument&, IWKGraphicsTool*, const TRect&) override {
    Log.push_back(Name + ".Region");
  }

  // Opens a transaction, paints rect with the colour and marks it dirty.
  void Paint(TWKGraphicsDocument& document, const TRect& rect, TBGRPixel colour);
};

// The exchange file stand-in: "PSPF", width and height as bytes, then B, G, R rows.
class TFakeExchangeFormats : public TWKGraphicsFormats {
 public:
  bool FailWrites = false;
  int Writes = 0;
  bool ReadExchangeFile(TWKGraphicsDocument& document, const std::string& fileName) override;
  bool WriteExchangeFile(TWKGraphicsDocument& document, const std::string& fileName) override;
};

// The pixel bytes of a surface, row padding left out, for comparing whole images.
std::vector<uint8_t> ImageBytes(const TWKPixels& pixels);

class GraphicsEditorTest : public ::testing::Test {
 protected:
  GraphicsEditorTest();
  ~GraphicsEditorTest() override;

  // A gradient PNG written by the codec: blue x, green y, red x + y (each modulo 256).
  std::string MakeImage(const std::string& name, int32_t width, int32_t height);
  // A PNG of the pixels paint gives.
  using TPixelPaint = std::function<TBGRPixel(int32_t x, int32_t y)>;
  std::string MakeImage(const std::string& name, int32_t width, int32_t height, const TPixelPaint& paint);
  std::string MakeExchangeFile(const std::string& name, int32_t width, int32_t height);
  TWKGraphicsDocument* Open(const std::string& fileName);
  // Opens a small image, then gives its document width × height pixels painted by paint (the
  // original and the backup copies of them), as loading a photo that size would; much quicker
  // than encoding and decoding a large file.
  TWKGraphicsDocument* OpenPixels(int32_t width, int32_t height,
                                  const std::function<TBGRPixel(int32_t x, int32_t y)>& paint);
  TFakeViewWindow* ViewWindow() const { return LastWindow; }
  TWKGraphicsDocument* Document() const { return Editor->CurrentImageDocument(); }
  TWKGraphicsView* View() const { return Editor->CurrentView(); }

  std::filesystem::path Folder;
  TWKApplication App;
  ::testing::NiceMock<MockMessageBox>* Messages;  // owned by App
  TFakeGraphicsWindow Window;
  TFakeDialogs Dialogs;
  TSize NextViewSize{800, 600};
  TFakeViewWindow* LastWindow = nullptr;
  TFakeExchangeFormats* Formats = nullptr;
  std::unique_ptr<TWKGraphicsEditor> Editor;
  std::unique_ptr<TWKLocalizer> PreviousLocalizer;
  std::vector<std::string> Log;
};
