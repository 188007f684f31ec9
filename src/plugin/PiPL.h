// The plug-in's property list as a host reads it from a library on the 32-bit platform that
// defines the layout: a 16-bit 1, the list version 0 and the property count (32-bit), then
// per property the vendor "8BIM" and the key as byte-reversed four-character codes, the id 0,
// the data length (without padding) and the data padded to 4 bytes. There are no resources
// in an ELF library, so the bytes live in the section "PIPL" of QuillmoorPlugin.8bf
// (bounded by __start_PIPL/__stop_PIPL) under the local data symbol QuillmoorPiPL.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int kPiPLResourceId = 16000;

extern "C" const uint8_t QuillmoorPiPL[];
extern "C" const size_t QuillmoorPiPLSize;
