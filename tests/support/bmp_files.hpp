#pragma once
// BMP files built byte by byte, for the picture loader's tests and the window tests: every
// header kind, bit depth, compression and colour table the loader reads.

#include "flash/bytes.hpp"

#include <cstdint>
#include <vector>

namespace zarvelo::test {

inline void putLE(Bytes& out, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

struct BmpLayout {
    int width = 4, height = 3;  // negative height: top-down
    int bits = 24;
    std::uint32_t compression = 0;
    Bytes table{};                       // colour table as stored
    std::vector<std::uint32_t> masks{};  // after a 40-byte header
    bool os2 = false;
    int headerSize = 40;                 // 40, 108 or 124 (masks inside)
};

// The file for the layout, with `pixels` as the stored pixel data.
inline Bytes bmpFile(const BmpLayout& s, const Bytes& pixels) {
    Bytes info;
    if (s.os2) {
        putLE(info, 12, 4);
        putLE(info, static_cast<std::uint32_t>(s.width), 2);
        putLE(info, static_cast<std::uint32_t>(s.height), 2);
        putLE(info, 1, 2);
        putLE(info, static_cast<std::uint32_t>(s.bits), 2);
    } else {
        putLE(info, static_cast<std::uint32_t>(s.headerSize), 4);
        putLE(info, static_cast<std::uint32_t>(s.width), 4);
        putLE(info, static_cast<std::uint32_t>(s.height), 4);
        putLE(info, 1, 2);
        putLE(info, static_cast<std::uint32_t>(s.bits), 2);
        putLE(info, s.compression, 4);
        putLE(info, static_cast<std::uint32_t>(pixels.size()), 4);
        putLE(info, 2835, 4);
        putLE(info, 2835, 4);
        putLE(info, 0, 4);
        putLE(info, 0, 4);
        for (std::uint32_t m : s.masks) putLE(info, m, 4);
        info.resize(static_cast<std::size_t>(s.headerSize) + (s.headerSize == 40 ? s.masks.size() * 4 : 0), 0);
    }
    const std::size_t offset = 14 + info.size() + s.table.size();
    Bytes file = {'B', 'M'};
    putLE(file, static_cast<std::uint32_t>(offset + pixels.size()), 4);
    putLE(file, 0, 4);
    putLE(file, static_cast<std::uint32_t>(offset), 4);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), s.table.begin(), s.table.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

}  // namespace zarvelo::test
