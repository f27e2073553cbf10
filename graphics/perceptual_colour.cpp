#include "graphics/perceptual_colour.hpp"

#include <algorithm>
#include <cmath>

namespace zarvelo {

namespace {

std::uint8_t toByte(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

double toLinear(double c) {
    c /= 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double fromLinear(double c) {
    c = std::clamp(c, 0.0, 1.0);
    return 255.0 * (c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055);
}

// OKLab's a and b run about -0.4..0.4 for screen colours; on the 0..255 lightness scale
// that puts a saturated hue about as far from grey as black is from mid grey.
constexpr double kOkScale = 255.0;

}  // namespace

std::array<float, 3> PerceptualSpace::toPoint(Rgb c) const {
    const double w = std::sqrt(static_cast<double>(chromaWeight));
    if (space == FitColourSpace::WeightedYCbCr) {
        const double y = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
        const double cb = -0.168736 * c.r - 0.331264 * c.g + 0.5 * c.b;
        const double cr = 0.5 * c.r - 0.418688 * c.g - 0.081312 * c.b;
        return {static_cast<float>(y), static_cast<float>(w * cb), static_cast<float>(w * cr)};
    }
    const double r = toLinear(c.r), g = toLinear(c.g), b = toLinear(c.b);
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    const double L = 0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s;
    const double A = 1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s;
    const double B = 0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s;
    return {static_cast<float>(kOkScale * L), static_cast<float>(w * kOkScale * A), static_cast<float>(w * kOkScale * B)};
}

Rgb PerceptualSpace::toRgb(const std::array<float, 3>& p) const {
    const double w = std::sqrt(static_cast<double>(chromaWeight));
    const double inv = w > 0 ? 1.0 / w : 0.0;
    if (space == FitColourSpace::WeightedYCbCr) {
        const double y = p[0], cb = p[1] * inv, cr = p[2] * inv;
        return {toByte(y + 1.402 * cr), toByte(y - 0.344136 * cb - 0.714136 * cr), toByte(y + 1.772 * cb)};
    }
    const double L = p[0] / kOkScale, A = p[1] * inv / kOkScale, B = p[2] * inv / kOkScale;
    const double l = std::pow(L + 0.3963377774 * A + 0.2158037573 * B, 3.0);
    const double m = std::pow(L - 0.1055613458 * A - 0.0638541728 * B, 3.0);
    const double s = std::pow(L - 0.0894841775 * A - 1.2914855480 * B, 3.0);
    return {toByte(fromLinear(4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s)),
            toByte(fromLinear(-1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s)),
            toByte(fromLinear(-0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s))};
}

}  // namespace zarvelo
