// Colour sets, reduction, sliders, DSP fitting, encoder and the expert click rules.
#include "graphics/colour_set.hpp"
#include "graphics/dsp_fit.hpp"
#include "graphics/encoder.hpp"
#include "graphics/expert_selection.hpp"
#include "graphics/messages.hpp"
#include "graphics/palette_strip.hpp"
#include "graphics/reduction.hpp"
#include "reference.hpp"
#include "test_pictures.hpp"

#include <gtest/gtest.h>

#include <random>

using namespace zarvelo;

namespace {

// A one-row picture whose pixels take the given colours with the given counts, in
// that order of first appearance.
RgbImage pictureOf(const std::vector<std::pair<Rgb, int>>& colours) {
    int pixels = 0;
    for (const auto& [c, n] : colours) pixels += n;
    const int width = pixels;
    RgbImage img(width, 1);
    int p = 0;
    for (const auto& [c, n] : colours)
        for (int i = 0; i < n; ++i, ++p) img.set(p % width, p / width, c);
    return img;
}

Rgb grey(int v) { return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v)}; }

}  // namespace

// --- colour sets ---

TEST(ColourSet, OneColourPicture) {
    const RgbImage img(320, 234, Rgb{10, 20, 30});
    const ColourSet o = *OriginalBild_FarbPal(img);
    EXPECT_EQ(o.count, 1);
    EXPECT_EQ(o.palette[0], (Rgb{10, 20, 30}));
    EXPECT_EQ(o.pixelCounts[0], 74880);
    EXPECT_EQ(o.palette[1], kGreyFiller);
    EXPECT_EQ(encodedSize(o), 936u);
    EXPECT_EQ(START_zaehle_Farben(img), 1);
    EXPECT_EQ(DSP_erstelle_O_Palette(RgbImage(79, 20, Rgb{1, 2, 3}))->palette[1], kWhiteFiller);
}

TEST(ColourSet, EntriesFollowFirstAppearance) {
    RgbImage img(320, 234, Rgb{0, 0, 200});
    img.set(0, 0, {1, 1, 1});    // unique top-left colour
    img.set(5, 3, {9, 9, 9});
    img.set(319, 233, {9, 9, 9});
    const ColourSet o = *OriginalBild_FarbPal(img);
    ASSERT_EQ(o.count, 3);
    EXPECT_EQ(o.palette[0], (Rgb{1, 1, 1}));
    EXPECT_EQ(o.pixelCounts[0], 1);
    EXPECT_EQ(o.palette[1], (Rgb{0, 0, 200}));
    EXPECT_EQ(o.palette[2], (Rgb{9, 9, 9}));
    EXPECT_EQ(o.pixelCounts[2], 2);
    EXPECT_EQ(o.at(319, 233), 2);
}

TEST(ColourSet, ColourLimit) {
    for (const int colours : {255, 256, 257}) {
        RgbImage img(320, 234, Rgb{0, 0, 7});
        for (int i = 0; i < colours; ++i) img.set(i % 320, i / 320, {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8), 7});
        EXPECT_EQ(START_zaehle_Farben(img), colours <= 256 ? colours : 0) << colours;
        EXPECT_EQ(OriginalBild_FarbPal(img).has_value(), colours <= 256) << colours;
    }
    EXPECT_EQ(START_zaehle_Farben(RgbImage()), 0);
}

TEST(ColourSet, BuilderMatchesLinearSearch) {
    std::mt19937 rng(5);
    for (int round = 0; round < 30; ++round) {
        const RgbImage img = synth::randomPicture(rng, 40, 17, 1 + static_cast<int>(rng() % 256));
        EXPECT_EQ(*buildColourSet(img, kGreyFiller), reference::buildSet(img, kGreyFiller)) << round;
    }
}

// --- pairwise reduction ---

namespace {

// The editor's road: the merge sequence down to `target`, applied whole.
void reduceTo(ColourSet& s, int target) {
    const MergeSequence seq = MergeSequence::compute(s, target);
    s = seq.apply(s, seq.size());
}

}  // namespace

TEST(Reduction, DifferenceOneBeforeTwo) {
    // Pairs (0,1) differ by 2, (2,3) by 1: the later pair with the smaller difference goes first.
    ColourSet s = *OriginalBild_FarbPal(pictureOf({{grey(10), 5}, {{12, 10, 10}, 5}, {grey(100), 5}, {{100, 100, 101}, 5}}));
    reduceTo(s, 3);
    ASSERT_EQ(s.count, 3);
    EXPECT_EQ(s.palette[0], grey(10));
    EXPECT_EQ(s.palette[1], (Rgb{12, 10, 10}));
    EXPECT_EQ(s.palette[2], grey(100));  // equal counts: the lower entry's colour survives
    EXPECT_EQ(s.palette[3], kGreyFiller);
    EXPECT_EQ(s.pixelCounts[2], 10);
}

TEST(Reduction, RarerColourTakesTheFrequentOne) {
    // Entry 3 (10 pixels) and entry 7 (50 pixels) are the closest pair.
    std::vector<std::pair<Rgb, int>> colours;
    for (int e = 0; e < 10; ++e) colours.push_back({grey(e * 25), e == 3 ? 10 : e == 7 ? 50 : 20});
    colours[3].first = {0, 200, 0};
    colours[7].first = {0, 203, 0};
    const ColourSet before = *OriginalBild_FarbPal(pictureOf(colours));
    ColourSet s = before;
    reduceTo(s, 9);
    ASSERT_EQ(s.count, 9);
    EXPECT_EQ(s.palette[3], (Rgb{0, 203, 0}));
    EXPECT_EQ(s.pixelCounts[3], 60);
    for (int e = 7; e < 9; ++e) EXPECT_EQ(s.palette[e], before.palette[e + 1]);
    EXPECT_EQ(s.palette[9], kGreyFiller);
    for (std::size_t p = 0; p < s.index.size(); ++p) {
        const int old = before.index[p];
        EXPECT_EQ(s.index[p], old == 7 ? 3 : old > 7 ? old - 1 : old);
    }
}

TEST(Reduction, MatchesThePlainProcedureOnRandomPictures) {
    std::mt19937 rng(11);
    for (int round = 0; round < 60; ++round) {
        const int colours = 2 + static_cast<int>(rng() % 255);
        const RgbImage img = synth::randomPicture(rng, 32, 12, colours);
        const ColourSet o = *OriginalBild_FarbPal(img);
        const int target = 1 + static_cast<int>(rng() % o.count);
        ColourSet plain = o, fast = o;
        reference::reduceToColor(plain, target);
        reduceTo(fast, target);
        ASSERT_EQ(fast, plain) << "round " << round << " target " << target;
        // Every shorter prefix of one sequence gives the same set as reducing in steps.
        const MergeSequence seq = MergeSequence::compute(o);
        ASSERT_EQ(seq.apply(o, o.count - target), plain) << round;
        ASSERT_EQ(seq.encodedSizeAfter(o, o.count - target), encodedSize(plain));
    }
}

TEST(Reduction, FittingMatchesThePlainLoop) {
    // Full-size pictures against the plain loop (slow, so a few only).
    for (std::uint32_t seed = 1; seed <= 3; ++seed) {
        const ColourSet o = *OriginalBild_FarbPal(synth::photoPicture(seed, 60 + 40 * static_cast<int>(seed)));
        for (const std::size_t size : {std::size_t{936}, std::size_t{5000}, encodedSize(o) - 2, encodedSize(o)}) {
            int plainMax = 0;
            const ColourSet plain = reference::maxBerechneBild(o, size, plainMax);
            const MaxFit fast = MAX_berechne_Bild(o, size);
            EXPECT_EQ(fast.set, plain) << seed << " " << size;
            EXPECT_EQ(fast.maximumPossible, plainMax);
            EXPECT_TRUE(fast.fits);
        }
    }
}

TEST(Reduction, FittingLeavesAFittingPictureAlone) {
    const ColourSet o = *OriginalBild_FarbPal(synth::photoPicture(3, 40));
    const MaxFit fit = MAX_berechne_Bild(o, encodedSize(o) + 100);
    EXPECT_EQ(fit.set, o);
    EXPECT_EQ(fit.maximumPossible, o.count);
    // A space below one colour's code cannot be met: stop at one colour instead of looping.
    const MaxFit none = MAX_berechne_Bild(o, 100);
    EXPECT_EQ(none.set.count, 1);
    EXPECT_FALSE(none.fits);
}

// --- sliders ---

TEST(StartSlider, StepsGiveTheSameSetAsOneMove) {
    const ColourSet o = *OriginalBild_FarbPal(synth::photoPicture(7, 40));
    ASSERT_EQ(o.count, 40);
    const MergeSequence seq = MergeSequence::compute(o);
    auto setFor = [&](int count) { return seq.apply(o, o.count - count); };
    // 40 -> 30 -> 35 versus 40 -> 35, MAX = O with 40 colours, 64 available entries.
    SliderOutcome down = TB_StartbildChange(40, 40, 64, 30);
    EXPECT_EQ(down.count, 30);
    ColourSet plain = o;
    reference::reduceToColor(plain, 30);
    EXPECT_EQ(setFor(down.count), plain);
    const SliderOutcome up = TB_StartbildChange(30, 40, 64, 35);
    EXPECT_TRUE(up.changed);
    EXPECT_EQ(up.count, 35);
    EXPECT_EQ(up.position, 35);
    plain = o;
    reference::reduceToColor(plain, 35);
    EXPECT_EQ(setFor(up.count), plain);
}

TEST(StartSlider, Rules) {
    struct Case {
        int akt, max, available, position;
        SliderOutcome expected;
    };
    const Case cases[] = {
        {40, 40, 64, 50, {false, 40, 40}},  // above MAX with all of MAX's colours: back to the count
        {30, 40, 64, 50, {true, 40, 40}},   // raising above MAX: AKT = MAX, slider at MAX's count
        {30, 40, 64, 64, {true, 40, 40}},
        {40, 40, 64, 1, {true, 1, 1}},
        {1, 40, 64, 0, {false, 1, 1}},  // below the minimum: the track bar holds 1
        {5, 5, 5, 9, {false, 5, 5}},    // above the maximum
        {3, 7, 256, 256, {true, 7, 7}}, // all 256 entries available
    };
    for (const Case& c : cases) {
        const SliderOutcome out = TB_StartbildChange(c.akt, c.max, c.available, c.position);
        EXPECT_EQ(out.changed, c.expected.changed) << c.akt << " -> " << c.position;
        EXPECT_EQ(out.count, c.expected.count) << c.akt << " -> " << c.position;
        EXPECT_EQ(out.position, c.expected.position) << c.akt << " -> " << c.position;
    }
}

TEST(DspSlider, OneColourPerEvent) {
    struct Case {
        int m, original, available, position;
        SliderOutcome expected;
    };
    const Case cases[] = {
        {12, 12, 40, 5, {true, 11, 11}},     // a jump from 12 to 5 is one step
        {11, 12, 40, 11, {false, 11, 11}},   // the program setting the new count changes nothing
        {5, 12, 40, 9, {true, 6, 6}},
        {12, 12, 40, 20, {true, 12, 12}},    // never more than the original
        {40, 50, 40, 40, {false, 40, 40}},   // at the maximum
        {1, 12, 40, 1, {false, 1, 1}},
        {256, 256, 120, 119, {true, 255, 120}},  // more colours than the slider's range
    };
    for (const Case& c : cases) {
        const SliderOutcome out = TB_DSPChange(c.m, c.original, c.available, c.position);
        EXPECT_EQ(out.changed, c.expected.changed) << c.m << " -> " << c.position;
        EXPECT_EQ(out.count, c.expected.count) << c.m << " -> " << c.position;
        EXPECT_EQ(out.position, c.expected.position) << c.m << " -> " << c.position;
    }
}

// --- DSP logo fitting ---

namespace {

// A set with the given colours, one pixel row each, of the given size.
ColourSet setOf(const std::vector<Rgb>& colours, int width, int height) {
    RgbImage img(width, height, colours.back());
    for (std::size_t i = 0; i < colours.size(); ++i)
        img.set(static_cast<int>(i) % width, static_cast<int>(i) / width, colours[i]);
    return *buildColourSet(img, kWhiteFiller);
}

// 30 start colours (k*8, 0, 0); a logo of 10 colours, entries 0 and 5 equal to start colours,
// the others at differences 40, 6, 25, 3, 30, 9, 50, 12 from their nearest start colour.
struct FitExample {
    ColourSet akt, logo;
    FitExample() {
        std::vector<Rgb> start;
        for (int k = 0; k < 30; ++k) start.push_back({static_cast<std::uint8_t>(k * 8), 0, 0});
        akt = setOf(start, 320, 234);
        const int extra[8] = {40, 6, 25, 3, 30, 9, 50, 12};
        std::vector<Rgb> colours;
        int e = 0;
        for (int d = 0; d < 10; ++d) {
            if (d == 0 || d == 5) {
                colours.push_back(start[static_cast<std::size_t>(d * 2)]);
                continue;
            }
            colours.push_back({static_cast<std::uint8_t>(16 * d), 0, static_cast<std::uint8_t>(extra[e++])});
        }
        logo = setOf(colours, 79, 20);
    }
};

}  // namespace

TEST(DspFit, EverythingFits) {
    const FitExample ex;
    const DspFit fit = optimiere_Palette_fuer_DSP(ex.akt, ex.logo, 40);
    EXPECT_EQ(fit.identical, 2);
    EXPECT_EQ(fit.needed, 38);
    EXPECT_EQ(fit.threshold, 0);
    EXPECT_EQ(fit.totalCount, 38);
    int k = 30;
    for (int d = 0; d < 10; ++d) {
        if (d == 0 || d == 5) continue;
        EXPECT_EQ(fit.combined[static_cast<std::size_t>(k)], ex.logo.palette[static_cast<std::size_t>(d)]) << d;
        ++k;
    }
    EXPECT_EQ(fit.combined[38], kWhiteFiller);
    EXPECT_EQ(fit.finalImage[0], 0);  // logo entry 0 shares start entry 0
}

TEST(DspFit, ReplacesTheNearestColoursFirst) {
    const FitExample ex;
    const DspFit fit = optimiere_Palette_fuer_DSP(ex.akt, ex.logo, 35);
    EXPECT_EQ(fit.needed, 38);
    EXPECT_EQ(fit.totalCount, 35);
    // Differences 3 (logo entry 4), 6 (entry 2) and 9 (entry 7) are replaced; 9 needs threshold 10.
    EXPECT_EQ(fit.threshold, 10);
    for (const auto& [logo, start] : {std::pair{4, 8}, std::pair{2, 4}, std::pair{7, 14}}) {
        EXPECT_EQ(fit.finalDspPalette[static_cast<std::size_t>(logo)], ex.akt.palette[static_cast<std::size_t>(start)]);
        EXPECT_EQ(fit.finalImage[static_cast<std::size_t>(logo)], start);
    }
    const int own[5] = {1, 3, 6, 8, 9};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(fit.combined[static_cast<std::size_t>(30 + k)], ex.logo.palette[static_cast<std::size_t>(own[k])]);
        EXPECT_EQ(fit.finalImage[static_cast<std::size_t>(own[k])], 30 + k);
    }
    EXPECT_EQ(fit.combined[35], kWhiteFiller);
}

TEST(DspFit, AllLogoColoursInTheStartImage) {
    const FitExample ex;
    ColourSet logo = setOf({ex.akt.palette[3], ex.akt.palette[0], ex.akt.palette[29]}, 79, 20);
    const DspFit fit = optimiere_Palette_fuer_DSP(ex.akt, logo, 30);
    EXPECT_EQ(fit.identical, 3);
    EXPECT_EQ(fit.needed, 30);
    EXPECT_EQ(fit.totalCount, 30);
    EXPECT_EQ(fit.threshold, 0);
    for (auto e : fit.finalImage) EXPECT_TRUE(e == 3 || e == 0 || e == 29);
}

TEST(DspFit, LogoOf256Colours) {
    std::vector<Rgb> start, logoColours;
    for (int k = 0; k < 100; ++k) start.push_back({static_cast<std::uint8_t>(k * 2), 50, 0});
    for (int d = 0; d < 256; ++d) logoColours.push_back({static_cast<std::uint8_t>(d), 0, static_cast<std::uint8_t>(d % 7)});
    const ColourSet akt = setOf(start, 320, 234), logo = setOf(logoColours, 79, 20);
    const DspFit fit = optimiere_Palette_fuer_DSP(akt, logo, 120);
    EXPECT_EQ(fit.report[2], "Summe Farben:                     356");
    EXPECT_EQ(fit.totalCount, 120);
    const reference::Fit plain = reference::dspFit(akt, logo, 120);
    EXPECT_EQ(fit.threshold, plain.threshold);
    EXPECT_EQ(fit.combined, plain.combined);
    EXPECT_EQ(fit.finalImage, plain.finalImage);
}

TEST(DspFit, MatchesThePlainLoopOnRandomSets) {
    std::mt19937 rng(3);
    for (int round = 0; round < 200; ++round) {
        const ColourSet akt = *buildColourSet(synth::randomPicture(rng, 40, 10, 1 + static_cast<int>(rng() % 120)), kGreyFiller);
        const ColourSet logo = *buildColourSet(synth::randomPicture(rng, 79, 20, 1 + static_cast<int>(rng() % 256)), kWhiteFiller);
        const int available = akt.count + static_cast<int>(rng() % static_cast<unsigned>(257 - akt.count));
        const DspFit fit = optimiere_Palette_fuer_DSP(akt, logo, available);
        const reference::Fit plain = reference::dspFit(akt, logo, available);
        ASSERT_EQ(fit.identical, plain.identical) << round;
        ASSERT_EQ(fit.needed, plain.needed) << round;
        ASSERT_EQ(fit.threshold, plain.threshold) << round;
        ASSERT_EQ(fit.totalCount, plain.total) << round;
        ASSERT_EQ(fit.combined, plain.combined) << round;
        ASSERT_EQ(fit.finalDspPalette, plain.finalDspPalette) << round;
        ASSERT_EQ(fit.finalImage, plain.finalImage) << round;
        ASSERT_LE(fit.totalCount, available);
    }
}

TEST(DspFit, ReportLines) {
    const auto lines = dspReport(7, 123, 130, 0, 1000, 12, 5);
    EXPECT_EQ(lines[0], "Anzahl Farben Startbild:            7");
    EXPECT_EQ(lines[1], "Anzahl Farben DSP-Logo:           123");
    EXPECT_EQ(lines[2], "Summe Farben:                     130");
    EXPECT_EQ(lines[3], "davon Identisch:                    0");
    EXPECT_EQ(lines[4], "theoretisch erf. Farbanzahl:      1000");
    EXPECT_EQ(lines[5], "max. erf. Farbdifferenz DSP-Logo:  12");
    EXPECT_EQ(lines[6], "Insgesamt verwendete Farben:        5");
    for (const auto& line : lines) {
        EXPECT_GE(line.size(), 37u);
        EXPECT_EQ(line.find_first_not_of(' ', 34), line.find_first_of("0123456789")) << line;
    }
}

// --- palette strip ---

TEST(PaletteStrip, CellsRoundHalvesToEven) {
    // 319 / 2 = 159.5: the edge rounds to 160; 319 / 4 = 79.75.
    EXPECT_EQ(paletteCell(0, paletteCellWidth(2)), (std::pair{0, 160}));
    EXPECT_EQ(paletteCell(1, paletteCellWidth(2)), (std::pair{160, 319}));
    EXPECT_EQ(paletteCell(1, paletteCellWidth(4)), (std::pair{80, 160}));
    EXPECT_EQ(paletteCell(2, paletteCellWidth(4)), (std::pair{160, 239}));
    // 0.5 x 5 = 2.5 -> 2, 0.5 x 7 = 3.5 -> 4
    EXPECT_EQ(paletteCell(5, 0.5), (std::pair{2, 3}));
    EXPECT_EQ(paletteCell(7, 0.5), (std::pair{4, 4}));
    EXPECT_EQ(paletteCellWidth(0), 0.0);
    EXPECT_EQ(paletteCell(3, paletteCellWidth(256)).second, 5);  // 4 x 1.24609 = 4.98
}

TEST(PaletteStrip, DrawsUsedEntriesAndUnusedSlots) {
    Palette pal{};
    pal[0] = {1, 2, 3};
    const RgbImage strip = paletteStrip(pal, 1, 3);  // cells 0..106, 106..213, 213..319
    EXPECT_EQ(strip.at(0, 0), (Rgb{1, 2, 3}));
    EXPECT_EQ(strip.at(105, 12), (Rgb{1, 2, 3}));
    EXPECT_EQ(strip.at(106, 6), (Rgb{255, 255, 255}));  // entry 1, odd: white above
    EXPECT_EQ(strip.at(106, 7), (Rgb{0, 0, 0}));
    EXPECT_EQ(strip.at(318, 6), (Rgb{0, 0, 0}));  // entry 2, even: black above
    EXPECT_EQ(strip.at(318, 12), (Rgb{255, 255, 255}));
}

TEST(PaletteStrip, Readout) {
    ColourSet s = setOf({{9, 8, 7}, {1, 1, 1}}, 10, 1);
    const double w = paletteCellWidth(4);  // 79.75
    EXPECT_EQ(paletteStripEntry(0, w), 0);
    EXPECT_EQ(paletteStripEntry(119, w), 1);  // 119 / 79.75 - 0.5 = 0.99
    EXPECT_EQ(paletteStripEntry(120, w), 1);  // 1.0047
    const StripReadout used = paletteStripReadout(s, 10, w);
    EXPECT_EQ(used.position, "1");
    EXPECT_EQ(used.red, "9");
    EXPECT_EQ(used.pixels, "1");
    const StripReadout unused = paletteStripReadout(s, 200, w);  // 2.007 -> entry 2
    EXPECT_EQ(unused.position, "3");
    EXPECT_EQ(unused.red, "-");
    EXPECT_EQ(unused.green, "-");
    EXPECT_EQ(unused.blue, "-");
    EXPECT_EQ(unused.pixels, "-");
}

// --- encoder ---

namespace {

std::vector<std::uint8_t> plainIndexImage(std::uint8_t e) { return std::vector<std::uint8_t>(320 * 234, e); }

}  // namespace

TEST(Encoder, OneColourAndPadding) {
    const auto exact = NEU_berechne_Bild(plainIndexImage(0), 936);
    ASSERT_TRUE(exact);
    ASSERT_EQ(exact->size(), 936u);
    for (std::size_t p = 0; p < 936; p += 4) {
        EXPECT_EQ((*exact)[p + 1], 255);
        EXPECT_EQ((*exact)[p + 3], 65);
    }
    const auto padded = NEU_berechne_Bild(plainIndexImage(0), 940);
    ASSERT_TRUE(padded);
    ASSERT_EQ(padded->size(), 940u);
    const Bytes bottom(padded->begin(), padded->begin() + 8);
    EXPECT_EQ(bottom, (Bytes{0, 253, 0, 1, 0, 1, 0, 65}));
    EXPECT_TRUE(std::equal(padded->begin() + 8, padded->end(), exact->begin() + 4));
    EXPECT_FALSE(NEU_berechne_Bild(plainIndexImage(0), 934));  // does not fit
    EXPECT_FALSE(NEU_berechne_Bild(plainIndexImage(0), 939));  // odd
    EXPECT_FALSE(NEU_berechne_Bild(plainIndexImage(0), kMaxImageDataSize + 2));
    const auto full = NEU_berechne_Bild(plainIndexImage(0), kMaxImageDataSize);
    ASSERT_TRUE(full);
    for (std::size_t p = 1; p < full->size(); p += 2) ASSERT_EQ((*full)[p], 1);
}

TEST(Encoder, BottomRowFirstAndNoSplitWhenExact) {
    auto img = plainIndexImage(1);
    for (int x = 0; x < 320; ++x) img[233 * 320 + x] = static_cast<std::uint8_t>(x < 3 ? 2 : 1);
    const std::size_t size = encodedSize(img, 320, 234);
    const auto code = NEU_berechne_Bild(img, size);
    ASSERT_TRUE(code);
    EXPECT_EQ(Bytes(code->begin(), code->begin() + 6), (Bytes{2, 3, 1, 255, 1, 62}));
    EXPECT_EQ(code->size(), size);
}

TEST(Encoder, WritesThroughTheAvailableEntries) {
    Bytes flash(0x10000, 0xAB);
    const std::size_t paletteOffset = 0x8000, startOffset = 0x100, dspOffset = 0x9000;
    Palette combined{};
    combined[0] = {1, 2, 3};
    combined[1] = {4, 5, 6};
    combined[2] = {7, 8, 9};
    const std::vector<std::uint8_t> list = {5, 9, 17};
    Bytes code = {0, 200, 1, 100, 2, 20};
    const Bytes before = flash;
    ASSERT_TRUE(NEU_zu_BIN(flash, startOffset, code, list, combined, 3, paletteOffset).ok());
    EXPECT_EQ(Bytes(flash.begin() + startOffset, flash.begin() + startOffset + 6), (Bytes{5, 200, 9, 100, 17, 20}));
    for (const std::size_t base : {paletteOffset, paletteOffset + 0x300}) {
        EXPECT_EQ(flash[base + 15], 1);
        EXPECT_EQ(flash[base + 27 + 2], 6);
        EXPECT_EQ(flash[base + 51 + 1], 8);
    }
    std::size_t changed = 0;
    for (std::size_t i = 0; i < flash.size(); ++i) changed += flash[i] != before[i];
    EXPECT_EQ(changed, 6u + 18u);

    std::vector<std::uint8_t> logo(1580, 2);
    logo[0] = 0;
    ASSERT_TRUE(DSP_zu_BIN(flash, dspOffset, logo, list).ok());
    EXPECT_EQ(flash[dspOffset], 5);
    EXPECT_EQ(flash[dspOffset + 1579], 17);

    // Nothing is written when any part falls outside the image or the list; the message says which.
    const Bytes kept = flash;
    EXPECT_EQ(NEU_zu_BIN(flash, flash.size() - 4, code, list, combined, 3, paletteOffset).message(), msg::kBadStartImageSpace);
    EXPECT_EQ(NEU_zu_BIN(flash, startOffset, Bytes{3, 1}, list, combined, 3, paletteOffset).message(), msg::kNoAvailableEntries);
    EXPECT_EQ(NEU_zu_BIN(flash, startOffset, code, list, combined, 4, paletteOffset).message(), msg::kNoAvailableEntries);
    EXPECT_EQ(NEU_zu_BIN(flash, startOffset, code, list, combined, 3, flash.size() - 0x5FF).message(),
              msg::kPalettesOutsideForStartImage);
    EXPECT_EQ(DSP_zu_BIN(flash, flash.size() - 1579, logo, list).message(), msg::kDspLogoOutside);
    EXPECT_EQ(DSP_zu_BIN(flash, dspOffset, std::vector<std::uint8_t>(1579), list).message(), msg::kNoFittedDspLogo);
    logo[7] = 3;
    EXPECT_EQ(DSP_zu_BIN(flash, dspOffset, logo, list).message(), msg::kNoAvailableEntries);
    EXPECT_EQ(flash, kept);
}

// --- expert selection ---

TEST(ExpertSelection, ClickLimits) {
    auto selection = [](int count) {
        EntrySelection s;
        for (int i = 0; i < count; ++i) s.flags[static_cast<std::size_t>(255 - i)] = true;  // from the top down
        s.count = count;
        return s;
    };
    struct Case {
        int count, entry;
        bool row, accepted;
        int countAfter;
    };
    const Case cases[] = {
        {128, 0, false, false, 128},  // adding at 128: refused
        {128, 255, false, true, 127}, // removing works
        {113, 0, true, false, 113},   // row add above 112: refused
        {112, 0, true, true, 128},    // row 0 holds no available entry: +16
        {17, 255, true, true, 1},     // clears the 16 entries of row 15
        {16, 255, true, false, 16},   // row remove below 17: refused
        {1, 255, false, false, 1},    // the last entry stays
        {2, 255, false, true, 1},
        {200, 0, false, false, 200},  // more than 128 from the file: adding refused
        {200, 100, false, true, 199}, // removing works
        {256, 16, true, true, 240},
    };
    for (const Case& c : cases) {
        EntrySelection s = selection(c.count);
        const EntrySelection before = s;
        EXPECT_EQ(I_Palette_U10MouseDown(s, c.entry, c.row), c.accepted) << c.count << " " << c.entry;
        EXPECT_EQ(s.count, c.countAfter) << c.count << " " << c.entry;
        if (!c.accepted) {
            EXPECT_EQ(s, before);
        }
        int flags = 0;
        for (bool f : s.flags) flags += f;
        EXPECT_EQ(flags, s.count);
    }
}

TEST(ExpertSelection, RowModeAndPointer) {
    // A row click sets the whole row to the opposite of the clicked entry, counting only changes.
    EntrySelection s;
    s.flags[32] = s.flags[40] = true;
    s.count = 2;
    EXPECT_TRUE(I_Palette_U10MouseDown(s, 33, true));
    EXPECT_EQ(s.count, 16);
    for (int e = 32; e < 48; ++e) EXPECT_TRUE(s.flags[static_cast<std::size_t>(e)]);
    EXPECT_TRUE(isRowMode(true, false, false, true, false));
    EXPECT_FALSE(isRowMode(true, false, false, false, true));  // Ctrl + right: single entry
    EXPECT_FALSE(isRowMode(true, true, false, true, false));
    EXPECT_EQ(selectionEntryAt(208, 0), 15);
    EXPECT_EQ(selectionEntryAt(13, 208), 241);
    EXPECT_EQ(selectionEntryAt(12, 12), 0);
}
