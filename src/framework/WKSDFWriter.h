// Writes the structured data file: sequential elements, each a header byte with the kind and
// the length codes of identifier, type and size, then those fields and the data bytes.
// Balancing BeginNode and EndNode is the caller's duty.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/WKGuid.h"
#include "framework/WKStreams.h"

class TWKSDFWriter {
 public:
  // With ownsStream the writer deletes the stream when it is destroyed. A null stream
  // makes every write do nothing.
  TWKSDFWriter(TWKStream* stream, bool ownsStream);
  ~TWKSDFWriter();
  TWKSDFWriter(const TWKSDFWriter&) = delete;
  TWKSDFWriter& operator=(const TWKSDFWriter&) = delete;

  void BeginNode(uint32_t identifier, const TWKGUID& key);
  void BeginNode(uint32_t identifier, int32_t key);
  void EndNode();
  void WriteBoolean(uint32_t identifier, bool value);
  void WriteInteger(uint32_t identifier, int32_t value);
  // The UTF-8 text is stored as UTF-16 little-endian.
  void WriteWideString(uint32_t identifier, const std::string& text);
  void WriteWideString(uint32_t identifier, const std::u16string& text);
  void WriteBinary(uint32_t identifier, const void* data, uint32_t size);

  TWKStream* Stream() const { return Stream_; }

 private:
  void WriteElement(uint8_t kind, uint32_t identifier, uint32_t type, uint32_t size,
                    const void* data);

  TWKStream* Stream_;
  bool OwnsStream_;
};
