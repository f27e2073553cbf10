#pragma once
// Pairwise colour reduction: the two most similar colours are merged first, the rarer one
// taking the colour of the more frequent one, until a set has few enough colours or its
// run-length code fits the firmware's space.
//
// The order of merges depends only on palette and pixel counts, so it is computed once per
// set on those (`MergeSequence`) and the pixels are remapped once. Every reduction of a set
// to p colours is a prefix of the same sequence, which is what makes the sliders reversible.

#include "graphics/colour_set.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zarvelo {

// One merge: entry b is merged into entry a (positions at the time, a < b).
struct Merge {
    std::uint8_t a = 0, b = 0;
    friend bool operator==(const Merge&, const Merge&) = default;
};

class MergeSequence {
public:
    MergeSequence() = default;
    // The merges that take `from` down to `target` colours (at least 1), in order.
    static MergeSequence compute(const ColourSet& from, int target = 1);

    int size() const { return static_cast<int>(merges_.size()); }
    const std::vector<Merge>& merges() const { return merges_; }

    // `from` after the first k merges (0 <= k <= size()); `from` must be the set the
    // sequence was computed for.
    ColourSet apply(const ColourSet& from, int k) const;
    // encodedSize(apply(from, k)) without building the set.
    std::size_t encodedSizeAfter(const ColourSet& from, int k) const;

private:
    struct SlotMerge {
        std::uint8_t into, from;  // entry numbers of the original set
    };
    // Original entry -> surviving original entry after k merges.
    std::array<std::uint8_t, 256> roots(int k) const;

    std::vector<Merge> merges_;
    std::vector<SlotMerge> slots_;
};

// Number of merges of `sequence` (computed down to one colour) after which `original` first
// fits into `imageDataSize` bytes; sequence.size() when even one colour does not fit.
int mergesToFit(const ColourSet& original, const MergeSequence& sequence, std::size_t imageDataSize);

struct MaxFit {
    ColourSet set;            // `MAX`, fitted to the image data size only
    int maximumPossible = 0;  // its colour count
    bool fits = false;        // false when not even one colour fits (damaged image data size)
};
// `MAX` := `O` reduced until its code fits the image data size.
MaxFit MAX_berechne_Bild(const ColourSet& original, std::size_t imageDataSize);

// --- sliders ---

struct SliderOutcome {
    bool changed = false;  // the set was recomputed: redraw it and fit the DSP logo again
    int count = 0;         // colour count of the set afterwards
    int position = 0;      // slider position afterwards
};

// Start image slider (minimum 1, maximum `available`) moved to `position`. The new `AKT` is
// `MAX` reduced to `count` colours.
SliderOutcome TB_StartbildChange(int aktCount, int maxCount, int available, int position);

// DSP slider (minimum 1, maximum `available`) moved to `position` by the user: one colour
// less or more per event. The new `AKT_DSP` is `O_DSP` reduced to `count` colours. Setting
// the position from the program never reduces the logo.
SliderOutcome TB_DSPChange(int aktDspCount, int originalCount, int available, int position);

}  // namespace zarvelo
