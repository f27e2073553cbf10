#pragma once
// What the firmware draws over the start image while a VW unit boots: the globe grid lines,
// built up in 33 steps, and the DSP logo sliding in from the left. The windows draw this
// data with QPainter; the core only holds it.

#include "graphics/palette.hpp"
#include "graphics/rgb_image.hpp"

#include <vector>

namespace zarvelo {

struct Point {
    int x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};
using Polyline = std::vector<Point>;  // move to the first point, then lines to the others

inline constexpr int kGlobeSteps = 33;
// Pen of the overlay lines (width 1).
inline constexpr Rgb kOverlayPenColour{94, 173, 251};

// The polylines drawn at step 0..32 (earlier steps stay on screen). Empty outside that range.
const std::vector<Polyline>& globeAnimationStep(int step);

// The part of the DSP logo preview copied into the start image preview at one step.
struct DspLogoSlide {
    int sourceX = 14, sourceY = 0;  // the unit leaves out the logo's first 14 columns
    int width = 65, height = 20;
    int targetX = 0, targetY = 11;
};
// The slide of step 0..32: target x = 2 * step - 65.
constexpr DspLogoSlide dspLogoSlide(int step) {
    DspLogoSlide s;
    s.targetX = 2 * step - 65;
    return s;
}
// Copies the slide of `step` from the logo preview into the start image preview, clipped.
void drawDspLogoSlide(RgbImage& startPreview, const RgbImage& logoPreview, int step);

}  // namespace zarvelo
