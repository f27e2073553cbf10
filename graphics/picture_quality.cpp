#include "graphics/picture_quality.hpp"

#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace zarvelo {

namespace {

std::vector<double> luma(const RgbImage& p) {
    std::vector<double> y(static_cast<std::size_t>(p.width) * p.height);
    for (std::size_t i = 0; i < y.size(); ++i)
        y[i] = 0.299 * p.rgb[3 * i] + 0.587 * p.rgb[3 * i + 1] + 0.114 * p.rgb[3 * i + 2];
    return y;
}

bool sameSize(const RgbImage& a, const RgbImage& b) {
    return a.width == b.width && a.height == b.height && a.width > 0 && a.height > 0 &&
           a.rgb.size() == static_cast<std::size_t>(a.width) * a.height * 3 && b.rgb.size() == a.rgb.size();
}

}  // namespace

double ssim(const RgbImage& a, const RgbImage& b) {
    constexpr int kWindow = 7;
    if (!sameSize(a, b) || a.width < kWindow || a.height < kWindow) return 0.0;
    const std::vector<double> x = luma(a), y = luma(b);
    // Window sums from summed-area tables of x, y, x², y² and xy (one row and column of
    // zeros in front), so every window costs the same few operations.
    const std::size_t w = static_cast<std::size_t>(a.width), h = static_cast<std::size_t>(a.height), stride = w + 1;
    std::vector<std::array<double, 5>> table(stride * (h + 1));
    for (std::size_t r = 0; r < h; ++r) {
        std::array<double, 5> row{};
        for (std::size_t c = 0; c < w; ++c) {
            const double u = x[r * w + c], v = y[r * w + c];
            row[0] += u;
            row[1] += v;
            row[2] += u * u;
            row[3] += v * v;
            row[4] += u * v;
            const std::array<double, 5>& above = table[r * stride + c + 1];
            std::array<double, 5>& at = table[(r + 1) * stride + c + 1];
            for (std::size_t k = 0; k < 5; ++k) at[k] = above[k] + row[k];
        }
    }
    constexpr double c1 = (0.01 * 255) * (0.01 * 255);
    constexpr double c2 = (0.03 * 255) * (0.03 * 255);
    constexpr double n = kWindow * kWindow;
    double total = 0;
    long windows = 0;
    for (std::size_t top = 0; top + kWindow <= h; ++top) {
        for (std::size_t left = 0; left + kWindow <= w; ++left) {
            const auto& p00 = table[top * stride + left];
            const auto& p01 = table[top * stride + left + kWindow];
            const auto& p10 = table[(top + kWindow) * stride + left];
            const auto& p11 = table[(top + kWindow) * stride + left + kWindow];
            double s[5];
            for (std::size_t k = 0; k < 5; ++k) s[k] = p11[k] - p01[k] - p10[k] + p00[k];
            const double mx = s[0] / n, my = s[1] / n;
            const double vx = s[2] / n - mx * mx, vy = s[3] / n - my * my, cov = s[4] / n - mx * my;
            total += ((2 * mx * my + c1) * (2 * cov + c2)) / ((mx * mx + my * my + c1) * (vx + vy + c2));
            ++windows;
        }
    }
    return total / windows;
}

double psnr(const RgbImage& a, const RgbImage& b) {
    if (!sameSize(a, b)) return 0.0;
    double sum = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i) {
        const double d = static_cast<double>(a.rgb[i]) - b.rgb[i];
        sum += d * d;
    }
    if (sum == 0) return std::numeric_limits<double>::infinity();
    const double mse = sum / a.rgb.size();
    return 10.0 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace zarvelo
