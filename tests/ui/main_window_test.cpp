// The real main window, driven offscreen through its widgets with scripted dialogs.

#include "program_windows_fixture.hpp"
#include "ui/main_window.hpp"
#include "ui/palette_views.hpp"
#include "ui/program_windows.hpp"
#include "flash/dnl_file.hpp"
#include "flash/firmware_versions.hpp"
#include "flash/messages.hpp"
#include "graphics/globe_animation.hpp"
#include "graphics/grid.hpp"
#include "graphics/messages.hpp"
#include "scripted_platform.hpp"
#include "synthetic_firmware.hpp"
#include "test_files.hpp"
#include "cli_runner.hpp"
#include "test_pictures.hpp"
#include "workspace/picture_file.hpp"
#include "ui/resources_init.hpp"
#include "ui/tf10_farbpalette.hpp"
#include "ui/tf2_farbeditor.hpp"
#include "ui/tf3_startbild.hpp"
#include "ui/tf4_texte.hpp"
#include "ui/tf5_versionsinfo.hpp"
#include "ui/tf6_unterstuetzt.hpp"
#include "ui/tf7_haupthilfe.hpp"
#include "ui/tf8_startinfo.hpp"
#include "ui/tf9_speichern.hpp"
#include "ui_tf1_hauptseite.h"

#include <QApplication>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace zarvelo;
using test::TempDir;
using test::readFile;
using test::writeFile;
namespace fs = std::filesystem;

namespace {

Rgb pixel(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return {static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)), static_cast<std::uint8_t>(qBlue(p))};
}

Bytes bytesAt(const Bytes& flash, std::size_t offset, std::size_t n) {
    return Bytes(flash.begin() + static_cast<std::ptrdiff_t>(offset), flash.begin() + static_cast<std::ptrdiff_t>(offset + n));
}

Bytes asBytes(const std::array<std::uint8_t, kGridPatchSize>& form) { return Bytes(form.begin(), form.end()); }

constexpr Rgb kPen = kOverlayPenColour;

class MainWindowTest : public test::ProgramWindowsTest {
protected:
    void SetUp() override {
        ProgramWindowsTest::SetUp();
        u = &main->ui();
    }

    // Writes the sample's file and loads it through the open dialog.
    std::string load(const Bytes& dnl, const std::string& name = "V2DG2322.DNL") {
        const std::string path = dir.file(name);
        writeFile(path, dnl);
        platform.answerOpen(path);
        main->DNL_Datei_einlesen();
        return path;
    }
    synth::Sample loadSample(const synth::Options& options) {
        synth::Sample sample = synth::makeSample(options);
        load(sample.dnl);
        return sample;
    }

    // The next start image editor takes `picture` and closes with "Daten übernehmen".
    void acceptPictureInEditor(const std::string& picture) {
        onModal = [this, picture](QDialog& dialog) {
            auto* editor = dynamic_cast<TF3_Startbild*>(&dialog);
            if (!editor) return int(QDialog::Rejected);
            editor->FormShow();
            editor->importFile(picture);
            editor->BB_schreibe_NEU_in_BIN->click();
            return editor->result();
        };
        u->S_Startbild->click();
    }
    // The next save dialog asks for `path` (nothing: its file dialog is cancelled) in `mode`.
    void answerSaveDialog(std::optional<std::string> path, ColourMode mode = ColourMode::Normal) {
        onModal = [this, path, mode](QDialog& dialog) {
            auto* save = dynamic_cast<TF9_Speichern*>(&dialog);
            if (!save) return int(QDialog::Rejected);
            save->setColourMode(mode);
            platform.answerSave(path);
            save->BB_speichereDateiClick();
            return save->result();
        };
    }

    Workspace& ws() { return main->workspace(); }
    const QImage& preview() { return u->I_BIN_Bild_Grafik->canvas(); }
    bool shownOnPage(QWidget* w) { return w->isVisibleTo(main); }

    // Every pixel of the start image preview in the colours of `palette`, except where `skip` says so.
    void expectPlainPreview(const synth::Sample& sample, const Palette& palette) {
        int wrong = 0;
        for (int y = 0; y < 234; ++y)
            for (int x = 0; x < 320; ++x)
                if (!(pixel(preview(), x, y) == palette[sample.startImage[static_cast<std::size_t>(y * 320 + x)]])) ++wrong;
        EXPECT_EQ(wrong, 0);
    }

    Ui::TF1_Hauptseite* u = nullptr;
};

}  // namespace

// --- command state --------------------------------------------------------------------

TEST_F(MainWindowTest, CommandsAndPageAreasFollowTheLoadedFile) {
    const std::vector<QWidget*> buttons = {u->S_speichere_DNL_file, u->S_Startbild, u->S_Texte,
                                           u->P_Palette_speichern, u->P_Bild_speichern, u->P_alle_Farben};
    const std::vector<QAction*> items = {u->DNLDateispeichern1, u->BINDateispeichern1, u->Startbildbearbeiten1,
                                         u->extebearbeiten1};
    const std::vector<QWidget*> areas = {u->P_Bild_speichern, u->P_Palette_speichern, u->P_alle_Farben,
                                         u->P_Farbpalette, u->LB_Versionstexte, u->P_DNL_Palette,
                                         u->P_DNL_Grafik, u->GB_TagNacht, u->P_TagNachtMeldungen};
    for (QWidget* w : buttons) EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    for (QAction* a : items) EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    for (QWidget* w : areas) EXPECT_FALSE(shownOnPage(w)) << w->objectName().toStdString();
    EXPECT_FALSE(shownOnPage(u->GB_VW_Einblendungen));
    // Always available.
    for (QAction* a : {u->DNLDateilesen1, u->Ende1, u->Expertenmodus1, u->Hilfe2, u->untersttzteVersionen1, u->Info1})
        EXPECT_TRUE(a->isEnabled());
    for (QWidget* w : {u->S_oeffne_DNL_file, u->S_Hilfe, u->S_Ende}) EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(u->S_oeffne_DNL_file->text(), QStringLiteral("DNL-DATEI\n\rladen"));
    EXPECT_EQ(u->S_Startbild->text(), QStringLiteral("STARTBILDER\n\rbearbeiten"));
    EXPECT_EQ(u->S_Hilfe->text(), QStringLiteral("HILFE"));
    EXPECT_TRUE(u->RB_Tag->isChecked());

    loadSample({.version = 4});
    for (QWidget* w : buttons) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    for (QAction* a : items) EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    for (QWidget* w : areas) EXPECT_TRUE(shownOnPage(w)) << w->objectName().toStdString();
}

TEST_F(MainWindowTest, WindowHasTheFixedClientAreaAndTheLayoutPositions) {
    EXPECT_EQ(u->centralwidget->size(), QSize(559, 453));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Zarvelo[*]"));  // "[*]": unsaved changes
    EXPECT_EQ(u->LB_Versionstexte->geometry(), QRect(224, 55, 330, 60));
    EXPECT_EQ(u->GB_VW_Einblendungen->geometry(), QRect(314, 120, 240, 59));
    EXPECT_EQ(u->P_DSP->geometry(), QRect(224, 125, 87, 76));
    EXPECT_EQ(u->P_DNL_Grafik->geometry(), QRect(224, 203, 330, 244));
    EXPECT_EQ(u->I_BIN_Bild_Grafik->size(), QSize(320, 234));
    EXPECT_EQ(u->I_Tag_Palette->size(), QSize(209, 209));
    EXPECT_EQ(u->S_Ende->geometry(), QRect(487, 5, 57, 40));
    EXPECT_EQ(u->LB_Versionstexte->toolTip(), QStringLiteral("Softwareinformationen"));
    EXPECT_EQ(u->RB_Gitter_aus->toolTip(),
              QStringLiteral("Markieren, wenn die Gitterlinien im Navi nicht angezeigt werden sollen"));
}

TEST_F(MainWindowTest, EachKindOfVersionShowsItsOverlayControls) {
    struct Case {
        int version;
        synth::GridData grid;
        bool group, dsp, gridActive;
    };
    const Case cases[] = {
        {4, synth::GridData::Active, true, true, true},       // DSP logo and grid
        {2, synth::GridData::Inactive, true, true, false},    // grid switched off
        {1, synth::GridData::Active, true, false, true},      // VW overlays without DSP logo
        {3, synth::GridData::Foreign, true, true, false},     // neither form counts as inactive
        {6, synth::GridData::Active, false, false, false},    // no VW overlays
        {12, synth::GridData::Active, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        const synth::Sample sample = loadSample({.version = c.version, .grid = c.grid});
        ASSERT_TRUE(platform.messages.empty());
        EXPECT_EQ(shownOnPage(u->GB_VW_Einblendungen), c.group);
        EXPECT_EQ(shownOnPage(u->P_DSP), c.dsp);
        EXPECT_EQ(shownOnPage(u->RB_DSP_an), c.dsp);
        EXPECT_EQ(shownOnPage(u->RB_DSP_aus), c.dsp);
        EXPECT_EQ(ws().gridActive(), c.gridActive);
        if (c.group) {
            EXPECT_EQ(u->RB_Gitter_an->isChecked(), c.gridActive);
            EXPECT_EQ(u->RB_Gitter_aus->isChecked(), !c.gridActive);
        }
        // Showing the state read writes nothing.
        EXPECT_EQ(ws().flash(), sample.flash);
        EXPECT_EQ(u->LB_Versionstexte->count(), 4);
        EXPECT_EQ(u->LB_Versionstexte->item(3)->text(), QStringLiteral("Datei ist Original"));
        EXPECT_EQ(u->L_AnzCol->text().toInt(), ws().startImageColourCount());
        if (c.gridActive) {
            // The first point of the first grid line, in the pen colour.
            EXPECT_EQ(pixel(preview(), 301, 56), kPen);
        } else {
            expectPlainPreview(sample, ws().dayPalette());
        }
        if (c.dsp) {
            EXPECT_EQ(u->L_DSP_AnzCol->text().toInt(), static_cast<int>(ws().dspIndexList().size()));
            EXPECT_EQ(pixel(u->I_BIN_DSP_Grafik->canvas(), 0, 0), ws().dayPalette()[sample.dspLogo[0]]);
        }
    }
}

TEST_F(MainWindowTest, SoftwareInformationIsDecodedFromWindows1252) {
    synth::Sample sample = synth::makeSample({.version = 6});
    load(sample.dnl);
    ASSERT_TRUE(platform.messages.empty());
    for (int i = 0; i < 3; ++i) {
        const std::string& raw = sample.infoLines[static_cast<std::size_t>(i)];
        EXPECT_EQ(u->LB_Versionstexte->item(i)->text(), QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size())));
    }
    EXPECT_TRUE(u->LB_Versionstexte->item(1)->text().endsWith(QLatin1Char(' ')));
    EXPECT_TRUE(u->LB_Versionstexte->selectedItems().isEmpty());
}

TEST_F(MainWindowTest, SecondLoadResetsViewAndDspOverlay) {
    loadSample({.version = 4});
    u->RB_Nacht->click();
    u->RB_DSP_an->click();
    windows->windows().speichern->setColourMode(ColourMode::Swap);
    ASSERT_FALSE(main->dayView());
    ASSERT_TRUE(u->RB_DSP_an->isChecked());

    const synth::Sample second = loadSample({.version = 4, .grid = synth::GridData::Inactive, .seed = 7});
    EXPECT_TRUE(u->RB_Tag->isChecked());
    EXPECT_TRUE(main->dayView());
    EXPECT_TRUE(u->RB_DSP_aus->isChecked());
    EXPECT_EQ(windows->windows().speichern->colourMode(), ColourMode::Normal);
    expectPlainPreview(second, ws().dayPalette());

    // Every later run of the command state resets it as well.
    windows->windows().speichern->setColourMode(ColourMode::AlwaysNight);
    u->RB_Nacht->click();
    EXPECT_EQ(windows->windows().speichern->colourMode(), ColourMode::Normal);
}

TEST_F(MainWindowTest, RejectedFilesLeaveThePageAsItWas) {
    const synth::Sample first = loadSample({.version = 4});
    const std::string firstPath = ws().fileName();
    const QImage before = preview().copy();
    const Bytes flashBefore = ws().flash();

    Bytes damaged = synth::makeSample({.version = 2}).dnl;
    damaged[200] ^= 0x5A;
    Bytes unknown = synth::makeSample({.version = 2}).dnl;
    unknown[7] = 0x99;
    DNL_schreibe_Pruefsumme(unknown, DNL_rechne_Pruefsumme(unknown));
    const struct {
        Bytes dnl;
        const char* message;
    } cases[] = {{damaged, msg::kChecksumError}, {unknown, msg::kUnknownVersion}, {Bytes(10, 0), msg::kChecksumError}};
    for (const auto& c : cases) {
        platform.messages.clear();
        load(c.dnl, "rejected.DNL");
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0], c.message);
        EXPECT_EQ(ws().flash(), flashBefore);
        EXPECT_EQ(ws().dnl(), first.dnl);
        EXPECT_EQ(ws().fileName(), firstPath);
        EXPECT_EQ(ws().versionIndex(), 4);
        EXPECT_EQ(preview(), before);
        EXPECT_TRUE(u->S_speichere_DNL_file->isEnabled());
        EXPECT_EQ(u->LB_Versionstexte->item(1)->text().toStdString(), first.infoLines[1]);
    }
    // A cancelled dialog changes nothing and shows nothing.
    platform.messages.clear();
    main->DNL_Datei_einlesen();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(ws().flash(), flashBefore);
}

TEST_F(MainWindowTest, OpenDialogStartsWithTheFilterAndKeepsTheLastChoice) {
    main->DNL_Datei_einlesen();  // cancelled
    ASSERT_EQ(platform.openRequests.size(), 1u);
    EXPECT_EQ(platform.openRequests[0].filter, "Navi-Flash-Dateien (*.DNL)|*.DNL");
    EXPECT_EQ(platform.openRequests[0].defaultExtension, "DNL");
    EXPECT_EQ(platform.openRequests[0].initialName, "*.DNL");
    const std::string path = load(synth::makeSample({.version = 9}).dnl, "V9.DNL");
    main->DNL_Datei_einlesen();
    EXPECT_EQ(platform.openRequests.back().initialName, path);
}

TEST_F(MainWindowTest, DamagedFlashRoutineMarkerBeepsReportsAndLoads) {
    loadSample({.version = 4, .damagedSecondMarker = true});
    EXPECT_EQ(platform.beeps, 1);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], msg::kMarkerCorrected);
    EXPECT_TRUE(ws().fileLoaded());
    EXPECT_TRUE(shownOnPage(u->P_DNL_Grafik));
}

// --- palette views --------------------------------------------------------------------

TEST_F(MainWindowTest, PaletteViewsDrawCellsMarksAndSplitSquares) {
    const synth::Sample sample = loadSample({.version = 4});
    const QImage& day = u->I_Tag_Palette->canvas();
    const QImage& split = u->I_TagNacht_Palette->canvas();
    const QColor gap = QColor::fromRgb(day.pixel(0, 0));
    int usedByBoth = -1, unused = -1;
    for (int i = 0; i < 256; ++i) {
        const bool start = ws().startImagePixelCounts()[static_cast<std::size_t>(i)] > 0;
        const bool dsp = ws().dspPixelCounts()[static_cast<std::size_t>(i)] > 0;
        if (start && dsp && usedByBoth < 0) usedByBoth = i;
        if (!start && !dsp && unused < 0) unused = i;
    }
    ASSERT_GE(usedByBoth, 0);
    ASSERT_GE(unused, 0);
    const auto check = [&](int index) {
        const int x = 13 * (index % 16), y = 13 * (index / 16);
        const Rgb dayColour = ws().dayPalette()[static_cast<std::size_t>(index)];
        const Rgb nightColour = ws().nightPalette()[static_cast<std::size_t>(index)];
        EXPECT_EQ(pixel(day, x + 1, y + 1), dayColour);
        EXPECT_EQ(pixel(day, x + 12, y + 12), dayColour);
        EXPECT_EQ(QColor::fromRgb(day.pixel(x, y + 5)), gap);       // lines between cells stay
        EXPECT_EQ(QColor::fromRgb(day.pixel(x + 13, y + 5)), gap);
        EXPECT_EQ(pixel(split, x + 6, y + 6 + 1), nightColour);      // inner square of the split view
        EXPECT_EQ(pixel(split, x + 3, y + 6), dayColour);
        EXPECT_EQ(pixel(u->I_NachtTag_Palette->canvas(), x + 6, y + 7), dayColour);
        EXPECT_EQ(pixel(u->I_Nacht_Palette->canvas(), x + 6, y + 7), nightColour);
    };
    check(usedByBoth);
    check(unused);
    const int x = 13 * (usedByBoth % 16), y = 13 * (usedByBoth / 16);
    for (const QImage* view : {&day, &split}) {
        EXPECT_EQ(pixel(*view, x + 3, y + 3), (Rgb{0, 0, 0}));
        EXPECT_EQ(pixel(*view, x + 4, y + 4), (Rgb{255, 0, 0}));
        EXPECT_EQ(pixel(*view, x + 9, y + 4), (Rgb{255, 0, 0}));
        EXPECT_EQ(pixel(*view, x + 10, y + 5), (Rgb{0, 0, 0}));
        EXPECT_EQ(pixel(*view, x + 3, y + 8), (Rgb{0, 0, 0}));
        EXPECT_EQ(pixel(*view, x + 4, y + 9), (Rgb{255, 255, 0}));
        EXPECT_EQ(pixel(*view, x + 10, y + 10), (Rgb{0, 0, 0}));
    }
    (void)sample;
}

TEST_F(MainWindowTest, SplitAndViewChooseTheVisiblePaletteView) {
    loadSample({.version = 7});
    const auto visible = [&] {
        std::vector<std::string> names;
        for (PictureView* v : {u->I_Tag_Palette, u->I_TagNacht_Palette, u->I_Nacht_Palette, u->I_NachtTag_Palette})
            if (shownOnPage(v)) names.push_back(v->objectName().toStdString());
        return names;
    };
    EXPECT_EQ(visible(), std::vector<std::string>{"I_Tag_Palette"});
    u->CB_TagNacht->click();
    EXPECT_EQ(visible(), std::vector<std::string>{"I_TagNacht_Palette"});
    u->RB_Nacht->click();
    EXPECT_EQ(visible(), std::vector<std::string>{"I_NachtTag_Palette"});
    u->CB_TagNacht->click();
    EXPECT_EQ(visible(), std::vector<std::string>{"I_Nacht_Palette"});
}

TEST_F(MainWindowTest, MouseMoveShowsTheColourUnderTheMouse) {
    loadSample({.version = 4});
    u->RB_Nacht->click();
    const int index = ws().startImage()[100 * 320 + 100];
    main->I_PaletteMouseMove(QPoint(13 * (index % 16) + 7, 13 * (index / 16) + 12));
    const Rgb night = ws().nightPalette()[static_cast<std::size_t>(index)];
    EXPECT_EQ(u->L_Pal_Koord->text().toInt(), index);
    EXPECT_EQ(u->L_Rot->text().toInt(), night.r);
    EXPECT_EQ(u->L_Gruen->text().toInt(), night.g);
    EXPECT_EQ(u->L_Blau->text().toInt(), night.b);
    EXPECT_EQ(u->L_DNL_FarbAnzahl->text().toInt(), ws().startImagePixelCounts()[static_cast<std::size_t>(index)]);
    EXPECT_EQ(u->L_DSP_FarbAnzahl->text().toInt(), ws().dspPixelCounts()[static_cast<std::size_t>(index)]);
    // The last pixel row and column belong to the last cells.
    main->I_PaletteMouseMove(QPoint(208, 208));
    EXPECT_EQ(u->L_Pal_Koord->text(), QStringLiteral("255"));
    main->I_PaletteMouseMove(QPoint(208, 0));
    EXPECT_EQ(u->L_Pal_Koord->text(), QStringLiteral("15"));
}

TEST_F(MainWindowTest, LeftClickShowsOneColourAndAllColoursShowsThemAgain) {
    const synth::Sample sample = loadSample({.version = 6});
    const int index = sample.startImage[117 * 320 + 160];
    const int x = 13 * (index % 16), y = 13 * (index / 16);
    const Rgb colour = ws().dayPalette()[static_cast<std::size_t>(index)];
    const Rgb contrast = KontrastFarbe(colour);
    const int before = main->pauseCount();

    main->I_PaletteMouseDown(QPoint(x + 5, y + 5), Qt::LeftButton);
    EXPECT_EQ(main->selectedColour(), index);
    EXPECT_EQ(main->pauseCount(), before);  // no pauses for a selection
    int wrong = 0;
    for (int py = 0; py < 234; ++py)
        for (int px = 0; px < 320; ++px) {
            const bool same = sample.startImage[static_cast<std::size_t>(py * 320 + px)] == index;
            if (!(pixel(preview(), px, py) == (same ? colour : contrast))) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
    const QImage& view = u->I_Tag_Palette->canvas();
    EXPECT_EQ(pixel(view, x + 1, y + 1), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixel(view, x + 2, y + 6), contrast);
    EXPECT_EQ(pixel(view, x + 11, y + 11), contrast);

    u->P_alle_Farben->click();
    EXPECT_EQ(main->selectedColour(), -1);
    expectPlainPreview(sample, ws().dayPalette());
    EXPECT_EQ(pixel(view, x + 1, y + 1), colour);
    EXPECT_EQ(pixel(view, x + 2, y + 6), colour);
}

TEST_F(MainWindowTest, DayNightNoticeAndCorrection) {
    struct Case {
        synth::NightPalette night;
        bool shown, button;
        QString text;
    };
    const Case cases[] = {
        {synth::NightPalette::SameAsDay, true, false, QStringLiteral("Tag- und Nacht-Farbpaletten\n\rsind absolut identisch!")},
        {synth::NightPalette::Darker, true, true, QStringLiteral("Startbilddarstellung variiert\n\rzwischen Tag- und Nachtmodus!")},
        {synth::NightPalette::DiffersUnused, false, false, QString()},
    };
    for (const Case& c : cases) {
        loadSample({.version = 3, .night = c.night});
        EXPECT_EQ(shownOnPage(u->L_TagNachtDifferenz), c.shown);
        EXPECT_EQ(shownOnPage(u->P_FixTagNacht), c.button);
        EXPECT_EQ(u->L_TagNachtDifferenz->text(), c.text);
    }

    // Correct from the night view: the day entries of used colours take the night colours.
    loadSample({.version = 3, .night = synth::NightPalette::Darker});
    u->RB_Nacht->click();
    const Palette nightBefore = ws().nightPalette();
    const Palette dayBefore = ws().dayPalette();
    u->P_FixTagNacht->click();
    // No relevant difference is left (the palettes may even be identical now).
    EXPECT_FALSE(shownOnPage(u->P_FixTagNacht));
    EXPECT_TRUE(!shownOnPage(u->L_TagNachtDifferenz) || u->L_TagNachtDifferenz->text() == cases[0].text);
    EXPECT_EQ(ws().nightPalette(), nightBefore);
    const std::size_t p = ws().paletteOffset();
    for (std::size_t i = 0; i < 256; ++i) {
        const bool used = ws().startImagePixelCounts()[i] > 0 || ws().dspPixelCounts()[i] > 0;
        const Rgb expected = used ? nightBefore[i] : dayBefore[i];
        EXPECT_EQ((Rgb{ws().flash()[p + 3 * i], ws().flash()[p + 3 * i + 1], ws().flash()[p + 3 * i + 2]}), expected) << i;
        EXPECT_EQ(pixel(u->I_Tag_Palette->canvas(), 13 * static_cast<int>(i % 16) + 1, 13 * static_cast<int>(i / 16) + 1),
                  expected);
    }
}

// --- colour editor --------------------------------------------------------------------

TEST_F(MainWindowTest, ColourEditorOkWritesTheShownPaletteAndRedraws) {
    const synth::Sample sample = loadSample({.version = 6});
    u->RB_Nacht->click();
    const int index = sample.startImage[50 * 320 + 50];
    const std::size_t entry = ws().paletteOffset() + 0x300 + 3 * static_cast<std::size_t>(index);
    const Bytes dayBefore = bytesAt(ws().flash(), ws().paletteOffset(), 768);
    onModal = [&](QDialog& dialog) {
        auto* editor = dynamic_cast<TF2_Farbeditor*>(&dialog);
        EXPECT_NE(editor, nullptr);
        if (!editor) return int(QDialog::Rejected);
        EXPECT_EQ(editor->editedIndex(), index);
        editor->FormShow();
        editor->T_rot->setValue(1);
        editor->T_gruen->setValue(2);
        editor->T_blau->setValue(3);
        editor->BitBtn1Click();
        return editor->result();
    };
    main->I_PaletteMouseDown(QPoint(13 * (index % 16) + 6, 13 * (index / 16) + 6), Qt::RightButton);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(bytesAt(ws().flash(), entry, 3), (Bytes{1, 2, 3}));
    EXPECT_EQ(bytesAt(ws().flash(), ws().paletteOffset(), 768), dayBefore);
    EXPECT_EQ(ws().nightPalette()[static_cast<std::size_t>(index)], (Rgb{1, 2, 3}));
    EXPECT_EQ(pixel(preview(), 50, 50), (Rgb{1, 2, 3}));
    EXPECT_EQ(pixel(u->I_Nacht_Palette->canvas(), 13 * (index % 16) + 6, 13 * (index / 16) + 1), (Rgb{1, 2, 3}));
}

TEST_F(MainWindowTest, ColourEditorCancelChangesNothingAndKeepsTheFrame) {
    loadSample({.version = 4});
    main->I_PaletteMouseDown(QPoint(13 * 3 + 5, 13 * 2 + 5), Qt::LeftButton);  // index 35 selected
    const Bytes flash = ws().flash();
    const QImage before = preview().copy();
    onModal = [](QDialog&) { return int(QDialog::Rejected); };
    main->I_PaletteMouseDown(QPoint(13 * 3 + 5, 13 * 2 + 5), Qt::RightButton);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(ws().flash(), flash);
    EXPECT_EQ(preview(), before);
    EXPECT_EQ(pixel(u->I_Tag_Palette->canvas(), 13 * 3 + 1, 13 * 2 + 1), (Rgb{0, 0, 0}));
}

// --- grid and DSP overlay -------------------------------------------------------------

TEST_F(MainWindowTest, GridButtonsWriteTheirFormOnlyWhenNewlySelected) {
    const synth::Sample sample = loadSample({.version = 3, .grid = synth::GridData::Foreign});
    const auto grid = static_cast<std::size_t>(firmwareVersion(3).gridOffset);
    const Bytes foreign = bytesAt(sample.flash, grid, kGridPatchSize);
    ASSERT_TRUE(u->RB_Gitter_aus->isChecked());
    EXPECT_EQ(bytesAt(ws().flash(), grid, kGridPatchSize), foreign);

    u->RB_Gitter_aus->click();  // already selected: nothing written
    EXPECT_EQ(bytesAt(ws().flash(), grid, kGridPatchSize), foreign);

    u->RB_Gitter_an->click();
    EXPECT_EQ(bytesAt(ws().flash(), grid, kGridPatchSize), asBytes(kGridActiveForm));
    EXPECT_TRUE(ws().gridActive());
    EXPECT_EQ(pixel(preview(), 301, 56), kPen);

    u->RB_Gitter_aus->click();
    EXPECT_EQ(bytesAt(ws().flash(), grid, kGridPatchSize), asBytes(gridInactiveForm()));
    EXPECT_FALSE(ws().gridActive());
    expectPlainPreview(sample, ws().dayPalette());
    // Only the grid block changed.
    Bytes expected = sample.flash;
    std::copy_n(gridInactiveForm().begin(), kGridPatchSize, expected.begin() + static_cast<std::ptrdiff_t>(grid));
    EXPECT_EQ(ws().flash(), expected);
}

TEST_F(MainWindowTest, ARefusedGridSwitchOrCorrectionShowsWhyAndChangesNothing) {
    // Before any file: the correction has nothing to write into.
    main->P_FixTagNachtClick();
    EXPECT_EQ(platform.messages, std::vector<std::string>{msg::kNoFileLoaded});

    // A version without grid lines refuses the grid switch; the buttons keep showing what is written.
    loadSample({.version = 9});
    ASSERT_FALSE(ws().gridActive());
    const Bytes before = ws().flash();
    platform.messages.clear();
    u->RB_Gitter_an->click();
    EXPECT_EQ(platform.messages, std::vector<std::string>{msg::kNoGridPatch});
    EXPECT_FALSE(u->RB_Gitter_an->isChecked());
    EXPECT_TRUE(u->RB_Gitter_aus->isChecked());
    EXPECT_EQ(ws().flash(), before);
    EXPECT_FALSE(u->Rueckgaengig1->isEnabled());
    EXPECT_FALSE(main->isWindowModified());
}

TEST_F(MainWindowTest, AnimationPausesOnlyWhenAnimatedAndTheLogoSlidesIn) {
    loadSample({.version = 2, .grid = synth::GridData::Inactive});
    EXPECT_EQ(main->pauseCount(), 0);  // no overlay, nothing to animate
    const QImage logo = u->I_BIN_DSP_Grafik->canvas().copy();

    u->RB_DSP_an->click();  // animated: 32 pauses between the 33 steps
    EXPECT_EQ(main->pauseCount(), 32);
    EXPECT_EQ(pixel(preview(), 0, 11), pixel(logo, 15, 0));
    EXPECT_EQ(pixel(preview(), 63, 30), pixel(logo, 78, 19));

    u->RB_Nacht->click();  // a view switch redraws at once
    EXPECT_EQ(main->pauseCount(), 32);
    u->RB_Gitter_an->click();  // the grid appears step by step
    EXPECT_EQ(main->pauseCount(), 64);
    EXPECT_EQ(pixel(preview(), 301, 56), kPen);

    u->RB_DSP_aus->click();
    EXPECT_EQ(main->pauseCount(), 64);
    EXPECT_TRUE(u->RB_DSP_aus->isChecked());
}

// --- save, export ---------------------------------------------------------------------

TEST_F(MainWindowTest, SaveDialogWithColourModeRedrawsAndRebuildsTheInformation) {
    const std::string loaded = load(synth::makeSample({.version = 4}).dnl);
    const std::string target = dir.file("saved.DNL");
    onModal = [&](QDialog& dialog) {
        auto* save = dynamic_cast<TF9_Speichern*>(&dialog);
        EXPECT_NE(save, nullptr);
        if (!save) return int(QDialog::Rejected);
        save->setColourMode(ColourMode::AlwaysDay);
        platform.answerSave(target);
        save->BB_speichereDateiClick();
        return save->result();
    };
    main->DNL_Datei_sichern();
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_FALSE(platform.saveRequests.empty());
    EXPECT_EQ(platform.saveRequests.back().initialName, loaded);
    EXPECT_EQ(ws().nightPalette(), ws().dayPalette());
    const int i = ws().startImage()[0];
    u->RB_Nacht->click();
    EXPECT_EQ(pixel(u->I_Nacht_Palette->canvas(), 13 * (i % 16) + 1, 13 * (i / 16) + 1), ws().dayPalette()[static_cast<std::size_t>(i)]);
    EXPECT_EQ(u->LB_Versionstexte->item(3)->text(), QStringLiteral("Datei wurde modifiziert"));
    EXPECT_EQ(readFile(target), ws().dnl());

    // The saved file loads again as the same version.
    platform.messages.clear();
    load(readFile(target), "again.DNL");
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(ws().versionIndex(), 4);
}

TEST_F(MainWindowTest, FailedSaveIsReportedAndLeavesPalettesAndInformation) {
    const synth::Sample sample = loadSample({.version = 4});
    writeFile(dir.file("plain"), Bytes{1});
    const Palette night = ws().nightPalette();
    ASSERT_NE(night, ws().dayPalette());
    onModal = [&](QDialog& dialog) {
        auto* save = dynamic_cast<TF9_Speichern*>(&dialog);
        if (!save) return int(QDialog::Rejected);
        save->setColourMode(ColourMode::AlwaysDay);
        platform.answerSave(dir.file("plain") + "/saved.DNL");  // below a file: cannot be written
        save->BB_speichereDateiClick();
        return save->result();
    };
    main->DNL_Datei_sichern();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].rfind("Die Datei kann nicht geschrieben werden:\n", 0), 0u) << platform.messages[0];
    EXPECT_EQ(ws().flash(), sample.flash);
    EXPECT_EQ(ws().dnl(), sample.dnl);
    EXPECT_EQ(ws().nightPalette(), night);
    EXPECT_EQ(u->LB_Versionstexte->item(3)->text(), QStringLiteral("Datei ist Original"));
}

TEST_F(MainWindowTest, BinExportWritesTheFlashImage) {
    const synth::Sample sample = loadSample({.version = 5});
    main->BIN_zu_File();  // cancelled: nothing written
    ASSERT_EQ(platform.saveRequests.size(), 1u);
    EXPECT_EQ(platform.saveRequests[0].filter, "BIN-Dateien (*.BIN)|*.BIN");
    EXPECT_EQ(platform.saveRequests[0].defaultExtension, "BIN");
    const std::string path = dir.file("flash.BIN");
    platform.answerSave(path);
    u->BINDateispeichern1->trigger();
    EXPECT_EQ(readFile(path), sample.flash);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(MainWindowTest, BmpExportsWriteTheViewsAsShown) {
    loadSample({.version = 4});
    u->CB_TagNacht->click();
    main->I_PaletteMouseDown(QPoint(40, 40), Qt::LeftButton);
    struct Case {
        QPushButton* button;
        const QImage* shown;
        QSize size;
    };
    const Case cases[] = {{u->P_Bild_speichern, &preview(), QSize(320, 234)},
                          {u->P_Palette_speichern, &u->I_TagNacht_Palette->canvas(), QSize(209, 209)},
                          {u->P_speichere_DSP_LOGO, &u->I_BIN_DSP_Grafik->canvas(), QSize(79, 20)}};
    int n = 0;
    for (const Case& c : cases) {
        const std::string path = dir.file("bild" + std::to_string(n++) + ".BMP");
        platform.answerSave(path);
        c.button->click();
        EXPECT_EQ(platform.saveRequests.back().filter, "Grafik-Dateien (*.BMP)|*.BMP");
        EXPECT_EQ(platform.saveRequests.back().defaultExtension, "BMP");
        const Bytes file = readFile(path);
        ASSERT_GT(file.size(), 54u);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[28], 24);  // bits per pixel
        QImage written(QString::fromStdString(path));
        ASSERT_EQ(written.size(), c.size);
        EXPECT_EQ(written.convertToFormat(QImage::Format_RGB888), c.shown->convertToFormat(QImage::Format_RGB888));
    }
    // A file that cannot be written is reported; an existing file is left whole.
    const std::string existing = dir.file("keep.BMP");
    writeFile(existing, Bytes{1, 2, 3});
    fs::permissions(dir.file(""), fs::perms::owner_read | fs::perms::owner_exec);
    platform.answerSave(existing);
    u->P_Bild_speichern->click();
    fs::permissions(dir.file(""), fs::perms::owner_all);
    if (::geteuid() != 0) {
        EXPECT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(readFile(existing), (Bytes{1, 2, 3}));
    }
    platform.answerSave(dir.file("missing/folder/x.BMP"));
    platform.messages.clear();
    u->P_Bild_speichern->click();
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_FALSE(fs::exists(dir.file("missing")));
}

// --- other commands -------------------------------------------------------------------

TEST_F(MainWindowTest, StartImageEditorSeesAPlainPictureAndFlagsComeBack) {
    const synth::Sample sample = loadSample({.version = 4});
    u->RB_DSP_an->click();
    main->I_PaletteMouseDown(QPoint(20, 20), Qt::LeftButton);
    bool plainDuringEditor = false;
    onModal = [&](QDialog& dialog) {
        EXPECT_NE(dynamic_cast<TF3_Startbild*>(&dialog), nullptr);
        // No overlay and all colours on the page; the document's grid is untouched.
        plainDuringEditor = main->selectedColour() == -1 && ws().gridActive();
        expectPlainPreview(sample, ws().dayPalette());
        return int(QDialog::Rejected);
    };
    u->S_Startbild->click();
    EXPECT_TRUE(plainDuringEditor);
    EXPECT_TRUE(u->RB_DSP_an->isChecked());
    EXPECT_TRUE(ws().gridActive());
    EXPECT_EQ(main->selectedColour(), -1);
    // Both overlays are back: the grid and the slid-in logo.
    EXPECT_EQ(pixel(preview(), 301, 56), kPen);
    const QImage& logo = u->I_BIN_DSP_Grafik->canvas();
    EXPECT_EQ(pixel(preview(), 63, 30), pixel(logo, 78, 19));
}

TEST_F(MainWindowTest, ExpertModeTogglesWithTheMenuItem) {
    u->Expertenmodus1->trigger();
    EXPECT_TRUE(main->expertMode());
    EXPECT_TRUE(u->Expertenmodus1->isChecked());
    u->Expertenmodus1->trigger();
    EXPECT_FALSE(main->expertMode());
    EXPECT_FALSE(u->Expertenmodus1->isChecked());
}

TEST_F(MainWindowTest, StartNoticeIsShownOnceWhenTheMainWindowFirstAppears) {
    main->setStartNoticeEnabled(true);
    main->show();
    QApplication::processEvents();
    main->hide();
    main->show();
    QApplication::processEvents();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(dynamic_cast<TF8_StartInfo*>(shown[0]), nullptr);
    main->close();
}

TEST_F(MainWindowTest, HelpAndInformationCommandsOpenTheirWindows) {
    u->S_Hilfe->click();
    u->Info1->trigger();
    u->untersttzteVersionen1->trigger();
    u->S_Texte->click();  // disabled without a file
    const SecondaryWindows& w = windows->windows();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], static_cast<QDialog*>(w.hauptHilfe));
    EXPECT_EQ(shown[1], static_cast<QDialog*>(w.versionsInfo));
    EXPECT_EQ(shown[2], static_cast<QDialog*>(w.unterstuetzt));
    EXPECT_TRUE(w.hauptHilfe->RE_Hilfe->toPlainText().contains(QStringLiteral("Einleitung:")));
    loadSample({.version = 11});
    u->S_Texte->click();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[3], static_cast<QDialog*>(w.texte));
}

// --- history ----------------------------------------------------------------------------

namespace {

// What the main page shows of the document.
struct Page {
    QImage preview, logo, day, night;
    QStringList info;
    QString colours, notice;
    bool noticeShown, gridOn, gridOff, saveEnabled;
    bool operator==(const Page&) const = default;
};

}  // namespace

TEST_F(MainWindowTest, UndoAndRedoOfEachAcceptedChangeShowWhatTheImageShows) {
    const std::string picture = dir.file("bild.BMP");
    writeFile(picture, encodeBmp24(synth::photoPicture(5, 30)));
    auto page = [&] {
        QStringList info;
        for (int i = 0; i < u->LB_Versionstexte->count(); ++i) info << u->LB_Versionstexte->item(i)->text();
        return Page{preview().copy(), u->I_BIN_DSP_Grafik->canvas().copy(), u->I_Tag_Palette->canvas().copy(),
                    u->I_Nacht_Palette->canvas().copy(), info, u->L_AnzCol->text(), u->L_TagNachtDifferenz->text(),
                    shownOnPage(u->L_TagNachtDifferenz), u->RB_Gitter_an->isChecked(), u->RB_Gitter_aus->isChecked(),
                    u->S_speichere_DNL_file->isEnabled()};
    };
    struct Case {
        const char* name;
        synth::Options options;
        std::function<void()> act;
        const char* label;
    };
    const Case cases[] = {
        {"grid on", {.version = 2, .grid = synth::GridData::Inactive}, [&] { u->RB_Gitter_an->click(); }, "Gitter einschalten"},
        {"grid off", {.version = 4}, [&] { u->RB_Gitter_aus->click(); }, "Gitter ausschalten"},
        {"Korrigieren?", {.version = 3, .night = synth::NightPalette::Darker}, [&] { u->P_FixTagNacht->click(); },
         "Tag und Nacht angleichen"},
        {"colour editor", {.version = 6}, [&] {
             onModal = [&](QDialog& dialog) {
                 auto* editor = dynamic_cast<TF2_Farbeditor*>(&dialog);
                 if (!editor) return int(QDialog::Rejected);
                 editor->FormShow();
                 editor->T_rot->setValue(3);
                 editor->BitBtn1Click();
                 return editor->result();
             };
             const int index = ws().startImage()[40 * 320 + 40];
             main->I_PaletteMouseDown(QPoint(13 * (index % 16) + 6, 13 * (index / 16) + 6), Qt::RightButton);
         }, "Farbe ändern"},
        {"start image editor", {.version = 2}, [&] { acceptPictureInEditor(picture); }, "Startbild übernehmen"},
        {"colour mode of a save", {.version = 5}, [&] {
             answerSaveDialog(dir.file("gesichert.DNL"), ColourMode::AlwaysNight);
             u->S_speichere_DNL_file->click();
         }, "Farbmodus speichern"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (ws().isModified()) platform.saveChoices.push_back(SaveChoice::Discard);
        const synth::Sample sample = loadSample(c.options);
        ASSERT_FALSE(u->Rueckgaengig1->isEnabled());
        ASSERT_FALSE(u->Wiederherstellen1->isEnabled());
        const Page atLoad = page();
        c.act();
        onModal = nullptr;
        ASSERT_NE(ws().flash(), sample.flash);
        EXPECT_TRUE(u->Rueckgaengig1->isEnabled());
        EXPECT_EQ(u->Rueckgaengig1->text(), QStringLiteral("&Rückgängig: ") + QString::fromUtf8(c.label));
        const Bytes changedFlash = ws().flash();
        main->I_PaletteMouseMove(QPoint(0, 0));
        const Page changed = page();
        const int pauses = main->pauseCount();

        u->Rueckgaengig1->trigger();
        EXPECT_EQ(ws().flash(), sample.flash);
        Page undone = page();
        if (std::string(c.name) == "colour mode of a save") undone.info[3] = atLoad.info[3];  // the file on disk stays saved
        EXPECT_TRUE(undone == atLoad);
        EXPECT_FALSE(u->Rueckgaengig1->isEnabled());
        EXPECT_EQ(u->Wiederherstellen1->text(), QStringLiteral("&Wiederherstellen: ") + QString::fromUtf8(c.label));

        u->Wiederherstellen1->trigger();
        EXPECT_EQ(ws().flash(), changedFlash);
        EXPECT_TRUE(page() == changed);
        EXPECT_EQ(main->pauseCount(), pauses);  // no globe animation
        EXPECT_FALSE(u->Wiederherstellen1->isEnabled());
    }
}

TEST_F(MainWindowTest, TheExpertChoiceOfEntriesIsPartOfTheEditorsStep) {
    // The editor rewrites palette and pictures for the new choice, so the step is the start
    // image's; undoing it gives back the entries as well as the bytes. (A choice that writes
    // no byte is a step a save does not write; the document's tests show that case.)
    const synth::Sample sample = loadSample({.version = 9});
    u->Expertenmodus1->trigger();
    TF3_Startbild* editor = windows->windows().startbild;
    int added = -1;
    editor->setModalRunner([&](QDialog& dialog) {
        auto* selection = dynamic_cast<TF10_Farbpalette*>(&dialog);
        if (!selection) return int(QDialog::Rejected);
        for (int e = 255; e >= 0 && added < 0; --e)
            if (!selection->selection().flags[static_cast<std::size_t>(e)]) added = e;
        selection->I_Palette_U10MouseDown(QPoint(13 * (added % 16) + 6, 13 * (added / 16) + 6), Qt::LeftButton,
                                          Qt::LeftButton, Qt::NoModifier);
        selection->BB_schreibe_NEU_in_BIN->click();
        return selection->result();
    });
    const auto entries = ws().availableEntries();
    const int count = ws().availableCount();
    onModal = [&](QDialog& dialog) {
        auto* tf3 = dynamic_cast<TF3_Startbild*>(&dialog);
        if (!tf3) return int(QDialog::Rejected);
        tf3->FormShow();
        tf3->P_Palette_auswaehlen->click();
        tf3->BB_schreibe_NEU_in_BIN->click();
        return tf3->result();
    };
    u->S_Startbild->click();
    ASSERT_GE(added, 0);
    const Bytes changed = ws().flash();
    EXPECT_TRUE(ws().availableEntries()[static_cast<std::size_t>(added)]);
    EXPECT_EQ(ws().availableCount(), count + 1);
    EXPECT_EQ(u->Rueckgaengig1->text(), QStringLiteral("&Rückgängig: Startbild übernehmen"));
    u->Rueckgaengig1->trigger();
    EXPECT_EQ(ws().flash(), sample.flash);
    EXPECT_EQ(ws().availableEntries(), entries);
    EXPECT_EQ(ws().availableCount(), count);
    EXPECT_FALSE(main->isWindowModified());
    u->Wiederherstellen1->trigger();
    EXPECT_EQ(ws().flash(), changed);
    EXPECT_EQ(ws().availableCount(), count + 1);
}

TEST_F(MainWindowTest, HistoryCommandsHaveTheirKeysAndALoadStartsANewHistory) {
    EXPECT_EQ(u->Rueckgaengig1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(u->Wiederherstellen1->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
    EXPECT_EQ(u->DNLDateilesen1->shortcut(), QKeySequence(QKeySequence::Open));
    EXPECT_EQ(u->DNLDateispeichern1->shortcut(), QKeySequence(QKeySequence::Save));
    EXPECT_EQ(u->Rueckgaengig1->text(), QStringLiteral("&Rückgängig"));
    EXPECT_FALSE(u->Rueckgaengig1->isEnabled());

    const synth::Sample sample = loadSample({.version = 4});
    EXPECT_FALSE(main->isWindowModified());
    u->RB_Gitter_aus->click();
    u->P_FixTagNacht->click();
    EXPECT_TRUE(main->isWindowModified());
    EXPECT_EQ(u->Rueckgaengig1->text(), QStringLiteral("&Rückgängig: Tag und Nacht angleichen"));
    u->Rueckgaengig1->trigger();
    u->Rueckgaengig1->trigger();
    EXPECT_FALSE(main->isWindowModified());
    u->Wiederherstellen1->trigger();
    EXPECT_TRUE(main->isWindowModified());
    EXPECT_TRUE(u->Wiederherstellen1->isEnabled());

    platform.saveChoices.push_back(SaveChoice::Discard);
    load(sample.dnl, "NEU.DNL");
    EXPECT_FALSE(u->Rueckgaengig1->isEnabled());
    EXPECT_FALSE(u->Wiederherstellen1->isEnabled());
    EXPECT_FALSE(main->isWindowModified());
}

TEST_F(MainWindowTest, AfterUndoAndRedoTheSavedFileHoldsTheRemainingEditsAsTheCommandLineToolWritesThem) {
    // A user's session on a sample: correct day and night, a new start image, a text; the
    // last two undone, the picture redone; saved.
    const std::string sample = std::string(ZARVELO_SAMPLES_DIR) + "/Beispiel_04_VW_2002_03_DX.DNL";
    const std::string picture = dir.file("bild.BMP");
    writeFile(picture, encodeBmp24(synth::photoPicture(9, 50)));
    main->show();
    platform.answerOpen(sample);
    u->DNLDateilesen1->trigger();
    ASSERT_TRUE(ws().fileLoaded());
    ASSERT_TRUE(shownOnPage(u->P_FixTagNacht));
    u->P_FixTagNacht->click();
    acceptPictureInEditor(picture);
    Result<TextList> texts = ws().BIN_zu_TexteArray();
    ASSERT_TRUE(texts.ok()) << texts.message();
    ASSERT_TRUE(Edit_zu_TexteArray(texts.value(), 2, "X", OverlongMode::Sperren).ok());
    ASSERT_TRUE(ws().TexteArray_zu_BIN(texts.value()).ok());
    EXPECT_EQ(u->Rueckgaengig1->text(), QStringLiteral("&Rückgängig: Texte übernehmen"));
    u->Rueckgaengig1->trigger();
    u->Rueckgaengig1->trigger();
    u->Wiederherstellen1->trigger();
    EXPECT_EQ(u->Rueckgaengig1->text(), QStringLiteral("&Rückgängig: Startbild übernehmen"));
    const std::string saved = dir.file("gesichert.DNL");
    answerSaveDialog(saved);
    u->DNLDateispeichern1->trigger();
    EXPECT_FALSE(main->isWindowModified());

    const std::string corrected = dir.file("korrigiert.DNL");
    const std::string byTool = dir.file("werkzeug.DNL");
    ASSERT_EQ(test::runCli({"save", QString::fromStdString(sample), QString::fromStdString(corrected), "--fix-day-night"}).exitCode, 0);
    ASSERT_EQ(test::runCli({"import-image", QString::fromStdString(corrected), QString::fromStdString(byTool), "--image",
                            QString::fromStdString(picture)})
                  .exitCode,
              0);
    EXPECT_TRUE(readFile(saved) == readFile(byTool));

    // "ENDE" with unsaved changes asks; "Abbrechen" keeps everything.
    u->RB_Gitter_aus->click();
    const Bytes flash = ws().flash();
    u->S_Ende->click();
    ASSERT_EQ(platform.questions.size(), 1u);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(ws().flash(), flash);
    EXPECT_TRUE(main->isWindowModified());
    EXPECT_EQ(u->Rueckgaengig1->text(), QStringLiteral("&Rückgängig: Gitter ausschalten"));
    platform.saveChoices.push_back(SaveChoice::Discard);
    u->S_Ende->click();
    EXPECT_FALSE(main->isVisible());
}

// --- unsaved work -----------------------------------------------------------------------

TEST_F(MainWindowTest, UnsavedChangesAreLostOnlyAfterTheQuestion) {
    enum class Road { Ende, CloseWindow, LoadButton, LoadMenu, Drop };
    enum class Answer { Cancel, Discard, Save, SaveCancelled, SaveFails };
    const std::string other = dir.file("ANDERE.DNL");
    const synth::Sample second = synth::makeSample({.version = 6});
    writeFile(other, second.dnl);
    writeFile(dir.file("plain"), Bytes{1});
    for (const Road road : {Road::Ende, Road::CloseWindow, Road::LoadButton, Road::LoadMenu, Road::Drop}) {
        for (const Answer answer : {Answer::Cancel, Answer::Discard, Answer::Save, Answer::SaveCancelled, Answer::SaveFails}) {
            SCOPED_TRACE(testing::Message() << "road " << int(road) << " answer " << int(answer));
            main->show();
            const synth::Sample sample = loadSample({.version = 4, .grid = synth::GridData::Inactive});
            u->RB_Gitter_an->click();
            ASSERT_TRUE(ws().isModified());
            ASSERT_TRUE(main->isWindowModified());
            const Bytes changed = ws().flash();
            platform.questions.clear();
            platform.messages.clear();
            platform.openRequests.clear();
            const std::string target = dir.file("gesichert.DNL");
            fs::remove(target);
            answerSaveDialog(answer == Answer::SaveCancelled ? std::nullopt
                             : answer == Answer::SaveFails   ? std::optional(dir.file("plain") + "/x.DNL")
                                                             : std::optional(target));
            platform.saveChoices.push_back(answer == Answer::Cancel    ? SaveChoice::Cancel
                                           : answer == Answer::Discard ? SaveChoice::Discard
                                                                       : SaveChoice::Save);
            platform.answerOpen(other);
            switch (road) {
            case Road::Ende: u->S_Ende->click(); break;
            case Road::CloseWindow: main->close(); break;
            case Road::LoadButton: u->S_oeffne_DNL_file->click(); break;
            case Road::LoadMenu: u->DNLDateilesen1->trigger(); break;
            case Road::Drop: {
                QMimeData data;
                data.setUrls({QUrl::fromLocalFile(QString::fromStdString(other))});
                QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(main, &enter);
                QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(main, &drop);
                EXPECT_TRUE(drop.isAccepted());
                for (int i = 0; i < 3; ++i) QApplication::processEvents();
                break;
            }
            }
            ASSERT_EQ(platform.questions.size(), 1u);
            EXPECT_EQ(platform.questions[0], "Die Änderungen an V2DG2322.DNL wurden nicht gespeichert.");
            const bool goesOn = answer == Answer::Discard || answer == Answer::Save;
            const bool closing = road == Road::Ende || road == Road::CloseWindow;
            if (answer == Answer::Save) { EXPECT_TRUE(fs::exists(target)); }
            if (answer == Answer::Save && closing) { EXPECT_EQ(readFile(target), ws().dnl()); }
            if (answer == Answer::SaveFails) { EXPECT_EQ(platform.messages.size(), 1u); }
            if (closing) {
                EXPECT_EQ(main->isVisible(), !goesOn);
            } else if (road != Road::Drop) {
                EXPECT_EQ(platform.openRequests.size(), goesOn ? 1u : 0u);
            }
            if (goesOn && !closing) {
                EXPECT_EQ(ws().flash(), second.flash);
                EXPECT_EQ(ws().fileName(), other);
            } else if (!goesOn) {
                // Everything as it was: the change, its step and the unsaved state.
                EXPECT_EQ(ws().flash(), changed);
                EXPECT_EQ(ws().fileName(), dir.file("V2DG2322.DNL"));
                EXPECT_TRUE(ws().isModified());
                EXPECT_TRUE(u->Rueckgaengig1->isEnabled());
            }
            platform.openAnswers.clear();
            platform.saveAnswers.clear();
            if (ws().isModified()) platform.saveChoices.push_back(SaveChoice::Discard);  // for the next load
            (void)sample;
        }
    }
}

TEST_F(MainWindowTest, NothingUnsavedClosesAndLoadsWithoutAQuestion) {
    main->show();
    const synth::Sample sample = loadSample({.version = 4, .grid = synth::GridData::Inactive});
    u->RB_Gitter_an->click();
    u->Rueckgaengig1->trigger();  // back to the loaded state: nothing unsaved
    EXPECT_FALSE(main->isWindowModified());
    load(sample.dnl, "ZWEITE.DNL");
    EXPECT_EQ(ws().fileName(), dir.file("ZWEITE.DNL"));
    u->RB_Gitter_an->click();
    answerSaveDialog(dir.file("gesichert.DNL"));
    main->DNL_Datei_sichern();  // saved: nothing unsaved either
    EXPECT_FALSE(main->isWindowModified());
    platform.messages.clear();
    u->Ende1->trigger();
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(platform.questions.empty());
    EXPECT_TRUE(platform.messages.empty());
}
