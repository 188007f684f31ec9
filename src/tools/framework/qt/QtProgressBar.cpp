#include "tools/framework/qt/QtProgressBar.h"

#include <QProgressBar>
#include <QStatusBar>

TQtProgressBar::TQtProgressBar(QStatusBar& statusBar, int width) : bar_(new QProgressBar(&statusBar)) {
  bar_->setTextVisible(false);
  bar_->setFixedWidth(width);
  bar_->setRange(0, 0);
  bar_->setValue(0);
  statusBar.addPermanentWidget(bar_);
}

void TQtProgressBar::SetRange(int32_t maximum) {
  if (bar_ == nullptr) return;
  // A range of 0..0 would show a busy bar; an empty meter is an empty bar.
  bar_->setRange(0, maximum > 0 ? maximum : 1);
}

void TQtProgressBar::SetPosition(int32_t position) {
  if (bar_ != nullptr) bar_->setValue(position);
}

TStatusProgress::TStatusProgress(QStatusBar& statusBar, int width)
    : Bar(std::make_unique<TQtProgressBar>(statusBar, width)),
      Meter(std::make_unique<TProgressMeter>(Bar.get())) {
  Meter->Reset(0);
  SetProgressMeter(Meter.get());
}

TStatusProgress::~TStatusProgress() {
  if (ProgressMeter() == Meter.get()) SetProgressMeter(nullptr);
}
