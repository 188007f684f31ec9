#include "documents/WKGraphicsCommandState.h"

#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsToolHooks.h"

TWKCustomGraphicsCommandState::TWKCustomGraphicsCommandState(IWKGraphicsTool* tool,
                                                             const TRect& rect,
                                                             TWKGraphicsDocument& document)
    : Tool_(tool), Document_(document), Rect_(rect) {
  BroadcastRegionChanged();
}

void TWKCustomGraphicsCommandState::BroadcastRegionChanged() {
  BroadcastToTools(
      [this](IWKGraphicsTool& tool) { tool.ImageRegionChanged(Document_, Tool_, Rect_); });
}

void TWKCustomGraphicsCommandState::Undo() { BroadcastRegionChanged(); }

void TWKCustomGraphicsCommandState::Redo() { BroadcastRegionChanged(); }

namespace {

// A copy of rect of source; empty when source has no pixels there.
void CopyOut(const TWKPixels* source, const TRect& rect, TWKPixelBuffer& target) {
  if (source == nullptr || source->Bits == nullptr) return;
  const TRect r = IntersectRect(rect, source->BoundsRect());
  if (r.IsEmpty() || !target.Allocate(source->PixelFormat, r)) return;
  target.CopyRect(r.Left, r.Top, r, *source);
}

}  // namespace

// The document counts as changed once the state is in its history: the history no longer
// stands where the file was loaded or saved.
TWKGraphicsCommandState::TWKGraphicsCommandState(IWKGraphicsTool* tool, const TRect& rect,
                                                 TWKGraphicsDocument& document)
    : TWKCustomGraphicsCommandState(tool, IntersectRect(rect, document.ImageRect()), document) {
  CopyOut(&document.Backup, StateRect(), Before_);
  CopyOut(document.CurrentPixels(), StateRect(), After_);
}

void TWKGraphicsCommandState::Restore(const TWKPixelBuffer& pixels) {
  TWKGraphicsDocument& document = Document();
  TWKPixels* current = document.CurrentPixels();
  if (current != nullptr && pixels.Bits != nullptr) {
    const TRect r = pixels.BoundsRect();
    current->CopyRect(r.Left, r.Top, r, pixels);
    document.InvalidateImageRect(r);
    // Only the step's rectangle differs from the backup: the rest of it is current already.
    document.RefreshBackupRect(r);
  }
}

void TWKGraphicsCommandState::Undo() {
  Restore(Before_);
  TWKCustomGraphicsCommandState::Undo();
}

void TWKGraphicsCommandState::Redo() {
  Restore(After_);
  TWKCustomGraphicsCommandState::Redo();
}
