// The application's side of the exchange file that the filter plug-in hands over: reading it
// into a document's images and metadata, and writing the edited image back in place.
#pragma once

#include <functional>
#include <string>

struct TImageInfo;

class TWKLTBitmap;

// The parts of an image document that the exchange file fills.
struct TWKExchangeTarget {
  TWKLTBitmap& CurrentImage;
  TWKLTBitmap& OriginalImage;
  // Takes over the items of the file's EXIF block (the document's LoadMetadata).
  std::function<void(const TImageInfo&)> LoadMetadata;
};

// True when the file is an exchange file ("PSPF", Mode 3) whose declared rows all lie inside it;
// the images then hold its pixels and, when it carries an EXIF block, the metadata its items.
// False leaves the target as it was: a missing, short, foreign or damaged file, or images that
// cannot be allocated. The file is never created or changed.
bool ReadExchangeFile(const std::string& name, TWKExchangeTarget target, std::string* error = nullptr);

// Gives the file exactly the size of the header and the image's rows, then writes "PSPF", the
// application's header and every pixel reversed to red, green, blue; whatever followed the rows
// is cut off. False, writing nothing past the file's end, when the file cannot be opened, sized
// or mapped (a size that cannot be set shows an empty message box first).
bool WriteExchangeFile(const std::string& name, const TWKLTBitmap& image);
