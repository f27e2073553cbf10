// Arbitrary pixels, image data sizes and entry counts through the picture fit. The fit must
// refuse exactly what no picture can satisfy (wrong size, entries outside 1..256, an odd
// space, or one below two runs per row or above one pair per pixel), with a message, and
// every accepted result must fit: at most the entries, distinct colours, a run-length code
// within the space that the encoder pads to exactly the space.
//
// Input: bytes 0-2 image data size (18 bits), byte 3 entry count - 8, byte 4 flags (1: a
// picture of the wrong size, 2: fit a DSP logo as well, 4: more rounds and the classic
// road, 8: 256 more entries); the rest paints the pixels, repeated as often as needed.

#include "graphics/colour_set.hpp"
#include "graphics/encoder.hpp"
#include "graphics/picture_fit.hpp"

#include <algorithm>
#include <cstdlib>

using namespace zarvelo;

namespace {

RgbImage fuzzFitPaint(int width, int height, const std::uint8_t* data, std::size_t size) {
    RgbImage p(width, height);
    for (std::size_t i = 0; i < p.rgb.size(); ++i) p.rgb[i] = size ? data[i % size] : 0;
    return p;
}

void fuzzFitCheck(const Result<PictureFit>& result, const RgbImage& picture, int entries, bool valid) {
    if (result.ok() != valid) std::abort();
    if (!result.ok()) {
        if (result.message().empty()) std::abort();
        return;
    }
    const PictureFit& fit = result.value();
    if (fit.width != picture.width || fit.height != picture.height) std::abort();
    if (fit.index.size() != static_cast<std::size_t>(picture.width) * picture.height) std::abort();
    if (fit.palette.empty() || fit.palette.size() > static_cast<std::size_t>(entries)) std::abort();
    for (std::size_t a = 0; a < fit.palette.size(); ++a)
        for (std::size_t b = a + 1; b < fit.palette.size(); ++b)
            if (fit.palette[a] == fit.palette[b]) std::abort();
    if (std::any_of(fit.index.begin(), fit.index.end(), [&](std::uint8_t e) { return e >= fit.palette.size(); })) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    const std::size_t imageDataSize = data[0] | data[1] << 8 | (data[2] & 3u) << 16;
    const int entries = static_cast<int>(data[3]) - 8 + (data[4] & 8 ? 256 : 0);
    const std::uint8_t flags = data[4];
    const RgbImage picture =
        fuzzFitPaint(flags & 1 ? kStartImageWidth - 1 : kStartImageWidth, kStartImageHeight, data + 5, size - 5);

    // Few rounds and states keep each input quick; they change how good the fit is, not what it promises.
    FitSettings settings;
    settings.rounds = flags & 4 ? 2 : 1;
    settings.kmeansRounds = 1;
    settings.candidates = 4;
    settings.states = 8;
    settings.classicRoad = flags & 4;
    const bool validEntries = entries >= 1 && entries <= 256;
    const bool validSize = imageDataSize % 2 == 0 && imageDataSize >= kMinImageDataSize && imageDataSize <= kMaxImageDataSize;
    const Result<PictureFit> fit = fitStartImage(picture, imageDataSize, entries, settings);
    fuzzFitCheck(fit, picture, entries, validEntries && validSize && !(flags & 1));
    if (fit.ok()) {
        if (encodedSize(fit->index, fit->width, fit->height) > imageDataSize) std::abort();
        const auto code = NEU_berechne_Bild(fit->index, imageDataSize);
        if (!code || code->size() != imageDataSize) std::abort();
    }
    if (flags & 2) {
        const RgbImage logo = fuzzFitPaint(kDspLogoWidth, flags & 1 ? kDspLogoHeight + 1 : kDspLogoHeight, data + 5, size - 5);
        fuzzFitCheck(fitDspLogo(logo, entries, settings), logo, entries, validEntries && !(flags & 1));
    }
    return 0;
}
