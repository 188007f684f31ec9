// The program's document: one photograph as a current and an original image, the backup that
// undo states take their before-pixels from, the image's metadata and the edit transaction
// through which one tool at a time changes pixels.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "documents/WKDocument.h"
#include "framework/WKProperties.h"
#include "imaging/WKBitmap.h"
#include "platform/codec/CodecTypes.h"
#include "platform/lossless/TarnwickGeometry.h"

class IWKGraphicsTool;
class IWKImageView;
class TWKGraphicsEditor;
class TWKGraphicsView;

// The metadata items of an image (identifier, type, bytes), its resolution, and its colour
// profile, XMP and IPTC as the file carried them.
class TWKGraphicsDocumentProperties : public TWKCustomProperties {
 public:
  int32_t ResolutionX = 0;  // dots per inch, rounded; 0 when the file states none
  int32_t ResolutionY = 0;
  TEmbeddedMetadata Embedded;
};

// The EXIF orientation item.
inline constexpr int32_t kOrientationItemId = 0x0112;

// The transformer of a loaded JPEG's compressed form; follows the document's geometry changes
// so that a save can keep untouched blocks. Geometry arguments are image pixels.
class IWKLosslessJpeg {
 public:
  virtual ~IWKLosslessJpeg() = default;
  virtual bool HoldsData() const = 0;
  virtual int32_t BlockWidth() const = 0;
  virtual int32_t BlockHeight() const = 0;
  virtual bool RotateLeft(int32_t flags) = 0;
  virtual bool RotateRight(int32_t flags) = 0;
  virtual bool MirrorHorizontal(int32_t flags) = 0;
  virtual bool FlipVertical(int32_t flags) = 0;
  virtual bool Crop(const TRect& rect) = 0;
  // Lets go of the compressed form after a change it cannot follow (resize, new canvas).
  virtual void Release() {}
  // Both images were replaced as a whole; only SetGeometry brings the form back in step.
  virtual void MarkOutOfStep() {}
  // The geometry the form follows, for geometry command states to put back on undo and redo.
  virtual bool GetGeometry(TTarnwickGeometry& geometry) const { return false; }
  virtual bool SetGeometry(const TTarnwickGeometry& geometry) { return false; }
  // Starts reading what a save needs that the open left in the file, without waiting for it.
  virtual void ReadAhead() {}
};

class TWKGraphicsDocument : public TWKDocument {
 public:
  explicit TWKGraphicsDocument(TWKEditor& editor);
  ~TWKGraphicsDocument() override;

  TWKLTBitmap CurrentImage;
  TWKLTBitmap OriginalImage;
  TWKPixelBuffer Backup;
  TWKGraphicsDocumentProperties Metadata;
  std::unique_ptr<IWKLosslessJpeg> LosslessJpeg;

  bool EditActive() const { return EditActive_; }
  IWKGraphicsTool* EditTool() const { return EditTool_; }
  const TRect& DirtyRect() const { return DirtyRect_; }

  void CreateView(std::unique_ptr<TWKDocumentView>& view) override;
  void BeforeClose() override;
  void BeforeSave() override;
  void AfterOpen() override;

  // The view, created on the first request.
  TWKGraphicsView* GraphicsView();
  // The view when it exists, without creating it.
  TWKGraphicsView* ExistingView() const;
  IWKImageView* ImageView() const;
  // The image editor when the document belongs to one.
  TWKGraphicsEditor* GraphicsEditor() const;

  // An open transaction of another tool is committed first.
  void BeginEditTransaction(IWKGraphicsTool* tool);
  // requester == this: the holding tool commits (EndEdit); a tool or the editor only closes.
  void EndEditTransaction(const void* requester);
  void AbandonEditTransaction();
  void MarkDirty(const TRect& rect, bool replace);
  // Repaints the image rectangle's area of the view (edges rounded outwards).
  void InvalidateImageRect(const TRect& rect);
  // The backup becomes a copy of the whole current image (shares it while the pixels are shared).
  bool RefreshBackup();
  // Copies only rect of the current image into the backup when their bounds agree; else all.
  bool RefreshBackupRect(const TRect& rect);

  TWKPixels* CurrentPixels() const { return CurrentImage.Pixels(); }
  TWKPixels* OriginalPixels() const { return OriginalImage.Pixels(); }
  TRect ImageRect() const { return Rect(0, 0, CurrentImage.Width(), CurrentImage.Height()); }

  // Geometry: the current and the original image together, then the backup, the lossless
  // transformer and the view. False when the pixels could not be changed (nothing changed).
  bool RotateLeft();
  bool RotateRight();
  bool MirrorHorizontal();
  bool FlipVertical();
  bool Crop(const TRect& rect);
  bool Resize(int32_t width, int32_t height, bool withOriginal);
  bool SetCanvasSize(int32_t width, int32_t height, bool withOriginal);

  // The current image takes current's pixels (the original those of original, when given).
  bool ReplaceImages(const TWKPixels& current, const TWKPixels* original);
  bool CopyImages(TWKPixelBuffer& current, TWKPixelBuffer* original) const;
  // The whole current image resampled (Lanczos) so that its longer side is limit.
  std::unique_ptr<TWKLTBitmap> ScaledCopy(int32_t limit) const;
  // The view takes the new image bounds and the status bar the new size.
  void ImageChanged();

  void LoadMetadata(const TImageInfo& image);
  // The EXIF orientation of the file as loaded (1 when it states none or a value outside 1..8).
  int32_t StoredOrientation() const;
  // Turns a picture stored with the file's orientation upright: both images and the backup;
  // the metadata then says orientation 1. The lossless form is left to the caller. False when
  // the pixels could not be turned (nothing changed).
  bool ShowUpright();
  void SaveMetadata(std::vector<TPropertyItem>& items, double& dpiX, double& dpiY) const;
  // Removes the embedded-thumbnail items (identifiers 20498-20505 and 20507-20539).
  void StripThumbnailTags();

  // Sets up the images for new pixels: current of width × height (24-bit), original a copy,
  // backup refreshed. False (images empty) when the memory cannot be had.
  bool SetImageSize(int32_t width, int32_t height);
  // After the current image was filled: the original and the backup share its pixels.
  bool CurrentImageLoaded();
  // The original and the backup show the current image's pixels without copies, until the first
  // change of them (OwnPixels); turns, flips and crops before it keep them shared.
  void SharePixels();
  bool PixelsShared() const { return PixelsShared_; }
  // Before the current pixels are written: a shared original and backup take copies of their own,
  // which share pages with the current image until a page is written (whole copies where the
  // storage cannot share). False (nothing changed) when the memory cannot be had; the change must
  // not happen then.
  bool OwnPixels();

 private:
  bool AfterGeometry(bool changed);
  // OwnPixels without reading the JPEG form ahead, for resampling and re-framing, which let go
  // of the form.
  bool UnsharePixels();
  // While shared: the original and the backup follow the current image's new storage.
  void FollowCurrent();
  bool TurnOrFlip(bool (TWKLTBitmap::*images)(), bool (IWKLosslessJpeg::*lossless)(int32_t));

  bool EditActive_ = false;
  bool PixelsShared_ = false;
  IWKGraphicsTool* EditTool_ = nullptr;
  TRect DirtyRect_;
};
