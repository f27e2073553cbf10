#include "start_image.hpp"

#include "graphics/messages.hpp"

#include <algorithm>
#include <string_view>

namespace zarvelo {

namespace {

constexpr std::size_t kWidth = kStartImageWidth, kHeight = kStartImageHeight;
constexpr std::size_t kLowestHeaderPosition = kStartImageFallbackOffset - 4;

}  // namespace

StartImageLocation BIN_suche_Boot_Start_Offset(ByteView flash) {
    StartImageLocation result;
    if (flash.size() < kStartImageSearchGap + 1) return result;
    const std::size_t highest = flash.size() - kStartImageSearchGap - 1;  // highest tested position
    if (highest < kLowestHeaderPosition) return result;
    // A forward search (memchr underneath) keeping the last hit is much faster than a byte-wise
    // walk downwards, and gives the same highest position.
    const std::string_view hay(reinterpret_cast<const char*>(flash.data()) + kLowestHeaderPosition,
                               highest - kLowestHeaderPosition + 4);
    const std::string_view needle(reinterpret_cast<const char*>(kStartImageHeader.data()), kStartImageHeader.size());
    for (std::size_t p = hay.find(needle); p != std::string_view::npos; p = hay.find(needle, p + 1)) {
        result.offset = static_cast<std::uint32_t>(kLowestHeaderPosition + p + 4);
        result.headerFound = true;
    }
    return result;
}

int countDayColours(const PixelCounts& counts, const Palette& day) {
    std::vector<Rgb> seen;
    for (std::size_t i = 0; i < 256; ++i)
        if (counts[i] > 0 && std::find(seen.begin(), seen.end(), day[i]) == seen.end()) seen.push_back(day[i]);
    return static_cast<int>(seen.size());
}

StartImageInfo BIN_lese_Startbild(ByteView flash, std::size_t offset, const Palette& day,
                                  std::vector<std::uint8_t>& indices) {
    StartImageInfo info;
    indices.resize(kWidth * kHeight);
    std::size_t column = 0, row = kHeight;  // row counts down; the current row is row - 1
    std::size_t pos = offset;
    while (row > 0 && pos <= flash.size() && flash.size() - pos >= 2) {
        const std::uint8_t index = flash[pos], run = flash[pos + 1];
        pos += 2;
        info.imageDataSize += 2;
        if (run == 0) continue;  // adds no pixels
        info.pixelCounts[index] += run;
        // Pixels beyond the row end are dropped, not carried into the next row.
        const std::size_t end = std::min(column + run, kWidth);
        auto rowStart = indices.begin() + static_cast<std::ptrdiff_t>((row - 1) * kWidth);
        std::fill(rowStart + static_cast<std::ptrdiff_t>(column), rowStart + static_cast<std::ptrdiff_t>(end), index);
        column += run;
        if (column >= kWidth) {
            column = 0;
            --row;
        }
    }
    info.complete = row == 0;
    if (!info.complete) {
        // Clear what the data did not reach, so nothing of an earlier picture shows through.
        // Rows above the current one, and the rest of the current row.
        auto rowStart = indices.begin() + static_cast<std::ptrdiff_t>((row - 1) * kWidth);
        std::fill(indices.begin(), rowStart, std::uint8_t{0});
        std::fill(rowStart + static_cast<std::ptrdiff_t>(column), rowStart + static_cast<std::ptrdiff_t>(kWidth),
                  std::uint8_t{0});
    }
    info.colourCount = countDayColours(info.pixelCounts, day);
    return info;
}

Result<DspLogoInfo> BIN_Lese_DSP(ByteView flash, std::size_t offset, std::vector<std::uint16_t>& logo) {
    if (offset > flash.size() || flash.size() - offset < kDspLogoSize) return Status::failure(msg::kDspLogoNotRead);
    DspLogoInfo info;
    logo.resize(kDspLogoSize);
    std::array<bool, 256> listed{};
    for (std::size_t i = 0; i < kDspLogoSize; ++i) {
        const std::uint8_t index = flash[offset + i];
        logo[i] = index;
        ++info.pixelCounts[index];
        if (!listed[index]) {
            listed[index] = true;
            info.indexList.push_back(index);
        }
    }
    return info;
}

namespace {

bool isSelection(int selectedColour) { return selectedColour >= 0 && selectedColour <= 255; }

template <typename Index>
void render(RgbImage& out, const std::vector<Index>& indices, int width, int height, const Palette& palette,
            int selectedColour) {
    if (out.width != width || out.height != height) out = RgbImage(width, height);
    const bool selected = isSelection(selectedColour);
    const Rgb contrast = selected ? KontrastFarbe(palette[static_cast<std::size_t>(selectedColour)]) : Rgb{};
    const std::size_t n = std::min(indices.size(), static_cast<std::size_t>(width) * height);
    std::uint8_t* p = out.rgb.data();
    for (std::size_t i = 0; i < n; ++i, p += 3) {
        const int index = indices[i] & 0xFF;
        const Rgb c = !selected || index == selectedColour ? palette[static_cast<std::size_t>(index)] : contrast;
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
}

}  // namespace

void renderStartImage(RgbImage& out, const std::vector<std::uint8_t>& indices, const Palette& palette,
                      int selectedColour) {
    render(out, indices, kStartImageWidth, kStartImageHeight, palette, selectedColour);
}

void renderDspLogo(RgbImage& out, const std::vector<std::uint16_t>& logo, const Palette& palette, int selectedColour) {
    render(out, logo, kDspLogoWidth, kDspLogoHeight, palette, selectedColour);
}

RgbImage renderStartImage(const std::vector<std::uint8_t>& indices, const Palette& palette, int selectedColour) {
    RgbImage out;
    renderStartImage(out, indices, palette, selectedColour);
    return out;
}

RgbImage renderDspLogo(const std::vector<std::uint16_t>& logo, const Palette& palette, int selectedColour) {
    RgbImage out;
    renderDspLogo(out, logo, palette, selectedColour);
    return out;
}

}  // namespace zarvelo
