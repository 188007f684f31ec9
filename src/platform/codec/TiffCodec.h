// TIFF through libtiff: the first page, strips or tiles, RGB, grey, palette, 1- to 16-bit
// samples, read chunk by chunk into 24-bit rows (other photometrics through libtiff's RGBA
// reader); encoded as 8-bit RGB, LZW with horizontal prediction, with its resolution.
#pragma once

#include <memory>

#include "platform/codec/ImageDecoder.h"

std::unique_ptr<TImageCodecHandler> MakeTiffHandler();
std::unique_ptr<TImageEncoder> MakeTiffEncoder();
