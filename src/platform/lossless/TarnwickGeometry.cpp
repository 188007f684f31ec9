#include "platform/lossless/TarnwickGeometry.h"

#include <utility>

// A clockwise quarter turn is a transpose followed by a left-right mirror; moving the transpose
// in front of the existing flips swaps their axes.
void TTarnwickGeometry::RotateRight() {
  const bool mirror = MirrorX;
  Transpose = !Transpose;
  MirrorX = !FlipY;
  FlipY = mirror;
}

// A counter-clockwise quarter turn is a transpose followed by a top-bottom flip.
void TTarnwickGeometry::RotateLeft() {
  const bool mirror = MirrorX;
  Transpose = !Transpose;
  MirrorX = FlipY;
  FlipY = !mirror;
}

bool TTarnwickGeometry::CropTo(const TRect& shown) {
  const TRect clipped = IntersectRect(shown, Rect(0, 0, Width(), Height()));
  if (clipped.IsEmpty()) return false;
  Crop = SourceRect(clipped);
  return true;
}

TRect TTarnwickGeometry::SourceRect(const TRect& shown) const {
  int32_t left = shown.Left, right = shown.Right, top = shown.Top, bottom = shown.Bottom;
  if (FlipY) {
    top = Height() - shown.Bottom;
    bottom = Height() - shown.Top;
  }
  if (MirrorX) {
    left = Width() - shown.Right;
    right = Width() - shown.Left;
  }
  if (Transpose) {
    std::swap(left, top);
    std::swap(right, bottom);
  }
  return OffsetRect(Rect(left, top, right, bottom), Crop.Left, Crop.Top);
}
