// Whole-surface geometry of 24-bit pixels: dest must have the turned (or equal) size.
#pragma once

#include "imaging/WKBitmap.h"

void MirrorPixels(const TWKPixels& source, TWKPixels& dest);
void FlipPixels(const TWKPixels& source, TWKPixels& dest);
void RotateLeftPixels(const TWKPixels& source, TWKPixels& dest);
void RotateRightPixels(const TWKPixels& source, TWKPixels& dest);
