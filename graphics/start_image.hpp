#pragma once
// The start image (run pairs behind the header 01 40 00 EA, rows bottom-up) and the raw
// DSP logo inside the flash image, decoded into index images and pixel counts.

#include "flash/bytes.hpp"
#include "flash/result.hpp"
#include "graphics/palette.hpp"
#include "graphics/palette_block.hpp"
#include "graphics/rgb_image.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zarvelo {

inline constexpr std::array<std::uint8_t, 4> kStartImageHeader = {0x01, 0x40, 0x00, 0xEA};
// Where decoding starts when no header is found (the lowest position the search tests, + 4).
inline constexpr std::uint32_t kStartImageFallbackOffset = 0x40003;
// The search starts this far below the end of the image.
inline constexpr std::size_t kStartImageSearchGap = 10000;
inline constexpr std::size_t kDspLogoSize = static_cast<std::size_t>(kDspLogoWidth) * kDspLogoHeight;

struct StartImageLocation {
    std::uint32_t offset = kStartImageFallbackOffset;  // first run pair
    bool headerFound = false;  // without a header nothing may be written at the offset
};
// Finds the highest image header between 0x3FFFF and image size - 10001.
StartImageLocation BIN_suche_Boot_Start_Offset(ByteView flash);

struct StartImageInfo {
    PixelCounts pixelCounts{};       // run lengths per index
    std::uint32_t imageDataSize = 0; // bytes of run pairs read
    int colourCount = 0;             // distinct day colours of the used indices
    bool complete = false;           // the top row was finished inside the flash image
};
// Decodes from `offset` into `indices` (320 x 234, row 0 = top; resized when needed). Stops at
// the end of the flash image; pixels the data does not reach are set to index 0.
StartImageInfo BIN_lese_Startbild(ByteView flash, std::size_t offset, const Palette& day,
                                  std::vector<std::uint8_t>& indices);

// Number of distinct day colours among the indices with a pixel count above 0.
int countDayColours(const PixelCounts& counts, const Palette& day);

struct DspLogoInfo {
    PixelCounts pixelCounts{};
    std::vector<std::uint8_t> indexList;  // distinct indices in order of first appearance
};
// Reads the 79 x 20 raw logo at `offset` into `logo` (row 0 = top; resized when needed).
// Refused, `logo` untouched, when the logo is not inside the image.
Result<DspLogoInfo> BIN_Lese_DSP(ByteView flash, std::size_t offset, std::vector<std::uint16_t>& logo);

// Preview pictures: every pixel in its palette colour, or, with a selected colour 0..255, only
// that colour's pixels and all others in its contrast colour. Any other selection shows all.
void renderStartImage(RgbImage& out, const std::vector<std::uint8_t>& indices, const Palette& palette,
                      int selectedColour);
void renderDspLogo(RgbImage& out, const std::vector<std::uint16_t>& logo, const Palette& palette, int selectedColour);
RgbImage renderStartImage(const std::vector<std::uint8_t>& indices, const Palette& palette, int selectedColour);
RgbImage renderDspLogo(const std::vector<std::uint16_t>& logo, const Palette& palette, int selectedColour);

}  // namespace zarvelo
