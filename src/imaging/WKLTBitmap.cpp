#include <cstring>

#include "imaging/WKBitmap.h"
#include "imaging/WKGeometry.h"

struct TWKLTBitmap::TNewStorage {
  TWKBitmapStorage Storage;
  TPixelMemory Memory;
  TWKPixels Pixels;
};

bool TWKLTBitmap::MakeStorage(int32_t width, int32_t height, TWKPixelFormat format,
                              TNewStorage& result, TPixelFill fill) {
  int32_t rowBytes = 0;
  size_t bytes = 0;
  if (!PixelStorageSize(width, height, BitsPerPixel(format), rowBytes, bytes)) return false;
  if (!result.Memory.Allocate(bytes, fill, TPixelSharing::Shareable)) return false;
  result.Storage = TWKBitmapStorage{width, height, format, rowBytes, result.Memory.Data(), bytes};
  result.Pixels.Attach(Rect(0, 0, width, height), result.Memory.Data(), format, rowBytes);
  return true;
}

void TWKLTBitmap::Adopt(TNewStorage& storage) {
  auto pixels = std::make_unique<TWKLTPixels>();
  pixels->Attach(storage.Pixels.BoundsRect(), storage.Pixels.Bits, storage.Pixels.PixelFormat,
                 storage.Pixels.RowBytes);
  FreeStorage();
  Memory_ = std::move(storage.Memory);
  Storage_ = storage.Storage;
  Pixels_ = std::move(pixels);
}

bool TWKLTBitmap::SetSize(int32_t width, int32_t height, TWKPixelFormat format, TPixelFill fill) {
  FreeStorage();
  TNewStorage storage;
  if (!MakeStorage(width, height, format, storage, fill)) return false;
  Adopt(storage);
  return true;
}

void TWKLTBitmap::FreeStorage() {
  if (!Pixels_) return;
  Pixels_.reset();
  Memory_.Free();
  Storage_ = TWKBitmapStorage{};
}

std::unique_ptr<TWKLTBitmap> TWKLTBitmap::Clone() const {
  if (!Pixels_) return nullptr;
  auto copy = std::make_unique<TWKLTBitmap>();
  if (!copy->SetSize(Width(), Height(), PixelFormat())) return nullptr;
  std::memcpy(copy->Memory_.Data(), Storage_.Bits, Storage_.Size);
  return copy;
}

void TWKLTBitmap::Borrow(const TWKLTBitmap& owner) {
  FreeStorage();
  if (!owner.Pixels_) return;
  Pixels_ = std::make_unique<TWKLTPixels>();
  Pixels_->Attach(owner.Pixels_->BoundsRect(), owner.Storage_.Bits, owner.Storage_.Format, owner.Storage_.RowBytes);
  Storage_ = owner.Storage_;
}

bool TWKLTBitmap::ShareCopies(TWKLTBitmap& copy, TWKPixelBuffer& buffer) {
  if (!Pixels_ || !Memory_.Shareable()) return false;
  TNewStorage storage;
  TPixelMemory forBuffer;
  TPixelMemory* copies[] = {&storage.Memory, &forBuffer};
  if (!Memory_.ShareCopies(copies)) return false;
  storage.Storage = Storage_;
  storage.Storage.Bits = storage.Memory.Data();
  storage.Pixels.Attach(Pixels_->BoundsRect(), storage.Memory.Data(), Storage_.Format, Storage_.RowBytes);
  copy.Adopt(storage);
  buffer.Adopt(std::move(forBuffer), storage.Pixels);
  return true;
}

bool TWKLTBitmap::Crop(const TRect& rect) {
  if (!Pixels_) return false;
  const TRect r = IntersectRect(rect, Pixels_->BoundsRect());
  if (r.IsEmpty()) return false;
  TNewStorage storage;
  if (!MakeStorage(r.Width(), r.Height(), PixelFormat(), storage)) return false;
  storage.Pixels.CopyRect(0, 0, r, *Pixels_);
  Adopt(storage);
  return true;
}

bool TWKLTBitmap::Resize(int32_t width, int32_t height) { return ResizeInto(width, height, *this); }

bool TWKLTBitmap::ResizeInto(int32_t width, int32_t height, TWKLTBitmap& result) const {
  if (!Pixels_) return false;
  TNewStorage storage;
  if (!MakeStorage(width, height, PixelFormat(), storage)) return false;
  const TRect whole = Rect(0, 0, width, height);
  bool done = false;
  if (QuickDraftResampling) {
    done = ResamplePixels(storage.Pixels, whole, whole, TQuickDraftResampler(),
                          Pixels_->BoundsRect(), *Pixels_);
  } else {
    done = ResamplePixels(storage.Pixels, whole, whole, TLanczosResampler(), Pixels_->BoundsRect(),
                          *Pixels_);
  }
  if (!done) return false;
  result.Adopt(storage);
  return true;
}

bool TWKLTBitmap::SetCanvasSize(int32_t width, int32_t height) {
  if (!Pixels_) return false;
  TNewStorage storage;
  if (!MakeStorage(width, height, PixelFormat(), storage)) return false;
  storage.Pixels.Assign(*Pixels_);
  Adopt(storage);
  return true;
}

bool TWKLTBitmap::Rebuild(bool turned, void (*op)(const TWKPixels&, TWKPixels&)) {
  if (!Pixels_ || PixelFormat() != FormatBGR24) return false;
  TNewStorage storage;
  const int32_t w = turned ? Height() : Width();
  const int32_t h = turned ? Width() : Height();
  if (!MakeStorage(w, h, FormatBGR24, storage)) return false;
  op(*Pixels_, storage.Pixels);
  Adopt(storage);
  return true;
}

bool TWKLTBitmap::MirrorHorizontal() { return Rebuild(false, MirrorPixels); }
bool TWKLTBitmap::FlipVertical() { return Rebuild(false, FlipPixels); }
bool TWKLTBitmap::RotateLeft() { return Rebuild(true, RotateLeftPixels); }
bool TWKLTBitmap::RotateRight() { return Rebuild(true, RotateRightPixels); }

bool TWKLTBitmap::AssignPixels(const TWKPixels& buffer) {
  TNewStorage storage;
  if (!MakeStorage(buffer.Width, buffer.Height, buffer.PixelFormat, storage)) {
    FreeStorage();
    return false;
  }
  storage.Pixels.Assign(buffer);
  Adopt(storage);
  return true;
}

bool TWKLTBitmap::Paint(IWKPaintDevice& device, const TRect& destRect, const TRect* clipRect,
                        const TRect* sourceRect) {
  IWKPixelPainter* painter = PixelPainter();
  if (!Pixels_ || !painter) return false;
  return painter->Paint(device, *Pixels_, destRect, clipRect, sourceRect);
}

bool TWKLTBitmap::Print(IWKPaintDevice& device, const TRect& rect) {
  IWKPixelPainter* painter = PixelPainter();
  if (!Pixels_ || !painter) return false;
  return painter->Print(device, *Pixels_, rect);
}
