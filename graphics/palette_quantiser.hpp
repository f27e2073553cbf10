#pragma once
// A picture's pixels as points of the perceptual space, gathered into a histogram of
// 15-bit colour cells, and a palette chosen for them: the exact colours when there are few
// enough, otherwise the cells split where the squared error drops most (a variance-cutting
// median cut) and refined by k-means.

#include "graphics/perceptual_colour.hpp"
#include "graphics/rgb_image.hpp"

#include <array>
#include <cstdint>
#include <vector>

namespace zarvelo {

struct ColourCell {
    std::int32_t pixels = 0;
    std::array<double, 3> pointSum{};  // sum of the pixels' points
    std::array<float, 3> mean{};       // pointSum / pixels
};

struct PicturePoints {
    int width = 0;
    int height = 0;
    PerceptualSpace space;
    std::array<std::vector<float>, 3> point;  // per pixel, one array per coordinate
    std::vector<ColourCell> cells;            // occupied 15-bit cells, in cell order
    std::vector<std::uint16_t> cellOf;        // per pixel, index into `cells`
    std::vector<Rgb> distinct;                // the picture's colours, ascending; empty when more than 256
    std::vector<float> weight;                // per pixel, how much its error counts (mean about 1)

    // `structure` 0..1: how far each pixel's error is weighted by the flatness of its
    // surroundings. An error in a smooth area shows (and costs SSIM) far more than the same
    // error in texture, where the eye and SSIM compare it with the texture's own variation.
    static PicturePoints of(const RgbImage& picture, const PerceptualSpace& space, float structure = 0);
    std::size_t size() const { return cellOf.size(); }
};

// At most `entries` distinct colours for the points; the exact colours when the picture has
// no more than that.
std::vector<Rgb> choosePalette(const PicturePoints& points, int entries, int kmeansRounds);

// Index of the nearest palette point (lowest index on ties).
int nearestPoint(const std::vector<std::array<float, 3>>& palette, const std::array<float, 3>& p);

inline float squaredDistance(const std::array<float, 3>& a, const std::array<float, 3>& b) {
    const float d0 = a[0] - b[0], d1 = a[1] - b[1], d2 = a[2] - b[2];
    return d0 * d0 + d1 * d1 + d2 * d2;
}

}  // namespace zarvelo
