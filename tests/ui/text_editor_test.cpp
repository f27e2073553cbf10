// The text editor, driven offscreen through its widgets with scripted dialogs; and the road
// from the main window through the text editor to a saved file, against zarvelo-cli.

#include "program_windows_fixture.hpp"
#include "ui/main_window.hpp"
#include "ui/program_windows.hpp"
#include "ui/ansi_text.hpp"
#include "ui/text_import_report.hpp"
#include "ui/tf4_texte.hpp"
#include "ui/tf9_speichern.hpp"
#include "flash/firmware_versions.hpp"
#include "scripted_platform.hpp"
#include "synthetic_firmware.hpp"
#include "test_files.hpp"
#include "texts/charset.hpp"
#include "ui/resources_init.hpp"
#include "ui_tf1_hauptseite.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

using namespace zarvelo;
using test::TempDir;
using test::readFile;
using test::writeFile;

namespace {

const Bytes kNonText = {0x12, 0x34, 0x00};

// Types the characters one by one, as a keyboard would (also those QTest::keyClicks cannot).
void type(QWidget* widget, const QString& text) {
    for (const uint cp : text.toUcs4()) {
        const char32_t c = static_cast<char32_t>(cp);
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString::fromUcs4(&c, 1), Qt::NoModifier);
    }
}

QColor background(const QWidget* w) { return w->palette().color(w->backgroundRole()); }

class TextEditorTest : public ::testing::Test {
protected:
    // A loaded sample whose text table holds exactly these entries.
    void loadTexts(const std::vector<Bytes>& entries, int version = 3) {
        const synth::Sample base = synth::makeSample({.version = version});
        Bytes table;
        for (const Bytes& e : entries) table.insert(table.end(), e.begin(), e.end());
        table.insert(table.end(), kNonText.begin(), kNonText.end());
        table.insert(table.end(), kTextEndMarker.begin(), kTextEndMarker.end());
        Bytes flash = base.flash;
        std::copy(table.begin(), table.end(), flash.begin() + firmwareVersion(version).textTableOffset);
        ASSERT_TRUE(ws.loadBytes(synth::withFlash(base.dnl, flash), "/daten/X.DNL").ok());
        tableOffset = static_cast<std::size_t>(firmwareVersion(version).textTableOffset);
    }
    void loadSample(int version = 3) {
        sample = synth::makeSample({.version = version});
        ASSERT_TRUE(ws.loadBytes(sample.dnl, "/daten/X.DNL").ok());
        tableOffset = static_cast<std::size_t>(firmwareVersion(version).textTableOffset);
    }
    void open() {
        if (!w) {
            w = std::make_unique<TF4_Texte>(ws, platform, [this] { ++helpShown; });
            w->show();
        }
        ASSERT_TRUE(w->FormShow()) << (platform.messages.empty() ? "" : platform.messages.back());
    }
    // Selects a row as a click on it does.
    void clickRow(int row) {
        QListWidget* list = w->LB_Texte;
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }
    void clickIntoEditBox() { QTest::mouseClick(w->E_Text, Qt::LeftButton); }
    void replaceEditText(const QString& text) {
        clickIntoEditBox();
        w->E_Text->selectAll();
        QTest::keyClick(w->E_Text, Qt::Key_Delete);
        type(w->E_Text, text);
    }
    void search(const QString& text) {
        w->E_Suche->clear();
        type(w->E_Suche, text);
        w->P_Suchen->click();
    }
    Bytes entryAt(std::size_t k) const { return w->textList()->entry(k); }

    test::ScriptedPlatform platform;
    Workspace ws;
    synth::Sample sample;
    std::size_t tableOffset = 0;
    std::unique_ptr<TF4_Texte> w;
    int helpShown = 0;
};

}  // namespace

TEST_F(TextEditorTest, LayoutNamesCaptionsAndHints) {
    loadSample();
    open();
    struct Case {
        QWidget* widget;
        const char* name;
        const char* caption;  // nullptr: none to check
        const char* hint;
    };
    const Case cases[] = {
        {w->E_Suche, "E_Suche", nullptr, "Zu suchender Text"},
        {w->P_Suchen, "P_Suchen", "Text suchen", "Sucht einen Text in der Liste"},
        {w->S_Hilfe, "S_Hilfe", "HILFE", ""},
        {w->Panel3, "Panel3", "Texte speichern", "Speichert die Liste der Texte in eine Datei."},
        {w->P_Texte_laden, "P_Texte_laden", "Texte laden",
         "Lädt eine Textdatei (eine Zeile je Text, wie „Texte speichern“ sie schreibt) in die Liste; übernommen wird "
         "erst mit „Texte übernehmen“."},
        {w->RG_UeberLaenge, "RG_UeberLaenge", nullptr, ""},
        {w->E_Text, "E_Text", nullptr, "Neuer Text"},
        {w->Panel1, "Panel1", "Text eintragen", "Übernimmt den aktuellen Text."},
        {w->BB_Abbruch, "BB_Abbruch", "Änderungen verwerfen", "Verwirft die Änderungen."},
        {w->BB_OK, "BB_OK", "Texte übernehmen", "Übernimmt die geänderten Texte."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.widget->objectName(), QString::fromUtf8(c.name));
        EXPECT_EQ(c.widget->toolTip(), QString::fromUtf8(c.hint));
        if (auto* b = qobject_cast<QAbstractButton*>(c.widget); b && c.caption) {
            EXPECT_EQ(b->text(), QString::fromUtf8(c.caption));
        }
    }
    EXPECT_EQ(w->RG_UeberLaenge->title(), QStringLiteral("Überlange Texte"));
    EXPECT_EQ(w->RB_erlauben->text(), QStringLiteral("erlauben"));
    EXPECT_EQ(w->RB_sperren->text(), QStringLiteral("sperren"));
    EXPECT_EQ(w->RB_erlauben->y(), w->RB_sperren->y());  // two columns
    EXPECT_EQ(w->E_Suche->maxLength(), 50);
    EXPECT_EQ(w->netCaption->text(), QStringLiteral("Länge aktuell:"));
    EXPECT_EQ(w->grossCaption->text(), QStringLiteral("Überlänge max:"));
    EXPECT_EQ(w->LB_Texte->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_TRUE(QFontInfo(w->LB_Texte->font()).fixedPitch());
    EXPECT_EQ(w->LB_Texte->font().pixelSize(), 13);

    w->S_Hilfe->click();
    EXPECT_EQ(helpShown, 1);
}

TEST_F(TextEditorTest, OpeningShowsTheCountAndTheFirstText) {
    loadSample();
    open();
    const std::size_t count = sample.textEntries.size();
    EXPECT_EQ(w->P_AnzahlTexte->text(), QString::number(count) + QStringLiteral(" Texte geladen"));
    ASSERT_EQ(w->LB_Texte->count(), static_cast<int>(count));
    for (std::size_t k = 0; k < count; ++k)
        ASSERT_EQ(w->LB_Texte->item(static_cast<int>(k))->text(), fromAnsi(rowText(sample.textEntries[k]))) << k;
    EXPECT_EQ(w->LB_Texte->currentRow(), 0);
    EXPECT_EQ(w->P_Text_gewaehlt->text(), QStringLiteral("Text Nr: 1"));
    EXPECT_EQ(w->E_Text->text(), w->LB_Texte->item(0)->text());
    EXPECT_EQ(w->L_netto->text(), QString::number(netLength(sample.textEntries[0])));
    EXPECT_EQ(w->L_brutto->text(), QString::number(grossLength(sample.textEntries[0])));
    EXPECT_EQ(w->overlongMode(), OverlongMode::Sperren);
    EXPECT_EQ(w->E_Text->maxLength(), netLength(sample.textEntries[0]));
    EXPECT_EQ(w->focusWidget(), w->LB_Texte);

    // A second opening resets row, search and mode, but not the editing state: the edit box
    // then stays empty.
    clickRow(7);
    search(QStringLiteral("e"));
    w->RB_erlauben->click();
    w->LB_TexteDblClick();
    ASSERT_TRUE(w->editing());
    open();
    EXPECT_EQ(w->currentText(), 0);
    EXPECT_EQ(w->searchPosition(), 0);
    EXPECT_EQ(w->LB_Texte->currentRow(), 0);
    EXPECT_EQ(w->overlongMode(), OverlongMode::Sperren);
    EXPECT_TRUE(w->E_Suche->text().isEmpty());
    EXPECT_TRUE(w->editing());
    EXPECT_TRUE(w->E_Text->text().isEmpty());
    EXPECT_EQ(w->P_Text_gewaehlt->text(), QStringLiteral("Text Nr: 1"));
}

TEST_F(TextEditorTest, WarningPanelShowsTheWorstFinding) {
    struct Case {
        const char* name;
        Bytes entry;
        const char* text;
        QColor colour;
    };
    const QColor normal = QApplication::palette().color(QPalette::Button);
    const Case cases[] = {
        {"plain", {0x41, 0x42, 0x43, 0x00}, "OK", normal},
        {"control byte", {0x41, 0x42, 0x01, 0x43, 0x00, 0xFF, 0xFF, 0xFF}, "Steuerzeichen im Text", QColor(255, 0, 0)},
        {"second 0x00", {0x41, 0x42, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}, "Steuerzeichen im Text", QColor(255, 0, 0)},
        {"unknown special", {0x41, 0xF0, 0x00, 0xFF}, "nicht erkanntes Sonderzeichen im Text", QColor(0, 128, 0)},
        {"both", {0x41, 0xF0, 0x01, 0x00}, "Steuerzeichen im Text", QColor(255, 0, 0)},
    };
    std::vector<Bytes> entries;
    for (const Case& c : cases) entries.push_back(c.entry);
    loadTexts(entries);
    open();
    ASSERT_EQ(w->LB_Texte->count(), static_cast<int>(std::size(cases)));
    EXPECT_EQ(w->LB_Texte->item(1)->text(), QStringLiteral("ABC"));
    EXPECT_EQ(w->LB_Texte->item(3)->text(), QStringLiteral("Að"));
    for (int k = 0; k < static_cast<int>(std::size(cases)); ++k) {
        SCOPED_TRACE(cases[k].name);
        clickRow(k);
        EXPECT_EQ(w->currentText(), k);
        EXPECT_EQ(w->P_Warnung->text(), QString::fromUtf8(cases[k].text));
        EXPECT_EQ(background(w->P_Warnung), cases[k].colour);
    }
    clickRow(1);
    EXPECT_EQ(w->L_netto->text(), QStringLiteral("3"));
    EXPECT_EQ(w->L_brutto->text(), QStringLiteral("7"));
}

TEST_F(TextEditorTest, ListAndEditBoxSwitchTheEditingState) {
    loadTexts({{0x41, 0x42, 0x43, 0x00}, {0x44, 0x45, 0x46, 0x00}, {0x47, 0x48, 0x00, 0xFF}});
    open();
    QTest::keyClick(w->LB_Texte, Qt::Key_Down);
    EXPECT_EQ(w->currentText(), 1);
    EXPECT_EQ(w->E_Text->text(), QStringLiteral("DEF"));

    QTest::keyClick(w->LB_Texte, Qt::Key_Return);  // Enter in the list
    EXPECT_TRUE(w->editing());
    EXPECT_EQ(w->focusWidget(), w->E_Text);

    clickRow(2);
    EXPECT_FALSE(w->editing());
    EXPECT_EQ(w->E_Text->text(), QStringLiteral("GH"));
    const QListWidget* list = w->LB_Texte;
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    EXPECT_TRUE(w->editing());
    EXPECT_EQ(w->focusWidget(), w->E_Text);

    // While editing, the mode switch keeps the typed text; selecting the row again drops it.
    replaceEditText(QStringLiteral("X"));
    w->RB_erlauben->click();
    EXPECT_EQ(w->E_Text->text(), QStringLiteral("X"));
    EXPECT_EQ(w->E_Text->maxLength(), 3);
    EXPECT_EQ(w->focusWidget(), w->E_Text);
    clickRow(2);
    EXPECT_EQ(w->overlongMode(), OverlongMode::Sperren);
    EXPECT_FALSE(w->editing());
    EXPECT_EQ(w->E_Text->text(), QStringLiteral("GH"));
    EXPECT_EQ(w->E_Text->maxLength(), 2);

    clickIntoEditBox();
    EXPECT_TRUE(w->editing());
}

TEST_F(TextEditorTest, StoringByEnterOrButton) {
    loadTexts({{0x41, 0x42, 0x43, 0x44, 0x45, 0x00, 0xFF, 0xFF}, {0x41, 0x42, 0x01, 0x43, 0x44, 0x00, 0xFF, 0xFF}});
    open();
    const Bytes flashBefore = ws.flash();

    replaceEditText(QStringLiteral("A"));
    QTest::keyClick(w->E_Text, Qt::Key_Return);  // swallowed: no beep, nothing inserted
    EXPECT_EQ(platform.beeps, 0);
    EXPECT_EQ(entryAt(0), (Bytes{0x41, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(w->LB_Texte->item(0)->text(), QStringLiteral("A"));
    EXPECT_FALSE(w->editing());
    EXPECT_EQ(w->focusWidget(), w->LB_Texte);
    EXPECT_EQ(ws.flash(), flashBefore);  // only the editor's copy changed

    // In "sperren" the control byte keeps its place.
    clickRow(1);
    replaceEditText(QStringLiteral("WXYZ"));
    w->Panel1->click();
    EXPECT_EQ(entryAt(1), (Bytes{0x57, 0x58, 0x01, 0x59, 0x5A, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(w->LB_Texte->item(1)->text(), QStringLiteral("WXYZ"));
    EXPECT_FALSE(w->editing());
}

TEST_F(TextEditorTest, TwoStoresInARowNeverGrowTheEntry) {
    // Net length 5; after storing "A" the entry holds one character in "sperren".
    const Bytes original = {0x41, 0x42, 0x43, 0x44, 0x45, 0x00, 0xFF, 0xFF};
    loadTexts({original, {0x5A, 0x00}});
    open();
    replaceEditText(QStringLiteral("A"));
    QTest::keyClick(w->E_Text, Qt::Key_Return);
    EXPECT_EQ(w->L_netto->text(), QStringLiteral("1"));
    EXPECT_EQ(w->E_Text->maxLength(), 1);

    replaceEditText(QStringLiteral("XYZW"));
    EXPECT_EQ(w->E_Text->text(), QStringLiteral("X"));
    QTest::keyClick(w->E_Text, Qt::Key_Return);
    EXPECT_EQ(entryAt(0), (Bytes{0x58, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(entryAt(1), (Bytes{0x5A, 0x00}));

    // "erlauben" gives back the whole gross length, never more.
    w->RB_erlauben->click();
    EXPECT_EQ(w->E_Text->maxLength(), 7);
    replaceEditText(QStringLiteral("ABCDEFGHI"));
    EXPECT_EQ(w->E_Text->text(), QStringLiteral("ABCDEFG"));
    w->Panel1->click();
    EXPECT_EQ(entryAt(0), (Bytes{0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x00}));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(TextEditorTest, SperrenCutsWhatIsLongerThanTheText) {
    loadTexts({{0x41, 0x42, 0x43, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}});
    open();
    w->RB_erlauben->click();
    replaceEditText(QStringLiteral("ABCDE"));
    EXPECT_EQ(w->E_Text->text(), QStringLiteral("ABCDE"));
    w->RB_sperren->click();
    EXPECT_EQ(w->E_Text->text(), QStringLiteral("ABC"));
    EXPECT_EQ(w->E_Text->maxLength(), 3);
    EXPECT_EQ(w->E_Text->cursorPosition(), 3);
    // A shorter text survives the switch unchanged.
    replaceEditText(QStringLiteral("Z"));
    w->RB_erlauben->click();
    w->RB_sperren->click();
    EXPECT_EQ(w->E_Text->text(), QStringLiteral("Z"));
}

TEST_F(TextEditorTest, EditBoxRefusesCharactersTheUnitWouldNotShowAsTyped) {
    loadTexts({{0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x00, 0xFF}});
    open();
    replaceEditText(QStringLiteral("ab"));
    struct Case {
        const char* typed;
        bool accepted;
    };
    const Case cases[] = {
        {"€", false},  // would read back as á
        {"ã", false},  // would read back as O
        {"ÿ", false},  // the filler byte
        {"→", false},  // not in Windows-1252
        {"ð", true},   // an unknown device byte, shown unchanged
        {"ä", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const QString before = w->E_Text->text();
        const int beeps = platform.beeps;
        type(w->E_Text, QString::fromUtf8(c.typed));
        EXPECT_EQ(w->E_Text->text(), c.accepted ? before + QString::fromUtf8(c.typed) : before);
        EXPECT_EQ(platform.beeps, beeps + (c.accepted ? 0 : 1));
    }
    // Pasting is held to the same rule: the whole paste is refused.
    w->E_Text->insert(QStringLiteral("x€"));
    EXPECT_EQ(w->E_Text->text(), QStringLiteral("abðä"));
    QTest::keyClick(w->E_Text, Qt::Key_Return);
    EXPECT_EQ(entryAt(0), (Bytes{0x61, 0x62, 0xF0, 0x91, 0x00, 0xFF, 0xFF, 0xFF}));
}

TEST_F(TextEditorTest, SearchWalksTheMatchesInListOrder) {
    loadTexts({{0x4F, 0x52, 0x54, 0x00},                                // ORT
               {0x5A, 0x49, 0x45, 0x4C, 0x00, 0xFF, 0xFF, 0xFF},        // ZIEL
               {0x4F, 0x72, 0x74, 0x00},                                // Ort
               {0x57, 0x45, 0x47, 0x00},                                // WEG
               {0x5A, 0x75, 0x6D, 0x20, 0x4F, 0x52, 0x54, 0x00}});      // Zum ORT
    open();
    QTest::keyClick(w->LB_Texte, Qt::Key_Down);
    const OverlongMode mode = OverlongMode::Erlauben;
    w->RB_erlauben->click();
    clickIntoEditBox();
    type(w->E_Suche, QStringLiteral("ort"));
    for (const int expected : {0, 2, 4}) {
        SCOPED_TRACE(expected);
        QTest::keyClick(w->E_Suche, Qt::Key_Return);  // swallowed, searches
        EXPECT_EQ(w->currentText(), expected);
        EXPECT_EQ(w->LB_Texte->currentRow(), expected);
        EXPECT_EQ(w->E_Text->text(), w->LB_Texte->item(expected)->text());
        EXPECT_EQ(w->P_Text_gewaehlt->text(), QStringLiteral("Text Nr: ") + QString::number(expected + 1));
        EXPECT_EQ(w->searchPosition(), expected + 1);
        EXPECT_EQ(w->overlongMode(), mode);  // a hit keeps the mode and the editing state
        EXPECT_TRUE(w->editing());
        EXPECT_EQ(w->E_Suche->text(), QStringLiteral("ort"));
    }
    EXPECT_EQ(platform.beeps, 0);
    const QColor normal = background(w->E_Suche);

    // No wrap-around: the fourth search beeps and turns the box red, and so does the fifth.
    w->P_Suchen->click();
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_EQ(background(w->E_Suche), QColor(255, 0, 0));
    EXPECT_EQ(w->currentText(), 4);
    w->P_Suchen->click();
    EXPECT_EQ(platform.beeps, 2);

    // Changing the search text empties the edit box, starts at row 0 again and clears the red.
    QTest::keyClick(w->E_Suche, Qt::Key_Backspace);
    EXPECT_EQ(background(w->E_Suche), normal);
    EXPECT_EQ(w->searchPosition(), 0);
    EXPECT_TRUE(w->E_Text->text().isEmpty());
    type(w->E_Suche, QStringLiteral("t"));
    w->P_Suchen->click();
    EXPECT_EQ(w->currentText(), 0);

    // An empty search beeps and changes nothing.
    w->E_Suche->clear();
    w->P_Suchen->click();
    EXPECT_EQ(platform.beeps, 3);
    EXPECT_EQ(w->currentText(), 0);
    EXPECT_NE(background(w->E_Suche), QColor(255, 0, 0));
}

TEST_F(TextEditorTest, SearchFoldsLettersAndUmlautsOnly) {
    loadTexts({{0x57, 0x45, 0x47, 0x00},                          // WEG
               {0x46, 0xD9, 0x52, 0x00},                          // FÜR (device Ü)
               {0x66, 0x99, 0x72, 0x00},                          // für (device ü)
               {0xC2, 0x43, 0x52, 0x41, 0x4E, 0x00, 0xFF, 0xFF},  // ÉCRAN
               {0x82, 0x63, 0x72, 0x61, 0x6E, 0x00, 0xFF, 0xFF}}); // écran
    open();
    type(w->E_Suche, QStringLiteral("fü"));
    type(w->E_Suche, QStringLiteral("r"));
    w->P_Suchen->click();
    EXPECT_EQ(w->currentText(), 1);
    w->P_Suchen->click();
    EXPECT_EQ(w->currentText(), 2);

    w->E_Suche->clear();
    type(w->E_Suche, QStringLiteral("é"));
    w->P_Suchen->click();
    EXPECT_EQ(w->currentText(), 4);  // only the row with é
    w->P_Suchen->click();
    EXPECT_EQ(platform.beeps, 1);

    // A character outside Windows-1252 finds nothing.
    w->E_Suche->clear();
    type(w->E_Suche, QStringLiteral("→"));
    w->P_Suchen->click();
    EXPECT_EQ(platform.beeps, 2);
}

TEST_F(TextEditorTest, StoreThenCancelLeavesTheFlashImageAndReopensWithTheOldText) {
    loadSample();
    open();
    const Bytes before = ws.flash();
    const QString old = w->LB_Texte->item(3)->text();
    clickRow(3);
    replaceEditText(QStringLiteral("Q"));
    w->Panel1->click();
    ASSERT_EQ(w->LB_Texte->item(3)->text(), QStringLiteral("Q"));
    w->BB_Abbruch->click();
    EXPECT_EQ(w->result(), QDialog::Rejected);
    EXPECT_EQ(ws.flash(), before);
    open();
    EXPECT_EQ(w->LB_Texte->item(3)->text(), old);
}

TEST_F(TextEditorTest, AcceptWritesExactlyTheStoredEntries) {
    loadSample();
    open();
    const Bytes before = ws.flash();
    // Opening and accepting without a store changes nothing.
    w->BB_OK->click();
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_EQ(ws.flash(), before);

    open();
    const std::vector<int> changed = {2, 40};
    for (const int k : changed) {
        clickRow(k);
        replaceEditText(QStringLiteral("Öl"));
        QTest::keyClick(w->E_Text, Qt::Key_Return);
    }
    w->BB_OK->click();
    EXPECT_EQ(w->result(), QDialog::Accepted);

    Bytes expected = before;
    std::size_t at = tableOffset;
    for (std::size_t k = 0; k < sample.textEntries.size(); ++k) {
        const Bytes& original = sample.textEntries[k];
        if (std::find(changed.begin(), changed.end(), static_cast<int>(k)) != changed.end()) {
            Bytes stored(original.size(), 0xFF);
            // Control bytes in front of the third byte would keep their place in "sperren".
            ASSERT_TRUE(std::none_of(original.begin(), original.begin() + 2, isControlByte));
            stored[0] = 0xD7;  // Ö
            stored[1] = 'l';
            stored[2] = 0x00;
            std::copy(stored.begin(), stored.end(), expected.begin() + static_cast<std::ptrdiff_t>(at));
        }
        at += original.size();
    }
    EXPECT_EQ(ws.flash(), expected);
    open();
    EXPECT_EQ(w->LB_Texte->item(40)->text(), QStringLiteral("Öl"));
}

TEST_F(TextEditorTest, AcceptRefusedForAnotherFileTellsWhyAndChangesNothing) {
    loadSample(3);
    open();
    replaceEditText(QStringLiteral("Öl"));
    QTest::keyClick(w->E_Text, Qt::Key_Return);
    // Another release with its text table elsewhere is loaded under the open editor.
    loadSample(9);
    const Bytes before = ws.flash();
    platform.messages.clear();
    w->BB_OK->click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], "Die Texte passen nicht mehr zur geladenen Datei und werden nicht übernommen.");
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(ws.flash(), before);
    EXPECT_FALSE(ws.history().canUndo());
}

TEST_F(TextEditorTest, ExportWritesEveryRowWithCrLf) {
    std::vector<Bytes> entries;
    for (int i = 0; i < 1200; ++i) entries.push_back(i % 2 ? Bytes{0x41, 0x01, 0x91, 0x00} : Bytes{0x4F, 0x6B, 0x00, 0xFF});
    loadTexts(entries, 5);
    open();
    ASSERT_EQ(w->LB_Texte->count(), 1200);
    clickRow(1);
    replaceEditText(QStringLiteral("ß"));
    w->Panel1->click();

    TempDir dir;
    const std::string path = dir.file("texte.TXT");
    writeFile(path, Bytes{'a', 'l', 't'});
    platform.answerSave(path);
    w->Panel3->click();
    ASSERT_EQ(platform.saveRequests.size(), 1u);
    EXPECT_EQ(platform.saveRequests[0].filter, "Text-Dateien (*.TXT)|*.TXT");
    EXPECT_EQ(platform.saveRequests[0].defaultExtension, "TXT");
    const Bytes file = readFile(path);
    std::size_t lines = 0, pos = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file[i] != '\n') continue;
        ASSERT_GT(i, pos);
        ASSERT_EQ(file[i - 1], '\r') << i;
        const Bytes line(file.begin() + static_cast<std::ptrdiff_t>(pos), file.begin() + static_cast<std::ptrdiff_t>(i - 1));
        const Bytes expectedLine = lines == 1 ? Bytes{0xDF} : lines % 2 ? Bytes{0x41, 0xE4} : Bytes{0x4F, 0x6B};
        ASSERT_EQ(line, expectedLine) << lines;
        pos = i + 1;
        ++lines;
    }
    EXPECT_EQ(lines, 1200u);
    EXPECT_EQ(pos, file.size());

    // Cancelled: nothing written. Unwritable: the system's reason, the old file stays.
    writeFile(path, Bytes{'a', 'l', 't'});
    w->Panel3->click();
    EXPECT_EQ(readFile(path), (Bytes{'a', 'l', 't'}));
    platform.answerSave(dir.file("fehlt/texte.TXT"));
    w->Panel3->click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].rfind("Die Datei kann nicht geschrieben werden:\n", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("fehlt/texte.TXT")));
}

TEST_F(TextEditorTest, AStoreTheTableCouldNotTakeIsRefusedWithAMessage) {
    // Emptying the only text would leave a table without texts.
    loadTexts({{0x41, 0x42, 0x00, 0xFF}});
    open();
    replaceEditText(QString());
    QTest::keyClick(w->E_Text, Qt::Key_Return);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].find("keine Texte"), std::string::npos) << platform.messages[0];
    EXPECT_EQ(entryAt(0), (Bytes{0x41, 0x42, 0x00, 0xFF}));
    EXPECT_EQ(w->LB_Texte->item(0)->text(), QStringLiteral("AB"));
    EXPECT_TRUE(w->editing());
}

TEST_F(TextEditorTest, LoadedTextsGoIntoTheListMarkedWithAReport) {
    loadTexts({{0x48, 0x61, 0x75, 0x73, 0x00, 0xFF, 0xFF, 0xFF},
               {0x41, 0x01, 0x42, 0x00},
               {0x53, 0x74, 0x72, 0x61, 0x8D, 0x65, 0x00, 0xFF},
               {0x45, 0x6E, 0x64, 0x65, 0x00, 0xFF, 0xFF, 0xFF}});
    open();
    const Bytes flash = ws.flash();
    const QColor plain = w->LB_Texte->item(0)->background().color();
    TempDir dir;
    const std::string path = dir.file("texte.txt");
    // Text 1 too long, text 3 changed, text 4 with a character the unit shows as another.
    writeFile(path, Bytes{'H', 'a', 'u', 's', 'b', 'o', 'o', 't', '\n', 'A', 'B', '\n', 'G', 'r', 0xFC, 0xDF, '\n',
                          'E', 0x80, '\n'});
    platform.answerOpen(path);
    w->P_Texte_laden->click();
    ASSERT_EQ(platform.openRequests.size(), 1u);
    EXPECT_EQ(platform.openRequests[0].filter, "Text-Dateien (*.TXT *.TSV)|*.TXT;*.TSV");
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(ws.flash(), flash);  // into the list, not the flash image

    EXPECT_EQ(w->LB_Texte->item(2)->text(), QStringLiteral("Grüß"));
    EXPECT_EQ(w->E_Text->text(), QStringLiteral("Haus"));  // the current text as it is now
    const QColor imported = w->LB_Texte->item(2)->background().color();
    const QColor refused = w->LB_Texte->item(0)->background().color();
    EXPECT_NE(imported, plain);
    EXPECT_NE(refused, plain);
    EXPECT_NE(imported, refused);
    EXPECT_EQ(w->LB_Texte->item(3)->background().color(), refused);
    EXPECT_EQ(w->LB_Texte->item(1)->background().color(), plain);

    TextImportReport* report = w->importReport();
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isVisible());
    EXPECT_TRUE(report->summaryLabel->text().contains(QStringLiteral("„texte.txt“: 1 Text übernommen, 2 abgelehnt.")));
    ASSERT_EQ(report->reportList->count(), 2);
    EXPECT_TRUE(report->reportList->item(0)->text().startsWith(QStringLiteral("Text Nr. 1: Der Text ist um 4 Zeichen zu lang")));
    EXPECT_TRUE(report->reportList->item(1)->text().startsWith(QStringLiteral("Text Nr. 4: An Stelle 2")));

    // Double-clicking a line selects that text for editing; fixing it marks it changed.
    QListWidget* lines = report->reportList;
    // A real double-click starts with a click.
    const QPoint line2 = lines->visualItemRect(lines->item(1)).center();
    QTest::mouseClick(lines->viewport(), Qt::LeftButton, {}, line2);
    EXPECT_EQ(w->currentText(), 0);
    QTest::mouseDClick(lines->viewport(), Qt::LeftButton, {}, line2);
    EXPECT_EQ(w->currentText(), 3);
    EXPECT_EQ(w->LB_Texte->currentRow(), 3);
    EXPECT_TRUE(w->editing());
    EXPECT_EQ(w->E_Text->text(), QStringLiteral("Ende"));
    w->E_Text->selectAll();
    type(w->E_Text, QStringLiteral("Ziel"));
    QTest::keyClick(w->E_Text, Qt::Key_Return);
    EXPECT_EQ(w->LB_Texte->item(3)->background().color(), imported);
    EXPECT_TRUE(lines->item(1)->text().endsWith(QStringLiteral("Von Hand eingetragen.")));
    EXPECT_FALSE(lines->item(0)->text().endsWith(QStringLiteral("Von Hand eingetragen.")));

    w->BB_OK->click();
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_FALSE(report->isVisible());
    Bytes expected = flash;
    const Bytes gruss = {0x47, 0x72, 0x99, 0x8D, 0x00, 0xFF, 0xFF, 0xFF}, ziel = {0x5A, 0x69, 0x65, 0x6C, 0x00, 0xFF, 0xFF, 0xFF};
    std::copy(gruss.begin(), gruss.end(), expected.begin() + static_cast<std::ptrdiff_t>(tableOffset + 12));
    std::copy(ziel.begin(), ziel.end(), expected.begin() + static_cast<std::ptrdiff_t>(tableOffset + 20));
    EXPECT_EQ(ws.flash(), expected);
}

TEST_F(TextEditorTest, LoadingFollowsTheOverlongChoiceOfTheMoment) {
    loadTexts({{0x48, 0x61, 0x75, 0x73, 0x00, 0xFF, 0xFF, 0xFF}, {0x45, 0x6E, 0x64, 0x65, 0x00}});
    open();
    TempDir dir;
    writeFile(dir.file("x.TXT"), Bytes{'H', 'a', 'u', 's', 'b', 'a', 'u', '\n', 'E', 'n', 'd', 'e', '\n'});
    platform.answerOpen(dir.file("x.TXT"));
    w->P_Texte_laden->click();
    EXPECT_EQ(w->LB_Texte->item(0)->text(), QStringLiteral("Haus"));
    ASSERT_EQ(w->importReport()->reportList->count(), 1);
    EXPECT_TRUE(w->importReport()->reportList->item(0)->text().contains(QStringLiteral("sperren; mit „erlauben“ bis zu 7")));

    w->RB_erlauben->click();
    platform.answerOpen(dir.file("x.TXT"));
    w->P_Texte_laden->click();
    EXPECT_EQ(w->LB_Texte->item(0)->text(), QStringLiteral("Hausbau"));
    EXPECT_EQ(entryAt(0), (Bytes{0x48, 0x61, 0x75, 0x73, 0x62, 0x61, 0x75, 0x00}));
    EXPECT_EQ(w->importReport()->reportList->count(), 0);
}

TEST_F(TextEditorTest, ARefusedOrCancelledFileChangesNothing) {
    loadTexts({{0x48, 0x61, 0x75, 0x73, 0x00, 0xFF, 0xFF, 0xFF}, {0x45, 0x6E, 0x64, 0x65, 0x00}});
    open();
    replaceEditText(QStringLiteral("Hof"));
    w->Panel1->click();
    const QColor plain = w->LB_Texte->item(1)->background().color();
    const Bytes entry0 = entryAt(0);
    TempDir dir;
    const std::pair<Bytes, const char*> files[] = {
        {Bytes{'A', '\n', 'B', '\n', 'C', '\n'}, "Die Textdatei hat 3 Zeilen, die geladene Datei hat 2 Texte"},
        {Bytes{0x89, 'P', 'N', 'G', 0x00, 0x1A}, "Die Datei ist keine Textdatei"},
        {Bytes{}, "Die Textdatei ist leer."},
    };
    for (const auto& [bytes, message] : files) {
        platform.messages.clear();
        writeFile(dir.file("x.TXT"), bytes);
        platform.answerOpen(dir.file("x.TXT"));
        w->P_Texte_laden->click();
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_NE(platform.messages[0].find(message), std::string::npos) << platform.messages[0];
        EXPECT_EQ(entryAt(0), entry0);
        EXPECT_EQ(w->LB_Texte->item(0)->text(), QStringLiteral("Hof"));
        EXPECT_EQ(w->LB_Texte->item(1)->text(), QStringLiteral("Ende"));
        EXPECT_EQ(w->LB_Texte->item(1)->background().color(), plain);
        EXPECT_EQ(w->importReport(), nullptr);
    }
    platform.messages.clear();
    w->P_Texte_laden->click();  // cancelled
    platform.answerOpen(dir.file("fehlt.TXT"));
    w->P_Texte_laden->click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].rfind("Die Textdatei kann nicht gelesen werden: ", 0), 0u);
    EXPECT_EQ(entryAt(0), entry0);

    // "Änderungen verwerfen" after a load throws it all away.
    writeFile(dir.file("y.TXT"), Bytes{'H', 'o', 'f', '\n', 'Z', 'i', 'e', 'l', '\n'});
    platform.answerOpen(dir.file("y.TXT"));
    const Bytes flash = ws.flash();
    w->P_Texte_laden->click();
    EXPECT_EQ(w->LB_Texte->item(1)->text(), QStringLiteral("Ziel"));
    w->BB_Abbruch->click();
    EXPECT_EQ(ws.flash(), flash);
    EXPECT_FALSE(w->importReport()->isVisible());
    open();
    EXPECT_EQ(w->LB_Texte->item(0)->text(), QStringLiteral("Haus"));
    EXPECT_EQ(w->LB_Texte->item(1)->text(), QStringLiteral("Ende"));
    EXPECT_EQ(w->LB_Texte->item(1)->background().color(), plain);
}

// --- through the main window ---

namespace {

class TextEditorRoadTest : public test::ProgramWindowsTest {
protected:
    void load(const std::string& path) {
        platform.answerOpen(path);
        main->DNL_Datei_einlesen();
        ASSERT_TRUE(main->workspace().fileLoaded());
    }
    TF4_Texte* texte() { return windows->windows().texte; }
    // Loads the sample file a new user finds under this name pattern; returns its path.
    std::string loadSample(const QString& pattern) {
        const QDir samples(QStringLiteral(ZARVELO_SAMPLES_DIR));
        const QStringList names = samples.entryList({pattern});
        EXPECT_EQ(names.size(), 1);
        if (names.size() != 1) return {};
        const std::string path = samples.filePath(names[0]).toStdString();
        load(path);
        return path;
    }
    // Saves through the save dialog with its default colour mode; returns the file written.
    Bytes saveThroughTheSaveDialog() {
        const std::string saved = dir.file("fenster.DNL");
        onModal = [&](QDialog& dialog) {
            auto* save = dynamic_cast<TF9_Speichern*>(&dialog);
            if (!save) return int(QDialog::Rejected);
            platform.answerSave(saved);
            save->BB_speichereDatei->click();
            return save->result();
        };
        main->ui().S_speichere_DNL_file->click();
        return readFile(saved);
    }
    // zarvelo-cli import-texts into a file of its own; its standard output, or nothing on failure.
    std::optional<QByteArray> importTexts(const std::string& dnl, const std::string& texts, const std::string& out,
                                          const QStringList& extra = {}) {
        QProcess cli;
        cli.start(QStringLiteral(ZARVELO_CLI_PATH), QStringList{QStringLiteral("import-texts"), QString::fromStdString(dnl),
                                                                QString::fromStdString(texts), QString::fromStdString(out)} +
                                                        extra);
        if (!cli.waitForFinished(60000) || cli.exitCode() != 0) {
            ADD_FAILURE() << cli.readAllStandardError().toStdString();
            return std::nullopt;
        }
        return cli.readAllStandardOutput().trimmed();
    }
};

}  // namespace

TEST_F(TextEditorRoadTest, UnreadableTextTableOpensNoEditor) {
    Workspace broken;
    ASSERT_TRUE(broken.loadBytes(synth::makeSample({.version = 6}).dnl, "x").ok());
    Bytes damaged = broken.flash();
    const auto from = damaged.begin() + firmwareVersion(6).textTableOffset;
    const auto marker = std::search(from, damaged.end(), kTextEndMarker.begin(), kTextEndMarker.end());
    ASSERT_NE(marker, damaged.end());
    std::fill_n(marker, kTextEndMarker.size(), 0x41);
    const std::string path = dir.file("kaputt.DNL");
    writeFile(path, synth::withFlash(broken.dnl(), damaged));
    load(path);
    const Bytes flash = main->workspace().flash();
    platform.messages.clear();

    main->ui().S_Texte->click();
    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].rfind("Die Texte dieser Datei können nicht bearbeitet werden: ", 0), 0u)
        << platform.messages[0];
    EXPECT_EQ(main->workspace().flash(), flash);
    main->ui().extebearbeiten1->trigger();
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_F(TextEditorRoadTest, ChangedTextSavedThroughTheWindowsEqualsTheCommandLineTool) {
    // A sample as a new user opens it.
    const QStringList samples = QDir(QStringLiteral(ZARVELO_SAMPLES_DIR)).entryList({QStringLiteral("Beispiel_04_*.DNL")});
    ASSERT_EQ(samples.size(), 1);
    const std::string samplePath = QDir(QStringLiteral(ZARVELO_SAMPLES_DIR)).filePath(samples[0]).toStdString();
    load(samplePath);

    // Find a text, change it, accept.
    int changed = -1;
    const QString newText = QStringLiteral("Grüße");
    onModal = [&](QDialog& dialog) {
        EXPECT_EQ(&dialog, static_cast<QDialog*>(texte()));
        TF4_Texte* t = texte();
        type(t->E_Suche, QStringLiteral("tankst"));
        QTest::keyClick(t->E_Suche, Qt::Key_Return);
        changed = t->currentText();
        EXPECT_TRUE(t->LB_Texte->item(changed)->text().contains(QStringLiteral("Tankstelle")));
        QTest::mouseClick(t->E_Text, Qt::LeftButton);
        t->E_Text->selectAll();
        type(t->E_Text, newText);
        QTest::keyClick(t->E_Text, Qt::Key_Return);
        t->BB_OK->click();
        return t->result();
    };
    main->ui().S_Texte->click();
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_GE(changed, 0);

    // Save through the save dialog with its default colour mode.
    const std::string saved = dir.file("geaendert.DNL");
    onModal = [&](QDialog& dialog) {
        auto* save = dynamic_cast<TF9_Speichern*>(&dialog);
        EXPECT_NE(save, nullptr);
        if (!save) return int(QDialog::Rejected);
        platform.answerSave(saved);
        save->BB_speichereDatei->click();
        return save->result();
    };
    main->ui().S_speichere_DNL_file->click();
    ASSERT_EQ(shown.size(), 2u);

    // Load it again: the editor shows the new text.
    load(saved);
    QString shownText;
    onModal = [&](QDialog&) {
        shownText = texte()->LB_Texte->item(changed)->text();
        texte()->BB_Abbruch->click();
        return texte()->result();
    };
    main->ui().S_Texte->click();
    EXPECT_EQ(shownText, newText);

    // The same change made by the command line tool gives the same file, byte for byte.
    const std::string cliOut = dir.file("cli.DNL");
    QProcess setText;
    setText.start(QStringLiteral(ZARVELO_CLI_PATH),
                  {QStringLiteral("set-text"), QString::fromStdString(samplePath), QString::number(changed + 1),
                   QString::fromStdString(cliOut), QStringLiteral("--text"), newText});
    ASSERT_TRUE(setText.waitForFinished(60000));
    ASSERT_EQ(setText.exitCode(), 0) << setText.readAllStandardError().toStdString();
    const Bytes fromWindows = readFile(saved);
    const Bytes fromCli = readFile(cliOut);
    ASSERT_FALSE(fromWindows.empty());
    EXPECT_TRUE(fromWindows == fromCli);
    EXPECT_FALSE(fromWindows == readFile(samplePath));
}

TEST_F(TextEditorRoadTest, LoadedTextsSavedThroughTheWindowsEqualImportTextsPartial) {
    const std::string samplePath = loadSample(QStringLiteral("Beispiel_07_*.DNL"));
    ASSERT_FALSE(samplePath.empty());

    // Export through "Texte speichern", change three lines (one too long), load them back.
    const std::string exported = dir.file("texte.TXT");
    const std::string changed = dir.file("geaendert.TXT");
    std::size_t tooLong = 0;
    QStringList report;
    onModal = [&](QDialog&) {
        TF4_Texte* t = texte();
        platform.answerSave(exported);
        t->Panel3->click();
        const Bytes text = readFile(exported);
        QList<QByteArray> lines = QByteArray(reinterpret_cast<const char*>(text.data()), static_cast<qsizetype>(text.size())).split('\n');
        EXPECT_EQ(lines.size(), static_cast<qsizetype>(t->textList()->textCount()) + 1);
        std::vector<std::size_t> plain;
        for (std::size_t k = 0; k < t->textList()->textCount() && plain.size() < 3; ++k)
            if (netLength(t->textList()->entry(k)) >= 4 && classifyText(t->textList()->entry(k)) == TextWarning::None)
                plain.push_back(k);
        lines[static_cast<qsizetype>(plain[0])] = "Weg\r";
        lines[static_cast<qsizetype>(plain[1])] = "Gr\xFC\xDF\r";
        tooLong = plain[2];
        lines[static_cast<qsizetype>(tooLong)] = QByteArray(300, 'x') + '\r';
        const QByteArray file = lines.join('\n');
        writeFile(changed, Bytes(file.begin(), file.end()));
        platform.answerOpen(changed);
        t->P_Texte_laden->click();
        for (int i = 0; i < t->importReport()->reportList->count(); ++i) report << t->importReport()->reportList->item(i)->text();
        t->BB_OK->click();
        return t->result();
    };
    main->ui().S_Texte->click();
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(report.size(), 1);
    EXPECT_TRUE(report[0].startsWith(QStringLiteral("Text Nr. %1: Der Text ist um ").arg(tooLong + 1))) << report[0].toStdString();

    const Bytes fromWindows = saveThroughTheSaveDialog();
    const std::string cliOut = dir.file("cli.DNL");
    const std::optional<QByteArray> cliReport = importTexts(samplePath, changed, cliOut, {QStringLiteral("--partial")});
    ASSERT_TRUE(cliReport);
    EXPECT_TRUE(cliReport->endsWith("2 Texte übernommen, 1 abgelehnt."));
    ASSERT_FALSE(fromWindows.empty());
    EXPECT_TRUE(fromWindows == readFile(cliOut));
    EXPECT_FALSE(fromWindows == readFile(samplePath));
}

TEST_F(TextEditorRoadTest, TranslatorsRoundTripWithHandFixesEqualsTheCommandLineTool) {
    // Export, change twenty texts (five too long), load them back, read the report, fix two
    // of the refused texts by hand, accept, save: the file equals import-texts of the final texts.
    const std::string samplePath = loadSample(QStringLiteral("Beispiel_10_*.DNL"));
    ASSERT_FALSE(samplePath.empty());

    const std::string exported = dir.file("texte.TXT"), changed = dir.file("uebersetzt.TXT"), final = dir.file("final.TXT");
    QStringList report;
    onModal = [&](QDialog&) -> int {
        TF4_Texte* t = texte();
        platform.answerSave(exported);
        t->Panel3->click();
        const Bytes text = readFile(exported);
        QList<QByteArray> lines = QByteArray(reinterpret_cast<const char*>(text.data()), static_cast<qsizetype>(text.size())).split('\n');
        lines.removeLast();
        QList<QByteArray> finalLines = lines;
        std::vector<std::size_t> refused;
        int edits = 0;
        for (std::size_t k = 0; k < t->textList()->textCount() && edits < 20; k += 7) {
            const Bytes& e = t->textList()->entry(k);
            if (netLength(e) < 3 || classifyText(e) != TextWarning::None) continue;
            const auto at = static_cast<qsizetype>(k);
            if (edits % 4 == 0) {  // five too long
                lines[at] = QByteArray(grossLength(e) + 3, 'L') + '\r';
                refused.push_back(k);
            } else {
                lines[at] = QByteArray("\xDC") + QByteArray::number(edits).left(netLength(e) - 1) + '\r';
                finalLines[at] = lines[at];
            }
            ++edits;
        }
        EXPECT_EQ(edits, 20);
        const QByteArray changedFile = lines.join('\n') + '\n';
        writeFile(changed, Bytes(changedFile.begin(), changedFile.end()));
        platform.answerOpen(changed);
        t->P_Texte_laden->click();
        TextImportReport* r = t->importReport();
        for (int i = 0; i < r->reportList->count(); ++i) report << r->reportList->item(i)->text();
        // Fix two by hand from the report: a double-click selects the text for editing.
        for (int i = 0; i < 2; ++i) {
            const std::size_t k = static_cast<std::size_t>(r->positionAt(i));
            EXPECT_EQ(k, refused[static_cast<std::size_t>(i)]);
            emit r->reportList->itemDoubleClicked(r->reportList->item(i));
            EXPECT_EQ(t->currentText(), k);
            EXPECT_TRUE(t->editing());
            t->E_Text->selectAll();
            type(t->E_Text, QStringLiteral("Fix%1").arg(i));
            QTest::keyClick(t->E_Text, Qt::Key_Return);
            finalLines[static_cast<qsizetype>(k)] = QByteArray("Fix") + QByteArray::number(i) + '\r';
        }
        const QByteArray finalFile = finalLines.join('\n') + '\n';
        writeFile(final, Bytes(finalFile.begin(), finalFile.end()));
        t->BB_OK->click();
        return t->result();
    };
    main->ui().S_Texte->click();
    ASSERT_EQ(report.size(), 5);
    for (const QString& line : report) EXPECT_TRUE(line.contains(QStringLiteral("zu lang"))) << line.toStdString();

    const Bytes fromWindows = saveThroughTheSaveDialog();
    const std::string cliOut = dir.file("cli.DNL");
    EXPECT_EQ(importTexts(samplePath, final, cliOut), std::optional<QByteArray>("17 Texte übernommen, 0 abgelehnt."));
    ASSERT_FALSE(fromWindows.empty());
    EXPECT_TRUE(fromWindows == readFile(cliOut));
}
