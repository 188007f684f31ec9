// Where the printed image lies on the paper: position and size in hundredths of a millimetre,
// measured from the paper's top-left corner, converted to printer pixels only for printing.
#pragma once

#include <cstdint>

#include "imaging/WKTypes.h"
#include "view/WKMapMode.h"

// The printer's paper and printable area in device pixels. Device (0, 0) is the printable
// area's corner; the paper's corner lies at minus the printable area's offset.
struct TWKPrinterPage {
  int32_t PhysicalWidth = 0;  // the whole paper
  int32_t PhysicalHeight = 0;
  TWKPrinterMetrics Printable;  // size, offset from the paper's corner, size in millimetres

  int32_t PageWidth() const { return Printable.PrintableWidth; }
  int32_t PageHeight() const { return Printable.PrintableHeight; }
  // Document units: hundredths of a millimetre with (0, 0) at the paper's corner.
  TWKHiMetric MapMode() const;
  // The paper's size in hundredths of a millimetre.
  TPoint PaperSize() const;
  // The printable area on the paper, in hundredths of a millimetre, trimmed to the points
  // whose device position lies inside it.
  TRect PrintableRect() const;
};

class TWKPrintLayout {
 public:
  // Taken for an image whose file states no resolution.
  static constexpr int32_t AssumedDpi = 96;

  int32_t NaturalWidth = 0;  // the image at 100 %
  int32_t NaturalHeight = 0;
  int32_t PrintLeft = 0;
  int32_t PrintTop = 0;
  int32_t PrintWidth = 0;
  int32_t PrintHeight = 0;

  // The natural size from pixels and dots per inch (a resolution below 1 counts as
  // AssumedDpi); the print size becomes the natural size. The position is left alone.
  void SetImage(int32_t width, int32_t height, int32_t dpiX, int32_t dpiY);

  void CenterOnPaper(const TWKPrinterPage& page);
  void MoveToPrintableCorner(const TWKPrinterPage& page);
  // The largest size of the same proportions inside the printable area, with the margins of
  // opposite sides made equal (each pair taking the larger of the two), centred in it.
  // Nothing changes when the printable area is empty.
  void FitToMedia(const TWKPrinterPage& page);

  // Each false (nothing changed) when a side would come out below 0.01 mm or beyond 32 bits.
  // Both sides from the natural size, per cent of it.
  bool SetScale(double percent);
  // The other side follows in proportion to the natural size.
  bool SetWidth(int32_t width);
  bool SetHeight(int32_t height);

  // The printed size relative to the natural size, measured on the longer natural side;
  // 0 without a natural size.
  double Scale() const;
  TRect PaperRect() const;
  TRect DeviceRect(const TWKPrinterPage& page) const;
  bool FitsPrintableArea(const TWKPrinterPage& page) const;
  // The layout the user gets for refusing to print outside the printable area: fitted when
  // larger than the printable area, otherwise moved to its corner. True when it was fitted.
  bool CorrectToPrintableArea(const TWKPrinterPage& page);

 private:
  bool SetSize(double width, double height);
};
