#pragma once
// A photo of any size brought to the size the unit shows: the crop frame over the source
// (from the crop mode, a zoom and the frame's position) and the scaling of that frame to the
// target by averaging the source area under every target pixel.

#include "graphics/rgb_image.hpp"

#include <cstdint>
#include <vector>

namespace zarvelo {

// A decoded photo: 24-bit pixels and, when the file had transparency, one alpha byte per
// pixel (255 opaque). Transparent pixels are shown over a background colour.
struct Photo {
    RgbImage picture;
    std::vector<std::uint8_t> alpha;  // empty, or width * height bytes
    bool hasAlpha() const { return !alpha.empty(); }
    // The picture over `background`.
    RgbImage over(Rgb background) const;
};

// "füllen": crop to the target's aspect ratio; "einpassen": the whole picture, the border in
// the background colour; "strecken": the whole picture, stretched.
enum class CropMode { Fill, Fit, Stretch };

// A rectangle in source pixel coordinates; it may reach beyond the source in "einpassen".
struct CropFrame {
    double x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const CropFrame&, const CropFrame&) = default;
};

inline constexpr double kMaxCropZoom = 16.0;

// The frame for a source of `sourceWidth` x `sourceHeight` and a target of `targetWidth` x
// `targetHeight`: the mode's frame shrunk by `zoom` (1 .. kMaxCropZoom) around the centre
// (`centreX`, `centreY`), then moved just so far that it lies inside the source. A frame larger
// than the source in one direction stays centred on it in that direction.
CropFrame cropFrame(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight, CropMode mode, double zoom,
                    double centreX, double centreY);

// Scales the frame of `photo` to `targetWidth` x `targetHeight`. Every target pixel is the
// mean of the source area it covers (fractional pixels weighted by their covered part);
// transparent pixels and area outside the source count in the background colour.
RgbImage scalePhoto(const Photo& photo, const CropFrame& frame, int targetWidth, int targetHeight, Rgb background);

}  // namespace zarvelo
