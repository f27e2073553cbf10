// The editor session as a window or the command line drives it: take-over, import checks,
// sliders, expert selection and the write into a flash image.
#include "graphics/encoder.hpp"
#include "graphics/messages.hpp"
#include "graphics/palette_block.hpp"
#include "graphics/start_image_editor.hpp"
#include "editor_result.hpp"
#include "reference.hpp"
#include "test_pictures.hpp"

#include <gtest/gtest.h>

using namespace zarvelo;

namespace {

EditorInputs inputs(int available, bool dsp, std::size_t imageDataSize, const RgbImage& start,
                    const RgbImage& logo = RgbImage(79, 20, Rgb{0, 0, 255})) {
    EditorInputs in;
    for (int i = 0; i < available; ++i) in.availableEntries[static_cast<std::size_t>(255 - i)] = true;
    in.availableCount = available;
    for (int i = 0; i < 256; ++i) {
        in.dayPalette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), 0, 0};
        in.nightPalette[static_cast<std::size_t>(i)] = {0, static_cast<std::uint8_t>(i), 0};
    }
    in.dspLogoSupported = dsp;
    in.imageDataSize = imageDataSize;
    in.startPicture = start;
    if (dsp) in.dspPicture = logo;
    return in;
}

RgbImage logoPicture(int colours) {
    RgbImage img(79, 20);
    for (int p = 0; p < 79 * 20; ++p)
        img.set(p % 79, p / 79, {static_cast<std::uint8_t>(p % colours), 0, static_cast<std::uint8_t>(255 - p % colours)});
    return img;
}

}  // namespace

TEST(EditorSession, TakeOverFitsAndLimits) {
    const RgbImage photo = synth::photoPicture(2, 200);
    const std::size_t fullSize = encodedSize(*OriginalBild_FarbPal(photo));
    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(inputs(64, true, 20000, photo));
    EXPECT_EQ(ed.O.count, 200);
    EXPECT_LT(20000u, fullSize);
    int plainMax = 0;
    const ColourSet plain = reference::maxBerechneBild(ed.O, 20000, plainMax);
    EXPECT_EQ(ed.maximumPossible, plainMax);
    ColourSet limited = plain;
    if (limited.count > 64) reference::reduceToColor(limited, 64);
    EXPECT_EQ(ed.MAX, limited);
    EXPECT_EQ(ed.AKT, ed.MAX);
    EXPECT_EQ(ed.startSliderPosition, ed.AKT.count);
    EXPECT_LE(encodedSize(ed.AKT), 20000u);
    EXPECT_DOUBLE_EQ(ed.paletteCellWidth, 319.0 / 64);
    EXPECT_EQ(ed.AKT_DSP, ed.O_DSP);
    EXPECT_LE(ed.fit.totalCount, 64);
}

TEST(EditorSession, StartSliderDownAndUp) {
    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(inputs(64, false, 149760, synth::photoPicture(4, 40)));
    ASSERT_EQ(ed.AKT.count, 40);
    ed.TB_StartbildChange(30);
    ed.TB_StartbildChange(35);
    ColourSet plain = ed.O;
    reference::reduceToColor(plain, 35);
    EXPECT_EQ(ed.AKT, plain);
    const SliderOutcome up = ed.TB_StartbildChange(64);
    EXPECT_EQ(ed.AKT, ed.MAX);
    EXPECT_EQ(up.position, 40);
    EXPECT_EQ(ed.startSliderPosition, 40);
}

TEST(EditorSession, ImportRefusals) {
    RgbImage tooMany(320, 235);
    for (int i = 0; i < 257; ++i) tooMany.set(i % 320, i / 320, {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8), 0});
    const std::string sizeMessage =
        "Das Bild hat nicht die erforderliche Größe.\n\r\r        Startbild: 320 x 234 Pixel\n\r        DSP-Logo:  79 x  20 Pixel";
    struct Case {
        RgbImage picture;
        bool dsp;
        std::string message;
    };
    const Case cases[] = {
        {tooMany, true, "Das Bild hat mehr als 256 Farben und wird von dieser Anwendung nicht unterstützt."},
        {RgbImage(79, 20, Rgb{1, 1, 1}), false, "Diese Navi-Version unterstützt kein DSP-Logo."},
        {RgbImage(320, 235, Rgb{1, 1, 1}), true, sizeMessage},
        {RgbImage(79, 21, Rgb{1, 1, 1}), true, sizeMessage},
        {RgbImage(), true, sizeMessage},
    };
    for (const Case& c : cases) {
        StartImageEditor ed;
        ed.Zeige_vorhandene_Bilder_an(inputs(32, c.dsp, 149760, synth::photoPicture(1, 20)));
        const ColourSet o = ed.O, oDsp = ed.O_DSP;
        const Result<ImportKind> out = ed.importPicture(c.picture);
        EXPECT_FALSE(out.ok());
        EXPECT_EQ(out.message(), c.message);
        EXPECT_EQ(ed.O, o);
        EXPECT_EQ(ed.O_DSP, oDsp);
    }
}

TEST(EditorSession, ImportReplacesOnlyItsKind) {
    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(inputs(32, true, 149760, synth::photoPicture(1, 20)));
    const ColourSet akt = ed.AKT;
    EXPECT_EQ(synth::importedAs(ed.importPicture(logoPicture(5))), ImportKind::DspLogo);
    EXPECT_EQ(ed.O_DSP.count, 5);
    EXPECT_EQ(ed.AKT, akt);
    EXPECT_EQ(ed.fit.logoColours, 5);

    RgbImage exactly256(320, 234, Rgb{0, 1, 1});
    for (int i = 0; i < 256; ++i) exactly256.set(i, 0, {static_cast<std::uint8_t>(i), 1, 1});
    EXPECT_EQ(synth::importedAs(ed.importPicture(exactly256)), ImportKind::StartImage);
    EXPECT_EQ(ed.O.count, 256);
    EXPECT_LE(ed.AKT.count, 32);
    EXPECT_EQ(ed.O_DSP.count, 5);
    EXPECT_EQ(ed.fit.startColours, ed.AKT.count);  // refitted after the new start image
}

TEST(EditorSession, LogoWithMoreColoursThanEntries) {
    // The logo keeps its 256 colours after the import; only the user's moves reduce it.
    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(inputs(120, true, 149760, synth::photoPicture(5, 100), logoPicture(256)));
    EXPECT_EQ(ed.AKT.count, 100);
    EXPECT_EQ(ed.AKT_DSP.count, 256);
    EXPECT_EQ(ed.dspSliderPosition, 120);
    EXPECT_EQ(ed.fit.report[2], "Summe Farben:                     356");
    EXPECT_EQ(ed.fit.totalCount, 120);
    ed.TB_DSPChange(60);
    EXPECT_EQ(ed.AKT_DSP.count, 255);
    EXPECT_EQ(ed.dspSliderPosition, 120);
    ed.reduceLogoTo(12);
    ed.TB_DSPChange(5);
    EXPECT_EQ(ed.AKT_DSP.count, 11);
    EXPECT_EQ(ed.dspSliderPosition, 11);
    ColourSet plain = ed.O_DSP;
    reference::reduceToColor(plain, 11);
    EXPECT_EQ(ed.AKT_DSP, plain);
}

TEST(EditorSession, ExpertSelectionRecomputes) {
    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(inputs(64, true, 149760, synth::photoPicture(6, 50)));
    ed.TB_StartbildChange(20);
    ed.reduceLogoTo(1);
    EntrySelection s = ed.entrySelection();
    ASSERT_TRUE(I_Palette_U10MouseDown(s, 255, true));  // row 15 off: 48 left
    ed.applyEntrySelection(s);
    EXPECT_EQ(ed.availableCount, 48);
    EXPECT_EQ(ed.AKT.count, 48);
    EXPECT_EQ(ed.AKT, ed.MAX);
    EXPECT_EQ(ed.maximumPossible, 50);
    EXPECT_EQ(ed.AKT_DSP, ed.O_DSP);
    EXPECT_DOUBLE_EQ(ed.paletteCellWidth, 319.0 / 48);
}

TEST(EditorSession, WritesRunPairsPalettesAndLogo) {
    const std::size_t dataSize = 30000, startOffset = 0x1004, paletteOffset = 0x30000, dspOffset = 0x31000;
    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(inputs(40, true, dataSize, synth::photoPicture(8, 120), logoPicture(30)));
    ed.TB_StartbildChange(25);
    Bytes flash(0x40000, 0x5A);
    const Bytes before = flash;
    ASSERT_TRUE(ed.NEU_schreibe_in_BIN(flash, {true, startOffset, paletteOffset, dspOffset}).ok());
    const auto list = Setze_MaxColor(ed.availableEntries).list;
    const Bytes code = *NEU_berechne_Bild(ed.AKT.index, dataSize);
    for (std::size_t p = 0; p < code.size(); p += 2) {
        ASSERT_EQ(flash[startOffset + p], list[code[p]]);
        ASSERT_EQ(flash[startOffset + p + 1], code[p + 1]);
    }
    std::vector<bool> mayChange(flash.size());
    for (std::size_t p = 0; p < dataSize; ++p) mayChange[startOffset + p] = true;
    for (std::size_t p = 0; p < 1580; ++p) mayChange[dspOffset + p] = true;
    for (auto e : list)
        for (std::size_t k = 0; k < 3; ++k) mayChange[paletteOffset + 3 * e + k] = mayChange[paletteOffset + 0x300 + 3 * e + k] = true;
    for (std::size_t p = 0; p < flash.size(); ++p)
        if (!mayChange[p]) {
            ASSERT_EQ(flash[p], before[p]) << p;
        }
    for (int k = 0; k < ed.fit.totalCount; ++k) {
        const Rgb c = ed.fit.combined[static_cast<std::size_t>(k)];
        const std::size_t day = paletteOffset + 3 * list[static_cast<std::size_t>(k)];
        EXPECT_EQ(Bytes(flash.begin() + day, flash.begin() + day + 3), (Bytes{c.r, c.g, c.b}));
        EXPECT_EQ(Bytes(flash.begin() + day + 0x300, flash.begin() + day + 0x303), (Bytes{c.r, c.g, c.b}));
    }
    for (std::size_t p = 0; p < 1580; ++p) ASSERT_EQ(flash[dspOffset + p], list[ed.fit.finalImage[p]]);
}

TEST(EditorSession, RefusesToWriteWithoutImageHeaderOrEntries) {
    Bytes flash(0x40000, 0x5A);
    const Bytes before = flash;
    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(inputs(40, false, 936, RgbImage(320, 234, Rgb{3, 3, 3})));
    EXPECT_EQ(ed.NEU_schreibe_in_BIN(flash, {false, 4, 0x30000, 0}).message(), msg::kNoStartImageHeader);

    StartImageEditor none;
    none.Zeige_vorhandene_Bilder_an(inputs(0, true, 936, RgbImage(320, 234, Rgb{3, 3, 3})));
    EXPECT_EQ(none.paletteCellWidth, 0.0);
    EXPECT_EQ(none.NEU_schreibe_in_BIN(flash, {true, 4, 0x30000, 0x31000}).message(), msg::kNoAvailableEntries);

    StartImageEditor tooSmall;
    tooSmall.Zeige_vorhandene_Bilder_an(inputs(40, false, 400, synth::photoPicture(1, 10)));
    EXPECT_FALSE(tooSmall.fitsImageData);
    EXPECT_EQ(tooSmall.NEU_schreibe_in_BIN(flash, {true, 4, 0x30000, 0}).message(), msg::kBadStartImageSpace);
    EXPECT_EQ(tooSmall.NEU_schreibe_in_BIN(flash, {true, flash.size() - 100, 0x30000, 0}).message(), msg::kBadStartImageSpace);

    StartImageEditor all;  // all 256 entries in use by the firmware
    all.Zeige_vorhandene_Bilder_an(inputs(256, true, 149760, synth::photoPicture(1, 256), logoPicture(200)));
    EXPECT_EQ(all.AKT.count, 256);
    EXPECT_EQ(all.fit.totalCount, 256);
    EXPECT_EQ(all.NEU_schreibe_in_BIN(flash, {true, flash.size() - 100, 0x30000, 0x31000}).message(), msg::kBadStartImageSpace);
    // The palettes or the logo outside the image: the start image written before them is not kept.
    EXPECT_EQ(all.NEU_schreibe_in_BIN(flash, {true, 4, flash.size() - 0x5FF, 0x31000}).message(),
              msg::kPalettesOutsideForStartImage);
    EXPECT_EQ(all.NEU_schreibe_in_BIN(flash, {true, 4, 0x30000, flash.size() - 1579}).message(), msg::kDspLogoOutside);
    EXPECT_EQ(flash, before);
    EXPECT_TRUE(all.NEU_schreibe_in_BIN(flash, {true, 4, 0x30000, 0x31000}).ok());
}

TEST(EditorSession, NoDspByteWithoutDspSupport) {
    Bytes flash(0x40000, 0x5A);
    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(inputs(40, false, 20000, synth::photoPicture(9, 80)));
    EXPECT_EQ(ed.totalColourCount(), ed.AKT.count);
    const Bytes before = flash;
    ASSERT_TRUE(ed.NEU_schreibe_in_BIN(flash, {true, 4, 0x30000, 0x31000}).ok());
    EXPECT_TRUE(std::equal(flash.begin() + 0x31000, flash.begin() + 0x31000 + 1580, before.begin() + 0x31000));
}
