// Runs red-eye clicks on a PNG photo and writes the results for looking at:
//   redeye_photo in.png out-prefix x,y [x,y ...] [--area N] [--border N] [--brightness N]
// writes <prefix>-after.png (whole image) and <prefix>-<i>.png per click: the neighbourhood
// before (with the selection's outline) and after, side by side, enlarged 6 times, and
// <prefix>-<i>-previews.png: the two previews of the option frame.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/WKBitmap.h"
#include "support/PngFile.h"
#include "tools/eyes/RedEyeCorrection.h"
#include "tools/eyes/RedEyeParams.h"
#include "tools/eyes/RedEyePreview.h"

namespace {

// The area around r enlarged: left half from before (outline of the set in alternating
// black and white), right half from after.
void WriteComparison(const std::string& path, const TWKPixels& before, const TWKPixels& after,
                     const TRect& r, const TWKPixelSet& set) {
  constexpr int32_t Zoom = 6;
  TWKPixelSet outline = set;
  TWKPixelSet inner = set;
  inner.ErodeCross();
  outline.Subtract(inner);
  TWKPixelBuffer out;
  out.Allocate(FormatBGR24, Rect(0, 0, 2 * r.Width() * Zoom + Zoom, r.Height() * Zoom));
  for (int32_t y = 0; y < out.Height; ++y)
    for (int32_t x = 0; x < out.Width; ++x) {
      const int32_t half = r.Width() * Zoom + Zoom;
      if (x >= r.Width() * Zoom && x < half) continue;  // black gap
      const bool right = x >= half;
      const int32_t ix = r.Left + (right ? x - half : x) / Zoom, iy = r.Top + y / Zoom;
      TBGRPixel p = *(right ? after : before).Pixel(ix, iy);
      if (!right && outline.Contains(ix, iy) && ((x + y) / 3) % 2 == 0)
        p = ((x / 3 + y / 3) % 2) ? TBGRPixel{255, 255, 255} : TBGRPixel{0, 0, 0};
      *out.Pixel(x, y) = p;
    }
  SavePng(path, out);
}

// The two option-frame previews (inner area 180 x 163) side by side, as the frame paints them.
void WritePreviews(const std::string& path, const TWKPixels& backup, const TWKPixels& current,
                   const TRedEyeSelection& selection, const TRect& undo) {
  constexpr int32_t PW = 180, PH = 163;
  const double zoom = ComputePreviewZoom(selection.SelectionBounds(), PW, PH, 1.0);
  TWKPixelBuffer before, left, right, out;
  before.Allocate(FormatBGR24, undo);
  before.Assign(backup);
  left.Allocate(FormatBGR24, Rect(0, 0, PW, PH));
  right.Allocate(FormatBGR24, Rect(0, 0, PW, PH));
  RenderSelectionPreview(left, current, before, selection.Region(), undo, zoom, 0);
  RenderCorrectionPreview(right, current, undo, zoom);
  out.Allocate(FormatBGR24, Rect(0, 0, 2 * PW + 4, PH));
  out.CopyRect(0, 0, left.BoundsRect(), left);
  out.CopyRect(PW + 4, 0, left.BoundsRect(), right);
  SavePng(path, out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s in.png out-prefix x,y [x,y ...] [--area N] [--border N] "
                         "[--brightness N]\n", argv[0]);
    return 2;
  }
  TRedEyeParams params;
  std::vector<TPoint> clicks;
  for (int i = 3; i < argc; ++i) {
    const std::string a = argv[i];
    if (i + 1 < argc && a == "--area") params.AreaSize = ClampAreaSize(std::atoi(argv[++i]));
    else if (i + 1 < argc && a == "--border") params.Border = std::atoi(argv[++i]);
    else if (i + 1 < argc && a == "--brightness") params.Brightness = ClampBrightness(std::atoi(argv[++i]));
    else {
      TPoint p;
      if (std::sscanf(a.c_str(), "%d,%d", &p.X, &p.Y) == 2) clicks.push_back(p);
    }
  }
  TWKPixelBuffer backup, current;
  if (!LoadPng(argv[1], backup)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  current.Allocate(backup.PixelFormat, backup.BoundsRect());
  current.Assign(backup);
  const std::string prefix = argv[2];
  TRedEyeSelection selection;
  for (size_t i = 0; i < clicks.size(); ++i) {
    params.ClickPoint = clicks[i];
    // Each click grows on the image as it was before that click.
    backup.Assign(current);
    const TRect dirty = ApplyRedEyeCorrection(backup, current, params, selection);
    const TPoint c = clicks[i];
    const TRect show = UnionRect(dirty, Rect(c.X - 12, c.Y - 12, c.X + 13, c.Y + 13));
    std::printf("click %d,%d: %lld pixels, bounds (%d,%d)-(%d,%d); %s\n", clicks[i].X, clicks[i].Y,
                static_cast<long long>(selection.Region().Count()), dirty.Left, dirty.Top,
                dirty.Right, dirty.Bottom, selection.DiagnosticLine().c_str());
    const TRect frame = Rect(show.Left - 6, show.Top - 6, show.Right + 6, show.Bottom + 6);
    WriteComparison(prefix + "-" + std::to_string(i + 1) + ".png", backup, current,
                    IntersectRect(frame, current.BoundsRect()), selection.Region());
    WritePreviews(prefix + "-" + std::to_string(i + 1) + "-previews.png", backup, current,
                  selection, RedEyeUndoRect(dirty, c));
  }
  return SavePng(prefix + "-after.png", current) ? 0 : 1;
}
