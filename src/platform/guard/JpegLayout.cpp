#include "platform/guard/JpegLayout.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/guard/DecodeGuard.h"

namespace {

struct TComponent {
  uint8_t Id = 0;
  int H = 1, V = 1;
  bool Carried = false;
};

struct TFrame {
  std::array<TComponent, 4> Components{};
  int HMax = 1, VMax = 1;
  bool Sequential = false;  // baseline or extended Huffman: every block costs two bits at least
};

uint64_t DivUp(uint64_t a, uint64_t b) { return (a + b - 1) / b; }

uint16_t Read16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

// The offset of the next marker's 0xFF at or after pos inside coded data: a 0xFF followed by a
// byte that is neither a stuffed zero nor a restart marker; jpeg.size() when there is none.
size_t NextMarker(std::span<const uint8_t> jpeg, size_t pos) {
  while (pos < jpeg.size()) {
    const void* hit = std::memchr(jpeg.data() + pos, 0xFF, jpeg.size() - pos);
    if (hit == nullptr) return jpeg.size();
    pos = size_t(static_cast<const uint8_t*>(hit) - jpeg.data());
    if (pos + 1 >= jpeg.size()) return jpeg.size();
    const uint8_t next = jpeg[pos + 1];
    if (next != 0x00 && next != 0xFF && !(next >= 0xD0 && next <= 0xD7)) return pos;
    pos += next == 0xFF ? 1 : 2;
  }
  return jpeg.size();
}

bool IsFrameMarker(uint8_t m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }

bool ReadFrame(std::span<const uint8_t> body, uint8_t marker, TJpegLayout& layout, TFrame& frame) {
  if (body.size() < 6) return false;
  layout.Height = Read16(&body[1]);
  layout.Width = Read16(&body[3]);
  layout.Components = body[5];
  if (layout.Components < 1 || layout.Components > 4 || body.size() < 6 + size_t(layout.Components) * 3)
    return false;
  layout.Progressive = marker == 0xC2 || marker == 0xCA;
  layout.Arithmetic = marker >= 0xC9;
  frame.Sequential = marker == 0xC0 || marker == 0xC1;
  for (int c = 0; c < layout.Components; ++c) {
    TComponent& comp = frame.Components[size_t(c)];
    comp.Id = body[6 + c * 3];
    comp.H = std::clamp(body[7 + c * 3] >> 4, 1, 4);
    comp.V = std::clamp(body[7 + c * 3] & 15, 1, 4);
    frame.HMax = std::max(frame.HMax, comp.H);
    frame.VMax = std::max(frame.VMax, comp.V);
  }
  const uint64_t mcusX = DivUp(uint64_t(layout.Width), 8u * uint64_t(frame.HMax));
  const uint64_t mcusY = DivUp(uint64_t(layout.Height), 8u * uint64_t(frame.VMax));
  for (int c = 0; c < layout.Components; ++c) {
    const TComponent& comp = frame.Components[size_t(c)];
    layout.PictureBlocks += mcusX * uint64_t(comp.H) * mcusY * uint64_t(comp.V);
  }
  return true;
}

// Blocks a scan of these components visits: a single component's own blocks, or whole MCUs.
uint64_t ScanBlocks(const TJpegLayout& layout, const TFrame& frame, const std::array<int, 4>& members,
                    int count) {
  if (count == 1) {
    const TComponent& comp = frame.Components[size_t(members[0])];
    const uint64_t w = DivUp(uint64_t(layout.Width) * uint64_t(comp.H), uint64_t(frame.HMax));
    const uint64_t h = DivUp(uint64_t(layout.Height) * uint64_t(comp.V), uint64_t(frame.VMax));
    return DivUp(w, 8) * DivUp(h, 8);
  }
  const uint64_t mcus = DivUp(uint64_t(layout.Width), 8u * uint64_t(frame.HMax)) *
                        DivUp(uint64_t(layout.Height), 8u * uint64_t(frame.VMax));
  uint64_t perMcu = 0;
  for (int i = 0; i < count; ++i) {
    const TComponent& comp = frame.Components[size_t(members[size_t(i)])];
    perMcu += uint64_t(comp.H) * uint64_t(comp.V);
  }
  return mcus * perMcu;
}

// Reads the scan header in body; returns the bits its blocks need at the least.
bool ReadScan(std::span<const uint8_t> body, TJpegLayout& layout, TFrame& frame, uint64_t& leastBits) {
  if (body.empty()) return false;
  const int count = body[0];
  if (count < 1 || count > 4 || body.size() < 1 + size_t(count) * 2 + 3) return false;
  std::array<int, 4> members{};
  for (int i = 0; i < count; ++i) {
    const uint8_t id = body[1 + size_t(i) * 2];
    int found = -1;
    for (int c = 0; c < layout.Components; ++c)
      if (frame.Components[size_t(c)].Id == id) found = c;
    if (found < 0) return false;
    members[size_t(i)] = found;
  }
  const uint8_t ss = body[1 + size_t(count) * 2], ah = body[3 + size_t(count) * 2] >> 4;
  const uint64_t blocks = ScanBlocks(layout, frame, members, count);
  ++layout.Scans;
  layout.BlockVisits += blocks;
  const bool firstDc = layout.Progressive && ss == 0 && ah == 0;
  if (!layout.Progressive || firstDc)
    for (int i = 0; i < count; ++i) frame.Components[size_t(members[size_t(i)])].Carried = true;
  leastBits = 0;
  if (layout.Arithmetic) return true;
  if (frame.Sequential)
    leastBits = 2 * blocks;
  else if (layout.Progressive && ss == 0)
    leastBits = blocks;  // a DC code, or a refinement bit, per block
  return true;
}

}  // namespace

uint64_t TJpegLayout::CoefficientBytes() const {
  if (!Progressive && Scans <= 1) return 0;
  return PictureBlocks * 64 * sizeof(int16_t);
}

namespace {

enum class TMarkerStep { Segment, Skipped, End };

// At pos: stray bytes, fill bytes and markers without a length are stepped over; the end-of-image
// marker, or a segment that does not fit the file, ends the walk. Segment: pos is at a marker with
// a length that fits.
TMarkerStep StepToSegment(std::span<const uint8_t> jpeg, size_t& pos, TJpegLayout& layout) {
  if (jpeg[pos] != 0xFF) {  // stray bytes between segments: the decoders skip them too
    pos = NextMarker(jpeg, pos);
    return TMarkerStep::Skipped;
  }
  const uint8_t marker = jpeg[pos + 1];
  if (marker == 0xFF) {
    ++pos;
    return TMarkerStep::Skipped;
  }
  if (marker == 0xD9) {
    layout.Ended = true;
    return TMarkerStep::End;
  }
  if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
    pos += 2;
    return TMarkerStep::Skipped;
  }
  if (pos + 4 > jpeg.size()) return TMarkerStep::End;
  const size_t length = Read16(&jpeg[pos + 2]);
  return length < 2 || pos + 2 + length > jpeg.size() ? TMarkerStep::End : TMarkerStep::Segment;
}

}  // namespace

bool ReadJpegLayout(std::span<const uint8_t> jpeg, TJpegLayout& layout) {
  layout = {};
  if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return false;
  TFrame frame;
  bool haveFrame = false;
  size_t pos = 2;
  while (pos + 1 < jpeg.size()) {
    const TMarkerStep step = StepToSegment(jpeg, pos, layout);
    if (step == TMarkerStep::End) break;
    if (step == TMarkerStep::Skipped) continue;
    const uint8_t marker = jpeg[pos + 1];
    const size_t length = Read16(&jpeg[pos + 2]);
    const std::span<const uint8_t> body = jpeg.subspan(pos + 4, length - 2);
    pos += 2 + length;
    if (IsFrameMarker(marker) && !haveFrame) {
      if (!ReadFrame(body, marker, layout, frame)) return false;
      haveFrame = true;
    } else if (marker == 0xDA) {
      uint64_t leastBits = 0;
      if (!haveFrame || !ReadScan(body, layout, frame, leastBits)) return haveFrame;
      const size_t end = NextMarker(jpeg, pos);
      if (layout.ShortScanEnd == 0 && uint64_t(end - pos) * 8 < leastBits) layout.ShortScanEnd = end;
      pos = end;
    }
  }
  layout.Covered = haveFrame && layout.Scans > 0;
  for (int c = 0; c < layout.Components; ++c) layout.Covered = layout.Covered && frame.Components[size_t(c)].Carried;
  return haveFrame;
}

std::string CheckJpegLayout(const TJpegLayout& layout, uint64_t fileBytes) {
  std::string reason = TDecodeGuard::CheckSize(layout.Width, layout.Height);
  if (reason.empty()) reason = TDecodeGuard::CheckScans(layout.Scans, layout.BlockVisits, layout.PictureBlocks);
  if (!reason.empty()) return reason;
  if (layout.ShortScanEnd != 0) return TDecodeGuard::Truncated(layout.ShortScanEnd);
  if (!layout.Ended) return TDecodeGuard::Truncated(fileBytes);
  if (!layout.Covered) return TDecodeGuard::Incomplete();
  if (layout.Arithmetic) return TDecodeGuard::CheckUnboundedCoding(layout.Width, layout.Height, fileBytes);
  return {};
}
