#pragma once
// The core's RGB pictures and the toolkit's images, one conversion each way.

#include "graphics/rgb_image.hpp"

#include <QImage>

namespace zarvelo {

// An RGB888 image of the picture.
QImage toQImage(const RgbImage& picture);
// Copies `source` into `target`, which becomes RGB888 of the picture's size if it is not.
void copyInto(QImage& target, const RgbImage& source);
// The picture of any image, as shown (alpha dropped).
RgbImage fromQImage(const QImage& source);

}  // namespace zarvelo
