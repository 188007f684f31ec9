// The embedded thumbnail of an EXIF APP1 segment.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The APP1 payload ("Exif\0\0" + TIFF structure) without its embedded thumbnail: the link to
// the thumbnail directory is cut, and the thumbnail's bytes are dropped when they end the block
// (zeroed otherwise, so no stale picture lingers). Anything not understood is returned as it is.
std::vector<uint8_t> ExifWithoutThumbnail(std::span<const uint8_t> app1);
