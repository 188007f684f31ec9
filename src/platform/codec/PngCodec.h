// PNG through libpng: every colour type and depth read as 24-bit blue, green, red (16-bit
// samples keep their high byte, alpha is composed over white); encoded as 8-bit RGB with pHYs.
#pragma once

#include <memory>

#include "platform/codec/ImageDecoder.h"

std::unique_ptr<TImageCodecHandler> MakePngHandler();
std::unique_ptr<TImageEncoder> MakePngEncoder();
