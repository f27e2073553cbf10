// The text editor's session and the import of a translator's file into it.

#include "texts/charset.hpp"
#include "texts/messages.hpp"
#include "texts/text_import.hpp"
#include "texts/text_session.hpp"

#include <gtest/gtest.h>

using namespace zarvelo;

namespace {

// Four texts: "Haus" with filler, "AB" around a control byte, "Straße" (device ß 0x8D), "Ende".
const std::vector<Bytes> kEntries = {
    {0x48, 0x61, 0x75, 0x73, 0x00, 0xFF, 0xFF, 0xFF},
    {0x41, 0x01, 0x42, 0x00},
    {0x53, 0x74, 0x72, 0x61, 0x8D, 0x65, 0x00, 0xFF},
    {0x45, 0x6E, 0x64, 0x65, 0x00, 0xFF, 0xFF, 0xFF},
};

TextSession makeSession() {
    Bytes flash;
    for (const Bytes& e : kEntries) flash.insert(flash.end(), e.begin(), e.end());
    flash.insert(flash.end(), {0x12, 0x34, 0x00});
    flash.insert(flash.end(), kTextEndMarker.begin(), kTextEndMarker.end());
    Result<TextList> read = readTextTable(flash, 0);
    EXPECT_TRUE(read.ok()) << read.message();
    return TextSession(std::move(read).value());
}

Bytes bytes(std::string_view s) { return Bytes(s.begin(), s.end()); }

std::vector<Bytes> entries(const TextSession& s) {
    std::vector<Bytes> out;
    for (std::size_t k = 0; k < s.textCount(); ++k) out.push_back(s.entry(k));
    return out;
}

std::vector<RowMark> marks(const TextSession& s) {
    std::vector<RowMark> out;
    for (std::size_t k = 0; k < s.textCount(); ++k) out.push_back(s.mark(k));
    return out;
}

}  // namespace

TEST(TextSession, StoresTypedTextsAsTypedAndRefusesWithoutChange) {
    TextSession s = makeSession();
    EXPECT_EQ(s.rows(), (std::vector<std::string>{"Haus", "AB", "Stra\xDF" "e", "Ende"}));
    EXPECT_EQ(s.storedCount(), 0u);

    ASSERT_TRUE(s.storeTyped(2, U"Grüße", OverlongMode::Sperren).ok());
    EXPECT_EQ(s.entry(2), (Bytes{0x47, 0x72, 0x99, 0x8D, 0x65, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(s.row(2), "Gr\xFC\xDF" "e");
    EXPECT_TRUE(s.stored(2));
    EXPECT_EQ(s.storedCount(), 1u);

    struct Case {
        const char* name;
        std::size_t position;
        std::u32string text;
        OverlongMode mode;
        const char* message;
    };
    const Case refused[] = {
        {"longer than shown", 0, U"Hausb", OverlongMode::Sperren, "Der Text ist zu lang"},
        {"longer than the entry", 0, U"Hausboot", OverlongMode::Erlauben, "höchstens 7 Zeichen"},
        {"shown as another character", 3, U"5 €", OverlongMode::Sperren, "das Navi zeigt es als „á“"},
        {"outside Windows-1252", 3, U"→", OverlongMode::Sperren, "Windows-1252"},
        {"no such text", 4, U"x", OverlongMode::Sperren, "Text Nr. 5 gibt es nicht"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        const std::vector<Bytes> before = entries(s);
        const std::vector<std::string> rows = s.rows();
        const Status out = s.storeTyped(c.position, c.text, c.mode);
        EXPECT_FALSE(out.ok());
        EXPECT_NE(out.message().find(c.message), std::string::npos) << out.message();
        EXPECT_EQ(entries(s), before);
        EXPECT_EQ(s.rows(), rows);
        EXPECT_EQ(s.storedCount(), 1u);
    }
    // With overlong texts allowed, the filler is room; the control byte is dropped.
    ASSERT_TRUE(s.storeTyped(1, U"XYZ", OverlongMode::Erlauben).ok());
    EXPECT_EQ(s.entry(1), (Bytes{0x58, 0x59, 0x5A, 0x00}));
}

TEST(TextSession, SearchWalksTheRowsAsTheyAreNow) {
    TextSession s = makeSession();
    ASSERT_TRUE(s.storeTyped(3, U"haus", OverlongMode::Sperren).ok());
    EXPECT_EQ(s.searchNext(U"HAUS"), std::optional<std::size_t>(0));
    EXPECT_EQ(s.searchNext(U"HAUS"), std::optional<std::size_t>(3));
    EXPECT_EQ(s.searchNext(U"HAUS"), std::nullopt);
    EXPECT_EQ(s.searchPosition(), 4u);
    s.restartSearch();
    EXPECT_EQ(s.searchNext(U"straße"), std::optional<std::size_t>(2));
    s.restartSearch();
    EXPECT_EQ(s.searchNext(U"→"), std::nullopt);
    EXPECT_EQ(s.searchPosition(), 4u);
}

TEST(TextSession, ExportsTheRowsAndTheTranslatorsTable) {
    TextSession s = makeSession();
    ASSERT_TRUE(s.storeTyped(3, U"Öl", OverlongMode::Sperren).ok());
    EXPECT_EQ(s.exportText(), bytes("Haus\r\nAB\r\nStra\xDF" "e\r\n\xD6l\r\n"));
    EXPECT_EQ(s.exportTable(), bytes("Nr.\tZeichen ohne Überlänge\tZeichen mit Überlänge\tText\r\n"
                                     "1\t4\t7\tHaus\r\n"
                                     "2\t2\t3\tAB\r\n"
                                     "3\t6\t7\tStraße\r\n"
                                     "4\t2\t7\tÖl\r\n"));
}

// --- import ---

TEST(TextImport, EncodingsAndLineEndsGiveTheSameResult) {
    TextSession reference = makeSession();
    ASSERT_TRUE(reference.storeTyped(2, U"Grüß", OverlongMode::Sperren).ok());

    const std::string table = "Nr.\tZeichen ohne Überlänge\tZeichen mit Überlänge\tText\r\n";
    struct Case {
        const char* name;
        std::string file;
        TextFileEncoding encoding;
        TextFileFormat format;
    };
    const Case cases[] = {
        {"UTF-8, LF", "Haus\nAB\nGrüß\nEnde\n", TextFileEncoding::Utf8, TextFileFormat::Lines},
        {"UTF-8, CR LF", "Haus\r\nAB\r\nGrüß\r\nEnde\r\n", TextFileEncoding::Utf8, TextFileFormat::Lines},
        {"UTF-8 with byte order mark", "\xEF\xBB\xBFHaus\r\nAB\r\nGrüß\r\nEnde\r\n", TextFileEncoding::Utf8,
         TextFileFormat::Lines},
        {"Windows-1252, CR LF", "Haus\r\nAB\r\nGr\xFC\xDF\r\nEnde\r\n", TextFileEncoding::Windows1252,
         TextFileFormat::Lines},
        {"Windows-1252, LF, no line end at the end", "Haus\nAB\nGr\xFC\xDF\nEnde", TextFileEncoding::Windows1252,
         TextFileFormat::Lines},
        {"table", table + "1\t4\t7\tHaus\r\n2\t2\t3\tAB\r\n3\t6\t7\tGrüß\r\n4\t4\t7\tEnde\r\n", TextFileEncoding::Utf8,
         TextFileFormat::Table},
        {"table, figures not checked", "\xEF\xBB\xBF" + table + "1\t\t\tHaus\n2\t9\t9\tAB\n3\tx\ty\tGrüß\n4\t\t\tEnde",
         TextFileEncoding::Utf8, TextFileFormat::Table},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<TextFileContent> read = readTextFile(bytes(c.file), 4);
        ASSERT_TRUE(read.ok()) << read.message();
        EXPECT_EQ(read->encoding, c.encoding);
        EXPECT_EQ(read->format, c.format);
        EXPECT_TRUE(read->note.empty());

        TextSession s = makeSession();
        const Result<TextImport> imported = importTexts(s, bytes(c.file), OverlongMode::Sperren);
        ASSERT_TRUE(imported.ok()) << imported.message();
        EXPECT_EQ(imported->changed, std::vector<std::size_t>{2});
        EXPECT_TRUE(imported->refused.empty());
        EXPECT_EQ(entries(s), entries(reference));
        EXPECT_EQ(s.rows(), reference.rows());
        // The untouched text keeps its control byte.
        EXPECT_EQ(s.entry(1), kEntries[1]);
        EXPECT_EQ(marks(s), (std::vector<RowMark>{RowMark::None, RowMark::None, RowMark::Imported, RowMark::None}));
        EXPECT_EQ(imported->summary(), "1 Text übernommen, 0 abgelehnt.");
    }
}

TEST(TextImport, ReportsEveryTextThatDoesNotFitAndStoresTheOthers) {
    const std::string file = "Hausboot\nA€\nStraße\nZiel\n";
    struct Case {
        OverlongMode mode;
        std::vector<std::string> report;
    };
    const Case cases[] = {
        {OverlongMode::Sperren,
         {"Text Nr. 1: Der Text ist um 4 Zeichen zu lang: 8 Zeichen, Platz für höchstens 4 (Überlange Texte: "
          "sperren; mit „erlauben“ bis zu 7).",
          "Text Nr. 2: An Stelle 2: Das Zeichen „€“ kann nicht eingetragen werden: das Navi zeigt es als „á“."}},
        {OverlongMode::Erlauben,
         {"Text Nr. 1: Der Text ist um 1 Zeichen zu lang: 8 Zeichen, Platz für höchstens 7 (Überlange Texte: erlauben).",
          "Text Nr. 2: An Stelle 2: Das Zeichen „€“ kann nicht eingetragen werden: das Navi zeigt es als „á“."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        TextSession s = makeSession();
        const Result<TextImport> imported = importTexts(s, bytes(file), c.mode);
        ASSERT_TRUE(imported.ok()) << imported.message();
        std::vector<std::string> report;
        for (const RefusedText& r : imported->refused) report.push_back(r.line());
        EXPECT_EQ(report, c.report);
        EXPECT_EQ(imported->changed, std::vector<std::size_t>{3});
        EXPECT_EQ(imported->summary(), "1 Text übernommen, 2 abgelehnt.");
        EXPECT_EQ(s.entry(0), kEntries[0]);
        EXPECT_EQ(s.entry(1), kEntries[1]);
        EXPECT_EQ(s.row(3), "Ziel");
        EXPECT_EQ(marks(s),
                  (std::vector<RowMark>{RowMark::Refused, RowMark::Refused, RowMark::None, RowMark::Imported}));

        // Fixing a refused text by hand turns its mark into a change.
        ASSERT_TRUE(s.storeTyped(0, U"Hof", c.mode).ok());
        EXPECT_EQ(s.mark(0), RowMark::Imported);
        EXPECT_EQ(s.storedCount(), 2u);
    }

    // Both reasons at once.
    TextSession s = makeSession();
    const Result<TextImport> both = importTexts(s, bytes("Haus€boot\nAB\nStraße\nEnde\n"), OverlongMode::Sperren);
    ASSERT_TRUE(both.ok()) << both.message();
    ASSERT_EQ(both->refused.size(), 1u);
    EXPECT_NE(both->refused[0].reason.find("An Stelle 5: Das Zeichen „€“"), std::string::npos);
    EXPECT_NE(both->refused[0].reason.find("um 5 Zeichen zu lang"), std::string::npos);
}

TEST(TextImport, RefusedFilesChangeNothing) {
    const std::string header = "Nr.\tZeichen ohne Überlänge\tZeichen mit Überlänge\tText\n";
    struct Case {
        const char* name;
        std::string file;
        const char* message;
    };
    const Case cases[] = {
        {"empty", "", "Die Textdatei ist leer."},
        {"only a byte order mark", "\xEF\xBB\xBF", "Die Textdatei ist leer."},
        {"over 1 MiB", std::string(kMaxTextFileSize + 1, 'a'), msg::kTextFileTooLarge},
        {"NUL byte in a line", std::string("Haus\nA\0B\nX\nY\n", 13), "Zeile 2 enthält ein Nullbyte"},
        {"binary", "\x89PNG\r\n\x1A\n", "Die Datei ist keine Textdatei: Zeile 2 enthält das Steuerzeichen 0x1A."},
        {"lone CR", "Haus\rAB\rStraße\rEnde\r", "Zeile 1 enthält ein einzelnes CR"},
        {"one line less", "Haus\nAB\nEnde\n", "Die Textdatei hat 3 Zeilen, die geladene Datei hat 4 Texte"},
        {"one line more", "Haus\nAB\nStraße\nEnde\n\n", "Die Textdatei hat 5 Zeilen, die geladene Datei hat 4 Texte"},
        {"byte order mark over Windows-1252", "\xEF\xBB\xBFHaus\nAB\nStra\xDF" "e\nEnde\n",
         "Kennung für UTF-8 (BOM), Zeile 3 ist aber kein gültiges UTF-8"},
        {"table, a row short", header + "1\t4\t7\tHaus\n2\t2\t3\tAB\n3\t6\t7\tStraße\n",
         "Die Tabelle hat 3 Textzeilen, die geladene Datei hat 4 Texte"},
        {"table, wrong header", "Nr.\tText\n1\tHaus\n2\tAB\n3\tStraße\n4\tEnde\n", "nicht die Kopfzeile"},
        {"table, rows out of order", header + "1\t4\t7\tHaus\n3\t6\t7\tStraße\n2\t2\t3\tAB\n4\t4\t7\tEnde\n",
         "Zeile 3 der Tabelle: erwartet ist die Textnummer 2, dort steht „3“."},
        {"table, a column missing", header + "1\t4\t7\tHaus\n2\t2\tAB\n3\t6\t7\tStraße\n4\t4\t7\tEnde\n",
         "Zeile 3 der Tabelle hat keine vier Spalten"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextSession s = makeSession();
        ASSERT_TRUE(importTexts(s, bytes("Haus\nA€\nStraße\nZiel\n"), OverlongMode::Sperren).ok());
        const std::vector<Bytes> before = entries(s);
        const std::vector<std::string> rows = s.rows();
        const std::vector<RowMark> marksBefore = marks(s);
        const Result<TextImport> imported = importTexts(s, bytes(c.file), OverlongMode::Sperren);
        EXPECT_FALSE(imported.ok());
        EXPECT_NE(imported.message().find(c.message), std::string::npos) << imported.message();
        EXPECT_EQ(entries(s), before);
        EXPECT_EQ(s.rows(), rows);
        EXPECT_EQ(marks(s), marksBefore);
    }
}

TEST(TextImport, InvalidUtf8IsReadAsWindows1252WithANote) {
    // "Grü" in UTF-8, then a Windows-1252 "ß": not UTF-8 throughout.
    const Bytes file = bytes("Haus\nAB\nGr\xC3\xBC\xDF\nEnde\n");
    const Result<TextFileContent> read = readTextFile(file, 4);
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(read->encoding, TextFileEncoding::Windows1252);
    EXPECT_EQ(read->lines[2], U"GrÃ¼ß");
    EXPECT_NE(read->note.find("kein gültiges UTF-8 (Zeile 3)"), std::string::npos) << read->note;

    TextSession s = makeSession();
    const Result<TextImport> imported = importTexts(s, file, OverlongMode::Sperren);
    ASSERT_TRUE(imported.ok()) << imported.message();
    EXPECT_EQ(imported->note, read->note);
    EXPECT_EQ(s.row(2), "Gr\xC3\xBC\xDF");
    // Plain Windows-1252 needs no note.
    const Result<TextFileContent> plain = readTextFile(bytes("Haus\nAB\nGr\xFC\xDF\nEnde\n"), 4);
    ASSERT_TRUE(plain.ok()) << plain.message();
    EXPECT_TRUE(plain->note.empty());
}
