#include "print/WKPrintLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kHiMetricPerInch = 2540.0;

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// Rounded to the nearest integer, halves to even; false when it does not fit 32 bits.
bool RoundToInt32(double v, int32_t& result) {
  const double r = std::nearbyint(v);
  if (!(r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max()))
    return false;
  result = static_cast<int32_t>(r);
  return true;
}

int32_t NaturalSize(int32_t pixels, int32_t dpi) {
  if (dpi < 1) dpi = TWKPrintLayout::AssumedDpi;
  int32_t size = 0;
  RoundToInt32(std::max(pixels, 0) * kHiMetricPerInch / dpi, size);
  return size;
}

// The first document coordinate at or after doc whose device coordinate is at least dev: the
// map mode floors, so the point it gives for a device edge may map back one pixel short.
int32_t FirstDocAtDev(const TWKMapMode& map, int32_t doc, int32_t dev, bool vertical) {
  for (int i = 0; i < 64; ++i) {
    const TPoint p = map.DocToDev(vertical ? TPoint{0, doc} : TPoint{doc, 0});
    if ((vertical ? p.Y : p.X) >= dev || doc == std::numeric_limits<int32_t>::max()) break;
    ++doc;
  }
  return doc;
}

}  // namespace

TWKHiMetric TWKPrinterPage::MapMode() const {
  TWKHiMetric map;
  map.SetupForPrinter(Printable);
  return map;
}

TPoint TWKPrinterPage::PaperSize() const {
  // The paper's far corner in device units lies at its size minus the printable area's offset.
  return MapMode().DocFromDev({Saturate(int64_t(PhysicalWidth) - Printable.OffsetX),
                               Saturate(int64_t(PhysicalHeight) - Printable.OffsetY)});
}

TRect TWKPrinterPage::PrintableRect() const {
  const TWKHiMetric map = MapMode();
  const TPoint topLeft = map.DocFromDev({0, 0});
  const TPoint bottomRight = map.DocFromDev({PageWidth(), PageHeight()});
  return {FirstDocAtDev(map, topLeft.X, 0, false), FirstDocAtDev(map, topLeft.Y, 0, true),
          bottomRight.X, bottomRight.Y};
}

void TWKPrintLayout::SetImage(int32_t width, int32_t height, int32_t dpiX, int32_t dpiY) {
  NaturalWidth = NaturalSize(width, dpiX);
  NaturalHeight = NaturalSize(height, dpiY);
  PrintWidth = NaturalWidth;
  PrintHeight = NaturalHeight;
}

void TWKPrintLayout::CenterOnPaper(const TWKPrinterPage& page) {
  const TPoint paper = page.PaperSize();
  // Integer division truncates toward zero, as the layout has always done.
  PrintLeft = Saturate((int64_t(paper.X) - PrintWidth) / 2);
  PrintTop = Saturate((int64_t(paper.Y) - PrintHeight) / 2);
}

void TWKPrintLayout::MoveToPrintableCorner(const TWKPrinterPage& page) {
  const TRect printable = page.PrintableRect();
  PrintLeft = printable.Left;
  PrintTop = printable.Top;
}

void TWKPrintLayout::FitToMedia(const TWKPrinterPage& page) {
  const TPoint paper = page.PaperSize();
  TRect box = page.PrintableRect();
  if (paper.X - box.Right < box.Left)
    box.Right = paper.X - box.Left;
  else
    box.Left = paper.X - box.Right;
  if (paper.Y - box.Bottom < box.Top)
    box.Bottom = paper.Y - box.Top;
  else
    box.Top = paper.Y - box.Bottom;
  if (box.IsEmpty()) return;

  const double w = PrintWidth > 0 ? PrintWidth : 1;
  const double h = PrintHeight > 0 ? PrintHeight : 1;
  const double s = std::min(box.Height() / h, box.Width() / w);
  int32_t width = 0, height = 0;
  if (!RoundToInt32(w * s, width) || !RoundToInt32(h * s, height) || width < 1 || height < 1)
    return;
  PrintWidth = width;
  PrintHeight = height;
  PrintLeft = Saturate((int64_t(box.Left) + box.Right) / 2 - width / 2);
  PrintTop = Saturate((int64_t(box.Top) + box.Bottom) / 2 - height / 2);
}

bool TWKPrintLayout::SetSize(double width, double height) {
  int32_t w = 0, h = 0;
  if (!RoundToInt32(width, w) || !RoundToInt32(height, h) || w < 1 || h < 1) return false;
  PrintWidth = w;
  PrintHeight = h;
  return true;
}

bool TWKPrintLayout::SetScale(double percent) {
  if (!std::isfinite(percent) || percent <= 0) return false;
  return SetSize(NaturalWidth * percent / 100.0, NaturalHeight * percent / 100.0);
}

bool TWKPrintLayout::SetWidth(int32_t width) {
  if (width < 1 || NaturalWidth < 1) return false;
  // Halves away from zero.
  return SetSize(width, std::round(double(width) * NaturalHeight / NaturalWidth));
}

bool TWKPrintLayout::SetHeight(int32_t height) {
  if (height < 1 || NaturalHeight < 1) return false;
  return SetSize(std::round(double(height) * NaturalWidth / NaturalHeight), height);
}

double TWKPrintLayout::Scale() const {
  if (NaturalHeight >= NaturalWidth)
    return NaturalHeight > 0 ? double(PrintHeight) / NaturalHeight : 0.0;
  return double(PrintWidth) / NaturalWidth;
}

TRect TWKPrintLayout::PaperRect() const {
  return {PrintLeft, PrintTop, Saturate(int64_t(PrintLeft) + PrintWidth),
          Saturate(int64_t(PrintTop) + PrintHeight)};
}

TRect TWKPrintLayout::DeviceRect(const TWKPrinterPage& page) const {
  return page.MapMode().DocToDevRect(PaperRect());
}

bool TWKPrintLayout::FitsPrintableArea(const TWKPrinterPage& page) const {
  if (page.PageWidth() < 1 || page.PageHeight() < 1) return false;
  const TRect r = DeviceRect(page);
  return r.Left >= 0 && r.Top >= 0 && r.Right <= page.PageWidth() && r.Bottom <= page.PageHeight();
}

bool TWKPrintLayout::CorrectToPrintableArea(const TWKPrinterPage& page) {
  const TRect r = DeviceRect(page);
  if (r.Width() > page.PageWidth() || r.Height() > page.PageHeight()) {
    FitToMedia(page);
    return true;
  }
  MoveToPrintableCorner(page);
  return false;
}
