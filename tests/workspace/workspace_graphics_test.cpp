// The load sequence's decoded resources and the Workspace operations the windows call.
#include "workspace/workspace.hpp"
#include "flash/firmware_versions.hpp"
#include "graphics/grid.hpp"
#include "graphics/start_image.hpp"
#include "synthetic_firmware.hpp"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zarvelo;

namespace {

Workspace loaded(const synth::Options& options) {
    Workspace ws;
    const Status outcome = ws.loadBytes(synth::makeSample(options).dnl, "x.DNL");
    EXPECT_TRUE(outcome.ok()) << outcome.message();
    return ws;
}

// Offsets of all bytes that differ.
std::vector<std::size_t> differences(const Bytes& a, const Bytes& b) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) out.push_back(i);
    return out;
}

Palette paletteAt(const Bytes& flash, std::size_t offset) {
    Palette p;
    for (std::size_t i = 0; i < 256; ++i) p[i] = {flash[offset + 3 * i], flash[offset + 3 * i + 1], flash[offset + 3 * i + 2]};
    return p;
}

}  // namespace

TEST(WorkspaceResources, LoadDecodesEveryVersion) {
    for (int v = 1; v <= kVersionCount; ++v) {
        const auto sample = synth::makeSample({.version = v});
        const auto& version = firmwareVersion(v);
        Workspace ws;
        ASSERT_TRUE(ws.loadBytes(sample.dnl, "x.DNL").ok()) << v;
        EXPECT_TRUE(ws.startImageHeaderFound) << v;
        EXPECT_EQ(ws.startImageOffset, sample.startImageHeader + 4) << v;
        EXPECT_TRUE(ws.startImageComplete) << v;
        EXPECT_EQ(ws.imageDataSize, sample.imageDataSize) << v;
        EXPECT_EQ(ws.startImage, sample.startImage) << v;
        EXPECT_EQ(ws.dayPalette, paletteAt(sample.flash, static_cast<std::size_t>(version.paletteOffset))) << v;
        EXPECT_EQ(ws.nightPalette, paletteAt(sample.flash, static_cast<std::size_t>(version.paletteOffset) + 0x300)) << v;

        EntryFlags expected{};
        for (auto i : sample.startImage) expected[i] = true;
        if (version.dspLogoSupported()) {
            EXPECT_EQ(std::vector<std::uint16_t>(sample.dspLogo.begin(), sample.dspLogo.end()), ws.dspLogo) << v;
            ASSERT_FALSE(ws.dspIndexList.empty());
            EXPECT_EQ(ws.dspIndexList.front(), sample.dspLogo.front());
            for (auto i : sample.dspLogo) expected[i] = true;
        } else {
            EXPECT_TRUE(ws.dspIndexList.empty()) << v;
            EXPECT_EQ(*std::max_element(ws.dspPixelCounts.begin(), ws.dspPixelCounts.end()), 0) << v;
        }
        EXPECT_EQ(ws.availableEntries, expected) << v;
        EXPECT_EQ(ws.availableCount, std::count(expected.begin(), expected.end(), true)) << v;
        EXPECT_TRUE(std::is_sorted(ws.availableList.begin(), ws.availableList.end()));
        EXPECT_EQ(ws.availableList.size(), static_cast<std::size_t>(ws.availableCount));

        EXPECT_EQ(ws.gridActive, version.gridOffset > 0) << v;
        EXPECT_EQ(ws.gridState(), version.gridOffset > 0 ? GridState::Active : GridState::Absent) << v;
        EXPECT_EQ(ws.Check_TagNachtDiff(), DayNightDiff::Differs) << v;
    }
}

TEST(WorkspaceResources, ASecondLoadReplacesTheDocumentAndRejectedFilesChangeNothing) {
    Workspace ws = loaded({.version = 2});
    const auto second = synth::makeSample({.version = 9, .detail = 0});
    ASSERT_TRUE(ws.loadBytes(second.dnl, "y.DNL").ok());
    EXPECT_TRUE(ws.dspIndexList.empty());  // the first file's logo is gone with it
    EXPECT_EQ(ws.startImage, second.startImage);

    const Workspace before = ws;
    Bytes bad = synth::makeSample({.version = 3}).dnl;
    bad[100] ^= 1;
    EXPECT_FALSE(ws.loadBytes(bad, "bad.DNL").ok());
    EXPECT_EQ(ws.startImage, before.startImage);
    EXPECT_EQ(ws.dayPalette, before.dayPalette);
    EXPECT_EQ(ws.availableList, before.availableList);
    EXPECT_EQ(ws.imageDataSize, before.imageDataSize);
}

TEST(WorkspaceResources, DayNightStates) {
    EXPECT_EQ(loaded({.version = 6, .night = synth::NightPalette::SameAsDay}).Check_TagNachtDiff(), DayNightDiff::Identical);
    EXPECT_EQ(loaded({.version = 6, .night = synth::NightPalette::DiffersUnused}).Check_TagNachtDiff(), DayNightDiff::None);
    EXPECT_EQ(loaded({.version = 6, .night = synth::NightPalette::Darker}).Check_TagNachtDiff(), DayNightDiff::Differs);
}

TEST(WorkspaceResources, CorrectionInTheNightView) {
    Workspace ws = loaded({.version = 3});
    const Palette day = ws.dayPalette, night = ws.nightPalette;
    const Bytes before = ws.flash;
    const EntryFlags used = ws.usedEntries();
    ws.P_FixTagNachtClick(false);
    EXPECT_EQ(ws.nightPalette, night);
    for (std::size_t i = 0; i < 256; ++i) EXPECT_EQ(ws.dayPalette[i], used[i] ? night[i] : day[i]) << i;
    // This sample's palettes differed in used entries only: now they are identical.
    EXPECT_EQ(ws.Check_TagNachtDiff(), DayNightDiff::Identical);
    const std::size_t p = ws.paletteOffset();
    for (std::size_t at : differences(before, ws.flash)) {
        ASSERT_GE(at, p);
        ASSERT_LT(at, p + 768);
        EXPECT_TRUE(used[(at - p) / 3]);
    }
    // Where unused entries differ as well, the notice goes away but the palettes stay different.
    Workspace unused = loaded({.version = 3, .night = synth::NightPalette::DiffersUnused});
    unused.flash[unused.paletteOffset() + 3 * unused.startImage[0]] ^= 0x40;  // a used entry differs too
    unused.BIN_lese_Palette();
    ASSERT_EQ(unused.Check_TagNachtDiff(), DayNightDiff::Differs);
    unused.P_FixTagNachtClick(true);
    EXPECT_EQ(unused.Check_TagNachtDiff(), DayNightDiff::None);
}

TEST(WorkspaceResources, ColourEditorAcceptWritesThreeBytesOfTheShownPalette) {
    Workspace ws = loaded({.version = 4});
    const std::size_t p = ws.paletteOffset();
    Bytes before = ws.flash;
    ws.BIN_schreibe_Farbe(false, 0, {1, 2, 3});
    EXPECT_EQ(differences(before, ws.flash).size(), 3u);
    EXPECT_EQ(Bytes(ws.flash.begin() + p + 0x300, ws.flash.begin() + p + 0x303), (Bytes{1, 2, 3}));
    EXPECT_EQ(ws.nightPalette[0], (Rgb{1, 2, 3}));
    EXPECT_EQ(ws.dayPalette[0], paletteAt(before, p)[0]);

    // Rewriting the same colour changes nothing.
    before = ws.flash;
    ws.BIN_schreibe_Farbe(false, 0, {1, 2, 3});
    EXPECT_EQ(ws.flash, before);

    // Making two used colours equal lowers the count in the day view only.
    const int count = ws.startImageColourCount;
    const std::uint8_t a = ws.startImage[0], b = ws.startImage[233 * 320];
    ASSERT_NE(a, b);
    ws.BIN_schreibe_Farbe(false, a, ws.nightPalette[b]);
    EXPECT_EQ(ws.startImageColourCount, count);
    ws.BIN_schreibe_Farbe(true, a, ws.dayPalette[b]);
    EXPECT_EQ(ws.startImageColourCount, count - 1);
    EXPECT_EQ(Bytes(ws.flash.begin() + p + 3 * a, ws.flash.begin() + p + 3 * a + 3),
              (Bytes{ws.dayPalette[b].r, ws.dayPalette[b].g, ws.dayPalette[b].b}));
}

TEST(WorkspaceResources, GridReadingAndWriting) {
    Workspace inactive = loaded({.version = 2, .grid = synth::GridData::Inactive});
    EXPECT_FALSE(inactive.gridActive);
    EXPECT_EQ(inactive.gridState(), GridState::Inactive);

    Workspace foreign = loaded({.version = 5, .grid = synth::GridData::Foreign});
    EXPECT_FALSE(foreign.gridActive);
    const std::size_t g = static_cast<std::size_t>(firmwareVersion(5).gridOffset);
    const Bytes before = foreign.flash;
    foreign.BIN_Gitter(true);
    EXPECT_TRUE(foreign.gridActive);
    for (std::size_t at : differences(before, foreign.flash)) {
        ASSERT_GE(at, g);
        ASSERT_LT(at, g + kGridPatchSize);
    }
    EXPECT_TRUE(std::equal(kGridActiveForm.begin(), kGridActiveForm.end(), foreign.flash.begin() + static_cast<std::ptrdiff_t>(g)));
    foreign.BIN_Gitter(false);
    EXPECT_FALSE(foreign.gridActive);
    EXPECT_EQ(foreign.gridState(), GridState::Inactive);
    const auto off = gridInactiveForm();
    EXPECT_TRUE(std::equal(off.begin(), off.end(), foreign.flash.begin() + static_cast<std::ptrdiff_t>(g)));

    Workspace none = loaded({.version = 8});
    const Bytes noneBefore = none.flash;
    none.BIN_Gitter(true);
    EXPECT_EQ(none.flash, noneBefore);
    EXPECT_FALSE(none.gridActive);
}

TEST(WorkspaceResources, SaveReadsThePalettesBackAfterTheColourMode) {
    Workspace ws = loaded({.version = 1});
    const Palette day = ws.dayPalette, night = ws.nightPalette;
    ws.rebuildDnl(ColourMode::AlwaysDay);
    EXPECT_EQ(ws.nightPalette, day);
    ws.rebuildDnl(ColourMode::Normal);
    EXPECT_EQ(ws.nightPalette, day);
    Workspace swapped = loaded({.version = 1});
    swapped.rebuildDnl(ColourMode::Swap);
    EXPECT_EQ(swapped.dayPalette, night);
    EXPECT_EQ(swapped.nightPalette, day);
}

TEST(WorkspaceResources, AllEntriesUsed) {
    Workspace ws = loaded({.version = 7, .allEntries = true});
    EXPECT_EQ(ws.availableCount, 256);
    ASSERT_EQ(ws.availableList.size(), 256u);
    EXPECT_EQ(ws.availableList[255], 255);
    EXPECT_DOUBLE_EQ(ws.paletteCellWidth(512), 2.0);
    ws.availableEntries.fill(false);
    ws.Setze_MaxColor();
    EXPECT_EQ(ws.availableCount, 0);
    EXPECT_EQ(ws.paletteCellWidth(512), 0.0);
}

TEST(WorkspaceResources, MissingImageHeaderLoadsWithTheFallbackOffset) {
    for (int v : {2, 10}) {
        Workspace ws = loaded({.version = v, .imageHeader = false});
        EXPECT_TRUE(ws.fileLoaded);
        EXPECT_FALSE(ws.startImageHeaderFound);
        EXPECT_EQ(ws.startImageOffset, kStartImageFallbackOffset);
        EXPECT_GT(ws.imageDataSize, 0u);
        EXPECT_EQ(ws.availableCount, static_cast<int>(ws.availableList.size()));
    }
}

TEST(WorkspaceResources, RereadAfterTheStartImageEditor) {
    Workspace ws = loaded({.version = 2});
    // What an editor would write: a new first run pair, a palette entry and a logo pixel.
    const std::size_t o = ws.startImageOffset;
    const std::uint8_t run = ws.flash[o + 1];
    ws.flash[o] = 250;
    ws.flash[ws.paletteOffset() + 3 * 250] = 17;
    ws.flash[static_cast<std::size_t>(firmwareVersion(2).dspLogoOffset)] = 251;
    ws.rereadAfterStartImageEditor();
    EXPECT_EQ(ws.startImage[233 * 320], 250);
    EXPECT_EQ(ws.startImagePixelCounts[250], run);
    EXPECT_EQ(ws.dayPalette[250].r, 17);
    EXPECT_EQ(ws.dspLogo[0], 251);
    EXPECT_EQ(ws.dspIndexList.front(), 251);
}

TEST(WorkspaceResources, PreviewsUseTheShownPaletteAndSelection) {
    Workspace ws = loaded({.version = 3});
    const std::uint8_t index = ws.startImage[0];
    EXPECT_EQ(ws.startImagePreview(true).at(0, 0), ws.dayPalette[index]);
    EXPECT_EQ(ws.startImagePreview(false).at(0, 0), ws.nightPalette[index]);
    EXPECT_EQ(ws.dspLogoPreview(false).at(0, 0), ws.nightPalette[ws.dspLogo[0]]);
    const int selected = (index + 1) % 256;
    const Rgb contrast = KontrastFarbe(ws.nightPalette[static_cast<std::size_t>(selected)]);
    EXPECT_EQ(ws.startImagePreview(false, selected).at(0, 0), contrast);
}
