#pragma once
// The two palettes inside the flash image (day at the palette offset, night 0x300 above),
// the day/night comparison and the palette entries a new start image may use.

#include "flash/bytes.hpp"
#include "flash/rebuild.hpp"
#include "flash/result.hpp"
#include "graphics/palette.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zarvelo {

// kPaletteBytes (768) and kNightPaletteDistance (0x300) come with the colour modes.
inline constexpr std::size_t kPaletteBlockSize = 2 * kPaletteBytes;

using PixelCounts = std::array<std::int32_t, 256>;
using EntryFlags = std::array<bool, 256>;

// Reads both palettes. Refused, the copies left alone, when the block is not inside the image.
Status BIN_lese_Palette(ByteView flash, std::size_t paletteOffset, Palette& day, Palette& night);

// Writes one entry of the day (night = false) or night palette; refused when the block is not inside the image.
Status BIN_schreibe_Palettenfarbe(Bytes& flash, std::size_t paletteOffset, bool night, std::uint8_t index, Rgb colour);

// Entries the firmware's pictures show: start image pixels, or DSP logo pixels where the version has a logo.
EntryFlags usedEntries(const PixelCounts& startImage, const PixelCounts& dspLogo, bool dspLogoSupported);

enum class DayNightDiff {
    Identical,  // all 256 entries equal
    Differs,    // a used entry looks different by night
    None,       // palettes differ only in entries no picture uses
};
DayNightDiff Check_TagNachtDiff(const Palette& day, const Palette& night, const EntryFlags& used);

// Copies the used entries of the shown palette (day when dayView) over the other one in the
// flash image; refused, nothing written, when the block is not inside the image.
Status P_FixTagNacht(Bytes& flash, std::size_t paletteOffset, bool dayView, const EntryFlags& used);

struct AvailableEntries {
    int count = 0;                    // up to 256, so wider than a byte
    std::vector<std::uint8_t> list;   // the available indices, ascending
};
// Count and ascending list of the set flags.
AvailableEntries Setze_MaxColor(const EntryFlags& available);

// Width of one palette cell in a strip of `stripWidth` pixels; 0 when no entry is available.
double paletteCellWidth(double stripWidth, int availableCount);

}  // namespace zarvelo
