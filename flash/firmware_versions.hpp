#pragma once
// The built-in table of supported firmware releases.

#include <array>
#include <cstdint>
#include <string_view>

namespace zarvelo {

struct FirmwareVersion {
    std::array<std::uint8_t, 4> id;  // bytes 6..9 of the DNL header, in file order
    std::uint16_t originalChecksum;
    std::string_view name;
    std::int32_t paletteOffset;
    std::int32_t textTableOffset;
    std::int32_t dspLogoOffset;  // 0: VW overlays without DSP logo, -1: no VW overlays
    std::int32_t gridOffset;     // -1: no grid patch

    bool dspLogoSupported() const { return dspLogoOffset > 0; }
    bool vwOverlays() const { return dspLogoOffset >= 0; }
};

inline constexpr int kVersionCount = 13;

// Rows 1..13; index 0 of the array is row 1.
extern const std::array<FirmwareVersion, kVersionCount> kFirmwareVersions;

// A row with no resources at all: every offset is negative, the name empty.
extern const FirmwareVersion kUnknownFirmware;

// The row of a version index 1..13; kUnknownFirmware for any other index (no file loaded),
// so a caller that checks its offsets never reads outside the flash image.
const FirmwareVersion& firmwareVersion(int index);

}  // namespace zarvelo
