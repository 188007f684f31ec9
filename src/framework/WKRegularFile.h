// Opening the files the program reads as data (pictures, language files, settings): only
// regular files are opened, and never so that the open waits, as it would on a named pipe or a
// device. Names are the file system's bytes; nothing is converted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TWKFileFailure {
  int Errno = 0;            // the system's reason, when the system gave one
  bool NotRegular = false;  // a folder, pipe, device or socket
  bool TooLarge = false;    // above the reader's limit

  // The reason for the user: the system's text, or "not a regular file".
  std::string Text() const;
};

// A descriptor for reading (blocking reads, close-on-exec), or -1 with the failure.
int OpenRegularFile(const std::string& fileName, TWKFileFailure& failure);
// The whole file; false (bytes empty) when it cannot be opened or read, or is larger than maxBytes.
bool ReadRegularFile(const std::string& fileName, std::vector<uint8_t>& bytes, TWKFileFailure& failure,
                     uint64_t maxBytes = UINT64_MAX);
bool ReadRegularFile(const std::string& fileName, std::string& bytes, TWKFileFailure& failure,
                     uint64_t maxBytes = UINT64_MAX);
