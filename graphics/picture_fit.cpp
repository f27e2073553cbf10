#include "graphics/picture_fit.hpp"

#include "graphics/colour_set.hpp"
#include "graphics/encoder.hpp"
#include "graphics/messages.hpp"
#include "graphics/palette_quantiser.hpp"
#include "graphics/picture_quality.hpp"
#include "graphics/reduction.hpp"
#include "graphics/run_budget.hpp"

#include <algorithm>
#include <array>
#include <optional>

namespace zarvelo {

namespace {

// Null when the entry count is usable, otherwise the reason it is not.
const char* entriesRefusal(int entries) {
    return entries < 1 ? msg::kFitNoEntries : entries > 256 ? msg::kFitTooManyEntries : nullptr;
}

// Each palette colour moved to the mean of the pixels it got; colours left without pixels
// take the mean of the runs that miss their pixels most, where another colour helps most.
std::vector<Rgb> refinePalette(const PicturePoints& points, const RunAssignment& a, const std::vector<Rgb>& palette) {
    const std::size_t k = palette.size();
    std::vector<std::array<double, 4>> sums(k, std::array<double, 4>{});
    for (std::size_t i = 0; i < a.index.size(); ++i) {
        auto& s = sums[a.index[i]];
        const double w = points.weight[i];
        for (int c = 0; c < 3; ++c) s[static_cast<std::size_t>(c)] += w * points.point[static_cast<std::size_t>(c)][i];
        s[3] += w;
    }
    std::vector<Rgb> out(palette);
    std::vector<std::size_t> unused;
    for (std::size_t e = 0; e < k; ++e) {
        if (sums[e][3] == 0) {
            unused.push_back(e);
            continue;
        }
        out[e] = points.space.toRgb({static_cast<float>(sums[e][0] / sums[e][3]), static_cast<float>(sums[e][1] / sums[e][3]),
                                     static_cast<float>(sums[e][2] / sums[e][3])});
    }
    if (unused.empty()) return out;

    struct Run {
        double error;
        std::array<float, 3> mean;
    };
    std::vector<Run> runs;
    const int w = points.width;
    std::vector<std::array<float, 3>> palPoints;
    for (const Rgb c : palette) palPoints.push_back(points.space.toPoint(c));
    for (int y = 0; y < points.height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (int x = 0; x < w;) {
            const std::uint8_t e = a.index[row + static_cast<std::size_t>(x)];
            int n = 0;
            std::array<double, 3> sum{};
            double error = 0, weights = 0;
            while (x + n < w && a.index[row + static_cast<std::size_t>(x + n)] == e) {
                const std::size_t i = row + static_cast<std::size_t>(x + n);
                const std::array<float, 3> p = {points.point[0][i], points.point[1][i], points.point[2][i]};
                const double wi = points.weight[i];
                for (int c = 0; c < 3; ++c) sum[static_cast<std::size_t>(c)] += wi * p[static_cast<std::size_t>(c)];
                error += wi * squaredDistance(p, palPoints[e]);
                weights += wi;
                ++n;
            }
            runs.push_back({error, {static_cast<float>(sum[0] / weights), static_cast<float>(sum[1] / weights),
                                    static_cast<float>(sum[2] / weights)}});
            x += n;
        }
    }
    const std::size_t take = std::min(unused.size(), runs.size());
    std::partial_sort(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(take), runs.end(),
                      [](const Run& x, const Run& y) { return x.error > y.error; });
    for (std::size_t u = 0; u < take; ++u) out[unused[u]] = points.space.toRgb(runs[u].mean);
    return out;
}

// With the runs fixed, the colours and the runs' choices are refined in turn (k-means over
// the runs): each colour moves to the mean of its runs' pixels, then each run takes the
// colour that suits its pixels best. Neither step adds a run, so the code still fits.
void polishRuns(const PicturePoints& points, RunAssignment& a, std::vector<Rgb>& palette, int iterations) {
    struct Run {
        std::size_t begin = 0;
        int length = 0;
        double weights = 0;          // sum of the pixels' weights w
        std::array<double, 3> sum{};  // sum of w p
    };
    std::vector<Run> runs;
    const int w = points.width;
    for (int y = 0; y < points.height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (int x = 0; x < w;) {
            Run r;
            r.begin = row + static_cast<std::size_t>(x);
            const std::uint8_t e = a.index[r.begin];
            for (; x < w && a.index[row + static_cast<std::size_t>(x)] == e; ++x, ++r.length) {
                const std::size_t i = row + static_cast<std::size_t>(x);
                const double wi = points.weight[i];
                for (std::size_t c = 0; c < 3; ++c) r.sum[c] += wi * points.point[c][i];
                r.weights += wi;
            }
            runs.push_back(r);
        }
    }
    const std::size_t k = palette.size();
    std::vector<std::uint8_t> colour(runs.size());
    for (std::size_t r = 0; r < runs.size(); ++r) colour[r] = a.index[runs[r].begin];
    std::vector<std::array<float, 3>> pal(k);
    for (int it = 0; it < iterations; ++it) {
        std::vector<std::array<double, 4>> sums(k, std::array<double, 4>{});
        for (std::size_t r = 0; r < runs.size(); ++r) {
            auto& s = sums[colour[r]];
            for (std::size_t c = 0; c < 3; ++c) s[c] += runs[r].sum[c];
            s[3] += runs[r].weights;
        }
        for (std::size_t e = 0; e < k; ++e)
            if (sums[e][3] > 0)
                palette[e] = points.space.toRgb({static_cast<float>(sums[e][0] / sums[e][3]), static_cast<float>(sums[e][1] / sums[e][3]),
                                                 static_cast<float>(sums[e][2] / sums[e][3])});
        for (std::size_t e = 0; e < k; ++e) pal[e] = points.space.toPoint(palette[e]);
        // A run's mean lies near its colour, so only that colour's nearest neighbours are tried.
        const std::size_t tried = std::min<std::size_t>(k, 12);
        std::vector<std::uint8_t> near(k * tried);
        std::vector<std::pair<float, std::size_t>> order(k);
        for (std::size_t e = 0; e < k; ++e) {
            for (std::size_t f = 0; f < k; ++f) order[f] = {squaredDistance(pal[e], pal[f]), f};
            std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(tried), order.end());
            for (std::size_t m = 0; m < tried; ++m) near[e * tried + m] = static_cast<std::uint8_t>(order[m].second);
        }
        bool changed = false;
        for (std::size_t r = 0; r < runs.size(); ++r) {
            const Run& run = runs[r];
            // The run's error w |p - c|^2 summed, less the part that is the same for every c.
            auto cost = [&](std::size_t e) {
                const auto& c = pal[e];
                return run.weights * (static_cast<double>(c[0]) * c[0] + static_cast<double>(c[1]) * c[1] + static_cast<double>(c[2]) * c[2]) -
                       2 * (c[0] * run.sum[0] + c[1] * run.sum[1] + c[2] * run.sum[2]);
            };
            std::size_t best = colour[r];
            double bestCost = cost(best);
            for (std::size_t m = 0; m < tried; ++m) {
                const std::size_t e = near[colour[r] * tried + m];
                const double c = cost(e);
                // A clear margin, so rounding never makes the choice swing back and forth.
                if (c < bestCost - 1e-9 * run.weights) {
                    bestCost = c;
                    best = e;
                }
            }
            if (best != colour[r]) {
                colour[r] = static_cast<std::uint8_t>(best);
                changed = true;
            }
        }
        if (!changed) break;
    }
    for (std::size_t r = 0; r < runs.size(); ++r)
        std::fill_n(a.index.begin() + static_cast<std::ptrdiff_t>(runs[r].begin), runs[r].length, colour[r]);
}

// Keeps only the colours in use, each once, numbered in order of first use.
PictureFit compact(int width, int height, const std::vector<std::uint8_t>& index, const std::vector<Rgb>& palette) {
    PictureFit fit;
    fit.width = width;
    fit.height = height;
    fit.index.resize(index.size());
    std::array<int, 256> map;
    map.fill(-1);
    for (std::size_t i = 0; i < index.size(); ++i) {
        int& m = map[index[i]];
        if (m < 0) {
            const Rgb c = palette[index[i]];
            const auto at = std::find(fit.palette.begin(), fit.palette.end(), c);
            m = static_cast<int>(at - fit.palette.begin());
            if (at == fit.palette.end()) fit.palette.push_back(c);
        }
        fit.index[i] = static_cast<std::uint8_t>(m);
    }
    return fit;
}

std::size_t pairsOf(const PictureFit& fit) {
    std::size_t pairs = 0;
    for (int y = 0; y < fit.height; ++y) pairs += rowPairs(fit.index.data() + static_cast<std::size_t>(y) * fit.width, fit.width);
    return pairs;
}

// The whole picture in its mean colour: two runs per row, which any valid space holds.
PictureFit oneColour(const RgbImage& picture) {
    std::array<unsigned long long, 3> sum{};
    const std::size_t n = static_cast<std::size_t>(picture.width) * picture.height;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t c = 0; c < 3; ++c) sum[c] += picture.rgb[3 * i + c];
    const Rgb mean{static_cast<std::uint8_t>((sum[0] + n / 2) / n), static_cast<std::uint8_t>((sum[1] + n / 2) / n),
                   static_cast<std::uint8_t>((sum[2] + n / 2) / n)};
    return compact(picture.width, picture.height, std::vector<std::uint8_t>(n, 0), {mean});
}

// The road a patient user takes by hand: the picture reduced to `colours` colours without
// dithering, then the editor's pairwise merging until the code fits and the entries suffice.
// Flat artwork with hard edges sometimes comes out better this way.
std::optional<PictureFit> classicRoad(const RgbImage& picture, const PicturePoints& points, int colours,
                                      std::size_t imageDataSize, int entries, int kmeansRounds) {
    const std::vector<Rgb> palette = choosePalette(points, colours, kmeansRounds);
    std::vector<std::array<float, 3>> palPoints;
    for (const Rgb c : palette) palPoints.push_back(points.space.toPoint(c));
    RgbImage reduced(picture.width, picture.height);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Rgb c = palette[static_cast<std::size_t>(nearestPoint(palPoints, {points.point[0][i], points.point[1][i], points.point[2][i]}))];
        reduced.rgb[3 * i] = c.r;
        reduced.rgb[3 * i + 1] = c.g;
        reduced.rgb[3 * i + 2] = c.b;
    }
    const auto original = OriginalBild_FarbPal(reduced);
    if (!original) return std::nullopt;
    const MergeSequence merges = MergeSequence::compute(*original);
    const int k = std::clamp(std::max(mergesToFit(*original, merges, imageDataSize), original->count - entries), 0, merges.size());
    const ColourSet set = merges.apply(*original, k);
    if (set.count > entries || encodedSize(set) > imageDataSize) return std::nullopt;
    return compact(picture.width, picture.height, set.index, std::vector<Rgb>(set.palette.begin(), set.palette.begin() + set.count));
}

bool wellFormed(const RgbImage& picture) {
    return picture.rgb.size() == static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 3;
}

// Null when the picture has the size asked for and the entry count is usable, otherwise the reason.
const char* pictureRefusal(const RgbImage& picture, int width, int height, const char* wrongSize, int entries) {
    if (picture.width != width || picture.height != height || !wellFormed(picture)) return wrongSize;
    return entriesRefusal(entries);
}

}  // namespace

RgbImage PictureFit::picture() const {
    RgbImage out(width, height);
    for (std::size_t i = 0; i < index.size(); ++i) {
        const Rgb c = palette[index[i]];
        out.rgb[3 * i] = c.r;
        out.rgb[3 * i + 1] = c.g;
        out.rgb[3 * i + 2] = c.b;
    }
    return out;
}

Result<PictureFit> fitStartImage(const RgbImage& picture, std::size_t imageDataSize, int entries) {
    return fitStartImage(picture, imageDataSize, entries, FitSettings{});
}

Result<PictureFit> fitStartImage(const RgbImage& picture, std::size_t imageDataSize, int entries,
                                 const FitSettings& settings) {
    if (const char* why =
            pictureRefusal(picture, kStartImageWidth, kStartImageHeight, msg::kFitNotStartImageSize, entries))
        return Status::failure(why);
    if (imageDataSize % 2 != 0 || imageDataSize > kMaxImageDataSize)
        return Status::failure(msg::kInvalidStartImageSpace);
    if (imageDataSize < kMinImageDataSize) return Status::failure(msg::kFitSpaceTooSmall);

    const std::size_t maxPairs = imageDataSize / 2;
    const PicturePoints points = PicturePoints::of(picture, settings.space, settings.structure);
    std::vector<Rgb> palette = choosePalette(points, entries, settings.kmeansRounds);
    RunBudgetFitter fitter(points, settings.candidates, settings.states);
    double price = 0;
    // Every round's result is a candidate; the most similar one (SSIM) is kept.
    PictureFit fit;
    double similarity = -2;
    const int rounds = std::max(settings.rounds, 1);
    for (int round = 0; round < rounds; ++round) {
        fitter.setPalette(palette);
        // The rounds before the last only steer the palette; a rougher price does for them.
        RunAssignment a = fitter.fit(maxPairs, price, round + 1 < rounds ? 0.97 : 0.995);
        polishRuns(points, a, palette, settings.polish);
        if (a.pairs <= maxPairs) {
            PictureFit candidate = compact(picture.width, picture.height, a.index, palette);
            const double s = ssim(candidate.picture(), picture);
            // Merging equal colours only joins runs; the check guards the promise all the same.
            if (s > similarity && pairsOf(candidate) <= maxPairs) {
                similarity = s;
                fit = std::move(candidate);
            }
        }
        if (round + 1 < rounds) palette = refinePalette(points, a, palette);
    }
    if (fit.index.empty()) fit = oneColour(picture);
    if (settings.classicRoad) {
        // Taken only when clearly more similar: the fit keeps far more of the colours.
        double bestSimilarity = similarity + 0.002;
        for (const int colours : {8, 16, 32}) {
            auto classic = classicRoad(picture, points, colours, imageDataSize, entries, settings.kmeansRounds);
            if (!classic) continue;
            const double similarity = ssim(classic->picture(), picture);
            if (similarity > bestSimilarity && pairsOf(*classic) <= maxPairs) {
                bestSimilarity = similarity;
                fit = std::move(*classic);
            }
        }
    }
    return fit;
}

Result<PictureFit> fitDspLogo(const RgbImage& picture, int entries) {
    return fitDspLogo(picture, entries, FitSettings{});
}

Result<PictureFit> fitDspLogo(const RgbImage& picture, int entries, const FitSettings& settings) {
    if (const char* why = pictureRefusal(picture, kDspLogoWidth, kDspLogoHeight, msg::kFitNotDspLogoSize, entries))
        return Status::failure(why);
    const PicturePoints points = PicturePoints::of(picture, settings.space);
    const std::vector<Rgb> palette = choosePalette(points, entries, settings.kmeansRounds);
    std::vector<std::array<float, 3>> palPoints;
    for (const Rgb c : palette) palPoints.push_back(settings.space.toPoint(c));
    std::vector<std::uint8_t> index(points.size());
    for (std::size_t i = 0; i < index.size(); ++i)
        index[i] = static_cast<std::uint8_t>(nearestPoint(palPoints, {points.point[0][i], points.point[1][i], points.point[2][i]}));
    return compact(picture.width, picture.height, index, palette);
}

}  // namespace zarvelo
