#include "graphics/encoder.hpp"

#include "graphics/messages.hpp"
#include "graphics/run_length.hpp"
#include "graphics/start_image.hpp"

#include <algorithm>

namespace zarvelo {

std::optional<Bytes> NEU_berechne_Bild(const std::vector<std::uint8_t>& index, std::size_t imageDataSize) {
    constexpr int w = kStartImageWidth, h = kStartImageHeight;
    if (index.size() != static_cast<std::size_t>(w) * h || imageDataSize % 2 != 0 || imageDataSize > kMaxImageDataSize)
        return std::nullopt;
    Bytes code;
    code.reserve(imageDataSize);
    for (int y = h - 1; y >= 0; --y) {
        forEachRun(index.data() + static_cast<std::size_t>(y) * w, w, [&](std::uint8_t e, int n) {
            code.push_back(e);
            code.push_back(static_cast<std::uint8_t>(n));
        });
    }
    if (code.size() > imageDataSize) return std::nullopt;
    std::size_t spare = (imageDataSize - code.size()) / 2;
    if (spare == 0) return code;

    Bytes padded;
    padded.reserve(imageDataSize);
    for (std::size_t p = 0; p < code.size(); p += 2) {
        const std::uint8_t e = code[p];
        std::uint8_t n = code[p + 1];
        std::size_t extra = 0;
        while (spare > 0 && n > 1) {
            --n;
            ++extra;
            --spare;
        }
        padded.push_back(e);
        padded.push_back(n);
        for (std::size_t k = 0; k < extra; ++k) {
            padded.push_back(e);
            padded.push_back(1);
        }
    }
    return padded;
}

namespace {

bool fits(const Bytes& flash, std::size_t offset, std::size_t length) {
    return offset <= flash.size() && length <= flash.size() - offset;
}

}  // namespace

Status NEU_zu_BIN(Bytes& flash, std::size_t startImageOffset, const Bytes& encoded, const std::vector<std::uint8_t>& list,
                  const Palette& combined, int totalCount, std::size_t paletteOffset) {
    if (encoded.size() % 2 != 0 || !fits(flash, startImageOffset, encoded.size()))
        return Status::failure(msg::kBadStartImageSpace);
    if (!fits(flash, paletteOffset, kPaletteBlockSize)) return Status::failure(msg::kPalettesOutsideForStartImage);
    if (totalCount < 0 || totalCount > static_cast<int>(list.size())) return Status::failure(msg::kNoAvailableEntries);
    for (std::size_t p = 0; p < encoded.size(); p += 2)
        if (encoded[p] >= list.size()) return Status::failure(msg::kNoAvailableEntries);

    for (std::size_t p = 0; p < encoded.size(); p += 2) {
        flash[startImageOffset + p] = list[encoded[p]];
        flash[startImageOffset + p + 1] = encoded[p + 1];
    }
    for (int k = 0; k < totalCount; ++k) {
        const Rgb c = combined[static_cast<std::size_t>(k)];
        for (const std::size_t base : {paletteOffset, paletteOffset + 0x300}) {
            const std::size_t at = base + 3 * static_cast<std::size_t>(list[static_cast<std::size_t>(k)]);
            flash[at] = c.r;
            flash[at + 1] = c.g;
            flash[at + 2] = c.b;
        }
    }
    return {};
}

Status DSP_zu_BIN(Bytes& flash, std::size_t dspLogoOffset, const std::vector<std::uint8_t>& finalImage,
                  const std::vector<std::uint8_t>& list) {
    if (finalImage.size() != kDspLogoSize) return Status::failure(msg::kNoFittedDspLogo);
    if (!fits(flash, dspLogoOffset, kDspLogoSize)) return Status::failure(msg::kDspLogoOutside);
    if (std::any_of(finalImage.begin(), finalImage.end(), [&](std::uint8_t e) { return e >= list.size(); }))
        return Status::failure(msg::kNoAvailableEntries);
    for (std::size_t p = 0; p < kDspLogoSize; ++p) flash[dspLogoOffset + p] = list[finalImage[p]];
    return {};
}

}  // namespace zarvelo
