// Random bytes at the text table offset, then random texts stored in both modes.
//
// Input: [offset 0..3] [table length, 2 bytes LE] [table bytes] then store commands
// [position, 2 bytes LE] [bit 0: overlong allowed, bits 1..7: text length] [text bytes].
// The image ends with the table bytes, so a reader running past them leaves the buffer.

#include "texts/charset.hpp"
#include "texts/messages.hpp"
#include "texts/text_table.hpp"

#include <algorithm>
#include <cstdlib>
#include <string_view>

using namespace zarvelo;

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// What a successful read must look like: every byte of the table accounted for, in order.
void checkList(const TextList& list, ByteView flash) {
    const auto& entries = list.entries();
    check(entries.size() >= 3 && entries.size() <= kMaxTextEntries);
    check(list.textCount() == entries.size() - 2);
    check(entries.back() == Bytes(kTextEndMarker.begin(), kTextEndMarker.end()));
    std::size_t pos = list.tableOffset(), textBytes = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Bytes& e = entries[i];
        check(!e.empty() && e.size() <= kMaxTextEntryLength);
        check(pos + e.size() <= flash.size());
        check(std::equal(e.begin(), e.end(), flash.begin() + static_cast<std::ptrdiff_t>(pos)));
        pos += e.size();
        if (i < list.textCount()) textBytes += e.size();
    }
    check(textBytes == list.textBytes());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::size_t offset = data[0] & 3;
    const std::size_t length = std::min<std::size_t>(data[1] | data[2] << 8, size - 3);
    Bytes flash(offset, 0xA5);
    flash.insert(flash.end(), data + 3, data + 3 + length);
    std::size_t at = 3 + length;

    Result<TextList> read = readTextTable(flash, offset);
    if (!read) {
        check(read.message().rfind(msg::kCannotEditTexts, 0) == 0);
        return 0;
    }
    TextList& list = read.value();
    checkList(list, flash);

    // Writing back an unchanged list reproduces the bytes.
    Bytes written = flash;
    check(TexteArray_zu_BIN(written, list).ok());
    check(written == flash);

    std::vector<std::size_t> lengths;
    for (const auto& e : list.entries()) lengths.push_back(e.size());

    while (at + 3 <= size) {
        const std::size_t position = (data[at] | data[at + 1] << 8) % (list.textCount() + 1u);
        const auto mode = data[at + 2] & 1 ? OverlongMode::Erlauben : OverlongMode::Sperren;
        const std::size_t n = std::min<std::size_t>(data[at + 2] >> 1, size - at - 3);
        const std::string_view typed(reinterpret_cast<const char*>(data + at + 3), n);
        at += 3 + n;

        const Bytes before = position < list.entries().size() ? list.entry(position) : Bytes{};
        const Status out = Edit_zu_TexteArray(list, position, typed, mode);
        for (std::size_t i = 0; i < lengths.size(); ++i) check(list.entry(i).size() == lengths[i]);
        if (!out) {
            check(!out.message().empty());
            if (position < list.entries().size()) check(list.entry(position) == before);
            if (out.message().find("nicht mehr lesbar") != std::string::npos) {
                // Only an emptied text is refused so; the whole table read again must agree.
                check(typed.empty());
                Bytes emptied = flash;
                check(TexteArray_zu_BIN(emptied, list).ok());
                std::size_t at = offset;
                for (std::size_t i = 0; i < position; ++i) at += list.entry(i).size();
                emptied[at] = 0x00;
                std::fill_n(emptied.begin() + static_cast<std::ptrdiff_t>(at + 1), before.size() - 1, 0xFF);
                check(!readTextTable(emptied, offset).ok());
            }
            continue;
        }
        // Each accepted store leaves a table that the whole reading still takes.
        {
            Bytes now = flash;
            check(TexteArray_zu_BIN(now, list).ok());
            check(readTextTable(now, offset).ok());
        }
        check(position < list.textCount());
        check(typed.size() <= static_cast<std::size_t>(storeLimit(before, mode)));
        // The row shows exactly the typed characters, and after the terminator there is only filler.
        const Bytes& stored = list.entry(position);
        check(std::all_of(typed.begin(), typed.end(), [](char c) { return isTypeableAnsi(static_cast<std::uint8_t>(c)); }));
        check(rowText(stored) == typed);
        const auto zero = std::find(stored.begin(), stored.end(), std::uint8_t{0});
        check(zero != stored.end());
        check(std::all_of(zero + 1, stored.end(), [](std::uint8_t b) { return b == 0xFF; }));
    }

    // The stores land inside the table and leave it readable.
    written = flash;
    check(TexteArray_zu_BIN(written, list).ok());
    check(std::equal(flash.begin(), flash.begin() + static_cast<std::ptrdiff_t>(offset), written.begin()));
    const std::size_t end = offset + list.textBytes();
    check(std::equal(flash.begin() + static_cast<std::ptrdiff_t>(end), flash.end(),
                     written.begin() + static_cast<std::ptrdiff_t>(end)));
    const Result<TextList> again = readTextTable(written, offset);
    check(again.ok());
    check(again->textCount() <= list.textCount());
    checkList(again.value(), written);
    return 0;
}
