// The images of the current file's folder, for stepping to the next and previous one. Sorted
// by name without regard to case (a Linux folder enumerates in no useful order).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TWKFolderList {
 public:
  // The extensions that count as images, each with its dot, upper-cased.
  static constexpr const char* ImageExtensions = ".JPG;.JPEG;.TIF;.TIFF;.PNG;.BMP;.RLE;.DIB";

  // Lists the images of the file's folder; the index becomes the file's position (-1 when it
  // is not listed). An unreadable folder gives an empty list.
  void Build(const std::string& fileName);
  void Clear();

  const std::vector<std::string>& Files() const { return Files_; }
  int32_t Count() const { return static_cast<int32_t>(Files_.size()); }
  int32_t Index() const { return Index_; }
  bool HasNext() const { return !Files_.empty() && Index_ + 1 < Count(); }
  bool HasPrevious() const { return !Files_.empty() && Index_ > 0; }
  // Moves the index and answers the file there; empty when there is none.
  std::string Next();
  std::string Previous();

  // The file name's extension (with its dot) is longer than two characters and, upper-cased,
  // occurs in ImageExtensions.
  static bool IsImageName(const std::string& fileName);

 private:
  std::vector<std::string> Files_;  // full paths
  int32_t Index_ = -1;
};
