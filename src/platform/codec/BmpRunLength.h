// Run-length BMP files (RLE8, RLE4) decoded by our own bounded reader: the target starts black,
// codes that skip pixels (deltas, early line and picture ends) leave them black, and nothing is
// ever written outside the picture. Other BMP files are left to the next handler.
#pragma once

#include <memory>

#include "platform/codec/ImageDecoder.h"

std::unique_ptr<TImageCodecHandler> MakeBmpRunLengthHandler();
