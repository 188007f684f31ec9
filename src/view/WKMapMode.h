// Exact rational mapping between document and device coordinates.
#pragma once

#include <cstdint>

#include "imaging/WKTypes.h"

// What a printer reports about its printable area.
struct TWKPrinterMetrics {
  int32_t PrintableWidth = 0;   // pixels
  int32_t PrintableHeight = 0;  // pixels
  int32_t OffsetX = 0;          // physical offset of the printable area, pixels
  int32_t OffsetY = 0;
  double PrintableWidthMM = 0;  // physical size of the printable area
  double PrintableHeightMM = 0;
};

// Per axis: dev = floor((doc - DocOrigin) * DevExtent / DocExtent) + DevOrigin, and the
// inverse with the extents swapped. Products are exact (wider than 64 bits when needed),
// the division is an exact floor division, results saturate to 32 bits.
class TWKMapMode {
 public:
  TPoint DocOrigin{0, 0};
  TPoint DocExtent{1, 1};
  TPoint DevOrigin{0, 0};
  TPoint DevExtent{1, 1};

  TPoint DocToDev(TPoint p) const;
  TRect DocToDevRect(const TRect& r) const;
  void DocToDevPoints(TPoint* points, int32_t count) const;
  TPoint DocFromDev(TPoint p) const;
  TRect DocRectFromDev(const TRect& r) const;

  void SetMapping(const TRect& docRect, const TRect& devRect);
  void SetupForPrinter(const TWKPrinterMetrics& device);

  friend bool operator==(const TWKMapMode&, const TWKMapMode&) = default;
};

// floor((value - fromOrigin) * toExtent / fromExtent) + toOrigin, saturated to 32 bits.
int32_t MapCoordinate(int32_t value, int32_t fromOrigin, int32_t fromExtent, int32_t toOrigin,
                      int32_t toExtent);

// The map mode of printing: document units are hundredths of a millimetre.
class TWKHiMetric : public TWKMapMode {
 public:
  // To hundredths of a millimetre, rounded to the nearest integer, halves to even.
  static int32_t FromCentimeters(float value);
  static int32_t FromInches(float value);
  static int32_t FromMillimeters(float value);
  static int32_t FromPoints(float value);
  static float ToCentimeters(int32_t value);
  static float ToInches(int32_t value);
  static float ToMillimeters(int32_t value);
  static float ToPoints(int32_t value);
};
