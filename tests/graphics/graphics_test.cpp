#include "flash/flash_image.hpp"
#include "graphics/globe_animation.hpp"
#include "graphics/grid.hpp"
#include "graphics/messages.hpp"
#include "graphics/palette_block.hpp"
#include "graphics/start_image.hpp"
#include "synthetic_firmware.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

using namespace zarvelo;

namespace {

constexpr std::size_t kW = 320, kH = 234;

Bytes emptyFlash(std::size_t size = kSmallFlashSize) { return Bytes(size, 0xFF); }

// Places header + code at `header` and returns the start image offset.
std::size_t putImage(Bytes& flash, std::size_t header, const Bytes& code) {
    std::copy(kStartImageHeader.begin(), kStartImageHeader.end(), flash.begin() + static_cast<std::ptrdiff_t>(header));
    std::copy(code.begin(), code.end(), flash.begin() + static_cast<std::ptrdiff_t>(header + 4));
    return header + 4;
}

// Two palettes that differ everywhere unless made equal.
Palette rampPalette(int seed) {
    Palette p;
    for (int i = 0; i < 256; ++i)
        p[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 3 + seed),
                                          static_cast<std::uint8_t>(255 - i)};
    return p;
}

void putPalettes(Bytes& flash, std::size_t offset, const Palette& day, const Palette& night) {
    for (std::size_t i = 0; i < 256; ++i) {
        flash[offset + 3 * i] = day[i].r;
        flash[offset + 3 * i + 1] = day[i].g;
        flash[offset + 3 * i + 2] = day[i].b;
        flash[offset + 0x300 + 3 * i] = night[i].r;
        flash[offset + 0x300 + 3 * i + 1] = night[i].g;
        flash[offset + 0x300 + 3 * i + 2] = night[i].b;
    }
}

std::size_t countDifferences(const Bytes& a, const Bytes& b) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

}  // namespace

// --- palettes ---

TEST(Palettes, ReadDayAndNightFromTheBlock) {
    Bytes flash = emptyFlash();
    const Palette day = rampPalette(0), night = rampPalette(7);
    putPalettes(flash, 0x68D80, day, night);
    Palette d{}, n{};
    ASSERT_TRUE(BIN_lese_Palette(flash, 0x68D80, d, n).ok());
    EXPECT_EQ(d, day);
    EXPECT_EQ(n, night);
    // A block reaching past the end is not read at all.
    Palette untouched = rampPalette(3);
    EXPECT_EQ(BIN_lese_Palette(flash, flash.size() - 1535, untouched, untouched).message(), msg::kPalettesNotRead);
    EXPECT_EQ(untouched, rampPalette(3));
}

TEST(Palettes, ContrastColour) {
    struct Case {
        Rgb colour, contrast;
    };
    const Case cases[] = {{{128, 128, 128}, {0, 0, 0}},     {{127, 127, 127}, {255, 255, 255}},
                          {{0, 255, 0}, {0, 0, 0}},         {{255, 0, 0}, {255, 255, 255}},
                          {{0, 0, 255}, {255, 255, 255}},   {{255, 255, 255}, {0, 0, 0}},
                          {{0, 0, 0}, {255, 255, 255}},     {{0, 0, 120}, {255, 255, 255}}};
    for (const auto& c : cases) EXPECT_EQ(KontrastFarbe(c.colour), c.contrast) << int(c.colour.r) << "," << int(c.colour.g);
    for (std::uint32_t colour : {0u, 0x123456u, 0xFFFFFFu, 0xFBAD5Eu}) EXPECT_EQ(RGB_Col(Col_RGB(colour)), colour);
}

TEST(Palettes, DayNightDifferenceCheck) {
    PixelCounts start{}, dsp{};
    start[5] = 10;
    dsp[9] = 3;
    const Palette day = rampPalette(0);
    Palette night = day;
    EXPECT_EQ(Check_TagNachtDiff(day, night, usedEntries(start, dsp, true)), DayNightDiff::Identical);

    night[100].g ^= 1;  // used by nothing
    EXPECT_EQ(Check_TagNachtDiff(day, night, usedEntries(start, dsp, true)), DayNightDiff::None);

    night[5].b ^= 1;  // used by the start image
    EXPECT_EQ(Check_TagNachtDiff(day, night, usedEntries(start, dsp, false)), DayNightDiff::Differs);

    // An entry used only by the DSP logo counts only where the version has one.
    night = day;
    night[9].r ^= 0x80;
    EXPECT_EQ(Check_TagNachtDiff(day, night, usedEntries(start, dsp, true)), DayNightDiff::Differs);
    EXPECT_EQ(Check_TagNachtDiff(day, night, usedEntries(start, dsp, false)), DayNightDiff::None);
}

TEST(Palettes, CorrectionInTheNightViewCopiesUsedNightEntriesIntoTheDayPalette) {
    Bytes flash = emptyFlash();
    const std::size_t p = 0x6FAD8;
    const Palette day = rampPalette(0), night = rampPalette(99);
    putPalettes(flash, p, day, night);
    const Bytes before = flash;
    EntryFlags used{};
    used[0] = used[17] = used[255] = true;
    ASSERT_TRUE(P_FixTagNacht(flash, p, /*dayView=*/false, used).ok());

    Palette d{}, n{};
    ASSERT_TRUE(BIN_lese_Palette(flash, p, d, n).ok());
    EXPECT_EQ(n, night);
    for (std::size_t i = 0; i < 256; ++i) EXPECT_EQ(d[i], used[i] ? night[i] : day[i]) << i;
    EXPECT_EQ(Check_TagNachtDiff(d, n, used), DayNightDiff::None);
    EXPECT_EQ(countDifferences(before, flash), 3u);  // the two ramps differ in green only

    // The day view copies the other way.
    putPalettes(flash, p, day, night);
    ASSERT_TRUE(P_FixTagNacht(flash, p, true, used).ok());
    ASSERT_TRUE(BIN_lese_Palette(flash, p, d, n).ok());
    EXPECT_EQ(d, day);
    EXPECT_EQ(n[17], day[17]);
    EXPECT_EQ(n[18], night[18]);

    // A block reaching past the end: nothing is copied.
    const Bytes kept = flash;
    EXPECT_EQ(P_FixTagNacht(flash, flash.size() - 0x5FF, true, used).message(), msg::kDayNightNotFixed);
    EXPECT_EQ(flash, kept);
}

TEST(Palettes, WritingOneEntryChangesExactlyThreeBytes) {
    Bytes flash = emptyFlash();
    const std::size_t p = 0x5086E;
    putPalettes(flash, p, rampPalette(0), rampPalette(1));
    const Bytes before = flash;
    ASSERT_TRUE(BIN_schreibe_Palettenfarbe(flash, p, /*night=*/true, 0, {1, 2, 3}).ok());
    EXPECT_EQ(countDifferences(before, flash), 3u);
    EXPECT_EQ(Bytes(flash.begin() + p + 0x300, flash.begin() + p + 0x303), (Bytes{1, 2, 3}));
    EXPECT_EQ(Bytes(flash.begin() + p, flash.begin() + p + 3), Bytes(before.begin() + p, before.begin() + p + 3));

    ASSERT_TRUE(BIN_schreibe_Palettenfarbe(flash, p, false, 255, {9, 8, 7}).ok());
    EXPECT_EQ(Bytes(flash.begin() + p + 765, flash.begin() + p + 768), (Bytes{9, 8, 7}));
    const Bytes kept = flash;
    EXPECT_EQ(BIN_schreibe_Palettenfarbe(flash, flash.size() - 100, false, 0, {}).message(), msg::kColourNotWritten);
    EXPECT_EQ(BIN_schreibe_Palettenfarbe(flash, flash.size() - 0x5FF, false, 0, {}).message(), msg::kColourNotWritten);
    EXPECT_EQ(flash, kept);
}

TEST(Palettes, AvailableEntries) {
    EntryFlags flags{};
    AvailableEntries a = Setze_MaxColor(flags);
    EXPECT_EQ(a.count, 0);
    EXPECT_TRUE(a.list.empty());
    EXPECT_EQ(paletteCellWidth(256, a.count), 0.0);  // never a division by zero

    flags[3] = flags[200] = flags[7] = true;
    a = Setze_MaxColor(flags);
    EXPECT_EQ(a.count, 3);
    EXPECT_EQ(a.list, (std::vector<std::uint8_t>{3, 7, 200}));
    EXPECT_DOUBLE_EQ(paletteCellWidth(300, a.count), 100.0);

    flags.fill(true);  // a firmware may use every entry: the count does not fit a byte
    a = Setze_MaxColor(flags);
    EXPECT_EQ(a.count, 256);
    ASSERT_EQ(a.list.size(), 256u);
    EXPECT_EQ(a.list.front(), 0);
    EXPECT_EQ(a.list.back(), 255);
    EXPECT_DOUBLE_EQ(paletteCellWidth(512, a.count), 2.0);
}

// --- locating the start image ---

TEST(StartImageSearch, HighestHeaderInTheScannedRangeWins) {
    for (std::size_t size : {kSmallFlashSize, kLargeFlashSize}) {
        Bytes flash = emptyFlash(size);
        putImage(flash, 0x50000, {});
        putImage(flash, 0x60000, {});
        StartImageLocation at = BIN_suche_Boot_Start_Offset(flash);
        EXPECT_TRUE(at.headerFound);
        EXPECT_EQ(at.offset, 0x60004u);

        // The highest tested position is size - 10001; one above is out of range.
        putImage(flash, size - 10000, {});
        EXPECT_EQ(BIN_suche_Boot_Start_Offset(flash).offset, 0x60004u);
        putImage(flash, size - 10001, {});
        EXPECT_EQ(BIN_suche_Boot_Start_Offset(flash).offset, size - 10001 + 4);
    }
}

TEST(StartImageSearch, LowestPositionAndFallback) {
    Bytes flash = emptyFlash();
    StartImageLocation at = BIN_suche_Boot_Start_Offset(flash);
    EXPECT_FALSE(at.headerFound);
    EXPECT_EQ(at.offset, 0x40003u);

    putImage(flash, 0x3FFFE, {});  // below the range
    at = BIN_suche_Boot_Start_Offset(flash);
    EXPECT_FALSE(at.headerFound);
    EXPECT_EQ(at.offset, 0x40003u);

    flash = emptyFlash();
    putImage(flash, 0x3FFFF, {});  // the lowest tested position
    at = BIN_suche_Boot_Start_Offset(flash);
    EXPECT_TRUE(at.headerFound);
    EXPECT_EQ(at.offset, 0x40003u);

    EXPECT_FALSE(BIN_suche_Boot_Start_Offset(Bytes(100, 0x01)).headerFound);
    EXPECT_FALSE(BIN_suche_Boot_Start_Offset(Bytes(0x40000, 0x01)).headerFound);
}

TEST(StartImageSearch, RunPairsThatSpellTheHeaderAreTakenForIt) {
    // The first stored row (the bottom one) starts with index 1 for 64 pixels and index 0 for
    // 234: the run pairs 01 40 00 EA.
    std::vector<std::uint8_t> pixels(kW * kH, 5);
    std::fill_n(pixels.begin() + (kH - 1) * kW, 64, 1);
    std::fill_n(pixels.begin() + (kH - 1) * kW + 64, 234, 0);
    const Bytes code = synth::encodeStartImage(pixels);
    ASSERT_EQ(Bytes(code.begin(), code.begin() + 4), (Bytes{0x01, 0x40, 0x00, 0xEA}));
    Bytes flash = emptyFlash();
    const std::size_t offset = putImage(flash, 0x70000, code);
    const StartImageLocation at = BIN_suche_Boot_Start_Offset(flash);
    EXPECT_TRUE(at.headerFound);
    EXPECT_EQ(at.offset, offset + 4);  // the first run pairs are mistaken for the header
}

// --- decoding the start image ---

TEST(StartImageDecode, OneColourImageIs936Bytes) {
    const std::vector<std::uint8_t> pixels(kW * kH, 42);
    const Bytes code = synth::encodeStartImage(pixels);
    ASSERT_EQ(code.size(), 936u);  // 255 + 65 per row, 234 rows
    Bytes flash = emptyFlash();
    const std::size_t offset = putImage(flash, 0x7A000, code);
    std::vector<std::uint8_t> indices(kW * kH, 9);
    const StartImageInfo info = BIN_lese_Startbild(flash, offset, rampPalette(0), indices);
    EXPECT_TRUE(info.complete);
    EXPECT_EQ(info.imageDataSize, 936u);
    EXPECT_EQ(info.pixelCounts[42], 74880);
    EXPECT_EQ(std::accumulate(info.pixelCounts.begin(), info.pixelCounts.end(), 0), 74880);
    EXPECT_EQ(info.colourCount, 1);
    EXPECT_EQ(indices, pixels);
}

TEST(StartImageDecode, FirstStoredRowIsTheBottomRow) {
    Bytes code;
    for (int row = 0; row < 234; ++row) {
        const auto index = static_cast<std::uint8_t>(row % 200);  // stored order
        code.insert(code.end(), {index, 200, index, 120});
    }
    Bytes flash = emptyFlash();
    std::vector<std::uint8_t> indices;
    const StartImageInfo info = BIN_lese_Startbild(flash, putImage(flash, 0x70000, code), rampPalette(0), indices);
    EXPECT_TRUE(info.complete);
    EXPECT_EQ(info.imageDataSize, code.size());
    EXPECT_EQ(indices[233 * kW], 0);        // first stored row: bottom
    EXPECT_EQ(indices[232 * kW + 319], 1);
    EXPECT_EQ(indices[0], 233 % 200);      // last stored row: top
}

TEST(StartImageDecode, RunCrossingColumn319IsCutAtTheRowEnd) {
    // Bottom row: 300 pixels of 1, then a run of 50 of index 2 that crosses the row end.
    Bytes code = {1, 200, 1, 100, 2, 50};
    code.insert(code.end(), {3, 10});  // begins the row above at column 0
    for (int r = 0; r < 233; ++r) {
        if (r == 0) {
            code.insert(code.end(), {4, 255, 4, 55});  // rest of row 232
        } else {
            code.insert(code.end(), {5, 255, 5, 65});
        }
    }
    Bytes flash = emptyFlash();
    std::vector<std::uint8_t> indices;
    const StartImageInfo info = BIN_lese_Startbild(flash, putImage(flash, 0x70000, code), rampPalette(0), indices);
    EXPECT_TRUE(info.complete);
    EXPECT_EQ(info.imageDataSize, code.size());
    EXPECT_EQ(indices[233 * kW + 299], 1);
    EXPECT_EQ(indices[233 * kW + 300], 2);
    EXPECT_EQ(indices[233 * kW + 319], 2);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(indices[232 * kW + x], 3);
    EXPECT_EQ(indices[232 * kW + 10], 4);
    EXPECT_EQ(indices[0], 5);
    // The count takes the whole run, as stored.
    EXPECT_EQ(info.pixelCounts[2], 50);
}

TEST(StartImageDecode, RunLengthZeroAddsNoPixels) {
    Bytes code = {7, 0, 8, 0};
    for (int r = 0; r < 234; ++r) code.insert(code.end(), {6, 255, 6, 65});
    Bytes flash = emptyFlash();
    std::vector<std::uint8_t> indices;
    const StartImageInfo info = BIN_lese_Startbild(flash, putImage(flash, 0x70000, code), rampPalette(0), indices);
    EXPECT_TRUE(info.complete);
    EXPECT_EQ(info.imageDataSize, code.size());
    EXPECT_EQ(info.pixelCounts[7], 0);
    EXPECT_EQ(info.pixelCounts[6], 74880);
    EXPECT_EQ(info.colourCount, 1);

    // Nothing but zero runs up to the end of the image: the decoder stops there.
    Bytes zeros(kSmallFlashSize, 0);
    const StartImageInfo none = BIN_lese_Startbild(zeros, 0x40003, rampPalette(0), indices);
    EXPECT_FALSE(none.complete);
    EXPECT_EQ(none.imageDataSize, (kSmallFlashSize - 0x40003) / 2 * 2);
    EXPECT_EQ(none.colourCount, 0);
}

TEST(StartImageDecode, DataEndingBeforeTheTopRowStopsAtTheEndOfTheImage) {
    // Three full rows and a half, then the image ends (with an odd byte left over).
    Bytes flash = emptyFlash(0x50000);
    std::vector<std::uint8_t> code;
    for (int r = 0; r < 3; ++r) code.insert(code.end(), {9, 255, 9, 65});
    code.insert(code.end(), {8, 160});
    const std::size_t offset = flash.size() - code.size() - 1;
    std::copy(code.begin(), code.end(), flash.begin() + static_cast<std::ptrdiff_t>(offset));
    flash.back() = 77;
    std::vector<std::uint8_t> indices(kW * kH, 123);  // an earlier picture
    const StartImageInfo info = BIN_lese_Startbild(flash, offset, rampPalette(0), indices);
    EXPECT_FALSE(info.complete);
    EXPECT_EQ(info.imageDataSize, code.size());
    EXPECT_EQ(info.pixelCounts[9], 960);
    EXPECT_EQ(info.pixelCounts[8], 160);
    EXPECT_EQ(info.pixelCounts[77], 0);
    EXPECT_EQ(indices[233 * kW], 9);
    EXPECT_EQ(indices[230 * kW + 159], 8);
    // Nothing of the earlier picture is left.
    EXPECT_EQ(indices[230 * kW + 160], 0);
    EXPECT_EQ(std::count(indices.begin(), indices.end(), 123), 0);

    // Offsets at or beyond the end read nothing.
    for (std::size_t at : {flash.size() - 1, flash.size(), flash.size() + 5}) {
        const StartImageInfo past = BIN_lese_Startbild(flash, at, rampPalette(0), indices);
        EXPECT_EQ(past.imageDataSize, 0u);
        EXPECT_FALSE(past.complete);
    }
}

TEST(StartImageDecode, ColourCountComparesDayColours) {
    // Indices 10 and 11 share their day colour (and differ by night): one colour.
    std::vector<std::uint8_t> pixels(kW * kH, 10);
    std::fill(pixels.begin(), pixels.begin() + 1000, 11);
    std::fill(pixels.begin() + 5000, pixels.begin() + 6000, 12);
    Bytes flash = emptyFlash();
    const std::size_t offset = putImage(flash, 0x70000, synth::encodeStartImage(pixels));
    Palette day = rampPalette(0);
    day[11] = day[10];
    std::vector<std::uint8_t> indices;
    EXPECT_EQ(BIN_lese_Startbild(flash, offset, day, indices).colourCount, 2);
    EXPECT_EQ(BIN_lese_Startbild(flash, offset, rampPalette(0), indices).colourCount, 3);
}

TEST(StartImageDecode, EverySampleVersionDecodesToTheFactoryPicture) {
    for (int v = 1; v <= 13; ++v) {
        for (int detail : {0, 3}) {
            const auto sample = synth::makeSample({.version = v, .detail = detail});
            const StartImageLocation at = BIN_suche_Boot_Start_Offset(sample.flash);
            ASSERT_TRUE(at.headerFound);
            EXPECT_EQ(at.offset, sample.startImageHeader + 4);
            std::vector<std::uint8_t> indices;
            const StartImageInfo info = BIN_lese_Startbild(sample.flash, at.offset, rampPalette(0), indices);
            EXPECT_TRUE(info.complete);
            EXPECT_EQ(info.imageDataSize, sample.imageDataSize) << v;
            EXPECT_EQ(indices, sample.startImage) << v;
        }
    }
}

// --- DSP logo ---

TEST(DspLogo, IndexListInOrderOfFirstAppearance) {
    Bytes flash = emptyFlash();
    const std::size_t offset = 0x699AE;
    std::vector<std::uint8_t> logo(kDspLogoSize, 3);
    logo[0] = 7;
    logo[1] = 3;
    logo[500] = 250;
    logo[1579] = 7;
    logo[1578] = 0;
    std::copy(logo.begin(), logo.end(), flash.begin() + static_cast<std::ptrdiff_t>(offset));
    std::vector<std::uint16_t> decoded;
    const Result<DspLogoInfo> info = BIN_Lese_DSP(flash, offset, decoded);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info->indexList, (std::vector<std::uint8_t>{7, 3, 250, 0}));
    EXPECT_EQ(info->pixelCounts[7], 2);
    EXPECT_EQ(info->pixelCounts[3], 1576);
    EXPECT_EQ(decoded, std::vector<std::uint16_t>(logo.begin(), logo.end()));
    EXPECT_EQ(decoded[79], 3);  // row 1 starts after 79 bytes

    std::vector<std::uint16_t> untouched(5, 1);
    EXPECT_EQ(BIN_Lese_DSP(flash, flash.size() - 1579, untouched).message(), msg::kDspLogoNotRead);
    EXPECT_EQ(untouched.size(), 5u);
}

// --- previews ---

TEST(Previews, AllColoursOrTheSelectedColourOverItsContrast) {
    std::vector<std::uint8_t> indices(kW * kH, 1);
    indices[0] = 2;
    indices[kW * kH - 1] = 3;
    Palette palette{};
    palette[1] = {10, 20, 30};
    palette[2] = {0, 0, 80};     // dark
    palette[3] = {250, 240, 10};  // light
    const RgbImage all = renderStartImage(indices, palette, -1);
    ASSERT_EQ(all.width, 320);
    ASSERT_EQ(all.height, 234);
    EXPECT_EQ(all.at(0, 0), palette[2]);
    EXPECT_EQ(all.at(1, 0), palette[1]);
    EXPECT_EQ(all.at(319, 233), palette[3]);

    const RgbImage dark = renderStartImage(indices, palette, 2);
    EXPECT_EQ(dark.at(0, 0), palette[2]);
    EXPECT_EQ(dark.at(1, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(dark.at(319, 233), (Rgb{255, 255, 255}));

    const RgbImage light = renderStartImage(indices, palette, 3);
    EXPECT_EQ(light.at(0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(light.at(319, 233), palette[3]);

    // A selection nobody uses leaves only the contrast colour; anything outside 0..255 shows all.
    const RgbImage unused = renderStartImage(indices, palette, 200);
    EXPECT_EQ(unused.at(5, 5), KontrastFarbe(palette[200]));
    EXPECT_EQ(renderStartImage(indices, palette, 256), all);

    std::vector<std::uint16_t> logo(kDspLogoSize, 1);
    logo[78] = 2;
    const RgbImage logoAll = renderDspLogo(logo, palette, -1);
    ASSERT_EQ(logoAll.width, 79);
    ASSERT_EQ(logoAll.height, 20);
    EXPECT_EQ(logoAll.at(78, 0), palette[2]);
    EXPECT_EQ(logoAll.at(0, 1), palette[1]);
    const RgbImage logoDark = renderDspLogo(logo, palette, 2);
    EXPECT_EQ(logoDark.at(78, 0), palette[2]);
    EXPECT_EQ(logoDark.at(0, 0), (Rgb{255, 255, 255}));
}

// --- overlays ---

TEST(GlobeAnimation, TableShape) {
    int polylines = 0, points = 0, minX = 1000, maxX = 0, minY = 1000, maxY = 0;
    for (int k = 0; k < kGlobeSteps; ++k) {
        const auto& step = globeAnimationStep(k);
        EXPECT_GE(step.size(), 1u);
        EXPECT_LE(step.size(), 3u);
        for (const auto& line : step) {
            ++polylines;
            EXPECT_GE(line.size(), 2u);
            for (const Point& p : line) {
                ++points;
                minX = std::min(minX, p.x);
                maxX = std::max(maxX, p.x);
                minY = std::min(minY, p.y);
                maxY = std::max(maxY, p.y);
            }
        }
    }
    EXPECT_EQ(polylines, 69);
    EXPECT_EQ(points, 356);
    EXPECT_EQ(minX, 155);
    EXPECT_EQ(maxX, 317);
    EXPECT_EQ(minY, 44);
    EXPECT_EQ(maxY, 231);
    EXPECT_EQ(globeAnimationStep(0)[0], (Polyline{{301, 56}, {308, 60}, {313, 66}}));
    EXPECT_EQ(globeAnimationStep(0)[1], (Polyline{{313, 221}, {309, 229}}));
    EXPECT_EQ(globeAnimationStep(17), (std::vector<Polyline>{{{272, 47}, {281, 51}, {294, 57}, {304, 60}, {310, 63}}}));
    EXPECT_EQ(globeAnimationStep(32)[2], (Polyline{{160, 184}, {171, 196}}));
    EXPECT_TRUE(globeAnimationStep(33).empty());
    EXPECT_TRUE(globeAnimationStep(-1).empty());
    EXPECT_EQ(RGB_Col(kOverlayPenColour), 0xFBAD5Eu);
}

TEST(GlobeAnimation, DspLogoSlidesInFromTheLeft) {
    EXPECT_EQ(dspLogoSlide(0).targetX, -65);
    EXPECT_EQ(dspLogoSlide(32).targetX, -1);
    EXPECT_EQ(dspLogoSlide(32).targetY, 11);

    RgbImage logo(79, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 79; ++x) logo.set(x, y, {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 1});
    RgbImage start(320, 234, {200, 200, 200});
    drawDspLogoSlide(start, logo, 0);  // entirely left of the picture
    EXPECT_EQ(start, RgbImage(320, 234, {200, 200, 200}));
    drawDspLogoSlide(start, logo, 32);
    // Logo column 14 falls on x = -1; column 15 lands at x = 0, column 78 at x = 63.
    EXPECT_EQ(start.at(0, 11), (Rgb{15, 0, 1}));
    EXPECT_EQ(start.at(63, 30), (Rgb{78, 19, 1}));
    EXPECT_EQ(start.at(64, 11), (Rgb{200, 200, 200}));
    EXPECT_EQ(start.at(0, 10), (Rgb{200, 200, 200}));
    EXPECT_EQ(start.at(0, 31), (Rgb{200, 200, 200}));
}

// --- grid patch ---

TEST(GridPatch, ReadingActiveInactiveForeignAndAbsent) {
    const std::int32_t at = 0x69470;
    Bytes flash = emptyFlash();
    std::copy(kGridActiveForm.begin(), kGridActiveForm.end(), flash.begin() + at);
    EXPECT_EQ(BIN_pruefe_GitterDa(flash, at), GridState::Active);
    const auto inactive = gridInactiveForm();
    std::copy(inactive.begin(), inactive.end(), flash.begin() + at);
    EXPECT_EQ(BIN_pruefe_GitterDa(flash, at), GridState::Inactive);
    // Foreign data: the active form but one byte in the second piece.
    std::copy(kGridActiveForm.begin(), kGridActiveForm.end(), flash.begin() + at);
    flash[at + 323] ^= 1;
    EXPECT_EQ(BIN_pruefe_GitterDa(flash, at), GridState::Inactive);
    flash[at + 323] ^= 1;
    flash[at] ^= 1;
    EXPECT_EQ(BIN_pruefe_GitterDa(flash, at), GridState::Inactive);
    EXPECT_EQ(BIN_pruefe_GitterDa(flash, -1), GridState::Absent);
    EXPECT_EQ(BIN_pruefe_GitterDa(flash, static_cast<std::int32_t>(flash.size() - 323)), GridState::Inactive);
}

TEST(GridPatch, WritingChangesExactlyTheBlock) {
    const std::int32_t at = 0x702C4;
    Bytes flash = emptyFlash();
    ASSERT_TRUE(BIN_Gitter(flash, at, false).ok());
    const auto inactive = gridInactiveForm();
    EXPECT_TRUE(std::equal(inactive.begin(), inactive.end(), flash.begin() + at));
    EXPECT_EQ(flash[at + 0x94], 0x00);  // the one point both forms share
    EXPECT_EQ(flash[at], 0x02);
    EXPECT_EQ(std::count_if(flash.begin(), flash.end(), [](auto b) { return b != 0xFF; }),
              std::count_if(inactive.begin(), inactive.end(), [](auto b) { return b != 0xFF; }));
    ASSERT_TRUE(BIN_Gitter(flash, at, true).ok());
    EXPECT_TRUE(std::equal(kGridActiveForm.begin(), kGridActiveForm.end(), flash.begin() + at));
    EXPECT_EQ(flash[at - 1], 0xFF);
    EXPECT_EQ(flash[at + 324], 0xFF);
    // Between the two forms exactly 80 bytes differ.
    Bytes other = flash;
    ASSERT_TRUE(BIN_Gitter(other, at, false).ok());
    EXPECT_EQ(countDifferences(flash, other), 80u);

    const Bytes before = flash;
    EXPECT_EQ(BIN_Gitter(flash, -1, true).message(), msg::kNoGridPatch);
    EXPECT_EQ(BIN_Gitter(flash, static_cast<std::int32_t>(flash.size() - 10), true).message(), msg::kGridOutside);
    EXPECT_EQ(flash, before);
}
