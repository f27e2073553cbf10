#pragma once
// The program's own German messages about the firmware's texts: the text table, typed
// texts, and translators' text files. Those with numbers in them are built here too, so
// that each wording exists once.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace zarvelo::msg {

namespace detail {
inline std::string n(std::size_t v) { return std::to_string(v); }
inline std::string counted(std::size_t count, const char* one, const char* many) {
    return n(count) + ' ' + (count == 1 ? one : many);
}
inline std::string textNumber(std::string_view number) { return "Text Nr. " + std::string(number); }
inline std::string quotedCharacter(std::string_view character) { return "Das Zeichen „" + std::string(character) + "“"; }
inline std::string notATextFile(std::size_t line) { return "Die Datei ist keine Textdatei: Zeile " + n(line); }
}  // namespace detail

// --- the text table ---

// Followed by one of the reasons below.
inline constexpr const char* kCannotEditTexts = "Die Texte dieser Datei können nicht bearbeitet werden: ";
inline constexpr const char* kTableEndMissing = "das Ende der Texttabelle fehlt im Flash-Abbild.";
inline constexpr const char* kTableWithoutTexts = "die Texttabelle enthält keine Texte.";
inline std::string tooManyTableEntries(std::size_t most) {
    return "die Texttabelle hat mehr als " + detail::n(most) + " Einträge.";
}
inline std::string tableEntryTooLong(std::size_t entryNumber, std::size_t most) {
    return "Eintrag Nr. " + detail::n(entryNumber) + " der Texttabelle ist länger als " + detail::n(most) + " Bytes.";
}
inline std::string tableEntryWouldBeTooLong(std::size_t size, std::size_t most) {
    return "ein Eintrag der Texttabelle wäre länger als " + detail::n(most) + " Bytes (" + detail::n(size) + " Bytes).";
}

inline constexpr const char* kTextsDoNotFitImage = "Die Texte konnten nicht in das Flash-Abbild geschrieben werden.";
inline constexpr const char* kTextsOfAnotherFile =
    "Die Texte passen nicht mehr zur geladenen Datei und werden nicht übernommen.";

// --- storing a text ---

// The names of the "Überlange Texte" choices.
inline constexpr const char* kOverlongAllowed = "erlauben";
inline constexpr const char* kOverlongLocked = "sperren";

inline std::string noSuchText(std::size_t number, std::size_t textCount) {
    return detail::textNumber(detail::n(number)) + " gibt es nicht: geladen sind " + detail::n(textCount) + " Texte.";
}
// The command line tool names the number as it was given.
inline std::string noSuchTextInFile(std::string_view number, std::size_t textCount) {
    return detail::textNumber(number) + " gibt es nicht: die Datei hat " + detail::n(textCount) + " Texte.";
}
inline std::string textTooLong(std::size_t number, std::size_t limit, const char* modeName, std::size_t size) {
    return "Der Text ist zu lang: " + detail::textNumber(detail::n(number)) + " fasst höchstens " + detail::n(limit) +
           " Zeichen (Überlange Texte: " + modeName + "), der neue Text hat " + detail::n(size) + ".";
}
inline std::string tableUnreadableAfterStore(std::size_t number, std::string_view reason) {
    return detail::textNumber(detail::n(number)) +
           " kann so nicht eingetragen werden, danach wäre die Texttabelle nicht mehr lesbar: " + std::string(reason);
}

// --- typed characters (the character as UTF-8) ---

inline std::string typedControlCharacter(char32_t c) {
    char code[16];
    std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(c));
    return std::string("Der Text enthält ein Steuerzeichen (U+") + code + "); es kann nicht eingetragen werden.";
}
inline std::string characterNotInWindows1252(std::string_view character) {
    return detail::quotedCharacter(character) +
           " gibt es im Windows-Zeichensatz (Windows-1252) nicht; es kann nicht eingetragen werden.";
}
inline std::string characterReadAsControl(std::string_view character) {
    return detail::quotedCharacter(character) +
           " kann nicht eingetragen werden: das Navi liest es als Steuerzeichen.";
}
inline std::string characterShownAs(std::string_view character, std::string_view shown) {
    return detail::quotedCharacter(character) + " kann nicht eingetragen werden: das Navi zeigt es als „" +
           std::string(shown) + "“.";
}

// --- the warning beside a text ---

inline constexpr const char* kWarningControlCharacters = "Steuerzeichen im Text";
inline constexpr const char* kWarningUnknownSpecial = "nicht erkanntes Sonderzeichen im Text";
inline constexpr const char* kWarningNone = "OK";

// --- translators' text files ---

inline constexpr const char* kTextFileTooLarge =
    "Die Textdatei ist größer als 1 MiB (1048576 Bytes) und wird nicht gelesen.";
// Followed by the system's reason.
inline constexpr const char* kCannotReadTextFile = "Die Textdatei kann nicht gelesen werden: ";
inline constexpr const char* kTextFileEmpty = "Die Textdatei ist leer.";

inline std::string lineHasNul(std::size_t line) {
    return detail::notATextFile(line) + " enthält ein Nullbyte.";
}
inline std::string lineHasLoneCr(std::size_t line) {
    return detail::notATextFile(line) +
           " enthält ein einzelnes CR (0x0D); Zeilen enden mit CR LF oder LF.";
}
inline std::string lineHasControlByte(std::size_t line, std::uint8_t byte) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", byte);
    return detail::notATextFile(line) + " enthält das Steuerzeichen " + hex + ".";
}
inline std::string wrongLineCount(bool table, std::size_t lines, std::size_t textCount) {
    return std::string(table ? "Die Tabelle hat " : "Die Textdatei hat ") +
           detail::counted(lines, table ? "Textzeile" : "Zeile", table ? "Textzeilen" : "Zeilen") +
           ", die geladene Datei hat " + detail::counted(textCount, "Text", "Texte") +
           "; erwartet ist eine Zeile je Text.";
}
inline std::string bomOverInvalidUtf8(std::size_t line) {
    return "Die Datei beginnt mit der Kennung für UTF-8 (BOM), Zeile " + detail::n(line) +
           " ist aber kein gültiges UTF-8.";
}
inline std::string readAsWindows1252(std::size_t firstInvalidLine) {
    return "Hinweis: Die Datei ist kein gültiges UTF-8 (Zeile " + detail::n(firstInvalidLine) +
           ") und wurde als Windows-1252 gelesen; Zeichen aus UTF-8 erscheinen dann als zwei Zeichen.";
}
inline std::string tableHeaderMissing(std::string_view header) {
    return "Die erste Zeile der Tabelle ist nicht die Kopfzeile „" + std::string(header) +
           "“ (Spalten durch Tabulatoren getrennt).";
}
inline std::string tableColumnsMissing(std::size_t line) {
    return "Zeile " + detail::n(line) +
           " der Tabelle hat keine vier Spalten (Nummer, Zeichen ohne und mit Überlänge, Text).";
}
inline std::string tableNumberWrong(std::size_t line, std::size_t expected, std::string_view found) {
    return "Zeile " + detail::n(line) + " der Tabelle: erwartet ist die Textnummer " + detail::n(expected) +
           ", dort steht „" + std::string(found) + "“.";
}

// A line of the import report.
inline std::string refusedTextLine(std::size_t number, std::string_view reason) {
    return detail::textNumber(detail::n(number)) + ": " + std::string(reason);
}
inline std::string atCharacter(std::size_t place, std::string_view refusal) {
    return "An Stelle " + detail::n(place) + ": " + std::string(refusal);
}
// `allowedMore`: the limit with overlong texts allowed, when that would be more; else 0.
inline std::string lineTooLong(std::size_t size, std::size_t limit, const char* modeName, std::size_t allowedMore) {
    std::string s = "Der Text ist um " + detail::counted(size - limit, "Zeichen", "Zeichen") + " zu lang: " +
                    detail::n(size) + " Zeichen, Platz für höchstens " + detail::n(limit) +
                    " (Überlange Texte: " + modeName;
    if (allowedMore > 0) s += std::string("; mit „") + kOverlongAllowed + "“ bis zu " + detail::n(allowedMore);
    return s + ").";
}
inline std::string importSummary(std::size_t changed, std::size_t refused) {
    return detail::counted(changed, "Text", "Texte") + " übernommen, " + detail::n(refused) + " abgelehnt.";
}

}  // namespace zarvelo::msg
