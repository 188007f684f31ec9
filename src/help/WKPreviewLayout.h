// Geometry of the file dialogs' side panel: the thumbnail's size and place in the preview box,
// and the split between preview box and information text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/WKTypes.h"

// The picture (a zero side counts as 1) fitted into the box keeping its proportions: the full
// box width when the box is relatively taller than the picture, else the full box height; the
// other side is rounded down but never below 1. Empty when the box has no area.
TSize FitThumbnail(int32_t pictureWidth, int32_t pictureHeight, int32_t boxWidth,
                   int32_t boxHeight);

// A rectangle of that size centred in rect; halves are truncated.
TRect CenterRect(const TSize& size, const TRect& rect);

// Height of the preview box in a panel of that height, leaving about seven lines of the
// information font (pixel height) below it; never negative.
int32_t PreviewBoxHeight(int32_t panelHeight, int32_t fontPixelHeight);

// One entry of a dialog filter "caption|masks|caption|masks".
struct TWKFilterEntry {
  std::string Caption;  // "JPEG (*.jpg;*.jpeg)"
  std::string Masks;    // "*.jpg;*.jpeg"
  friend bool operator==(const TWKFilterEntry&, const TWKFilterEntry&) = default;
};

// The entries in order; a caption without masks (an odd count of parts) gets "*".
std::vector<TWKFilterEntry> ParseFilter(const std::string& filter);
