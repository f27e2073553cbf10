#include "charset.hpp"

#include <iterator>
#include <utility>

namespace zarvelo {

namespace {

// Device code and the offset that turns it into its ANSI character. Codes 0x95, 0xCA..0xCF,
// 0xE3 and 0xEA..0xED are shown as plain ASCII letters.
constexpr std::pair<std::uint8_t, std::int32_t> kDeviceRows[] = {
    {0x80, +97},  {0x81, +95},  {0x82, +103}, {0x83, +101}, {0x84, +105},  {0x85, +104},  {0x86, +109},
    {0x87, +108}, {0x88, +114}, {0x8A, +71},  {0x8B, +60},  {0x8D, +82},   {0x8E, +19},   {0x8F, +79},
    {0x90, +82},  {0x91, +83},  {0x92, +88},  {0x93, +88},  {0x94, +90},   {0x95, -43},   {0x96, +94},
    {0x97, +95},  {0x99, +99},  {0x9A, +87},  {0x9B, +76},  {0xB0, +10},   {0xB5, -20},   {0xB9, +6},
    {0xBB, -1},   {0xC0, +1},   {0xC1, -1},   {0xC2, +7},   {0xC3, +5},    {0xC4, +9},    {0xC5, +7},
    {0xC6, +13},  {0xC7, +11},  {0xC8, +18},  {0xC9, +16},  {0xCA, -135},  {0xCB, -136},  {0xCC, -121},
    {0xCD, -115}, {0xCF, -131}, {0xD0, -14},  {0xD1, -13},  {0xD2, -8},    {0xD3, -8},    {0xD4, -6},
    {0xD5, -6},   {0xD6, -2},   {0xD7, -1},   {0xD8, +3},   {0xD9, +3},    {0xE0, -29},   {0xE1, -28},
    {0xE2, -28},  {0xE3, -148}, {0xE5, -8},   {0xE6, -17},  {0xE7, -15},   {0xEA, -152},  {0xEB, -168},
    {0xEC, -153}, {0xED, -147},
};
static_assert(std::size(kDeviceRows) == 65);

// Unicode of the Windows-1252 bytes 0x80..0x9F.
constexpr char32_t kAnsi80To9F[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

void CharsetTables::Setzte_Font() {
    deviceToAnsi.fill(0);
    for (const auto& [code, offset] : kDeviceRows) deviceToAnsi[code] = offset;
    ansiToDevice.fill(0);
    for (int c = 0; c <= 0xFF; ++c) {
        const std::int32_t offset = deviceToAnsi[static_cast<std::size_t>(c)];
        const int a = c + offset;
        if (offset != 0 && a >= 0x80) ansiToDevice[static_cast<std::size_t>(a)] = -offset;
    }
}

const CharsetTables& charsetTables() {
    static const CharsetTables tables = [] {
        CharsetTables t;
        t.Setzte_Font();
        return t;
    }();
    return tables;
}

std::uint8_t F2A(std::uint8_t device) {
    return static_cast<std::uint8_t>(device + charsetTables().deviceToAnsi[device]);
}

std::uint8_t A2F(std::uint8_t ansi) {
    return static_cast<std::uint8_t>(ansi + charsetTables().ansiToDevice[ansi]);
}

ByteClass classifyByte(std::uint8_t device) {
    if (device == 0x00) return ByteClass::Terminator;
    if (device == 0xFF) return ByteClass::Filler;
    if (device < 0x20) return ByteClass::Control;
    if (device < 0x80) return ByteClass::Ascii;
    return charsetTables().deviceToAnsi[device] != 0 ? ByteClass::Special : ByteClass::UnknownSpecial;
}

bool isTypeableAnsi(std::uint8_t ansi) {
    const std::uint8_t device = A2F(ansi);
    return isVisibleByte(device) && F2A(device) == ansi;
}

char32_t ansiToUnicode(std::uint8_t ansi) { return ansi >= 0x80 && ansi <= 0x9F ? kAnsi80To9F[ansi - 0x80] : ansi; }

std::optional<std::uint8_t> unicodeToAnsi(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<std::uint8_t>(c);
    for (std::size_t i = 0; i < std::size(kAnsi80To9F); ++i)
        if (kAnsi80To9F[i] == c) return static_cast<std::uint8_t>(0x80 + i);
    return std::nullopt;
}

std::u32string ansiToUnicode(std::string_view ansi) {
    std::u32string out;
    out.reserve(ansi.size());
    for (const char c : ansi) out.push_back(ansiToUnicode(static_cast<std::uint8_t>(c)));
    return out;
}

std::string ansiToUtf8(std::string_view ansi) { return toUtf8(ansiToUnicode(ansi)); }

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string toUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : text) appendUtf8(out, c);
    return out;
}

std::optional<std::u32string> fromUtf8(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        std::size_t n = 0;
        char32_t c = 0, least = 0;
        if ((b & 0xE0) == 0xC0) n = 1, c = b & 0x1F, least = 0x80;
        else if ((b & 0xF0) == 0xE0) n = 2, c = b & 0x0F, least = 0x800;
        else if ((b & 0xF8) == 0xF0) n = 3, c = b & 0x07, least = 0x10000;
        else return std::nullopt;
        if (bytes.size() - i <= n) return std::nullopt;
        for (std::size_t k = 1; k <= n; ++k) {
            const auto next = static_cast<std::uint8_t>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            c = c << 6 | (next & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
        out.push_back(c);
        i += n + 1;
    }
    return out;
}

}  // namespace zarvelo
