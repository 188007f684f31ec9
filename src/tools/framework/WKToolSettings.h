// A tool's section of the settings file: one node keyed by the tool's identifier holding
// numbered integers. Tools list their items once for loading and once for saving.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "framework/WKGuid.h"

class TWKSDFReader;
class TWKSDFWriter;

struct TWKLoadedSetting {
  uint32_t Item;
  // Applies the stored value; values from the file go through the tool's own setter, which
  // keeps them in range.
  std::function<void(int32_t)> Apply;
};

struct TWKSavedSetting {
  uint32_t Item;
  int32_t Value;
};

// Applies the present items in the order listed; a missing section or item changes nothing.
void LoadToolSettings(TWKSDFReader& reader, const TWKGUID& section,
                      std::initializer_list<TWKLoadedSetting> items);
// Writes the section with the items (none: the section marker alone).
void SaveToolSettings(TWKSDFWriter& writer, const TWKGUID& section,
                      std::initializer_list<TWKSavedSetting> items);
