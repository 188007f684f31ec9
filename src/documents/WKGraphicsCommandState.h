// Undoable steps on an image document. The custom state tells every tool which region of the
// image changed (on creation, undo and redo); the default state keeps a rectangle's pixels
// before and after the step.
#pragma once

#include "documents/WKCommandHistory.h"
#include "imaging/WKBitmap.h"

class IWKGraphicsTool;
class TWKGraphicsDocument;

class TWKCustomGraphicsCommandState : public TWKCommandState {
 public:
  TWKCustomGraphicsCommandState(IWKGraphicsTool* tool, const TRect& rect,
                                TWKGraphicsDocument& document);
  void Undo() override;
  void Redo() override;

  IWKGraphicsTool* Tool() const { return Tool_; }
  TWKGraphicsDocument& Document() const { return Document_; }
  const TRect& StateRect() const { return Rect_; }

 protected:
  void BroadcastRegionChanged();

 private:
  IWKGraphicsTool* Tool_;
  TWKGraphicsDocument& Document_;
  TRect Rect_;
};

// Before-pixels from the document's backup, after-pixels from its current image; creating one
// marks the document not saved. The rectangle is clipped to the image.
class TWKGraphicsCommandState : public TWKCustomGraphicsCommandState {
 public:
  TWKGraphicsCommandState(IWKGraphicsTool* tool, const TRect& rect, TWKGraphicsDocument& document);
  void Undo() override;
  void Redo() override;

  const TWKPixelBuffer& BeforePixels() const { return Before_; }
  const TWKPixelBuffer& AfterPixels() const { return After_; }

 private:
  void Restore(const TWKPixelBuffer& pixels);

  TWKPixelBuffer Before_;
  TWKPixelBuffer After_;
};
