#include "platform/codec/StillImageCodec.h"

#include <atomic>
#include <mutex>

#include "framework/WKAtomicFile.h"

#include "platform/codec/BmpEncoder.h"
#include "platform/codec/BmpRunLength.h"
#include "platform/codec/JpegCodec.h"
#include "platform/codec/PngCodec.h"
#include "platform/codec/PropertyItems.h"
#include "platform/codec/TiffCodec.h"

namespace {

struct TRegistry {
  std::mutex Lock;
  std::vector<std::shared_ptr<const TImageCodecHandler>> Handlers;
  std::vector<std::shared_ptr<const TImageEncoder>> Encoders;

  TRegistry() {
    Handlers.push_back(MakeJpegHandler());
    Handlers.push_back(MakePngHandler());
    Handlers.push_back(MakeTiffHandler());
    Handlers.push_back(MakeBmpRunLengthHandler());
    Encoders.push_back(MakeJpegEncoder());
    Encoders.push_back(MakePngEncoder());
    Encoders.push_back(MakeTiffEncoder());
    Encoders.push_back(MakeBmpEncoder());
  }
};

TRegistry& Registry() {
  static TRegistry registry;
  return registry;
}

std::atomic<int> Users{0};

bool CheckSource(const TConstPixelRows& src, TCodecError& err) {
  if (!src.Bits || src.RowBytes < ptrdiff_t{src.Width} * 3)
    return err.Fail(TCodecStatus::InvalidArgument, "There are no pixels to save.");
  return CheckImageDimensions(src.Width, src.Height, err);
}

}  // namespace

void TStillImageCodec::Startup() {
  Registry();
  ++Users;
}

void TStillImageCodec::Shutdown() { --Users; }

int TStillImageCodec::UserCount() { return Users.load(); }

void TStillImageCodec::RegisterHandler(std::unique_ptr<TImageCodecHandler> handler) {
  TRegistry& r = Registry();
  std::lock_guard lock(r.Lock);
  r.Handlers.push_back(std::move(handler));
}

void TStillImageCodec::RegisterEncoder(std::unique_ptr<TImageEncoder> encoder) {
  TRegistry& r = Registry();
  std::lock_guard lock(r.Lock);
  r.Encoders.push_back(std::move(encoder));
}

std::unique_ptr<TImageDecoder> TStillImageCodec::OpenFile(const std::string& path, TCodecError& err,
                                                          TPurpose purpose) {
  std::shared_ptr<const TCodecData> data = TCodecData::MapFile(path, err);
  if (!data) return nullptr;
  return Open(std::move(data), err, purpose);
}

std::unique_ptr<TImageDecoder> TStillImageCodec::OpenMemory(const uint8_t* data, size_t size,
                                                            TCodecError& err, TPurpose purpose) {
  return Open(TCodecData::Borrow(data, size), err, purpose);
}

std::unique_ptr<TImageDecoder> TStillImageCodec::Open(std::shared_ptr<const TCodecData> data,
                                                      TCodecError& err, TPurpose purpose) {
  if (!data || data->Size() == 0) {
    err.Fail(TCodecStatus::Corrupt, "The file is empty.");
    return nullptr;
  }
  std::vector<std::shared_ptr<const TImageCodecHandler>> handlers;
  {
    TRegistry& r = Registry();
    std::lock_guard lock(r.Lock);
    handlers = r.Handlers;
  }
  std::span<const uint8_t> head = data->Bytes().first(std::min<size_t>(data->Size(), 64));
  TCodecError first;
  for (const auto& handler : handlers) {
    if (!handler->Probe(head)) continue;
    TCodecError attempt;
    std::unique_ptr<TImageDecoder> decoder = handler->Open(data, attempt);
    if (decoder && purpose == TPurpose::Decode && !decoder->Refusal().empty()) {
      err.Fail(decoder->RefusalStatus(), decoder->Refusal());
      return nullptr;
    }
    if (decoder) {
      err = {};
      return decoder;
    }
    if (first.Ok()) first = attempt;
    // A file of a recognised kind that this handler cannot read may suit a later handler.
    if (attempt.Status != TCodecStatus::Unsupported) break;
  }
  if (first.Ok()) first.Fail(TCodecStatus::UnknownFormat, "The file is not an image in a known format.");
  err = first;
  return nullptr;
}

const TImageEncoder* TStillImageCodec::FindEncoder(std::string_view mimeType) {
  TRegistry& r = Registry();
  std::lock_guard lock(r.Lock);
  const TImageEncoder* found = nullptr;
  for (const auto& encoder : r.Encoders)
    if (mimeType == encoder->MimeType()) found = encoder.get();
  return found;
}

std::vector<std::string> TStillImageCodec::EncoderMimeTypes() {
  TRegistry& r = Registry();
  std::lock_guard lock(r.Lock);
  std::vector<std::string> types;
  for (const auto& encoder : r.Encoders) types.emplace_back(encoder->MimeType());
  return types;
}

bool TStillImageCodec::Encode(std::string_view mimeType, const TConstPixelRows& src,
                              const TEncodeOptions& options, std::vector<uint8_t>& out,
                              TCodecError& err) {
  const TImageEncoder* encoder = FindEncoder(mimeType);
  if (!encoder) return err.Fail(TCodecStatus::UnknownFormat, "No encoder for \"" + std::string(mimeType) + "\".");
  if (!CheckSource(src, err)) return false;
  if (mimeType == "image/jpeg" && (options.Quality < 0 || options.Quality > 100))
    return err.Fail(TCodecStatus::InvalidArgument, "The JPEG quality must lie between 0 and 100.");
  if (!encoder->Encode(src, options, out, err)) return false;
  const bool embedded = options.Embedded && !options.Embedded->Empty();
  if (!encoder->CarriesMetadata() || (options.Items.empty() && !embedded)) return true;
  return WritePropertyItems(out, options.Items, options.DpiX, options.DpiY, err, options.Embedded);
}

bool TStillImageCodec::SaveToFile(std::string_view mimeType, const TConstPixelRows& src,
                                  const TEncodeOptions& options, const std::string& path,
                                  TCodecError& err) {
  std::vector<uint8_t> bytes;
  if (!Encode(mimeType, src, options, bytes, err)) return false;
  std::string error;
  TWKAtomicWriteOptions atomic;
  atomic.CreateFolders = false;
  if (!WriteFileAtomically(path, bytes.data(), bytes.size(), error, atomic))
    return err.Fail(TCodecStatus::FileError, error);
  return true;
}
