// The process's printer: a QPrinter on the system's default printer, or writing a PDF file when
// no printer is installed, and what the print layout needs to know about its page.
#pragma once

#include <QPrinter>
#include <string>

#include "print/WKPrintLayout.h"

class TWKPrinter {
 public:
  TWKPrinter();
  TWKPrinter(const TWKPrinter&) = delete;
  TWKPrinter& operator=(const TWKPrinter&) = delete;

  // True when at least one printer is installed.
  static bool HasPrinters();
  QPrinter& Device() { return Printer_; }
  // The paper and printable area of the printer and paper currently chosen (a resolution
  // below 1 counts as 96 dpi).
  TWKPrinterPage Page() const;
  TWKHiMetric GetMapMode() const { return Page().MapMode(); }

  bool PrintsToFile() const { return Printer_.outputFormat() == QPrinter::PdfFormat; }
  // PDF output into fileName.
  void UsePdfFile(const QString& fileName);
  // When printing to a PDF file that the user has not named: a new file named after the
  // document in the user's documents folder, so that no earlier print is overwritten.
  void ProposePdfFile(const QString& documentName);
  // The printer's name, or the PDF file's path.
  QString Description() const;

 private:
  QPrinter Printer_;
  QString ProposedPdfFile_;  // the name last proposed, while the user keeps it
};

// A name for a PDF of documentName (its base name, ".pdf") in folder that no file has yet.
QString UnusedPdfFileName(const QString& folder, const QString& documentName);
