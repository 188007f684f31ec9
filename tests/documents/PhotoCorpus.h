// Photos as cameras, phones and other photo programs leave them: colour profiles made with
// lcms, EXIF orientation, camera and GPS items with a thumbnail, XMP keywords and rating, IPTC
// caption, all written with exiv2; and what exiv2 reads back from a file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/WKBitmap.h"
#include "platform/lossless/LosslessTestSupport.h"
#include "support/TestColorProfiles.h"

namespace photo_corpus {

using lossless_test::TPicture;

using test_profiles::DisplayP3Profile;
using test_profiles::SrgbProfile;
using test_profiles::WideRgbProfile;

struct TPhotoMetadata {
  std::vector<uint8_t> Icc;
  int Orientation = 0;  // 0: no orientation item
  bool Camera = true;   // maker, model, date and GPS position
  bool Thumbnail = true;
  std::vector<std::string> Keywords;  // XMP dc:subject
  int Rating = 0;                      // XMP xmp:Rating; 0: none
  bool XmpOrientation = false;         // tiff:Orientation in the XMP as well
  std::string Caption;                 // IPTC caption; empty: no IPTC
};

// A copy of a document's pixels.
TPicture PictureOf(const TWKPixels& pixels);

// The file with the metadata written into it by exiv2.
std::vector<uint8_t> WithMetadata(const std::vector<uint8_t>& file, const TPhotoMetadata& metadata);

// The picture as a file with the given EXIF orientation stores it when it shows `upright`.
TPicture StoredFor(const TPicture& upright, int orientation);

std::vector<uint8_t> Jpeg(const TPicture& picture);
std::vector<uint8_t> Png(const TPicture& picture);
// 16 bits per sample, samples value * 257.
std::vector<uint8_t> Tiff16(const TPicture& picture);

// What exiv2 reads from a file.
struct TReadBack {
  std::string Profile;  // the ICC profile's description; empty without one
  std::vector<std::string> Keywords;
  std::string Rating;
  std::string Caption;
  std::string Make, Model, GpsLatitude;
  int Orientation = 0;  // EXIF; 0 when absent
  std::string XmpOrientation;
  bool Thumbnail = false;
};
TReadBack ReadBack(const std::vector<uint8_t>& file);

}  // namespace photo_corpus
