#include "rebuild.hpp"

#include "dnl_file.hpp"
#include "flash_image.hpp"

#include <algorithm>
#include <array>
#include <cstring>

namespace zarvelo {

void BIN_TagNacht(Bytes& flash, std::size_t paletteOffset, ColourMode mode) {
    if (paletteOffset > flash.size() || flash.size() - paletteOffset < 2 * kPaletteBytes) return;
    auto day = flash.begin() + static_cast<std::ptrdiff_t>(paletteOffset);
    auto night = day + kNightPaletteDistance;
    switch (mode) {
    case ColourMode::Normal: break;
    case ColourMode::AlwaysDay: std::copy_n(day, kPaletteBytes, night); break;
    case ColourMode::AlwaysNight: std::copy_n(night, kPaletteBytes, day); break;
    case ColourMode::Swap: std::swap_ranges(day, day + kPaletteBytes, night); break;
    }
}

namespace {
// Number of 0xFF bytes at the start of p[0..n), eight at a time.
std::size_t erasedRun(const std::uint8_t* p, std::size_t n) {
    std::size_t i = 0;
    for (std::uint64_t w; i + 8 <= n; i += 8) {
        std::memcpy(&w, p + i, 8);
        if (w != ~std::uint64_t{0}) break;
    }
    while (i < n && p[i] == 0xFF) ++i;
    return i;
}
}  // namespace

void appendRebuiltRecords(ByteView flash, Bytes& out) {
    constexpr std::size_t n = kRebuildRecordData;
    if (flash.size() < kFlashRoutineAddress + 4 + n) return;
    const std::size_t limit = flash.size() - 4 - n;
    std::size_t a = kFlashRoutineAddress;
    std::size_t scan = a;
    while (scan < limit) {
        out.push_back(static_cast<std::uint8_t>(a >> 16));
        out.push_back(static_cast<std::uint8_t>(a >> 8));
        out.push_back(static_cast<std::uint8_t>(a));
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), flash.begin() + static_cast<std::ptrdiff_t>(a),
                   flash.begin() + static_cast<std::ptrdiff_t>(a + n));
        a += n;
        // Skip erased flash; an even run is left out, an odd one keeps one 0xFF byte.
        // Reads the byte at a, then one more for every 0xFF while the next position is below
        // the limit; k counts the 0xFF bytes passed over.
        std::size_t k = 0;
        if (flash[a] == 0xFF && a + 1 < limit) {
            const auto first = flash.begin() + static_cast<std::ptrdiff_t>(a + 1);
            const auto stop = flash.begin() + static_cast<std::ptrdiff_t>(limit);
            const auto other = first + static_cast<std::ptrdiff_t>(erasedRun(&*first, static_cast<std::size_t>(stop - first)));
            // Every byte read from a+1 on is 0xFF up to `other` (exclusive).
            k = static_cast<std::size_t>(other - first) + 1;
            if (other == stop) k = limit - a - 1;
        }
        scan = a + k + 1;
        a += 2 * (k / 2);
    }
}

void BIN_zu_DNL_neu(Bytes& dnl, Bytes& flash) {
    if (dnl.size() < kDnlMinimumSize) return;
    BIN_schreibe_Pruefsumme(flash);
    Bytes rebuilt;
    rebuilt.reserve(kDnlMinimumSize + flash.size() / kRebuildRecordData * (kRebuildRecordData + 4));
    rebuilt.insert(rebuilt.end(), dnl.begin(), dnl.begin() + kDnlHeaderSize);
    appendRebuiltRecords(flash, rebuilt);
    rebuilt.insert(rebuilt.end(), dnl.end() - kDnlTrailerSize, dnl.end());
    dnl = std::move(rebuilt);
    DNL_schreibe_Pruefsumme(dnl, DNL_rechne_Pruefsumme(dnl));
}

}  // namespace zarvelo
