#pragma once
// The firmware's run-length code of a picture row: runs of equal palette entries, at most
// 255 pixels long, cut at the row end. Counting the code's size, the reduction's size
// estimate and the encoder all walk rows this one way.

#include <cstdint>

namespace zarvelo {

inline constexpr int kMaxRunLength = 255;

// Calls visit(entry, length) for each run of `row` (width pixels), left to right, with each
// pixel's entry taken as map(pixel).
template <class Map, class Visit>
void forEachRun(const std::uint8_t* row, int width, Map&& map, Visit&& visit) {
    for (int x = 0; x < width;) {
        const std::uint8_t entry = map(row[x]);
        int n = 1;
        while (x + n < width && n < kMaxRunLength && map(row[x + n]) == entry) ++n;
        visit(entry, n);
        x += n;
    }
}

template <class Visit>
void forEachRun(const std::uint8_t* row, int width, Visit&& visit) {
    forEachRun(row, width, [](std::uint8_t e) { return e; }, visit);
}

}  // namespace zarvelo
