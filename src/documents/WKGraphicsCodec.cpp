#include "documents/WKGraphicsCodec.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "documents/WKBackgroundDecode.h"
#include "documents/WKLoadProgress.h"
#include "framework/WKStartupTimes.h"
#include "framework/WKThreadPool.h"
#include "imaging/WKBitmap.h"
#include "imaging/WKOrientation.h"
#include "imaging/WKPageMemory.h"
#include "imaging/WKParallel.h"
#include "platform/codec/StillImageCodec.h"

void SetAvailableMemoryForTesting(uint64_t bytes) { TDecodeGuard::SetAvailableMemoryForTesting(bytes); }

bool CheckImageMemory(int32_t width, int32_t height, std::string& error, uint64_t decoderBytes) {
  if (width <= 0 || height <= 0) {
    error = "The image has no pixels.";
    return false;
  }
  const uint64_t bytes = uint64_t(DIBRowBytes(width, 24)) * uint64_t(height) * 3 + decoderBytes;
  std::string reason = TDecodeGuard::CheckMemory(width, height, bytes);
  // Blocks kept for reuse are given back before a picture is refused for want of them.
  if (!reason.empty() && KeptPixelMemory() > 0) {
    ReleaseKeptPixelMemory();
    reason = TDecodeGuard::CheckMemory(width, height, bytes);
  }
  error = reason;
  return reason.empty();
}

int32_t FormatIdOfContainer(TCodecContainer container) {
  switch (container) {
    case TCodecContainer::JPEG:
      return 0;
    case TCodecContainer::TIFF:
      return 1;
    case TCodecContainer::PNG:
      return 2;
    case TCodecContainer::BMP:
      return 3;
    default:
      return kOtherImageFormat;
  }
}

const char* MimeTypeOfFormat(int32_t formatId) {
  switch (formatId) {
    case 0:
      return "image/jpeg";
    case 1:
      return "image/tiff";
    case 2:
      return "image/png";
    case 3:
      return "image/bmp";
    default:
      return "";
  }
}

namespace {

// Maps the next slice of a decode's fresh pages below `end`, from `at` or the rows the decoder
// has published if it is further; returns where the slice ended, or end when nothing is left.
size_t PrefaultSlice(const TWKBitmapStorage& rows, const TDecodeProgress& progress, size_t at,
                     size_t end) {
  constexpr size_t Slice = size_t{8} << 20;
  const int32_t published = progress.Published();
  if (published == rows.Height || published == TDecodeProgress::Failed) return end;
  at = std::max(at, size_t(published) * size_t(rows.RowBytes));
  if (at >= end) return end;
  const size_t bytes = std::min(Slice, end - at);
  PrefaultPixelMemory(rows.Bits + at, bytes);
  return at + bytes;
}

// Maps a decode's fresh pages ahead of the decoder on another core, a slice at a time, so that
// the decoder does not stop for them; ends with the decode.
void PrefaultAhead(const TWKBitmapStorage& rows, const TDecodeProgress& progress) {
  for (size_t at = 0; at < rows.Size;) at = PrefaultSlice(rows, progress, at, rows.Size);
}

// Copies the decoded rows into the original and the backup in chunks that the decoding thread,
// once done, and a follower thread claim in turn; only rows the decoder has published are taken.
class TRowCopier {
 public:
  TRowCopier(const TWKBitmapStorage& rows, std::vector<uint8_t*> copies)
      : Rows_(rows), Copies_(std::move(copies)) {}

  void CopyBelow(int32_t limit) {
    int32_t begin = Next_.load(std::memory_order_relaxed);
    while (begin < limit) {
      const int32_t end = std::min(limit, begin + ChunkRows);
      if (!Next_.compare_exchange_weak(begin, end, std::memory_order_relaxed)) continue;
      const size_t offset = size_t(begin) * size_t(Rows_.RowBytes);
      const size_t bytes = size_t(end - begin) * size_t(Rows_.RowBytes);
      for (uint8_t* copy : Copies_) std::memcpy(copy + offset, Rows_.Bits + offset, bytes);
      begin = end;
    }
  }

  // On the follower: maps the decoder's fresh pages ahead of it, a slice at a time so that a
  // decode already over is not kept waiting, then copies rows as they come.
  void Follow(const TDecodeProgress& progress) {
    PrefaultAhead(Rows_, progress);
    for (int32_t seen = 0; seen < Rows_.Height;) {
      seen = progress.WaitBeyond(seen);
      if (seen == TDecodeProgress::Failed) return;
      CopyBelow(seen);
    }
  }

 private:
  static constexpr int32_t ChunkRows = 32;
  const TWKBitmapStorage& Rows_;
  const std::vector<uint8_t*> Copies_;
  std::atomic<int32_t> Next_{0};
};

void ClearRowPadding(const TWKBitmapStorage& rows) {
  const size_t used = size_t(rows.Width) * 3;
  if (size_t(rows.RowBytes) == used) return;
  for (int32_t y = 0; y < rows.Height; ++y)
    std::memset(rows.Bits + size_t(y) * size_t(rows.RowBytes) + used, 0, size_t(rows.RowBytes) - used);
}

// Below this the copies are made after the decode, on the decoding thread.
constexpr size_t FollowerThreshold = size_t{1} << 22;
// From this size on an open shows its progress and can be called off.
constexpr size_t ProgressThreshold = size_t{48} << 20;

// A long decode reports to the open under way, whose user may call it off.
void WatchLongDecode(size_t bytes, TImageDecoder& decoder, TDecodeProgress& progress) {
  if (bytes < ProgressThreshold || !TWKLoadProgress::Running()) return;
  progress.SetWatch([](double done) { return TWKLoadProgress::Report(done); });
  decoder.SetProgress(&progress);
}

// Allocates the copies of the decoded rows that the caller asked for: the original when given and
// the backup when given.
bool MakeCopies(const TWKBitmapStorage& rows, TWKLTBitmap* original, TWKPixelBuffer* backup,
                std::vector<uint8_t*>& copies) {
  if (original != nullptr) {
    if (!original->SetSize(rows.Width, rows.Height, FormatBGR24, TPixelFill::Any) ||
        original->Storage().RowBytes != rows.RowBytes)
      return false;
    copies.push_back(original->Storage().Bits);
  }
  if (backup != nullptr) {
    if (!backup->Allocate(FormatBGR24, Rect(0, 0, rows.Width, rows.Height), TPixelFill::Any) ||
        backup->RowBytes != rows.RowBytes)
      return false;
    copies.push_back(backup->Bits);
  }
  return true;
}

// The decode with the copies following it on another core for a large picture.
bool ReadFollowedByCopies(TImageDecoder& decoder, const TWKBitmapStorage& rows, std::vector<uint8_t*> copies,
                          TCodecError& err) {
  TRowCopier copier(rows, std::move(copies));
  TDecodeProgress progress;
  WatchLongDecode(rows.Size, decoder, progress);
  TWKTask follower;
  if (rows.Size >= FollowerThreshold && MachineCores() >= 2) {
    try {
      follower = TWKThreadPool::Shared().Run([&copier, &progress] { copier.Follow(progress); });
      decoder.SetProgress(&progress);
    } catch (...) {
      // no worker: the copies are made after the decode
    }
  }
  bool decoded = false;
  try {
    decoded = decoder.ReadPixels({rows.Bits, rows.RowBytes, rows.Width, rows.Height}, err);
  } catch (...) {
    progress.Fail();  // the follower must not wait for rows that never come
    follower.Wait();
    throw;
  }
  decoder.SetProgress(nullptr);
  progress.Publish(decoded ? rows.Height : TDecodeProgress::Failed);
  if (decoded) copier.CopyBelow(rows.Height);
  follower.Wait();
  return decoded;
}

constexpr uint32_t kExifOrientationId = 0x0112;

// The EXIF orientation the picture was stored with (1 when it names none).
int32_t StoredOrientation(const TImageInfo& info) {
  for (const TPropertyItem& item : info.Items)
    if (item.Id == kExifOrientationId) return OrientationValue(item.Value.data(), item.Value.size(), item.Type);
  return 1;
}

// The reduced picture of a background open, from a decoder of its own over the same bytes,
// turned upright as the document will show the whole picture.
class TReducedDecode {
 public:
  TWKLTBitmap Picture;
  bool Decoded = false;
  bool Across = false;  // turned a quarter

  void Run(const std::shared_ptr<const TCodecData>& data, int32_t width, int32_t height) {
    TCodecError err;
    std::unique_ptr<TImageDecoder> decoder = TStillImageCodec::Open(data, err);
    if (!decoder || !Picture.SetSize(width, height, FormatBGR24, TPixelFill::Zero)) return;
    const TWKBitmapStorage& rows = Picture.Storage();
    const int32_t orientation = StoredOrientation(decoder->Info());
    Across = orientation >= 5 && orientation <= 8;
    Decoded = decoder->ReadThumbnail({rows.Bits, rows.RowBytes, width, height}, err) &&
              TurnUpright(Picture, orientation);
  }

  // Hands the picture to the open once, with the whole picture's size as it will be shown.
  void ShowOnce(const TWKBackgroundDecode& open, const TWKBitmapStorage& whole) {
    if (Shown_) return;
    Shown_ = true;
    if (Decoded) open.Hooks().Reduced(Picture, Across ? whole.Height : whole.Width, Across ? whole.Width : whole.Height);
  }

 private:
  bool Shown_ = false;
};

// A turn of the opening thread while workers decode: a long open shows its progress (its user
// may call it off there) and the user interface runs.
void WaitATurn(const TWKBackgroundDecode* open, const TWKBitmapStorage& rows, double done,
               std::atomic<bool>& calledOff) {
  if (rows.Size >= ProgressThreshold && TWKLoadProgress::Running() && !TWKLoadProgress::Report(done))
    calledOff = true;
  if (open != nullptr && open->Hooks().Wait)
    open->Hooks().Wait(done);
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

// One horizontal part of the whole decode, on a pool worker.
struct TDecodePart {
  int32_t First = 0;
  int32_t Last = 0;
  TDecodeProgress Progress;
  TCodecError Err;
  bool Decoded = false;
  TWKTask Task;
  size_t Mapped = 0;  // where the opening thread's page mapping ahead of it stands
};

// The whole picture decoded in parts on every core where the decoder can start part-way, else
// whole; each part's worker looks only at calledOff, which the opening thread sets.
class TPartedDecode {
 public:
  TPartedDecode(TImageDecoder& decoder, const TWKBitmapStorage& rows, int32_t parts, std::atomic<bool>& calledOff)
      : Decoder_(decoder), Rows_(rows), Parts_(size_t(std::max(parts, 1))) {
    const auto count = int32_t(Parts_.size());
    for (int32_t k = 0; k < count; ++k) {
      TDecodePart& part = Parts_[size_t(k)];
      part.First = int32_t(int64_t(rows.Height) * k / count);
      part.Last = int32_t(int64_t(rows.Height) * (k + 1) / count);
      part.Mapped = size_t(part.First) * size_t(rows.RowBytes);
      part.Progress.SetWatch([&calledOff](double) { return !calledOff.load(std::memory_order_relaxed); });
    }
  }

  // False when no worker could be had for the first part: nothing has been decoded then. A later
  // part without a worker is decoded here.
  bool Start() {
    for (TDecodePart& part : Parts_) {
      part.Task = TWKThreadPool::Shared().TryRun([this, &part] { Decode(part); });
      if (part.Task.Valid()) continue;
      if (&part == &Parts_.front()) return false;
      Decode(part);
    }
    return true;
  }
  bool Done() const {
    return std::all_of(Parts_.begin(), Parts_.end(), [](const TDecodePart& p) { return p.Task.Done(); });
  }
  void Wait() const {
    for (const TDecodePart& part : Parts_) part.Task.Wait();
  }
  // The share of rows decoded.
  double Share() const {
    int64_t rows = 0;
    for (const TDecodePart& part : Parts_) rows += std::max(part.Progress.Published() - part.First, 0);
    return double(rows) / double(Rows_.Height);
  }
  // Maps one slice of fresh pages ahead of the first part that still has some.
  void MapAhead() {
    for (TDecodePart& part : Parts_) {
      const size_t end = size_t(part.Last) * size_t(Rows_.RowBytes);
      if (part.Mapped >= end) continue;
      part.Mapped = PrefaultSlice(Rows_, part.Progress, part.Mapped, end);
      return;
    }
  }
  // After Wait: true when every part decoded; else err says why the first failed part failed.
  bool Result(TCodecError& err) const {
    for (const TDecodePart& part : Parts_)
      if (!part.Decoded) {
        err = part.Err;
        return false;
      }
    return true;
  }

 private:
  void Decode(TDecodePart& part) {
    try {
      if (Parts_.size() > 1) {
        part.Decoded = Decoder_.ReadPixelRows({Rows_.Bits, Rows_.RowBytes, Rows_.Width, Rows_.Height}, part.First,
                                              part.Last, &part.Progress, part.Err);
      } else {
        Decoder_.SetProgress(&part.Progress);
        part.Decoded = Decoder_.ReadPixels({Rows_.Bits, Rows_.RowBytes, Rows_.Width, Rows_.Height}, part.Err);
        Decoder_.SetProgress(nullptr);
      }
    } catch (...) {
      part.Err.Fail(TCodecStatus::TooLarge, "There is not enough memory to decode the image.");
    }
    part.Progress.Publish(part.Decoded ? part.Last : TDecodeProgress::Failed);
  }

  TImageDecoder& Decoder_;
  const TWKBitmapStorage& Rows_;
  std::vector<TDecodePart> Parts_;
};

// How an open shares the cores: the whole decode in one part per core where the decoder can
// start part-way, and a reduced decode only on a core the whole one leaves free. A one-scan
// JPEG's reduced decode still reads all of its coded data, most of a whole decode's work, so on
// two cores the whole picture in two parts comes sooner than a reduced one beside a single part.
struct TDecodeCores {
  int32_t Parts = 1;
  bool Reduced = false;
};
TDecodeCores ShareCores(const TImageDecoder& decoder, const TWKBitmapStorage& rows, bool reducedWanted) {
  const int32_t cores = ParallelRowParts(rows.Height, int64_t(rows.Size));
  if (!decoder.DecodesInParts()) return {1, reducedWanted && cores > 1};
  if (!reducedWanted || cores < 3) return {cores, false};
  return {cores - 1, true};
}

// The whole decode on pool workers (and a reduced one where an open in the background is in
// scope and the cores allow it) while the opening thread waits, through the open's hooks when
// there is one. False when no worker could be had: nothing has been decoded then.
bool ReadOnWorkers(const TWKBackgroundDecode* open, const std::shared_ptr<const TCodecData>& data,
                   TImageDecoder& decoder, const TWKBitmapStorage& rows, TCodecError& err, bool& decoded) {
  int32_t width = 0, height = 0;
  const TDecodeCores cores =
      ShareCores(decoder, rows,
                 open != nullptr && open->Hooks().Reduced &&
                     decoder.ReducedSize(TWKBackgroundDecode::ReducedLongSide, width, height));
  // The workers' decoders look only at this; the opening thread reports a long open's progress
  // and learns there whether its user called it off.
  std::atomic<bool> calledOff{false};
  TPartedDecode whole(decoder, rows, cores.Parts, calledOff);
  if (!whole.Start()) return false;
  TReducedDecode reduced;
  TWKTask small;
  if (cores.Reduced) small = TWKThreadPool::Shared().TryRun([&] { reduced.Run(data, width, height); });
  // Between its turns the opening thread maps the decoders' pages ahead of them.
  while (!whole.Done()) {
    if (small.Valid() && small.Done()) reduced.ShowOnce(*open, rows);
    whole.MapAhead();
    WaitATurn(open, rows, whole.Share(), calledOff);
  }
  whole.Wait();
  NoteStartupMoment("decoded");
  small.Wait();
  decoded = whole.Result(err);
  return true;
}

// The decoder writes every pixel of current: on workers when an open in the background is in
// scope or the decoder can share the picture out among the cores, for a large picture.
bool ReadCurrent(const std::shared_ptr<const TCodecData>& data, TImageDecoder& decoder,
                 const TWKBitmapStorage& rows, TCodecError& err) {
  const TWKBackgroundDecode* open = TWKBackgroundDecode::Current();
  bool decoded = false;
  const bool onWorkers = open != nullptr || ShareCores(decoder, rows, false).Parts > 1;
  if (onWorkers && rows.Size >= TWKBackgroundDecode::MinimumBytes &&
      ReadOnWorkers(open, data, decoder, rows, err, decoded))
    return decoded;
  TDecodeProgress progress;
  WatchLongDecode(rows.Size, decoder, progress);
  decoded = decoder.ReadPixels({rows.Bits, rows.RowBytes, rows.Width, rows.Height}, err);
  decoder.SetProgress(nullptr);
  return decoded;
}

bool DecodeImage(const std::shared_ptr<const TCodecData>& data, TCodecError& err, TWKLTBitmap& current,
                 TWKLTBitmap* original, TWKPixelBuffer* backup, TImageInfo& info, std::string& error) {
  std::unique_ptr<TImageDecoder> decoder = data ? TStillImageCodec::Open(data, err) : nullptr;
  if (!decoder) {
    error = err.Message;
    return false;
  }
  const TImageInfo& facts = decoder->Info();
  if (!CheckImageMemory(facts.Width, facts.Height, error, facts.DecoderBytes)) return false;
  // The decoder writes every pixel, the padding is cleared here and the copies take whole rows,
  // so none of the three needs zeroed memory.
  TWKLTBitmap newCurrent, newOriginal;
  TWKPixelBuffer newBackup;
  if (!newCurrent.SetSize(facts.Width, facts.Height, FormatBGR24, TPixelFill::Any)) {
    error = "There is not enough memory to open an image of " + std::to_string(facts.Width) + " x " +
            std::to_string(facts.Height) + " pixels.";
    return false;
  }
  const TWKBitmapStorage& rows = newCurrent.Storage();
  ClearRowPadding(rows);
  std::vector<uint8_t*> copies;
  if (!MakeCopies(rows, original != nullptr ? &newOriginal : nullptr, backup != nullptr ? &newBackup : nullptr,
                  copies)) {
    error = "There is not enough memory to keep a copy of the original image.";
    return false;
  }
  const bool decoded = copies.empty() ? ReadCurrent(data, *decoder, rows, err)
                                      : ReadFollowedByCopies(*decoder, rows, std::move(copies), err);
  if (!decoded) {
    error = err.Message;
    return false;
  }
  info = facts;
  current.Swap(newCurrent);
  if (original != nullptr) original->Swap(newOriginal);
  if (backup != nullptr) backup->Swap(newBackup);
  return true;
}

}  // namespace

bool DecodeImageFile(const std::string& fileName, TWKLTBitmap& current, TWKLTBitmap& original,
                     TImageInfo& info, std::string& error, TWKPixelBuffer* backup) {
  TCodecError err;
  return DecodeImage(TCodecData::MapFile(fileName, err), err, current, &original, backup, info, error);
}

bool DecodeImageFile(const std::string& fileName, TWKLTBitmap& current, TImageInfo& info, std::string& error) {
  TCodecError err;
  return DecodeImage(TCodecData::MapFile(fileName, err), err, current, nullptr, nullptr, info, error);
}

bool DecodeImageData(std::shared_ptr<const TCodecData> data, TWKLTBitmap& current,
                     TWKLTBitmap& original, TImageInfo& info, std::string& error, TWKPixelBuffer* backup) {
  TCodecError err;
  return DecodeImage(data, err, current, &original, backup, info, error);
}

bool DecodeImageData(std::shared_ptr<const TCodecData> data, TWKLTBitmap& current, TImageInfo& info,
                     std::string& error) {
  TCodecError err;
  return DecodeImage(data, err, current, nullptr, nullptr, info, error);
}

bool EncodeImageFile(const std::string& fileName, const TWKLTBitmap& image, const char* mimeType,
                     const TEncodeOptions& options, std::string& error) {
  if (image.Empty() || image.PixelFormat() != FormatBGR24) {
    error = "There is no image to save.";
    return false;
  }
  const TWKBitmapStorage& rows = image.Storage();
  TCodecError err;
  if (!TStillImageCodec::SaveToFile(mimeType, {rows.Bits, rows.RowBytes, rows.Width, rows.Height},
                                    options, fileName, err)) {
    error = err.Message;
    return false;
  }
  return true;
}
