#pragma once
// Colours as the eye weighs them, for the picture fit: a point in a space where squared
// distance stands for visible difference. Lightness counts more than hue and saturation,
// since the eye (and the SSIM measure) follows structure in lightness first.

#include "graphics/palette.hpp"

#include <array>

namespace zarvelo {

enum class FitColourSpace {
    WeightedYCbCr,  // luma and the two colour differences of BT.601, chroma scaled down
    OkLab,          // lightness and the two opponent axes of OKLab, chroma scaled down
};

struct PerceptualSpace {
    FitColourSpace space = FitColourSpace::WeightedYCbCr;
    float chromaWeight = 0.5f;  // weight of the squared chroma difference against luma

    // A point whose first coordinate is lightness on a 0..255 scale.
    std::array<float, 3> toPoint(Rgb c) const;
    // The nearest 24-bit colour to a point (rounded, clamped).
    Rgb toRgb(const std::array<float, 3>& p) const;
};

}  // namespace zarvelo
