#include "documents/WKGeometryCommandState.h"

#include "documents/WKGraphicsDocument.h"

std::unique_ptr<TWKGeometrySnapshot> TWKGeometrySnapshot::Take(const TWKGraphicsDocument& document,
                                                               bool withOriginal) {
  auto s = std::make_unique<TWKGeometrySnapshot>();
  s->HasOriginal = withOriginal && !document.OriginalImage.Empty();
  if (!document.CopyImages(s->Current, s->HasOriginal ? &s->Original : nullptr)) return nullptr;
  s->LosslessHeld = document.LosslessJpeg && document.LosslessJpeg->GetGeometry(s->Lossless);
  return s;
}

void TWKGeometrySnapshot::Restore(TWKGraphicsDocument& document) const {
  document.ReplaceImages(Current, HasOriginal ? &Original : nullptr);
  if (LosslessHeld && document.LosslessJpeg && document.LosslessJpeg->HoldsData() &&
      !document.LosslessJpeg->SetGeometry(Lossless))
    document.LosslessJpeg->Release();
}

TWKGeometryCommandState::TWKGeometryCommandState(IWKGraphicsTool* tool,
                                                 TWKGraphicsDocument& document,
                                                 std::unique_ptr<TWKGeometrySnapshot> before)
    : TWKGeometryCommandState(tool, document, std::move(before), TWKGeometrySnapshot::Take(document)) {}

TWKGeometryCommandState::TWKGeometryCommandState(IWKGraphicsTool* tool,
                                                 TWKGraphicsDocument& document,
                                                 std::unique_ptr<TWKGeometrySnapshot> before,
                                                 std::unique_ptr<TWKGeometrySnapshot> after)
    : TWKCustomGraphicsCommandState(tool, document.ImageRect(), document),
      Before_(std::move(before)),
      After_(std::move(after)) {}

void TWKGeometryCommandState::Undo() {
  if (Before_) Before_->Restore(Document());
  TWKCustomGraphicsCommandState::Undo();
}

void TWKGeometryCommandState::Redo() {
  if (After_) After_->Restore(Document());
  TWKCustomGraphicsCommandState::Redo();
}
