#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "print/WKPrintLayout.h"

namespace {

// A sheet of widthMM × heightMM at dpi with the given margins in millimetres.
TWKPrinterPage Sheet(double widthMM, double heightMM, int dpi, double left, double top,
                     double right, double bottom) {
  auto px = [dpi](double mm) { return static_cast<int32_t>(std::lround(mm * dpi / 25.4)); };
  TWKPrinterPage page;
  page.PhysicalWidth = px(widthMM);
  page.PhysicalHeight = px(heightMM);
  page.Printable.OffsetX = px(left);
  page.Printable.OffsetY = px(top);
  page.Printable.PrintableWidth = page.PhysicalWidth - px(left) - px(right);
  page.Printable.PrintableHeight = page.PhysicalHeight - px(top) - px(bottom);
  page.Printable.PrintableWidthMM = page.Printable.PrintableWidth * 25.4 / dpi;
  page.Printable.PrintableHeightMM = page.Printable.PrintableHeight * 25.4 / dpi;
  return page;
}

// A4 at 254 dpi (one pixel = 0.1 mm) with margins of 10, 15, 20 and 5 mm.
TWKPrinterPage UnevenA4() { return Sheet(210, 297, 254, 10, 15, 20, 5); }

TWKPrintLayout Image(int32_t width, int32_t height, int32_t dpi) {
  TWKPrintLayout layout;
  layout.SetImage(width, height, dpi, dpi);
  return layout;
}

TEST(PrintLayout, NaturalSizeFollowsResolutionAndAssumes96DpiWithoutOne) {
  struct {
    int32_t Width, Height, DpiX, DpiY, NaturalWidth, NaturalHeight;
  } cases[] = {
      {3000, 2000, 300, 300, 25400, 16933},
      {96, 48, 0, 0, 2540, 1270},       // no resolution stated
      {96, 48, -5, 96, 2540, 1270},     // nonsense resolution
      {300, 300, 300, 150, 2540, 5080}, // different per axis
      {0, 0, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    TWKPrintLayout layout;
    layout.SetImage(c.Width, c.Height, c.DpiX, c.DpiY);
    EXPECT_EQ(layout.NaturalWidth, c.NaturalWidth) << c.Width << " at " << c.DpiX;
    EXPECT_EQ(layout.NaturalHeight, c.NaturalHeight) << c.Height << " at " << c.DpiY;
    EXPECT_EQ(layout.PrintWidth, c.NaturalWidth);
    EXPECT_EQ(layout.PrintHeight, c.NaturalHeight);
  }
  EXPECT_DOUBLE_EQ(Image(3000, 2000, 300).Scale(), 1.0);
  EXPECT_EQ(Image(0, 0, 0).Scale(), 0.0);
}

TEST(PrintLayout, CentresOnThePaperMeasuredFromItsRealCorner) {
  const TWKPrinterPage page = UnevenA4();
  EXPECT_EQ(page.PaperSize().X, 21000);
  EXPECT_EQ(page.PaperSize().Y, 29700);
  TWKPrintLayout layout = Image(1000, 500, 254);  // 100 × 50 mm
  layout.CenterOnPaper(page);
  EXPECT_EQ(layout.PrintLeft, 5500);
  EXPECT_EQ(layout.PrintTop, 12350);
  // On the device the image starts its left margin short of the paper position.
  EXPECT_EQ(layout.DeviceRect(page), Rect(450, 1085, 1450, 1585));
}

TEST(PrintLayout, FitsTheAreaWithEqualOppositeMargins) {
  const TWKPrinterPage page = UnevenA4();
  TWKPrintLayout layout = Image(1000, 500, 254);
  layout.FitToMedia(page);
  // Margins 20 mm left and right, 15 mm top and bottom: a 170 × 267 mm box.
  EXPECT_EQ(layout.PrintWidth, 17000);
  EXPECT_EQ(layout.PrintHeight, 8500);
  EXPECT_EQ(layout.PrintLeft, 2000);
  EXPECT_EQ(layout.PrintTop, 10600);
  EXPECT_TRUE(layout.FitsPrintableArea(page));

  TWKPrintLayout tall = Image(500, 4000, 254);
  tall.FitToMedia(page);
  EXPECT_EQ(tall.PrintHeight, 26700);
  EXPECT_EQ(tall.PrintTop, 1500);
  EXPECT_EQ(tall.PrintLeft + tall.PrintWidth / 2, 10500);
}

TEST(PrintLayout, FittedAndCorneredLayoutsFitAtEveryResolution) {
  for (int dpi : {72, 96, 150, 203, 254, 300, 360, 600, 1200, 2880}) {
    for (double margin : {0.0, 3.0, 4.23, 6.35, 12.7}) {
      const TWKPrinterPage page = Sheet(215.9, 279.4, dpi, margin, margin * 1.3, margin / 2, margin);
      TWKPrintLayout fitted = Image(4000, 3000, 300);
      fitted.FitToMedia(page);
      EXPECT_TRUE(fitted.FitsPrintableArea(page)) << dpi << " dpi, margin " << margin;
      TWKPrintLayout small = Image(300, 200, 300);
      small.PrintLeft = -5000;
      small.PrintTop = 100;
      small.CorrectToPrintableArea(page);
      EXPECT_EQ(small.PrintWidth, 2540);  // moved, not resized
      EXPECT_TRUE(small.FitsPrintableArea(page)) << dpi << " dpi, margin " << margin;
    }
  }
}

TEST(PrintLayout, RefusingToPrintOutsideMovesOrFits) {
  const TWKPrinterPage page = UnevenA4();
  TWKPrintLayout partly = Image(1000, 500, 254);
  partly.PrintLeft = 15000;  // runs over the right edge
  partly.PrintTop = 2000;
  EXPECT_FALSE(partly.FitsPrintableArea(page));
  partly.CorrectToPrintableArea(page);
  EXPECT_EQ(partly.PrintLeft, 1000);
  EXPECT_EQ(partly.PrintTop, 1500);
  EXPECT_EQ(partly.PrintWidth, 10000);

  TWKPrintLayout larger = Image(3000, 1000, 254);  // 300 mm wide
  larger.CorrectToPrintableArea(page);
  EXPECT_EQ(larger.PrintWidth, 17000);
  EXPECT_TRUE(larger.FitsPrintableArea(page));
}

TEST(PrintLayout, SizesFollowInProportionAndRefuseNonPositiveValues) {
  TWKPrintLayout layout = Image(3000, 2000, 300);
  EXPECT_TRUE(layout.SetScale(50));
  EXPECT_EQ(layout.PrintWidth, 12700);
  EXPECT_EQ(layout.PrintHeight, 8466);  // 8466.5 to even
  EXPECT_TRUE(layout.SetWidth(10000));
  EXPECT_EQ(layout.PrintHeight, 6667);  // 6666.67
  EXPECT_TRUE(layout.SetHeight(5000));
  EXPECT_EQ(layout.PrintWidth, 7500);
  TWKPrintLayout twoToOne = Image(200, 100, 254);
  EXPECT_TRUE(twoToOne.SetWidth(5));
  EXPECT_EQ(twoToOne.PrintHeight, 3);  // 2.5 away from zero

  const TWKPrintLayout before = layout;
  for (double percent : {0.0, -10.0, std::nan(""), std::numeric_limits<double>::infinity(), 1e-9, 1e12})
    EXPECT_FALSE(layout.SetScale(percent)) << percent;
  EXPECT_FALSE(layout.SetWidth(0));
  EXPECT_FALSE(layout.SetHeight(-20));
  EXPECT_FALSE(layout.SetHeight(std::numeric_limits<int32_t>::max()));  // width beyond 32 bits
  EXPECT_EQ(layout.PrintWidth, before.PrintWidth);
  EXPECT_EQ(layout.PrintHeight, before.PrintHeight);

  TWKPrintLayout empty = Image(0, 0, 300);
  EXPECT_FALSE(empty.SetWidth(100));
  EXPECT_FALSE(empty.SetHeight(100));
  EXPECT_FALSE(empty.SetScale(50));
}

TEST(PrintLayout, PortraitScaleIsMeasuredOnTheHeight) {
  TWKPrintLayout layout = Image(1000, 2000, 100);
  layout.PrintHeight = layout.NaturalHeight / 4;
  EXPECT_DOUBLE_EQ(layout.Scale(), 0.25);
}

TEST(PrintLayout, AnEmptyOrExtremePageChangesNothingAndDividesByNothing) {
  TWKPrinterPage none;
  TWKPrintLayout layout = Image(1000, 500, 254);
  layout.PrintLeft = 7;
  layout.FitToMedia(none);
  EXPECT_EQ(layout.PrintWidth, 10000);
  EXPECT_EQ(layout.PrintLeft, 7);
  layout.CenterOnPaper(none);
  EXPECT_FALSE(layout.FitsPrintableArea(none));

  TWKPrintLayout far = Image(1000, 500, 254);
  far.PrintLeft = std::numeric_limits<int32_t>::max();
  far.PrintTop = std::numeric_limits<int32_t>::min();
  EXPECT_EQ(far.PaperRect().Right, std::numeric_limits<int32_t>::max());
  EXPECT_FALSE(far.FitsPrintableArea(UnevenA4()));
}

}  // namespace
