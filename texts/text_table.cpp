#include "text_table.hpp"

#include "charset.hpp"
#include "messages.hpp"
#include "flash/firmware_versions.hpp"
#include "flash/messages.hpp"

#include <algorithm>

namespace zarvelo {

namespace {

bool isEndMarker(const Bytes& entry) {
    return entry.size() == kTextEndMarker.size() && std::equal(entry.begin(), entry.end(), kTextEndMarker.begin());
}

// Splits the table into entries (every 0x00 and 0xFF after a terminator belongs to the same
// entry; the entry that begins with the end marker ends the table). A refusal says why the
// table cannot be edited.
Status splitTable(ByteView flash, std::size_t offset, std::vector<Bytes>& entries) {
    entries.clear();
    ByteReader reader(flash);
    if (!reader.seek(offset)) return Status::failure(msg::kTableEndMissing);
    std::optional<std::uint8_t> ahead = reader.u8();
    auto tooLong = [&] { return Status::failure(msg::tableEntryTooLong(entries.size() + 1, kMaxTextEntryLength)); };
    while (true) {
        if (!ahead) return Status::failure(msg::kTableEndMissing);
        if (entries.size() == kMaxTextEntries) return Status::failure(msg::tooManyTableEntries(kMaxTextEntries));
        Bytes entry;
        do {
            if (entry.size() == kMaxTextEntryLength) return tooLong();
            entry.push_back(*ahead);
            ahead = reader.u8();
        } while (ahead && *ahead != 0x00 && !isEndMarker(entry));
        while (!isEndMarker(entry) && ahead && (*ahead == 0x00 || *ahead == 0xFF)) {
            if (entry.size() == kMaxTextEntryLength) return tooLong();
            entry.push_back(*ahead);
            ahead = reader.u8();
        }
        const bool end = isEndMarker(entry);
        entries.push_back(std::move(entry));
        if (end) break;
    }
    // The last two entries are the end marker and the non-text entry before it.
    if (entries.size() < 3) return Status::failure(msg::kTableWithoutTexts);
    return {};
}

std::string utf8(char32_t c) {
    std::string out;
    appendUtf8(out, c);
    return out;
}

// Reads again, as splitTable would, the stretch around an emptied entry: from the last entry
// before it that starts an entry of its own on every read, to the first entry after it at
// which the reading starts a new entry again. Before and after that stretch the bytes and
// the reading are as they were, so the whole table need not be read for every store.
Status readableAfterEmptying(const TextList& list, std::size_t position, const Bytes& emptied) {
    const std::vector<Bytes>& entries = list.entries();
    const auto entryAt = [&](std::size_t i) -> const Bytes& { return i == position ? emptied : entries[i]; };
    // A reading never starts an entry at a 0x00 except at the table start; and it starts one
    // at any entry that does not begin with 0x00 once a 0x00 has passed since its own start.
    std::size_t from = position;
    while (from > 0 && entryAt(from - 1)[0] == 0x00) --from;
    if (from > 0) --from;
    const Bytes& first = entryAt(0);
    if (from == 1 && std::find(first.begin() + 1, first.end(), std::uint8_t{0x00}) == first.end()) from = 0;

    std::size_t index = from, offset = 0, aheadIndex = 0, aheadOffset = 0;
    int ahead = -1;  // the look-ahead byte; -1 past the last entry
    const auto read = [&] {
        aheadIndex = index;
        aheadOffset = offset;
        if (index >= entries.size()) {
            ahead = -1;
            return;
        }
        ahead = entryAt(index)[offset];
        if (++offset == entryAt(index).size()) ++index, offset = 0;
    };
    read();
    for (bool firstEntry = true;; firstEntry = false) {
        if (ahead < 0) return Status::failure(msg::kTableEndMissing);
        if (!firstEntry && aheadOffset == 0 && aheadIndex > position && ahead != 0x00)
            // In step again; the entry after the last text must still be an entry of its own.
            return aheadIndex > list.textCount() ? Status::failure(msg::kTableWithoutTexts) : Status();
        Bytes entry;
        do {
            entry.push_back(static_cast<std::uint8_t>(ahead));
            read();
        } while (ahead > 0x00 && !isEndMarker(entry) && entry.size() <= kMaxTextEntryLength);
        while (!isEndMarker(entry) && (ahead == 0x00 || ahead == 0xFF) && entry.size() <= kMaxTextEntryLength) {
            entry.push_back(static_cast<std::uint8_t>(ahead));
            read();
        }
        if (entry.size() > kMaxTextEntryLength)
            return Status::failure(msg::tableEntryWouldBeTooLong(entry.size(), kMaxTextEntryLength));
        if (isEndMarker(entry)) return {};
    }
}

}  // namespace

Result<TextList> readTextTable(ByteView flash, std::size_t tableOffset) {
    TextList list;
    const Status split = splitTable(flash, tableOffset, list.entries_);
    if (!split) return Status::failure(msg::kCannotEditTexts + split.message());
    list.textCount_ = static_cast<std::uint16_t>(list.entries_.size() - 2);
    list.tableOffset_ = tableOffset;
    for (std::size_t i = 0; i < list.textCount_; ++i) list.textBytes_ += list.entries_[i].size();
    return list;
}

Result<TextList> BIN_zu_TexteArray(ByteView flash, int versionIndex) {
    if (versionIndex < 1 || versionIndex > kVersionCount) return Status::failure(msg::kNoFileLoaded);
    return readTextTable(flash, static_cast<std::size_t>(firmwareVersion(versionIndex).textTableOffset));
}

Status Edit_zu_TexteArray(TextList& list, std::size_t position, std::string_view ansiText, OverlongMode mode) {
    if (position >= list.textCount_) return Status::failure(msg::noSuchText(position + 1, list.textCount_));
    for (const char c : ansiText) {
        const auto a = static_cast<std::uint8_t>(c);
        // Every ANSI byte has a character that comes back to it, so this check refuses.
        if (!isTypeableAnsi(a)) return checkTypedCharacter(ansiToUnicode(a));
    }
    const Bytes& old = list.entries_[position];
    const std::size_t limit = static_cast<std::size_t>(storeLimit(old, mode));
    const Status tooLong =
        Status::failure(msg::textTooLong(position + 1, limit, overlongModeName(mode), ansiText.size()));
    if (ansiText.size() > limit) return tooLong;

    // Control bytes keep their position while characters remain to be placed around them;
    // with overlong texts allowed they are dropped.
    Bytes result;
    result.reserve(old.size());
    std::size_t i = 0;
    for (std::size_t p = 0; p < ansiText.size(); ++i) {
        if (i >= old.size()) return tooLong;
        if (mode == OverlongMode::Sperren && isControlByte(old[i]))
            result.push_back(old[i]);
        else
            result.push_back(A2F(static_cast<std::uint8_t>(ansiText[p++])));
    }
    result.push_back(0x00);
    if (result.size() > old.size()) return tooLong;
    result.resize(old.size(), 0xFF);

    // A text that is not empty keeps the entries as the next read finds them. An emptied one
    // joins a neighbour then; refuse the store if the table could no longer be read at all.
    if (result[0] == 0x00) {
        const Status readable = readableAfterEmptying(list, position, result);
        if (!readable) return Status::failure(msg::tableUnreadableAfterStore(position + 1, readable.message()));
    }

    list.entries_[position] = std::move(result);
    return {};
}

Status TexteArray_zu_BIN(Bytes& flash, const TextList& list) {
    const std::size_t offset = list.tableOffset();
    if (offset > flash.size() || list.textBytes() > flash.size() - offset)
        return Status::failure(msg::kTextsDoNotFitImage);
    std::size_t pos = offset, total = 0;
    for (std::size_t k = 0; k < list.textCount(); ++k) total += list.entry(k).size();
    // A length changed: later texts would move.
    if (total != list.textBytes()) return Status::failure(msg::kTextsDoNotFitImage);
    for (std::size_t k = 0; k < list.textCount(); ++k) {
        const Bytes& e = list.entry(k);
        std::copy(e.begin(), e.end(), flash.begin() + static_cast<std::ptrdiff_t>(pos));
        pos += e.size();
    }
    return {};
}

int grossLength(ByteView entry) { return static_cast<int>(entry.size()) - 1; }

int netLength(ByteView entry) {
    return static_cast<int>(std::count_if(entry.begin(), entry.end(), isVisibleByte));
}

int storeLimit(ByteView entry, OverlongMode mode) {
    return mode == OverlongMode::Erlauben ? std::max(0, grossLength(entry)) : netLength(entry);
}

const char* overlongModeName(OverlongMode mode) {
    return mode == OverlongMode::Erlauben ? msg::kOverlongAllowed : msg::kOverlongLocked;
}

Status checkTypedCharacter(char32_t c) {
    const std::optional<std::uint8_t> ansi = unicodeToAnsi(c);
    if (ansi && isTypeableAnsi(*ansi)) return {};
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return Status::failure(msg::typedControlCharacter(c));
    if (!ansi) return Status::failure(msg::characterNotInWindows1252(utf8(c)));
    const std::uint8_t device = A2F(*ansi);
    if (!isVisibleByte(device)) return Status::failure(msg::characterReadAsControl(utf8(c)));
    return Status::failure(msg::characterShownAs(utf8(c), utf8(ansiToUnicode(F2A(device)))));
}

Result<std::string> typedText(std::u32string_view text) {
    std::string ansi;
    ansi.reserve(text.size());
    for (const char32_t c : text) {
        Status typeable = checkTypedCharacter(c);
        if (!typeable) return typeable;
        ansi.push_back(static_cast<char>(*unicodeToAnsi(c)));
    }
    return ansi;
}

std::string rowText(ByteView entry) {
    std::string row;
    for (const std::uint8_t b : entry)
        if (isVisibleByte(b)) row.push_back(static_cast<char>(F2A(b)));
    return row;
}

std::vector<std::string> listRows(const TextList& list) {
    std::vector<std::string> rows;
    rows.reserve(list.textCount());
    for (std::size_t k = 0; k < list.textCount(); ++k) rows.push_back(rowText(list.entry(k)));
    return rows;
}

TextWarning classifyText(ByteView entry) {
    const auto firstZero = std::find(entry.begin(), entry.end(), std::uint8_t{0x00});
    const bool control =
        std::any_of(entry.begin(), firstZero, isControlByte) ||
        (firstZero != entry.end() && std::any_of(firstZero + 1, entry.end(), [](std::uint8_t b) { return b != 0xFF; }));
    if (control) return TextWarning::ControlCharacters;
    const bool unknown = std::any_of(entry.begin(), entry.end(),
                                     [](std::uint8_t b) { return classifyByte(b) == ByteClass::UnknownSpecial; });
    return unknown ? TextWarning::UnknownSpecialCharacter : TextWarning::None;
}

const char* warningText(TextWarning warning) {
    switch (warning) {
    case TextWarning::ControlCharacters: return msg::kWarningControlCharacters;
    case TextWarning::UnknownSpecialCharacter: return msg::kWarningUnknownSpecial;
    case TextWarning::None: break;
    }
    return msg::kWarningNone;
}

Bytes textExport(const std::vector<std::string>& rows) {
    Bytes out;
    for (const auto& row : rows) {
        out.insert(out.end(), row.begin(), row.end());
        out.push_back('\r');
        out.push_back('\n');
    }
    return out;
}

std::string foldForSearch(std::string_view ansi) {
    std::string out(ansi);
    for (char& c : out) {
        const auto b = static_cast<std::uint8_t>(c);
        if ((b >= 'a' && b <= 'z') || b == 0xE4 || b == 0xF6 || b == 0xFC) c = static_cast<char>(b - 0x20);
    }
    return out;
}

std::optional<std::size_t> SucheText(const std::vector<std::string>& rows, std::string_view pattern,
                                     std::size_t from) {
    if (pattern.empty()) return std::nullopt;
    const std::string folded = foldForSearch(pattern);
    for (std::size_t i = from; i < rows.size(); ++i)
        if (foldForSearch(rows[i]).find(folded) != std::string::npos) return i;
    return std::nullopt;
}

}  // namespace zarvelo
