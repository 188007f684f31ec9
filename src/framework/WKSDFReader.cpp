#include "framework/WKSDFReader.h"

#include <cstring>

#include "framework/WKByteOrder.h"
#include "framework/WKSDFTypes.h"
#include "framework/WKUnicode.h"

TWKSDFItems::~TWKSDFItems() {
  std::vector<std::unique_ptr<TWKSDFNode>> pending = std::move(Nodes);
  while (!pending.empty()) {
    std::unique_ptr<TWKSDFNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->Children.Nodes) pending.push_back(std::move(child));
    node->Children.Nodes.clear();
  }
}

const TWKSDFElement* TWKSDFItems::FindValue(uint32_t identifier) const {
  for (const auto& v : Values)
    if (v->Identifier == identifier) return v.get();
  return nullptr;
}

TWKSDFReader::TWKSDFReader(TWKStream* stream, bool ownsStream)
    : Stream_(stream), OwnsStream_(ownsStream) {
  Parse();
  Current_ = nullptr;
}

TWKSDFReader::~TWKSDFReader() {
  if (OwnsStream_) delete Stream_;
}

namespace {

// Reads a little-endian field of 0, 1, 2 or 4 bytes; false when the stream is cut short.
bool ReadField(TWKStream& s, int code, uint32_t& value) {
  static constexpr size_t kBytes[4] = {0, 1, 2, 4};
  uint8_t b[4] = {0, 0, 0, 0};
  const size_t n = kBytes[code];
  if (n != 0 && s.Read(b, n) != n) return false;
  value = ReadLE32(b);
  return true;
}

}  // namespace

void TWKSDFReader::Parse() {
  if (Stream_ == nullptr) return;
  TWKStream& s = *Stream_;
  const int64_t end = s.Size();
  for (;;) {
    uint8_t header;
    if (s.Read(&header, 1) != 1) return;
    const int kind = header >> 6;
    uint32_t identifier, type, size;
    if (!ReadField(s, (header >> 4) & 3, identifier) || !ReadField(s, (header >> 2) & 3, type) ||
        !ReadField(s, header & 3, size))
      return;
    if (kind == SDF_KIND_END) {
      if (Current_ == nullptr) return;
      Current_ = Current_->Parent;
      continue;
    }
    const int64_t position = s.Position();
    if (static_cast<int64_t>(size) > end - position || !s.Seek(position + size)) return;
    TWKSDFItems& items = Current_ ? Current_->Children : Top_;
    if (kind & 2) {
      items.Nodes.push_back(std::make_unique<TWKSDFNode>(identifier, type, size, position, Current_));
      Current_ = items.Nodes.back().get();
    } else {
      items.Values.push_back(std::make_unique<TWKSDFElement>(identifier, type, size, position));
    }
  }
}

bool TWKSDFReader::OpenNode(uint32_t identifier) {
  for (const auto& node : CurrentItems().Nodes) {
    if (node->Identifier != identifier) continue;
    Current_ = node.get();
    return true;
  }
  return false;
}

bool TWKSDFReader::OpenNode(uint32_t identifier, const TWKGUID& key) {
  const auto wanted = key.Bytes();
  for (const auto& node : CurrentItems().Nodes) {
    if (node->Identifier != identifier || node->Type != SDF_GUID || node->Size != 16) continue;
    uint8_t bytes[16];
    if (!ReadData(*node, bytes) || std::memcmp(bytes, wanted.data(), 16) != 0) continue;
    Current_ = node.get();
    return true;
  }
  return false;
}

void TWKSDFReader::CloseNode() {
  if (Current_ != nullptr) Current_ = Current_->Parent;
}

const TWKSDFElement* TWKSDFReader::FindElement(uint32_t identifier) const {
  if (identifier == 0 && Current_ != nullptr) return Current_;
  return CurrentItems().FindValue(identifier);
}

bool TWKSDFReader::ReadData(const TWKSDFElement& element, void* buffer) const {
  if (Stream_ == nullptr || !Stream_->Seek(element.Position)) return false;
  return Stream_->Read(buffer, element.Size) == element.Size;
}

bool TWKSDFReader::ReadInteger(uint32_t identifier, int32_t& value) const {
  const TWKSDFElement* e = FindElement(identifier);
  if (e == nullptr) return false;
  uint8_t b[4];
  switch (e->Type) {
    case SDF_INT8:
      if (e->Size == 1 && ReadData(*e, b)) value = static_cast<int8_t>(b[0]);
      break;
    case SDF_UINT8:
      if (e->Size == 1 && ReadData(*e, b)) value = b[0];
      break;
    case SDF_INT16:
      if (e->Size == 2 && ReadData(*e, b)) value = static_cast<int16_t>(ReadLE16(b));
      break;
    case SDF_UINT16:
      if (e->Size == 2 && ReadData(*e, b)) value = ReadLE16(b);
      break;
    case SDF_INT32:
      if (e->Size == 4 && ReadData(*e, b))
        value = static_cast<int32_t>(ReadLE32(b));
      break;
    default:
      break;
  }
  return true;
}

bool TWKSDFReader::ReadBoolean(uint32_t identifier, bool& value) const {
  int32_t v = value ? 1 : 0;
  const bool found = ReadInteger(identifier, v);
  value = v != 0;
  return found;
}

bool TWKSDFReader::ReadWide(const TWKSDFElement& e, std::u16string& text) const {
  if (e.Type != SDF_WIDESTRING) return false;
  std::string bytes(e.Size, '\0');
  if (!ReadData(e, bytes.data())) return false;
  text.assign(e.Size / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<char16_t>(ReadLE16(reinterpret_cast<const uint8_t*>(&bytes[2 * i])));
  return true;
}

bool TWKSDFReader::ReadWideString(uint32_t identifier, std::u16string& text) const {
  const TWKSDFElement* e = FindElement(identifier);
  if (e == nullptr) return false;
  std::u16string wide;
  if (ReadWide(*e, wide)) text = std::move(wide);
  return true;
}

bool TWKSDFReader::ReadWideString(uint32_t identifier, std::string& text) const {
  const TWKSDFElement* e = FindElement(identifier);
  if (e == nullptr) return false;
  std::u16string wide;
  if (ReadWide(*e, wide)) text = Utf16ToUtf8(wide);
  return true;
}

bool TWKSDFReader::ReadBinary(uint32_t identifier, void* buffer, uint32_t expectedSize) const {
  const TWKSDFElement* e = FindElement(identifier);
  if (e == nullptr || e->Size != expectedSize) return false;
  return expectedSize == 0 || ReadData(*e, buffer);
}
