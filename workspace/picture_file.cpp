#include "workspace/picture_file.hpp"

#include "workspace/file_io.hpp"
#include "workspace/messages.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>
#include <vector>

namespace zarvelo {

namespace {

using msg::kBmpDamagedHeader, msg::kBmpTruncated, msg::kBmpUnsupported;

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

Status refused(const char* message) { return Status::failure(message); }

// One colour field of a 16- or 32-bit pixel, widened to 8 bits by repeating its bits.
struct Field {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    static std::optional<Field> of(std::uint32_t mask) {
        Field f;
        f.mask = mask;
        if (mask == 0) return f;
        f.shift = std::countr_zero(mask);
        f.bits = std::popcount(mask);
        if ((mask >> f.shift) != (f.bits == 32 ? 0xFFFFFFFFu : (1u << f.bits) - 1)) return std::nullopt;  // not contiguous
        return f;
    }
    std::uint8_t operator()(std::uint32_t pixel) const {
        if (bits == 0) return 0;
        const std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return static_cast<std::uint8_t>(v >> (bits - 8));
        std::uint32_t out = 0;
        int filled = 0;
        while (filled < 8) {
            out = (out << bits) | v;
            filled += bits;
        }
        return static_cast<std::uint8_t>(out >> (filled - 8));
    }
};

struct Header {
    std::uint32_t dataOffset = 0;
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: rows top-down
    std::uint32_t bitCount = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t imageSize = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t masks[3] = {0, 0, 0};
    bool hasMasks = false;
    std::size_t paletteOffset = 0;
    std::size_t paletteEntrySize = 4;
};

std::optional<std::int32_t> signed32(std::optional<std::uint32_t> v) {
    if (!v) return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

// Reads file and information header.
Result<Header> readHeader(ByteReader& r) {
    const Status damaged = refused(kBmpDamagedHeader);
    Header h;
    if (!r.skip(10)) return damaged;
    const auto offset = r.le(4), size = r.le(4);
    if (!offset || !size) return damaged;
    h.dataOffset = *offset;
    h.headerSize = *size;
    if (h.headerSize == 12) {  // OS/2 core header
        const auto w = r.le(2), hh = r.le(2), planes = r.le(2), bits = r.le(2);
        if (!w || !hh || !planes || !bits) return damaged;
        h.width = *w;
        h.height = static_cast<std::int16_t>(*hh);
        h.bitCount = *bits;
        h.paletteEntrySize = 3;
    } else if (h.headerSize >= 40 && h.headerSize <= 124 && h.headerSize != 64) {
        const auto w = signed32(r.le(4)), hh = signed32(r.le(4));
        const auto planes = r.le(2), bits = r.le(2), compression = r.le(4), imageSize = r.le(4);
        if (!w || !hh || !planes || !bits || !compression || !imageSize || !r.skip(8)) return damaged;
        const auto used = r.le(4);
        if (!used || !r.skip(4)) return damaged;
        h.width = *w;
        h.height = *hh;
        h.bitCount = *bits;
        h.compression = *compression;
        h.imageSize = *imageSize;
        h.coloursUsed = *used;
        if (h.compression == kBitfields) {
            // The masks are part of the larger headers, and follow the 40-byte one.
            if (h.headerSize < 52 && !r.seek(14 + 40)) return damaged;
            for (auto& m : h.masks) {
                const auto v = r.le(4);
                if (!v) return damaged;
                m = *v;
            }
            h.hasMasks = true;
        }
    } else {
        return refused(kBmpUnsupported);
    }
    h.paletteOffset = 14 + h.headerSize + (h.hasMasks && h.headerSize < 52 ? 12 : 0);
    return h;
}

class Decoder {
public:
    Decoder(ByteView bytes, const Header& h) : bytes_(bytes), h_(h) {}

    Result<RgbImage> run() {
        const std::uint32_t bits = h_.bitCount;
        const bool indexed = bits == 1 || bits == 4 || bits == 8;
        const bool rle = h_.compression == kRle8 || h_.compression == kRle4;
        if (h_.width <= 0 || h_.height == 0) return refused(kBmpDamagedHeader);
        if (!(indexed || bits == 16 || bits == 24 || bits == 32)) return refused(kBmpUnsupported);
        switch (h_.compression) {
            case kRgb: break;
            case kRle8: if (bits != 8) return refused(kBmpUnsupported); break;
            case kRle4: if (bits != 4) return refused(kBmpUnsupported); break;
            case kBitfields: if (bits != 16 && bits != 32) return refused(kBmpUnsupported); break;
            default: return refused(kBmpUnsupported);
        }
        const bool topDown = h_.height < 0;
        if (rle && topDown) return refused(kBmpUnsupported);
        width_ = static_cast<std::size_t>(h_.width);
        height_ = static_cast<std::size_t>(topDown ? -h_.height : h_.height);
        if (width_ > kMaxPicturePixels || height_ > kMaxPicturePixels || width_ * height_ > kMaxPicturePixels)
            return refused(msg::kPictureTooLarge);
        if (indexed && !readPalette()) return refused(kBmpTruncated);
        if (h_.dataOffset > bytes_.size()) return refused(kBmpTruncated);
        if (h_.imageSize > 0 && rle && h_.imageSize > bytes_.size() - h_.dataOffset) return refused(kBmpTruncated);

        out_ = RgbImage(static_cast<int>(width_), static_cast<int>(height_), colour(0));
        Status decoded = rle ? decodeRle(h_.compression == kRle4) : decodePlain(topDown);
        if (!decoded.ok()) return decoded;
        return std::move(out_);
    }

private:
    ByteView bytes_;
    const Header& h_;
    std::size_t width_ = 0, height_ = 0;
    std::vector<Rgb> palette_;
    RgbImage out_;

    // Indices beyond the colour table show black.
    Rgb colour(std::size_t index) const { return index < palette_.size() ? palette_[index] : Rgb{0, 0, 0}; }

    bool readPalette() {
        std::size_t n = std::size_t{1} << h_.bitCount;
        if (h_.coloursUsed > 0 && h_.coloursUsed < n) n = h_.coloursUsed;
        // Writers that leave the count at 0 often store only the colours they use: the
        // table then ends where the pixel data begins.
        if (h_.dataOffset >= h_.paletteOffset) n = std::min(n, (h_.dataOffset - h_.paletteOffset) / h_.paletteEntrySize);
        ByteReader r(bytes_);
        if (!r.seek(h_.paletteOffset)) return false;
        for (std::size_t i = 0; i < n; ++i) {
            const auto entry = r.take(h_.paletteEntrySize);
            if (!entry) return false;
            palette_.push_back({(*entry)[2], (*entry)[1], (*entry)[0]});
        }
        return true;
    }

    // y counted from the top of the picture.
    void put(std::size_t x, std::size_t y, Rgb c) { out_.set(static_cast<int>(x), static_cast<int>(y), c); }

    Status decodePlain(bool topDown) {
        const std::size_t bits = h_.bitCount;
        const std::size_t stride = (width_ * bits + 31) / 32 * 4;
        if (stride > (bytes_.size() - h_.dataOffset) / height_) return refused(kBmpTruncated);

        std::optional<Field> red, green, blue;
        if (bits == 16 || bits == 32) {
            std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
            if (bits == 32) masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
            if (h_.hasMasks) std::copy(std::begin(h_.masks), std::end(h_.masks), masks);
            red = Field::of(masks[0]);
            green = Field::of(masks[1]);
            blue = Field::of(masks[2]);
            if (!red || !green || !blue) return refused(kBmpUnsupported);
        }
        for (std::size_t row = 0; row < height_; ++row) {
            const std::uint8_t* line = bytes_.data() + h_.dataOffset + row * stride;
            const std::size_t y = topDown ? row : height_ - 1 - row;
            for (std::size_t x = 0; x < width_; ++x) {
                switch (bits) {
                    case 1: put(x, y, colour((line[x / 8] >> (7 - x % 8)) & 1)); break;
                    case 4: put(x, y, colour((line[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F)); break;
                    case 8: put(x, y, colour(line[x])); break;
                    case 24: put(x, y, {line[3 * x + 2], line[3 * x + 1], line[3 * x]}); break;
                    case 16: {
                        const std::uint32_t p = line[2 * x] | (std::uint32_t{line[2 * x + 1]} << 8);
                        put(x, y, {(*red)(p), (*green)(p), (*blue)(p)});
                        break;
                    }
                    default: {
                        const std::uint8_t* q = line + 4 * x;
                        const std::uint32_t p = q[0] | (std::uint32_t{q[1]} << 8) | (std::uint32_t{q[2]} << 16) |
                                                (std::uint32_t{q[3]} << 24);
                        put(x, y, {(*red)(p), (*green)(p), (*blue)(p)});
                    }
                }
            }
        }
        return {};
    }

    // Run-length coded rows, bottom-up. The code must reach its end marker or fill the
    // whole picture; a code that breaks off earlier is a truncated file.
    Status decodeRle(bool nibbles) {
        ByteReader r(bytes_, h_.dataOffset);
        std::size_t x = 0, row = 0;  // row counted from the bottom
        auto plot = [&](std::size_t index) {
            if (x < width_ && row < height_) put(x, height_ - 1 - row, colour(index));
            ++x;
        };
        while (row < height_) {
            const auto count = r.u8(), value = r.u8();
            if (!count || !value) return refused(kBmpTruncated);
            if (*count > 0) {
                for (unsigned i = 0; i < *count; ++i)
                    plot(nibbles ? (i % 2 ? *value & 0x0F : *value >> 4) : *value);
                continue;
            }
            switch (*value) {
                case 0: x = 0; ++row; break;  // end of line
                case 1: return {};            // end of picture
                case 2: {
                    const auto dx = r.u8(), dy = r.u8();
                    if (!dx || !dy) return refused(kBmpTruncated);
                    x += *dx;
                    row += *dy;
                    break;
                }
                default: {
                    const std::size_t n = *value;
                    const std::size_t size = nibbles ? (n + 1) / 2 : n;
                    const auto data = r.take(size + size % 2);  // padded to a word
                    if (!data) return refused(kBmpTruncated);
                    for (std::size_t i = 0; i < n; ++i)
                        plot(nibbles ? (i % 2 ? (*data)[i / 2] & 0x0F : (*data)[i / 2] >> 4) : (*data)[i]);
                }
            }
        }
        return {};
    }
};

void putLE(Bytes& out, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

Result<RgbImage> decodeBmp(ByteView bytes) {
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') return refused(msg::kNotBmp);
    ByteReader r(bytes);
    const Result<Header> header = readHeader(r);
    if (!header.ok()) return header.status();
    return Decoder(bytes, header.value()).run();
}

Result<RgbImage> loadPictureFile(const std::string& path) {
    const Result<Bytes> file = readWholeFile(path, kMaxPictureFileSize, msg::kPictureTooLarge);
    if (!file.ok()) return Status::failure(msg::pictureFileUnreadable(path, file.message()));
    Result<RgbImage> loaded = decodeBmp(file.value());
    if (!loaded.ok()) return Status::failure(msg::pictureFileUnreadable(path, loaded.message()));
    return loaded;
}

Bytes encodeBmp24(const RgbImage& picture) {
    const auto w = static_cast<std::size_t>(picture.width), h = static_cast<std::size_t>(picture.height);
    const std::size_t stride = (w * 3 + 3) / 4 * 4;
    const std::size_t dataSize = stride * h;
    Bytes out;
    out.reserve(54 + dataSize);
    out.push_back('B');
    out.push_back('M');
    putLE(out, static_cast<std::uint32_t>(54 + dataSize), 4);
    putLE(out, 0, 4);
    putLE(out, 54, 4);
    putLE(out, 40, 4);
    putLE(out, static_cast<std::uint32_t>(w), 4);
    putLE(out, static_cast<std::uint32_t>(h), 4);
    putLE(out, 1, 2);
    putLE(out, 24, 2);
    putLE(out, kRgb, 4);
    putLE(out, static_cast<std::uint32_t>(dataSize), 4);
    putLE(out, 2835, 4);  // 72 dpi
    putLE(out, 2835, 4);
    putLE(out, 0, 4);
    putLE(out, 0, 4);
    for (std::size_t row = h; row-- > 0;) {
        for (std::size_t x = 0; x < w; ++x) {
            const Rgb c = picture.at(static_cast<int>(x), static_cast<int>(row));
            out.insert(out.end(), {c.b, c.g, c.r});
        }
        out.insert(out.end(), stride - w * 3, 0);
    }
    return out;
}

Status writeBmpFile(const std::string& path, const RgbImage& picture) {
    return writeFileAtomically(path, encodeBmp24(picture));
}

}  // namespace zarvelo
