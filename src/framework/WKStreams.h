// Byte streams the structured data file reads and writes: a small abstraction with a
// memory-backed and a file-backed kind. No operation throws; short reads and failed
// seeks are reported through the return values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TWKStream {
 public:
  virtual ~TWKStream() = default;
  // Reads up to count bytes; returns how many were read (0 at the end or on error).
  virtual size_t Read(void* buffer, size_t count) = 0;
  // Writes count bytes; returns how many were written.
  virtual size_t Write(const void* buffer, size_t count) = 0;
  // Moves to an absolute position in [0, Size()]; false (position unchanged) otherwise.
  virtual bool Seek(int64_t position) = 0;
  virtual int64_t Position() const = 0;
  virtual int64_t Size() const = 0;
};

class TWKMemoryStream : public TWKStream {
 public:
  TWKMemoryStream() = default;
  explicit TWKMemoryStream(std::vector<uint8_t> bytes) : Data_(std::move(bytes)) {}
  TWKMemoryStream(const void* bytes, size_t count);

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  bool Seek(int64_t position) override;
  int64_t Position() const override { return static_cast<int64_t>(Position_); }
  int64_t Size() const override { return static_cast<int64_t>(Data_.size()); }

  const std::vector<uint8_t>& Bytes() const { return Data_; }

 private:
  std::vector<uint8_t> Data_;
  size_t Position_ = 0;
};

class TWKFileStream : public TWKStream {
 public:
  enum class TMode { Read, Create };
  // Opens an existing file for reading, or creates (truncates) one for writing.
  // IsOpen() tells whether that succeeded; a closed stream reads and writes nothing.
  TWKFileStream(const std::string& fileName, TMode mode);
  ~TWKFileStream() override;
  TWKFileStream(const TWKFileStream&) = delete;
  TWKFileStream& operator=(const TWKFileStream&) = delete;

  bool IsOpen() const { return Fd_ >= 0; }
  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  bool Seek(int64_t position) override;
  int64_t Position() const override { return Position_; }
  int64_t Size() const override;
  // Flushes written data to the device; false on failure.
  bool Sync();
  // Closes the file; false when closing reported an error (e.g. a late write failure).
  bool Close();

 private:
  int Fd_ = -1;
  int64_t Position_ = 0;
};
