// Test files with EXIF as cameras write it, embedded thumbnail included.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/codec/CodecTypes.h"

namespace codec_test {

// A TIFF-structured EXIF block with the items and, when given, a JPEG thumbnail in IFD1.
std::vector<uint8_t> MakeExifBlock(const std::vector<TPropertyItem>& items,
                                   const std::vector<uint8_t>& thumbnailJpeg);

// The JPEG with an APP1 "Exif" segment holding the block inserted after its start marker.
std::vector<uint8_t> WithExifSegment(const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& block);

}  // namespace codec_test
