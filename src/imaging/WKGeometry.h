// Whole-surface geometry of 24-bit pixels: dest must have the turned (or equal) size.
#pragma once

#include "imaging/WKBitmap.h"

void MirrorPixels(const TWKPixels& source, TWKPixels& dest);
void FlipPixels(const TWKPixels& source, TWKPixels& dest);
void RotateLeftPixels(const TWKPixels& source, TWKPixels& dest);
void RotateRightPixels(const TWKPixels& source, TWKPixels& dest);

// One row: dest pixel x = source pixel width - 1 - x. sourceEnd is the end of the source's
// memory; nothing at or after it is read.
void MirrorPixelRow(uint8_t* dest, const uint8_t* source, int32_t width, const uint8_t* sourceEnd);

// Turns source columns [xBegin, xEnd) of every row into dest (left: 90° counter-clockwise).
void TurnPixelColumns(const TWKPixels& source, TWKPixels& dest, bool left, int32_t xBegin,
                      int32_t xEnd);
