#include "view/WKMapMode.h"

#include <cmath>
#include <limits>

namespace {

__extension__ typedef __int128 TInt128;

TInt128 FloorDiv(TInt128 a, TInt128 b) {
  TInt128 q = a / b;
  if (a % b != 0 && ((a < 0) != (b < 0))) --q;
  return q;
}

int32_t Saturate(TInt128 v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

int32_t RoundHalfEven(double v) {
  const double r = std::nearbyint(v);
  if (!(r > std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  if (!(r < std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(r);
}

}  // namespace

int32_t MapCoordinate(int32_t value, int32_t fromOrigin, int32_t fromExtent, int32_t toOrigin,
                      int32_t toExtent) {
  if (fromExtent == 0) return toOrigin;  // never set by callers; avoids a division by zero
  const TInt128 product = (static_cast<TInt128>(value) - fromOrigin) * toExtent;
  return Saturate(FloorDiv(product, fromExtent) + toOrigin);
}

TPoint TWKMapMode::DocToDev(TPoint p) const {
  return {MapCoordinate(p.X, DocOrigin.X, DocExtent.X, DevOrigin.X, DevExtent.X),
          MapCoordinate(p.Y, DocOrigin.Y, DocExtent.Y, DevOrigin.Y, DevExtent.Y)};
}

TPoint TWKMapMode::DocFromDev(TPoint p) const {
  return {MapCoordinate(p.X, DevOrigin.X, DevExtent.X, DocOrigin.X, DocExtent.X),
          MapCoordinate(p.Y, DevOrigin.Y, DevExtent.Y, DocOrigin.Y, DocExtent.Y)};
}

TRect TWKMapMode::DocToDevRect(const TRect& r) const {
  const TPoint a = DocToDev({r.Left, r.Top});
  const TPoint b = DocToDev({r.Right, r.Bottom});
  return {a.X, a.Y, b.X, b.Y};
}

TRect TWKMapMode::DocRectFromDev(const TRect& r) const {
  const TPoint a = DocFromDev({r.Left, r.Top});
  const TPoint b = DocFromDev({r.Right, r.Bottom});
  return {a.X, a.Y, b.X, b.Y};
}

void TWKMapMode::DocToDevPoints(TPoint* points, int32_t count) const {
  for (int32_t i = 0; i < count; ++i) points[i] = DocToDev(points[i]);
}

void TWKMapMode::SetMapping(const TRect& docRect, const TRect& devRect) {
  DocOrigin = {docRect.Left, docRect.Top};
  DocExtent = {docRect.Width(), docRect.Height()};
  DevOrigin = {devRect.Left, devRect.Top};
  DevExtent = {devRect.Width(), devRect.Height()};
}

void TWKMapMode::SetupForPrinter(const TWKPrinterMetrics& device) {
  DevExtent = {device.PrintableWidth, device.PrintableHeight};
  DevOrigin = {-device.OffsetX, -device.OffsetY};
  DocExtent = {RoundHalfEven(device.PrintableWidthMM * 100.0),
               RoundHalfEven(device.PrintableHeightMM * 100.0)};
  DocOrigin = {0, 0};
}

int32_t TWKHiMetric::FromCentimeters(float value) { return RoundHalfEven(value * 1000.0); }
int32_t TWKHiMetric::FromInches(float value) { return RoundHalfEven(value * 2540.0); }
int32_t TWKHiMetric::FromMillimeters(float value) { return RoundHalfEven(value * 100.0); }
int32_t TWKHiMetric::FromPoints(float value) { return RoundHalfEven(value * 2540.0 / 72.0); }
float TWKHiMetric::ToCentimeters(int32_t value) { return static_cast<float>(value / 1000.0); }
float TWKHiMetric::ToInches(int32_t value) { return static_cast<float>(value / 2540.0); }
float TWKHiMetric::ToMillimeters(int32_t value) { return static_cast<float>(value / 100.0); }
float TWKHiMetric::ToPoints(int32_t value) { return static_cast<float>(value * 72.0 / 2540.0); }
