#include "workspace/workspace.hpp"
#include "flash/firmware_versions.hpp"
#include "synthetic_firmware.hpp"
#include "texts/charset.hpp"
#include "texts/text_table.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

using namespace zarvelo;

namespace {

const Bytes kNonText = {0x12, 0x34, 0x00};
const Bytes kMarker(kTextEndMarker.begin(), kTextEndMarker.end());

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Text entries followed by a non-text entry and the end marker.
Bytes table(const Bytes& texts) { return cat({texts, kNonText, kMarker, {0x55, 0x66}}); }

TextList readOk(ByteView flash, std::size_t offset = 0) {
    Result<TextList> r = readTextTable(flash, offset);
    EXPECT_TRUE(r.ok()) << r.message();
    return r ? std::move(r).value() : TextList{};
}

std::string hex(ByteView b) {
    std::string s;
    char buf[4];
    for (auto v : b) {
        std::snprintf(buf, sizeof buf, "%02X ", v);
        s += buf;
    }
    return s;
}

}  // namespace

// --- device character set ---

TEST(Charset, TablesHaveTheKnownShape) {
    const CharsetTables& t = charsetTables();
    int rows = 0, asciiRows = 0;
    std::set<int> ansiFromRows;
    for (int c = 0; c < 256; ++c) {
        const int d = t.deviceToAnsi[c], a = t.ansiToDevice[c];
        EXPECT_TRUE(c + d >= 0 && c + d <= 255) << c;
        EXPECT_TRUE(c + a >= 0 && c + a <= 255) << c;
        if (d == 0) continue;
        ++rows;
        EXPECT_GE(c, 0x80);
        if (c + d < 0x80) ++asciiRows;
        else ansiFromRows.insert(c + d);
    }
    EXPECT_EQ(rows, 65);
    EXPECT_EQ(asciiRows, 11);
    EXPECT_EQ(ansiFromRows.size(), 50u);
    for (int a : ansiFromRows) EXPECT_EQ(F2A(A2F(static_cast<std::uint8_t>(a))), a) << a;

    // Exactly these device codes above 0x7F have no row.
    std::set<int> noRow = {0x89, 0x8C, 0x98, 0xBA, 0xCE, 0xE4, 0xE8, 0xE9};
    for (auto [lo, hi] : {std::pair{0x9C, 0xAF}, {0xB1, 0xB4}, {0xB6, 0xB8}, {0xBC, 0xBF}, {0xDA, 0xDF}, {0xEE, 0xFE}})
        for (int c = lo; c <= hi; ++c) noRow.insert(c);
    for (int c = 0x80; c <= 0xFE; ++c)
        EXPECT_EQ(classifyByte(static_cast<std::uint8_t>(c)) == ByteClass::UnknownSpecial, noRow.count(c) == 1) << c;

    CharsetTables fresh;
    fresh.ansiToDevice.fill(99);
    fresh.Setzte_Font();
    EXPECT_EQ(fresh.deviceToAnsi, t.deviceToAnsi);
    EXPECT_EQ(fresh.ansiToDevice, t.ansiToDevice);
}

TEST(Charset, Conversions) {
    struct Case {
        std::uint8_t device, shownAs;
    };
    // F2A examples, including the four characters with two device codes and ASCII look-alikes.
    for (const Case c : {Case{0x91, 0xE4}, {0x8D, 0xDF}, {0x84, 0xED}, {0x85, 0xED}, {0x86, 0xF3}, {0x87, 0xF3},
                         {0x8E, 0xA1}, {0xB5, 0xA1}, {0xB0, 0xBA}, {0xBB, 0xBA}, {0xEB, 0x43}, {0x95, 0x6A},
                         {0xE3, 0x4F}, {0x80, 0xE1}, {0xF0, 0xF0}, {0xE4, 0xE4}, {0xD9, 0xDC}, {0xC1, 0xC0}})
        EXPECT_EQ(F2A(c.device), c.shownAs) << int(c.device);

    struct Back {
        std::uint8_t ansi, stored;
    };
    // A2F: the higher device code wins; characters the tables do not produce keep their code.
    for (const Back b : {Back{0xE4, 0x91}, {0xDF, 0x8D}, {0xED, 0x85}, {0xF3, 0x87}, {0xA1, 0xB5}, {0xBA, 0xBB},
                         {0xE3, 0xE3}, {0x80, 0x80}, {0xF0, 0xF0}, {0xDC, 0xD9}, {0xC0, 0xC1}, {0xFF, 0xFF}})
        EXPECT_EQ(A2F(b.ansi), b.stored) << int(b.ansi);

    for (int c = 0; c < 0x80; ++c) {
        EXPECT_EQ(F2A(static_cast<std::uint8_t>(c)), c);
        EXPECT_EQ(A2F(static_cast<std::uint8_t>(c)), c);
    }
}

TEST(Charset, ByteClasses) {
    const std::pair<std::uint8_t, ByteClass> cases[] = {
        {0x00, ByteClass::Terminator}, {0x01, ByteClass::Control},  {0x1F, ByteClass::Control},
        {0x20, ByteClass::Ascii},      {0x7F, ByteClass::Ascii},    {0x80, ByteClass::Special},
        {0xED, ByteClass::Special},    {0x89, ByteClass::UnknownSpecial}, {0xFE, ByteClass::UnknownSpecial},
        {0xFF, ByteClass::Filler}};
    for (auto [b, cls] : cases) EXPECT_EQ(classifyByte(b), cls) << int(b);
    EXPECT_TRUE(isControlByte(0xFF));
    EXPECT_FALSE(isControlByte(0x00));
    EXPECT_FALSE(isVisibleByte(0xFF));
    EXPECT_TRUE(isVisibleByte(0x20));
}

TEST(Charset, TypedCharactersMustComeBackAsTyped) {
    struct Case {
        char32_t c;
        const char* refusal;  // part of the message; nullptr: accepted
    };
    const Case cases[] = {
        {U'a', nullptr},
        {U'\u00E4', nullptr},  // ä, device 0x91
        {U'\u00F0', nullptr},  // ð, a device byte without a row, shown unchanged
        {U'\u00ED', nullptr},  // í, reached from two device codes
        {U'\u0152', nullptr},  // Œ (0x8C), a device byte without a row
        {U'\u0160', "„Š“ kann nicht eingetragen werden: das Navi zeigt es als „Ñ“."},
        {U'\u20AC', "„€“ kann nicht eingetragen werden: das Navi zeigt es als „á“."},
        {U'\u00E3', "„ã“ kann nicht eingetragen werden: das Navi zeigt es als „O“."},
        {U'\u00FF', "„ÿ“ kann nicht eingetragen werden: das Navi liest es als Steuerzeichen."},
        {U'\t', "Steuerzeichen (U+0009)"},
        {U'\u0081', "Steuerzeichen (U+0081)"},  // would come back as à
        {U'\u0080', "Steuerzeichen (U+0080)"},  // not in Windows-1252
        {U'\u009D', nullptr},                   // device 0x9D has no row: rows may show it
        {U'\u007F', nullptr},
        {U'\u2192', "„→“ gibt es im Windows-Zeichensatz (Windows-1252) nicht"},
        {U'\U0001F600', "gibt es im Windows-Zeichensatz (Windows-1252) nicht"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<unsigned>(c.c));
        const Status typeable = checkTypedCharacter(c.c);
        if (!c.refusal) {
            EXPECT_TRUE(typeable.ok()) << typeable.message();
        } else {
            ASSERT_FALSE(typeable.ok());
            EXPECT_NE(typeable.message().find(c.refusal), std::string::npos) << typeable.message();
        }
    }

    // Every ANSI byte either comes back from the unit unchanged or is refused, and every
    // character a list row can show can be typed again.
    for (int a = 0; a < 256; ++a) {
        const auto ansi = static_cast<std::uint8_t>(a);
        EXPECT_EQ(isTypeableAnsi(ansi), isVisibleByte(A2F(ansi)) && F2A(A2F(ansi)) == ansi) << a;
        EXPECT_EQ(unicodeToAnsi(ansiToUnicode(ansi)), ansi) << a;
    }
    for (int d = 0x20; d <= 0xFE; ++d) EXPECT_TRUE(isTypeableAnsi(F2A(static_cast<std::uint8_t>(d)))) << d;

    const Result<std::string> ok = typedText(U"Gr\u00FC\u00DF \u00F0");
    ASSERT_TRUE(ok.ok());
    EXPECT_EQ(ok.value(), "Gr\xFC\xDF \xF0");
    const Result<std::string> refused = typedText(U"ab\u20ACc\u00E3");
    EXPECT_FALSE(refused.ok());
    EXPECT_NE(refused.message().find("„€“"), std::string::npos) << refused.message();
}

// --- reading the table ---

TEST(TextTable, SplitsEntriesByTerminatorAndTrailingBytes) {
    struct Case {
        const char* name;
        Bytes flash;
        std::vector<Bytes> listed;
    };
    const Case cases[] = {
        {"plain", table({0x41, 0x42, 0x43, 0x00, 0x44, 0x00}), {{0x41, 0x42, 0x43, 0x00}, {0x44, 0x00}}},
        {"filler", table({0x41, 0x42, 0x00, 0xFF, 0x44, 0x00}), {{0x41, 0x42, 0x00, 0xFF}, {0x44, 0x00}}},
        {"extra zeros and fillers join the entry",
         table({0x41, 0x00, 0x00, 0xFF, 0xFF, 0x42, 0x00}),
         {{0x41, 0x00, 0x00, 0xFF, 0xFF}, {0x42, 0x00}}},
        {"an empty first text starts the next entry",
         table({0x00, 0xFF, 0xFF, 0xFF, 0x44, 0x45, 0x00, 0x46, 0x00}),
         {{0x00, 0xFF, 0xFF, 0xFF, 0x44, 0x45, 0x00}, {0x46, 0x00}}},
        {"control bytes and 0xFF inside a text", table({0x41, 0x01, 0xFF, 0x42, 0x00, 0x43, 0x00}),
         {{0x41, 0x01, 0xFF, 0x42, 0x00}, {0x43, 0x00}}},
        {"marker bytes that do not start an entry",
         table({0x41, 0x01, 0x01, 0x06, 0x01, 0x01, 0x06, 0x06, 0x06, 0x00, 0x42, 0x00}),
         {{0x41, 0x01, 0x01, 0x06, 0x01, 0x01, 0x06, 0x06, 0x06, 0x00}, {0x42, 0x00}}},
        {"almost the marker", table({0x01, 0x01, 0x06, 0x01, 0x01, 0x06, 0x06, 0x07, 0x00, 0x42, 0x00}),
         {{0x01, 0x01, 0x06, 0x01, 0x01, 0x06, 0x06, 0x07, 0x00}, {0x42, 0x00}}},
        {"marker followed by more non-zero bytes",
         cat({{0x41, 0x00, 0x42, 0x00}, kNonText, kMarker, {0x07, 0x08, 0x09, 0x00}}),
         {{0x41, 0x00}, {0x42, 0x00}}},
        {"marker at the very end of the image", cat({{0x41, 0x00}, kNonText, kMarker}), {{0x41, 0x00}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TextList list = readOk(c.flash);
        ASSERT_EQ(list.textCount(), c.listed.size());
        for (std::size_t i = 0; i < c.listed.size(); ++i) EXPECT_EQ(hex(list.entry(i)), hex(c.listed[i])) << i;
        // The last two entries read are the non-text entry and the marker.
        ASSERT_EQ(list.entries().size(), c.listed.size() + 2);
        EXPECT_EQ(list.entries().back(), kMarker);
    }

    // The first entry's lengths.
    const TextList list = readOk(table({0x41, 0x42, 0x00, 0xFF, 0x44, 0x00}));
    EXPECT_EQ(grossLength(list.entry(0)), 3);
    EXPECT_EQ(netLength(list.entry(0)), 2);
}

TEST(TextTable, CountsTextsAtAnOffset) {
    Bytes texts;
    for (int i = 0; i < 100; ++i) texts.insert(texts.end(), {0x41, static_cast<std::uint8_t>(0x30 + i % 10), 0x00, 0xFF});
    const Bytes flash = cat({Bytes(8, 0x77), table(texts)});
    const TextList list = readOk(flash, 8);
    EXPECT_EQ(list.textCount(), 100);
    EXPECT_EQ(list.tableOffset(), 8u);
    EXPECT_EQ(list.textBytes(), 400u);
}

TEST(TextTable, RefusesTablesItCannotEdit) {
    Bytes longest(255, 0x41);
    longest.back() = 0x00;
    Bytes tooLong(256, 0x41);
    tooLong.back() = 0x00;
    Bytes longTrail = {0x41, 0x00};
    longTrail.resize(256, 0xFF);
    Bytes entries9001, entries9002;
    for (int i = 0; i < 8999; ++i) entries9001.insert(entries9001.end(), {0x41, 0x00});
    entries9002 = cat({entries9001, {0x42, 0x00}});

    struct Case {
        const char* name;
        Bytes flash;
        std::size_t offset;
        const char* reason;  // empty: readable
    };
    const Case cases[] = {
        {"no end marker", {0x41, 0x00, 0x42, 0x00, 0x43}, 0, "das Ende der Texttabelle fehlt"},
        {"image ends in the trailing bytes", {0x41, 0x00, 0xFF, 0xFF}, 0, "das Ende der Texttabelle fehlt"},
        {"image ends inside the marker", cat({{0x41, 0x00}, kNonText, {0x01, 0x01, 0x06}}), 0, "das Ende der Texttabelle fehlt"},
        {"offset past the image", table({0x41, 0x00}), 500, "das Ende der Texttabelle fehlt"},
        {"offset at the image end", {0x41}, 1, "das Ende der Texttabelle fehlt"},
        {"empty image", {}, 0, "das Ende der Texttabelle fehlt"},
        {"255-byte entry", table(longest), 0, ""},
        {"256-byte text", table(tooLong), 0, "Eintrag Nr. 1 der Texttabelle ist länger als 255 Bytes"},
        {"256-byte entry by trailing bytes", table(cat({{0x42, 0x00}, longTrail})), 0,
         "Eintrag Nr. 2 der Texttabelle ist länger als 255 Bytes"},
        {"9001 entries", table(entries9001), 0, ""},
        {"9002 entries", table(entries9002), 0, "mehr als 9001 Einträge"},
        {"marker only", kMarker, 0, "keine Texte"},
        {"one entry and the marker", cat({kNonText, kMarker}), 0, "keine Texte"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<TextList> r = readTextTable(c.flash, c.offset);
        if (*c.reason == 0) {
            EXPECT_TRUE(r.ok()) << r.message();
            continue;
        }
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.message().rfind("Die Texte dieser Datei können nicht bearbeitet werden: ", 0), 0u) << r.message();
        EXPECT_NE(r.message().find(c.reason), std::string::npos) << r.message();
    }
    EXPECT_EQ(readTextTable(table(entries9001), 0)->textCount(), 8999);
}

// --- storing ---

TEST(TextTable, StoresWithinTheEntry) {
    using M = OverlongMode;
    struct Case {
        const char* name;
        Bytes entry;
        M mode;
        std::string typed;  // ANSI
        Bytes stored;       // empty: refused
    };
    const Case cases[] = {
        {"overlong allowed uses the filler", {0x41, 0x42, 0x00, 0xFF}, M::Erlauben, "XYZ", {0x58, 0x59, 0x5A, 0x00}},
        {"locked: net length only", {0x41, 0x42, 0x00, 0xFF}, M::Sperren, "XYZ", {}},
        {"locked: two characters", {0x41, 0x42, 0x00, 0xFF}, M::Sperren, "XY", {0x58, 0x59, 0x00, 0xFF}},
        {"shorter text gets 0xFF filler", {0x41, 0x42, 0x43, 0x44, 0x45, 0x00, 0xFF, 0xFF}, M::Sperren, "A",
         {0x41, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"shorter text, overlong allowed", {0x41, 0x42, 0x43, 0x44, 0x45, 0x00, 0xFF, 0xFF}, M::Erlauben, "A",
         {0x41, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"locked: control byte keeps its position", {0x41, 0x42, 0x01, 0x43, 0x44, 0x00, 0xFF, 0xFF}, M::Sperren, "WXYZ",
         {0x57, 0x58, 0x01, 0x59, 0x5A, 0x00, 0xFF, 0xFF}},
        {"allowed: control bytes are dropped", {0x41, 0x42, 0x01, 0x43, 0x44, 0x00, 0xFF, 0xFF}, M::Erlauben, "WXYZ",
         {0x57, 0x58, 0x59, 0x5A, 0x00, 0xFF, 0xFF, 0xFF}},
        {"locked: control byte after the last character is dropped", {0x41, 0x42, 0x01, 0x43, 0x00, 0xFF, 0xFF, 0xFF},
         M::Sperren, "WX", {0x57, 0x58, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"locked: 0xFF inside a text is kept", {0x41, 0xFF, 0x42, 0x00}, M::Sperren, "XY", {0x58, 0xFF, 0x59, 0x00}},
        {"allowed: the whole gross length", {0x41, 0x42, 0x43, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}, M::Erlauben, "ABCDEFG",
         {0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x00}},
        {"allowed: one more than the gross length", {0x41, 0x42, 0x43, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}, M::Erlauben,
         "ABCDEFGH", {}},
        {"locked: net length after an earlier shorter store", {0x41, 0x00, 0xFF, 0xFF}, M::Sperren, "AB", {}},
        {"national characters through A2F", {0x41, 0x42, 0x43, 0x44, 0x00}, M::Sperren, "\xE4\xDF\xF0\xC4",
         {0x91, 0x8D, 0xF0, 0xD1, 0x00}},
        {"a character the unit would show as another one", {0x41, 0x42, 0x43, 0x44, 0x00}, M::Sperren, "\xE4\xDF\xE3\x80",
         {}},
        {"empty text", {0x41, 0x42, 0x43, 0x00}, M::Sperren, "", {0x00, 0xFF, 0xFF, 0xFF}},
        {"control character typed", {0x41, 0x42, 0x43, 0x00}, M::Erlauben, "A\tB", {}},
        {"NUL typed", {0x41, 0x42, 0x43, 0x00}, M::Erlauben, std::string("A\0B", 3), {}},
        {"y with diaeresis would become the filler byte", {0x41, 0x42, 0x43, 0x00}, M::Erlauben, "\xFF", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The entry stands second, after a long text, so an emptied entry can join it.
        const Bytes flash = table(cat({{0x50, 0x51, 0x52, 0x53, 0x00, 0xFF, 0xFF, 0xFF}, c.entry, {0x5A, 0x00}}));
        TextList list = readOk(flash);
        ASSERT_EQ(list.entry(1), c.entry);
        const Status out = Edit_zu_TexteArray(list, 1, c.typed, c.mode);
        EXPECT_EQ(out.ok(), !c.stored.empty()) << out.message();
        EXPECT_EQ(hex(list.entry(1)), hex(c.stored.empty() ? c.entry : c.stored));
        EXPECT_EQ(list.entry(1).size(), c.entry.size());
        if (!out.ok()) {
            EXPECT_FALSE(out.message().empty());
        }
        // Writing back changes only this entry's bytes.
        Bytes written = flash;
        ASSERT_TRUE(TexteArray_zu_BIN(written, list).ok());
        Bytes expected = flash;
        std::copy(list.entry(1).begin(), list.entry(1).end(), expected.begin() + 8);
        EXPECT_EQ(hex(written), hex(expected));
    }
}

TEST(TextTable, RefusalMessages) {
    TextList list = readOk(table({0x41, 0x42, 0x00, 0xFF}));
    EXPECT_EQ(Edit_zu_TexteArray(list, 0, "XYZ", OverlongMode::Sperren).message(),
              "Der Text ist zu lang: Text Nr. 1 fasst höchstens 2 Zeichen (Überlange Texte: sperren), der neue Text hat 3.");
    EXPECT_EQ(Edit_zu_TexteArray(list, 1, "X", OverlongMode::Sperren).message(),
              "Text Nr. 2 gibt es nicht: geladen sind 1 Texte.");
    EXPECT_NE(Edit_zu_TexteArray(list, 0, "\xFF", OverlongMode::Erlauben).message().find("„ÿ“"), std::string::npos);
    EXPECT_EQ(storeLimit(list.entry(0), OverlongMode::Sperren), 2);
    EXPECT_EQ(storeLimit(list.entry(0), OverlongMode::Erlauben), 3);
}

TEST(TextTable, EmptiedTextJoinsItsNeighbourOnTheNextRead) {
    const Bytes flash = table({0x41, 0x00, 0xFF, 0xFF, 0x41, 0x42, 0x43, 0x00, 0x44, 0x00});
    TextList list = readOk(flash);
    ASSERT_TRUE(Edit_zu_TexteArray(list, 1, "", OverlongMode::Sperren).ok());
    Bytes written = flash;
    ASSERT_TRUE(TexteArray_zu_BIN(written, list).ok());
    const TextList again = readOk(written);
    EXPECT_EQ(again.textCount(), 2);
    EXPECT_EQ(hex(again.entry(0)), hex(Bytes{0x41, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF}));
    Bytes rewritten = written;
    ASSERT_TRUE(TexteArray_zu_BIN(rewritten, again).ok());
    EXPECT_EQ(rewritten, written);
}

TEST(TextTable, RefusesAStoreAfterWhichTheTableCouldNotBeRead) {
    // Emptying the second text would join a 252-byte entry and an 8-byte entry.
    Bytes first(250, 0x41);
    first.insert(first.end(), {0x00, 0xFF});
    TextList list = readOk(table(cat({first, {0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x00, 0xFF}})));
    const Bytes before = list.entry(1);
    Status out = Edit_zu_TexteArray(list, 1, "", OverlongMode::Sperren);
    EXPECT_FALSE(out.ok());
    EXPECT_NE(out.message().find("länger als 255 Bytes"), std::string::npos) << out.message();
    EXPECT_EQ(list.entry(1), before);
    EXPECT_TRUE(Edit_zu_TexteArray(list, 1, "X", OverlongMode::Sperren).ok());

    // Emptying the only text would leave no text at all.
    TextList single = readOk(table({0x41, 0x42, 0x00, 0xFF}));
    out = Edit_zu_TexteArray(single, 0, "", OverlongMode::Erlauben);
    EXPECT_FALSE(out.ok());
    EXPECT_NE(out.message().find("keine Texte"), std::string::npos) << out.message();
}

TEST(TextTable, EmptyingAcceptsExactlyWhatTheWholeTableReadAgainTakes) {
    // Stores only read again the stretch around an emptied text; in every order of emptying
    // and refilling, they must accept exactly the stores after which the whole table reads.
    Bytes long1(120, 0x41), long2(130, 0x42);
    long1.insert(long1.end(), {0x00, 0xFF});
    long2.insert(long2.end(), {0x00, 0xFF, 0xFF});
    const Bytes tables[] = {
        table({0x41, 0x00, 0xFF, 0xFF, 0x42, 0x00, 0x43, 0x44, 0x00, 0xFF, 0x45, 0x00}),
        table(cat({long1, {0x43, 0x00}, long2, {0x44, 0x01, 0x00, 0xFF}})),
        table({0x41, 0x00, 0x42, 0x00}),
        table({0x41, 0x42, 0x00, 0xFF}),
        cat({{0x00, 0x41, 0x00, 0xFF}, table({0x42, 0x00, 0x43, 0x00})}),
    };
    for (std::size_t t = 0; t < std::size(tables); ++t) {
        const Bytes& flash = tables[t];
        const std::size_t count = readOk(flash).textCount();
        std::vector<std::size_t> order(count * 2);
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;  // i < count: empty text i; else "X" into i - count
        int sequences = 0;
        do {
            TextList list = readOk(flash);
            for (const std::size_t step : order) {
                const std::size_t k = step % count;
                const std::string text = step < count ? "" : "X";
                Bytes wouldBe = flash;
                ASSERT_TRUE(TexteArray_zu_BIN(wouldBe, list).ok());
                std::size_t at = 0;
                for (std::size_t i = 0; i < k; ++i) at += list.entry(i).size();
                const Bytes& old = list.entry(k);
                Bytes stored(old.size(), 0xFF);
                if (text.empty()) stored[0] = 0x00;
                else stored[0] = 'X', stored[1] = 0x00;
                std::copy(stored.begin(), stored.end(), wouldBe.begin() + static_cast<std::ptrdiff_t>(at));
                const bool readable = readTextTable(wouldBe, 0).ok();
                const Status out = Edit_zu_TexteArray(list, k, text, OverlongMode::Erlauben);
                ASSERT_EQ(out.ok(), readable) << "table " << t << ", text " << k << " '" << text << "': " << out.message();
            }
        } while (std::next_permutation(order.begin(), order.end()) && ++sequences < 5000);
    }
}

TEST(TextTable, WriteBackRefusesAnImageTooSmall) {
    const Bytes flash = cat({Bytes(16, 0x00), table({0x41, 0x42, 0x00, 0xFF})});
    const TextList list = readOk(flash, 16);
    Bytes small(18, 0x77);
    EXPECT_EQ(TexteArray_zu_BIN(small, list).message(), "Die Texte konnten nicht in das Flash-Abbild geschrieben werden.");
    EXPECT_EQ(small, Bytes(18, 0x77));
}

// --- rows, warnings, export ---

TEST(TextTable, RowsLengthsAndWarnings) {
    struct Case {
        Bytes entry;
        std::string row;
        int net, gross;
        TextWarning warning;
    };
    const Case cases[] = {
        {{0x41, 0x42, 0x01, 0x43, 0x00, 0xFF, 0xFF, 0xFF}, "ABC", 3, 7, TextWarning::ControlCharacters},
        {{0x41, 0x42, 0x00, 0x00, 0xFF}, "AB", 2, 4, TextWarning::ControlCharacters},
        {{0x41, 0xFF, 0x42, 0x00}, "AB", 2, 3, TextWarning::ControlCharacters},
        {{0x41, 0xF0, 0x00}, "A\xF0", 2, 2, TextWarning::UnknownSpecialCharacter},
        {{0x41, 0xF0, 0x01, 0x00}, "A\xF0", 2, 3, TextWarning::ControlCharacters},
        {{0x91, 0x8D, 0xEB, 0x20, 0x7F, 0x00, 0xFF}, "\xE4\xDF" "C \x7F", 5, 6, TextWarning::None},
        {{0x41, 0x00}, "A", 1, 1, TextWarning::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(hex(c.entry));
        EXPECT_EQ(rowText(c.entry), c.row);
        EXPECT_EQ(netLength(c.entry), c.net);
        EXPECT_EQ(grossLength(c.entry), c.gross);
        EXPECT_EQ(classifyText(c.entry), c.warning);
    }
    EXPECT_STREQ(warningText(TextWarning::ControlCharacters), "Steuerzeichen im Text");
    EXPECT_STREQ(warningText(TextWarning::UnknownSpecialCharacter), "nicht erkanntes Sonderzeichen im Text");
    EXPECT_STREQ(warningText(TextWarning::None), "OK");
}

TEST(TextTable, ExportHasOneLinePerText) {
    Bytes texts;
    for (int i = 0; i < 1200; ++i) texts.insert(texts.end(), {0x41, 0x01, 0x91, 0x00});
    const TextList list = readOk(table(texts));
    const auto rows = listRows(list);
    ASSERT_EQ(rows.size(), 1200u);
    const Bytes out = textExport(rows);
    EXPECT_EQ(out.size(), 1200u * 4);
    for (std::size_t i = 0; i < out.size(); i += 4) {
        ASSERT_EQ(hex(ByteView(out).subspan(i, 4)), hex(Bytes{0x41, 0xE4, '\r', '\n'})) << i;
    }
    EXPECT_TRUE(textExport({}).empty());
}

// --- every sample version ---

TEST(TextTable, SampleTablesReadAndWriteBackUnchanged) {
    for (int v = 1; v <= kVersionCount; ++v) {
        for (bool large : {false, true}) {
            SCOPED_TRACE("version " + std::to_string(v) + (large ? " large" : ""));
            const auto sample = synth::makeSample({.version = v, .largeImage = large});
            Workspace ws;
            ASSERT_TRUE(ws.loadBytes(sample.dnl, "x.DNL").ok());
            const Result<TextList> r = ws.BIN_zu_TexteArray();
            ASSERT_TRUE(r.ok()) << r.message();
            ASSERT_EQ(r->textCount(), sample.textEntries.size());
            for (std::size_t i = 0; i < sample.textEntries.size(); ++i)
                ASSERT_EQ(r->entry(i), sample.textEntries[i]) << i;
            ASSERT_TRUE(ws.TexteArray_zu_BIN(r.value()).ok());
            EXPECT_TRUE(ws.flash() == sample.flash);

            // A store changes that entry's bytes and nothing else.
            TextList list = r.value();
            const std::size_t k = 5;
            ASSERT_TRUE(Edit_zu_TexteArray(list, k, "\xC4", OverlongMode::Sperren).ok());
            ASSERT_TRUE(ws.TexteArray_zu_BIN(list).ok());
            std::size_t at = list.tableOffset();
            for (std::size_t i = 0; i < k; ++i) at += list.entry(i).size();
            for (std::size_t i = 0; i < ws.flash().size(); ++i) {
                if (i >= at && i < at + list.entry(k).size()) continue;
                ASSERT_EQ(ws.flash()[i], sample.flash[i]) << i;
            }
            EXPECT_EQ(ws.flash()[at], 0xD1);
            EXPECT_EQ(ws.flash()[at + 1], 0x00);
        }
    }
}

TEST(TextTable, SampleTextsUseTheCharset) {
    const auto sample = synth::makeSample({.version = 3});
    int special = 0, unknown = 0, control = 0;
    for (const auto& e : sample.textEntries) {
        for (auto b : e) special += classifyByte(b) == ByteClass::Special;
        unknown += classifyText(e) == TextWarning::UnknownSpecialCharacter;
        control += classifyText(e) == TextWarning::ControlCharacters;
    }
    EXPECT_GT(special, 20);
    EXPECT_GT(unknown, 0);
    EXPECT_GT(control, 0);
}

TEST(TextTable, WorkspaceEntryPoints) {
    Workspace empty;
    const Result<TextList> none = empty.BIN_zu_TexteArray();
    EXPECT_FALSE(none.ok());
    EXPECT_EQ(none.message(), "Es ist keine DNL-Datei geladen.");

    // A list read for one version is not written into another version's image.
    Workspace a, b;
    ASSERT_TRUE(a.loadBytes(synth::makeSample({.version = 1}).dnl, "a").ok());
    ASSERT_TRUE(b.loadBytes(synth::makeSample({.version = 9}).dnl, "b").ok());
    const Result<TextList> fromA = a.BIN_zu_TexteArray();
    ASSERT_TRUE(fromA.ok());
    const Bytes before = b.flash();
    EXPECT_EQ(b.TexteArray_zu_BIN(fromA.value()).message(),
              "Die Texte passen nicht mehr zur geladenen Datei und werden nicht übernommen.");
    EXPECT_EQ(b.flash(), before);
    EXPECT_FALSE(b.history().canUndo());
    EXPECT_EQ(empty.TexteArray_zu_BIN(fromA.value()).message(), "Es ist keine DNL-Datei geladen.");
    EXPECT_EQ(BIN_zu_TexteArray(a.flash(), 0).message(), "Es ist keine DNL-Datei geladen.");
}

TEST(TextTable, SearchFoldsLettersAndUmlautsOnly) {
    // ANSI rows: "FÜR", "für", "Écran", "écran", "Straße".
    const std::vector<std::string> rows = {"FOR", "Weg F\xDCR", "f\xFCr mich", "\xC9" "cran", "Stra\xDF" "e", "\xE9" "cran"};
    EXPECT_EQ(SucheText(rows, "f\xFCr", 0), 1u);
    EXPECT_EQ(SucheText(rows, "f\xFCr", 2), 2u);
    EXPECT_EQ(SucheText(rows, "f\xFCr", 3), std::nullopt);
    EXPECT_EQ(SucheText(rows, "\xE9", 0), 5u);  // é does not find É
    EXPECT_EQ(SucheText(rows, "STRA\xDF", 0), 4u);
    EXPECT_EQ(SucheText(rows, "", 0), std::nullopt);
    EXPECT_EQ(SucheText(rows, "for", 99), std::nullopt);
    EXPECT_EQ(foldForSearch("az\xE4\xF6\xFC\xE9\xDF"), "AZ\xC4\xD6\xDC\xE9\xDF");
}
