#pragma once
// Colour sets: the start image editor's unit of work. A picture with at most 256 colours
// becomes a palette in order of first appearance, a pixel count per entry and an index image.

#include "graphics/palette.hpp"
#include "graphics/rgb_image.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zarvelo {

inline constexpr Rgb kGreyFiller{128, 128, 128};
inline constexpr Rgb kWhiteFiller{255, 255, 255};

struct ColourSet {
    int width = 0;
    int height = 0;
    Palette palette{};  // entries at and above `count` hold a filler colour
    int count = 0;
    std::array<std::int32_t, 256> pixelCounts{};
    std::vector<std::uint8_t> index;  // one entry number per pixel, rows top-down

    std::uint8_t at(int x, int y) const { return index[static_cast<std::size_t>(y) * width + x]; }
    friend bool operator==(const ColourSet&, const ColourSet&) = default;
};

// |dR| + |dG| + |dB|, 0..765.
constexpr int colourDifference(Rgb a, Rgb b) {
    return (a.r > b.r ? a.r - b.r : b.r - a.r) + (a.g > b.g ? a.g - b.g : b.g - a.g) +
           (a.b > b.b ? a.b - b.b : b.b - a.b);
}

// Number of distinct colours (1..256); 0 when the picture has more than 256 or no pixels.
int START_zaehle_Farben(const RgbImage& picture);

// The picture's colours in order of first appearance (reading order), entry 0 = top-left
// pixel; unused entries get `filler`. Nothing when the picture has more than 256 colours or
// no pixels.
std::optional<ColourSet> buildColourSet(const RgbImage& picture, Rgb filler);
// `O` from the start picture (grey filler) and `O_DSP` from the DSP logo picture (white filler).
inline std::optional<ColourSet> OriginalBild_FarbPal(const RgbImage& picture) { return buildColourSet(picture, kGreyFiller); }
inline std::optional<ColourSet> DSP_erstelle_O_Palette(const RgbImage& picture) { return buildColourSet(picture, kWhiteFiller); }

// Bytes of run pairs the image needs: runs never cross a row end and hold at most 255 pixels.
std::size_t encodedSize(const std::vector<std::uint8_t>& index, int width, int height);
inline std::size_t encodedSize(const ColourSet& set) { return encodedSize(set.index, set.width, set.height); }

// The set as a picture: every pixel in its entry's colour.
RgbImage renderColourSet(const ColourSet& set);
// The set's index image drawn with another palette (same entry numbers).
RgbImage renderIndices(const ColourSet& set, const Palette& palette);

// Histogram of the index image (entries 0..255).
std::array<std::int32_t, 256> countPixels(const std::vector<std::uint8_t>& index);

}  // namespace zarvelo
