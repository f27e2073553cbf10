#pragma once
// Plain, literal implementations of the editor's procedures, step by step as they are
// described, without any shortcut. The fast product code must give exactly their results.

#include "graphics/colour_set.hpp"
#include "graphics/dsp_fit.hpp"

#include <cstdlib>
#include <vector>

namespace zarvelo::reference {

inline ColourSet buildSet(const RgbImage& pic, Rgb filler) {
    ColourSet s;
    s.width = pic.width;
    s.height = pic.height;
    s.index.assign(static_cast<std::size_t>(pic.width) * pic.height, 0);
    s.palette.fill(filler);
    s.palette[0] = pic.at(0, 0);
    s.count = 1;
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x) {
            const Rgb c = pic.at(x, y);
            int found = -1;
            for (int e = 0; e < s.count; ++e)
                if (s.palette[e] == c) {
                    found = e;
                    break;
                }
            if (found < 0) {
                found = s.count++;
                s.palette[found] = c;
            }
            ++s.pixelCounts[found];
            s.index[static_cast<std::size_t>(y) * pic.width + x] = static_cast<std::uint8_t>(found);
        }
    return s;
}

inline void entferneEintrag(ColourSet& s, int a, int b) {
    if (s.pixelCounts[a] < s.pixelCounts[b]) {
        std::swap(s.palette[a], s.palette[b]);
        for (auto& e : s.index) {
            if (e == a)
                e = static_cast<std::uint8_t>(b);
            else if (e == b)
                e = static_cast<std::uint8_t>(a);
        }
    }
    for (int e = b; e < s.count - 1; ++e) s.palette[e] = s.palette[e + 1];
    for (int e = s.count - 1; e < 256; ++e) s.palette[e] = {128, 128, 128};
    for (auto& e : s.index)
        if (e == b) e = static_cast<std::uint8_t>(a);
    for (auto& e : s.index)
        if (e > b) --e;
    s.pixelCounts.fill(0);
    for (auto e : s.index) ++s.pixelCounts[e];
}

inline int difference(Rgb x, Rgb y) { return std::abs(x.r - y.r) + std::abs(x.g - y.g) + std::abs(x.b - y.b); }

inline void reduceToColor(ColourSet& s, int target) {
    while (s.count > target) {
        int threshold = 1;
        for (bool merged = false; !merged; ++threshold)
            for (int a = 0; a < s.count && !merged; ++a)
                for (int b = a + 1; b < s.count && !merged; ++b)
                    if (difference(s.palette[a], s.palette[b]) <= threshold) {
                        entferneEintrag(s, a, b);
                        --s.count;
                        merged = true;
                    }
    }
}

inline ColourSet maxBerechneBild(const ColourSet& o, std::size_t imageDataSize, int& maximumPossible) {
    ColourSet max = o;
    while (encodedSize(max) > imageDataSize && max.count > 1) reduceToColor(max, max.count - 1);
    maximumPossible = max.count;
    return max;
}

// The fitting loop with its threshold raised one step at a time.
struct Fit {
    int identical = 0, needed = 0, threshold = 0, total = 0;
    Palette combined{}, finalDspPalette{};
    std::vector<std::uint8_t> finalImage;
};

inline Fit dspFit(const ColourSet& akt, const ColourSet& dsp, int available) {
    Fit f;
    const int nS = akt.count, nD = dsp.count;
    std::vector<int> assigned(static_cast<std::size_t>(nD), -1);
    f.finalDspPalette = dsp.palette;
    f.combined = akt.palette;
    for (int s = 0; s < nS; ++s)
        for (int d = 0; d < nD; ++d)
            if (akt.palette[s] == dsp.palette[d]) {
                assigned[d] = s;
                ++f.identical;
            }
    f.needed = nS + nD - f.identical;
    const int excess = f.needed - available;
    int replaced = 0;
    while (replaced < excess) {
        ++f.threshold;
        bool done = false;
        for (int s = 0; s < nS && !done; ++s)
            for (int d = 0; d < nD && !done; ++d)
                if (assigned[d] < 0 && difference(akt.palette[s], dsp.palette[d]) < f.threshold) {
                    assigned[d] = s;
                    if (++replaced == excess) done = true;
                }
    }
    f.total = f.needed - replaced;
    int fresh = 0;
    for (int d = 0; d < nD; ++d) {
        if (assigned[d] >= 0) {
            f.finalDspPalette[d] = akt.palette[assigned[d]];
        } else {
            f.combined[nS + fresh] = dsp.palette[d];
            assigned[d] = nS + fresh++;
        }
    }
    for (auto e : dsp.index) f.finalImage.push_back(static_cast<std::uint8_t>(assigned[e]));
    for (int e = f.total; e < 256; ++e) f.combined[e] = {255, 255, 255};
    return f;
}

}  // namespace zarvelo::reference
