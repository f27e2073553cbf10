#include "graphics/palette_strip.hpp"

#include "graphics/palette_block.hpp"

#include <algorithm>
#include <cmath>

namespace zarvelo {

namespace {

// The default rounding mode rounds halves to even.
int roundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

double paletteCellWidth(int availableCount) { return paletteCellWidth(kPaletteStripWidth, availableCount); }

std::pair<int, int> paletteCell(int k, double cellWidth) {
    return {roundEven(k * cellWidth), roundEven((k + 1) * cellWidth)};
}

int paletteStripEntry(int x, double cellWidth) {
    if (!(cellWidth > 0)) return 0;
    return roundEven(x / cellWidth - 0.5) & 0xFF;
}

RgbImage paletteStrip(const Palette& palette, int count, int availableCount) {
    RgbImage strip(kPaletteStripWidth, kPaletteStripHeight, Rgb{255, 255, 255});
    const double w = paletteCellWidth(availableCount);
    const int cells = std::clamp(std::max(count, availableCount), 0, 256);
    for (int k = 0; k < cells; ++k) {
        const auto [x0, x1] = paletteCell(k, w);
        for (int x = std::max(x0, 0); x < std::min(x1, kPaletteStripWidth); ++x)
            for (int y = 0; y < kPaletteStripHeight; ++y) {
                Rgb c = palette[static_cast<std::size_t>(k)];
                if (k >= count) {
                    const bool upperWhite = k % 2 == 1;
                    c = (y <= 6) == upperWhite ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
                }
                strip.set(x, y, c);
            }
    }
    return strip;
}

StripReadout paletteStripReadout(const ColourSet& set, int x, double cellWidth) {
    const int k = paletteStripEntry(x, cellWidth);
    StripReadout r;
    r.position = std::to_string(k + 1);
    const std::int32_t pixels = set.pixelCounts[static_cast<std::size_t>(k)];
    if (pixels == 0) {
        r.red = r.green = r.blue = r.pixels = "-";
        return r;
    }
    const Rgb c = set.palette[static_cast<std::size_t>(k)];
    r.red = std::to_string(c.r);
    r.green = std::to_string(c.g);
    r.blue = std::to_string(c.b);
    r.pixels = std::to_string(pixels);
    return r;
}

}  // namespace zarvelo
