// Writes 24-bit uncompressed BMP files (bottom-up rows, resolution in pixels per metre).
#pragma once

#include <memory>

#include "platform/codec/ImageDecoder.h"

std::unique_ptr<TImageEncoder> MakeBmpEncoder();
