#pragma once
// 24-bit pictures between the core and the toolkit: RgbImage rows and QImage RGB888 rows
// have the same byte order, so a copy row by row is all it takes.

#include "graphics/rgb_image.hpp"

#include <QImage>

#include <algorithm>

namespace zarvelo {

inline QImage toQImage(const RgbImage& picture) {
    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    const auto rowBytes = static_cast<std::size_t>(picture.width) * 3;
    for (int y = 0; y < picture.height; ++y)
        std::copy_n(picture.rgb.data() + picture.offset(0, y), rowBytes, image.scanLine(y));
    return image;
}

// Any QImage, without its alpha channel.
inline RgbImage toRgbImage(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    RgbImage picture(image.width(), image.height());
    const auto rowBytes = static_cast<std::size_t>(image.width()) * 3;
    for (int y = 0; y < image.height(); ++y)
        std::copy_n(image.constScanLine(y), rowBytes, picture.rgb.data() + picture.offset(0, y));
    return picture;
}

}  // namespace zarvelo
