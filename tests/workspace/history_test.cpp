// The document's history: steps of flash-image runs, undo and redo back to the exact bytes
// and decoded state, the bound, the modified state and the notifications.

#include "workspace/history.hpp"
#include "workspace/start_image_handover.hpp"
#include "workspace/workspace.hpp"
#include "flash/dnl_file.hpp"
#include "flash/flash_image.hpp"
#include "flash/rebuild.hpp"
#include "graphics/messages.hpp"
#include "editor_result.hpp"
#include "synthetic_firmware.hpp"
#include "test_files.hpp"
#include "test_pictures.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace zarvelo;
using test::TempDir;

namespace {

// Everything a load decodes from the flash image, and the available entries.
struct Derived {
    Bytes flash;
    Palette day, night;
    std::vector<std::uint8_t> startImage;
    std::vector<std::uint16_t> dspLogo;
    std::array<std::int32_t, 256> counts, dspCounts;
    int colourCount;
    std::vector<std::uint8_t> dspList;
    std::uint32_t imageDataSize;
    bool gridActive;
    std::array<std::string, 4> info;
    std::array<bool, 256> available;
    int availableCount;
    bool operator==(const Derived&) const = default;
};

Derived derived(const Workspace& ws) {
    return {ws.flash(),         ws.dayPalette(), ws.nightPalette(),     ws.startImage(),         ws.dspLogo(),
            ws.startImagePixelCounts(), ws.dspPixelCounts(), ws.startImageColourCount(), ws.dspIndexList(),
            ws.imageDataSize(), ws.gridActive(), ws.infoLines(),        ws.availableEntries(),   ws.availableCount()};
}

Workspace loaded(const synth::Options& options) {
    Workspace ws;
    const Status outcome = ws.loadBytes(synth::makeSample(options).dnl, "V2DG2322.DNL");
    EXPECT_TRUE(outcome.ok()) << outcome.message();
    return ws;
}

std::uint8_t usedEntry(const Workspace& ws) { return ws.startImage()[50 * 320 + 50]; }

}  // namespace

TEST(HistoryRuns, OnlyTheDifferingBytesAreKept) {
    struct Case {
        const char* name;
        std::vector<std::size_t> changed;
        std::vector<std::pair<std::size_t, std::size_t>> runs;  // offset, length
    };
    const Case cases[] = {
        {"nothing", {}, {}},
        {"one byte", {100}, {{100, 1}}},
        {"first and last byte", {0, 4095}, {{0, 1}, {4095, 1}}},
        {"close bytes join", {200, 210}, {{200, 11}}},
        {"distant bytes stay apart", {200, 300}, {{200, 1}, {300, 1}}},
        {"a block across the fast compare", {60, 61, 62, 63, 64, 65, 66, 67}, {{60, 8}}},
    };
    for (const Case& c : cases) {
        Bytes before(4096);
        for (std::size_t i = 0; i < before.size(); ++i) before[i] = static_cast<std::uint8_t>(i * 7);
        Bytes after = before;
        for (const std::size_t i : c.changed) after[i] ^= 0x5A;
        const std::vector<FlashRun> runs = differingRuns(before, after);
        ASSERT_EQ(runs.size(), c.runs.size()) << c.name;
        for (std::size_t r = 0; r < runs.size(); ++r) {
            EXPECT_EQ(runs[r].offset, c.runs[r].first) << c.name;
            EXPECT_EQ(runs[r].before.size(), c.runs[r].second) << c.name;
            EXPECT_EQ(runs[r].after.size(), c.runs[r].second) << c.name;
        }
        // Applying the runs either way gives the images back.
        HistoryStep step;
        step.runs = runs;
        EntryTable entries{};
        Bytes image = before;
        step.apply(image, entries, true);
        EXPECT_EQ(image, after) << c.name;
        step.apply(image, entries, false);
        EXPECT_EQ(image, before) << c.name;
    }
}

TEST(History, UndoAndRedoOfEveryKindGiveBackTheImageAndWhatALoadDecodes) {
    TempDir dir;
    struct Case {
        const char* name;
        synth::Options options;
        std::function<void(Workspace&)> apply;
        ChangeKind kind;
        const char* label;
    };
    const Case cases[] = {
        {"colour editor", {.version = 6}, [](Workspace& ws) { ASSERT_TRUE(ws.BIN_schreibe_Farbe(true, usedEntry(ws), {1, 2, 3}).ok()); },
         ChangeKind::Palettes, steplabel::kColour},
        {"night colour", {.version = 2}, [](Workspace& ws) { ASSERT_TRUE(ws.BIN_schreibe_Farbe(false, usedEntry(ws), {9, 8, 7}).ok()); }, ChangeKind::Palettes, steplabel::kColour},
        {"day and night corrected", {.version = 3, .night = synth::NightPalette::Darker},
         [](Workspace& ws) { ASSERT_TRUE(ws.P_FixTagNachtClick(true).ok()); }, ChangeKind::Palettes, steplabel::kDayNight},
        {"grid off", {.version = 4}, [](Workspace& ws) { ASSERT_TRUE(ws.BIN_Gitter(false).ok()); }, ChangeKind::Grid, steplabel::kGridOff},
        {"grid on", {.version = 1, .grid = synth::GridData::Inactive}, [](Workspace& ws) { ASSERT_TRUE(ws.BIN_Gitter(true).ok()); },
         ChangeKind::Grid, steplabel::kGridOn},
        {"texts", {.version = 11}, [](Workspace& ws) {
             Result<TextList> read = ws.BIN_zu_TexteArray();
             ASSERT_TRUE(read.ok()) << read.message();
             ASSERT_TRUE(Edit_zu_TexteArray(read.value(), 0, "Q", OverlongMode::Sperren).ok());
             ASSERT_TRUE(ws.TexteArray_zu_BIN(read.value()).ok());
         }, ChangeKind::Texts, steplabel::kTexts},
        {"start image and logo", {.version = 2}, [](Workspace& ws) {
             StartImageEditor editor;
             editor.Zeige_vorhandene_Bilder_an(editorInputs(ws));
             ASSERT_EQ(synth::importedAs(editor.importPicture(synth::photoPicture(3, 40))), ImportKind::StartImage);
             ASSERT_TRUE(BB_schreibe_NEU_in_BINClick(ws, editor).ok());
         }, ChangeKind::StartImage, steplabel::kStartImage},
        {"colour mode of a save", {.version = 4}, [&](Workspace& ws) {
             ASSERT_TRUE(ws.saveDnl(dir.file("saved.DNL"), ColourMode::Swap).ok());
         }, ChangeKind::ColourMode, steplabel::kColourMode},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace ws = loaded(c.options);
        const Derived atLoad = derived(ws);
        c.apply(ws);
        const Derived changed = derived(ws);
        ASSERT_NE(changed.flash, atLoad.flash);
        ASSERT_EQ(ws.history().size(), 1u);
        EXPECT_EQ(ws.history().nextUndo()->kind, c.kind);
        EXPECT_EQ(ws.history().nextUndo()->label, c.label);
        // A step keeps what it touched, far less than the image.
        EXPECT_LT(ws.history().memorySize(), ws.flash().size() / 4);

        ASSERT_TRUE(ws.undo());
        Derived expectedAtLoad = atLoad;
        // The saved file is no original any more, whatever is undone in memory.
        if (c.kind == ChangeKind::ColourMode) expectedAtLoad.info[3] = ws.infoLines()[3];
        EXPECT_TRUE(derived(ws) == expectedAtLoad);
        EXPECT_FALSE(ws.undo());
        ASSERT_TRUE(ws.redo());
        EXPECT_TRUE(derived(ws) == changed);
        EXPECT_FALSE(ws.redo());

        // What a load of the changed image decodes (information lines aside: a rebuilt file
        // is no original; available entries aside: a load takes the used ones).
        Workspace reference;
        ASSERT_TRUE(reference.loadBytes(synth::withFlash(ws.dnl(), ws.flash()), "X.DNL").ok());
        Derived expected = derived(reference);
        // The rebuilt file carries a fresh flash checksum; the rest is the image itself.
        Bytes withChecksum = ws.flash();
        BIN_schreibe_Pruefsumme(withChecksum);
        EXPECT_EQ(expected.flash, withChecksum);
        expected.flash = changed.flash;
        expected.info = changed.info;
        expected.available = changed.available;
        expected.availableCount = changed.availableCount;
        EXPECT_TRUE(derived(ws) == expected);
    }
}

TEST(History, ANewStepDropsWhatCouldBeRedone) {
    Workspace ws = loaded({.version = 4});
    ASSERT_TRUE(ws.BIN_Gitter(false).ok());
    ASSERT_TRUE(ws.BIN_schreibe_Farbe(true, usedEntry(ws), {1, 1, 1}).ok());
    ASSERT_TRUE(ws.undo());
    ASSERT_TRUE(ws.history().canRedo());
    ASSERT_TRUE(ws.P_FixTagNachtClick(true).ok());
    EXPECT_FALSE(ws.history().canRedo());
    EXPECT_FALSE(ws.redo());
    EXPECT_EQ(ws.history().size(), 2u);
    EXPECT_EQ(ws.history().nextUndo()->label, steplabel::kDayNight);
}

TEST(History, NothingChangedRecordsNothingAndARefusedChangeTellsNoOne) {
    Workspace ws = loaded({.version = 4});
    std::vector<DocumentChange> heard;
    ws.addListener([&](const DocumentChange& c) { heard.push_back(c); });
    ASSERT_TRUE(ws.BIN_Gitter(true).ok());  // already on: applied, but nothing differs
    EXPECT_EQ(ws.history().size(), 0u);
    EXPECT_EQ(heard.size(), 1u);
    Workspace noGrid = loaded({.version = 9});
    noGrid.addListener([&](const DocumentChange& c) { heard.push_back(c); });
    EXPECT_EQ(noGrid.BIN_Gitter(false).message(), msg::kNoGridPatch);
    EXPECT_EQ(noGrid.history().size(), 0u);
    EXPECT_EQ(heard.size(), 1u);
    EXPECT_FALSE(noGrid.isModified());
}

TEST(History, TheBoundDropsTheOldestSteps) {
    Workspace ws = loaded({.version = 4});
    const std::size_t total = History::kMaxSteps + 50;
    for (std::size_t k = 0; k < total; ++k) ASSERT_TRUE(ws.BIN_Gitter(k % 2 == 1).ok());  // off, on, off, ...
    EXPECT_EQ(ws.history().size(), History::kMaxSteps);
    std::size_t undone = 0;
    while (ws.undo()) ++undone;
    EXPECT_EQ(undone, History::kMaxSteps);
    // Back to the state after the first 50 steps; the loaded state is out of reach.
    EXPECT_EQ(ws.gridActive(), (50 - 1) % 2 == 1);
    EXPECT_TRUE(ws.isModified());
}

TEST(History, ModifiedFollowsChangeSaveUndoAndLoad) {
    TempDir dir;
    Workspace ws = loaded({.version = 4});
    const Bytes atLoad = ws.flash();
    EXPECT_FALSE(ws.isModified());
    ASSERT_TRUE(ws.BIN_Gitter(false).ok());
    EXPECT_TRUE(ws.isModified());
    ws.undo();
    EXPECT_FALSE(ws.isModified());  // back at the loaded state
    ws.redo();
    EXPECT_TRUE(ws.isModified());
    ASSERT_TRUE(ws.saveDnl(dir.file("a.DNL"), ColourMode::Normal).ok());
    EXPECT_FALSE(ws.isModified());
    // The normal colour mode writes nothing of its own; the fresh flash checksum belongs to
    // the step before, and undoing that step takes it back too.
    EXPECT_EQ(ws.history().size(), 1u);
    ws.undo();
    EXPECT_TRUE(ws.isModified());  // the file holds the grid off
    EXPECT_EQ(ws.flash(), atLoad);   // checksum included
    ws.redo();
    EXPECT_FALSE(ws.isModified());

    // A colour mode is a step before the saved position: undoing it leaves unsaved changes.
    ASSERT_TRUE(ws.saveDnl(dir.file("b.DNL"), ColourMode::AlwaysNight).ok());
    EXPECT_FALSE(ws.isModified());
    EXPECT_EQ(ws.history().nextUndo()->kind, ChangeKind::ColourMode);
    ws.undo();
    EXPECT_TRUE(ws.isModified());

    // A failed save marks nothing.
    ASSERT_FALSE(ws.saveDnl(dir.file("missing/c.DNL"), ColourMode::Normal).ok());
    EXPECT_TRUE(ws.isModified());

    // A new branch after the saved state cannot reach it again.
    ASSERT_TRUE(ws.BIN_schreibe_Farbe(true, usedEntry(ws), {5, 5, 5}).ok());
    EXPECT_TRUE(ws.isModified());
    ws.undo();
    EXPECT_TRUE(ws.isModified());

    ASSERT_TRUE(ws.loadFile(dir.file("a.DNL")).ok());
    EXPECT_FALSE(ws.isModified());
    EXPECT_EQ(ws.history().size(), 0u);
}

TEST(History, TheEntryChoiceAloneIsAStepASaveDoesNotWrite) {
    Workspace ws = loaded({.version = 4});
    int unused = 0;
    while (ws.availableEntries()[static_cast<std::size_t>(unused)]) ++unused;
    const auto before = ws.availableEntries();
    const int countBefore = ws.availableCount();
    EntryTable entries = before;
    entries[static_cast<std::size_t>(unused)] = true;
    ASSERT_TRUE(ws.takeStartImage([](Bytes&) { return Status(); }, entries).ok());
    ASSERT_EQ(ws.history().size(), 1u);
    EXPECT_EQ(ws.history().nextUndo()->kind, ChangeKind::Entries);
    EXPECT_EQ(ws.history().nextUndo()->label, steplabel::kEntries);
    EXPECT_FALSE(ws.isModified());
    EXPECT_EQ(ws.availableCount(), countBefore + 1);
    ws.undo();
    EXPECT_EQ(ws.availableEntries(), before);
    EXPECT_EQ(ws.availableCount(), countBefore);
    ws.redo();
    EXPECT_TRUE(ws.availableEntries()[static_cast<std::size_t>(unused)]);
}

TEST(History, ListenersHearEveryChangeWithItsKindAndCause) {
    TempDir dir;
    Workspace ws;
    std::vector<std::pair<ChangeKind, ChangeCause>> heard;
    ws.addListener([&](const DocumentChange& c) { heard.push_back({c.kind, c.cause}); });
    ASSERT_TRUE(ws.loadBytes(synth::makeSample({.version = 4}).dnl, "A.DNL").ok());
    ASSERT_TRUE(ws.BIN_Gitter(false).ok());
    ws.undo();
    ws.redo();
    ASSERT_TRUE(ws.saveDnl(dir.file("a.DNL"), ColourMode::AlwaysDay).ok());
    ASSERT_TRUE(ws.saveDnl(dir.file("b.DNL"), ColourMode::Normal).ok());
    const std::vector<std::pair<ChangeKind, ChangeCause>> expected = {
        {ChangeKind::File, ChangeCause::Load},         {ChangeKind::Grid, ChangeCause::Apply},
        {ChangeKind::Grid, ChangeCause::Undo},         {ChangeKind::Grid, ChangeCause::Redo},
        {ChangeKind::ColourMode, ChangeCause::Save},   {ChangeKind::Saved, ChangeCause::Save},
    };
    EXPECT_EQ(heard, expected);
}
