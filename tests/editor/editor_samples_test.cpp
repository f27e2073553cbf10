// The whole road on a sample of every firmware version: load, take over, import, reduce,
// fit, write; then the start image decoded again from the flash image must be AKT.
#include "workspace/start_image_handover.hpp"
#include "flash/firmware_versions.hpp"
#include "graphics/palette_block.hpp"
#include "synthetic_firmware.hpp"
#include "test_pictures.hpp"

#include <gtest/gtest.h>

using namespace zarvelo;

namespace {

// Bytes the editor may change: run pairs, the available entries of both palettes, the logo.
std::vector<bool> writableBytes(const Workspace& ws) {
    std::vector<bool> mayChange(ws.flash.size());
    for (std::size_t p = 0; p < ws.imageDataSize; ++p) mayChange[ws.startImageOffset + p] = true;
    for (auto e : ws.availableList)
        for (std::size_t k = 0; k < 3; ++k)
            for (const std::size_t base : {ws.paletteOffset(), ws.paletteOffset() + 0x300}) mayChange[base + 3 * e + k] = true;
    const auto dspOffset = firmwareVersion(ws.versionIndex).dspLogoOffset;
    if (dspOffset > 0)
        for (std::size_t p = 0; p < 1580; ++p) mayChange[static_cast<std::size_t>(dspOffset) + p] = true;
    return mayChange;
}

void expectWrittenAsEdited(const Workspace& before, Workspace& ws, const StartImageEditor& ed) {
    const std::vector<bool> mayChange = writableBytes(before);
    for (std::size_t p = 0; p < ws.flash.size(); ++p)
        if (!mayChange[p]) {
            ASSERT_EQ(ws.flash[p], before.flash[p]) << "byte " << p;
        }
    const std::uint32_t sizeBefore = ws.imageDataSize;
    ws.rereadAfterStartImageEditor();
    EXPECT_EQ(ws.imageDataSize, sizeBefore);
    const Palette& combined = ed.combinedPalette();
    for (std::size_t p = 0; p < ws.startImage.size(); ++p) {
        ASSERT_EQ(ws.dayPalette[ws.startImage[p]], combined[ed.AKT.index[p]]) << "pixel " << p;
        ASSERT_EQ(ws.nightPalette[ws.startImage[p]], combined[ed.AKT.index[p]]) << "pixel " << p;
    }
    if (ws.dspLogoSupported)
        for (std::size_t p = 0; p < 1580; ++p) {
            ASSERT_EQ(ws.dayPalette[ws.dspLogo[p] & 0xFF], combined[ed.fit.finalImage[p]]) << "logo pixel " << p;
            ASSERT_EQ(ws.dayPalette[ws.dspLogo[p] & 0xFF], ed.fit.finalDspPalette[ed.AKT_DSP.index[p]]);
        }
}

}  // namespace

class EveryVersion : public ::testing::TestWithParam<int> {};

TEST_P(EveryVersion, WrittenStartImageDecodesToAkt) {
    const int version = GetParam();
    for (const bool large : {false, true}) {
        Workspace ws;
        ASSERT_TRUE(ws.loadBytes(synth::makeSample({.version = version, .largeImage = large, .detail = 1}).dnl, "x.DNL").ok());
        ASSERT_TRUE(ws.startImageHeaderFound);
        const Workspace before = ws;

        StartImageEditor ed;
        ed.Zeige_vorhandene_Bilder_an(editorInputs(ws));
        ASSERT_EQ(ed.importPicture(synth::photoPicture(static_cast<std::uint32_t>(version), 256)).kind, ImportKind::StartImage);
        ASSERT_LT(ed.maximumPossible, 256);  // the firmware's space forces a reduction
        ed.TB_StartbildChange(ed.AKT.count - 3);
        if (ws.dspLogoSupported) {
            RgbImage logo(79, 20);
            for (int p = 0; p < 1580; ++p) logo.set(p % 79, p / 79, {static_cast<std::uint8_t>(p % 37 * 7), 90, 200});
            ASSERT_EQ(ed.importPicture(logo).kind, ImportKind::DspLogo);
        }
        ASSERT_TRUE(BB_schreibe_NEU_in_BINClick(ws, ed).ok());
        expectWrittenAsEdited(before, ws, ed);
        if (HasFailure()) return;
    }
}

TEST_P(EveryVersion, TakeOverAndWriteBack) {
    // Accepting the taken-over picture unchanged writes a picture that looks the same.
    Workspace ws;
    ASSERT_TRUE(ws.loadBytes(synth::makeSample({.version = GetParam()}).dnl, "x.DNL").ok());
    const Workspace before = ws;
    const RgbImage shown = ws.startImagePreview(true);
    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(editorInputs(ws));
    EXPECT_EQ(ed.AKT.count, ed.O.count);
    ASSERT_TRUE(BB_schreibe_NEU_in_BINClick(ws, ed).ok());
    expectWrittenAsEdited(before, ws, ed);
    EXPECT_EQ(ws.startImagePreview(true), shown);
}

INSTANTIATE_TEST_SUITE_P(Samples, EveryVersion, ::testing::Range(1, kVersionCount + 1));

TEST(EditorHandover, RefusedWithoutImageHeader) {
    Workspace ws;
    ASSERT_TRUE(ws.loadBytes(synth::makeSample({.version = 3}).dnl, "x.DNL").ok());
    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(editorInputs(ws));
    ws.startImageHeaderFound = false;
    const Bytes flash = ws.flash;
    const auto entries = ws.availableEntries;
    EntrySelection s = ed.entrySelection();
    ASSERT_TRUE(I_Palette_U10MouseDown(s, ws.availableList.front(), false));
    ed.applyEntrySelection(s);
    EXPECT_EQ(BB_schreibe_NEU_in_BINClick(ws, ed).message(), msg::kNoStartImageHeader);
    EXPECT_EQ(ws.flash, flash);
    EXPECT_EQ(ws.availableEntries, entries);
}

TEST(EditorHandover, HandsTheExpertSelectionBack) {
    Workspace ws;
    ASSERT_TRUE(ws.loadBytes(synth::makeSample({.version = 1}).dnl, "x.DNL").ok());
    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(editorInputs(ws));
    EntrySelection s = ed.entrySelection();
    const int removed = ws.availableList.back();
    ASSERT_TRUE(I_Palette_U10MouseDown(s, removed, false));
    ed.applyEntrySelection(s);
    ASSERT_TRUE(BB_schreibe_NEU_in_BINClick(ws, ed).ok());
    EXPECT_EQ(ws.availableCount, s.count);
    EXPECT_FALSE(ws.availableEntries[static_cast<std::size_t>(removed)]);
    EXPECT_EQ(static_cast<int>(ws.availableList.size()), s.count);
}
