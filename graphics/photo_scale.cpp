#include "graphics/photo_scale.hpp"

#include <algorithm>
#include <cmath>

namespace zarvelo {

namespace {

// The source pixels under one target pixel along one axis: pixels first..last, the inner
// ones wholly covered, the two ends by their covered part, and the length outside the source.
struct Span {
    int first = 0, last = -1;  // last < first: nothing of the source is covered
    double firstWeight = 0, lastWeight = 0;
    double outside = 0;
    bool empty() const { return last < first; }
    double weight(int k) const { return k == first ? firstWeight : k == last ? lastWeight : 1.0; }
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
        if (hi <= lo) continue;
        s.first = std::clamp(static_cast<int>(std::floor(lo)), 0, sourceSize - 1);
        s.last = std::clamp(static_cast<int>(std::ceil(hi)) - 1, s.first, sourceSize - 1);
        auto covered = [&](int k) { return std::max(std::min(hi, k + 1.0) - std::max(lo, static_cast<double>(k)), 0.0); };
        s.firstWeight = covered(s.first);
        s.lastWeight = covered(s.last);
    }
    return out;
}

// The colour sums of one source row under every target column (`sums`: 3 per column).
// Inner pixels are summed exactly in integers; with alpha a pixel counts as
// (colour * alpha + background * (255 - alpha)) / 255.
void sumRow(const std::vector<Span>& xs, const std::uint8_t* line, const std::uint8_t* alpha, Rgb background,
            double* sums) {
    const std::uint32_t bg[3] = {background.r, background.g, background.b};
    auto value = [&](int x, int c) -> std::uint32_t {
        const std::uint32_t v = line[3 * static_cast<std::size_t>(x) + c];
        return alpha ? v * alpha[x] + bg[c] * (255u - alpha[x]) : v;
    };
    const double scale = alpha ? 1.0 / 255 : 1.0;
    for (const Span& s : xs) {
        double* cell = sums;
        sums += 3;
        if (s.empty()) {
            cell[0] = cell[1] = cell[2] = 0;
            continue;
        }
        std::uint64_t inner[3] = {0, 0, 0};
        if (alpha) {
            std::uint64_t r = 0, g = 0, b = 0, clear = 0;  // the background counts by what shows through
            for (int x = s.first + 1; x < s.last; ++x) {
                const std::uint8_t* p = line + 3 * static_cast<std::size_t>(x);
                const std::uint32_t a = alpha[x];
                r += p[0] * a;
                g += p[1] * a;
                b += p[2] * a;
                clear += 255u - a;
            }
            inner[0] = r + bg[0] * clear;
            inner[1] = g + bg[1] * clear;
            inner[2] = b + bg[2] * clear;
        } else {
            std::uint32_t r = 0, g = 0, b = 0;  // at most 2^24 pixels per row: no overflow
            for (const std::uint8_t *p = line + 3 * static_cast<std::size_t>(s.first + 1),
                                    *end = line + 3 * static_cast<std::size_t>(std::max(s.last, s.first + 1));
                 p < end; p += 3) {
                r += p[0];
                g += p[1];
                b += p[2];
            }
            inner[0] = r;
            inner[1] = g;
            inner[2] = b;
        }
        for (int c = 0; c < 3; ++c) {
            double v = s.firstWeight * value(s.first, c) + static_cast<double>(inner[c]);
            if (s.last > s.first) v += s.lastWeight * value(s.last, c);
            cell[c] = v * scale;
        }
    }
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

    // Per target row: its source rows summed across (horizontal), then weighted down (vertical).
    const std::size_t tw = static_cast<std::size_t>(targetWidth);
    std::vector<double> across(tw * 3), down(tw * 3);
    const double columnLength = frame.width / targetWidth;
    for (int j = 0; j < targetHeight; ++j) {
        const Span& s = ys[static_cast<std::size_t>(j)];
        for (std::size_t i = 0; i < tw; ++i)
            for (int c = 0; c < 3; ++c) down[3 * i + c] = s.outside * columnLength * bg[c];
        for (int y = s.first; y <= s.last; ++y) {
            const std::uint8_t* alphaLine = photo.hasAlpha() ? photo.alpha.data() + static_cast<std::size_t>(y) * src.width : nullptr;
            sumRow(xs, src.rgb.data() + src.offset(0, y), alphaLine, background, across.data());
            const double w = s.weight(y);
            for (std::size_t i = 0; i < tw; ++i)
                for (int c = 0; c < 3; ++c) down[3 * i + c] += w * (across[3 * i + c] + xs[i].outside * bg[c]);
        }
        for (std::size_t i = 0; i < tw; ++i) {
            Rgb colour;
            std::uint8_t* channel[3] = {&colour.r, &colour.g, &colour.b};
            for (int c = 0; c < 3; ++c)
                *channel[c] = static_cast<std::uint8_t>(std::clamp(std::lround(down[3 * i + c] / area), 0L, 255L));
            out.set(static_cast<int>(i), j, colour);
        }
    }
    return out;
}

}  // namespace zarvelo
