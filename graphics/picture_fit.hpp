#pragma once
// Fitting a 24-bit picture into the firmware's space: an index picture and its palette with
// at most a given number of colours whose run-length code (rows bottom-up, runs of 1 to 255
// pixels, no run across a row) fits the start image's data size. Colours and runs are chosen
// together, so a photograph keeps as much of itself as the space allows. The DSP logo has no
// run budget, only the entry count.

#include "flash/result.hpp"
#include "graphics/palette.hpp"
#include "graphics/perceptual_colour.hpp"
#include "graphics/rgb_image.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zarvelo {

struct PictureFit {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> index;  // width * height entries, rows top-down
    std::vector<Rgb> palette;         // distinct colours, at most the entry count asked for
    RgbImage picture() const;         // the fitted picture in 24 bits, as the unit shows it
};

// How the fit works; the defaults are what the quality benchmark favours.
struct FitSettings {
    PerceptualSpace space{FitColourSpace::WeightedYCbCr, 0.15f};
    float structure = 0.6f;   // 0..1: errors in smooth areas weighted up as SSIM weighs them
    int rounds = 3;           // palettes tried, each refined from the runs chosen with the one before
    int candidates = 8;       // nearest palette colours a run may start with at a pixel
    int states = 32;          // runs of different colours followed at once in a row
    int kmeansRounds = 6;     // refinement of the first palette before any runs are chosen
    int polish = 2;           // k-means rounds over each fit's runs, the runs kept (0: none)
    bool classicRoad = true;  // also try reduced pictures merged pairwise, keep what is more similar (SSIM)
};

// Fits a 320 x 234 picture into `imageDataSize` bytes of run pairs with at most `entries`
// colours (1..256). Deterministic: the same input always gives the same result. Refused with
// a German message when the picture has the wrong size, the entry count is out of range, or
// the space cannot hold any picture (see kMinImageDataSize in encoder.hpp).
Result<PictureFit> fitStartImage(const RgbImage& picture, std::size_t imageDataSize, int entries);
Result<PictureFit> fitStartImage(const RgbImage& picture, std::size_t imageDataSize, int entries,
                                 const FitSettings& settings);

// Fits a 79 x 20 logo into at most `entries` colours (1..256); refused like the above.
Result<PictureFit> fitDspLogo(const RgbImage& picture, int entries);
Result<PictureFit> fitDspLogo(const RgbImage& picture, int entries, const FitSettings& settings);

}  // namespace zarvelo
