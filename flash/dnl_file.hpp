#pragma once
// The DNL update file: header fields, checksum and version recognition.
//
// Layout: 32-byte header (body length LE32 at 2, version id at 6..9, checksum LE16 at 30),
// then address-tagged records up to the end of the file; the last 68 bytes are the trailer.

#include "bytes.hpp"

#include <cstdint>

namespace zarvelo {

inline constexpr std::size_t kDnlHeaderSize = 32;
inline constexpr std::size_t kDnlTrailerSize = 68;
inline constexpr std::size_t kDnlMinimumSize = kDnlHeaderSize + kDnlTrailerSize;

// Sum of the body's 16-bit little-endian words, negated. An odd body counts its last
// byte as both low and high byte of the last word (the rule the firmware tools use).
std::uint16_t DNL_rechne_Pruefsumme(ByteView dnl);

// The stored checksum (bytes 30, 31); 0 when the header is incomplete.
std::uint16_t DNL_lese_Pruefsumme(ByteView dnl);

// Writes the body length field (size - 32) and the checksum. Precondition: size >= 32.
void DNL_schreibe_Pruefsumme(Bytes& dnl, std::uint16_t checksum);

struct VersionFlags {
    int index = -1;  // 1..13, -1 for unknown
    bool dspLogoSupported = false;
    bool vwOverlays = false;
};

// Looks the header's version id up in the firmware version table.
VersionFlags DNL_lese_Version(ByteView dnl);

// The stored checksum equals the original checksum of the version's row.
bool DNL_CheckOriginal(ByteView dnl, int versionIndex);

}  // namespace zarvelo
