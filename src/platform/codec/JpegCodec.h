// JPEG: decoded through the libjpeg scanline API straight into caller rows (reduced decodes for
// thumbnails), encoded through TurboJPEG with a quality and JFIF density.
#pragma once

#include <memory>

#include "platform/codec/ImageDecoder.h"

std::unique_ptr<TImageCodecHandler> MakeJpegHandler();
std::unique_ptr<TImageEncoder> MakeJpegEncoder();

// Dots per inch from the JFIF APP0 density; false when the stream has none in inches or cm.
bool ReadJfifDensity(std::span<const uint8_t> jpeg, double& dpiX, double& dpiY);
