#include "print/qt/WKPrinter.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinterInfo>
#include <QStandardPaths>

TWKPrinter::TWKPrinter() : Printer_(QPrinter::HighResolution) {
  if (!HasPrinters()) Printer_.setOutputFormat(QPrinter::PdfFormat);
}

bool TWKPrinter::HasPrinters() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

TWKPrinterPage TWKPrinter::Page() const {
  int dpi = Printer_.resolution();
  if (dpi < 1) dpi = TWKPrintLayout::AssumedDpi;
  const QPageLayout layout = Printer_.pageLayout();
  const QRect full = layout.fullRectPixels(dpi);
  const QRect paint = layout.paintRectPixels(dpi);
  TWKPrinterPage page;
  page.PhysicalWidth = full.width();
  page.PhysicalHeight = full.height();
  page.Printable.OffsetX = paint.left() - full.left();
  page.Printable.OffsetY = paint.top() - full.top();
  page.Printable.PrintableWidth = paint.width();
  page.Printable.PrintableHeight = paint.height();
  // From the pixels, so that millimetres and pixels keep exactly the printer's resolution.
  page.Printable.PrintableWidthMM = paint.width() * 25.4 / dpi;
  page.Printable.PrintableHeightMM = paint.height() * 25.4 / dpi;
  return page;
}

void TWKPrinter::UsePdfFile(const QString& fileName) {
  Printer_.setOutputFormat(QPrinter::PdfFormat);
  Printer_.setOutputFileName(fileName);
}

void TWKPrinter::ProposePdfFile(const QString& documentName) {
  if (!PrintsToFile()) return;
  const QString current = Printer_.outputFileName();
  if (!current.isEmpty() && current != ProposedPdfFile_) return;  // the user's own choice
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  ProposedPdfFile_ = UnusedPdfFileName(folder, documentName);
  Printer_.setOutputFileName(ProposedPdfFile_);
}

QString TWKPrinter::Description() const {
  if (PrintsToFile()) return QDir::toNativeSeparators(Printer_.outputFileName());
  return Printer_.printerName();
}

QString UnusedPdfFileName(const QString& folder, const QString& documentName) {
  QString base = QFileInfo(documentName).completeBaseName();
  if (base.isEmpty()) base = QStringLiteral("Quillmoor");
  const QDir dir(folder);
  QString name = dir.filePath(base + ".pdf");
  for (int i = 2; QFileInfo::exists(name) && i < 10000; ++i)
    name = dir.filePath(QStringLiteral("%1 (%2).pdf").arg(base).arg(i));
  return name;
}
