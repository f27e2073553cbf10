#pragma once
// The grid patch: 81 points (x, y as big-endian 16-bit words) that the firmware's globe
// animation draws. Moving every x beyond the picture switches the grid lines off.

#include "flash/bytes.hpp"
#include "flash/result.hpp"

#include <array>
#include <cstdint>

namespace zarvelo {

inline constexpr std::size_t kGridPatchSize = 324;

// The form as delivered: the grid lines are drawn.
extern const std::array<std::uint8_t, kGridPatchSize> kGridActiveForm;
// Every x word raised by 256, except the point at bytes 0x94..0x97.
std::array<std::uint8_t, kGridPatchSize> gridInactiveForm();

enum class GridState {
    Absent,    // the version has no grid patch (negative offset)
    Active,    // exactly the active form
    Inactive,  // the inactive form, or anything else
};
// Reads the grid patch at `gridOffset`; a block outside the image counts as inactive.
GridState BIN_pruefe_GitterDa(ByteView flash, std::int32_t gridOffset);
// Writes the active (on) or inactive form; refused, nothing written, without a grid patch or
// when the block is not inside the image.
Status BIN_Gitter(Bytes& flash, std::int32_t gridOffset, bool on);

}  // namespace zarvelo
