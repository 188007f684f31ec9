#include "tools/framework/WKPanelState.h"

namespace {

void Put32(uint8_t* p, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

int32_t Get32(const uint8_t* p) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
  return static_cast<int32_t>(v);
}

}  // namespace

std::array<uint8_t, TWKPanelState::RecordSize> TWKPanelState::ToBytes() const {
  std::array<uint8_t, RecordSize> b{};
  Put32(&b[0], static_cast<int32_t>(RecordSize));
  b[4] = Visible ? 1 : 0;
  b[5] = Floating ? 1 : 0;
  Put32(&b[6], FloatingLeft);
  Put32(&b[10], FloatingTop);
  Put32(&b[14], FloatingWidth);
  Put32(&b[18], FloatingHeight);
  b[22] = static_cast<uint8_t>(DockSide);
  Put32(&b[23], DockPos);
  Put32(&b[27], DockRow);
  Put32(&b[31], DockedWidth);
  Put32(&b[35], DockedHeight);
  Put32(&b[39], SplitWidth);
  Put32(&b[43], SplitHeight);
  return b;
}

std::optional<TWKPanelState> TWKPanelState::FromBytes(const uint8_t* bytes, size_t length) {
  if (bytes == nullptr || length != RecordSize) return std::nullopt;
  if (Get32(bytes) != static_cast<int32_t>(RecordSize)) return std::nullopt;
  TWKPanelState s;
  s.Visible = bytes[4] != 0;
  s.Floating = bytes[5] != 0;
  s.FloatingLeft = Get32(bytes + 6);
  s.FloatingTop = Get32(bytes + 10);
  s.FloatingWidth = Get32(bytes + 14);
  s.FloatingHeight = Get32(bytes + 18);
  s.DockSide = bytes[22] <= 3 ? static_cast<TDockSide>(bytes[22]) : TDockSide::Right;
  s.DockPos = Get32(bytes + 23);
  s.DockRow = Get32(bytes + 27);
  s.DockedWidth = Get32(bytes + 31);
  s.DockedHeight = Get32(bytes + 35);
  s.SplitWidth = Get32(bytes + 39);
  s.SplitHeight = Get32(bytes + 43);
  return s;
}
