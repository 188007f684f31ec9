// The plug-in's side of the exchange file: the host's rows into a new file, and the rows the
// application returned back into the host's buffer. Both stay inside the view they are given
// and inside the rows the host described (Width * PixelBytes bytes of each row, rows
// RowBytes apart), so neither reads past the host's last pixel nor writes outside the
// filtered rectangle.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/PhotoshopDataInfo.h"

// Writes the magic, the header and the host's rows into a view of
// ExchangeFileSize(header.RowBytes, header.Height) bytes; bytes after the last pixel of the
// last row are zero. False when the view is too small.
bool WriteHostImage(uint8_t* view, size_t size, const TWKExchangeHeader& header, const uint8_t* inData);

enum class TTransferResult {
  Unreadable,  // no view or the magic is lost: the host stays as it is, silently
  Refused,     // size or mode differ, or the layout would leave the file or the host's rows
  Done,
};

// Copies the returned file's pixels into the host's output buffer described by request
// (Width, Height, Mode, RowBytes = output row bytes, PixelBytes = host planes). Rows start
// HeaderSize bytes after the magic. Same plane count: Width * planes bytes per row as one
// block; otherwise the first three bytes of every pixel, the host's further planes untouched.
TTransferResult CopyExchangeToHost(const uint8_t* view, size_t size, const TWKExchangeHeader& request,
                                   uint8_t* outData);
