#include "graphics/picture_quality.hpp"

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
    constexpr double c1 = (0.01 * 255) * (0.01 * 255);
    constexpr double c2 = (0.03 * 255) * (0.03 * 255);
    constexpr double n = kWindow * kWindow;
    double total = 0;
    long windows = 0;
    for (int top = 0; top + kWindow <= a.height; ++top) {
        for (int left = 0; left + kWindow <= a.width; ++left) {
            double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
            for (int dy = 0; dy < kWindow; ++dy) {
                const std::size_t row = static_cast<std::size_t>(top + dy) * a.width + left;
                for (int dx = 0; dx < kWindow; ++dx) {
                    const double u = x[row + dx], v = y[row + dx];
                    sx += u;
                    sy += v;
                    sxx += u * u;
                    syy += v * v;
                    sxy += u * v;
                }
            }
            const double mx = sx / n, my = sy / n;
            const double vx = sxx / n - mx * mx, vy = syy / n - my * my, cov = sxy / n - mx * my;
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
