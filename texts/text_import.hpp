#pragma once
// Texts back from a translator: the file "Texte speichern" and `zarvelo-cli texts` write
// (one text per line), or the translators' table (`texts --table`), read into a text
// session. Unchanged lines keep their bytes; changed lines are stored as typed texts; every
// text that cannot be stored is reported with its number, the reason and the numbers behind it.

#include "text_session.hpp"
#include "flash/result.hpp"

#include <cstddef>
#include <string>
#include <vector>

namespace zarvelo {

// A larger file is refused unread (msg::kTextFileTooLarge).
inline constexpr std::size_t kMaxTextFileSize = std::size_t{1} << 20;

enum class TextFileFormat { Lines, Table };
enum class TextFileEncoding { Windows1252, Utf8 };

// The file split into one line of Unicode per text.
struct TextFileContent {
    TextFileFormat format = TextFileFormat::Lines;
    TextFileEncoding encoding = TextFileEncoding::Windows1252;
    std::vector<std::u32string> lines;
    // Set when bytes that look like UTF-8 were read as Windows-1252 because the file is not
    // UTF-8 throughout: worth a look before accepting.
    std::string note;
};
// Refused as a whole with a German message: empty, binary, too large, wrong line count, bad
// header or numbers, a UTF-8 byte order mark over bytes that are not UTF-8.
Result<TextFileContent> readTextFile(ByteView file, std::size_t textCount);

struct RefusedText {
    std::size_t position = 0;  // list position; shown as number position + 1
    std::string reason;        // German, with the numbers behind it
    std::string line() const;  // "Text Nr. N: reason"
};

// What an import of a file did.
struct TextImport {
    std::vector<std::size_t> changed;  // positions stored from the file, ascending
    std::vector<RefusedText> refused;  // ascending
    std::string note;
    // How many were stored and refused, as the last line of a report.
    std::string summary() const;
};

// Reads `file` for the session's texts and stores every changed line that fits under
// `mode`; refused lines leave their texts as they were and are marked, as are the changed
// ones. Marks of an earlier import are replaced; texts it stored stay stored. A file refused
// as a whole (see readTextFile) changes nothing.
Result<TextImport> importTexts(TextSession& session, ByteView file, OverlongMode mode);

}  // namespace zarvelo
