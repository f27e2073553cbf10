#include "graphics/picture_fit.hpp"

#include "graphics/encoder.hpp"
#include "graphics/palette_quantiser.hpp"
#include "graphics/run_budget.hpp"

#include <algorithm>
#include <array>
#include <optional>

namespace zarvelo {

namespace {

constexpr const char* kNoEntries = "Für das Bild steht kein Paletteneintrag zur Verfügung.";

bool validEntries(int entries) { return entries >= 1 && entries <= 256; }

// Each palette colour moved to the mean of the pixels it got; colours left without pixels
// take the mean of the runs that miss their pixels most, where another colour helps most.
std::vector<Rgb> refinePalette(const PicturePoints& points, const RunAssignment& a, const std::vector<Rgb>& palette) {
    const std::size_t k = palette.size();
    std::vector<std::array<double, 4>> sums(k, std::array<double, 4>{});
    for (std::size_t i = 0; i < a.index.size(); ++i) {
        auto& s = sums[a.index[i]];
        for (int c = 0; c < 3; ++c) s[static_cast<std::size_t>(c)] += points.point[static_cast<std::size_t>(c)][i];
        s[3] += 1;
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
            double error = 0;
            while (x + n < w && a.index[row + static_cast<std::size_t>(x + n)] == e) {
                const std::size_t i = row + static_cast<std::size_t>(x + n);
                const std::array<float, 3> p = {points.point[0][i], points.point[1][i], points.point[2][i]};
                for (int c = 0; c < 3; ++c) sum[static_cast<std::size_t>(c)] += p[static_cast<std::size_t>(c)];
                error += squaredDistance(p, palPoints[e]);
                ++n;
            }
            runs.push_back({error, {static_cast<float>(sum[0] / n), static_cast<float>(sum[1] / n), static_cast<float>(sum[2] / n)}});
            x += n;
        }
    }
    const std::size_t take = std::min(unused.size(), runs.size());
    std::partial_sort(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(take), runs.end(),
                      [](const Run& x, const Run& y) { return x.error > y.error; });
    for (std::size_t u = 0; u < take; ++u) out[unused[u]] = points.space.toRgb(runs[u].mean);
    return out;
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

bool wellFormed(const RgbImage& picture) {
    return picture.rgb.size() == static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 3;
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

PictureFit fitStartImage(const RgbImage& picture, std::size_t imageDataSize, int entries) {
    return fitStartImage(picture, imageDataSize, entries, FitSettings{});
}

PictureFit fitStartImage(const RgbImage& picture, std::size_t imageDataSize, int entries, const FitSettings& settings) {
    PictureFit refused;
    if (picture.width != kStartImageWidth || picture.height != kStartImageHeight || !wellFormed(picture)) {
        refused.error = "Das Bild hat nicht die Größe des Startbildes (320 x 234 Pixel).";
        return refused;
    }
    if (!validEntries(entries)) {
        refused.error = kNoEntries;
        return refused;
    }
    if (imageDataSize < kMinImageDataSize || imageDataSize > kMaxImageDataSize || imageDataSize % 2 != 0) {
        refused.error = "Der Speicherplatz des vorhandenen Startbildes ist ungültig, das Bild passt nicht hinein.";
        return refused;
    }

    const std::size_t maxPairs = imageDataSize / 2;
    const PicturePoints points = PicturePoints::of(picture, settings.space);
    std::vector<Rgb> palette = choosePalette(points, entries, settings.kmeansRounds);
    RunBudgetFitter fitter(points, settings.candidates, settings.states);
    double price = 0;
    std::optional<RunAssignment> best;
    std::vector<Rgb> bestPalette;
    const int rounds = std::max(settings.rounds, 1);
    for (int round = 0; round < rounds; ++round) {
        fitter.setPalette(palette);
        RunAssignment a = fitter.fit(maxPairs, price);
        const bool fits = a.pairs <= maxPairs;
        if (fits && (!best || a.distortion < best->distortion)) {
            best = a;
            bestPalette = palette;
        }
        if (round + 1 < rounds) palette = refinePalette(points, a, palette);
    }
    if (!best) return oneColour(picture);
    PictureFit fit = compact(picture.width, picture.height, best->index, bestPalette);
    // Merging equal colours only joins runs; the check guards the promise all the same.
    if (pairsOf(fit) > maxPairs) return oneColour(picture);
    return fit;
}

PictureFit fitDspLogo(const RgbImage& picture, int entries) { return fitDspLogo(picture, entries, FitSettings{}); }

PictureFit fitDspLogo(const RgbImage& picture, int entries, const FitSettings& settings) {
    PictureFit refused;
    if (picture.width != kDspLogoWidth || picture.height != kDspLogoHeight || !wellFormed(picture)) {
        refused.error = "Das Bild hat nicht die Größe des DSP-Logos (79 x 20 Pixel).";
        return refused;
    }
    if (!validEntries(entries)) {
        refused.error = kNoEntries;
        return refused;
    }
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
