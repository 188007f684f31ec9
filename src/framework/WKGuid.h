// A GUID in its in-memory layout (32-bit, 16-bit, 16-bit little-endian fields, then 8 bytes),
// parsed at compile time from its registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct TWKGUID {
  uint32_t D1 = 0;
  uint16_t D2 = 0;
  uint16_t D3 = 0;
  std::array<uint8_t, 8> D4{};

  bool operator==(const TWKGUID&) const = default;

  // The 16 bytes as stored in a file.
  std::array<uint8_t, 16> Bytes() const;
  static TWKGUID FromBytes(const uint8_t* bytes);
  std::string ToString() const;
};

namespace wkguid_detail {
constexpr uint32_t Hex(const char* s, int count) {
  uint32_t v = 0;
  for (int i = 0; i < count; ++i) {
    const char c = s[i];
    const uint32_t d = c >= '0' && c <= '9'   ? uint32_t(c - '0')
                       : c >= 'a' && c <= 'f' ? uint32_t(c - 'a' + 10)
                       : c >= 'A' && c <= 'F' ? uint32_t(c - 'A' + 10)
                                              : throw "bad GUID digit";
    v = v * 16 + d;
  }
  return v;
}
}  // namespace wkguid_detail

// WKGuid("{7AF6D7FF-618B-41D9-882E-419D500DF28B}"); a malformed literal fails to compile
// when used in a constant expression.
consteval TWKGUID WKGuid(const char (&s)[39]) {
  using wkguid_detail::Hex;
  if (s[0] != '{' || s[9] != '-' || s[14] != '-' || s[19] != '-' || s[24] != '-' || s[37] != '}')
    throw "bad GUID layout";
  TWKGUID g;
  g.D1 = Hex(s + 1, 8);
  g.D2 = static_cast<uint16_t>(Hex(s + 10, 4));
  g.D3 = static_cast<uint16_t>(Hex(s + 15, 4));
  g.D4[0] = static_cast<uint8_t>(Hex(s + 20, 2));
  g.D4[1] = static_cast<uint8_t>(Hex(s + 22, 2));
  for (int i = 0; i < 6; ++i) g.D4[2 + i] = static_cast<uint8_t>(Hex(s + 25 + 2 * i, 2));
  return g;
}
