#include "imaging/WKBitmap.h"

#include <cstring>

#include "imaging/WKParallel.h"

bool QuickDraftResampling = false;

namespace {
IWKPixelPainter* GPixelPainter = nullptr;
}

void SetPixelPainter(IWKPixelPainter* painter) { GPixelPainter = painter; }
IWKPixelPainter* PixelPainter() { return GPixelPainter; }

int32_t BitsPerPixel(TWKPixelFormat format) {
  int32_t bits = 0;
  switch (format & 0xF) {
    case 1: bits = 8; break;
    case 2: case 3: case 4: case 5: case 7: case 8: bits = 24; break;
    case 6: bits = 32; break;
    default: return 0;
  }
  if (format & 0x100) bits += 8;
  switch (format & 0xF0) {
    case 0x20: case 0x30: return bits * 2;
    case 0x40: return bits * 4;
    default: return bits;
  }
}

int32_t DIBRowBytes(int32_t width, int32_t bits) {
  const int64_t product = static_cast<int64_t>(width) * bits;
  if (product <= 0) return 0;
  const int64_t row = (product + 31) / 32 * 4;
  return row > INT32_MAX ? 0 : static_cast<int32_t>(row);
}

uint32_t CodecPixelFormat(TWKPixelFormat format) {
  if (format == FormatBGR24) return 0x21808;
  if (format == FormatBGRA32) return 0x26200A;
  return 0;
}

// ---- TWKPixels

void TWKPixels::SetFormatCode(TWKPixelFormat format) {
  PixelFormat = format;
  BytesPerPixel = static_cast<uint8_t>(BitsPerPixel(format) / 8);
}

void TWKPixels::ResetGeometry() {
  Bits = nullptr;
  Left = Top = Width = Height = RowBytes = 0;
}

void TWKPixels::Attach(const TRect& rect, void* bits, TWKPixelFormat format, int32_t rowBytes) {
  Left = rect.Left;
  Top = rect.Top;
  Width = rect.Width();
  Height = rect.Height();
  SetFormatCode(format);
  RowBytes = rowBytes;
  Bits = static_cast<uint8_t*>(bits);
}

void TWKPixels::CopyRect(int32_t destX, int32_t destY, const TRect& sourceRect,
                         const TWKPixels& source) {
  if (source.PixelFormat != PixelFormat || !Bits || !source.Bits || BytesPerPixel == 0) return;
  const int32_t dx = destX - sourceRect.Left;
  const int32_t dy = destY - sourceRect.Top;
  const TRect clipped = IntersectRect(sourceRect, source.BoundsRect());
  const TRect target = IntersectRect(OffsetRect(clipped, dx, dy), BoundsRect());
  if (target.IsEmpty()) return;
  const size_t rowLength = static_cast<size_t>(target.Width()) * BytesPerPixel;
  for (int32_t y = target.Top; y < target.Bottom; ++y)
    std::memmove(PixelAddress(target.Left, y), source.PixelAddress(target.Left - dx, y - dy),
                 rowLength);
}

void TWKPixels::Assign(const TWKPixels& source) {
  CopyRect(source.Left, source.Top, source.BoundsRect(), source);
}

// ---- TWKPixelBuffer

void TWKPixelBuffer::SetFormat(TWKPixelFormat format) { SetFormatCode(format); }

bool TWKPixelBuffer::SetBounds(const TRect& rect, TPixelFill fill) {
  if (rect == BoundsRect() && !Borrowed()) return Bits != nullptr || rect.IsEmpty();
  Memory_.Free();
  ResetGeometry();
  Left = rect.Left;
  Top = rect.Top;
  Width = rect.Width();
  Height = rect.Height();
  int32_t rowBytes = 0;
  size_t bytes = 0;
  if (!PixelStorageSize(Width, Height, BitsPerPixel(PixelFormat), rowBytes, bytes)) {
    RowBytes = DIBRowBytes(std::max(Width, 0), BitsPerPixel(PixelFormat));
    return rect.IsEmpty();
  }
  RowBytes = rowBytes;
  if (!Memory_.Allocate(bytes, fill)) return false;
  Bits = Memory_.Data();
  return true;
}

bool TWKPixelBuffer::Allocate(TWKPixelFormat format, const TRect& rect, TPixelFill fill) {
  SetFormat(format);
  return SetBounds(rect, fill);
}

void TWKPixelBuffer::Clear() {
  Memory_.Free();
  ResetGeometry();
}

void TWKPixelBuffer::Borrow(const TWKPixels& pixels) {
  Memory_.Free();
  TWKPixels::operator=(pixels);
}

void TWKPixelBuffer::Adopt(TPixelMemory&& memory, const TWKPixels& layout) {
  Memory_ = std::move(memory);
  TWKPixels::operator=(layout);
  Bits = Memory_.Data();
}

// ---- TDIBSection

bool TDIBSection::SetSize(int32_t width, int32_t height, TWKPixelFormat format,
                          IWKPaintDevice* referenceDevice) {
  Release();
  int32_t rowBytes = 0;
  size_t bytes = 0;
  if (!PixelStorageSize(width, height, BitsPerPixel(format), rowBytes, bytes)) return false;
  if (IWKPixelPainter* painter = PixelPainter()) {
    auto section = painter->CreateSectionMemory(width, height, format, referenceDevice);
    if (section && section->Bits() && section->RowBytes() == rowBytes) {
      Attach(Rect(0, 0, width, height), section->Bits(), format, rowBytes);
      Section_ = std::move(section);
      return true;
    }
  }
  if (!Memory_.Allocate(bytes)) return false;
  Attach(Rect(0, 0, width, height), Memory_.Data(), format, rowBytes);
  return true;
}

bool TDIBSection::Draw(IWKPaintDevice& device, int32_t x, int32_t y) const {
  IWKPixelPainter* painter = PixelPainter();
  if (!painter || !Bits) return false;
  return painter->Paint(device, *this, Bounds(x, y, Width, Height), nullptr, nullptr);
}

void TDIBSection::Release() {
  Section_.reset();
  Memory_.Free();
  ResetGeometry();
  PixelFormat = 0;
  BytesPerPixel = 0;
}

// ---- Free operations

namespace {

// Source and destination rectangles of a copy at (destX, destY), or false when nothing is left.
bool ClipCopy(const TWKPixels& dest, int32_t destX, int32_t destY, const TRect& clipRect,
              const TWKPixels& source, const TRect& sourceRect, TRect& target, int32_t& dx,
              int32_t& dy) {
  if (dest.PixelFormat != FormatBGR24 || !dest.Bits || !source.Bits) return false;
  dx = destX - sourceRect.Left;
  dy = destY - sourceRect.Top;
  const TRect clipped = IntersectRect(sourceRect, source.BoundsRect());
  target = IntersectRect(IntersectRect(OffsetRect(clipped, dx, dy), clipRect), dest.BoundsRect());
  return !target.IsEmpty();
}

inline void BlendChannel(uint8_t& d, int32_t s, int32_t a) {
  d = static_cast<uint8_t>(d + (((s - d) * a) >> 8));
}

void CopyBGRARow(uint8_t* d, const uint8_t* s, int32_t count) {
  for (int32_t i = 0; i < count; ++i, d += 3, s += 4) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
  }
}

void BlendBGRARow(uint8_t* d, const uint8_t* s, int32_t count) {
  for (int32_t i = 0; i < count; ++i, d += 3, s += 4) {
    const int32_t a = s[3];
    if (a == 0) continue;
    BlendChannel(d[0], s[0], a);
    BlendChannel(d[1], s[1], a);
    BlendChannel(d[2], s[2], a);
  }
}

void TransferPixels(TWKPixels& dest, int32_t destX, int32_t destY, const TRect& clipRect,
                    const TWKPixels& source, const TRect& sourceRect, bool blend) {
  TRect t;
  int32_t dx = 0, dy = 0;
  if (!ClipCopy(dest, destX, destY, clipRect, source, sourceRect, t, dx, dy)) return;
  const int32_t w = t.Width();
  for (int32_t y = t.Top; y < t.Bottom; ++y) {
    uint8_t* d = dest.PixelAddress(t.Left, y);
    const uint8_t* s = source.PixelAddress(t.Left - dx, y - dy);
    if (source.PixelFormat == FormatBGR24)
      std::memmove(d, s, static_cast<size_t>(w) * 3);
    else if (source.PixelFormat != FormatBGRA32)
      return;
    else if (blend)
      BlendBGRARow(d, s, w);
    else
      CopyBGRARow(d, s, w);
  }
}

}  // namespace

void CopyPixels(TWKPixels& dest, int32_t destX, int32_t destY, const TRect& clipRect,
                const TWKPixels& source, const TRect& sourceRect) {
  TransferPixels(dest, destX, destY, clipRect, source, sourceRect, false);
}

void DrawPixels(TWKPixels& dest, int32_t destX, int32_t destY, const TRect& clipRect,
                const TWKPixels& source, const TRect& sourceRect) {
  TransferPixels(dest, destX, destY, clipRect, source, sourceRect, true);
}

bool FitSize(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight,
             int32_t& fitWidth, int32_t& fitHeight) {
  if (boxWidth == 0 || boxHeight == 0) return false;
  if (width == 0 && height == 0) return false;
  if (static_cast<double>(height) / boxHeight < static_cast<double>(width) / boxWidth) {
    fitWidth = boxWidth;
    fitHeight = MulDiv(height, boxWidth, width);
  } else {
    fitWidth = MulDiv(width, boxHeight, height);
    fitHeight = boxHeight;
  }
  return true;
}

void BlendPixel(TBGRPixel& pixel, uint8_t alpha, const TBGRPixel& colour) {
  if (alpha == 0) return;
  if (alpha == 255) {
    pixel = colour;
    return;
  }
  BlendChannel(pixel.Blue, colour.Blue, alpha);
  BlendChannel(pixel.Green, colour.Green, alpha);
  BlendChannel(pixel.Red, colour.Red, alpha);
}

TRect BitmapBounds(const TWKBitmap& bitmap) { return Rect(0, 0, bitmap.Width(), bitmap.Height()); }

bool CopyToBuffer(const TWKBitmap& bitmap, TWKPixelBuffer& buffer) {
  const TWKPixels* pixels = bitmap.Pixels();
  if (!pixels) {
    buffer.Clear();
    return false;
  }
  if (!buffer.Allocate(pixels->PixelFormat, pixels->BoundsRect())) return false;
  if (buffer.RowBytes != pixels->RowBytes || pixels->RowBytes <= 0) {
    buffer.Assign(*pixels);
    return true;
  }
  // Rows of both are contiguous with the same stride: one block move per part, on every core.
  const size_t rowBytes = size_t(pixels->RowBytes);
  ParallelRows(pixels->Height, int64_t(rowBytes) * pixels->Height, [&](int32_t, int32_t begin, int32_t end) {
    std::memcpy(buffer.PixelAddress(buffer.Left, buffer.Top + begin),
                pixels->PixelAddress(pixels->Left, pixels->Top + begin), size_t(end - begin) * rowBytes);
  });
  return true;
}
