// The photo window's preview: a change of the frame scales the photo from its full size at
// once (the fit follows in the background). Target (median): the scaling of a 24-megapixel
// photo to 320 x 234 under 50 ms, so the preview follows within 100 ms.
#include "graphics/photo_scale.hpp"

#include <benchmark/benchmark.h>

using namespace zarvelo;

namespace {

Photo photoOf(int w, int h) {
    Photo photo;
    photo.picture = RgbImage(w, h);
    unsigned noise = 1;
    for (auto& b : photo.picture.rgb) {
        noise = noise * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(noise >> 24);
    }
    return photo;
}

}  // namespace

// The default frame ("füllen", zoom 1) over a 6000 x 4000 photo: the most area a frame covers.
static void BM_ScaleWholeFrame(benchmark::State& state) {
    const Photo photo = photoOf(6000, 4000);
    const CropFrame frame = cropFrame(6000, 4000, kStartImageWidth, kStartImageHeight, CropMode::Fill, 1, 3000, 2000);
    for (auto _ : state) benchmark::DoNotOptimize(scalePhoto(photo, frame, kStartImageWidth, kStartImageHeight, {}));
}
BENCHMARK(BM_ScaleWholeFrame)->Unit(benchmark::kMillisecond);

// A transparent photo with "einpassen": the alpha and the border on every pixel.
static void BM_ScaleTransparentFit(benchmark::State& state) {
    Photo photo = photoOf(6000, 4000);
    photo.alpha.assign(6000u * 4000u, 128);
    const CropFrame frame = cropFrame(6000, 4000, kStartImageWidth, kStartImageHeight, CropMode::Fit, 1, 3000, 2000);
    for (auto _ : state) benchmark::DoNotOptimize(scalePhoto(photo, frame, kStartImageWidth, kStartImageHeight, {}));
}
BENCHMARK(BM_ScaleTransparentFit)->Unit(benchmark::kMillisecond);
