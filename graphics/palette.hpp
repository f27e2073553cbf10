#pragma once
// Palette entries, screen colours and the palette block in the flash image.

#include <array>
#include <cstdint>

namespace zarvelo {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

using Palette = std::array<Rgb, 256>;

// Screen colour: red | green << 8 | blue << 16.
constexpr std::uint32_t RGB_Col(Rgb c) { return c.r | (c.g << 8) | (static_cast<std::uint32_t>(c.b) << 16); }
constexpr Rgb Col_RGB(std::uint32_t colour) {
    return {static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 8), static_cast<std::uint8_t>(colour >> 16)};
}
// Black or white, whichever stands out from the colour.
constexpr Rgb KontrastFarbe(Rgb c) {
    return 61 * c.r + 174 * c.g + 21 * c.b >= 32768 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
}

}  // namespace zarvelo
