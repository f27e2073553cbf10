#include "flash_image.hpp"

#include "dnl_file.hpp"
#include "messages.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zarvelo {

Result<UnpackedDnl> DNL_zu_BIN(Bytes& dnl) {
    struct Span {
        std::uint32_t address;
        std::size_t data;  // position of the data bytes in the DNL file
        std::size_t length;
    };
    std::vector<Span> copies;
    std::vector<std::size_t> markersToFix;

    // First pass: check the whole stream and decide which records reach the image.
    ByteReader r(dnl, kDnlHeaderSize);
    std::uint32_t previous = 0;
    std::size_t highestEnd = 0;
    bool seen6000 = false;
    do {
        const auto address = r.be(3);
        const auto length = r.u8();
        if (!address || !length || r.remaining() < *length) return Status::failure(msg::kRecordCutOff);
        if (*address == kFlashRoutineAddress) {
            if (!seen6000) {
                seen6000 = true;
            } else if (*length < kFlashRoutineMarker.size()) {
                return Status::failure(msg::kShortMarkerRecord);
            } else {
                const auto head = r.peek(kFlashRoutineMarker.size());
                if (!std::equal(kFlashRoutineMarker.begin(), kFlashRoutineMarker.end(), head->begin()))
                    markersToFix.push_back(r.pos());
            }
        }
        if (*address > previous) copies.push_back({*address, r.pos(), *length});
        r.skip(*length);
        previous = *address;
        highestEnd = std::max<std::size_t>(highestEnd, *address + std::size_t{*length});
    } while (!r.atEnd());

    // Second pass: copy; bytes at or beyond the image size are discarded.
    Bytes flash(highestEnd > kSmallFlashSize ? kLargeFlashSize : kSmallFlashSize, 0xFF);
    for (const Span& c : copies) {
        if (c.address >= flash.size()) continue;
        const std::size_t n = std::min(c.length, flash.size() - c.address);
        std::copy_n(dnl.begin() + static_cast<std::ptrdiff_t>(c.data), n, flash.begin() + c.address);
    }
    for (std::size_t pos : markersToFix)
        std::copy(kFlashRoutineMarker.begin(), kFlashRoutineMarker.end(), dnl.begin() + static_cast<std::ptrdiff_t>(pos));
    return UnpackedDnl{std::move(flash), !markersToFix.empty()};
}

namespace {
// Sum of bytes, eight at a time.
std::uint32_t byteSum(const std::uint8_t* p, std::size_t n) {
    std::uint64_t total = 0;
    std::size_t i = 0;
    constexpr std::uint64_t kLow = 0x00FF00FF00FF00FFull;
    while (i + 8 <= n) {
        std::uint64_t lanes = 0;  // four 16-bit lanes, at most 255 blocks before they overflow
        const std::size_t blockEnd = std::min(n - (n - i) % 8, i + 8 * 128);
        for (; i < blockEnd; i += 8) {
            std::uint64_t w;
            std::memcpy(&w, p + i, 8);
            lanes += (w & kLow) + ((w >> 8) & kLow);
        }
        for (int k = 0; k < 4; ++k) total += (lanes >> (16 * k)) & 0xFFFF;
    }
    for (; i < n; ++i) total += p[i];
    return static_cast<std::uint32_t>(total);
}
}  // namespace

std::uint32_t BIN_rechne_Pruefsumme(ByteView flash) {
    const std::size_t firstEnd = std::min(flash.size(), kFlashChecksumOffset);
    std::uint32_t sum = 63240u + byteSum(flash.data(), firstEnd);
    if (flash.size() > kSmallFlashSize) sum += byteSum(flash.data() + kSmallFlashSize, flash.size() - kSmallFlashSize);
    return sum;
}

void BIN_schreibe_Pruefsumme(Bytes& flash) {
    if (flash.size() < kSmallFlashSize) return;
    const std::uint32_t sum = BIN_rechne_Pruefsumme(flash);
    for (int i = 0; i < 4; ++i) {
        const auto b = static_cast<std::uint8_t>(sum >> (24 - 8 * i));
        flash[kFlashChecksumOffset + i] = b;
        flash[kFlashChecksumOffset + 4 + i] = static_cast<std::uint8_t>(255 - b);
    }
}

std::string BIN_lese_Versionstext(ByteView flash, std::size_t pointerPosition) {
    const auto target = readBE(flash, pointerPosition + 1, 3);
    std::string text;
    if (!target) return text;
    for (std::size_t p = *target; p < flash.size() && flash[p] != 0 && text.size() < 255; ++p)
        text.push_back(static_cast<char>(flash[p]));
    return text;
}

std::array<std::string, 4> BIN_zu_Versionstexte(ByteView flash, bool original) {
    std::array<std::string, 4> lines;
    auto cut = [](std::string s) {
        if (s.size() > 255) s.resize(255);
        return s;
    };
    lines[0] = cut(BIN_lese_Versionstext(flash, 0x6010));
    lines[1] = cut(BIN_lese_Versionstext(flash, 0x6014) + ' ' + BIN_lese_Versionstext(flash, 0x6018) + ' ');
    lines[2] = cut(BIN_lese_Versionstext(flash, 0x6044) + ' ' + BIN_lese_Versionstext(flash, 0x6048) + ' ');
    lines[3] = original ? kOriginalLine : kModifiedLine;
    return lines;
}

}  // namespace zarvelo
