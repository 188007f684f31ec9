#include "tools/framework/qt/QtProgressBar.h"

#include <QProgressBar>
#include <QStatusBar>

TQtProgressBar::TQtProgressBar(QStatusBar& statusBar, int width) : Bar_(new QProgressBar(&statusBar)) {
  Bar_->setTextVisible(false);
  Bar_->setFixedWidth(width);
  Bar_->setRange(0, 0);
  Bar_->setValue(0);
  statusBar.addPermanentWidget(Bar_);
}

void TQtProgressBar::SetRange(int32_t maximum) {
  if (Bar_ == nullptr) return;
  // A range of 0..0 would show a busy bar; an empty meter is an empty bar, and out of the way of
  // the status bar's other panels until there is work to show.
  Bar_->setRange(0, maximum > 0 ? maximum : 1);
  Bar_->setVisible(maximum > 0);
}

void TQtProgressBar::SetPosition(int32_t position) {
  if (Bar_ != nullptr) Bar_->setValue(position);
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
