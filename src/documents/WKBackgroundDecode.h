// An open whose user interface keeps running. While one is in scope on the opening thread, a
// large picture is decoded on pool workers and, where the format has a cheap one and a core is
// left over, a reduced picture (the decoder's 1/8 or 1/4 scale) on another; the opening thread
// is handed the reduced picture as soon as it exists and waits through the hooks until the
// whole picture is there.
// Without one in scope a picture is decoded on the calling thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

class TWKLTBitmap;

class TWKBackgroundDecode {
 public:
  struct THooks {
    // The reduced picture (24-bit) of a picture of width x height; at most once per decode, and
    // not at all when the whole picture is there first or no core is left over for it.
    std::function<void(const TWKLTBitmap& reduced, int32_t width, int32_t height)> Reduced;
    // Runs the user interface for a few milliseconds; done is the share of rows decoded (0..1).
    std::function<void(double done)> Wait;
  };

  // Pictures of fewer bytes of pixels decode on the opening thread: they take a few milliseconds.
  static constexpr size_t MinimumBytes = size_t{4} << 20;
  // The reduced picture has at least this many pixels on its longer side.
  static constexpr int32_t ReducedLongSide = 480;

  explicit TWKBackgroundDecode(THooks hooks);
  ~TWKBackgroundDecode();
  TWKBackgroundDecode(const TWKBackgroundDecode&) = delete;
  TWKBackgroundDecode& operator=(const TWKBackgroundDecode&) = delete;

  // The one in scope on the calling thread, or none.
  static const TWKBackgroundDecode* Current();
  const THooks& Hooks() const { return Hooks_; }

 private:
  THooks Hooks_;
  const TWKBackgroundDecode* Outer_;
};
