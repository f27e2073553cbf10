#include "text_import.hpp"

#include "charset.hpp"
#include "messages.hpp"

#include <algorithm>
#include <string_view>

namespace zarvelo {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kTablePrefix = "Nr.\t";

// A line without its line end (LF, or CR LF).
std::string_view lineAt(std::string_view body, std::size_t& from) {
    const std::size_t lf = body.find('\n', from);
    const std::size_t end = lf == std::string_view::npos ? body.size() : lf;
    std::string_view line = body.substr(from, end - from);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    from = lf == std::string_view::npos ? body.size() : lf + 1;
    return line;
}

// A lead byte of a two-byte UTF-8 sequence followed by a continuation byte: a hint that a
// file meant as UTF-8 got a stray byte.
bool looksLikeUtf8(std::string_view line) {
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const auto a = static_cast<std::uint8_t>(line[i]), b = static_cast<std::uint8_t>(line[i + 1]);
        if (a >= 0xC2 && a <= 0xDF && b >= 0x80 && b <= 0xBF) return true;
    }
    return false;
}

bool equalsRow(std::u32string_view line, std::string_view row) {
    if (line.size() != row.size()) return false;
    for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] != ansiToUnicode(static_cast<std::uint8_t>(row[i]))) return false;
    return true;
}

}  // namespace

Result<TextFileContent> readTextFile(ByteView file, std::size_t textCount) {
    if (file.size() > kMaxTextFileSize) return Status::failure(msg::kTextFileTooLarge);
    std::string_view body(reinterpret_cast<const char*>(file.data()), file.size());
    const bool bom = body.substr(0, kBom.size()) == kBom;
    if (bom) body.remove_prefix(kBom.size());
    if (body.empty()) return Status::failure(msg::kTextFileEmpty);

    // Bytes no text line holds, each named with its line.
    std::size_t lineNumber = 1;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(body[i]);
        if (b == '\n') {
            ++lineNumber;
        } else if (b == 0x00) {
            return Status::failure(msg::lineHasNul(lineNumber));
        } else if (b == '\r' && (i + 1 == body.size() || body[i + 1] != '\n')) {
            return Status::failure(msg::lineHasLoneCr(lineNumber));
        } else if (b < 0x20 && b != '\t' && b != '\r') {
            return Status::failure(msg::lineHasControlByte(lineNumber, b));
        }
    }

    TextFileContent read;
    read.format = body.substr(0, kTablePrefix.size()) == kTablePrefix ? TextFileFormat::Table : TextFileFormat::Lines;
    const bool table = read.format == TextFileFormat::Table;
    // Counted before anything is split, so a file of line ends costs nothing.
    const std::size_t lineCount =
        static_cast<std::size_t>(std::count(body.begin(), body.end(), '\n')) + (body.back() == '\n' ? 0 : 1);
    const std::size_t textLines = lineCount - (table ? 1 : 0);
    if (textLines != textCount) return Status::failure(msg::wrongLineCount(table, textLines, textCount));

    std::vector<std::string_view> lines;
    lines.reserve(lineCount);
    for (std::size_t from = 0; lines.size() < lineCount;) lines.push_back(lineAt(body, from));

    // UTF-8 when marked so or valid throughout, otherwise Windows-1252.
    std::vector<std::u32string> decoded;
    decoded.reserve(lineCount);
    std::size_t firstInvalid = 0;
    for (std::size_t k = 0; k < lines.size() && !firstInvalid; ++k) {
        std::optional<std::u32string> line = fromUtf8(lines[k]);
        if (line) decoded.push_back(std::move(*line));
        else firstInvalid = k + 1;
    }
    if (!firstInvalid) {
        read.encoding = TextFileEncoding::Utf8;
    } else {
        if (bom) return Status::failure(msg::bomOverInvalidUtf8(firstInvalid));
        read.encoding = TextFileEncoding::Windows1252;
        decoded.clear();
        for (const std::string_view line : lines) decoded.push_back(ansiToUnicode(line));
        if (std::any_of(lines.begin(), lines.end(), looksLikeUtf8))
            read.note = msg::readAsWindows1252(firstInvalid);
    }

    if (!table) {
        read.lines = std::move(decoded);
        return read;
    }
    if (toUtf8(decoded[0]) != kTextTableHeader) return Status::failure(msg::tableHeaderMissing(kTextTableHeader));
    read.lines.reserve(textCount);
    for (std::size_t k = 1; k < decoded.size(); ++k) {
        const std::u32string& row = decoded[k];
        std::size_t tabs[3];
        std::size_t from = 0;
        for (std::size_t& tab : tabs) {
            tab = row.find(U'\t', from);
            if (tab == std::u32string::npos) return Status::failure(msg::tableColumnsMissing(k + 1));
            from = tab + 1;
        }
        const std::string number = toUtf8(row.substr(0, tabs[0]));
        if (number != std::to_string(k)) return Status::failure(msg::tableNumberWrong(k + 1, k, number));
        read.lines.push_back(row.substr(tabs[2] + 1));
    }
    return read;
}

std::string RefusedText::line() const { return msg::refusedTextLine(position + 1, reason); }

std::string TextImport::summary() const { return msg::importSummary(changed.size(), refused.size()); }

// Friend of the session: stores without the typed-character check it has already made.
struct TextImporter {
    static Result<TextImport> run(TextSession& session, ByteView file, OverlongMode mode) {
        Result<TextFileContent> read = readTextFile(file, session.textCount());
        if (!read) return read.status();
        TextImport result;
        result.note = std::move(read.value().note);
        std::fill(session.marks_.begin(), session.marks_.end(), RowMark::None);
        const std::vector<std::u32string>& lines = read->lines;
        for (std::size_t k = 0; k < lines.size(); ++k) {
            const std::u32string& line = lines[k];
            if (equalsRow(line, session.rows_[k])) continue;
            Status stored = storable(session.entry(k), line, mode);
            if (stored) {
                std::string ansi;
                for (const char32_t c : line) ansi.push_back(static_cast<char>(*unicodeToAnsi(c)));
                stored = session.storeAnsi(k, ansi, mode);
            }
            if (stored) {
                session.marks_[k] = RowMark::Imported;
                result.changed.push_back(k);
            } else {
                session.marks_[k] = RowMark::Refused;
                result.refused.push_back({k, stored.message()});
            }
        }
        return result;
    }

    // Whether a line can be stored as typed over `entry`. A refusal names the first refused
    // character and the length, each with the numbers behind it.
    static Status storable(const Bytes& entry, std::u32string_view line, OverlongMode mode) {
        std::string reason;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const Status character = checkTypedCharacter(line[i]);
            if (character) continue;
            reason = msg::atCharacter(i + 1, character.message());
            break;
        }
        const auto limit = static_cast<std::size_t>(storeLimit(entry, mode));
        if (line.size() > limit) {
            if (!reason.empty()) reason += ' ';
            const auto gross = static_cast<std::size_t>(storeLimit(entry, OverlongMode::Erlauben));
            const bool moreAllowed = mode == OverlongMode::Sperren && gross > limit;
            reason += msg::lineTooLong(line.size(), limit, overlongModeName(mode), moreAllowed ? gross : 0);
        }
        return reason.empty() ? Status() : Status::failure(std::move(reason));
    }
};

Result<TextImport> importTexts(TextSession& session, ByteView file, OverlongMode mode) {
    return TextImporter::run(session, file, mode);
}

}  // namespace zarvelo
