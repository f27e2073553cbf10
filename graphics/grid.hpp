#pragma once
// The grid patch: 81 points (x, y as big-endian 16-bit words) that the firmware's globe
// animation draws. Moving every x beyond the picture switches the grid lines off.

#include <array>
#include <cstdint>

namespace zarvelo {

inline constexpr std::size_t kGridPatchSize = 324;

// The form as delivered: the grid lines are drawn.
extern const std::array<std::uint8_t, kGridPatchSize> kGridActiveForm;
// Every x word raised by 256, except the point at bytes 0x94..0x97.
std::array<std::uint8_t, kGridPatchSize> gridInactiveForm();

}  // namespace zarvelo
