#include "framework/WKGuid.h"

#include <cstdio>

std::array<uint8_t, 16> TWKGUID::Bytes() const {
  std::array<uint8_t, 16> b{};
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(D1 >> (8 * i));
  b[4] = static_cast<uint8_t>(D2);
  b[5] = static_cast<uint8_t>(D2 >> 8);
  b[6] = static_cast<uint8_t>(D3);
  b[7] = static_cast<uint8_t>(D3 >> 8);
  for (int i = 0; i < 8; ++i) b[8 + i] = D4[i];
  return b;
}

TWKGUID TWKGUID::FromBytes(const uint8_t* b) {
  TWKGUID g;
  g.D1 = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
  g.D2 = static_cast<uint16_t>(b[4] | b[5] << 8);
  g.D3 = static_cast<uint16_t>(b[6] | b[7] << 8);
  for (int i = 0; i < 8; ++i) g.D4[i] = b[8 + i];
  return g;
}

std::string TWKGUID::ToString() const {
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", D1, D2, D3,
                D4[0], D4[1], D4[2], D4[3], D4[4], D4[5], D4[6], D4[7]);
  return text;
}
