// The two-phase decoder contract and the handler and encoder interfaces that formats implement.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/codec/CodecTypes.h"

// The bytes of an encoded image: a read-only mapping of a file, an owned buffer, or caller memory.
class TCodecData {
 public:
  ~TCodecData();
  TCodecData(const TCodecData&) = delete;
  TCodecData& operator=(const TCodecData&) = delete;

  static std::shared_ptr<const TCodecData> MapFile(const std::string& path, TCodecError& err);
  static std::shared_ptr<const TCodecData> Take(std::vector<uint8_t> bytes);
  // Borrows: the caller keeps the bytes alive as long as any decoder made from them.
  static std::shared_ptr<const TCodecData> Borrow(const uint8_t* data, size_t size);

  const uint8_t* Data() const { return Data_; }
  size_t Size() const { return Size_; }
  std::span<const uint8_t> Bytes() const { return {Data_, Size_}; }

 private:
  TCodecData() = default;
  const uint8_t* Data_ = nullptr;
  size_t Size_ = 0;
  void* Mapping_ = nullptr;  // munmap on destruction when set
  std::vector<uint8_t> Owned_;
};

// How many of a decode's first rows are final. The decoding thread publishes; another thread may
// read rows below the published count while later ones are still being written. A watcher may
// follow a long decode and call it off.
class TDecodeProgress {
 public:
  // Called on the decoding thread with the share of the work done (0..1); false cancels.
  using TWatch = std::function<bool(double done)>;

  static constexpr int32_t Failed = -1;
  void Publish(int32_t rows) {
    Rows_.store(rows, std::memory_order_release);
    Rows_.notify_all();
  }
  void Fail() { Publish(Failed); }
  int32_t Published() const { return Rows_.load(std::memory_order_acquire); }
  // Blocks until the count differs from seen; returns it (Failed when the decode gave up).
  int32_t WaitBeyond(int32_t seen) const {
    Rows_.wait(seen, std::memory_order_acquire);
    return Rows_.load(std::memory_order_acquire);
  }

  void SetWatch(TWatch watch) { Watch_ = std::move(watch); }
  // Decoders report between rows and scans; false once the watcher has cancelled (for good).
  bool Report(double done) {
    if (!Cancelled_ && Watch_ && !Watch_(done)) Cancelled_ = true;
    return !Cancelled_;
  }
  bool Cancelled() const { return Cancelled_; }

 private:
  std::atomic<int32_t> Rows_{0};
  TWatch Watch_;
  bool Cancelled_ = false;  // the decoding thread's own
};

// One opened image. Info() is filled by the open phase; ReadPixels converts the whole picture
// into caller memory. A decoder is used from one thread at a time.
class TImageDecoder {
 public:
  virtual ~TImageDecoder() = default;

  const TImageInfo& Info() const { return Info_; }
  // Why the decode guard refuses to decode the picture that the open phase still describes (a
  // file too short for its picture, scans that ask for too much work); empty when it may be
  // decoded. ReadPixels and ReadThumbnail then fail at once. Whether the memory suffices is the
  // caller's to check: it depends on what the decode is for (rows plus Info().DecoderBytes).
  const std::string& Refusal() const { return Refusal_; }
  TCodecStatus RefusalStatus() const { return RefusalStatus_; }

  // Decodes the whole picture into rows of Info().Width x Info().Height 24-bit pixels.
  virtual bool ReadPixels(const TPixelRows& dest, TCodecError& err) = 0;
  // ReadPixels then publishes finished rows there as it goes, where the format allows; the caller
  // publishes the end (all rows, or the failure).
  void SetProgress(TDecodeProgress* progress) { Progress_ = progress; }

  // Whether ReadPixelRows can decode horizontal parts of the picture, each on its own thread at
  // the same time (a JPEG of one scan); the parts together give exactly what ReadPixels gives.
  virtual bool DecodesInParts() const { return false; }
  // Rows [first, last) into dest, the whole picture's rows (no others are written), publishing
  // finished rows to progress (which may be none) and reporting to its watcher. May run on
  // several threads at once where DecodesInParts.
  virtual bool ReadPixelRows(const TPixelRows& dest, int32_t first, int32_t last, TDecodeProgress* progress,
                             TCodecError& err) const;

  // Decodes a picture of exactly dest.Width x dest.Height (area-averaged from the full size, or
  // through a cheaper reduced decode where the format has one). Its working memory stays within
  // the guard's preview budget: a picture that would need more is refused (TooLarge).
  virtual bool ReadThumbnail(const TPixelRows& dest, TCodecError& err);
  // The size of a reduced decode far cheaper than the full one (the decoder's own 1/8 or 1/4
  // scale) whose longer side has at least `longSide` pixels; false when the format has none or
  // the picture is too small for one. ReadThumbnail at that size takes the cheap path.
  virtual bool ReducedSize(int32_t longSide, int32_t& width, int32_t& height) const;

 protected:
  TImageInfo Info_;
  TDecodeProgress* Progress_ = nullptr;
  // Marks the picture refused for the reason (empty: nothing) and goes on with the open.
  bool Refuse(const std::string& reason, TCodecStatus status);
  // These fail at once for a refused picture.
  bool CheckDest(const TPixelRows& dest, TCodecError& err) const;
  bool CheckThumbnailDest(const TPixelRows& dest, TCodecError& err) const;
  // False (TooLarge) when a preview would take more than the guard's budget.
  static bool CheckPreviewBytes(uint64_t bytes, TCodecError& err);
  // Reports the share done to the watcher, if any; false (Cancelled) when it called the decode off.
  bool Report(double done, TCodecError& err);

 private:
  std::string Refusal_;
  TCodecStatus RefusalStatus_ = TCodecStatus::Ok;
};

// A format that decoders come from. Handlers are tried in registration order; Probe is a cheap
// look at the first bytes, Open does the first phase of the decode.
class TImageCodecHandler {
 public:
  virtual ~TImageCodecHandler() = default;
  virtual const char* Name() const = 0;
  virtual bool Probe(std::span<const uint8_t> head) const = 0;
  virtual std::unique_ptr<TImageDecoder> Open(std::shared_ptr<const TCodecData> data,
                                              TCodecError& err) const = 0;
};

// An encoder found by its MIME type. Encode produces the complete file in memory from 24-bit
// rows; metadata items are added afterwards by the codec when CarriesMetadata() holds.
class TImageEncoder {
 public:
  virtual ~TImageEncoder() = default;
  virtual const char* MimeType() const = 0;
  virtual bool CarriesMetadata() const = 0;
  virtual bool Encode(const TConstPixelRows& src, const TEncodeOptions& options,
                      std::vector<uint8_t>& out, TCodecError& err) const = 0;
};
