// Undo and redo of a whole-image geometry step (turn, flip, crop, resize, new canvas): both
// images on each side of the step, and the lossless form's geometry with them, so that the
// compressed form stays in step with the pixels.
#pragma once

#include <memory>

#include "documents/WKGraphicsCommandState.h"
#include "platform/lossless/TarnwickGeometry.h"

// One side of a geometry step.
struct TWKGeometrySnapshot {
  TWKPixelBuffer Current;
  TWKPixelBuffer Original;
  bool HasOriginal = false;
  bool LosslessHeld = false;
  TTarnwickGeometry Lossless;

  // withOriginal false: the step leaves the original image alone, and so does the snapshot. None
  // when the copies cannot be had: restoring a half-taken side would empty the images.
  static std::unique_ptr<TWKGeometrySnapshot> Take(const TWKGraphicsDocument& document,
                                                   bool withOriginal = true);
  // Both images back, then the lossless geometry (a form let go in between stays let go).
  void Restore(TWKGraphicsDocument& document) const;
};

class TWKGeometryCommandState : public TWKCustomGraphicsCommandState {
 public:
  // `before` was taken just before the step; the after side is the document as it is now. A
  // side that could not be taken (none) is left alone by undo or redo.
  TWKGeometryCommandState(IWKGraphicsTool* tool, TWKGraphicsDocument& document,
                          std::unique_ptr<TWKGeometrySnapshot> before);
  // Without an after side (none) a subclass redoes the step itself.
  TWKGeometryCommandState(IWKGraphicsTool* tool, TWKGraphicsDocument& document,
                          std::unique_ptr<TWKGeometrySnapshot> before,
                          std::unique_ptr<TWKGeometrySnapshot> after);
  void Undo() override;
  void Redo() override;

 private:
  std::unique_ptr<TWKGeometrySnapshot> Before_;
  std::unique_ptr<TWKGeometrySnapshot> After_;
};
