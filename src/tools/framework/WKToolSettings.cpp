#include "tools/framework/WKToolSettings.h"

#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"

namespace {

// ReadInteger reports an element of another type as present without writing the value: two
// reads that start from different values agree only when the value was read.
bool ReadStoredInteger(const TWKSDFReader& reader, uint32_t item, int32_t& value) {
  int32_t first = 0, second = 1;
  if (!reader.ReadInteger(item, first) || !reader.ReadInteger(item, second) || first != second)
    return false;
  value = first;
  return true;
}

}  // namespace

void LoadToolSettings(TWKSDFReader& reader, const TWKGUID& section,
                      std::initializer_list<TWKLoadedSetting> items) {
  if (!reader.OpenNode(1, section)) return;
  for (const TWKLoadedSetting& item : items) {
    int32_t value = 0;
    if (ReadStoredInteger(reader, item.Item, value) && item.Apply) item.Apply(value);
  }
  reader.CloseNode();
}

void SaveToolSettings(TWKSDFWriter& writer, const TWKGUID& section,
                      std::initializer_list<TWKSavedSetting> items) {
  writer.BeginNode(1, section);
  for (const TWKSavedSetting& item : items) writer.WriteInteger(item.Item, item.Value);
  writer.EndNode();
}
