#pragma once
// The text editor's session: the texts as listed, what was stored since the table was read,
// and the rules for storing, searching and exporting. The window and the command line tool
// both work through it, so a text typed into the edit box, given to `set-text` or read from a
// translator's file is stored the same way. Only an accepted session reaches the flash image.

#include "text_table.hpp"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarvelo {

// What an import did to a row: changed it, refused the file's line for it, or neither.
enum class RowMark { None, Imported, Refused };

class TextSession {
public:
    explicit TextSession(TextList list);

    // The list to write into the flash image when the user accepts.
    const TextList& list() const { return list_; }
    std::size_t textCount() const { return list_.textCount(); }
    const Bytes& entry(std::size_t position) const { return list_.entry(position); }
    // The rows as listed, in ANSI bytes: stored texts as typed, the others as shown.
    const std::vector<std::string>& rows() const { return rows_; }
    const std::string& row(std::size_t position) const { return rows_.at(position); }
    // Texts stored in this session, by hand or by an import.
    bool stored(std::size_t position) const { return stored_.at(position); }
    std::size_t storedCount() const;
    RowMark mark(std::size_t position) const { return marks_.at(position); }

    // Stores a typed text (Unicode): only characters the unit shows as typed, at most as many
    // as the overlong mode allows, the same bytes whoever types it. A refused store changes
    // nothing. A row refused by an import and then stored by hand counts as imported.
    Status storeTyped(std::size_t position, std::u32string_view text, OverlongMode mode);

    // The next row from the search position on that contains `pattern` (search folding),
    // advancing the search position past it; none, leaving the position at the end, when no
    // further row matches or the pattern has a character no row can hold.
    std::optional<std::size_t> searchNext(std::u32string_view pattern);
    void restartSearch() { searchPosition_ = 0; }
    std::size_t searchPosition() const { return searchPosition_; }

    // "Texte speichern": the rows in Windows-1252, each followed by CR LF.
    Bytes exportText() const;
    // For translators: a header row, then number, characters allowed without and with
    // overlong texts, and the row; tab-separated UTF-8, CR LF.
    Bytes exportTable() const;

private:
    friend struct TextImporter;
    Status storeAnsi(std::size_t position, std::string_view ansi, OverlongMode mode);

    TextList list_;
    std::vector<std::string> rows_;
    std::vector<bool> stored_;
    std::vector<RowMark> marks_;
    std::size_t searchPosition_ = 0;
};

// The header row of the translators' table.
inline constexpr std::string_view kTextTableHeader = "Nr.\tZeichen ohne Überlänge\tZeichen mit Überlänge\tText";

}  // namespace zarvelo
