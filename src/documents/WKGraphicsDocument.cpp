#include "documents/WKGraphicsDocument.h"

#include <cmath>

#include "documents/WKGraphicsEditor.h"
#include "documents/WKGraphicsToolHooks.h"
#include "documents/WKImageView.h"
#include "documents/WKLosslessJpeg.h"
#include "imaging/WKOrientation.h"
#include "imaging/WKResample.h"
#include "platform/codec/PropertyItems.h"

namespace {

bool InThumbnailRange(int32_t id) {
  return (id >= 20498 && id < 20506) || (id >= 20507 && id < 20540);
}

}  // namespace

TWKGraphicsDocument::TWKGraphicsDocument(TWKEditor& editor)
    : TWKDocument(editor), LosslessJpeg(MakeLosslessJpeg()) {}

TWKGraphicsDocument::~TWKGraphicsDocument() = default;

void TWKGraphicsDocument::CreateView(std::unique_ptr<TWKDocumentView>& view) {
  if (ViewMakers().View) view = ViewMakers().View(*this);
}

void TWKGraphicsDocument::BeforeClose() {
  BroadcastToTools([this](IWKGraphicsTool& tool) { tool.DocumentClosing(*this); });
}

void TWKGraphicsDocument::BeforeSave() {
  BroadcastToTools([this](IWKGraphicsTool& tool) { tool.DocumentSaving(*this); });
}

void TWKGraphicsDocument::AfterOpen() {
  BroadcastToTools([this](IWKGraphicsTool& tool) { tool.DocumentOpened(*this); });
}

TWKGraphicsView* TWKGraphicsDocument::GraphicsView() {
  auto* view = dynamic_cast<IWKImageView*>(GetView());
  return view ? &view->GraphicsView() : nullptr;
}

TWKGraphicsView* TWKGraphicsDocument::ExistingView() const {
  IWKImageView* view = ImageView();
  return view ? &view->GraphicsView() : nullptr;
}

IWKImageView* TWKGraphicsDocument::ImageView() const { return dynamic_cast<IWKImageView*>(View()); }

TWKGraphicsEditor* TWKGraphicsDocument::GraphicsEditor() const {
  return dynamic_cast<TWKGraphicsEditor*>(&Editor());
}

void TWKGraphicsDocument::BeginEditTransaction(IWKGraphicsTool* tool) {
  if (EditActive_) EndEditTransaction(this);
  OwnPixels();
  DirtyRect_ = TRect{};
  EditTool_ = tool;
  EditActive_ = true;
}

void TWKGraphicsDocument::EndEditTransaction(const void* requester) {
  EditActive_ = false;
  if (requester == this && EditTool_ != nullptr) EditTool_->EndEdit();
  DirtyRect_ = TRect{};
}

void TWKGraphicsDocument::AbandonEditTransaction() {
  EditActive_ = false;
  EditTool_ = nullptr;
  DirtyRect_ = TRect{};
}

void TWKGraphicsDocument::MarkDirty(const TRect& rect, bool replace) {
  DirtyRect_ = replace || DirtyRect_.IsEmpty() ? rect : UnionRect(DirtyRect_, rect);
  InvalidateImageRect(rect);
}

void TWKGraphicsDocument::InvalidateImageRect(const TRect& rect) {
  IWKImageView* view = ImageView();
  if (view == nullptr || rect.IsEmpty()) return;
  view->InvalidateImageRect(rect);
}

bool TWKGraphicsDocument::RefreshBackup() {
  if (CurrentImage.Empty()) {
    Backup.Clear();
    return true;
  }
  if (PixelsShared_) {
    Backup.Borrow(*CurrentPixels());
    return true;
  }
  return CopyToBuffer(CurrentImage, Backup);
}

void TWKGraphicsDocument::SharePixels() {
  PixelsShared_ = !CurrentImage.Empty();
  if (!PixelsShared_) return;
  OriginalImage.Borrow(CurrentImage);
  Backup.Borrow(*CurrentPixels());
}

void TWKGraphicsDocument::FollowCurrent() {
  if (!PixelsShared_) return;
  if (CurrentImage.Empty()) {
    PixelsShared_ = false;
    OriginalImage.FreeStorage();
    Backup.Clear();
    return;
  }
  SharePixels();
}

bool TWKGraphicsDocument::OwnPixels() {
  if (LosslessJpeg) LosslessJpeg->ReadAhead();
  return UnsharePixels();
}

bool TWKGraphicsDocument::UnsharePixels() {
  if (!PixelsShared_) return true;
  const TWKPixels* current = CurrentPixels();
  if (current == nullptr) {
    FollowCurrent();
    return true;
  }
  // The copies are made apart first, so that a failure leaves both shared. Shareable storage
  // gives copies whose pages are copied only where a change writes; else whole copies.
  TWKLTBitmap original;
  TWKPixelBuffer backup;
  if (!CurrentImage.ShareCopies(original, backup) &&
      (!original.AssignPixels(*current) || !CopyToBuffer(CurrentImage, backup)))
    return false;
  OriginalImage.Swap(original);
  Backup.Swap(backup);
  PixelsShared_ = false;
  return true;
}

bool TWKGraphicsDocument::RefreshBackupRect(const TRect& rect) {
  if (PixelsShared_) return RefreshBackup();
  const TWKPixels* current = CurrentPixels();
  if (current == nullptr || Backup.Bits == nullptr || Backup.BoundsRect() != current->BoundsRect() ||
      Backup.PixelFormat != current->PixelFormat)
    return RefreshBackup();
  const TRect r = IntersectRect(rect, current->BoundsRect());
  if (!r.IsEmpty()) Backup.CopyRect(r.Left, r.Top, r, *current);
  return true;
}

bool TWKGraphicsDocument::AfterGeometry(bool changed) {
  RefreshBackup();
  ImageChanged();
  return changed;
}

// A quarter turn, mirror or flip of both images, followed by the lossless form.
bool TWKGraphicsDocument::TurnOrFlip(bool (TWKLTBitmap::*images)(),
                                     bool (IWKLosslessJpeg::*lossless)(int32_t)) {
  const bool changed = (CurrentImage.*images)();
  if (PixelsShared_)
    FollowCurrent();
  else if (changed && !OriginalImage.Empty())
    (OriginalImage.*images)();
  RefreshBackup();
  if (changed && LosslessJpeg && LosslessJpeg->HoldsData()) {
    ((*LosslessJpeg).*lossless)(0);
    LosslessJpeg->ReadAhead();
  }
  ImageChanged();
  return changed;
}

bool TWKGraphicsDocument::RotateLeft() {
  return TurnOrFlip(&TWKLTBitmap::RotateLeft, &IWKLosslessJpeg::RotateLeft);
}
bool TWKGraphicsDocument::RotateRight() {
  return TurnOrFlip(&TWKLTBitmap::RotateRight, &IWKLosslessJpeg::RotateRight);
}
bool TWKGraphicsDocument::MirrorHorizontal() {
  return TurnOrFlip(&TWKLTBitmap::MirrorHorizontal, &IWKLosslessJpeg::MirrorHorizontal);
}
bool TWKGraphicsDocument::FlipVertical() {
  return TurnOrFlip(&TWKLTBitmap::FlipVertical, &IWKLosslessJpeg::FlipVertical);
}

bool TWKGraphicsDocument::Crop(const TRect& rect) {
  const TRect r = IntersectRect(rect, ImageRect());
  if (r.IsEmpty()) return false;
  const bool changed = CurrentImage.Crop(r);
  if (PixelsShared_)
    FollowCurrent();
  else if (changed && !OriginalImage.Empty())
    OriginalImage.Crop(IntersectRect(r, BitmapBounds(OriginalImage)));
  RefreshBackup();
  // The exact rectangle: a crop moved onto the block grid would save a shifted picture.
  if (changed && LosslessJpeg && LosslessJpeg->HoldsData()) {
    LosslessJpeg->Crop(r);
    LosslessJpeg->ReadAhead();
  }
  ImageChanged();
  return changed;
}

bool TWKGraphicsDocument::Resize(int32_t width, int32_t height, bool withOriginal) {
  if (!UnsharePixels()) return false;
  const int32_t oldWidth = CurrentImage.Width(), oldHeight = CurrentImage.Height();
  // Both new images are made before either is replaced: a resize that cannot have its memory
  // leaves the document as it was.
  TWKLTBitmap current, original;
  bool changed = width > 0 && height > 0 && CurrentImage.ResizeInto(width, height, current);
  const bool originalToo = changed && withOriginal && !OriginalImage.Empty();
  if (originalToo) {
    int32_t w = width, h = height;
    if (OriginalImage.Width() != oldWidth || OriginalImage.Height() != oldHeight) {
      w = std::max(1, MulDiv(OriginalImage.Width(), width, std::max(oldWidth, 1)));
      h = std::max(1, MulDiv(OriginalImage.Height(), height, std::max(oldHeight, 1)));
    }
    changed = OriginalImage.ResizeInto(w, h, original);
  }
  if (changed) {
    CurrentImage.Swap(current);
    if (originalToo) OriginalImage.Swap(original);
  }
  RefreshBackup();
  // Resampled or re-framed pixels have no coefficients to keep: the next JPEG save asks for
  // a quality.
  if (changed && LosslessJpeg) LosslessJpeg->Release();
  ImageChanged();
  return changed;
}

bool TWKGraphicsDocument::SetCanvasSize(int32_t width, int32_t height, bool withOriginal) {
  if (!UnsharePixels()) return false;
  const bool changed = width > 0 && height > 0 && CurrentImage.SetCanvasSize(width, height);
  if (changed && withOriginal && !OriginalImage.Empty()) OriginalImage.SetCanvasSize(width, height);
  RefreshBackup();
  if (changed) {
    if (TWKGraphicsEditor* editor = GraphicsEditor())
      if (IWKGraphicsTool* tool = editor->CurrentTool()) tool->CurrentPixelsChanged(*this);
  }
  // Resampled or re-framed pixels have no coefficients to keep: the next JPEG save asks for
  // a quality.
  if (changed && LosslessJpeg) LosslessJpeg->Release();
  ImageChanged();
  return changed;
}

bool TWKGraphicsDocument::ReplaceImages(const TWKPixels& current, const TWKPixels* original) {
  if (!OwnPixels()) return false;
  bool ok = CurrentImage.AssignPixels(current);
  if (original != nullptr) ok = OriginalImage.AssignPixels(*original) && ok;
  if (original != nullptr && LosslessJpeg) LosslessJpeg->MarkOutOfStep();
  return AfterGeometry(ok);
}

bool TWKGraphicsDocument::CopyImages(TWKPixelBuffer& current, TWKPixelBuffer* original) const {
  bool ok = CopyToBuffer(CurrentImage, current);
  if (original != nullptr) ok = CopyToBuffer(OriginalImage, *original) && ok;
  return ok;
}

std::unique_ptr<TWKLTBitmap> TWKGraphicsDocument::ScaledCopy(int32_t limit) const {
  const TWKPixels* source = CurrentPixels();
  int32_t width = 0, height = 0;
  if (source == nullptr || source->PixelFormat != FormatBGR24 ||
      !FitSize(CurrentImage.Width(), CurrentImage.Height(), limit, limit, width, height))
    return nullptr;
  width = std::max(width, 1);
  height = std::max(height, 1);
  auto copy = std::make_unique<TWKLTBitmap>();
  if (!copy->SetSize(width, height, FormatBGR24)) return nullptr;
  const TRect dest = Rect(0, 0, width, height);
  if (!ResamplePixels(*copy->Pixels(), dest, dest, TLanczosResampler(), ImageRect(), *source))
    return nullptr;
  return copy;
}

void TWKGraphicsDocument::ImageChanged() {
  if (IWKImageView* view = ImageView()) {
    view->SetImageBounds(ImageRect());
    view->UpdateScrollRange();
  }
  if (TWKGraphicsEditor* editor = GraphicsEditor())
    editor->ShowImageSize(CurrentImage.Width(), CurrentImage.Height());
}

void TWKGraphicsDocument::LoadMetadata(const TImageInfo& image) {
  Metadata.Clear();
  for (const TPropertyItem& item : image.Items)
    Metadata.SetValue(static_cast<int32_t>(item.Id), item.Type, item.Length(), item.Value.data());
  Metadata.ResolutionX = static_cast<int32_t>(std::lround(image.DpiX));
  Metadata.ResolutionY = static_cast<int32_t>(std::lround(image.DpiY));
  Metadata.Embedded = image.Embedded;
}

int32_t TWKGraphicsDocument::StoredOrientation() const {
  const int index = Metadata.IndexOf(kOrientationItemId);
  if (index < 0) return 1;
  const TWKPropertyRecord& record = Metadata.Items(index);
  return OrientationValue(record.Data.get(), record.Size, uint16_t(record.Type));
}

bool TWKGraphicsDocument::ShowUpright() {
  const int32_t orientation = StoredOrientation();
  if (orientation == 1) return true;
  const bool turned = TurnUpright(CurrentImage, orientation) &&
                      (PixelsShared_ || OriginalImage.Empty() || TurnUpright(OriginalImage, orientation));
  FollowCurrent();
  if (!turned || !RefreshBackup()) return false;
  const uint8_t upright[2] = {1, 0};
  Metadata.SetValue(kOrientationItemId, PropertyTypeShort, sizeof upright, upright);
  SetXmpOrientationUpright(Metadata.Embedded.XmpPacket);
  return true;
}

void TWKGraphicsDocument::SaveMetadata(std::vector<TPropertyItem>& items, double& dpiX,
                                       double& dpiY) const {
  items.clear();
  for (int i = 0; i < Metadata.Count(); ++i) {
    const TWKPropertyRecord& record = Metadata.Items(i);
    TPropertyItem item;
    item.Id = static_cast<uint32_t>(record.Identifier);
    item.Type = static_cast<uint16_t>(record.Type);
    item.Value.assign(record.Data.get(), record.Data.get() + record.Size);
    items.push_back(std::move(item));
  }
  dpiX = Metadata.ResolutionX;
  dpiY = Metadata.ResolutionY;
}

void TWKGraphicsDocument::StripThumbnailTags() {
  std::vector<int32_t> ids;
  for (int i = 0; i < Metadata.Count(); ++i)
    if (InThumbnailRange(Metadata.Items(i).Identifier)) ids.push_back(Metadata.Items(i).Identifier);
  for (int32_t id : ids) Metadata.Delete(id);
}

bool TWKGraphicsDocument::SetImageSize(int32_t width, int32_t height) {
  PixelsShared_ = false;
  OriginalImage.FreeStorage();
  Backup.Clear();
  return CurrentImage.SetSize(width, height, FormatBGR24);
}

bool TWKGraphicsDocument::CurrentImageLoaded() {
  SharePixels();
  return PixelsShared_;
}
