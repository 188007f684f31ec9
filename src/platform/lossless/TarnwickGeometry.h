// Where the held coefficients stand relative to the document: an orientation and a crop.
#pragma once

#include <cstdint>

#include "imaging/WKTypes.h"

// The document's picture is the loaded image cut to `Crop` (in the loaded image's own
// coordinates), then transposed when `Transpose` is set, then mirrored left-right when `MirrorX`
// is set, then flipped top-bottom when `FlipY` is set. The three flags give the eight
// quarter-turn and flip combinations. Operations compose in the document's coordinates.
struct TTarnwickGeometry {
  bool Transpose = false;
  bool MirrorX = false;
  bool FlipY = false;
  TRect Crop;

  static TTarnwickGeometry Identity(int32_t width, int32_t height) {
    return TTarnwickGeometry{false, false, false, Rect(0, 0, width, height)};
  }

  int32_t Width() const { return Transpose ? Crop.Height() : Crop.Width(); }
  int32_t Height() const { return Transpose ? Crop.Width() : Crop.Height(); }
  bool IsIdentityOver(int32_t width, int32_t height) const {
    return !Transpose && !MirrorX && !FlipY && Crop == Rect(0, 0, width, height);
  }

  void Mirror() { MirrorX = !MirrorX; }
  void Flip() { FlipY = !FlipY; }
  void RotateRight();
  void RotateLeft();
  // Keeps the part `shown` (document coordinates) of the picture; the rectangle is clipped to
  // the picture first. False, and nothing changes, when the clip is empty.
  bool CropTo(const TRect& shown);

  // The loaded-image rectangle under a document rectangle (which lies inside the picture).
  TRect SourceRect(const TRect& shown) const;
  // Whether the loaded image's axes run backwards in the document.
  bool SourceXReversed() const { return Transpose ? FlipY : MirrorX; }
  bool SourceYReversed() const { return Transpose ? MirrorX : FlipY; }
  // Whether every block of the document's picture is one block of the loaded image moved: the
  // crop edge that becomes the picture's first column and row lies on the coding-block grid
  // (the last blocks may be partial; their overhang is padding).
  bool ExactFor(int32_t blockWidth, int32_t blockHeight) const {
    const int32_t x = SourceXReversed() ? Crop.Right : Crop.Left;
    const int32_t y = SourceYReversed() ? Crop.Bottom : Crop.Top;
    return blockWidth > 0 && blockHeight > 0 && x % blockWidth == 0 && y % blockHeight == 0;
  }

  friend bool operator==(const TTarnwickGeometry&, const TTarnwickGeometry&) = default;
};
