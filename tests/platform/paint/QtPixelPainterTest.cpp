#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "platform/paint/QtPixelPainter.h"

namespace {

class QtPixelPainterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "platform_paint_test";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
    InstallQtPixelPainter();
  }

  // A 4 × 4 bitmap whose pixel (x, y) has blue x × 60, green y × 60, red 200.
  static std::unique_ptr<TWKLTBitmap> Pattern() {
    auto bitmap = std::make_unique<TWKLTBitmap>();
    EXPECT_TRUE(bitmap->SetSize(4, 4, FormatBGR24));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x)
        *bitmap->Pixels()->Pixel(x, y) = {uint8_t(x * 60), uint8_t(y * 60), 200};
    return bitmap;
  }

  static QRgb Expected(int x, int y) { return qRgb(200, y * 60, x * 60); }
};

const QRgb White = qRgb(255, 255, 255);

}  // namespace

TEST_F(QtPixelPainterTest, WrapsThePixelsWithoutCopying) {
  auto bitmap = Pattern();
  const QImage image = WrapPixels(*bitmap->Pixels());
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.constBits(), bitmap->Pixels()->Bits);
  EXPECT_EQ(image.bytesPerLine(), bitmap->Pixels()->RowBytes);
  EXPECT_EQ(image.pixel(3, 1), Expected(3, 1));
}

TEST_F(QtPixelPainterTest, PaintScalesIntoDestAndKeepsToTheClip) {
  auto bitmap = Pattern();
  QImage target(20, 20, QImage::Format_RGB32);
  target.fill(White);
  QPainter painter(&target);
  TQtPaintDevice device(painter);
  const TRect clip = Rect(0, 0, 6, 20);
  ASSERT_TRUE(bitmap->Paint(device, Rect(2, 2, 10, 10), &clip, nullptr));
  painter.end();
  EXPECT_EQ(target.pixel(2, 2), Expected(0, 0));
  EXPECT_EQ(target.pixel(3, 3), Expected(0, 0));
  EXPECT_EQ(target.pixel(4, 5), Expected(1, 1));
  EXPECT_EQ(target.pixel(5, 9), Expected(1, 3));
  EXPECT_EQ(target.pixel(6, 4), White);  // clipped
  EXPECT_EQ(target.pixel(9, 9), White);
  EXPECT_EQ(target.pixel(1, 1), White);  // outside destRect
  EXPECT_EQ(target.pixel(3, 10), White);
}

TEST_F(QtPixelPainterTest, PaintDrawsOnlyTheSourceRect) {
  auto bitmap = Pattern();
  QImage target(8, 8, QImage::Format_RGB32);
  target.fill(White);
  TQtPaintDevice device(target);
  const TRect source = Rect(2, 1, 4, 3);
  ASSERT_TRUE(bitmap->Paint(device, Rect(0, 0, 4, 4), nullptr, &source));
  EXPECT_EQ(target.pixel(0, 0), Expected(2, 1));
  EXPECT_EQ(target.pixel(3, 3), Expected(3, 2));
  EXPECT_EQ(target.pixel(4, 4), White);
}

TEST_F(QtPixelPainterTest, PrintFillsTheRectangle) {
  auto bitmap = Pattern();
  QImage target(16, 16, QImage::Format_RGB32);
  target.fill(White);
  TQtPaintDevice device(target);
  ASSERT_TRUE(bitmap->Print(device, Rect(4, 4, 12, 12)));
  EXPECT_EQ(target.pixel(3, 3), White);
  EXPECT_EQ(target.pixel(12, 12), White);
  EXPECT_NE(target.pixel(4, 4), White);
  EXPECT_NE(target.pixel(11, 11), White);
  EXPECT_EQ(qRed(target.pixel(8, 8)), 200);

  QTemporaryDir dir;
  const QString file = dir.filePath("page.pdf");
  {
    QPdfWriter pdf(file);
    TQtPaintDevice printer(pdf);
    ASSERT_TRUE(bitmap->Print(printer, Rect(100, 100, 1100, 1100)));
  }
  QFile written(file);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_TRUE(written.read(5) == "%PDF-");
  EXPECT_GT(written.size(), 500);
}

TEST_F(QtPixelPainterTest, SectionsLiveInQtImagesAndDrawUnscaled) {
  TDIBSection section;
  ASSERT_TRUE(section.SetSize(3, 2, FormatBGR24));
  auto* memory = dynamic_cast<TQtSectionMemory*>(section.Section());
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(section.Bits, memory->Image().bits());
  EXPECT_EQ(section.RowBytes, 12);
  EXPECT_EQ(section.Bits[0], 0);
  *section.Pixel(2, 1) = {10, 20, 30};
  EXPECT_EQ(memory->Image().pixel(2, 1), qRgb(30, 20, 10));
  QImage target(6, 6, QImage::Format_RGB32);
  target.fill(White);
  TQtPaintDevice device(target);
  ASSERT_TRUE(section.Draw(device, 1, 2));
  EXPECT_EQ(target.pixel(3, 3), qRgb(30, 20, 10));
  EXPECT_EQ(target.pixel(1, 2), qRgb(0, 0, 0));
  EXPECT_EQ(target.pixel(4, 3), White);
  EXPECT_EQ(target.pixel(0, 2), White);
}

TEST_F(QtPixelPainterTest, RefusesWhatItCannotDraw) {
  auto bitmap = Pattern();
  QPainter idle;
  TQtPaintDevice inactive(idle);
  EXPECT_FALSE(bitmap->Paint(inactive, Rect(0, 0, 4, 4), nullptr, nullptr));
  struct TOther : IWKPaintDevice {} other;
  EXPECT_FALSE(bitmap->Paint(other, Rect(0, 0, 4, 4), nullptr, nullptr));
  QImage target(4, 4, QImage::Format_RGB32);
  TQtPaintDevice device(target);
  EXPECT_FALSE(bitmap->Paint(device, Rect(0, 0, 0, 4), nullptr, nullptr));
}
