// The dockable tool panel's placement as stored in the settings: one 47-byte record,
// integers little-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

enum class TDockSide : uint8_t { Top = 0, Bottom = 1, Left = 2, Right = 3 };

struct TWKPanelState {
  static constexpr uint32_t RecordSize = 47;

  bool Visible = true;
  bool Floating = false;
  // Meaningful while floating.
  int32_t FloatingLeft = 0, FloatingTop = 0, FloatingWidth = 0, FloatingHeight = 0;
  // Meaningful while docked.
  TDockSide DockSide = TDockSide::Right;
  int32_t DockPos = 0, DockRow = 0;
  int32_t DockedWidth = 0, DockedHeight = 0;
  int32_t SplitWidth = 0, SplitHeight = 0;

  std::array<uint8_t, RecordSize> ToBytes() const;
  // A record is read only when the stored value has exactly the record's length and its size
  // field says 47; anything else gives none, so the caller keeps its defaults. An unknown dock
  // side is read as the right side.
  static std::optional<TWKPanelState> FromBytes(const uint8_t* bytes, size_t length);

  friend bool operator==(const TWKPanelState&, const TWKPanelState&) = default;
};
