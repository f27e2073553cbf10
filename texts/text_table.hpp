#pragma once
// The firmware's text table: reading it into the text list, storing edited texts without
// ever changing the size of an entry, and writing the list back in place.
//
// Texts are held as device bytes; the list rows and the export are ANSI (Windows-1252)
// bytes. Conversion between ANSI and Unicode is the front ends' business.

#include "flash/bytes.hpp"
#include "flash/result.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarvelo {

inline constexpr std::array<std::uint8_t, 8> kTextEndMarker = {0x01, 0x01, 0x06, 0x01, 0x01, 0x06, 0x06, 0x06};
inline constexpr std::size_t kMaxTextEntries = 9001;  // including the non-text entry and the end marker
inline constexpr std::size_t kMaxTextEntryLength = 255;

// Item index of the "Überlange Texte" choice.
enum class OverlongMode { Erlauben = 0, Sperren = 1 };

// The editor's copy of the text table. Entries keep their stored length for good: the only
// change is a store, and a store never changes a length.
class TextList {
public:
    // Listed texts (entries 0 .. textCount() - 1).
    std::uint16_t textCount() const { return textCount_; }
    // Every entry read, including the non-text entry and the end marker at the end.
    const std::vector<Bytes>& entries() const { return entries_; }
    const Bytes& entry(std::size_t position) const { return entries_.at(position); }
    std::size_t tableOffset() const { return tableOffset_; }
    // Bytes the listed texts occupy in the flash image, from the table offset on.
    std::size_t textBytes() const { return textBytes_; }

private:
    friend Result<TextList> readTextTable(ByteView flash, std::size_t tableOffset);
    friend Status Edit_zu_TexteArray(TextList& list, std::size_t position, std::string_view ansiText,
                                     OverlongMode mode);
    std::vector<Bytes> entries_;
    std::uint16_t textCount_ = 0;
    std::size_t tableOffset_ = 0;
    std::size_t textBytes_ = 0;
};

// Reads the table starting at `tableOffset`. A table that runs off the end of the image, has
// more than 9001 entries, an entry over 255 bytes or no text at all is refused with a message.
Result<TextList> readTextTable(ByteView flash, std::size_t tableOffset);
// The same at the text table offset of a version index 1..13 (any other index is refused).
Result<TextList> BIN_zu_TexteArray(ByteView flash, int versionIndex);

// Stores an ANSI text typed for the text at `position`, converted with A2F, under the given
// mode. A text longer than the mode allows (storeLimit), a character the unit would not show
// as typed (isTypeableAnsi), or a store after which the table could no longer be read, is
// refused and leaves the list as it was.
Status Edit_zu_TexteArray(TextList& list, std::size_t position, std::string_view ansiText, OverlongMode mode);

// Writes the listed texts back from the list's table offset. Refused, writing nothing, if
// they do not fit into `flash`.
Status TexteArray_zu_BIN(Bytes& flash, const TextList& list);

// Stored length - 1: the most characters the entry can hold with its terminator.
int grossLength(ByteView entry);
// Visible characters (bytes 0x20..0xFE).
int netLength(ByteView entry);
// How many characters a store may place into the entry: the gross length when overlong
// texts are allowed, else the net length.
int storeLimit(ByteView entry, OverlongMode mode);
// "erlauben" or "sperren", as the choice is labelled.
const char* overlongModeName(OverlongMode mode);

// Whether a typed character can go into a text: it must exist in Windows-1252 and pass
// isTypeableAnsi. A refusal names the character and what the unit would make of it.
Status checkTypedCharacter(char32_t c);

// A text as typed (Unicode) in the Windows-1252 bytes a store takes, under the
// typed-character rule; refused for the first character that cannot be typed.
Result<std::string> typedText(std::u32string_view text);

// The list box row: bytes 0x20..0xFE through F2A, all others left out (ANSI bytes).
std::string rowText(ByteView entry);
// Rows of the listed texts in list order.
std::vector<std::string> listRows(const TextList& list);

enum class TextWarning { ControlCharacters, UnknownSpecialCharacter, None };
// Control characters: a control byte before the first 0x00, or anything but 0xFF after it.
// Unknown special character: a byte 0x80..0xFE without a table row. The first wins.
TextWarning classifyText(ByteView entry);
// "Steuerzeichen im Text", "nicht erkanntes Sonderzeichen im Text" or "OK".
const char* warningText(TextWarning warning);

// The text export: every row followed by CR LF, rows taken as they are (ANSI bytes).
Bytes textExport(const std::vector<std::string>& rows);

// Search folding on ANSI bytes: a..z to A..Z and ä ö ü to Ä Ö Ü; nothing else.
std::string foldForSearch(std::string_view ansi);
// The first row from `from` on whose folded text contains the folded pattern; none for an
// empty pattern or when no row matches. The search does not wrap around.
std::optional<std::size_t> SucheText(const std::vector<std::string>& rows, std::string_view pattern,
                                     std::size_t from);

}  // namespace zarvelo
