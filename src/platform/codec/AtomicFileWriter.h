// Replaces a file only when its new contents are completely on disk: the bytes go to a
// temporary file in the target's folder, which is flushed and then renamed over the target.
// Until Commit succeeds the target stays byte-identical; a failed or abandoned write removes
// the temporary file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class TAtomicFileWriter {
 public:
  explicit TAtomicFileWriter(std::string targetPath);
  ~TAtomicFileWriter();
  TAtomicFileWriter(const TAtomicFileWriter&) = delete;
  TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

  // Creates the temporary file. An existing target's permissions are kept, and a symbolic link
  // is followed so that the file it names is replaced.
  bool Open(std::string& error);
  bool Write(const void* data, size_t size, std::string& error);
  // For libraries that write through a descriptor; -1 when not open.
  int Descriptor() const { return fd_; }
  // Flushes, closes and renames over the target, then flushes the folder.
  bool Commit(std::string& error);
  // Closes and removes the temporary file; the target is untouched.
  void Abandon();

  const std::string& TargetPath() const { return target_; }
  const std::string& TempPath() const { return temp_; }

  // The whole sequence for bytes already in memory.
  static bool WriteFile(const std::string& path, std::span<const uint8_t> bytes, std::string& error);

 private:
  std::string target_;
  std::string temp_;
  int fd_ = -1;
};
