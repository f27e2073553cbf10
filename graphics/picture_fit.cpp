#include "graphics/picture_fit.hpp"

#include "graphics/encoder.hpp"

namespace zarvelo {

namespace {

// Placeholder until the budget-aware fit lands: one colour, the mean of the picture.
PictureFit meanColour(const RgbImage& picture) {
    PictureFit fit;
    fit.width = picture.width;
    fit.height = picture.height;
    const std::size_t n = static_cast<std::size_t>(picture.width) * picture.height;
    unsigned long long sum[3] = {0, 0, 0};
    for (std::size_t i = 0; i < n; ++i)
        for (int c = 0; c < 3; ++c) sum[c] += picture.rgb[3 * i + c];
    fit.palette.push_back({static_cast<std::uint8_t>(sum[0] / n), static_cast<std::uint8_t>(sum[1] / n),
                           static_cast<std::uint8_t>(sum[2] / n)});
    fit.index.assign(n, 0);
    return fit;
}

}  // namespace

RgbImage PictureFit::picture() const {
    RgbImage out(width, height);
    for (std::size_t i = 0; i < index.size(); ++i) {
        const Rgb c = palette[index[i]];
        out.rgb[3 * i] = c.r;
        out.rgb[3 * i + 1] = c.g;
        out.rgb[3 * i + 2] = c.b;
    }
    return out;
}

PictureFit fitStartImage(const RgbImage& picture, std::size_t imageDataSize, int entries) {
    PictureFit refused;
    if (picture.width != kStartImageWidth || picture.height != kStartImageHeight) {
        refused.error = "Das Bild hat nicht die Größe des Startbildes (320 x 234 Pixel).";
        return refused;
    }
    if (entries < 1 || entries > 256) {
        refused.error = "Für das Bild steht kein Paletteneintrag zur Verfügung.";
        return refused;
    }
    if (imageDataSize < kMinImageDataSize || imageDataSize > kMaxImageDataSize || imageDataSize % 2 != 0) {
        refused.error = "Der Speicherplatz des vorhandenen Startbildes ist ungültig, das Bild passt nicht hinein.";
        return refused;
    }
    return meanColour(picture);
}

PictureFit fitDspLogo(const RgbImage& picture, int entries) {
    PictureFit refused;
    if (picture.width != kDspLogoWidth || picture.height != kDspLogoHeight) {
        refused.error = "Das Bild hat nicht die Größe des DSP-Logos (79 x 20 Pixel).";
        return refused;
    }
    if (entries < 1 || entries > 256) {
        refused.error = "Für das Bild steht kein Paletteneintrag zur Verfügung.";
        return refused;
    }
    return meanColour(picture);
}

}  // namespace zarvelo
