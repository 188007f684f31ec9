// Maps a whole file into memory for reading and writing (shared with other processes, so a
// second process sees what the first one wrote once both have unmapped). The same class
// serves the plug-in and the application.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class TFileAccess { Read, Write };

class TFileMapping {
 public:
  TFileMapping() = default;
  ~TFileMapping();
  TFileMapping(const TFileMapping&) = delete;
  TFileMapping& operator=(const TFileMapping&) = delete;

  // Opens the file for reading and writing, creating it (mode 0666 less the umask) unless
  // createIfMissing is false; only regular files are taken. Then prepares a mapping of the
  // whole file: none when the file is empty or could not be opened. False when not opened.
  bool Create(const std::string& fileName, bool createIfMissing = true);
  // A view of the mapping; size 0 means from offset to the end. Null when there is no mapping
  // or the range lies outside the file.
  void* Map(uint64_t offset, size_t size, TFileAccess access);
  void Unmap(void* address);
  // Sets the end of the file to size bytes (growing reserves the disk space) and prepares
  // the mapping again. When the end
  // cannot be set the mapping is prepared on the file as it is and the result is false, so
  // callers never write past the real end.
  bool SetSize(uint64_t size);
  // The file's size in bytes now (0 when not open).
  uint64_t FileSize() const;

  int FileHandle() const { return FileHandle_; }
  // On this platform a mapping is the file length captured when it was prepared; 0 = none.
  uint64_t MappingHandle() const { return MappingSize_; }

 private:
  struct TView {
    void* Address;
    size_t Length;
  };
  void CloseMapping();
  void CreateMapping();

  int FileHandle_ = -1;
  uint64_t MappingSize_ = 0;
  std::vector<TView> Views_;
};
