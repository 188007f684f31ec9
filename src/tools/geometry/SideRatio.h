// The side ratio a crop keeps: free, or that of a print or screen format named by its list item.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

struct TSideRatio {
  int32_t Width = 0;
  int32_t Height = 0;
  // Without both sides at least 1 the crop is free.
  bool Free() const { return Width < 1 || Height < 1; }
  friend bool operator==(const TSideRatio&, const TSideRatio&) = default;
};

// "AxB…": A is the number before the first "x", B the number from the character after it up to
// the first blank or the end; both divided by their greatest common divisor, so "16x10 (…)"
// gives 8 : 5. False (ratio unchanged) for an item of another form.
bool ParseSideRatio(std::string_view item, TSideRatio& ratio);

// The list items of the print and of the screen formats, the first selected at start.
inline constexpr std::array<std::string_view, 13> PrintFormats{"1x1 ",
                                                               "1x2 (15x30)",
                                                               "2x1 (30x15)",
                                                               "1x3 (30x90)",
                                                               "3x1 (90x30)",
                                                               "2x3 (4x6 6x9 10x15 20x30 30x45)",
                                                               "3x2 (6x9 9x6 15x10 30x20 45x30)",
                                                               "3x4 (9x12 15x20 30x40)",
                                                               "4x3 (12x9 20x15 40x30)",
                                                               "4x5 (20x25)",
                                                               "5x4 (25x20)",
                                                               "5x7 (9x13 13x18)",
                                                               "7x5 (13x9 18x13)"};
inline constexpr std::array<std::string_view, 6> ScreenFormats{
    "4x3 (1024x768 1152x864 1280x960)",
    "5x3 (1280x768)",
    "5x4 (1240x1024)",
    "12x7 (1024x600)",
    "16x9 (1366x768 1600x900 1920x1080)",
    "16x10 (1280x800 1440x900 1920x1200)"};
