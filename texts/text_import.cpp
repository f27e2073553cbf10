#include "text_import.hpp"

#include "charset.hpp"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace zarvelo {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kTablePrefix = "Nr.\t";

std::string n(std::size_t v) { return std::to_string(v); }

std::string hexByte(std::uint8_t b) {
    char s[8];
    std::snprintf(s, sizeof s, "0x%02X", b);
    return s;
}

std::string plural(std::size_t count, const char* one, const char* many) { return n(count) + ' ' + (count == 1 ? one : many); }

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

TextFileRead refuse(std::string message) {
    TextFileRead r;
    r.message = std::move(message);
    return r;
}

const char* modeName(OverlongMode mode) { return mode == OverlongMode::Erlauben ? "erlauben" : "sperren"; }

bool equalsRow(std::u32string_view line, std::string_view row) {
    if (line.size() != row.size()) return false;
    for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] != ansiToUnicode(static_cast<std::uint8_t>(row[i]))) return false;
    return true;
}

}  // namespace

TextFileRead readTextFile(ByteView file, std::size_t textCount) {
    if (file.size() > kMaxTextFileSize) return refuse(kTextFileTooLarge);
    std::string_view body(reinterpret_cast<const char*>(file.data()), file.size());
    const bool bom = body.substr(0, kBom.size()) == kBom;
    if (bom) body.remove_prefix(kBom.size());
    if (body.empty()) return refuse("Die Textdatei ist leer.");

    // Bytes no text line holds, each named with its line.
    std::size_t lineNumber = 1;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(body[i]);
        if (b == '\n') {
            ++lineNumber;
        } else if (b == 0x00) {
            return refuse("Die Datei ist keine Textdatei: Zeile " + n(lineNumber) + " enthält ein Nullbyte.");
        } else if (b == '\r' && (i + 1 == body.size() || body[i + 1] != '\n')) {
            return refuse("Die Datei ist keine Textdatei: Zeile " + n(lineNumber) +
                          " enthält ein einzelnes CR (0x0D); Zeilen enden mit CR LF oder LF.");
        } else if (b < 0x20 && b != '\t' && b != '\r') {
            return refuse("Die Datei ist keine Textdatei: Zeile " + n(lineNumber) + " enthält das Steuerzeichen " +
                          hexByte(b) + ".");
        }
    }

    TextFileRead read;
    read.format = body.substr(0, kTablePrefix.size()) == kTablePrefix ? TextFileFormat::Table : TextFileFormat::Lines;
    const bool table = read.format == TextFileFormat::Table;
    // Counted before anything is split, so a file of line ends costs nothing.
    const std::size_t lineCount =
        static_cast<std::size_t>(std::count(body.begin(), body.end(), '\n')) + (body.back() == '\n' ? 0 : 1);
    const std::size_t textLines = lineCount - (table ? 1 : 0);
    if (textLines != textCount)
        return refuse(std::string(table ? "Die Tabelle hat " : "Die Textdatei hat ") +
                      plural(textLines, table ? "Textzeile" : "Zeile", table ? "Textzeilen" : "Zeilen") +
                      ", die geladene Datei hat " + plural(textCount, "Text", "Texte") +
                      "; erwartet ist eine Zeile je Text.");

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
        if (bom)
            return refuse("Die Datei beginnt mit der Kennung für UTF-8 (BOM), Zeile " + n(firstInvalid) +
                          " ist aber kein gültiges UTF-8.");
        read.encoding = TextFileEncoding::Windows1252;
        decoded.clear();
        for (const std::string_view line : lines) decoded.push_back(ansiToUnicode(line));
        if (std::any_of(lines.begin(), lines.end(), looksLikeUtf8))
            read.note = "Hinweis: Die Datei ist kein gültiges UTF-8 (Zeile " + n(firstInvalid) +
                        ") und wurde als Windows-1252 gelesen; Zeichen aus UTF-8 erscheinen dann als zwei Zeichen.";
    }

    if (!table) {
        read.lines = std::move(decoded);
        read.ok = true;
        return read;
    }
    if (toUtf8(decoded[0]) != kTextTableHeader)
        return refuse("Die erste Zeile der Tabelle ist nicht die Kopfzeile „" + std::string(kTextTableHeader) +
                      "“ (Spalten durch Tabulatoren getrennt).");
    read.lines.reserve(textCount);
    for (std::size_t k = 1; k < decoded.size(); ++k) {
        const std::u32string& row = decoded[k];
        std::size_t tabs[3];
        std::size_t from = 0;
        for (std::size_t& tab : tabs) {
            tab = row.find(U'\t', from);
            if (tab == std::u32string::npos)
                return refuse("Zeile " + n(k + 1) +
                              " der Tabelle hat keine vier Spalten (Nummer, Zeichen ohne und mit Überlänge, Text).");
            from = tab + 1;
        }
        const std::string number = toUtf8(row.substr(0, tabs[0]));
        if (number != n(k))
            return refuse("Zeile " + n(k + 1) + " der Tabelle: erwartet ist die Textnummer " + n(k) + ", dort steht „" +
                          number + "“.");
        read.lines.push_back(row.substr(tabs[2] + 1));
    }
    read.ok = true;
    return read;
}

std::string RefusedText::line() const { return "Text Nr. " + n(position + 1) + ": " + reason; }

std::string TextImport::summary() const {
    return plural(changed.size(), "Text", "Texte") + " übernommen, " + n(refused.size()) + " abgelehnt.";
}

// Friend of the session: stores without the typed-character check it has already made.
struct TextImporter {
    static TextImport run(TextSession& session, ByteView file, OverlongMode mode) {
        TextImport result;
        TextFileRead read = readTextFile(file, session.textCount());
        if (!read.ok) {
            result.message = std::move(read.message);
            return result;
        }
        result.ok = true;
        result.note = std::move(read.note);
        std::fill(session.marks_.begin(), session.marks_.end(), RowMark::None);
        for (std::size_t k = 0; k < read.lines.size(); ++k) {
            const std::u32string& line = read.lines[k];
            if (equalsRow(line, session.rows_[k])) continue;
            std::string reason = refusal(session.entry(k), line, mode);
            if (reason.empty()) {
                std::string ansi;
                for (const char32_t c : line) ansi.push_back(static_cast<char>(*unicodeToAnsi(c)));
                StoreOutcome stored = session.storeAnsi(k, ansi, mode);
                if (stored.ok) {
                    session.marks_[k] = RowMark::Imported;
                    result.changed.push_back(k);
                    continue;
                }
                reason = std::move(stored.message);
            }
            session.marks_[k] = RowMark::Refused;
            result.refused.push_back({k, std::move(reason)});
        }
        return result;
    }

    // Why a line cannot be stored as typed over `entry`: the first refused character and the
    // length, each with the numbers behind it; empty when it can.
    static std::string refusal(const Bytes& entry, std::u32string_view line, OverlongMode mode) {
        std::string reason;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const std::string character = typedCharacterRefusal(line[i]);
            if (character.empty()) continue;
            reason = "An Stelle " + n(i + 1) + ": " + character;
            break;
        }
        const auto limit = static_cast<std::size_t>(storeLimit(entry, mode));
        if (line.size() > limit) {
            if (!reason.empty()) reason += ' ';
            reason += "Der Text ist um " + plural(line.size() - limit, "Zeichen", "Zeichen") + " zu lang: " +
                      n(line.size()) + " Zeichen, Platz für höchstens " + n(limit) + " (Überlange Texte: " +
                      modeName(mode);
            const auto gross = static_cast<std::size_t>(storeLimit(entry, OverlongMode::Erlauben));
            if (mode == OverlongMode::Sperren && gross > limit) reason += "; mit „erlauben“ bis zu " + n(gross);
            reason += ").";
        }
        return reason;
    }
};

TextImport importTexts(TextSession& session, ByteView file, OverlongMode mode) {
    return TextImporter::run(session, file, mode);
}

}  // namespace zarvelo
