#include "text_session.hpp"

#include "charset.hpp"

#include <algorithm>

namespace zarvelo {

TextSession::TextSession(TextList list)
    : list_(std::move(list)),
      rows_(listRows(list_)),
      stored_(list_.textCount(), false),
      marks_(list_.textCount(), RowMark::None) {}

std::size_t TextSession::storedCount() const {
    return static_cast<std::size_t>(std::count(stored_.begin(), stored_.end(), true));
}

Status TextSession::storeTyped(std::size_t position, std::u32string_view text, OverlongMode mode) {
    const Result<std::string> typed = typedText(text);
    if (!typed) return typed.status();
    Status stored = storeAnsi(position, typed.value(), mode);
    if (stored && marks_[position] == RowMark::Refused) marks_[position] = RowMark::Imported;
    return stored;
}

Status TextSession::storeAnsi(std::size_t position, std::string_view ansi, OverlongMode mode) {
    Status stored = Edit_zu_TexteArray(list_, position, ansi, mode);
    if (!stored) return stored;
    rows_[position] = std::string(ansi);
    stored_[position] = true;
    return stored;
}

std::optional<std::size_t> TextSession::searchNext(std::u32string_view pattern) {
    std::string ansi;
    for (const char32_t c : pattern) {
        const std::optional<std::uint8_t> a = unicodeToAnsi(c);
        if (!a) {
            searchPosition_ = rows_.size();
            return std::nullopt;
        }
        ansi.push_back(static_cast<char>(*a));
    }
    const std::optional<std::size_t> hit = SucheText(rows_, ansi, searchPosition_);
    searchPosition_ = hit ? *hit + 1 : rows_.size();
    return hit;
}

Bytes TextSession::exportText() const { return textExport(rows_); }

Bytes TextSession::exportTable() const {
    std::string out(kTextTableHeader);
    out += "\r\n";
    for (std::size_t k = 0; k < rows_.size(); ++k) {
        const Bytes& e = list_.entry(k);
        out += std::to_string(k + 1) + '\t' + std::to_string(storeLimit(e, OverlongMode::Sperren)) + '\t' +
               std::to_string(storeLimit(e, OverlongMode::Erlauben)) + '\t' + ansiToUtf8(rows_[k]) + "\r\n";
    }
    return Bytes(out.begin(), out.end());
}

}  // namespace zarvelo
