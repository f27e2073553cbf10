#pragma once
// The navigation unit's own 8-bit character set and its conversion to and from the
// Windows ANSI code page (Windows-1252) in which texts are shown and typed.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zarvelo {

// What a byte of a device text is.
enum class ByteClass {
    Terminator,      // 0x00
    Control,         // 0x01..0x1F
    Ascii,           // 0x20..0x7F, shown as itself
    Special,         // 0x80..0xFE with a row in the device-to-ANSI table
    UnknownSpecial,  // 0x80..0xFE without a row: shown under its own code
    Filler,          // 0xFF: a control byte as well as the filler after a terminator
};

// Both conversion tables as offsets: F2A(c) = c + deviceToAnsi[c], A2F(a) = a + ansiToDevice[a].
struct CharsetTables {
    std::array<std::int32_t, 256> deviceToAnsi{};
    std::array<std::int32_t, 256> ansiToDevice{};

    // Builds both tables. Where two device codes show the same ANSI character, the higher
    // code is set last and is the one A2F gives.
    void Setzte_Font();
};

// The tables, built once on first use.
const CharsetTables& charsetTables();

// Device byte to ANSI byte (for showing).
std::uint8_t F2A(std::uint8_t device);
// ANSI byte to device byte (for storing).
std::uint8_t A2F(std::uint8_t ansi);

ByteClass classifyByte(std::uint8_t device);

// 0x01..0x1F and 0xFF: bytes a text keeps in place and never shows.
constexpr bool isControlByte(std::uint8_t b) { return (b >= 0x01 && b <= 0x1F) || b == 0xFF; }
// 0x20..0xFE: bytes that are shown and count for the net length.
constexpr bool isVisibleByte(std::uint8_t b) { return b >= 0x20 && b <= 0xFE; }

// An ANSI character the unit shows as it was typed: A2F gives a byte the list shows and F2A
// gives the same character back. "€" would come back as "á", "ã" as "O", and "ÿ" would
// become the filler byte; "ð", a device byte without a table row, comes back unchanged.
bool isTypeableAnsi(std::uint8_t ansi);

// Windows-1252 and Unicode. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) stand for the C1 control characters of the same number, as ICU has it, so that
// every byte has a character and comes back from it.
// This is the program's one Windows-1252 conversion; the windows and the command line
// tool build their strings from these.
char32_t ansiToUnicode(std::uint8_t ansi);
std::optional<std::uint8_t> unicodeToAnsi(char32_t c);
std::u32string ansiToUnicode(std::string_view ansi);
// Windows-1252 bytes as UTF-8 (firmware strings, list rows, exports for translators).
std::string ansiToUtf8(std::string_view ansi);

// A character as UTF-8; surrogates and values past U+10FFFF become U+FFFD.
void appendUtf8(std::string& out, char32_t c);
std::string toUtf8(std::u32string_view text);
// Strict UTF-8 (no overlong forms, surrogates or values past U+10FFFF); none when `bytes`
// is not valid UTF-8 throughout.
std::optional<std::u32string> fromUtf8(std::string_view bytes);

}  // namespace zarvelo
