#include "framework/WKGuid.h"

#include <cstdio>

#include "framework/WKByteOrder.h"

std::array<uint8_t, 16> TWKGUID::Bytes() const {
  std::array<uint8_t, 16> b{};
  WriteLE32(&b[0], D1);
  WriteLE16(&b[4], D2);
  WriteLE16(&b[6], D3);
  for (int i = 0; i < 8; ++i) b[8 + i] = D4[i];
  return b;
}

TWKGUID TWKGUID::FromBytes(const uint8_t* b) {
  TWKGUID g;
  g.D1 = ReadLE32(b);
  g.D2 = ReadLE16(b + 4);
  g.D3 = ReadLE16(b + 6);
  for (int i = 0; i < 8; ++i) g.D4[i] = b[8 + i];
  return g;
}

std::string TWKGUID::ToString() const {
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", D1, D2, D3,
                D4[0], D4[1], D4[2], D4[3], D4[4], D4[5], D4[6], D4[7]);
  return text;
}
