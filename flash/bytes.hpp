#pragma once
// Byte buffers and the one bounds-checked reader every parser goes through.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zarvelo {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

// A read position over untrusted bytes. Every read past the end fails and
// leaves the position where it was; nothing ever touches memory outside.
class ByteReader {
public:
    explicit ByteReader(ByteView data, std::size_t pos = 0) : data_(data), pos_(pos) {}

    std::size_t pos() const { return pos_; }
    std::size_t size() const { return data_.size(); }
    std::size_t remaining() const { return pos_ < data_.size() ? data_.size() - pos_ : 0; }
    bool atEnd() const { return pos_ >= data_.size(); }
    bool seek(std::size_t pos) {
        if (pos > data_.size()) return false;
        pos_ = pos;
        return true;
    }
    bool skip(std::size_t n) {
        if (n > remaining()) return false;
        pos_ += n;
        return true;
    }

    std::optional<std::uint8_t> u8() {
        if (remaining() < 1) return std::nullopt;
        return data_[pos_++];
    }
    std::optional<std::uint32_t> be(std::size_t n) {
        if (n > 4 || remaining() < n) return std::nullopt;
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < n; ++i) v = (v << 8) | data_[pos_ + i];
        pos_ += n;
        return v;
    }
    std::optional<std::uint32_t> le(std::size_t n) {
        if (n > 4 || remaining() < n) return std::nullopt;
        std::uint32_t v = 0;
        for (std::size_t i = n; i-- > 0;) v = (v << 8) | data_[pos_ + i];
        pos_ += n;
        return v;
    }
    // A view of the next n bytes, consumed.
    std::optional<ByteView> take(std::size_t n) {
        if (remaining() < n) return std::nullopt;
        ByteView v = data_.subspan(pos_, n);
        pos_ += n;
        return v;
    }
    // A view of the next n bytes, not consumed.
    std::optional<ByteView> peek(std::size_t n) const {
        if (remaining() < n) return std::nullopt;
        return data_.subspan(pos_, n);
    }

private:
    ByteView data_;
    std::size_t pos_;
};

// Bounds-checked big-endian read at an absolute offset.
inline std::optional<std::uint32_t> readBE(ByteView data, std::size_t offset, std::size_t n) {
    ByteReader r(data);
    if (!r.seek(offset)) return std::nullopt;
    return r.be(n);
}

// Writes `src` at `offset`, if it fits entirely; returns false and writes nothing otherwise.
inline bool writeAt(Bytes& dst, std::size_t offset, ByteView src) {
    if (offset > dst.size() || src.size() > dst.size() - offset) return false;
    std::copy(src.begin(), src.end(), dst.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

}  // namespace zarvelo
