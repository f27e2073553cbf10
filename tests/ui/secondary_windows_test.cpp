// The secondary windows, driven directly through their widgets and slots.

#include "workspace/workspace.hpp"
#include "flash/firmware_versions.hpp"
#include "scripted_platform.hpp"
#include "synthetic_firmware.hpp"
#include "test_files.hpp"
#include "ui/help_pages.hpp"
#include "ui/main_window.hpp"
#include "ui/program_windows.hpp"
#include "ui/resources_init.hpp"
#include "ui/qt_platform.hpp"
#include "ui/tf10_farbpalette.hpp"
#include "ui/tf2_farbeditor.hpp"
#include "ui/tf3_startbild.hpp"
#include "ui/tf4_texte.hpp"
#include "ui/tf5_versionsinfo.hpp"
#include "ui/tf6_unterstuetzt.hpp"
#include "ui/tf7_haupthilfe.hpp"
#include "ui/tf8_startinfo.hpp"
#include "ui/tf9_speichern.hpp"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace zarvelo;
using test::TempDir;
using test::readFile;
namespace fs = std::filesystem;

namespace {

Workspace loadedWorkspace(int version = 3) {
    Workspace ws;
    const Status outcome = ws.loadBytes(synth::makeSample({.version = version}).dnl, "/daten/V2DG2322.DNL");
    EXPECT_TRUE(outcome.ok()) << outcome.message();
    return ws;
}

Palette paletteAt(const Bytes& flash, std::size_t offset) {
    Palette p;
    for (std::size_t i = 0; i < 256; ++i) p[i] = {flash[offset + 3 * i], flash[offset + 3 * i + 1], flash[offset + 3 * i + 2]};
    return p;
}

std::vector<std::size_t> differingOffsets(const Bytes& a, const Bytes& b) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i]) out.push_back(i);
    return out;
}

QColor qcolor(Rgb c) { return QColor(c.r, c.g, c.b); }

}  // namespace

// --- colour editor ---

TEST(ColourEditor, OkWritesThreeBytesIntoThePaletteOfTheShownView) {
    struct Case {
        bool dayView;
        int index;
    };
    for (const Case c : {Case{true, 17}, Case{false, 0}, Case{false, 255}, Case{true, 255}}) {
        SCOPED_TRACE(testing::Message() << "day " << c.dayView << " index " << c.index);
        Workspace ws = loadedWorkspace();
        const Bytes before = ws.flash;
        const std::size_t P = ws.paletteOffset();
        const Palette otherBefore = c.dayView ? ws.nightPalette : ws.dayPalette;

        TF2_Farbeditor editor(ws);
        editor.setEditedColour(c.index, ws.palette(c.dayView)[static_cast<std::size_t>(c.index)], c.dayView);
        editor.FormShow();
        EXPECT_EQ(editor.L_Farbe->text(), QStringLiteral("Farbe Nr: %1").arg(c.index));
        // Values no firmware palette of the factory holds, so every byte changes.
        editor.T_rot->setValue(201);
        editor.T_gruen->setValue(7);
        editor.T_blau->setValue(99);
        EXPECT_EQ(editor.L_rot->text(), "201");
        EXPECT_EQ(editor.L_gruen->text(), "7");
        EXPECT_EQ(editor.L_blau->text(), "99");
        editor.BitBtn1->click();

        EXPECT_EQ(editor.result(), QDialog::Accepted);
        const std::size_t at = P + (c.dayView ? 0 : 0x300) + 3 * static_cast<std::size_t>(c.index);
        EXPECT_EQ(differingOffsets(before, ws.flash), (std::vector<std::size_t>{at, at + 1, at + 2}));
        EXPECT_EQ(ws.flash[at], 201);
        EXPECT_EQ(ws.flash[at + 1], 7);
        EXPECT_EQ(ws.flash[at + 2], 99);
        // The copies are re-read from the flash image: the edited one changed, the other did not.
        EXPECT_EQ(ws.palette(c.dayView)[static_cast<std::size_t>(c.index)], (Rgb{201, 7, 99}));
        EXPECT_EQ(c.dayView ? ws.nightPalette : ws.dayPalette, otherBefore);
    }
}

TEST(ColourEditor, OkWithoutMovingASliderLeavesTheFlashImageAsItWas) {
    Workspace ws = loadedWorkspace();
    const Bytes before = ws.flash;
    TF2_Farbeditor editor(ws);
    editor.setEditedColour(40, ws.dayPalette[40], true);
    editor.FormShow();
    EXPECT_EQ(editor.editedColour(), ws.dayPalette[40]);
    editor.BitBtn1->click();
    EXPECT_EQ(ws.flash, before);
}

TEST(ColourEditor, MergingTwoDayColoursLowersTheColourCountOnlyInTheDayView) {
    for (const bool dayView : {true, false}) {
        SCOPED_TRACE(dayView);
        Workspace ws = loadedWorkspace();
        std::vector<int> used;
        for (int i = 0; i < 256; ++i)
            if (ws.startImagePixelCounts[static_cast<std::size_t>(i)] > 0) used.push_back(i);
        ASSERT_GE(used.size(), 2u);
        const int countBefore = ws.startImageColourCount;

        // Give the second used entry the day colour of the first one.
        const Rgb target = ws.dayPalette[static_cast<std::size_t>(used[0])];
        TF2_Farbeditor editor(ws);
        editor.setEditedColour(used[1], ws.palette(dayView)[static_cast<std::size_t>(used[1])], dayView);
        editor.FormShow();
        editor.T_rot->setValue(target.r);
        editor.T_gruen->setValue(target.g);
        editor.T_blau->setValue(target.b);
        editor.BitBtn1->click();
        EXPECT_EQ(ws.startImageColourCount, dayView ? countBefore - 1 : countBefore);
    }
}

TEST(ColourEditor, CancelChangesNothing) {
    Workspace ws = loadedWorkspace();
    const Bytes before = ws.flash;
    const Palette day = ws.dayPalette, night = ws.nightPalette;
    const auto counts = ws.startImagePixelCounts;
    TF2_Farbeditor editor(ws);
    editor.setEditedColour(3, ws.nightPalette[3], false);
    editor.FormShow();
    editor.T_rot->setValue(ws.nightPalette[3].r ^ 0x80);
    editor.T_blau->setValue(ws.nightPalette[3].b ^ 0x80);
    editor.BitBtn2->click();
    EXPECT_EQ(editor.result(), QDialog::Rejected);
    EXPECT_EQ(ws.flash, before);
    EXPECT_EQ(ws.dayPalette, day);
    EXPECT_EQ(ws.nightPalette, night);
    EXPECT_EQ(ws.startImagePixelCounts, counts);
}

TEST(ColourEditor, CaptionKeepsLegibleOnTheEditedColour) {
    Workspace ws;
    TF2_Farbeditor editor(ws);
    struct Case {
        Rgb colour;
        QColor text;
    };
    for (const Case c : {Case{{255, 255, 255}, Qt::black}, Case{{0, 0, 128}, Qt::white}, Case{{255, 255, 0}, Qt::black}}) {
        editor.setEditedColour(1, c.colour, true);
        editor.FormShow();
        EXPECT_EQ(editor.L_Farbe->palette().color(QPalette::Window), qcolor(c.colour));
        EXPECT_EQ(editor.L_Farbe->palette().color(QPalette::WindowText), c.text);
    }
    // Each value label stands on its channel alone.
    editor.setEditedColour(1, {10, 20, 30}, true);
    editor.FormShow();
    EXPECT_EQ(editor.L_rot->palette().color(QPalette::Window), QColor(10, 0, 0));
    EXPECT_EQ(editor.L_gruen->palette().color(QPalette::Window), QColor(0, 20, 0));
    EXPECT_EQ(editor.L_blau->palette().color(QPalette::Window), QColor(0, 0, 30));
}

// --- save dialog ---

TEST(SaveDialog, EachColourModeWritesTheRebuiltFileWithItsPalettes) {
    struct Case {
        ColourMode mode;
        QAbstractButton* (*button)(TF9_Speichern&);
    };
    const Case cases[] = {
        {ColourMode::Normal, [](TF9_Speichern& d) -> QAbstractButton* { return d.RB_Normal; }},
        {ColourMode::AlwaysDay, [](TF9_Speichern& d) -> QAbstractButton* { return d.RB_ImmerTag; }},
        {ColourMode::Swap, [](TF9_Speichern& d) -> QAbstractButton* { return d.RB_Vertauschen; }},
        {ColourMode::AlwaysNight, [](TF9_Speichern& d) -> QAbstractButton* { return d.RB_ImmerNacht; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        TempDir dir;
        Workspace ws = loadedWorkspace(2);
        const std::size_t P = ws.paletteOffset();
        const Palette day = paletteAt(ws.flash, P), night = paletteAt(ws.flash, P + 0x300);
        ASSERT_NE(day, night);

        test::ScriptedPlatform platform;
        platform.answerSave(dir.file("NEU.DNL"));
        TF9_Speichern dialog(ws, platform);
        c.button(dialog)->click();
        EXPECT_EQ(dialog.colourMode(), c.mode);
        dialog.BB_speichereDatei->click();

        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        ASSERT_EQ(platform.saveRequests.size(), 1u);
        EXPECT_EQ(platform.saveRequests[0].filter, "Navi-Flash-Dateien (*.DNL)|*.DNL");
        EXPECT_EQ(platform.saveRequests[0].defaultExtension, "DNL");
        EXPECT_EQ(platform.saveRequests[0].initialName, "/daten/V2DG2322.DNL");
        EXPECT_TRUE(platform.messages.empty());

        const Palette wantDay = c.mode == ColourMode::Swap || c.mode == ColourMode::AlwaysNight ? night : day;
        const Palette wantNight = c.mode == ColourMode::Swap || c.mode == ColourMode::AlwaysDay ? day : night;
        EXPECT_EQ(paletteAt(ws.flash, P), wantDay);
        EXPECT_EQ(paletteAt(ws.flash, P + 0x300), wantNight);
        EXPECT_EQ(ws.dayPalette, wantDay);
        EXPECT_EQ(ws.nightPalette, wantNight);

        // The written file is the rebuilt one, and it loads again as the same version.
        EXPECT_EQ(readFile(dir.file("NEU.DNL")), ws.dnl);
        Workspace again;
        ASSERT_TRUE(again.loadFile(dir.file("NEU.DNL")).ok());
        EXPECT_EQ(again.versionIndex, 2);
        EXPECT_EQ(paletteAt(again.flash, P), wantDay);
        EXPECT_EQ(paletteAt(again.flash, P + 0x300), wantNight);
        EXPECT_EQ(ws.fileName, "/daten/V2DG2322.DNL");  // the next save proposes the loaded path again
    }
}

TEST(SaveDialog, CancellingChangesNothing) {
    Workspace ws = loadedWorkspace();
    const Bytes flash = ws.flash, dnl = ws.dnl;
    test::ScriptedPlatform platform;
    TF9_Speichern dialog(ws, platform);
    dialog.RB_Vertauschen->click();

    dialog.BB_zurueck->click();  // the dialog's own cancel: no file dialog at all
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(platform.saveRequests.empty());

    platform.answerSave(std::nullopt);  // the file dialog cancelled
    dialog.BB_speichereDatei->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(platform.saveRequests.size(), 1u);
    EXPECT_EQ(ws.flash, flash);
    EXPECT_EQ(ws.dnl, dnl);
    EXPECT_TRUE(platform.messages.empty());
}

TEST(SaveDialog, WriteErrorIsShownAndTheDialogStillCloses) {
    TempDir dir;
    Workspace ws = loadedWorkspace();
    test::ScriptedPlatform platform;
    platform.answerSave(dir.file("fehlt/NEU.DNL"));
    TF9_Speichern dialog(ws, platform);
    dialog.BB_speichereDatei->click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].find("fehlt/NEU.DNL"), std::string::npos) << platform.messages[0];
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(fs::exists(dir.file("fehlt/NEU.DNL")));
}

TEST(SaveDialog, ResetGoesBackToTheFirstChoice) {
    Workspace ws;
    test::ScriptedPlatform platform;
    TF9_Speichern dialog(ws, platform);
    EXPECT_EQ(dialog.colourMode(), ColourMode::Normal);
    dialog.RB_ImmerNacht->click();
    EXPECT_EQ(dialog.colourMode(), ColourMode::AlwaysNight);
    dialog.resetColourMode();
    EXPECT_EQ(dialog.colourMode(), ColourMode::Normal);
    EXPECT_TRUE(dialog.RB_Normal->isChecked());
    EXPECT_FALSE(dialog.RB_ImmerNacht->isChecked());
}

TEST(SaveDialog, ColourModesStandInTwoColumns) {
    Workspace ws;
    test::ScriptedPlatform platform;
    TF9_Speichern dialog(ws, platform);
    EXPECT_EQ(dialog.RB_Normal->x(), dialog.RB_ImmerTag->x());
    EXPECT_EQ(dialog.RB_Vertauschen->x(), dialog.RB_ImmerNacht->x());
    EXPECT_LT(dialog.RB_Normal->x(), dialog.RB_Vertauschen->x());
    EXPECT_LT(dialog.RB_Normal->y(), dialog.RB_ImmerTag->y());
    EXPECT_EQ(dialog.RB_Normal->text(), "Normale Darstellung");
    EXPECT_EQ(dialog.RB_ImmerTag->text(), "immer Tagmodus");
    EXPECT_EQ(dialog.RB_Vertauschen->text(), "Tag / Nacht vertauschen");
    EXPECT_EQ(dialog.RB_ImmerNacht->text(), "immer Nachtmodus");
}

// --- information and help windows ---

TEST(SupportedVersions, ListsAllVersionsAlphabetically) {
    TF6_unterstuetzt window;
    ASSERT_EQ(window.LB_Support->count(), kVersionCount);
    EXPECT_EQ(window.LB_Support->item(0)->text(), "Audi 1998.12 nonDX");
    EXPECT_EQ(window.LB_Support->item(kVersionCount - 1)->text(), "VW 2002.03 DX");
    for (int i = 1; i < kVersionCount; ++i)
        EXPECT_LT(window.LB_Support->item(i - 1)->text(), window.LB_Support->item(i)->text());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowSystemMenuHint);
}

TEST(VersionWindow, ShowsVersionAndOpensTheAddresses) {
    test::ScriptedPlatform platform;
    TF5_VersionsINFO window(platform);
    EXPECT_EQ(window.Label2->text(), "Zarvelo");
    EXPECT_EQ(window.L_Version->text(), "V 1.37");
    EXPECT_EQ(window.L_email->text(), "autor@zarvelo.example");
    EXPECT_EQ(window.L_web->text(), "www.zarvelo.example");

    window.show();
    QTest::mouseClick(window.L_email, Qt::LeftButton);
    QTest::mouseClick(window.Label1, Qt::LeftButton);
    QTest::mouseClick(window.L_web, Qt::LeftButton);
    QTest::mouseClick(window.L_Version, Qt::LeftButton);  // not a link
    EXPECT_EQ(platform.links, (std::vector<std::string>{"mailto:autor@zarvelo.example", "mailto:autor@zarvelo.example",
                                                        "https://www.zarvelo.example"}));
    for (QLabel* label : {window.Label1, window.L_email, window.L_web}) EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(window.isVisible());
}

TEST(HelpWindow, EachPageReplacesTheOneBefore) {
    test::ScriptedPlatform platform;
    TF7_HauptHilfe help(platform);
    ASSERT_TRUE(help.loadPage("H_MAIN"));
    EXPECT_TRUE(help.RE_Hilfe->toPlainText().contains("Hauptseite:"));
    ASSERT_TRUE(help.loadPage("H_BOOT"));
    const QString text = help.RE_Hilfe->toPlainText();
    EXPECT_TRUE(text.startsWith("Zarvelo\nStartbildeditor:")) << text.left(60).toStdString();
    EXPECT_FALSE(text.contains("Hauptseite:"));
    EXPECT_EQ(text.count("Zarvelo\n"), 1);

    EXPECT_FALSE(help.loadPage("H_NICHTDA"));
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(help.RE_Hilfe->toPlainText(), text);
}

// The editors' HILFE buttons once ran the help window's own exec(), past the modal runner:
// a window test or a scripted session hung there.
TEST(HelpWindow, EditorsOpenTheirPagesThroughTheModalRunner) {
    ensureResources();
    test::ScriptedPlatform platform;
    ProgramWindows windows(platform);
    std::vector<QString> shown;
    windows.main().setModalRunner([&](QDialog& dialog) {
        if (&dialog == windows.windows().hauptHilfe) shown.push_back(windows.windows().hauptHilfe->RE_Hilfe->toPlainText());
        return int(QDialog::Rejected);
    });
    const struct {
        QAbstractButton* button;
        const char* heading;
    } cases[] = {
        {windows.windows().startbild->S_Hilfe, "Startbildeditor:"},
        {windows.windows().texte->S_Hilfe, "Texteditor:"},
    };
    for (const auto& c : cases) {
        shown.clear();
        c.button->click();
        ASSERT_EQ(shown.size(), 1u) << c.heading;
        EXPECT_TRUE(shown[0].contains(QString::fromUtf8(c.heading))) << shown[0].left(60).toStdString();
    }
}

TEST(HelpPages, KeepTheirTextsAsWritten) {
    struct Case {
        const char* page;
        const char* heading;  // the paragraph after the product name
        std::vector<QString> pieces;
    };
    const Case cases[] = {
        {"H_INTRO", "Achtung:", {"nicht komerziell eingesetzt oder verkauft werden."}},
        {"H_MAIN",
         "Einleitung:",
         {"Links ist die  Farbpalette mit allen 256 Farben zu sehen.", "(Licht an / aus) reagieren soll:\n- Normal wie immer\n",
          "Blaupunkt® - Navigationssysteme", "„immer Tag“", "‚Tag/Nacht Split’", "autor@zarvelo.example",
          "Wenn Ihnen das Programm gefällt, spenden Sie bitte etwas für eine guten Zweck.",
          "\nHilfe:\nHilfe:\nDie Seite, die Sie gerade lesen.\n"}},
        {"H_BOOT", "Startbildeditor:", {"Startbild:\t320 x 234 Punkte\nDSP-Logo:\t79 x   20 Punkte\n", "ganz  unten rechts"}},
        {"H_TEXT", "Texteditor:", {"die Funktion „überlange Texte“ vorgesehen."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        QTextDocument document;
        const std::optional<QString> html = helpPage(c.page);
        ASSERT_TRUE(html);
        document.setHtml(*html);
        const QString text = document.toPlainText();
        EXPECT_TRUE(text.startsWith(QStringLiteral("Zarvelo\n") + c.heading + "\n")) << text.left(60).toStdString();
        for (const QString& piece : c.pieces) EXPECT_TRUE(text.contains(piece)) << piece.toStdString();
    }
}

TEST(StartNotice, ShowsTheIntroductionPage) {
    TF8_StartInfo notice;
    const QString text = notice.RichEdit1->toPlainText();
    EXPECT_TRUE(text.startsWith("Zarvelo\nAchtung:\ndie Benutzung dieses Programms erfolgt auf eigene Gefahr."));
    EXPECT_TRUE(notice.RichEdit1->isReadOnly());
    EXPECT_EQ(notice.RichEdit1->focusPolicy(), Qt::NoFocus);
}

// --- all windows ---

TEST(SecondaryWindows, CaptionsSizesAndReadableControls) {
    Workspace ws;
    test::ScriptedPlatform platform;
    TF2_Farbeditor tf2(ws);
    TF3_Startbild tf3(ws, platform, {});
    TF4_Texte tf4(ws, platform, {});
    TF5_VersionsINFO tf5(platform);
    TF6_unterstuetzt tf6;
    TF7_HauptHilfe tf7(platform);
    TF8_StartInfo tf8;
    TF9_Speichern tf9(ws, platform);
    TF10_Farbpalette tf10(platform);
    struct Case {
        QDialog* window;
        const char* caption;
        QSize size;
    };
    const Case cases[] = {
        {&tf2, "Zarvelo Farbeditor", {218, 227}},     {&tf3, "Zarvelo Startbildeditor", {680, 604}},
        {&tf4, "Zarvelo Texteditor", {600, 440}},     {&tf5, "Zarvelo Versionsinfo", {300, 221}},
        {&tf6, "Zarvelo unterstützte Versionen", {250, 200}}, {&tf7, "Zarvelo Hilfe", {610, 440}},
        {&tf8, "Zarvelo Info", {370, 314}},           {&tf9, "Zarvelo Datei speichern", {345, 150}},
        {&tf10, "Zarvelo Farben wählen", {440, 260}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(c.window->windowTitle(), QString::fromUtf8(c.caption));
        EXPECT_EQ(c.window->size(), c.size);
        EXPECT_EQ(c.window->minimumSize(), c.size);
        EXPECT_EQ(c.window->maximumSize(), c.size);
        EXPECT_FALSE(c.window->windowFlags() & Qt::WindowMaximizeButtonHint);
        // No caption is cut off: every text fits the width its control has.
        for (QAbstractButton* button : c.window->findChildren<QAbstractButton*>())
            EXPECT_LE(button->sizeHint().width(), button->width()) << button->objectName().toStdString();
        for (QLabel* label : c.window->findChildren<QLabel*>()) {
            if (label->text().isEmpty()) continue;
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width())
                << label->objectName().toStdString();
            EXPECT_LE(label->fontMetrics().tightBoundingRect(label->text()).height(), label->contentsRect().height())
                << label->objectName().toStdString();
        }
    }
}

TEST(QtPlatformFilter, ConvertsDialogFiltersAndAddsTheDefaultExtension) {
    EXPECT_EQ(QtPlatform::toQtFilter("Navi-Flash-Dateien (*.DNL)|*.DNL"), "Navi-Flash-Dateien (*.DNL)");
    EXPECT_EQ(QtPlatform::toQtFilter("Bitmap (*.bmp)|*.bmp|Alle Dateien (*.*)|*.*"), "Bitmap (*.bmp);;Alle Dateien (*.*)");
    EXPECT_EQ(QtPlatform::toQtFilter("Textdatei|*.txt"), "Textdatei (*.txt)");
    EXPECT_EQ(QtPlatform::withDefaultExtension("/tmp/neu", "DNL"), "/tmp/neu.DNL");
    EXPECT_EQ(QtPlatform::withDefaultExtension("/tmp/neu.dnl", "DNL"), "/tmp/neu.dnl");
    EXPECT_EQ(QtPlatform::withDefaultExtension("/tmp/v1.0/neu", "DNL"), "/tmp/v1.0/neu.DNL");
}
