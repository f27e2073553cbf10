#include "graphics/reduction.hpp"

#include "graphics/run_length.hpp"

#include <algorithm>
#include <climits>

namespace zarvelo {

namespace {

// Colour differences 0 and 1 rank alike: the merge threshold starts at 1.
int mergeKey(Rgb x, Rgb y) { return std::max(colourDifference(x, y), 1); }

}  // namespace

namespace {
// The entries of a set as merge slots: colour, pixel count and whether still separate.
struct Slots {
    std::array<Rgb, 256> colour{};
    std::array<std::int64_t, 256> pixels{};
    std::array<bool, 256> alive{};

    static Slots of(const ColourSet& from, int n) {
        Slots slots;
        for (int s = 0; s < n; ++s) {
            slots.colour[s] = from.palette[static_cast<std::size_t>(s)];
            slots.pixels[s] = from.pixelCounts[static_cast<std::size_t>(s)];
            slots.alive[s] = true;
        }
        return slots;
    }
};
}  // namespace

MergeSequence MergeSequence::compute(const ColourSet& from, int target) {
    MergeSequence seq;
    const int n = std::clamp(from.count, 0, 256);
    target = std::max(target, 1);
    if (n <= target) return seq;

    Slots slots = Slots::of(from, n);
    auto& colour = slots.colour;
    auto& pixels = slots.pixels;
    auto& alive = slots.alive;
    // Per entry the nearest later entry: the first pair in scan order with the smallest key.
    struct Best {
        int key = INT_MAX;
        int partner = -1;
    };
    std::array<Best, 256> best{};
    auto recompute = [&](int r) {
        Best b;
        for (int j = r + 1; j < n; ++j)
            if (alive[j]) {
                const int k = mergeKey(colour[r], colour[j]);
                if (k < b.key) b = {k, j};
            }
        best[r] = b;
    };
    for (int r = 0; r < n; ++r) recompute(r);

    for (int remaining = n; remaining > target; --remaining) {
        int a = -1;
        for (int r = 0; r < n; ++r)
            if (alive[r] && best[r].partner >= 0 && (a < 0 || best[r].key < best[a].key)) a = r;
        const int b = best[a].partner;
        int posA = 0, posB = 0;
        for (int r = 0; r < b; ++r)
            if (alive[r]) {
                if (r < a) ++posA;
                ++posB;
            }
        seq.merges_.push_back({static_cast<std::uint8_t>(posA), static_cast<std::uint8_t>(posB)});
        seq.slots_.push_back({static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b)});

        const bool colourChanged = pixels[a] < pixels[b];
        if (colourChanged) colour[a] = colour[b];
        pixels[a] += pixels[b];
        alive[b] = false;
        best[b] = {};

        recompute(a);
        for (int r = 0; r < b; ++r) {
            if (!alive[r] || r == a) continue;
            if (best[r].partner == b || (best[r].partner == a && colourChanged)) {
                recompute(r);
            } else if (r < a && colourChanged) {
                const int k = mergeKey(colour[r], colour[a]);
                if (k < best[r].key || (k == best[r].key && a < best[r].partner)) best[r] = {k, a};
            }
        }
    }
    return seq;
}

std::array<std::uint8_t, 256> MergeSequence::roots(int k) const {
    std::array<std::uint8_t, 256> root{};
    for (int s = 0; s < 256; ++s) root[s] = static_cast<std::uint8_t>(s);
    // Replaying in order, every entry that currently points at `from` moves to `into`.
    for (int m = 0; m < k; ++m) {
        const auto [into, from] = slots_[static_cast<std::size_t>(m)];
        for (auto& r : root)
            if (r == from) r = into;
    }
    return root;
}

ColourSet MergeSequence::apply(const ColourSet& from, int k) const {
    k = std::clamp(k, 0, size());
    if (k == 0) return from;
    const int n = from.count;
    Slots slots = Slots::of(from, n);
    auto& colour = slots.colour;
    auto& pixels = slots.pixels;
    auto& alive = slots.alive;
    for (int m = 0; m < k; ++m) {
        const auto [a, b] = slots_[static_cast<std::size_t>(m)];
        if (pixels[a] < pixels[b]) colour[a] = colour[b];
        pixels[a] += pixels[b];
        alive[b] = false;
    }
    std::array<std::uint8_t, 256> position{};
    ColourSet out;
    out.width = from.width;
    out.height = from.height;
    out.palette.fill(kGreyFiller);
    for (int s = 0; s < n; ++s)
        if (alive[s]) {
            position[s] = static_cast<std::uint8_t>(out.count);
            out.palette[static_cast<std::size_t>(out.count)] = colour[s];
            out.pixelCounts[static_cast<std::size_t>(out.count)] = static_cast<std::int32_t>(pixels[s]);
            ++out.count;
        }
    const auto root = roots(k);
    std::array<std::uint8_t, 256> remap{};
    for (int s = 0; s < 256; ++s) remap[s] = position[root[s]];
    out.index.resize(from.index.size());
    for (std::size_t p = 0; p < from.index.size(); ++p) out.index[p] = remap[from.index[p]];
    return out;
}

std::size_t MergeSequence::encodedSizeAfter(const ColourSet& from, int k) const {
    const auto root = roots(std::clamp(k, 0, size()));
    std::size_t runs = 0;
    for (int y = 0; y < from.height; ++y)
        forEachRun(from.index.data() + static_cast<std::size_t>(y) * from.width, from.width,
                   [&](std::uint8_t e) { return root[e]; }, [&](std::uint8_t, int) { ++runs; });
    return runs * 2;
}

int mergesToFit(const ColourSet& original, const MergeSequence& sequence, std::size_t imageDataSize) {
    if (encodedSize(original) <= imageDataSize) return 0;
    // Fewer colours never lengthen the code, so the first fitting prefix can be bisected.
    int bad = 0, good = sequence.size();
    if (sequence.encodedSizeAfter(original, good) > imageDataSize) return good;
    while (good - bad > 1) {
        const int mid = bad + (good - bad) / 2;
        if (sequence.encodedSizeAfter(original, mid) <= imageDataSize)
            good = mid;
        else
            bad = mid;
    }
    return good;
}

MaxFit MAX_berechne_Bild(const ColourSet& original, std::size_t imageDataSize) {
    const MergeSequence seq = MergeSequence::compute(original);
    const int k = mergesToFit(original, seq, imageDataSize);
    MaxFit fit;
    fit.set = seq.apply(original, k);
    fit.maximumPossible = fit.set.count;
    fit.fits = encodedSize(fit.set) <= imageDataSize;
    return fit;
}

SliderOutcome TB_StartbildChange(int aktCount, int maxCount, int available, int position) {
    const int p = std::clamp(position, 1, std::max(available, 1));
    if (aktCount > p && aktCount > 1) return {true, p, p};
    if (aktCount < p && aktCount < maxCount) {
        const int count = std::min(p, maxCount);
        return {true, count, count};
    }
    return {false, aktCount, aktCount};
}

SliderOutcome TB_DSPChange(int aktDspCount, int originalCount, int available, int position) {
    const int top = std::max(available, 1);
    const int p = std::clamp(position, 1, top);
    const int m = aktDspCount;
    int count = m;
    bool changed = false;
    if (m > p && m > 1) {
        count = m - 1;
        changed = true;
    } else if (m < p && m < top) {
        count = std::min(m + 1, originalCount);
        changed = true;
    }
    return {changed, count, std::clamp(count, 1, top)};
}

}  // namespace zarvelo
