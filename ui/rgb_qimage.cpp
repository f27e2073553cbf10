#include "ui/rgb_qimage.hpp"

#include <algorithm>

namespace zarvelo {

void copyInto(QImage& target, const RgbImage& source) {
    if (target.width() != source.width || target.height() != source.height || target.format() != QImage::Format_RGB888)
        target = QImage(source.width, source.height, QImage::Format_RGB888);
    const auto rowBytes = static_cast<std::size_t>(source.width) * 3;
    for (int y = 0; y < source.height; ++y)
        std::copy_n(source.rgb.data() + source.offset(0, y), rowBytes, target.scanLine(y));
}

QImage toQImage(const RgbImage& picture) {
    QImage image;
    copyInto(image, picture);
    return image;
}

RgbImage fromQImage(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    RgbImage picture(image.width(), image.height());
    const auto rowBytes = static_cast<std::size_t>(image.width()) * 3;
    for (int y = 0; y < image.height(); ++y)
        std::copy_n(image.constScanLine(y), rowBytes, picture.rgb.data() + picture.offset(0, y));
    return picture;
}

}  // namespace zarvelo
