// The still-image codec: opens files and streams through the registered format handlers,
// encodes by MIME type, and writes metadata items. Safe to call from several threads; each
// decoder belongs to the thread that uses it.
//
//   TCodecError err;
//   auto decoder = TStillImageCodec::OpenFile(path, err);          // phase 1: probe
//   if (!decoder) report(err.Message);
//   const TImageInfo& info = decoder->Info();                      // size, container, dpi, items
//   decoder->ReadPixels({bits, rowBytes, info.Width, info.Height}, err);  // phase 2
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codec/ImageDecoder.h"

class TStillImageCodec {
 public:
  // Counted users of the codec; the count only reports, the codec works without it.
  static void Startup();
  static void Shutdown();
  static int UserCount();

  // Handlers are tried in registration order after the built-in JPEG, PNG, TIFF and run-length
  // BMP ones.
  static void RegisterHandler(std::unique_ptr<TImageCodecHandler> handler);
  // An encoder registered later for the same MIME type replaces the earlier one.
  static void RegisterEncoder(std::unique_ptr<TImageEncoder> encoder);

  // What an open is for: decoding the picture, or only describing it (size, container, items).
  // A picture the decode guard refuses is not opened for decoding; described, it still gives its
  // facts, and its decoder refuses every decode.
  enum class TPurpose { Decode, Describe };

  static std::unique_ptr<TImageDecoder> OpenFile(const std::string& path, TCodecError& err,
                                                 TPurpose purpose = TPurpose::Decode);
  // Borrows the bytes: they must outlive the decoder.
  static std::unique_ptr<TImageDecoder> OpenMemory(const uint8_t* data, size_t size, TCodecError& err,
                                                   TPurpose purpose = TPurpose::Decode);
  static std::unique_ptr<TImageDecoder> Open(std::shared_ptr<const TCodecData> data, TCodecError& err,
                                             TPurpose purpose = TPurpose::Decode);

  // Exact, case-sensitive match; null when there is none.
  static const TImageEncoder* FindEncoder(std::string_view mimeType);
  static std::vector<std::string> EncoderMimeTypes();

  // The complete encoded file in memory: pixels, resolution, then the items (for formats that
  // carry metadata; embedded-thumbnail items are never written).
  static bool Encode(std::string_view mimeType, const TConstPixelRows& src,
                     const TEncodeOptions& options, std::vector<uint8_t>& out, TCodecError& err);
  // Encode, then replace `path` through a temporary file in its folder; on any failure the old
  // file is left byte-identical.
  static bool SaveToFile(std::string_view mimeType, const TConstPixelRows& src,
                         const TEncodeOptions& options, const std::string& path, TCodecError& err);
};
