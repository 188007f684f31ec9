// Feeds arbitrary bytes to the structured data file reader and walks what it parsed with every
// kind of look-up, descending into nodes.
#include <cstdint>
#include <string>

#include "framework/WKSDFReader.h"

namespace {

void Walk(TWKSDFReader& reader, const TWKSDFItems& items, int depth) {
  int32_t value;
  std::string text;
  uint8_t buffer[64];
  for (const auto& element : items.Values) {
    reader.ReadInteger(element->Identifier, value);
    reader.ReadWideString(element->Identifier, text);
    reader.ReadBinary(element->Identifier, buffer, element->Size < 64 ? element->Size : 64);
  }
  if (depth > 64) return;
  for (const auto& node : items.Nodes) {
    if (!reader.OpenNode(node->Identifier)) continue;
    reader.ReadInteger(0, value);
    Walk(reader, reader.CurrentNode()->Children, depth + 1);
    reader.CloseNode();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TWKSDFReader reader(new TWKMemoryStream(data, size), true);
  Walk(reader, reader.TopLevel(), 0);
  reader.OpenNode(1, WKGuid("{7AF6D7FF-618B-41D9-882E-419D500DF28B}"));
  return 0;
}
