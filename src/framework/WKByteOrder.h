// Numbers stored as bytes in a fixed order: little-endian in the settings file, GUIDs, bitmaps
// and the plug-in's exchange data; big-endian in JPEG and PNG headers; either in Exif blocks.
// The caller checks that the bytes are there.
#pragma once

#include <cstdint>

inline uint16_t ReadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t ReadLE32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t ReadBE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
inline uint32_t ReadBE32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

inline void WriteLE16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void WriteLE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void WriteBE16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}
inline void WriteBE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// In the order an Exif block or a TIFF file names: "II" little, "MM" big.
inline uint16_t Read16(const uint8_t* p, bool little) { return little ? ReadLE16(p) : ReadBE16(p); }
inline uint32_t Read32(const uint8_t* p, bool little) { return little ? ReadLE32(p) : ReadBE32(p); }
inline void Write16(uint8_t* p, uint16_t v, bool little) {
  if (little)
    WriteLE16(p, v);
  else
    WriteBE16(p, v);
}
inline void Write32(uint8_t* p, uint32_t v, bool little) {
  if (little)
    WriteLE32(p, v);
  else
    WriteBE32(p, v);
}
