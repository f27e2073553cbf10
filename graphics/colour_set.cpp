#include "graphics/colour_set.hpp"

#include "graphics/run_length.hpp"

namespace zarvelo {

namespace {

std::uint32_t key(Rgb c) { return static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 | c.b; }

// Colour -> entry number for up to 257 colours. Entry numbers still follow first appearance;
// the table only replaces the linear search.
class ColourTable {
public:
    ColourTable() { slots_.fill(kEmpty); }
    // The entry of `k`, or -1.
    int find(std::uint32_t k) const {
        for (std::size_t i = hash(k);; i = (i + 1) & kMask) {
            if (slots_[i] == kEmpty) return -1;
            if (keys_[i] == k) return slots_[i];
        }
    }
    void insert(std::uint32_t k, int entry) {
        std::size_t i = hash(k);
        while (slots_[i] != kEmpty) i = (i + 1) & kMask;
        keys_[i] = k;
        slots_[i] = static_cast<std::int16_t>(entry);
    }

private:
    static constexpr std::size_t kSize = 1024, kMask = kSize - 1;
    static constexpr std::int16_t kEmpty = -1;
    static std::size_t hash(std::uint32_t k) { return (k * 2654435761u) >> 22 & kMask; }
    std::array<std::uint32_t, kSize> keys_{};
    std::array<std::int16_t, kSize> slots_{};
};

}  // namespace

int START_zaehle_Farben(const RgbImage& picture) {
    const std::size_t pixels = static_cast<std::size_t>(picture.width) * picture.height;
    if (pixels == 0 || picture.rgb.size() < pixels * 3) return 0;
    ColourTable table;
    int count = 0;
    std::uint32_t lastKey = 0xFFFFFFFF;  // pictures come in runs: skip the lookup for a repeat
    for (std::size_t p = 0; p < pixels; ++p) {
        const std::uint8_t* c = &picture.rgb[p * 3];
        const std::uint32_t k = static_cast<std::uint32_t>(c[0]) << 16 | static_cast<std::uint32_t>(c[1]) << 8 | c[2];
        if (k == lastKey) continue;
        lastKey = k;
        if (table.find(k) >= 0) continue;
        if (++count > 256) return 0;
        table.insert(k, count - 1);
    }
    return count;
}

std::optional<ColourSet> buildColourSet(const RgbImage& picture, Rgb filler) {
    const std::size_t pixels = static_cast<std::size_t>(picture.width) * picture.height;
    if (pixels == 0 || picture.rgb.size() < pixels * 3) return std::nullopt;
    ColourSet set;
    set.width = picture.width;
    set.height = picture.height;
    set.palette.fill(filler);
    set.index.assign(pixels, 0);
    ColourTable table;
    std::uint32_t lastKey = 0xFFFFFFFF;
    int lastEntry = -1;
    for (std::size_t p = 0; p < pixels; ++p) {
        const Rgb c{picture.rgb[p * 3], picture.rgb[p * 3 + 1], picture.rgb[p * 3 + 2]};
        const std::uint32_t k = key(c);
        int entry = k == lastKey ? lastEntry : table.find(k);
        if (entry < 0) {
            if (set.count == 256) return std::nullopt;
            entry = set.count++;
            set.palette[static_cast<std::size_t>(entry)] = c;
            table.insert(k, entry);
        }
        lastKey = k;
        lastEntry = entry;
        set.index[p] = static_cast<std::uint8_t>(entry);
        ++set.pixelCounts[static_cast<std::size_t>(entry)];
    }
    return set;
}

std::size_t encodedSize(const std::vector<std::uint8_t>& index, int width, int height) {
    std::size_t runs = 0;
    for (int y = 0; y < height; ++y)
        forEachRun(index.data() + static_cast<std::size_t>(y) * width, width, [&](std::uint8_t, int) { ++runs; });
    return runs * 2;
}

RgbImage renderIndices(const ColourSet& set, const Palette& palette) {
    RgbImage img(set.width, set.height, kGreyFiller);
    for (std::size_t p = 0; p < set.index.size(); ++p) {
        const Rgb c = palette[set.index[p]];
        img.rgb[p * 3] = c.r;
        img.rgb[p * 3 + 1] = c.g;
        img.rgb[p * 3 + 2] = c.b;
    }
    return img;
}

RgbImage renderColourSet(const ColourSet& set) { return renderIndices(set, set.palette); }

std::array<std::int32_t, 256> countPixels(const std::vector<std::uint8_t>& index) {
    std::array<std::int32_t, 256> counts{};
    for (auto e : index) ++counts[e];
    return counts;
}

}  // namespace zarvelo
