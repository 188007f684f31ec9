// The brush preview of a painting tool's option frame: the stamp mask in black on white (silver
// while the frame is disabled) inside a grey one-pixel frame.
#pragma once

#include "imaging/WKBitmap.h"

// Paints all of image (24-bit), whose top-left is the preview's; the mask is centred in it.
void RenderBrushPreview(TWKPixels& image, const TWKPixelMask& mask, bool enabled);
