// The pixel side of the red-eye option frame's two previews: where the last step's rectangle
// lies in a preview, what each preview shows, and the marching-ants outline of the selection.
#pragma once

#include <cstdint>

#include "imaging/WKBitmap.h"
#include "imaging/WKTypes.h"
#include "tools/eyes/WKPixelSet.h"

// The zoom that fits box, centred on its middle, into a panel area: a multiple of 1/8.
// An empty box keeps currentZoom.
double ComputePreviewZoom(const TRect& box, int32_t panelWidth, int32_t panelHeight,
                          double currentZoom);
// The range the previews use a zoom in: 0.5..5.
double ClampPreviewZoom(double zoom);

// An exact mapping of the image rectangle Source onto the panel rectangle Dest (per axis
// dev = floor((doc - doc origin) * dev extent / doc extent) + dev origin, and back).
struct TRedEyePreviewPlacement {
  TRect Source;
  TRect Dest;

  TPoint ToPanel(TPoint image) const;
  TPoint ToImage(TPoint panel) const;
  TRect ToPanel(const TRect& image) const;
  TRect ToImage(const TRect& panel) const;
};

// The undo rectangle of the last step placed in the middle of a panel area of
// width x height at zoom (clamped to 0.5..5); each side at least one pixel.
TRedEyePreviewPlacement CenteredPreviewRect(const TRect& undoRect, int32_t width,
                                            int32_t height, double zoom);

// The 8 x 8 ants pattern with its origin at (phase, phase): true for white.
bool AntsPixelIsWhite(int32_t x, int32_t y, int32_t phase);
// The selection in panel coordinates: each of its rectangles mapped, the pixels of that set
// that have a four-neighbour outside it.
TWKPixelSet PreviewOutline(const TWKPixelSet& region, const TRedEyePreviewPlacement& placement);

// The selection preview into section (a 24-bit surface at 0, 0 the size of the panel area):
// the image as it was before the step (current image with the step's before pixels over it,
// black outside the image), enlarged by nearest neighbour, with the ants outline on top.
// False when section or the images are not 24-bit.
bool RenderSelectionPreview(TWKPixels& section, const TWKPixels& current,
                            const TWKPixels& before, const TWKPixelSet& region,
                            const TRect& undoRect, double zoom, int32_t antsPhase);
// The correction preview: the current image, enlarged, clipped to the image; black elsewhere.
bool RenderCorrectionPreview(TWKPixels& section, const TWKPixels& current,
                             const TRect& undoRect, double zoom);
