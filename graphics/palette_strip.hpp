#pragma once
// The editor's palette strips (319 x 13): one cell per available palette entry, used
// entries in their colour, unused slots as a black and white pattern; and the readout of
// the entry under the mouse.

#include "graphics/colour_set.hpp"

#include <string>
#include <utility>

namespace zarvelo {

inline constexpr int kPaletteStripWidth = 319;
inline constexpr int kPaletteStripHeight = 13;

// Strip width divided by the available-entry count (0 when no entry is available).
double paletteCellWidth(int availableCount);

// Left and right (exclusive) pixel edge of cell k: rounded to the nearest integer, halves to even.
std::pair<int, int> paletteCell(int k, double cellWidth);

// Entry under mouse position x: round(x / w - 0.5), as an 8-bit number.
int paletteStripEntry(int x, double cellWidth);

// Entries 0..count-1 in their colours, count..available-1 as unused slots.
RgbImage paletteStrip(const Palette& palette, int count, int availableCount);

struct StripReadout {
    std::string position;  // entry + 1
    std::string red, green, blue, pixels;  // "-" for an entry without pixels
};
StripReadout paletteStripReadout(const ColourSet& set, int x, double cellWidth);

}  // namespace zarvelo
