// The progress meter's bar in the main window's status bar.
#pragma once

#include <QPointer>
#include <QProgressBar>
#include <memory>

#include "tools/framework/WKProgressMeter.h"

class QStatusBar;

class TQtProgressBar : public IWKProgressBar {
 public:
  // Adds a progress bar (step 1) of the given width at the right end of the status bar.
  TQtProgressBar(QStatusBar& statusBar, int width);
  void SetRange(int32_t maximum) override;
  void SetPosition(int32_t position) override;
  QProgressBar* Bar() const { return Bar_; }

 private:
  QPointer<QProgressBar> Bar_;  // the status bar may go first
};

// The bar and the meter over it, made and reset together; owned by the program's data module.
struct TStatusProgress {
  std::unique_ptr<TQtProgressBar> Bar;
  std::unique_ptr<TProgressMeter> Meter;
  // Installs the meter as the program's meter; the destructor removes it again.
  TStatusProgress(QStatusBar& statusBar, int width);
  ~TStatusProgress();
};
