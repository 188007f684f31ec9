// The exchange file that the filter plug-in and the application pass between them:
// "PSPF", a 32-byte header of little-endian 32-bit signed values, then the pixel rows
// (red, green, blue first in each pixel, further planes after), then on the application's
// side an optional "EXIF" block. The functions here work on a mapped view of the whole file
// and never touch a byte outside [view, view + size).
#pragma once

#include <cstddef>
#include <cstdint>

struct TWKExchangeHeader {
  int32_t HeaderSize = 0;  // bytes after the magic up to the first row
  int32_t Mode = 0;        // host image mode; 3 = RGB colour
  int32_t Left = 0;        // filtered rectangle in the host image
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t RowBytes = 0;    // stride from one row to the next
  int32_t PixelBytes = 0;  // stride from one pixel to the next (host plane count)
};
static_assert(sizeof(TWKExchangeHeader) == 32);

inline constexpr char kExchangeMagic[4] = {'P', 'S', 'P', 'F'};
inline constexpr int32_t kExchangeHeaderSize = 32;
// Where the application reads and writes the first row: magic plus the fixed header.
inline constexpr size_t kExchangeDataOffset = 4 + kExchangeHeaderSize;
inline constexpr int32_t kExchangeModeRGB = 3;
inline constexpr char kExchangeExifMagic[4] = {'E', 'X', 'I', 'F'};
// An EXIF block is looked for only when more than this many bytes follow the last row.
inline constexpr size_t kExchangeExifThreshold = 496;

// True when the view starts with the magic and holds the whole fixed header.
bool HasExchangeMagic(const uint8_t* view, size_t size);
// Reads the header after the magic. False (header untouched) when the view is too short or
// lacks the magic.
bool ReadExchangeHeader(const uint8_t* view, size_t size, TWKExchangeHeader& header);
// Writes the magic and the header at the start of a view of at least kExchangeDataOffset bytes.
void WriteExchangeHeader(uint8_t* view, const TWKExchangeHeader& header);

// 36 + rowBytes * height, or 0 when a value is negative or the size does not fit in size_t.
size_t ExchangeFileSize(int64_t rowBytes, int64_t height);

// The application's reading of an exchange file (layout checked, nothing copied yet).
struct TWKExchangeImage {
  TWKExchangeHeader Header;
  const uint8_t* Rows = nullptr;  // first row, kExchangeDataOffset into the view
  const uint8_t* Exif = nullptr;  // EXIF data after "EXIF" and its length, or none
  uint32_t ExifSize = 0;
};

// Accepts a view only when it carries the magic, Mode 3, a positive size, PixelBytes of at
// least 3, rows at least Width * PixelBytes long and all Height rows inside the view (it may
// be shorter than declared by nothing). The EXIF block is taken only when more than 496 bytes
// follow the last row, they begin with "EXIF" and its declared length fits in the view.
bool ParseExchangeFile(const uint8_t* view, size_t size, TWKExchangeImage& image);

// Converts the parsed rows into blue-green-red rows of Width * 3 bytes with the given stride.
// The caller provides Height rows of at least Width * 3 bytes.
void ReadExchangePixels(const TWKExchangeImage& image, uint8_t* bgrRows, ptrdiff_t bgrRowBytes);

// Writes "PSPF", the application's header (Mode 3, Left/Top 0, PixelBytes 3, RowBytes
// rowBytes) and every pixel of the blue-green-red image reversed to red, green, blue.
// False, writing nothing, when the view is smaller than ExchangeFileSize(rowBytes, height) or
// rowBytes is shorter than width * 3.
bool WriteExchangeImage(uint8_t* view, size_t size, int32_t width, int32_t height,
                        int32_t rowBytes, const uint8_t* bgrRows, ptrdiff_t bgrRowBytes);
