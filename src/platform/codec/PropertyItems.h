// Metadata items through exiv2: read from encoded files or a raw EXIF block, written into
// encoded JPEG, TIFF and PNG files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/codec/CodecTypes.h"

// The EXIF, GPS and embedded-thumbnail items of an encoded file (JPEG, TIFF, PNG, ...), in the
// file's order, and with embedded given its colour profile, XMP packet and IPTC records. A file
// without EXIF gives no items and true; false when exiv2 cannot parse it.
bool ReadPropertyItems(std::span<const uint8_t> file, std::vector<TPropertyItem>& items,
                       TCodecError& err, TEmbeddedMetadata* embedded = nullptr);

// The items of a TIFF-structured EXIF block (what follows "Exif\0\0" in a JPEG APP1 segment).
bool PropertyItemsFromExifBlock(std::span<const uint8_t> exif, std::vector<TPropertyItem>& items,
                                TCodecError& err);

// Replaces the EXIF of an encoded file in memory by the items, and with embedded its colour
// profile, XMP and IPTC by those (the parts embedded leaves empty are left out). Items of the
// embedded thumbnail, IFD pointers and tags that describe the pixel layout are not written.
// With a resolution (dpiX > 0) the resolution tags are written from it instead of the items'.
bool WritePropertyItems(std::vector<uint8_t>& file, std::span<const TPropertyItem> items,
                        double dpiX, double dpiY, TCodecError& err,
                        const TEmbeddedMetadata* embedded = nullptr);

// Sets an XMP packet's orientation (tiff:Orientation) to 1 when it states another; true when
// the packet changed. A packet that cannot be parsed is left as it is.
bool SetXmpOrientationUpright(std::string& packet);

// Element size in bytes of a property-item type; 0 for an unknown type.
uint32_t PropertyTypeSize(uint16_t type);

// Dots per inch from the XResolution, YResolution and ResolutionUnit items; false when absent.
bool ResolutionFromItems(std::span<const TPropertyItem> items, double& dpiX, double& dpiY);
