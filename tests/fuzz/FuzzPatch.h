// The rest of a fuzz input applied to a valid sample file: triples (offset high, offset low,
// value) overwrite bytes, and a trailing pair truncates the file there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline std::vector<uint8_t> PatchedSample(std::vector<uint8_t> bytes, const uint8_t* data, size_t size) {
  if (bytes.empty()) return bytes;
  size_t i = 0;
  for (; i + 3 <= size; i += 3) bytes[((size_t(data[i]) << 8) | data[i + 1]) % bytes.size()] = data[i + 2];
  if (size - i == 2) bytes.resize(((size_t(data[i]) << 8) | data[i + 1]) % (bytes.size() + 1));
  return bytes;
}
