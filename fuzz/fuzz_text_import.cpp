// A translator's text file read into a text session.
//
// Input: [option: bit 0 overlong allowed, bits 1..2 which table] [the text file]. The tables
// hold texts with filler, control bytes, national and unknown characters, so both kept and
// stored lines meet every byte class.

#include "texts/charset.hpp"
#include "texts/text_import.hpp"
#include "texts/text_session.hpp"

#include <algorithm>
#include <cstdlib>

using namespace zarvelo;

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

const Bytes kTables[] = {
    {0x48, 0x61, 0x75, 0x73, 0x00, 0xFF, 0xFF, 0xFF},
    {0x41, 0x01, 0x42, 0x00, 0x53, 0x74, 0x72, 0x61, 0x8D, 0x65, 0x00, 0xFF, 0xF0, 0x9D, 0x00},
    {0x41, 0x00, 0x00, 0xFF, 0x42, 0x43, 0x00, 0x91, 0x97, 0x99, 0x00, 0xFF, 0x7F, 0x20, 0x00, 0xFF, 0x58, 0x00, 0xFF,
     0xFF, 0x0A, 0x0D, 0x41, 0x00},
    {0x5A, 0x00},
};

TextSession session(std::size_t table) {
    Bytes flash = kTables[table];
    flash.insert(flash.end(), {0x12, 0x34, 0x00});
    flash.insert(flash.end(), kTextEndMarker.begin(), kTextEndMarker.end());
    Result<TextList> read = readTextTable(flash, 0);
    check(read.ok());
    return TextSession(std::move(read).value());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const OverlongMode mode = data[0] & 1 ? OverlongMode::Erlauben : OverlongMode::Sperren;
    TextSession s = session((data[0] >> 1) & 3);
    const TextSession before = s;
    const ByteView file(data + 1, size - 1);

    const Result<TextFileContent> read = readTextFile(file, s.textCount());
    check(read.ok() == read.message().empty());
    if (read) check(read->lines.size() == s.textCount());

    const Result<TextImport> result = importTexts(s, file, mode);
    check(result.ok() == read.ok());
    if (!result) {
        check(result.message() == read.message());
        for (std::size_t k = 0; k < s.textCount(); ++k)
            check(s.entry(k) == before.entry(k) && s.row(k) == before.row(k) && s.mark(k) == before.mark(k));
        check(s.storedCount() == 0);
        return 0;
    }
    const TextImport& imported = result.value();
    check(imported.note == read->note);
    std::size_t changed = 0, refused = 0;
    for (std::size_t k = 0; k < s.textCount(); ++k) {
        const Bytes& e = s.entry(k);
        check(e.size() == before.entry(k).size());
        const bool isChanged = std::find(imported.changed.begin(), imported.changed.end(), k) != imported.changed.end();
        const auto r = std::find_if(imported.refused.begin(), imported.refused.end(),
                                    [k](const RefusedText& t) { return t.position == k; });
        const bool isRefused = r != imported.refused.end();
        check(!(isChanged && isRefused));
        if (isChanged) {
            ++changed;
            check(s.mark(k) == RowMark::Imported && s.stored(k));
            // Stored exactly as the line reads, within the room the mode allows.
            check(ansiToUnicode(s.row(k)) == read->lines[k]);
            check(rowText(e) == s.row(k));
            check(s.row(k).size() <= static_cast<std::size_t>(storeLimit(before.entry(k), mode)));
        } else {
            check(e == before.entry(k) && s.row(k) == before.row(k) && !s.stored(k));
            if (isRefused) {
                ++refused;
                check(s.mark(k) == RowMark::Refused && !r->reason.empty());
                check(r->line().rfind("Text Nr. " + std::to_string(k + 1) + ": ", 0) == 0);
            } else {
                check(s.mark(k) == RowMark::None);
                check(ansiToUnicode(s.row(k)) == read->lines[k]);
            }
        }
    }
    check(changed == imported.changed.size() && refused == imported.refused.size());

    // What an accept writes is a table that reads again.
    Bytes flash(s.list().textBytes(), 0x00);
    flash.insert(flash.end(), {0x12, 0x34, 0x00});
    flash.insert(flash.end(), kTextEndMarker.begin(), kTextEndMarker.end());
    check(TexteArray_zu_BIN(flash, s.list()).ok());
    check(readTextTable(flash, 0).ok());
    return 0;
}
