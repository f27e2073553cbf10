#include "graphics/photo_scale.hpp"

#include <algorithm>
#include <cmath>

namespace zarvelo {

namespace {

// The source pixels under one target pixel along one axis: the first pixel, the weight of
// every pixel from there on (covered length), and the length that falls outside the source.
struct Span {
    int first = 0;
    std::vector<double> weights;
    double outside = 0;
};

// Target pixel i covers [start + i * step, start + (i + 1) * step).
std::vector<Span> spans(double start, double length, int targetSize, int sourceSize) {
    std::vector<Span> out(static_cast<std::size_t>(targetSize));
    const double step = length / targetSize;
    for (int i = 0; i < targetSize; ++i) {
        const double a = start + i * step, b = start + (i + 1) * step;
        Span& s = out[static_cast<std::size_t>(i)];
        const double lo = std::clamp(a, 0.0, static_cast<double>(sourceSize));
        const double hi = std::clamp(b, 0.0, static_cast<double>(sourceSize));
        s.outside = (b - a) - std::max(hi - lo, 0.0);
        if (hi <= lo) {
            s.first = 0;
            continue;
        }
        const int first = std::clamp(static_cast<int>(std::floor(lo)), 0, sourceSize - 1);
        const int last = std::clamp(static_cast<int>(std::ceil(hi)) - 1, first, sourceSize - 1);
        s.first = first;
        for (int k = first; k <= last; ++k) {
            const double w = std::min(hi, k + 1.0) - std::max(lo, static_cast<double>(k));
            s.weights.push_back(std::max(w, 0.0));
        }
    }
    return out;
}

}  // namespace

RgbImage Photo::over(Rgb background) const {
    if (!hasAlpha()) return picture;
    RgbImage out = picture;
    const std::uint8_t bg[3] = {background.r, background.g, background.b};
    for (std::size_t p = 0; p < alpha.size(); ++p)
        for (int c = 0; c < 3; ++c) {
            const int v = out.rgb[3 * p + c] * alpha[p] + bg[c] * (255 - alpha[p]);
            out.rgb[3 * p + c] = static_cast<std::uint8_t>((v + 127) / 255);
        }
    return out;
}

CropFrame cropFrame(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight, CropMode mode, double zoom,
                    double centreX, double centreY) {
    const double sw = std::max(sourceWidth, 1), sh = std::max(sourceHeight, 1);
    const double aspect = static_cast<double>(std::max(targetWidth, 1)) / std::max(targetHeight, 1);
    double w = sw, h = sh;
    const bool wider = sw / sh > aspect;
    if (mode == CropMode::Fill) {
        if (wider) w = sh * aspect;
        else h = sw / aspect;
    } else if (mode == CropMode::Fit) {
        if (wider) h = sw / aspect;
        else w = sh * aspect;
    }
    if (!(zoom >= 1.0)) zoom = 1.0;  // also NaN
    zoom = std::min(zoom, kMaxCropZoom);
    w /= zoom;
    h /= zoom;
    auto place = [](double centre, double size, double source) {
        if (size >= source || !std::isfinite(centre)) return (source - size) / 2;
        return std::clamp(centre - size / 2, 0.0, source - size);
    };
    return {place(centreX, w, sw), place(centreY, h, sh), w, h};
}

RgbImage scalePhoto(const Photo& photo, const CropFrame& frame, int targetWidth, int targetHeight, Rgb background) {
    const RgbImage& src = photo.picture;
    RgbImage out(targetWidth, targetHeight, background);
    if (src.width <= 0 || src.height <= 0 || targetWidth <= 0 || targetHeight <= 0 || !(frame.width > 0) ||
        !(frame.height > 0))
        return out;
    const std::vector<Span> xs = spans(frame.x, frame.width, targetWidth, src.width);
    const std::vector<Span> ys = spans(frame.y, frame.height, targetHeight, src.height);
    const double bg[3] = {static_cast<double>(background.r), static_cast<double>(background.g),
                          static_cast<double>(background.b)};
    const double area = (frame.width / targetWidth) * (frame.height / targetHeight);

    // Horizontal pass per source row the frame touches, then the vertical pass over those rows.
    int rowFirst = src.height, rowLast = -1;
    for (const Span& s : ys)
        if (!s.weights.empty()) {
            rowFirst = std::min(rowFirst, s.first);
            rowLast = std::max(rowLast, s.first + static_cast<int>(s.weights.size()) - 1);
        }
    if (rowLast < rowFirst) return out;
    const std::size_t rows = static_cast<std::size_t>(rowLast - rowFirst + 1);
    const std::size_t tw = static_cast<std::size_t>(targetWidth);
    // Per row and target column: the weighted colour sums over the covered source pixels.
    std::vector<double> across(rows * tw * 3, 0.0);
    for (std::size_t r = 0; r < rows; ++r) {
        const int y = rowFirst + static_cast<int>(r);
        const std::uint8_t* line = src.rgb.data() + src.offset(0, y);
        const std::uint8_t* alphaLine = photo.hasAlpha() ? photo.alpha.data() + static_cast<std::size_t>(y) * src.width : nullptr;
        for (std::size_t i = 0; i < tw; ++i) {
            const Span& s = xs[i];
            double sum[3] = {0, 0, 0};
            for (std::size_t k = 0; k < s.weights.size(); ++k) {
                const int x = s.first + static_cast<int>(k);
                const double w = s.weights[k];
                const std::uint8_t* p = line + static_cast<std::size_t>(x) * 3;
                if (alphaLine && alphaLine[x] != 255) {
                    const double a = alphaLine[x] / 255.0;
                    for (int c = 0; c < 3; ++c) sum[c] += w * (bg[c] + (p[c] - bg[c]) * a);
                } else {
                    for (int c = 0; c < 3; ++c) sum[c] += w * p[c];
                }
            }
            double* cell = &across[(r * tw + i) * 3];
            for (int c = 0; c < 3; ++c) cell[c] = sum[c] + s.outside * bg[c];
        }
    }
    for (int j = 0; j < targetHeight; ++j) {
        const Span& s = ys[static_cast<std::size_t>(j)];
        for (std::size_t i = 0; i < tw; ++i) {
            const double rowLength = frame.width / targetWidth;
            double sum[3] = {s.outside * rowLength * bg[0], s.outside * rowLength * bg[1], s.outside * rowLength * bg[2]};
            for (std::size_t k = 0; k < s.weights.size(); ++k) {
                const double* cell = &across[((static_cast<std::size_t>(s.first - rowFirst) + k) * tw + i) * 3];
                for (int c = 0; c < 3; ++c) sum[c] += s.weights[k] * cell[c];
            }
            Rgb colour;
            std::uint8_t* channel[3] = {&colour.r, &colour.g, &colour.b};
            for (int c = 0; c < 3; ++c)
                *channel[c] = static_cast<std::uint8_t>(std::clamp(std::lround(sum[c] / area), 0L, 255L));
            out.set(static_cast<int>(i), j, colour);
        }
    }
    return out;
}

}  // namespace zarvelo
