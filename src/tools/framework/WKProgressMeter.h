// The status-bar progress meter that long operations step.
#pragma once

#include <cstdint>

// The bar the meter drives; the user interface supplies it.
class IWKProgressBar {
 public:
  virtual ~IWKProgressBar() = default;
  virtual void SetRange(int32_t maximum) = 0;
  virtual void SetPosition(int32_t position) = 0;
};

class TProgressMeter {
 public:
  explicit TProgressMeter(IWKProgressBar* bar, int32_t defaultMaximum = 0)
      : Bar_(bar), DefaultMaximum_(defaultMaximum) {}

  // Maximum := count (0 means the default maximum), position := 0.
  void Reset(int32_t count);
  // Advances by one step, never past the maximum.
  void Step();

  int32_t Maximum() const { return Maximum_; }
  int32_t Position() const { return Position_; }

 private:
  IWKProgressBar* Bar_;
  int32_t DefaultMaximum_;
  int32_t Maximum_ = 0;
  int32_t Position_ = 0;
};

// The program's meter, or none (operations then step nothing).
TProgressMeter* ProgressMeter();
void SetProgressMeter(TProgressMeter* meter);
