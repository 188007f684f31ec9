// Pixel surfaces, masks, the image container and the free pixel operations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

#include "imaging/WKPageMemory.h"
#include "imaging/WKResample.h"
#include "imaging/WKTypes.h"

struct TBGRPixel {
  uint8_t Blue = 0;
  uint8_t Green = 0;
  uint8_t Red = 0;
  friend bool operator==(const TBGRPixel&, const TBGRPixel&) = default;
};
static_assert(sizeof(TBGRPixel) == 3);

using TWKPixelFormat = uint32_t;
inline constexpr TWKPixelFormat FormatBGR24 = 0x1012;
inline constexpr TWKPixelFormat FormatBGRA32 = 0x1112;

// Bits per pixel of any format code; 0 for an unknown base.
int32_t BitsPerPixel(TWKPixelFormat format);
// ((width × bits + 31) div 32) × 4 in 64-bit arithmetic; 0 when width × bits ≤ 0 or the
// result does not fit 32 bits.
int32_t DIBRowBytes(int32_t width, int32_t bits);
// The still-image codec's pixel format for a format code (0x21808, 0x26200A), 0 for others.
uint32_t CodecPixelFormat(TWKPixelFormat format);

class IWKPaintDevice;

// A rectangle of pixels addressed in image coordinates. Does not own its memory.
class TWKPixels {
 public:
  uint8_t* Bits = nullptr;
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t RowBytes = 0;
  TWKPixelFormat PixelFormat = 0;
  uint8_t BytesPerPixel = 0;

  TWKPixels() = default;
  TWKPixels(const TWKPixels&) = default;
  TWKPixels& operator=(const TWKPixels&) = default;

  void Attach(const TRect& rect, void* bits, TWKPixelFormat format, int32_t rowBytes);
  TRect BoundsRect() const { return Bounds(Left, Top, Width, Height); }
  // No bounds check: callers stay inside BoundsRect.
  uint8_t* PixelAddress(int32_t x, int32_t y) const {
    return Bits + static_cast<ptrdiff_t>(x - Left) * BytesPerPixel +
           static_cast<ptrdiff_t>(y - Top) * RowBytes;
  }
  TBGRPixel* Pixel(int32_t x, int32_t y) const {
    return reinterpret_cast<TBGRPixel*>(PixelAddress(x, y));
  }
  // Copies sourceRect of source so that its top-left lands at (destX, destY); nothing when the
  // formats differ.
  void CopyRect(int32_t destX, int32_t destY, const TRect& sourceRect, const TWKPixels& source);
  void Assign(const TWKPixels& source);

 protected:
  void ResetGeometry();
  void SetFormatCode(TWKPixelFormat format);
};

// Owns zero-filled page memory.
class TWKPixelBuffer : public TWKPixels {
 public:
  TWKPixelBuffer() = default;
  TWKPixelBuffer(const TWKPixelBuffer&) = delete;
  TWKPixelBuffer& operator=(const TWKPixelBuffer&) = delete;
  ~TWKPixelBuffer() { Clear(); }

  void SetFormat(TWKPixelFormat format);
  // The same bounds keep the pixels; other bounds give new storage, all zero unless the caller
  // writes it whole. False when the storage cannot be had: the geometry is then set but Bits is
  // none.
  bool SetBounds(const TRect& rect, TPixelFill fill = TPixelFill::Zero);
  bool Allocate(TWKPixelFormat format, const TRect& rect, TPixelFill fill = TPixelFill::Zero);
  void Clear();
  // Lays the buffer over pixels it does not own (a document's backup sharing the current image
  // until the first change); the next SetBounds or Allocate gives it memory of its own.
  void Borrow(const TWKPixels& pixels);
  bool Borrowed() const { return Bits != nullptr && Memory_.Data() == nullptr; }
  // Takes memory laid out as layout, whose pixels it holds (layout's Bits is memory's start).
  void Adopt(TPixelMemory&& memory, const TWKPixels& layout);
  void Swap(TWKPixelBuffer& other) noexcept {
    std::swap(static_cast<TWKPixels&>(*this), static_cast<TWKPixels&>(other));
    Memory_.Swap(other.Memory_);
  }

 private:
  TPixelMemory Memory_;
};

// Pixel memory owned by the platform layer (an image of the user-interface toolkit).
class IWKSectionMemory {
 public:
  virtual ~IWKSectionMemory() = default;
  virtual uint8_t* Bits() const = 0;
  virtual int32_t RowBytes() const = 0;
};

// An off-screen bitmap that can be drawn onto a device (the tool previews).
class TDIBSection : public TWKPixels {
 public:
  TDIBSection() = default;
  TDIBSection(const TDIBSection&) = delete;
  TDIBSection& operator=(const TDIBSection&) = delete;
  ~TDIBSection() { Release(); }

  // Releases any previous section; stops there for a side below 1. The memory comes from the
  // installed painter, else from the core's own pages. False when no memory could be had.
  bool SetSize(int32_t width, int32_t height, TWKPixelFormat format,
               IWKPaintDevice* referenceDevice = nullptr);
  // The whole section, unscaled, with its top-left at (x, y) of the device.
  bool Draw(IWKPaintDevice& device, int32_t x, int32_t y) const;
  void Release();
  // The platform memory behind the section; none when it came from the core's pages.
  IWKSectionMemory* Section() const { return Section_.get(); }

 private:
  std::unique_ptr<IWKSectionMemory> Section_;
  TPixelMemory Memory_;
};

// Laid over the view canvas's paint bitmap while it paints; frees nothing.
class TWKCanvasPixels : public TWKPixels {};

// The storage of a TWKLTBitmap.
class TWKLTPixels : public TWKPixels {};

// 8-bit coverage map with its own position; rows of exactly Width bytes, heap storage.
class TWKPixelMask {
 public:
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  uint8_t* Bits = nullptr;

  TWKPixelMask() = default;
  TWKPixelMask(const TWKPixelMask&) = delete;
  TWKPixelMask& operator=(const TWKPixelMask&) = delete;
  ~TWKPixelMask() { Clear(); }

  // Negative sides become 0; storage is width × height zero bytes. False when it cannot be had
  // (the mask is then empty).
  bool SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  TRect BoundsRect() const { return Bounds(Left, Top, Width, Height); }
  // The byte at image (x, y); none outside the mask or without storage.
  uint8_t* ByteAddress(int32_t x, int32_t y) const;
  // Grows to the union of its bounds and rect, keeping its bytes. False (unchanged) when the
  // memory cannot be had.
  bool Extend(const TRect& rect);
  // Extend to other's bounds, then keep the greater byte of the two.
  bool Merge(const TWKPixelMask& other);
  void Clear();
};

// The drawing target of Paint and Print: implemented by the platform layer (a painter on a
// widget, an image or a printer). The core never looks inside.
class IWKPaintDevice {
 public:
  virtual ~IWKPaintDevice() = default;
};

// Draws the system's own pixel memory onto a device; installed once by the platform layer.
class IWKPixelPainter {
 public:
  virtual ~IWKPixelPainter() = default;
  // sourceRect of pixels (none: all of it) scaled into destRect, nothing drawn outside clipRect
  // (none: no clipping). Reads the pixels in place.
  virtual bool Paint(IWKPaintDevice& device, const TWKPixels& pixels, const TRect& destRect,
                     const TRect* clipRect, const TRect* sourceRect) = 0;
  // All of pixels scaled into rect (device units) of a printing device.
  virtual bool Print(IWKPaintDevice& device, const TWKPixels& pixels, const TRect& rect) = 0;
  // Memory for a TDIBSection of DIBRowBytes rows; none to let the core allocate.
  virtual std::unique_ptr<IWKSectionMemory> CreateSectionMemory(int32_t width, int32_t height,
                                                                TWKPixelFormat format,
                                                                IWKPaintDevice* reference) {
    return nullptr;
  }
};

// The process-wide painter; none until the platform layer installs one (Paint and Print then
// report false). The caller keeps the painter alive while installed.
void SetPixelPainter(IWKPixelPainter* painter);
IWKPixelPainter* PixelPainter();

class TWKBitmap {
 public:
  virtual ~TWKBitmap() = default;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  // At Left = Top = 0; none while the bitmap is empty.
  virtual TWKPixels* Pixels() const = 0;
  virtual bool Paint(IWKPaintDevice& device, const TRect& destRect, const TRect* clipRect,
                     const TRect* sourceRect) = 0;
  virtual bool Print(IWKPaintDevice& device, const TRect& rect) = 0;
};

// What the container records about its memory; all zero while the bitmap is empty.
struct TWKBitmapStorage {
  int32_t Width = 0;
  int32_t Height = 0;
  TWKPixelFormat Format = 0;
  int32_t RowBytes = 0;
  uint8_t* Bits = nullptr;
  size_t Size = 0;
};

// The image container of a document. Every operation that rebuilds the storage builds the new
// one completely first; false leaves the image as it was (SetSize excepted: it leaves it empty).
class TWKLTBitmap : public TWKBitmap {
 public:
  TWKLTBitmap() = default;
  TWKLTBitmap(const TWKLTBitmap&) = delete;
  TWKLTBitmap& operator=(const TWKLTBitmap&) = delete;
  ~TWKLTBitmap() override { FreeStorage(); }

  int32_t Width() const override { return Storage_.Width; }
  int32_t Height() const override { return Storage_.Height; }
  TWKLTPixels* Pixels() const override { return Pixels_.get(); }
  bool Paint(IWKPaintDevice& device, const TRect& destRect, const TRect* clipRect,
             const TRect* sourceRect) override;
  bool Print(IWKPaintDevice& device, const TRect& rect) override;

  const TWKBitmapStorage& Storage() const { return Storage_; }
  TWKPixelFormat PixelFormat() const { return Storage_.Format; }
  bool Empty() const { return !Pixels_; }

  // New storage, all zero unless the caller writes every byte of it (row padding included).
  bool SetSize(int32_t width, int32_t height, TWKPixelFormat format, TPixelFill fill = TPixelFill::Zero);
  void FreeStorage();
  // None when the memory cannot be had or the bitmap is empty.
  std::unique_ptr<TWKLTBitmap> Clone() const;
  // Shows owner's pixels without owning them (a document's original sharing the current image
  // until the first change). The owner must keep that storage while this bitmap reads it; any
  // operation that rebuilds the storage gives this bitmap memory of its own.
  void Borrow(const TWKLTBitmap& owner);
  bool Borrowed() const { return Pixels_ && Memory_.Data() == nullptr; }
  // Makes copy and buffer hold this image's pixels without copying them, sharing the pages with
  // it until any of the three writes one (see TPixelMemory::ShareCopies). False, and nothing
  // changed, when this image's storage cannot share (small, borrowed, or no memory files).
  bool ShareCopies(TWKLTBitmap& copy, TWKPixelBuffer& buffer);
  bool Crop(const TRect& rect);
  bool Resize(int32_t width, int32_t height);
  // The image resampled to width × height into result's new storage (this one unchanged); false
  // leaves result as it was.
  bool ResizeInto(int32_t width, int32_t height, TWKLTBitmap& result) const;
  bool SetCanvasSize(int32_t width, int32_t height);
  bool MirrorHorizontal();
  bool FlipVertical();
  bool RotateLeft();
  bool RotateRight();
  bool AssignPixels(const TWKPixels& buffer);
  // Exchanges the two images' storage without copying pixels (a load fills a new bitmap and
  // swaps it in only when it succeeded).
  void Swap(TWKLTBitmap& other) noexcept {
    Pixels_.swap(other.Pixels_);
    std::swap(Storage_, other.Storage_);
    Memory_.Swap(other.Memory_);
  }

 private:
  struct TNewStorage;
  static bool MakeStorage(int32_t width, int32_t height, TWKPixelFormat format,
                          TNewStorage& result, TPixelFill fill = TPixelFill::Zero);
  void Adopt(TNewStorage& storage);
  bool Rebuild(bool turned, void (*op)(const TWKPixels&, TWKPixels&));

  std::unique_ptr<TWKLTPixels> Pixels_;
  TWKBitmapStorage Storage_;
  TPixelMemory Memory_;
};

// While true, TWKLTBitmap::Resize uses TQuickDraftResampler instead of TLanczosResampler.
extern bool QuickDraftResampling;

// Destination first; rectangles in image coordinates. The destination must be FormatBGR24.
// A FormatBGRA32 source gives its colour bytes (CopyPixels) or is blended by its alpha
// (DrawPixels, StretchDrawPixels): d + floor((s - d) × a / 256).
void CopyPixels(TWKPixels& dest, int32_t destX, int32_t destY, const TRect& clipRect,
                const TWKPixels& source, const TRect& sourceRect);
void DrawPixels(TWKPixels& dest, int32_t destX, int32_t destY, const TRect& clipRect,
                const TWKPixels& source, const TRect& sourceRect);
// Nearest-neighbour scaling of sourceRect onto destRect; touches only destination pixels in
// dest bounds ∩ clipRect ∩ destRect. sourceRect must lie inside the source.
void StretchDrawPixels(TWKPixels& dest, const TRect& destRect, const TRect& clipRect,
                       const TWKPixels& source, const TRect& sourceRect);
// The size of width × height fitted into the box; false (outputs untouched) for an empty box.
bool FitSize(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight,
             int32_t& fitWidth, int32_t& fitHeight);
// Alpha 0 changes nothing, 255 writes the colour, else p + floor((c - p) × alpha / 256).
void BlendPixel(TBGRPixel& pixel, uint8_t alpha, const TBGRPixel& colour);

TRect BitmapBounds(const TWKBitmap& bitmap);
// buffer.Allocate(bitmap's format and bounds), then buffer.Assign(bitmap pixels).
bool CopyToBuffer(const TWKBitmap& bitmap, TWKPixelBuffer& buffer);
