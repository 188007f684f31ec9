#include "PhotoCorpus.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#include <tiffio.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "imaging/WKColorProfile.h"
#include "platform/codec/StillImageCodec.h"

namespace photo_corpus {

namespace {

std::vector<uint8_t> Encoded(const char* mime, const TPicture& picture) {
  std::vector<uint8_t> out;
  TCodecError err;
  TEncodeOptions options;
  options.Quality = 92;
  if (!TStillImageCodec::Encode(mime, {picture.Bits.data(), picture.RowBytes, picture.Width, picture.Height},
                                options, out, err))
    throw std::runtime_error(err.Message);
  return out;
}

void AddCamera(Exiv2::ExifData& exif) {
  exif["Exif.Image.Make"] = "Quillmoor Optics";
  exif["Exif.Image.Model"] = "QX-200";
  exif["Exif.Photo.DateTimeOriginal"] = "2025:06:01 09:30:00";
  exif["Exif.GPSInfo.GPSVersionID"] = "2 3 0 0";
  exif["Exif.GPSInfo.GPSLatitudeRef"] = "N";
  exif["Exif.GPSInfo.GPSLatitude"] = "52/1 30/1 1234/100";
  exif["Exif.GPSInfo.GPSLongitudeRef"] = "E";
  exif["Exif.GPSInfo.GPSLongitude"] = "13/1 24/1 0/1";
}

}  // namespace

TPicture PictureOf(const TWKPixels& pixels) {
  TPicture p(pixels.Width, pixels.Height);
  for (int32_t y = 0; y < pixels.Height; ++y)
    std::memcpy(p.Row(y), pixels.PixelAddress(pixels.Left, pixels.Top + y), size_t(3 * pixels.Width));
  return p;
}

std::vector<uint8_t> WithMetadata(const std::vector<uint8_t>& file, const TPhotoMetadata& m) {
  Exiv2::XmpParser::initialize();
  Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(file.data(), long(file.size()));
  image->readMetadata();
  Exiv2::ExifData exif = image->exifData();
  if (m.Camera) AddCamera(exif);
  if (m.Orientation) exif["Exif.Image.Orientation"] = uint16_t(m.Orientation);
  if (m.Thumbnail) {
    const std::vector<uint8_t> thumb = Jpeg(TPicture::Synthetic(40, 30, 7));
    Exiv2::ExifThumb(exif).setJpegThumbnail(thumb.data(), long(thumb.size()));
  }
  image->setExifData(exif);
  if (!m.Icc.empty()) {
    Exiv2::DataBuf icc(m.Icc.data(), long(m.Icc.size()));
    image->setIccProfile(icc, false);
  }
  Exiv2::XmpData xmp;
  if (!m.Keywords.empty()) {
    Exiv2::Value::AutoPtr bag = Exiv2::Value::create(Exiv2::xmpBag);
    for (const std::string& keyword : m.Keywords) bag->read(keyword);  // each read adds one
    xmp.add(Exiv2::XmpKey("Xmp.dc.subject"), bag.get());
  }
  if (m.Rating) xmp["Xmp.xmp.Rating"] = std::to_string(m.Rating);
  if (m.XmpOrientation && m.Orientation) xmp["Xmp.tiff.Orientation"] = std::to_string(m.Orientation);
  image->setXmpData(xmp);
  if (!m.Caption.empty()) {
    Exiv2::IptcData iptc;
    iptc["Iptc.Application2.Caption"] = m.Caption;
    iptc["Iptc.Application2.Keywords"] = "harbour";
    image->setIptcData(iptc);
  }
  image->writeMetadata();
  Exiv2::BasicIo& io = image->io();
  io.open();
  Exiv2::DataBuf out = io.read(long(io.size()));
  io.close();
  return std::vector<uint8_t>(out.pData_, out.pData_ + out.size_);
}

TPicture StoredFor(const TPicture& upright, int orientation) {
  const int32_t w = upright.Width, h = upright.Height;
  const bool transposed = orientation >= 5 && orientation <= 8;
  TPicture stored(transposed ? h : w, transposed ? w : h);
  // Where the stored picture's first row and column lie on screen, as EXIF defines it.
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      int32_t sx = x, sy = y;
      switch (orientation) {
        case 2: sx = w - 1 - x; break;
        case 3: sx = w - 1 - x; sy = h - 1 - y; break;
        case 4: sy = h - 1 - y; break;
        case 5: sx = y; sy = x; break;
        case 6: sx = y; sy = w - 1 - x; break;
        case 7: sx = h - 1 - y; sy = w - 1 - x; break;
        case 8: sx = h - 1 - y; sy = x; break;
        default: break;
      }
      std::memcpy(stored.At(sx, sy), upright.At(x, y), 3);
    }
  return stored;
}

std::vector<uint8_t> Jpeg(const TPicture& picture) { return Encoded("image/jpeg", picture); }
std::vector<uint8_t> Png(const TPicture& picture) { return Encoded("image/png", picture); }

std::vector<uint8_t> Tiff16(const TPicture& picture) {
  char path[] = "/tmp/qm-tiff16-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) throw std::runtime_error("no temporary file");
  close(fd);
  TIFF* tif = TIFFOpen(path, "w");
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(picture.Width));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(picture.Height));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 16);
  std::vector<uint16_t> row(size_t(picture.Width) * 3);
  for (int32_t y = 0; y < picture.Height; ++y) {
    for (int32_t x = 0; x < picture.Width; ++x)
      for (int c = 0; c < 3; ++c) row[size_t(x) * 3 + c] = uint16_t(picture.At(x, y)[2 - c] * 257);
    TIFFWriteScanline(tif, row.data(), uint32_t(y), 0);
  }
  TIFFClose(tif);
  std::vector<uint8_t> bytes = lossless_test::ReadFile(path);
  std::remove(path);
  return bytes;
}

TReadBack ReadBack(const std::vector<uint8_t>& file) {
  Exiv2::XmpParser::initialize();
  Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(file.data(), long(file.size()));
  image->readMetadata();
  TReadBack r;
  if (image->iccProfileDefined())
    r.Profile = ColorProfileDescription({image->iccProfile()->pData_, size_t(image->iccProfile()->size_)});
  const Exiv2::XmpData& xmp = image->xmpData();
  for (const Exiv2::Xmpdatum& d : xmp) {
    if (d.key() == "Xmp.dc.subject")
      for (long i = 0; i < d.count(); ++i) r.Keywords.push_back(d.toString(i));
    if (d.key() == "Xmp.xmp.Rating") r.Rating = d.toString();
    if (d.key() == "Xmp.tiff.Orientation") r.XmpOrientation = d.toString();
  }
  const Exiv2::IptcData& iptc = image->iptcData();
  auto caption = iptc.findKey(Exiv2::IptcKey("Iptc.Application2.Caption"));
  if (caption != iptc.end()) r.Caption = caption->toString();
  const Exiv2::ExifData& exif = image->exifData();
  const auto text = [&exif](const char* key) {
    auto it = exif.findKey(Exiv2::ExifKey(key));
    return it == exif.end() ? std::string() : it->toString();
  };
  r.Make = text("Exif.Image.Make");
  r.Model = text("Exif.Image.Model");
  r.GpsLatitude = text("Exif.GPSInfo.GPSLatitude");
  const std::string orientation = text("Exif.Image.Orientation");
  r.Orientation = orientation.empty() ? 0 : std::stoi(orientation);
  r.Thumbnail = Exiv2::ExifThumbC(exif).copy().size_ > 0;
  return r;
}

}  // namespace photo_corpus
