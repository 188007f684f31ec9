// Reads the structured data file. The whole stream is indexed at construction: elements keep
// their identifier, type, size and data position, not their data, which is read by seeking
// when asked. Parsing stops at the first inconsistency and keeps everything before it, so a
// truncated file yields its complete leading part. Nothing here throws or reads past the stream.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/WKGuid.h"
#include "framework/WKStreams.h"

class TWKSDFNode;

class TWKSDFElement {
 public:
  TWKSDFElement(uint32_t identifier, uint32_t type, uint32_t size, int64_t position)
      : Identifier(identifier), Type(type), Size(size), Position(position) {}
  virtual ~TWKSDFElement() = default;

  uint32_t Identifier;
  uint32_t Type;
  uint32_t Size;
  int64_t Position;  // of the data bytes in the stream
};

// The value and node elements of one level, in file order; owns both.
class TWKSDFItems {
 public:
  TWKSDFItems() = default;
  ~TWKSDFItems();  // iterative, so that deeply nested input cannot exhaust the stack
  TWKSDFItems(const TWKSDFItems&) = delete;
  TWKSDFItems& operator=(const TWKSDFItems&) = delete;

  std::vector<std::unique_ptr<TWKSDFElement>> Values;
  std::vector<std::unique_ptr<TWKSDFNode>> Nodes;

  const TWKSDFElement* FindValue(uint32_t identifier) const;
};

class TWKSDFNode : public TWKSDFElement {
 public:
  TWKSDFNode(uint32_t identifier, uint32_t type, uint32_t size, int64_t position, TWKSDFNode* parent)
      : TWKSDFElement(identifier, type, size, position), Parent(parent) {}

  TWKSDFItems Children;
  TWKSDFNode* Parent;  // none for a top-level node
};

class TWKSDFReader {
 public:
  // Parses the whole stream at once. With ownsStream the reader deletes the stream when it is
  // destroyed; the stream must stay open for the reader's life. A null stream reads as empty.
  TWKSDFReader(TWKStream* stream, bool ownsStream);
  ~TWKSDFReader();
  TWKSDFReader(const TWKSDFReader&) = delete;
  TWKSDFReader& operator=(const TWKSDFReader&) = delete;

  // Enters the first child node with that identifier at the current level.
  bool OpenNode(uint32_t identifier);
  // Enters the first child node with that identifier whose key is the given GUID.
  bool OpenNode(uint32_t identifier, const TWKGUID& key);
  // Returns to the parent of the current node (nothing at the top level).
  void CloseNode();

  // True whenever an element with that identifier exists at the current level; identifier 0
  // inside a node means the node's own key. The output is written only when the type is one of
  // the integer types 1-5 and its size matches.
  bool ReadInteger(uint32_t identifier, int32_t& value) const;
  bool ReadBoolean(uint32_t identifier, bool& value) const;
  // True whenever the element exists; the text (UTF-8) is set only for type 12.
  bool ReadWideString(uint32_t identifier, std::string& text) const;
  bool ReadWideString(uint32_t identifier, std::u16string& text) const;
  // True only when the element exists, its size equals expectedSize and its bytes were read.
  bool ReadBinary(uint32_t identifier, void* buffer, uint32_t expectedSize) const;

  const TWKSDFItems& TopLevel() const { return Top_; }
  const TWKSDFNode* CurrentNode() const { return Current_; }

 private:
  void Parse();
  const TWKSDFItems& CurrentItems() const { return Current_ ? Current_->Children : Top_; }
  const TWKSDFElement* FindElement(uint32_t identifier) const;
  bool ReadData(const TWKSDFElement& element, void* buffer) const;
  bool ReadWide(const TWKSDFElement& element, std::u16string& text) const;

  TWKStream* Stream_;
  bool OwnsStream_;
  TWKSDFItems Top_;
  TWKSDFNode* Current_ = nullptr;
};
