#include <gtest/gtest.h>

#include <QGuiApplication>

#include "platform/canvas/QtViewCanvas.h"
#include "platform/paint/QtPixelPainter.h"

namespace {

// The window is an image; the finished box lands on it as a widget would get it.
class TImageWindow : public IWKPaintWindow {
 public:
  explicit TImageWindow(QRegion region)
      : Region(std::move(region)), Screen(80, 60, QImage::Format_RGB32) {
    Screen.fill(Qt::black);
  }
  QRegion Region;
  QImage Screen;
  TWKRegion UpdateRegion() override { return FromQRegion(Region); }
  void Present(const TWKViewCanvas& canvas, const TRect& box) override {
    QPainter painter(&Screen);
    PresentCanvas(painter, canvas, box);
  }
};

// Opaque: draws the image scaled into its device rectangle through the pixel painter.
class TImageObject : public TWKViewObject {
 public:
  explicit TImageObject(const TWKPixels& pixels) : Pixels(pixels) {
    Flags = vofVisible | vofBackground | vofPainted;
    Bounds = pixels.BoundsRect();
  }
  const TWKPixels& Pixels;
  bool Drawn = false;
  void PaintBackground(TWKViewCanvas& canvas) override {
    TRect r;
    GetBackgroundRect(canvas.MapMode, r);
    IWKPaintDevice* device = canvas.Device();
    Drawn = device && PixelPainter() && PixelPainter()->Paint(*device, Pixels, r, nullptr, nullptr);
    canvas.ExcludeClipRect(r);
  }
};

// Draws a white frame well beyond its bounds; the painter's clip must hold it back.
class TFrameObject : public TWKViewObject {
 public:
  TFrameObject() {
    Flags = vofVisible | vofForeground | vofPainted;
    Bounds = {0, 0, 40, 30};
  }
  void PaintForeground(TWKViewCanvas& canvas) override {
    QPainter* painter = static_cast<TQtViewCanvas&>(canvas).Painter();
    painter->fillRect(QRect(0, 0, 80, 60), Qt::white);
  }
};

QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

}  // namespace

TEST(QtViewCanvas, PaintsLayersThroughQPainterWithinTheClipAndPresentsTheBox) {
  int argc = 0;
  QGuiApplication app(argc, nullptr);
  TQtPixelPainter painter;
  SetPixelPainter(&painter);

  // A 4 x 3 image: red on the left half, blue on the right, shown at zoom 5/1 at (10, 10).
  TWKPixelBuffer image;
  image.SetFormat(FormatBGR24);
  ASSERT_TRUE(image.SetBounds(Rect(0, 0, 4, 3)));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      *image.Pixel(x, y) = x < 2 ? TBGRPixel{0, 0, 255} : TBGRPixel{255, 0, 0};

  TWKViewObjectList objects;
  auto* imageObject =
      static_cast<TImageObject*>(objects.Add(std::make_unique<TImageObject>(image)));
  objects.Add(std::make_unique<TFrameObject>());
  TQtViewCanvas canvas;
  canvas.MapMode.DevExtent = {5, 5};
  canvas.MapMode.DevOrigin = {10, 10};

  TImageWindow window(QRegion(0, 0, 60, 40));
  ASSERT_TRUE(canvas.PaintLayered(window, objects));
  EXPECT_TRUE(imageObject->Drawn);
  const QImage& s = window.Screen;
  // The frame is on top: it was pushed with the whole update region, so its white covers the
  // image too, but nothing outside the update region reaches the window.
  EXPECT_EQ(At(s, 12, 12), 0xFFFFFFu);
  EXPECT_EQ(At(s, 59, 39), 0xFFFFFFu);
  EXPECT_EQ(At(s, 60, 39), 0x000000u);
  EXPECT_EQ(At(s, 70, 50), 0x000000u);
  SetPixelPainter(nullptr);
}

TEST(QtViewCanvas, ForegroundsBelowAnOpaqueBackgroundStayUnderIt) {
  int argc = 0;
  QGuiApplication app(argc, nullptr);
  TQtPixelPainter painter;
  SetPixelPainter(&painter);
  TWKPixelBuffer image;
  image.SetFormat(FormatBGR24);
  ASSERT_TRUE(image.SetBounds(Rect(0, 0, 4, 3)));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      *image.Pixel(x, y) = x < 2 ? TBGRPixel{0, 0, 255} : TBGRPixel{255, 0, 0};

  TWKViewObjectList objects;
  objects.Add(std::make_unique<TFrameObject>());  // bottom
  objects.Add(std::make_unique<TImageObject>(image));
  TQtViewCanvas canvas;
  canvas.MapMode.DevExtent = {5, 5};
  canvas.MapMode.DevOrigin = {10, 10};
  TImageWindow window(QRegion(0, 0, 60, 40));
  ASSERT_TRUE(canvas.PaintLayered(window, objects));
  const QImage& s = window.Screen;
  EXPECT_EQ(At(s, 12, 12), 0xFF0000u);  // image pixel (0, 0): red
  EXPECT_EQ(At(s, 29, 24), 0x0000FFu);  // image pixel (3, 2): blue
  EXPECT_EQ(At(s, 5, 5), 0xFFFFFFu);    // frame where no image lies
  EXPECT_EQ(At(s, 55, 35), 0xFFFFFFu);  // the frame paints over the background fill
  EXPECT_EQ(At(s, 70, 50), 0x000000u);
  SetPixelPainter(nullptr);
}
