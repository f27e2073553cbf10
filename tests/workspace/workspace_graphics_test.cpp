// The load sequence's decoded resources and the Workspace operations the windows call.
#include "workspace/workspace.hpp"
#include "flash/firmware_versions.hpp"
#include "flash/messages.hpp"
#include "graphics/grid.hpp"
#include "graphics/messages.hpp"
#include "graphics/start_image.hpp"
#include "synthetic_firmware.hpp"
#include "test_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

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
        EXPECT_TRUE(ws.startImageHeaderFound()) << v;
        EXPECT_EQ(ws.startImageOffset(), sample.startImageHeader + 4) << v;
        EXPECT_TRUE(ws.startImageComplete()) << v;
        EXPECT_EQ(ws.imageDataSize(), sample.imageDataSize) << v;
        EXPECT_EQ(ws.startImage(), sample.startImage) << v;
        EXPECT_EQ(ws.dayPalette(), paletteAt(sample.flash, static_cast<std::size_t>(version.paletteOffset))) << v;
        EXPECT_EQ(ws.nightPalette(), paletteAt(sample.flash, static_cast<std::size_t>(version.paletteOffset) + 0x300)) << v;

        EntryFlags expected{};
        for (auto i : sample.startImage) expected[i] = true;
        if (version.dspLogoSupported()) {
            EXPECT_EQ(std::vector<std::uint16_t>(sample.dspLogo.begin(), sample.dspLogo.end()), ws.dspLogo()) << v;
            ASSERT_FALSE(ws.dspIndexList().empty());
            EXPECT_EQ(ws.dspIndexList().front(), sample.dspLogo.front());
            for (auto i : sample.dspLogo) expected[i] = true;
        } else {
            EXPECT_TRUE(ws.dspIndexList().empty()) << v;
            EXPECT_EQ(*std::max_element(ws.dspPixelCounts().begin(), ws.dspPixelCounts().end()), 0) << v;
        }
        EXPECT_EQ(ws.availableEntries(), expected) << v;
        EXPECT_EQ(ws.availableCount(), std::count(expected.begin(), expected.end(), true)) << v;
        EXPECT_TRUE(std::is_sorted(ws.availableList().begin(), ws.availableList().end()));
        EXPECT_EQ(ws.availableList().size(), static_cast<std::size_t>(ws.availableCount()));

        EXPECT_EQ(ws.gridActive(), version.gridOffset > 0) << v;
        EXPECT_EQ(ws.gridState(), version.gridOffset > 0 ? GridState::Active : GridState::Absent) << v;
        EXPECT_EQ(ws.Check_TagNachtDiff(), DayNightDiff::Differs) << v;
    }
}

TEST(WorkspaceResources, ASecondLoadReplacesTheDocumentAndRejectedFilesChangeNothing) {
    Workspace ws = loaded({.version = 2});
    const auto second = synth::makeSample({.version = 9, .detail = 0});
    ASSERT_TRUE(ws.loadBytes(second.dnl, "y.DNL").ok());
    EXPECT_TRUE(ws.dspIndexList().empty());  // the first file's logo is gone with it
    EXPECT_EQ(ws.startImage(), second.startImage);

    const Workspace before = ws;
    Bytes bad = synth::makeSample({.version = 3}).dnl;
    bad[100] ^= 1;
    EXPECT_FALSE(ws.loadBytes(bad, "bad.DNL").ok());
    EXPECT_EQ(ws.startImage(), before.startImage());
    EXPECT_EQ(ws.dayPalette(), before.dayPalette());
    EXPECT_EQ(ws.availableList(), before.availableList());
    EXPECT_EQ(ws.imageDataSize(), before.imageDataSize());
}

TEST(WorkspaceResources, DayNightStates) {
    EXPECT_EQ(loaded({.version = 6, .night = synth::NightPalette::SameAsDay}).Check_TagNachtDiff(), DayNightDiff::Identical);
    EXPECT_EQ(loaded({.version = 6, .night = synth::NightPalette::DiffersUnused}).Check_TagNachtDiff(), DayNightDiff::None);
    EXPECT_EQ(loaded({.version = 6, .night = synth::NightPalette::Darker}).Check_TagNachtDiff(), DayNightDiff::Differs);
}

TEST(WorkspaceResources, CorrectionInTheNightView) {
    Workspace ws = loaded({.version = 3});
    const Palette day = ws.dayPalette(), night = ws.nightPalette();
    const Bytes before = ws.flash();
    const EntryFlags used = ws.usedEntries();
    ASSERT_TRUE(ws.P_FixTagNachtClick(false).ok());
    EXPECT_EQ(ws.nightPalette(), night);
    for (std::size_t i = 0; i < 256; ++i) EXPECT_EQ(ws.dayPalette()[i], used[i] ? night[i] : day[i]) << i;
    // This sample's palettes differed in used entries only: now they are identical.
    EXPECT_EQ(ws.Check_TagNachtDiff(), DayNightDiff::Identical);
    const std::size_t p = ws.paletteOffset();
    for (std::size_t at : differences(before, ws.flash())) {
        ASSERT_GE(at, p);
        ASSERT_LT(at, p + 768);
        EXPECT_TRUE(used[(at - p) / 3]);
    }
    // Where unused entries differ as well, the notice goes away but the palettes stay different.
    Workspace unused = loaded({.version = 3, .night = synth::NightPalette::DiffersUnused});
    Bytes flash = unused.flash();
    flash[unused.paletteOffset() + 3 * unused.startImage()[0]] ^= 0x40;  // a used entry differs too
    ASSERT_TRUE(unused.loadBytes(synth::withFlash(unused.dnl(), flash), "x.DNL").ok());
    ASSERT_EQ(unused.Check_TagNachtDiff(), DayNightDiff::Differs);
    ASSERT_TRUE(unused.P_FixTagNachtClick(true).ok());
    EXPECT_EQ(unused.Check_TagNachtDiff(), DayNightDiff::None);
}

TEST(WorkspaceResources, ColourEditorAcceptWritesThreeBytesOfTheShownPalette) {
    Workspace ws = loaded({.version = 4});
    const std::size_t p = ws.paletteOffset();
    Bytes before = ws.flash();
    ASSERT_TRUE(ws.BIN_schreibe_Farbe(false, 0, {1, 2, 3}).ok());
    EXPECT_EQ(differences(before, ws.flash()).size(), 3u);
    EXPECT_EQ(Bytes(ws.flash().begin() + p + 0x300, ws.flash().begin() + p + 0x303), (Bytes{1, 2, 3}));
    EXPECT_EQ(ws.nightPalette()[0], (Rgb{1, 2, 3}));
    EXPECT_EQ(ws.dayPalette()[0], paletteAt(before, p)[0]);

    // Rewriting the same colour changes nothing.
    before = ws.flash();
    ASSERT_TRUE(ws.BIN_schreibe_Farbe(false, 0, {1, 2, 3}).ok());
    EXPECT_EQ(ws.flash(), before);

    // Making two used colours equal lowers the count in the day view only.
    const int count = ws.startImageColourCount();
    const std::uint8_t a = ws.startImage()[0], b = ws.startImage()[233 * 320];
    ASSERT_NE(a, b);
    ASSERT_TRUE(ws.BIN_schreibe_Farbe(false, a, ws.nightPalette()[b]).ok());
    EXPECT_EQ(ws.startImageColourCount(), count);
    ASSERT_TRUE(ws.BIN_schreibe_Farbe(true, a, ws.dayPalette()[b]).ok());
    EXPECT_EQ(ws.startImageColourCount(), count - 1);
    EXPECT_EQ(Bytes(ws.flash().begin() + p + 3 * a, ws.flash().begin() + p + 3 * a + 3),
              (Bytes{ws.dayPalette()[b].r, ws.dayPalette()[b].g, ws.dayPalette()[b].b}));
}

TEST(WorkspaceResources, GridReadingAndWriting) {
    Workspace inactive = loaded({.version = 2, .grid = synth::GridData::Inactive});
    EXPECT_FALSE(inactive.gridActive());
    EXPECT_EQ(inactive.gridState(), GridState::Inactive);

    Workspace foreign = loaded({.version = 5, .grid = synth::GridData::Foreign});
    EXPECT_FALSE(foreign.gridActive());
    const std::size_t g = static_cast<std::size_t>(firmwareVersion(5).gridOffset);
    const Bytes before = foreign.flash();
    ASSERT_TRUE(foreign.BIN_Gitter(true).ok());
    EXPECT_TRUE(foreign.gridActive());
    for (std::size_t at : differences(before, foreign.flash())) {
        ASSERT_GE(at, g);
        ASSERT_LT(at, g + kGridPatchSize);
    }
    EXPECT_TRUE(std::equal(kGridActiveForm.begin(), kGridActiveForm.end(), foreign.flash().begin() + static_cast<std::ptrdiff_t>(g)));
    ASSERT_TRUE(foreign.BIN_Gitter(false).ok());
    EXPECT_FALSE(foreign.gridActive());
    EXPECT_EQ(foreign.gridState(), GridState::Inactive);
    const auto off = gridInactiveForm();
    EXPECT_TRUE(std::equal(off.begin(), off.end(), foreign.flash().begin() + static_cast<std::ptrdiff_t>(g)));

    Workspace none = loaded({.version = 8});
    const Bytes noneBefore = none.flash();
    EXPECT_EQ(none.BIN_Gitter(true).message(), msg::kNoGridPatch);
    EXPECT_EQ(none.flash(), noneBefore);
    EXPECT_FALSE(none.gridActive());
}

// An edit without a loaded file, or a grid switch on a version without grid lines, says why
// it is refused, changes nothing, records no step and tells no one.
TEST(WorkspaceResources, RefusedEditsSayWhyAndChangeNothing) {
    struct Case {
        const char* name;
        int version;  // 0: no file loaded
        std::function<Status(Workspace&)> edit;
        std::string message;
    };
    const Case cases[] = {
        {"colour, no file", 0, [](Workspace& ws) { return ws.BIN_schreibe_Farbe(true, 3, {1, 2, 3}); }, msg::kNoFileLoaded},
        {"day and night, no file", 0, [](Workspace& ws) { return ws.P_FixTagNachtClick(false); }, msg::kNoFileLoaded},
        {"grid, no file", 0, [](Workspace& ws) { return ws.BIN_Gitter(true); }, msg::kNoFileLoaded},
        {"grid, none in the version", 9, [](Workspace& ws) { return ws.BIN_Gitter(true); }, msg::kNoGridPatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace ws = c.version ? loaded({.version = c.version}) : Workspace();
        const Bytes before = ws.flash();
        const Palette day = ws.dayPalette(), night = ws.nightPalette();
        const bool grid = ws.gridActive();
        int heard = 0;
        ws.addListener([&](const DocumentChange&) { ++heard; });
        EXPECT_EQ(c.edit(ws).message(), c.message);
        EXPECT_EQ(ws.flash(), before);
        EXPECT_EQ(ws.dayPalette(), day);
        EXPECT_EQ(ws.nightPalette(), night);
        EXPECT_EQ(ws.gridActive(), grid);
        EXPECT_EQ(ws.history().size(), 0u);
        EXPECT_EQ(heard, 0);
    }
}

TEST(WorkspaceResources, SaveReadsThePalettesBackAfterTheColourMode) {
    test::TempDir dir;
    Workspace ws = loaded({.version = 1});
    const Palette day = ws.dayPalette(), night = ws.nightPalette();
    ASSERT_TRUE(ws.saveDnl(dir.file("day.DNL"), ColourMode::AlwaysDay).ok());
    EXPECT_EQ(ws.nightPalette(), day);
    ASSERT_TRUE(ws.saveDnl(dir.file("normal.DNL"), ColourMode::Normal).ok());
    EXPECT_EQ(ws.nightPalette(), day);
    Workspace swapped = loaded({.version = 1});
    ASSERT_TRUE(swapped.saveDnl(dir.file("swap.DNL"), ColourMode::Swap).ok());
    EXPECT_EQ(swapped.dayPalette(), night);
    EXPECT_EQ(swapped.nightPalette(), day);
}

TEST(WorkspaceResources, AllEntriesUsed) {
    Workspace ws = loaded({.version = 7, .allEntries = true});
    EXPECT_EQ(ws.availableCount(), 256);
    ASSERT_EQ(ws.availableList().size(), 256u);
    EXPECT_EQ(ws.availableList()[255], 255);
    EXPECT_DOUBLE_EQ(ws.paletteCellWidth(512), 2.0);
    ASSERT_TRUE(ws.takeStartImage([](Bytes&) { return Status(); }, EntryTable{}).ok());
    EXPECT_EQ(ws.availableCount(), 0);
    EXPECT_EQ(ws.paletteCellWidth(512), 0.0);
}

TEST(WorkspaceResources, MissingImageHeaderLoadsWithTheFallbackOffset) {
    for (int v : {2, 10}) {
        Workspace ws = loaded({.version = v, .imageHeader = false});
        EXPECT_TRUE(ws.fileLoaded());
        EXPECT_FALSE(ws.startImageHeaderFound());
        EXPECT_EQ(ws.startImageOffset(), kStartImageFallbackOffset);
        EXPECT_GT(ws.imageDataSize(), 0u);
        EXPECT_EQ(ws.availableCount(), static_cast<int>(ws.availableList().size()));
    }
}

TEST(WorkspaceResources, RereadAfterTheStartImageEditor) {
    Workspace ws = loaded({.version = 2});
    // What an editor would write: a new first run pair, a palette entry and a logo pixel.
    const std::size_t o = ws.startImageOffset();
    const std::uint8_t run = ws.flash()[o + 1];
    const std::size_t palette = ws.paletteOffset();
    ASSERT_TRUE(ws.takeStartImage(
        [&](Bytes& flash) {
            flash[o] = 250;
            flash[palette + 3 * 250] = 17;
            flash[static_cast<std::size_t>(firmwareVersion(2).dspLogoOffset)] = 251;
            return Status();
        },
        ws.availableEntries()).ok());
    EXPECT_EQ(ws.startImage()[233 * 320], 250);
    EXPECT_EQ(ws.startImagePixelCounts()[250], run);
    EXPECT_EQ(ws.dayPalette()[250].r, 17);
    EXPECT_EQ(ws.dspLogo()[0], 251);
    EXPECT_EQ(ws.dspIndexList().front(), 251);
}

TEST(WorkspaceResources, PreviewsUseTheShownPaletteAndSelection) {
    Workspace ws = loaded({.version = 3});
    const std::uint8_t index = ws.startImage()[0];
    EXPECT_EQ(ws.startImagePreview(true).at(0, 0), ws.dayPalette()[index]);
    EXPECT_EQ(ws.startImagePreview(false).at(0, 0), ws.nightPalette()[index]);
    EXPECT_EQ(ws.dspLogoPreview(false).at(0, 0), ws.nightPalette()[ws.dspLogo()[0]]);
    const int selected = (index + 1) % 256;
    const Rgb contrast = KontrastFarbe(ws.nightPalette()[static_cast<std::size_t>(selected)]);
    EXPECT_EQ(ws.startImagePreview(false, selected).at(0, 0), contrast);
}
