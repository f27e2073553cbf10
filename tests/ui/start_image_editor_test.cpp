// The start image editor and the expert selection, driven offscreen through their widgets
// with scripted dialogs; the results are compared with what the editor model and the
// workspace compute for the same steps.

#include "start_image_editor_fixture.hpp"
#include "ui/main_window.hpp"
#include "ui/program_windows.hpp"
#include "ui/resources_init.hpp"
#include "ui/tf10_farbpalette.hpp"
#include "ui/tf3_startbild.hpp"
#include "ui/tf9_speichern.hpp"
#include "graphics/palette_strip.hpp"
#include "workspace/picture_file.hpp"
#include "workspace/start_image_handover.hpp"
#include "cli_runner.hpp"
#include "scripted_platform.hpp"
#include "synthetic_firmware.hpp"
#include "test_files.hpp"
#include "ui_tf1_hauptseite.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontInfo>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>

using namespace zarvelo;
using test::TempDir;
using test::Sets;
using test::StartImageEditorTest;

namespace {

RgbImage toRgb(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    RgbImage picture(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        std::copy_n(image.constScanLine(y), static_cast<std::size_t>(image.width()) * 3, picture.rgb.data() + picture.offset(0, y));
    return picture;
}

Rgb colourOf(int i) {
    return {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(200 - i / 2), static_cast<std::uint8_t>((i * 37) & 0xFF)};
}

// A start picture of `colours` colours (a multiple of 4, at most 256) in four columns of
// bands: a few runs per row, so it fits any sample's space.
RgbImage bandPicture(int colours, int width = kStartImageWidth, int height = kStartImageHeight) {
    RgbImage img(width, height);
    const int perColumn = colours / 4;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) img.set(x, y, colourOf(y * perColumn / height + perColumn * (x * 4 / width)));
    return img;
}

// A logo of `colours` colours, every one used.
RgbImage logoPicture(int colours) {
    RgbImage logo(kDspLogoWidth, kDspLogoHeight);
    for (int p = 0; p < kDspLogoWidth * kDspLogoHeight; ++p) {
        const int k = p % colours;
        logo.set(p % kDspLogoWidth, p / kDspLogoWidth,
                 {static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(255 - k), static_cast<std::uint8_t>(90 + k % 7)});
    }
    return logo;
}

}  // namespace

// --- opening --------------------------------------------------------------------------

TEST_F(StartImageEditorTest, TakeOverFollowsTheVersion) {
    struct Case {
        int version;
        bool expert;
        int height;
        int buttonTop;
    };
    for (const Case c : {Case{4, true, 604, 574}, Case{7, false, 414, 384}, Case{2, false, 604, 574}}) {
        SCOPED_TRACE(c.version);
        load({.version = c.version});
        main->Expertenmodus(c.expert);
        tf3->FormShow();
        const bool dsp = ws().dspLogoSupported;
        EXPECT_EQ(dsp, c.height == 604);
        EXPECT_EQ(tf3->size(), QSize(680, c.height));
        EXPECT_EQ(tf3->P_DSP_Container->isVisibleTo(tf3), dsp);
        EXPECT_EQ(tf3->BB_Abbruch->y(), c.buttonTop);
        EXPECT_EQ(tf3->BB_schreibe_NEU_in_BIN->y(), c.buttonTop);
        EXPECT_EQ(tf3->P_Palette_auswaehlen->isVisibleTo(tf3), c.expert);
        EXPECT_EQ(tf3->S_oeffne_Grafik_file->text(), QStringLiteral("BILD-DATEI\n\rLADEN"));

        // The picture as the main page shows it, and the sets built from it.
        EXPECT_EQ(toRgb(tf3->I_Bild_links->canvas()), ws().startImagePreview(true));
        EXPECT_EQ(ed().availableCount, ws().availableCount);
        EXPECT_EQ(ed().O.count, ws().startImageColourCount);
        EXPECT_EQ(toRgb(tf3->I_AKT_Bild->canvas()), renderColourSet(ed().AKT));
        EXPECT_EQ(tf3->TB_Startbild->minimum(), 1);
        EXPECT_EQ(tf3->TB_Startbild->maximum(), ws().availableCount);
        EXPECT_EQ(tf3->TB_Startbild->value(), ed().AKT.count);
        EXPECT_EQ(tf3->L_MaxColor->text().toInt(), ws().availableCount);
        EXPECT_EQ(tf3->L_O_Bild_AnzCol->text().toInt(), ed().O.count);
        EXPECT_EQ(tf3->L_Maximal_moeglich_Bild_AnzCol->text().toInt(), ed().maximumPossible);
        EXPECT_EQ(tf3->L_AKT_Bild_AnzCol->text().toInt(), ed().AKT.count);
        if (dsp) {
            EXPECT_EQ(toRgb(tf3->I_DSP_links->canvas()), ws().dspLogoPreview(true));
            EXPECT_EQ(tf3->TB_DSP->maximum(), ws().availableCount);
            EXPECT_EQ(tf3->TB_DSP->value(), ed().AKT_DSP.count);
            EXPECT_EQ(tf3->L_O_DSP_AnzCol->text().toInt(), ed().O_DSP.count);
            ASSERT_EQ(tf3->LB_DSP_FarbInfo->count(), 7);
            for (int i = 0; i < 7; ++i)
                EXPECT_EQ(tf3->LB_DSP_FarbInfo->item(i)->text().toStdString(), ed().fit.report[static_cast<std::size_t>(i)]);
            EXPECT_TRUE(QFontInfo(tf3->LB_DSP_FarbInfo->font()).fixedPitch());
            EXPECT_EQ(toRgb(tf3->I_DSP_optimiert->canvas()), renderFittedLogo(ed().AKT_DSP, ed().fit));
            EXPECT_EQ(toRgb(tf3->I_END_Palette->canvas()),
                      paletteStrip(ed().fit.combined, ed().fit.totalCount, ed().availableCount));
        }
    }
}

// --- import ---------------------------------------------------------------------------

TEST_F(StartImageEditorTest, RefusedPicturesChangeNothing) {
    RgbImage tooMany(320, 235);  // too many colours and the wrong size: the colours are named
    for (int i = 0; i < 257; ++i) tooMany.set(i % 320, i / 320, {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8), 3});
    Bytes truncated = encodeBmp24(bandPicture(8));
    truncated.resize(truncated.size() - 100);
    test::writeFile(dir.file("short.bmp"), truncated);
    test::writeFile(dir.file("fake.bmp"), Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0});
    const std::string sizeMessage = msg::kWrongPictureSize;
    struct Case {
        int version;
        std::string path;
        std::string message;  // the whole message, or a part of it for files that cannot be read
        bool whole;
    };
    const Case cases[] = {
        {4, putPicture("many.bmp", tooMany), msg::kTooManyColours, true},
        {7, putPicture("logo.bmp", logoPicture(5)), msg::kNoDspLogoSupport, true},
        {4, putPicture("tall.bmp", bandPicture(8, 320, 235)), sizeMessage, true},
        {4, putPicture("logo21.bmp", RgbImage(79, 21, Rgb{1, 2, 3})), sizeMessage, true},
        {4, dir.file("short.bmp"), "kürzer, als der Kopf", false},
        {4, dir.file("fake.bmp"), "keine BMP-Grafik", false},
        {4, dir.file("missing.bmp"), "kann nicht gelesen werden", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        load({.version = c.version});
        tf3->FormShow();
        const Sets before(ed());
        const QImage shown = tf3->I_AKT_Bild->canvas();
        const int beeps = platform.beeps;
        platform.messages.clear();
        importThroughDialog(c.path);
        EXPECT_EQ(platform.beeps, beeps + 1);
        ASSERT_EQ(platform.messages.size(), 1u);
        if (c.whole) EXPECT_EQ(platform.messages[0], c.message);
        else EXPECT_NE(platform.messages[0].find(c.message), std::string::npos) << platform.messages[0];
        EXPECT_TRUE(Sets(ed()) == before);
        EXPECT_EQ(tf3->I_AKT_Bild->canvas(), shown);
        EXPECT_TRUE(tf3->takeOverPending());
    }
    const FileDialogRequest& request = platform.openRequests.back();
    EXPECT_EQ(request.filter, "Grafik-Dateien (*.BMP)|*.BMP");
    EXPECT_EQ(request.defaultExtension, "BMP");

    // A cancelled dialog: nothing at all.
    const Sets before(ed());
    platform.messages.clear();
    const int beeps = platform.beeps;
    tf3->S_oeffne_Grafik_file->click();
    EXPECT_TRUE(Sets(ed()) == before);
    EXPECT_EQ(platform.beeps, beeps);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(StartImageEditorTest, StartPictureAndLogoEachReplaceOnlyTheirSets) {
    load({.version = 4});
    tf3->FormShow();
    const Sets takenOver(ed());
    const RgbImage picture = bandPicture(24);
    importThroughDialog(putPicture("start.bmp", picture));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(tf3->takeOverPending());
    EXPECT_EQ(ed().O.count, 24);
    EXPECT_EQ(ed().O_DSP, takenOver.O_DSP);
    EXPECT_EQ(ed().AKT_DSP, takenOver.AKT_DSP);
    EXPECT_EQ(toRgb(tf3->I_Bild_links->canvas()), picture);
    EXPECT_EQ(toRgb(tf3->I_AKT_Bild->canvas()), renderColourSet(ed().AKT));
    EXPECT_EQ(tf3->TB_Startbild->value(), ed().AKT.count);
    EXPECT_EQ(tf3->L_O_Bild_AnzCol->text(), "24");
    // The logo was fitted around the new start image.
    EXPECT_EQ(ed().fit.startColours, ed().AKT.count);
    EXPECT_EQ(tf3->LB_DSP_FarbInfo->item(0)->text().toStdString(), ed().fit.report[0]);

    const Sets afterStart(ed());
    const RgbImage logo = logoPicture(9);
    importThroughDialog(putPicture("logo.bmp", logo));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(ed().O_DSP.count, 9);
    EXPECT_EQ(ed().AKT_DSP.count, 9);
    EXPECT_EQ(ed().O, afterStart.O);
    EXPECT_EQ(ed().AKT, afterStart.AKT);
    EXPECT_EQ(toRgb(tf3->I_DSP_links->canvas()), logo);
    EXPECT_EQ(toRgb(tf3->I_DSP_rechts->canvas()), renderColourSet(ed().AKT_DSP));
    EXPECT_EQ(tf3->TB_DSP->value(), 9);
    EXPECT_EQ(tf3->L_O_DSP_AnzCol->text(), "9");
    EXPECT_EQ(tf3->LB_DSP_FarbInfo->item(1)->text().toStdString(), "Anzahl Farben DSP-Logo:             9");
}

// --- sliders --------------------------------------------------------------------------

TEST_F(StartImageEditorTest, StartSliderLowersAndRaisesReproducibly) {
    load({.version = 4});
    tf3->FormShow();
    const int available = ed().availableCount;
    ASSERT_GE(available, 30);
    const std::string many = putPicture("many.bmp", bandPicture(256));
    importThroughDialog(many);
    ASSERT_EQ(ed().MAX.count, available);

    // Lowering by 12 and raising back by 5 equals lowering by 7 at once.
    tf3->TB_Startbild->setValue(available - 12);
    EXPECT_EQ(ed().AKT.count, available - 12);
    tf3->TB_Startbild->setValue(available - 7);
    const ColourSet stepped = ed().AKT;
    importThroughDialog(many);
    tf3->TB_Startbild->setValue(available - 7);
    EXPECT_EQ(ed().AKT, stepped);
    EXPECT_EQ(tf3->L_AKT_Bild_AnzCol->text().toInt(), available - 7);
    EXPECT_EQ(toRgb(tf3->I_AKT_Bild->canvas()), renderColourSet(stepped));
    EXPECT_EQ(ed().fit.startColours, available - 7);

    // A picture with fewer colours than entries: raising past MAX stops at MAX.
    importThroughDialog(putPicture("few.bmp", bandPicture(20)));
    ASSERT_EQ(ed().MAX.count, 20);
    tf3->TB_Startbild->setValue(10);
    EXPECT_EQ(ed().AKT.count, 10);
    tf3->TB_Startbild->setValue(available);
    EXPECT_EQ(ed().AKT, ed().MAX);
    EXPECT_EQ(tf3->TB_Startbild->value(), 20);
}

TEST_F(StartImageEditorTest, DspSliderMovesTheLogoOneColourPerChange) {
    load({.version = 4});
    tf3->FormShow();
    const int available = ed().availableCount;
    importThroughDialog(putPicture("logo.bmp", logoPicture(12)));
    ASSERT_EQ(tf3->TB_DSP->value(), 12);
    tf3->TB_DSP->setValue(5);  // a jump: one step
    EXPECT_EQ(ed().AKT_DSP.count, 11);
    EXPECT_EQ(tf3->TB_DSP->value(), 11);
    EXPECT_EQ(tf3->L_DSP_AnzCol->text(), "11");
    tf3->TB_DSP->setValue(5);
    EXPECT_EQ(ed().AKT_DSP.count, 10);
    tf3->TB_DSP->setValue(available);
    EXPECT_EQ(ed().AKT_DSP.count, 11);
    EXPECT_EQ(toRgb(tf3->I_DSP_rechts->canvas()), renderColourSet(ed().AKT_DSP));
    EXPECT_EQ(toRgb(tf3->I_DSP_Palette->canvas()), paletteStrip(ed().AKT_DSP.palette, 11, available));

    // A logo of more colours than entries keeps them all until the user moves the slider.
    importThroughDialog(putPicture("big.bmp", logoPicture(256)));
    EXPECT_EQ(ed().AKT_DSP.count, 256);
    EXPECT_EQ(tf3->TB_DSP->value(), available);
    EXPECT_EQ(tf3->LB_DSP_FarbInfo->item(2)->text().toStdString(),
              "Summe Farben:                     " + std::to_string(ed().AKT.count + 256));
    EXPECT_EQ(ed().fit.totalCount, available);
    tf3->TB_DSP->setValue(available - 1);
    EXPECT_EQ(ed().AKT_DSP.count, 255);
}

TEST_F(StartImageEditorTest, StripReadoutsShowTheEntryUnderTheMouse) {
    load({.version = 4});
    tf3->FormShow();
    importThroughDialog(putPicture("start.bmp", bandPicture(24)));
    importThroughDialog(putPicture("logo.bmp", logoPicture(6)));
    tf3->TB_Startbild->setValue(8);
    const double w = ed().paletteCellWidth;
    const int x = static_cast<int>(2.5 * w);  // the middle of cell 2
    tf3->I_AKT_Bild_PalMouseMove(QPoint(x, 5));
    const Rgb c = ed().AKT.palette[2];
    EXPECT_EQ(tf3->L_Neu_Koord->text(), "3");
    EXPECT_EQ(tf3->L_Neu_Rot->text().toInt(), c.r);
    EXPECT_EQ(tf3->L_Neu_Gruen->text().toInt(), c.g);
    EXPECT_EQ(tf3->L_Neu_Blau->text().toInt(), c.b);
    EXPECT_EQ(tf3->L_Neu_FarbPixel->text().toInt(), ed().AKT.pixelCounts[2]);
    tf3->I_AKT_Bild_PalMouseMove(QPoint(static_cast<int>(10.5 * w), 5));  // an unused slot
    EXPECT_EQ(tf3->L_Neu_Koord->text(), "11");
    for (QLabel* l : {tf3->L_Neu_Rot, tf3->L_Neu_Gruen, tf3->L_Neu_Blau, tf3->L_Neu_FarbPixel}) EXPECT_EQ(l->text(), "-");
    tf3->I_DSP_PaletteMouseMove(QPoint(static_cast<int>(0.5 * w), 5));
    EXPECT_EQ(tf3->L_DSP_Koord->text(), "1");
    EXPECT_EQ(tf3->L_DSP_FarbPixel->text().toInt(), ed().AKT_DSP.pixelCounts[0]);
    tf3->I_DSP_PaletteMouseMove(QPoint(static_cast<int>(7.5 * w), 5));
    EXPECT_EQ(tf3->L_DSP_rot->text(), "-");
    // A new reduction redraws the strips: no readout of an entry that may be gone stays.
    tf3->TB_Startbild->setValue(7);
    tf3->TB_DSP->setValue(tf3->TB_DSP->value() - 1);
    for (QLabel* l : {tf3->L_Neu_Koord, tf3->L_Neu_Rot, tf3->L_DSP_Koord, tf3->L_DSP_FarbPixel}) EXPECT_EQ(l->text(), "");
    // The strip shows the unused slots as the black and white pattern.
    const QImage& strip = tf3->I_AKT_Bild_Pal->canvas();
    const int odd = static_cast<int>(9.5 * w), even = static_cast<int>(10.5 * w);
    EXPECT_EQ(strip.pixelColor(odd, 2), QColor(Qt::white));
    EXPECT_EQ(strip.pixelColor(odd, 10), QColor(Qt::black));
    EXPECT_EQ(strip.pixelColor(even, 2), QColor(Qt::black));
    EXPECT_EQ(strip.pixelColor(static_cast<int>(2.5 * w), 6), QColor(c.r, c.g, c.b));
}

// --- expert selection -----------------------------------------------------------------

namespace {

EntrySelection firstEntries(int n) {
    EntrySelection s;
    for (int i = 0; i < n; ++i) s.flags[static_cast<std::size_t>(i)] = true;
    s.count = n;
    return s;
}

Palette rampPalette(int shift) {
    Palette p;
    for (int i = 0; i < 256; ++i) p[static_cast<std::size_t>(i)] = colourOf((i + shift) & 0xFF);
    return p;
}

QPoint cellCentre(int entry) { return {13 * (entry % 16) + 6, 13 * (entry / 16) + 6}; }

}  // namespace

TEST_F(StartImageEditorTest, ExpertClicksKeepTheLimits) {
    struct Case {
        const char* name;
        int available;  // entries 0..available-1
        int entry;
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
        int countAfter;  // unchanged: refused with a beep
    };
    const Case cases[] = {
        {"128, add", 128, 200, Qt::LeftButton, Qt::NoModifier, 128},
        {"128, remove", 128, 5, Qt::LeftButton, Qt::NoModifier, 127},
        {"113, add a row", 113, 200, Qt::LeftButton, Qt::ControlModifier, 113},
        {"112, add a row", 112, 120, Qt::LeftButton, Qt::ControlModifier, 128},
        {"100, add a half-used row", 100, 111, Qt::LeftButton, Qt::ControlModifier, 112},
        {"17, remove a row", 17, 3, Qt::LeftButton, Qt::ControlModifier, 1},
        {"16, remove a row", 16, 3, Qt::LeftButton, Qt::ControlModifier, 16},
        {"1, remove", 1, 0, Qt::LeftButton, Qt::NoModifier, 1},
        {"Ctrl + right is a plain click", 20, 200, Qt::RightButton, Qt::ControlModifier, 21},
        {"Ctrl + Shift + left is a plain click", 20, 200, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, 21},
        {"200 from a file, add", 200, 230, Qt::LeftButton, Qt::NoModifier, 200},
        {"200 from a file, remove", 200, 10, Qt::LeftButton, Qt::NoModifier, 199},
    };
    const Palette day = rampPalette(0), night = rampPalette(90);
    tf10->show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tf10->FormShow(firstEntries(c.available), day, night);
        EXPECT_EQ(tf10->L_AnzCol_U10->text().toInt(), c.available);
        const int beeps = platform.beeps;
        QTest::mouseClick(tf10->I_Tag_Palette_U10, c.button, c.modifiers, cellCentre(c.entry));
        EXPECT_EQ(tf10->selection().count, c.countAfter);
        EXPECT_EQ(tf10->L_AnzCol_U10->text().toInt(), c.countAfter);
        EXPECT_EQ(platform.beeps, beeps + (c.countAfter == c.available ? 1 : 0));
        int flags = 0;
        for (bool f : tf10->selection().flags) flags += f;
        EXPECT_EQ(flags, c.countAfter);
        // Both grids carry the marks: an X in the contrast colour, or the plain cell.
        const bool on = tf10->selection().flags[static_cast<std::size_t>(c.entry)];
        const QPoint cross(13 * (c.entry % 16) + 3, 13 * (c.entry / 16) + 3);
        for (auto [grid, palette] : {std::pair{tf10->I_Tag_Palette_U10, &day}, std::pair{tf10->I_Nacht_Palette_U10, &night}}) {
            const Rgb cell = (*palette)[static_cast<std::size_t>(c.entry)];
            const Rgb expected = on ? KontrastFarbe(cell) : cell;
            EXPECT_EQ(grid->canvas().pixelColor(cross), QColor(expected.r, expected.g, expected.b));
            EXPECT_EQ(grid->canvas().pixelColor(cross + QPoint(4, 0)), QColor(cell.r, cell.g, cell.b));
        }
    }
    tf10->hide();
}

TEST_F(StartImageEditorTest, ExpertReadoutAndDayNightSwitch) {
    const Palette day = rampPalette(0), night = rampPalette(90);
    tf10->FormShow(firstEntries(10), day, night);
    EXPECT_TRUE(tf10->RB_Tag_U10->isChecked());
    EXPECT_TRUE(tf10->I_Tag_Palette_U10->isVisibleTo(tf10));
    EXPECT_FALSE(tf10->I_Nacht_Palette_U10->isVisibleTo(tf10));
    tf10->I_Palette_U10MouseMove(QPoint(208, 13 * 2 + 4));  // the last pixel column is column 15
    EXPECT_EQ(tf10->L_Pal_Koord_U10->text(), "47");
    EXPECT_EQ(tf10->L_Rot_U10->text().toInt(), day[47].r);
    EXPECT_EQ(tf10->L_Blau_U10->text().toInt(), day[47].b);
    tf10->RB_Nacht_U10->click();
    EXPECT_FALSE(tf10->I_Tag_Palette_U10->isVisibleTo(tf10));
    EXPECT_TRUE(tf10->I_Nacht_Palette_U10->isVisibleTo(tf10));
    tf10->I_Palette_U10MouseMove(QPoint(208, 13 * 2 + 4));
    EXPECT_EQ(tf10->L_Gruen_U10->text().toInt(), night[47].g);
    EXPECT_EQ(tf10->L_Rot_U10->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(tf10->L_Gruen_U10->palette().color(QPalette::Window), QColor(0, 255, 0));
    EXPECT_EQ(tf10->L_Blau_U10->palette().color(QPalette::Window), QColor(0, 0, 255));
    // Opening again starts in the day view.
    tf10->FormShow(firstEntries(10), day, night);
    EXPECT_TRUE(tf10->RB_Tag_U10->isChecked());
}

TEST_F(StartImageEditorTest, ExpertSelectionChangedOnlyWhenAFlagDiffers) {
    const Palette p = rampPalette(0);
    auto click = [&](int entry) { tf10->I_Palette_U10MouseDown(cellCentre(entry), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier); };
    struct Case {
        const char* name;
        std::vector<int> clicks;
        bool accept;
        bool changed;
    };
    const Case cases[] = {
        {"nothing", {}, true, false},
        {"changed and changed back", {40, 40}, true, false},
        {"one added", {40}, true, true},
        {"one added, cancelled", {40}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tf10->FormShow(firstEntries(10), p, p);
        for (int e : c.clicks) click(e);
        (c.accept ? tf10->BB_schreibe_NEU_in_BIN : tf10->BitBtn2)->click();
        EXPECT_EQ(tf10->result(), c.accept ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(tf10->selectionChanged(), c.changed);
    }
}

TEST_F(StartImageEditorTest, AendernRecomputesOnlyAfterAChange) {
    load({.version = 4});
    main->Expertenmodus(true);
    tf3->FormShow();
    ASSERT_TRUE(tf3->P_Palette_auswaehlen->isVisibleTo(tf3));
    const int available = ed().availableCount;
    importThroughDialog(putPicture("many.bmp", bandPicture(256)));
    tf3->TB_Startbild->setValue(available - 6);

    // Accepted without a change: the lowered picture stays.
    inSelection = [&] {
        EXPECT_EQ(tf10->selection(), ed().entrySelection());
        tf10->BB_schreibe_NEU_in_BIN->click();
    };
    tf3->P_Palette_auswaehlen->click();
    EXPECT_EQ(ed().AKT.count, available - 6);

    // One entry more: MAX and AKT start again from the original with the new limit.
    int added = -1;
    inSelection = [&] {
        for (int e = 0; e < 256 && added < 0; ++e)
            if (!tf10->selection().flags[static_cast<std::size_t>(e)]) added = e;
        tf10->I_Palette_U10MouseDown(cellCentre(added), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        tf10->BB_schreibe_NEU_in_BIN->click();
    };
    tf3->P_Palette_auswaehlen->click();
    EXPECT_EQ(ed().availableCount, available + 1);
    EXPECT_TRUE(ed().availableEntries[static_cast<std::size_t>(added)]);
    EXPECT_EQ(ed().AKT.count, available + 1);
    EXPECT_EQ(tf3->TB_Startbild->maximum(), available + 1);
    EXPECT_EQ(tf3->TB_Startbild->value(), available + 1);
    EXPECT_EQ(tf3->TB_DSP->maximum(), available + 1);
    EXPECT_EQ(tf3->L_MaxColor->text().toInt(), available + 1);
    EXPECT_DOUBLE_EQ(ed().paletteCellWidth, 319.0 / (available + 1));
    EXPECT_EQ(ed().fit.totalCount, std::min(available + 1, ed().fit.needed));
    // The workspace learns of it only on "Daten übernehmen".
    EXPECT_EQ(ws().availableCount, available);
}

// --- accept and cancel ----------------------------------------------------------------

TEST_F(StartImageEditorTest, AcceptWritesWhatTheCoreComputesAndTheMainPageShowsIt) {
    load({.version = 4});
    Bytes expected;
    RgbImage editorPicture, editorLogo;
    inEditor = [&] {
        importThroughDialog(putPicture("start.bmp", bandPicture(64)));
        importThroughDialog(putPicture("logo.bmp", logoPicture(30)));
        tf3->TB_Startbild->setValue(tf3->TB_Startbild->value() - 9);
        for (int i = 0; i < 3; ++i) tf3->TB_DSP->setValue(tf3->TB_DSP->value() - 1);
        Workspace copy = ws();
        ASSERT_TRUE(BB_schreibe_NEU_in_BINClick(copy, ed()).ok());
        expected = copy.flash;
        ASSERT_NE(expected, ws().flash);
        editorPicture = renderColourSet(ed().AKT);
        editorLogo = toRgb(tf3->I_DSP_optimiert->canvas());
        tf3->BB_schreibe_NEU_in_BIN->click();
        EXPECT_EQ(tf3->result(), QDialog::Accepted);
    };
    main->Starte_Bildeditor();
    EXPECT_EQ(ws().flash, expected);
    EXPECT_EQ(ws().availableCount, ed().availableCount);
    // The main page decoded what was written: the editor's pictures in its colours (its
    // start image view adds the grid lines again).
    EXPECT_EQ(ws().startImagePreview(true), editorPicture);
    EXPECT_EQ(ws().dspLogoPreview(true), editorLogo);
    EXPECT_EQ(toRgb(main->ui().I_BIN_DSP_Grafik->canvas()), editorLogo);
}

TEST_F(StartImageEditorTest, RefusedAcceptAndCancelWriteNothing) {
    load({.version = 4, .imageHeader = false});
    const Bytes flash = ws().flash;
    inEditor = [&] {
        importThroughDialog(putPicture("start.bmp", bandPicture(16)));
        platform.messages.clear();
        tf3->BB_schreibe_NEU_in_BIN->click();
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0], msg::kNoStartImageHeader);
        EXPECT_NE(tf3->result(), QDialog::Accepted);  // the window stays open
        EXPECT_EQ(ws().flash, flash);
    };
    main->Starte_Bildeditor();
    EXPECT_EQ(ws().flash, flash);

    load({.version = 2});
    const Bytes loaded = ws().flash;
    const auto entries = ws().availableEntries;
    main->Expertenmodus(true);
    int added = -1;
    inEditor = [&] {
        importThroughDialog(putPicture("start2.bmp", bandPicture(16)));
        inSelection = [&] {
            while (tf10->selection().flags[static_cast<std::size_t>(++added)]) {}
            tf10->I_Palette_U10MouseDown(cellCentre(added), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            tf10->BB_schreibe_NEU_in_BIN->click();
        };
        tf3->P_Palette_auswaehlen->click();
        ASSERT_TRUE(ed().availableEntries[static_cast<std::size_t>(added)]);
        tf3->BB_Abbruch->click();
        EXPECT_EQ(tf3->result(), QDialog::Rejected);
    };
    main->Starte_Bildeditor();
    EXPECT_EQ(ws().flash, loaded);
    EXPECT_EQ(ws().availableEntries, entries);  // the expert choice was not handed back
}

TEST_F(StartImageEditorTest, TakeOverPendingDecidesWhatAnOpeningShows) {
    load({.version = 4});
    tf3->FormShow();
    const RgbImage fromMainPage = ws().startImagePreview(true);
    // A slider move alone is forgotten: the next opening takes over again.
    tf3->TB_Startbild->setValue(3);
    tf3->BB_Abbruch->click();
    tf3->FormShow();
    EXPECT_EQ(ed().AKT.count, ed().MAX.count);

    // An imported picture survives cancel and reopening ...
    const RgbImage picture = bandPicture(12);
    importThroughDialog(putPicture("start.bmp", picture));
    tf3->TB_Startbild->setValue(5);
    tf3->BB_Abbruch->click();
    tf3->FormShow();
    EXPECT_EQ(toRgb(tf3->I_Bild_links->canvas()), picture);
    EXPECT_EQ(ed().AKT.count, 5);
    EXPECT_EQ(tf3->TB_Startbild->value(), 5);
    // ... until a DNL file is loaded.
    load({.version = 4});
    EXPECT_TRUE(tf3->takeOverPending());
    tf3->FormShow();
    EXPECT_EQ(toRgb(tf3->I_Bild_links->canvas()), fromMainPage);
    EXPECT_EQ(ed().O.count, ws().startImageColourCount);
}

TEST_F(StartImageEditorTest, UndoAndRedoMakeTheNextOpeningTakeOverAgain) {
    load({.version = 4});
    tf3->FormShow();
    importThroughDialog(putPicture("start.bmp", bandPicture(12)));
    ASSERT_FALSE(tf3->takeOverPending());
    // Another window's accepted change keeps the imported picture...
    ws().BIN_Gitter(false);
    EXPECT_FALSE(tf3->takeOverPending());
    // ... a step taken back replaces it.
    ASSERT_TRUE(ws().undo());
    EXPECT_TRUE(tf3->takeOverPending());
    tf3->FormShow();
    EXPECT_EQ(toRgb(tf3->I_Bild_links->canvas()), ws().startImagePreview(true));

    importThroughDialog(putPicture("start.bmp", bandPicture(12)));
    ASSERT_FALSE(tf3->takeOverPending());
    ASSERT_TRUE(ws().redo());
    EXPECT_TRUE(tf3->takeOverPending());
}

TEST(StartImageEditorWindow, AWorkspaceThatOutlivesTheWindowStillLoads) {
    Workspace ws;
    test::ScriptedPlatform platform;
    {
        TF3_Startbild tf3(ws, platform, [] {});
        EXPECT_FALSE(tf3.takeOverPending());
    }
    EXPECT_TRUE(ws.loadBytes(synth::makeSample({.version = 4}).dnl, "x.DNL").ok());
    TF3_Startbild later(ws, platform, [] {});
    EXPECT_TRUE(later.takeOverPending());  // made after a load: takes over at its first opening
}

// --- drops, saves, help ---------------------------------------------------------------

namespace {

// Sends a drag entering the window and, when it is accepted, the drop.
bool drop(QWidget* target, const QList<QUrl>& urls, const QString& text = {}) {
    QMimeData data;
    if (!urls.isEmpty()) data.setUrls(urls);
    if (!text.isEmpty()) data.setText(text);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropEvent(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropEvent);
    return dropEvent.isAccepted();
}

}  // namespace

TEST_F(StartImageEditorTest, DroppedPictureIsImportedLikeAnOpenedOne) {
    load({.version = 4});
    tf3->FormShow();
    const QUrl start = QUrl::fromLocalFile(QString::fromStdString(putPicture("start.BMP", bandPicture(20))));
    const QUrl logo = QUrl::fromLocalFile(QString::fromStdString(putPicture("logo.bmp", logoPicture(7))));
    test::writeFile(dir.file("picture.png"), encodeBmp24(bandPicture(8)));

    // Refused without a word: several files, other kinds, no file.
    const Sets before(ed());
    const std::size_t dialogs = platform.openRequests.size();
    EXPECT_FALSE(drop(tf3, {start, logo}));
    EXPECT_FALSE(drop(tf3, {QUrl::fromLocalFile(QString::fromStdString(dir.file("picture.png")))}));
    EXPECT_FALSE(drop(tf3, {QUrl(QStringLiteral("https://zarvelo.example/bild.bmp"))}));
    EXPECT_FALSE(drop(tf3, {}, QStringLiteral("Text")));
    EXPECT_TRUE(Sets(ed()) == before);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.beeps, 0);

    EXPECT_TRUE(drop(tf3, {start}));
    EXPECT_EQ(ed().O.count, 20);
    EXPECT_FALSE(tf3->takeOverPending());
    EXPECT_TRUE(drop(tf3, {logo}));
    EXPECT_EQ(ed().O_DSP.count, 7);
    EXPECT_EQ(platform.openRequests.size(), dialogs);

    // The same checks and messages as the open dialog.
    const Sets imported(ed());
    EXPECT_TRUE(drop(tf3, {QUrl::fromLocalFile(QString::fromStdString(putPicture("odd.bmp", RgbImage(80, 20, Rgb{1, 1, 1}))))}));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], msg::kWrongPictureSize);
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_TRUE(Sets(ed()) == imported);
}

TEST_F(StartImageEditorTest, SavesWriteTheShownPicturesAsTwentyFourBitFiles) {
    load({.version = 4});
    tf3->FormShow();
    importThroughDialog(putPicture("logo.bmp", logoPicture(40)));
    for (int i = 0; i < 5; ++i) tf3->TB_DSP->setValue(tf3->TB_DSP->value() - 1);
    struct Case {
        QAbstractButton* button;
        PictureView* shown;
    };
    const Case cases[] = {{tf3->P_Startbild_speichern_U3, tf3->I_AKT_Bild},
                          {tf3->P_DSP_Logo_speichern, tf3->I_DSP_rechts},
                          {tf3->P_speichere_mod_DSP_Bild, tf3->I_DSP_optimiert}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button->objectName().toStdString());
        const std::string path = dir.file("saved" + std::to_string(n++) + ".BMP");
        platform.answerSave(path);
        c.button->click();
        const Bytes file = test::readFile(path);
        ASSERT_GT(file.size(), 54u);
        EXPECT_EQ(file[28], 24);
        const Result<RgbImage> again = decodeBmp(file);
        ASSERT_TRUE(again.ok());
        EXPECT_EQ(again.value(), toRgb(c.shown->canvas()));
        EXPECT_EQ(platform.saveRequests.back().filter, "Grafik-Dateien (*.BMP)|*.BMP");

        c.button->click();  // cancelled: nothing written
        platform.answerSave(dir.file("missing/folder/x.BMP"));
        platform.messages.clear();
        c.button->click();
        EXPECT_EQ(platform.messages.size(), 1u);
        EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("")), {}), 3 + 1 + 1);  // three saves, two inputs
}

TEST(StartImageEditorWindow, HelpButtonOpensTheEditorsHelpPage) {
    Workspace ws;
    test::ScriptedPlatform platform;
    int shown = 0;
    TF3_Startbild tf3(ws, platform, [&] { ++shown; });
    tf3.S_Hilfe->click();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(tf3.S_Hilfe->text(), "HILFE");
    EXPECT_EQ(tf3.BB_Abbruch->text(), "Abbrechen");
    EXPECT_EQ(tf3.BB_schreibe_NEU_in_BIN->text(), QString::fromUtf8("Daten übernehmen"));
    EXPECT_EQ(tf3.I_AKT_Bild->toolTip(), "So sieht das Bild mit der gewählten Farbpalette aus.");
    EXPECT_EQ(tf3.I_END_Palette->toolTip(), "Das ist die resultierende Farbpalette.");
    EXPECT_EQ(tf3.BB_Abbruch->toolTip(), QString::fromUtf8("Verwirft die Änderungen."));
}

// --- real pictures, end to end --------------------------------------------------------

namespace {

const char* const kConvert = "/usr/bin/convert";

// Runs ImageMagick; false when it is not installed or fails.
bool convert(const QStringList& args) {
    QProcess p;
    p.start(QString::fromLatin1(kConvert), args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}  // namespace

TEST(RealPictures, LoaderAgreesWithTheToolkitAndWidensSixteenBitColours) {
    if (!std::filesystem::exists(kConvert)) GTEST_SKIP() << "ImageMagick is not installed";
    TempDir dir;
    struct Case {
        const char* name;
        QStringList args;
        int greenBits;  // 0: the toolkit's colours are exact; 5 or 6: a 16-bit file
    };
    const QString size = QStringLiteral("320x234");
    const Case cases[] = {
        {"8 bit RLE", {"-size", size, "plasma:fractal", "-colors", "256", "BMP3:%1"}, 0},
        {"8 bit RLE, V5 header", {"-size", size, "plasma:fractal", "-colors", "256", "BMP:%1"}, 0},
        {"8 bit", {"-size", size, "plasma:fractal", "-colors", "200", "-compress", "None", "BMP3:%1"}, 0},
        {"4 bit", {"-size", size, "plasma:fractal", "-colors", "12", "-compress", "None", "BMP3:%1"}, 0},
        {"1 bit", {"-size", "79x20", "pattern:checkerboard", "-monochrome", "BMP3:%1"}, 0},
        {"24 bit", {"-size", size, "gradient:red-blue", "-colors", "120", "-type", "TrueColor", "BMP3:%1"}, 0},
        {"32 bit", {"-size", "79x20", "plasma:fractal", "-colors", "50", "-type", "TrueColorAlpha", "BMP:%1"}, 0},
        {"16 bit 565", {"-size", size, "plasma:fractal", "-colors", "60", "-type", "TrueColor", "-define", "bmp:subtype=RGB565", "BMP:%1"}, 6},
        {"16 bit 555", {"-size", "79x20", "plasma:fractal", "-colors", "30", "-type", "TrueColor", "-define", "bmp:subtype=RGB555", "BMP:%1"}, 5},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = QString::fromStdString(dir.file("p" + std::to_string(n++) + ".bmp"));
        QStringList args = c.args;
        args.last() = args.last().arg(path);
        ASSERT_TRUE(convert(args));
        const Result<RgbImage> ours = loadPictureFile(path.toStdString());
        ASSERT_TRUE(ours.ok()) << ours.message();
        const RgbImage toolkit = toRgb(QImage(path));
        ASSERT_EQ(ours->width, toolkit.width);
        ASSERT_EQ(ours->height, toolkit.height);
        RgbImage expected = toolkit;
        if (c.greenBits) {
            // The toolkit shifts the 5- and 6-bit fields up without filling the low bits.
            for (std::size_t i = 0; i < expected.rgb.size(); ++i) {
                const int bits = i % 3 == 1 ? c.greenBits : 5;
                expected.rgb[i] = static_cast<std::uint8_t>(expected.rgb[i] | (expected.rgb[i] >> bits));
            }
        }
        EXPECT_EQ(ours.value(), expected);
    }
}

// The whole job in the windows: load a DNL file, open the editor, load a picture and a logo,
// lower both sliders, accept, save; the file is byte for byte what zarvelo-cli import-image
// writes for the same pictures and colour counts, and loading it shows the new pictures.
TEST_F(StartImageEditorTest, WindowsWriteWhatTheCommandLineToolWrites) {
    if (!std::filesystem::exists(kConvert)) GTEST_SKIP() << "ImageMagick is not installed";
    struct Case {
        const char* name;
        int version;
        QStringList picture;  // convert arguments, %1 the file
        QStringList logo;     // none: the logo stays
        int fewerColours, fewerLogoColours;
    };
    const QString size = QStringLiteral("320x234");
    const Case cases[] = {
        {"8 bit RLE picture and 8 bit logo", 4, {"-size", size, "plasma:fractal", "-blur", "0x4", "+dither", "-colors", "256", "BMP3:%1"},
         {"-size", "79x20", "plasma:fractal", "-colors", "40", "BMP3:%1"}, 5, 12},
        // Noise leaves only a few colours room in the firmware's space.
        {"noisy 8 bit picture, the logo kept", 5, {"-size", size, "plasma:fractal", "-colors", "256", "BMP3:%1"}, {}, 1, 2},
        {"24 bit picture, 16 bit logo", 2, {"-size", size, "gradient:red-blue", "-colors", "120", "-type", "TrueColor", "BMP3:%1"},
         {"-size", "79x20", "plasma:fractal", "-colors", "30", "-type", "TrueColor", "-define", "bmp:subtype=RGB565", "BMP:%1"}, 3, 4},
        {"16 bit picture without a DSP logo", 7,
         {"-size", size, "plasma:fractal", "-colors", "60", "-type", "TrueColor", "-define", "bmp:subtype=RGB565", "BMP:%1"}, {}, 10, 0},
        {"79 x 20 logo alone", 3, {}, {"-size", "79x20", "gradient:yellow-navy", "-colors", "90", "BMP3:%1"}, 0, 30},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string tag = std::to_string(n++);
        const std::string input = dir.file("in" + tag + ".DNL");
        test::writeFile(input, synth::makeSample({.version = c.version}).dnl);
        platform.answerOpen(input);
        main->DNL_Datei_einlesen();
        ASSERT_TRUE(ws().fileLoaded);
        std::string picture, logo;
        if (!c.picture.isEmpty()) {
            picture = dir.file("pic" + tag + ".bmp");
            QStringList args = c.picture;
            args.last() = args.last().arg(QString::fromStdString(picture));
            ASSERT_TRUE(convert(args));
        }
        if (!c.logo.isEmpty()) {
            logo = dir.file("logo" + tag + ".bmp");
            QStringList args = c.logo;
            args.last() = args.last().arg(QString::fromStdString(logo));
            ASSERT_TRUE(convert(args));
        }

        int colours = 0, logoColours = 0;
        RgbImage shownPicture, shownLogo;
        inEditor = [&] {
            if (!picture.empty()) importThroughDialog(picture);
            if (!logo.empty()) importThroughDialog(logo);
            ASSERT_TRUE(platform.messages.empty()) << platform.messages.front();
            colours = std::max(ed().AKT.count - c.fewerColours, 1);
            tf3->TB_Startbild->setValue(colours);
            ASSERT_EQ(ed().AKT.count, colours);
            if (ws().dspLogoSupported) {
                logoColours = std::max(ed().AKT_DSP.count - c.fewerLogoColours, 1);
                while (ed().AKT_DSP.count > logoColours) tf3->TB_DSP->setValue(tf3->TB_DSP->value() - 1);
                shownLogo = toRgb(tf3->I_DSP_optimiert->canvas());
            }
            shownPicture = toRgb(tf3->I_AKT_Bild->canvas());
            tf3->BB_schreibe_NEU_in_BIN->click();
            EXPECT_EQ(tf3->result(), QDialog::Accepted);
        };
        main->Starte_Bildeditor();

        const std::string saved = dir.file("window" + tag + ".DNL");
        onOtherModal = [&](QDialog& dialog) {
            auto* save = dynamic_cast<TF9_Speichern*>(&dialog);
            if (!save) return int(QDialog::Rejected);
            platform.answerSave(saved);
            save->BB_speichereDatei->click();
            return save->result();
        };
        main->DNL_Datei_sichern();
        ASSERT_TRUE(std::filesystem::exists(saved));

        const std::string byTool = dir.file("cli" + tag + ".DNL");
        QStringList args = {"import-image", QString::fromStdString(input), QString::fromStdString(byTool)};
        if (!picture.empty()) args << "--image" << QString::fromStdString(picture);
        args << "--colours" << QString::number(colours);
        if (!logo.empty()) args << "--logo" << QString::fromStdString(logo);
        if (logoColours > 0) args << "--logo-colours" << QString::number(logoColours);
        const test::CliRun run = test::runCli(args);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(test::readFile(saved), test::readFile(byTool));

        // Loading the saved file shows what the editor showed.
        platform.answerOpen(saved);
        main->DNL_Datei_einlesen();
        EXPECT_EQ(ws().startImagePreview(true), shownPicture);
        if (ws().dspLogoSupported) {
            EXPECT_EQ(ws().dspLogoPreview(true), shownLogo);
        }
        inEditor = nullptr;
        onOtherModal = nullptr;
    }
}
