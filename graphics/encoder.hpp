#pragma once
// The start image encoder and the writes into the flash image: run pairs padded to exactly
// the space of the firmware's start image, the colours of the used palette entries (day and
// night alike) and the DSP logo bytes, all through the list of available palette entries.

#include "flash/bytes.hpp"
#include "flash/result.hpp"
#include "graphics/palette.hpp"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zarvelo {

inline constexpr std::size_t kMinImageDataSize = 936;     // one colour: two runs per row
inline constexpr std::size_t kMaxImageDataSize = 149760;  // one run per pixel

// Run pairs (entry, length) of a 320 x 234 index image, bottom row first, runs cut from the
// left at 255 pixels and at the row end; a shorter code is padded to exactly `imageDataSize`
// by splitting single pixels off runs from the start of the stream. Nothing when the code
// does not fit or the size cannot be reached (odd, or above one pair per pixel).
std::optional<Bytes> NEU_berechne_Bild(const std::vector<std::uint8_t>& index, std::size_t imageDataSize);

// Writes the run pairs at the start image offset with entry numbers translated through
// `list`, and combined-palette entries 0..totalCount-1 into the day and night palettes at
// list[k]. Refused, nothing written, when anything would fall outside the flash image or
// outside the list; the message says which.
Status NEU_zu_BIN(Bytes& flash, std::size_t startImageOffset, const Bytes& encoded, const std::vector<std::uint8_t>& list,
                const Palette& combined, int totalCount, std::size_t paletteOffset);

// Writes the 79 x 20 logo, top row first, as list[entry]. Same guarantees as above.
Status DSP_zu_BIN(Bytes& flash, std::size_t dspLogoOffset, const std::vector<std::uint8_t>& finalImage,
                const std::vector<std::uint8_t>& list);

}  // namespace zarvelo
