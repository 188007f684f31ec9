#include "GraphicsEditorFixture.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/codec/StillImageCodec.h"

IWKUIItem* TFakeGraphicsWindow::AddStatusPanel(const std::string& text, int32_t width) {
  Own_.push_back(std::make_unique<TFakeItem>());
  Own_.back()->CaptionText = text;
  StatusPanels.push_back(Own_.back().get());
  return Own_.back().get();
}

IWKUIItem* TFakeGraphicsWindow::AddTextButton(IWKUIItem* toolbar, const std::string& caption,
                                              TWKClickHandler click) {
  auto* item = static_cast<TFakeItem*>(AddToolbarButton(toolbar, nullptr, caption, -1, click));
  item->Click = std::move(click);
  TextButtons.push_back(item);
  return item;
}

void TLoggingTool::Paint(TWKGraphicsDocument& document, const TRect& rect, TBGRPixel colour) {
  document.BeginEditTransaction(this);
  Editing = &document;
  TWKPixels& pixels = *document.CurrentPixels();
  const TRect r = IntersectRect(rect, pixels.BoundsRect());
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    for (int32_t x = r.Left; x < r.Right; ++x) *pixels.Pixel(x, y) = colour;
  document.MarkDirty(r, false);
}

void TLoggingTool::EndEdit() {
  Log.push_back(Name + ".EndEdit");
  TWKGraphicsDocument* document = Editing;
  Editing = nullptr;
  if (document == nullptr) return;
  const TRect dirty = document->DirtyRect();
  if (!dirty.IsEmpty()) {
    document->History().Add(std::make_unique<TWKGraphicsCommandState>(this, dirty, *document));
    document->RefreshBackupRect(dirty);
  }
  if (document->EditActive()) document->EndEditTransaction(this);
}

namespace {

void WriteBytes(const std::string& fileName, const std::vector<uint8_t>& bytes) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

bool TFakeExchangeFormats::ReadExchangeFile(TWKGraphicsDocument& document, const std::string& fileName) {
  const std::vector<uint8_t> bytes = ReadBytes(fileName);
  if (bytes.size() < 6) return false;
  const int32_t w = bytes[4], h = bytes[5];
  if (bytes.size() != 6 + static_cast<size_t>(w * h * 3) || !document.SetImageSize(w, h)) return false;
  TWKPixels& p = *document.CurrentPixels();
  for (int32_t y = 0; y < h; ++y)
    std::memcpy(p.PixelAddress(0, y), bytes.data() + 6 + y * w * 3, static_cast<size_t>(w) * 3);
  return document.CurrentImageLoaded();
}

bool TFakeExchangeFormats::WriteExchangeFile(TWKGraphicsDocument& document, const std::string& fileName) {
  ++Writes;
  if (FailWrites) {
    LastError = "the disk is full";
    return false;
  }
  const TWKPixels& p = *document.CurrentPixels();
  std::vector<uint8_t> bytes{'P', 'S', 'P', 'F', static_cast<uint8_t>(p.Width), static_cast<uint8_t>(p.Height)};
  for (int32_t y = 0; y < p.Height; ++y)
    bytes.insert(bytes.end(), p.PixelAddress(0, y), p.PixelAddress(0, y) + p.Width * 3);
  WriteBytes(fileName, bytes);
  return true;
}

GraphicsEditorTest::GraphicsEditorTest() {
  Folder = std::filesystem::temp_directory_path() /
           ("qm_graphics_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::remove_all(Folder);
  std::filesystem::create_directories(Folder);
  const char* data = std::getenv("QM_DATA");
  PreviousLocalizer = SetGlobalLocalizer(std::make_unique<TWKLocalizer>(
      std::string(data ? data : "data") + "/Languages", 1033));
  auto messages = std::make_unique<::testing::NiceMock<MockMessageBox>>();
  Messages = messages.get();
  App.SetMessageBoxService(std::move(messages));
  App.SetTitle("Quillmoor");
  InstallGraphicsViews();
  TWKGraphicsView::SetWindowFactory([this](TWKGraphicsView&) {
    auto window = std::make_unique<TFakeViewWindow>();
    window->Outer = NextViewSize;
    LastWindow = window.get();
    return window;
  });
  auto formats = std::make_unique<TFakeExchangeFormats>();
  Formats = formats.get();
  Editor = std::make_unique<TWKGraphicsEditor>(&App, Window, Window, Dialogs, std::move(formats));
}

GraphicsEditorTest::~GraphicsEditorTest() {
  Editor.reset();
  TWKGraphicsView::SetWindowFactory(nullptr);
  SetGlobalLocalizer(std::move(PreviousLocalizer));
  std::error_code error;
  std::filesystem::remove_all(Folder, error);
}

std::string GraphicsEditorTest::MakeImage(const std::string& name, int32_t width, int32_t height) {
  return MakeImage(name, width, height, [](int32_t x, int32_t y) {
    return TBGRPixel{static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(x + y)};
  });
}

std::string GraphicsEditorTest::MakeImage(const std::string& name, int32_t width, int32_t height,
                                          const TPixelPaint& paint) {
  const ptrdiff_t rowBytes = AlignedRowBytes24(width);
  std::vector<uint8_t> bits(static_cast<size_t>(rowBytes * height));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const TBGRPixel c = paint(x, y);
      uint8_t* p = bits.data() + y * rowBytes + x * 3;
      p[0] = c.Blue;
      p[1] = c.Green;
      p[2] = c.Red;
    }
  const std::string path = (Folder / name).string();
  TCodecError err;
  EXPECT_TRUE(TStillImageCodec::SaveToFile("image/png", {bits.data(), rowBytes, width, height}, {},
                                           path, err))
      << err.Message;
  return path;
}

std::string GraphicsEditorTest::MakeExchangeFile(const std::string& name, int32_t width, int32_t height) {
  std::vector<uint8_t> bytes{'P', 'S', 'P', 'F', static_cast<uint8_t>(width), static_cast<uint8_t>(height)};
  for (int32_t i = 0; i < width * height; ++i) bytes.insert(bytes.end(), {10, 20, 30});
  const std::string path = (Folder / name).string();
  WriteBytes(path, bytes);
  return path;
}

TWKGraphicsDocument* GraphicsEditorTest::Open(const std::string& fileName) {
  TWKDocument* document = nullptr;
  if (!Editor->OpenFile(fileName, document, true)) return nullptr;
  return dynamic_cast<TWKGraphicsDocument*>(document);
}

TWKGraphicsDocument* GraphicsEditorTest::OpenPixels(int32_t width, int32_t height,
                                                    const std::function<TBGRPixel(int32_t, int32_t)>& paint) {
  TWKGraphicsDocument* doc = Open(MakeImage("small.png", 8, 8));
  if (doc == nullptr || !doc->SetImageSize(width, height)) return nullptr;
  TWKPixels& p = *doc->CurrentPixels();
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) *p.Pixel(x, y) = paint(x, y);
  if (!doc->CurrentImageLoaded()) return nullptr;
  doc->ImageChanged();
  Editor->FitNewImage();
  return doc;
}

std::vector<uint8_t> ImageBytes(const TWKPixels& pixels) {
  std::vector<uint8_t> out;
  for (int32_t y = 0; y < pixels.Height; ++y) {
    const uint8_t* row = pixels.PixelAddress(pixels.Left, pixels.Top + y);
    out.insert(out.end(), row, row + static_cast<ptrdiff_t>(pixels.Width) * 3);
  }
  return out;
}
