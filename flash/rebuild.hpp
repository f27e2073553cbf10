#pragma once
// Writing back: colour modes and the DNL file rebuilt from the flash image.

#include "bytes.hpp"

#include <cstdint>

namespace zarvelo {

// Index of the save dialog's colour mode choice.
enum class ColourMode : int { Normal = 0, AlwaysDay = 1, Swap = 2, AlwaysNight = 3 };

inline constexpr std::size_t kPaletteBytes = 768;
inline constexpr std::size_t kNightPaletteDistance = 0x300;
inline constexpr std::size_t kRebuildRecordData = 56;

// Applies the colour mode to the day palette at `paletteOffset` and the night palette
// 0x300 behind it. Does nothing when the block does not lie inside the image.
void BIN_TagNacht(Bytes& flash, std::size_t paletteOffset, ColourMode mode);

// Replaces `dnl` by header + 60-byte records from 0x6000 upwards + trailer, with a fresh
// flash checksum in the image and fresh length and checksum fields in the header.
// Precondition: dnl holds at least header and trailer (100 bytes), flash 0x80000 or 0x100000 bytes.
void BIN_zu_DNL_neu(Bytes& dnl, Bytes& flash);

// The record stream part of the rebuild alone (no checksum, header or trailer): appends
// the records for `flash` to `out`.
void appendRebuiltRecords(ByteView flash, Bytes& out);

}  // namespace zarvelo
