// Edits of an EXIF APP1 segment that a changed picture needs.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The APP1 payload ("Exif\0\0" + TIFF structure) without its embedded thumbnail: the link to
// the thumbnail directory is cut, and the thumbnail's bytes are dropped when they end the block
// (zeroed otherwise, so no stale picture lingers). Anything not understood is returned as it is.
std::vector<uint8_t> ExifWithoutThumbnail(std::span<const uint8_t> app1);

// Sets the EXIF pixel dimensions (PixelXDimension, PixelYDimension) where the block has them,
// in place; nothing else changes.
void SetExifPixelSize(std::vector<uint8_t>& app1, uint32_t width, uint32_t height);
// Sets IFD0's orientation (a single SHORT) in place where the block has one.
void SetExifOrientation(std::vector<uint8_t>& app1, uint16_t orientation);
