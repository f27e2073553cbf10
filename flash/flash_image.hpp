#pragma once
// The flash image unpacked from a DNL file, its checksum and the software information lines.

#include "bytes.hpp"
#include "result.hpp"

#include <array>
#include <cstdint>
#include <string>

namespace zarvelo {

inline constexpr std::size_t kSmallFlashSize = 0x80000;
inline constexpr std::size_t kLargeFlashSize = 0x100000;
inline constexpr std::uint32_t kFlashRoutineAddress = 0x6000;
inline constexpr std::array<std::uint8_t, 4> kFlashRoutineMarker = {0xFE, 0xDC, 0x01, 0x23};
inline constexpr std::size_t kFlashChecksumOffset = 0x7FF00;

struct UnpackedDnl {
    Bytes flash;
    bool markerCorrected = false;  // a flash-routine marker was written into the DNL file
};

// Unpacks the record stream into a flash image. A later record for 0x6000 whose data does
// not start with the flash-routine marker gets the marker written into `dnl` (reported by
// markerCorrected). On failure `dnl` is left exactly as it was.
Result<UnpackedDnl> DNL_zu_BIN(Bytes& dnl);

// The flash checksum: 0xF708 plus all bytes outside 0x7FF00..0x7FFFF, stored big-endian at
// 0x7FF00 with its complement at 0x7FF04. Precondition: image of 0x80000 or 0x100000 bytes.
std::uint32_t BIN_rechne_Pruefsumme(ByteView flash);
void BIN_schreibe_Pruefsumme(Bytes& flash);

// The zero-terminated firmware string of the version-text pointer at `pointerPosition`
// (low three bytes of a big-endian pointer). A pointer beyond the image gives an empty
// string; a string ends at the end of the image at the latest; at most 255 bytes.
std::string BIN_lese_Versionstext(ByteView flash, std::size_t pointerPosition);

// The four software information lines, as raw bytes.
std::array<std::string, 4> BIN_zu_Versionstexte(ByteView flash, bool original);

inline constexpr const char* kOriginalLine = "Datei ist Original";
inline constexpr const char* kModifiedLine = "Datei wurde modifiziert";

}  // namespace zarvelo
