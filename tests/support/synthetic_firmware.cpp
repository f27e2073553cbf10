#include "synthetic_firmware.hpp"

#include "flash/dnl_file.hpp"
#include "flash/firmware_versions.hpp"
#include "flash/flash_image.hpp"
#include "flash/rebuild.hpp"
#include "graphics/grid.hpp"

#include <algorithm>
#include <cstring>
#include <random>
#include <stdexcept>

namespace zarvelo::synth {

namespace {

constexpr std::size_t kWidth = 320, kHeight = 234;
constexpr std::array<std::uint8_t, 4> kImageHeader = {0x01, 0x40, 0x00, 0xEA};
constexpr auto kAllIndices = [] {
    std::array<std::uint8_t, 256> all{};
    for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    return all;
}();
constexpr std::array<std::uint8_t, 8> kTextEndMarker = {0x01, 0x01, 0x06, 0x01, 0x01, 0x06, 0x06, 0x06};

struct Builder {
    Bytes flash;
    std::vector<bool> reserved;  // bytes a block owns: random filler must not touch them
    std::mt19937 rng;

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    void put(std::size_t offset, ByteView bytes) {
        if (offset + bytes.size() > flash.size()) throw std::logic_error("block outside the image");
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (reserved[offset + i]) throw std::logic_error("blocks overlap");
            flash[offset + i] = bytes[i];
            reserved[offset + i] = true;
        }
    }
    void putBE32(std::size_t offset, std::uint32_t v) {
        const std::array<std::uint8_t, 4> b = {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8),
                                               std::uint8_t(v)};
        put(offset, b);
    }
};

// Firmware-like filler: non-0xFF bytes with erased gaps of odd and even lengths.
void fillContent(Builder& b, std::size_t from, std::size_t to) {
    for (std::size_t a = from; a < to; ++a) b.flash[a] = static_cast<std::uint8_t>(b.uniform(0, 254));
    static constexpr std::array<int, 10> kGapLengths = {1, 2, 3, 4, 7, 8, 57, 112, 301, 2048};
    for (std::size_t a = from + 0x300; a + 4096 < to; a += static_cast<std::size_t>(b.uniform(0x800, 0x4000))) {
        const int len = kGapLengths[static_cast<std::size_t>(b.uniform(0, kGapLengths.size() - 1))];
        std::fill_n(b.flash.begin() + static_cast<std::ptrdiff_t>(a), len, 0xFF);
    }
}

std::vector<std::uint8_t> makeStartImage(Builder& b, int detail, std::vector<std::uint8_t>& usedIndices) {
    std::vector<std::uint8_t> img(kWidth * kHeight);
    // Sky bands, a ground with a few objects, and a noisy strip: enough runs to look real.
    for (std::size_t y = 0; y < kHeight; ++y)
        for (std::size_t x = 0; x < kWidth; ++x) img[y * kWidth + x] = static_cast<std::uint8_t>(20 + y / 12);
    const int objects = 4 + 6 * detail;
    for (int i = 0; i < objects; ++i) {
        const int cx = b.uniform(0, 319), cy = b.uniform(0, 233), r = b.uniform(4, 40);
        const auto colour = static_cast<std::uint8_t>(b.uniform(45, 90));
        for (int y = std::max(0, cy - r); y < std::min(234, cy + r); ++y)
            for (int x = std::max(0, cx - r); x < std::min(320, cx + r); ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) img[y * kWidth + x] = colour;
    }
    const int noisyRows = 6 * detail;
    for (int y = 150; y < 150 + noisyRows; ++y)
        for (std::size_t x = 0; x < kWidth; x += 2)
            img[y * kWidth + x] = static_cast<std::uint8_t>(b.uniform(100, 115));
    std::array<bool, 256> used{};
    for (auto p : img) used[p] = true;
    for (int i = 0; i < 256; ++i)
        if (used[i]) usedIndices.push_back(static_cast<std::uint8_t>(i));
    return img;
}

Bytes makeTextTable(Builder& b, std::size_t offset, std::vector<Bytes>& entries) {
    // Device bytes: 0x8D is the unit's ß, 0x99 its ü.
    static constexpr const char* kWords[] = {"Ziel", "Route", "Stau", ("Stra\x8D" "e"), "Ort", "Navigation", "bitte",
                                             "wenden", "links", "rechts", "Autobahn", "Tankstelle", "CD", "Men\x99"};
    // National characters the unit's character set knows: ä ö ü ß Ä Ö Ü é á ñ ç è.
    static constexpr std::uint8_t kNational[] = {0x91, 0x97, 0x99, 0x8D, 0xD1, 0xD7, 0xD9, 0x82, 0x80, 0x9A, 0x9B, 0x83};
    Bytes table;
    auto addEntry = [&](Bytes text, int extraTrailing) {
        Bytes entry = std::move(text);
        entry.push_back(0x00);
        while ((offset + table.size() + entry.size()) % 4 != 0) entry.push_back(0xFF);
        for (int i = 0; i < extraTrailing; ++i) entry.push_back(i % 2 ? 0xFF : 0x00);
        table.insert(table.end(), entry.begin(), entry.end());
        return entry;
    };
    const int count = 300 + b.uniform(0, 60);
    for (int i = 0; i < count; ++i) {
        Bytes text;
        const int words = b.uniform(1, 4);
        for (int w = 0; w < words; ++w) {
            if (w) text.push_back(' ');
            const char* word = kWords[b.uniform(0, 13)];
            text.insert(text.end(), word, word + std::strlen(word));
        }
        if (i % 7 == 3) text.push_back(kNational[b.uniform(0, std::size(kNational) - 1)]);
        if (i % 23 == 5) text.insert(text.begin() + 2, static_cast<std::uint8_t>(b.uniform(0x01, 0x1F)));  // control
        if (i % 31 == 7) text.push_back(static_cast<std::uint8_t>(b.uniform(0xEE, 0xFE)));  // unknown to the charset
        entries.push_back(addEntry(std::move(text), i % 41 == 9 ? 4 : 0));
    }
    addEntry(Bytes{0x12, 0x34, 0x56, 0x78, 0x9A}, 0);  // the non-text entry before the end marker
    table.insert(table.end(), kTextEndMarker.begin(), kTextEndMarker.end());
    table.insert(table.end(), {0x55, 0x66, 0x77, 0x88});
    return table;
}

}  // namespace

Bytes encodeStartImage(const std::vector<std::uint8_t>& pixels) {
    Bytes out;
    for (std::size_t row = kHeight; row-- > 0;) {
        std::size_t x = 0;
        while (x < kWidth) {
            const std::uint8_t v = pixels[row * kWidth + x];
            std::size_t run = 1;
            while (x + run < kWidth && run < 255 && pixels[row * kWidth + x + run] == v) ++run;
            out.push_back(v);
            out.push_back(static_cast<std::uint8_t>(run));
            x += run;
        }
    }
    return out;
}

Bytes standardTrailer(bool damagedMarker) {
    Bytes t = {0x00, 0x60, 0x00, 0x40};
    if (damagedMarker)
        t.insert(t.end(), {0xFE, 0xDC, 0x00, 0x00});
    else
        t.insert(t.end(), kFlashRoutineMarker.begin(), kFlashRoutineMarker.end());
    for (int i = 0; t.size() < kDnlTrailerSize; ++i) t.push_back(static_cast<std::uint8_t>(0x30 + i % 40));
    return t;
}

Bytes assembleDnl(int version, const std::vector<Record>& records, ByteView trailer) {
    Bytes dnl = {'Z', 'V', 0, 0, 0, 0};
    const auto& v = firmwareVersion(version);
    dnl.insert(dnl.end(), v.id.begin(), v.id.end());
    for (int i = 10; i < 30; ++i) dnl.push_back(static_cast<std::uint8_t>(0xA0 + i));
    dnl.push_back(0);
    dnl.push_back(0);
    for (const auto& r : records) {
        dnl.push_back(static_cast<std::uint8_t>(r.address >> 16));
        dnl.push_back(static_cast<std::uint8_t>(r.address >> 8));
        dnl.push_back(static_cast<std::uint8_t>(r.address));
        dnl.push_back(static_cast<std::uint8_t>(r.data.size()));
        dnl.insert(dnl.end(), r.data.begin(), r.data.end());
    }
    dnl.insert(dnl.end(), trailer.begin(), trailer.end());
    DNL_schreibe_Pruefsumme(dnl, DNL_rechne_Pruefsumme(dnl));
    return dnl;
}

void forceChecksum(Bytes& dnl, std::uint16_t wanted) {
    // A word-aligned pair of filler bytes in the trailer, away from its marker.
    std::size_t pos = dnl.size() - 8;
    if ((pos - kDnlHeaderSize) % 2) --pos;
    DNL_schreibe_Pruefsumme(dnl, 0);
    const std::uint16_t now = DNL_rechne_Pruefsumme(dnl);
    const std::uint16_t word = static_cast<std::uint16_t>(dnl[pos] | dnl[pos + 1] << 8);
    const auto fixed = static_cast<std::uint16_t>(word + now - wanted);
    dnl[pos] = static_cast<std::uint8_t>(fixed);
    dnl[pos + 1] = static_cast<std::uint8_t>(fixed >> 8);
    DNL_schreibe_Pruefsumme(dnl, DNL_rechne_Pruefsumme(dnl));
}

Sample makeSample(const Options& o) {
    const auto& v = firmwareVersion(o.version);
    Builder b;
    b.rng.seed(o.seed * 7919u + static_cast<std::uint32_t>(o.version));
    const std::size_t size = o.largeImage ? kLargeFlashSize : kSmallFlashSize;
    b.flash.assign(size, 0xFF);
    b.reserved.assign(size, false);
    Sample s;

    const std::size_t contentEnd = o.largeImage ? 0xF4000 : 0x7E000;
    fillContent(b, kFlashRoutineAddress, contentEnd);

    // Flash routine with its marker and the version-text pointers.
    b.put(0x6000, kFlashRoutineMarker);
    const std::string strings[5] = {"BLAUPUNKT RNS MFD", std::string(v.name), "SW 0" + std::to_string(o.version),
                                    "NAVI", "CD " + std::to_string(2000 + o.version)};
    const std::size_t pointerPositions[5] = {0x6010, 0x6014, 0x6018, 0x6044, 0x6048};
    std::size_t strPos = 0x6200;
    for (int i = 0; i < 5; ++i) {
        b.putBE32(pointerPositions[i], static_cast<std::uint32_t>(strPos));
        Bytes str(strings[i].begin(), strings[i].end());
        str.push_back(0);
        b.put(strPos, str);
        strPos += str.size() + 3;
    }
    s.infoLines = {strings[0], strings[1] + ' ' + strings[2] + ' ', strings[3] + ' ' + strings[4] + ' ', ""};

    // Text table.
    b.put(static_cast<std::size_t>(v.textTableOffset), makeTextTable(b, static_cast<std::size_t>(v.textTableOffset), s.textEntries));

    // Start image and DSP logo indices; the palettes depend on which entries they use.
    std::vector<std::uint8_t> used;
    s.startImage = makeStartImage(b, o.detail, used);
    if (o.allEntries) {
        std::copy_n(std::begin(kAllIndices), 256, s.startImage.begin());
        used.assign(std::begin(kAllIndices), std::end(kAllIndices));
    }
    if (v.dspLogoSupported()) {
        s.dspLogo.resize(79 * 20);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 79; ++x)
                s.dspLogo[y * 79 + x] = static_cast<std::uint8_t>(
                    (x / 8 + y / 5) % 3 == 0 ? 200 + (x + y) % 6 : 20 + (x * 3 + y) % 10);
        b.put(static_cast<std::size_t>(v.dspLogoOffset), s.dspLogo);
        for (int i = 200; i < 206; ++i) used.push_back(static_cast<std::uint8_t>(i));
    }
    std::array<bool, 256> isUsed{};
    for (auto i : used) isUsed[i] = true;

    Bytes palettes(1536);
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t r = static_cast<std::uint8_t>((i * 37 + 11) % 256), g = static_cast<std::uint8_t>((i * 91 + 5) % 256),
                           bl = static_cast<std::uint8_t>((i * 53 + 200) % 256);
        const std::uint8_t day[3] = {r, g, bl};
        for (int k = 0; k < 3; ++k) {
            palettes[3 * i + k] = day[k];
            std::uint8_t night = day[k];
            if (o.night == NightPalette::Darker && isUsed[i]) night = static_cast<std::uint8_t>(day[k] / 2);
            if (o.night == NightPalette::DiffersUnused && !isUsed[i]) night = static_cast<std::uint8_t>(255 - day[k]);
            palettes[0x300 + 3 * i + k] = night;
        }
    }
    b.put(static_cast<std::size_t>(v.paletteOffset), palettes);

    if (v.gridOffset > 0) {
        std::array<std::uint8_t, 324> grid = kGridActiveForm;
        if (o.grid == GridData::Inactive) grid = gridInactiveForm();
        if (o.grid == GridData::Foreign)
            for (std::size_t i = 0; i < grid.size(); ++i) grid[i] = static_cast<std::uint8_t>(i * 13 + 1);
        b.put(static_cast<std::size_t>(v.gridOffset), grid);
    }

    // Start image behind its header, high in the image and clear of everything else.
    const Bytes code = encodeStartImage(s.startImage);
    s.startImageHeader = o.largeImage ? 0xE0000 : 0x7A000;
    s.imageDataSize = code.size();
    if (o.imageHeader) {
        b.put(s.startImageHeader, kImageHeader);
    } else {
        const std::array<std::uint8_t, 4> noHeader = {0x00, 0x00, 0x00, 0x00};
        b.put(s.startImageHeader, noHeader);
    }
    b.put(s.startImageHeader + 4, code);

    // No stray header may lie above the real one inside the scanned range (nowhere in that
    // range when there is no real one).
    for (std::size_t p = o.imageHeader ? s.startImageHeader + 1 : 0x3FFFF; p + 4 <= size - 10000; ++p)
        if (std::equal(kImageHeader.begin(), kImageHeader.end(), b.flash.begin() + static_cast<std::ptrdiff_t>(p))) {
            for (std::size_t k = 0; k < 4; ++k)
                if (!b.reserved[p + k]) {
                    b.flash[p + k] ^= 0x10;
                    break;
                }
        }

    BIN_schreibe_Pruefsumme(b.flash);

    // Records: varying lengths, erased stretches left out, strictly ascending addresses.
    std::vector<Record> records;
    std::size_t highest = size;
    while (highest > 0 && b.flash[highest - 1] == 0xFF) --highest;
    for (std::size_t a = kFlashRoutineAddress; a < highest;) {
        std::size_t erased = 0;
        while (a + erased < highest && b.flash[a + erased] == 0xFF) ++erased;
        if (erased >= 6 && a != kFlashRoutineAddress) {
            a += erased;
            continue;
        }
        const std::size_t len = std::min<std::size_t>(static_cast<std::size_t>(b.uniform(24, 255)), highest - a);
        records.push_back({static_cast<std::uint32_t>(a), Bytes(b.flash.begin() + static_cast<std::ptrdiff_t>(a),
                                                                b.flash.begin() + static_cast<std::ptrdiff_t>(a + len))});
        a += len;
    }

    s.dnl = assembleDnl(o.version, records, standardTrailer(o.damagedSecondMarker));
    forceChecksum(s.dnl, o.originalChecksum ? v.originalChecksum : static_cast<std::uint16_t>(v.originalChecksum ^ 0x5A5A));
    s.flash = std::move(b.flash);
    s.infoLines[3] = o.originalChecksum ? kOriginalLine : kModifiedLine;
    return s;
}

Bytes withFlash(Bytes dnl, Bytes flash) {
    BIN_zu_DNL_neu(dnl, flash);
    return dnl;
}

}  // namespace zarvelo::synth
