#include "graphics/palette_quantiser.hpp"

#include <algorithm>
#include <limits>
#include <numeric>

namespace zarvelo {

namespace {

constexpr int kCellBits = 5;

int cellKey(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    constexpr int shift = 8 - kCellBits;
    return (r >> shift) << (2 * kCellBits) | (g >> shift) << kCellBits | (b >> shift);
}

// Pixel-weighted sums of a run of cells, enough for the squared error around their mean.
struct Moments {
    double pixels = 0;
    std::array<double, 3> sum{}, sumSq{};

    void add(const ColourCell& c) {
        pixels += c.pixels;
        for (int a = 0; a < 3; ++a) {
            sum[a] += c.pointSum[a];
            sumSq[a] += c.pointSum[a] * c.mean[a];
        }
    }
    double error(int a) const { return pixels > 0 ? sumSq[a] - sum[a] * sum[a] / pixels : 0.0; }
    double error() const { return error(0) + error(1) + error(2); }
    std::array<float, 3> mean() const {
        return {static_cast<float>(sum[0] / pixels), static_cast<float>(sum[1] / pixels), static_cast<float>(sum[2] / pixels)};
    }
};

struct Box {
    std::size_t begin = 0, end = 0;  // range of `order`
    Moments moments;
};

Moments momentsOf(const std::vector<ColourCell>& cells, const std::vector<std::uint32_t>& order, std::size_t b, std::size_t e) {
    Moments m;
    for (std::size_t i = b; i < e; ++i) m.add(cells[order[i]]);
    return m;
}

// Cuts the cells into up to `count` boxes, always the box whose cut lowers the error most
// along its widest axis, at the best place along that axis.
std::vector<std::array<float, 3>> medianCut(const std::vector<ColourCell>& cells, int count) {
    std::vector<std::uint32_t> order(cells.size());
    std::iota(order.begin(), order.end(), 0u);
    std::vector<Box> boxes = {{0, order.size(), momentsOf(cells, order, 0, order.size())}};
    while (static_cast<int>(boxes.size()) < count) {
        int pick = -1;
        for (int i = 0; i < static_cast<int>(boxes.size()); ++i)
            if (boxes[i].end - boxes[i].begin > 1 && boxes[i].moments.error() > 0 &&
                (pick < 0 || boxes[i].moments.error() > boxes[pick].moments.error()))
                pick = i;
        if (pick < 0) break;
        Box& box = boxes[static_cast<std::size_t>(pick)];
        int axis = 0;
        for (int a = 1; a < 3; ++a)
            if (box.moments.error(a) > box.moments.error(axis)) axis = a;
        const auto first = order.begin() + static_cast<std::ptrdiff_t>(box.begin);
        const auto last = order.begin() + static_cast<std::ptrdiff_t>(box.end);
        std::stable_sort(first, last, [&](std::uint32_t x, std::uint32_t y) { return cells[x].mean[axis] < cells[y].mean[axis]; });
        Moments left;
        double bestError = std::numeric_limits<double>::infinity();
        std::size_t cut = box.begin + 1;
        for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
            left.add(cells[order[i]]);
            Moments right = box.moments;
            for (int a = 0; a < 3; ++a) {
                right.sum[a] -= left.sum[a];
                right.sumSq[a] -= left.sumSq[a];
            }
            right.pixels -= left.pixels;
            const double e = left.error() + right.error();
            if (e < bestError) {
                bestError = e;
                cut = i + 1;
            }
        }
        Box upper{cut, box.end, momentsOf(cells, order, cut, box.end)};
        box.end = cut;
        box.moments = momentsOf(cells, order, box.begin, cut);
        boxes.push_back(upper);
    }
    std::vector<std::array<float, 3>> centres;
    for (const Box& b : boxes) centres.push_back(b.moments.mean());
    return centres;
}

void kmeans(const std::vector<ColourCell>& cells, std::vector<std::array<float, 3>>& centres, int rounds) {
    for (int round = 0; round < rounds; ++round) {
        std::vector<Moments> sums(centres.size());
        for (const ColourCell& c : cells) sums[static_cast<std::size_t>(nearestPoint(centres, c.mean))].add(c);
        bool moved = false;
        for (std::size_t k = 0; k < centres.size(); ++k)
            if (sums[k].pixels > 0) {
                const auto m = sums[k].mean();
                moved = moved || m != centres[k];
                centres[k] = m;
            }
        if (!moved) break;
    }
}

}  // namespace

int nearestPoint(const std::vector<std::array<float, 3>>& palette, const std::array<float, 3>& p) {
    int best = 0;
    float bestDistance = std::numeric_limits<float>::infinity();
    for (std::size_t k = 0; k < palette.size(); ++k) {
        const float d = squaredDistance(palette[k], p);
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(k);
        }
    }
    return best;
}

namespace {

// 1 / (2 var + c2) of the luma in the 7 x 7 window around each pixel (clipped at the
// borders), the factor by which SSIM divides an error's variance, mixed with plain weight 1.
std::vector<float> structureWeights(const RgbImage& picture, float structure) {
    const int w = picture.width, h = picture.height;
    const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    std::vector<float> out(n, 1.0f);
    if (structure <= 0 || n == 0) return out;
    // Integral images of luma and its square.
    const std::size_t stride = static_cast<std::size_t>(w) + 1;
    std::vector<double> sum(stride * (static_cast<std::size_t>(h) + 1)), sumSq(sum.size());
    for (int y = 0; y < h; ++y) {
        double rowSum = 0, rowSq = 0;
        for (int x = 0; x < w; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)) * 3;
            const double l = 0.299 * picture.rgb[i] + 0.587 * picture.rgb[i + 1] + 0.114 * picture.rgb[i + 2];
            rowSum += l;
            rowSq += l * l;
            const std::size_t at = (static_cast<std::size_t>(y) + 1) * stride + static_cast<std::size_t>(x) + 1;
            sum[at] = sum[at - stride] + rowSum;
            sumSq[at] = sumSq[at - stride] + rowSq;
        }
    }
    constexpr double c2 = (0.03 * 255) * (0.03 * 255);
    constexpr int r = 3;
    std::vector<double> raw(n);
    double total = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t x0 = static_cast<std::size_t>(std::max(x - r, 0)), x1 = static_cast<std::size_t>(std::min(x + r + 1, w));
            const std::size_t y0 = static_cast<std::size_t>(std::max(y - r, 0)), y1 = static_cast<std::size_t>(std::min(y + r + 1, h));
            const double count = static_cast<double>((x1 - x0) * (y1 - y0));
            auto box = [&](const std::vector<double>& v) {
                return v[y1 * stride + x1] - v[y0 * stride + x1] - v[y1 * stride + x0] + v[y0 * stride + x0];
            };
            const double mean = box(sum) / count;
            const double var = std::max(box(sumSq) / count - mean * mean, 0.0);
            const double v = 1.0 / (2 * var + c2);
            raw[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] = v;
            total += v;
        }
    const double scale = static_cast<double>(n) / total;
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<float>((1 - structure) + structure * raw[i] * scale);
    return out;
}

}  // namespace

PicturePoints PicturePoints::of(const RgbImage& picture, const PerceptualSpace& space, float structure) {
    PicturePoints pts;
    pts.width = picture.width;
    pts.height = picture.height;
    pts.space = space;
    const std::size_t n = static_cast<std::size_t>(picture.width) * picture.height;
    for (auto& axis : pts.point) axis.resize(n);
    pts.cellOf.resize(n);

    std::vector<std::uint32_t> colours(n);
    for (std::size_t i = 0; i < n; ++i)
        colours[i] = static_cast<std::uint32_t>(picture.rgb[3 * i]) << 16 | picture.rgb[3 * i + 1] << 8 | picture.rgb[3 * i + 2];
    std::vector<std::uint32_t> sorted = colours;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    if (sorted.size() <= 256)
        for (std::uint32_t c : sorted)
            pts.distinct.push_back({static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c)});

    // Each distinct colour is converted once; photos repeat colours often enough for this to pay.
    std::vector<std::array<float, 3>> pointOfColour(sorted.size());
    for (std::size_t k = 0; k < sorted.size(); ++k) {
        const std::uint32_t c = sorted[k];
        pointOfColour[k] = space.toPoint({static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c)});
    }
    std::vector<std::int32_t> cellIndex(1u << (3 * kCellBits), -1);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t k = static_cast<std::size_t>(std::lower_bound(sorted.begin(), sorted.end(), colours[i]) - sorted.begin());
        const auto& p = pointOfColour[k];
        for (int a = 0; a < 3; ++a) pts.point[a][i] = p[a];
        const int key = cellKey(picture.rgb[3 * i], picture.rgb[3 * i + 1], picture.rgb[3 * i + 2]);
        cellIndex[static_cast<std::size_t>(key)] = 0;
    }
    // Cells numbered in key order, so the result does not depend on pixel order.
    std::int32_t next = 0;
    for (auto& c : cellIndex)
        if (c == 0) c = next++;
    pts.cells.resize(static_cast<std::size_t>(next));
    for (std::size_t i = 0; i < n; ++i) {
        const int key = cellKey(picture.rgb[3 * i], picture.rgb[3 * i + 1], picture.rgb[3 * i + 2]);
        const auto id = static_cast<std::uint16_t>(cellIndex[static_cast<std::size_t>(key)]);
        pts.cellOf[i] = id;
        ColourCell& cell = pts.cells[id];
        ++cell.pixels;
        for (int a = 0; a < 3; ++a) cell.pointSum[a] += pts.point[a][i];
    }
    for (ColourCell& cell : pts.cells)
        for (int a = 0; a < 3; ++a) cell.mean[a] = static_cast<float>(cell.pointSum[a] / cell.pixels);
    pts.weight = structureWeights(picture, structure);
    return pts;
}

std::vector<Rgb> choosePalette(const PicturePoints& points, int entries, int kmeansRounds) {
    if (!points.distinct.empty() && static_cast<int>(points.distinct.size()) <= entries) return points.distinct;
    std::vector<std::array<float, 3>> centres = medianCut(points.cells, entries);
    kmeans(points.cells, centres, kmeansRounds);
    std::vector<Rgb> palette;
    for (const auto& c : centres) {
        const Rgb rgb = points.space.toRgb(c);
        if (std::find(palette.begin(), palette.end(), rgb) == palette.end()) palette.push_back(rgb);
    }
    return palette;
}

}  // namespace zarvelo
