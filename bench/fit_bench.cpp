// The picture fit of one 320 x 234 photo-like picture: the target is at most 250 ms median
// at every image data size and entry count, up to one pair per pixel and 256 entries.
// Median with --benchmark_repetitions=9 --benchmark_report_aggregates_only=true.
#include "graphics/picture_fit.hpp"
#include "test_pictures.hpp"

#include <benchmark/benchmark.h>

using namespace zarvelo;

static void BM_FitStartImage(benchmark::State& state) {
    static const RgbImage picture = synth::photoLikePicture();
    const auto size = static_cast<std::size_t>(state.range(0));
    const int entries = static_cast<int>(state.range(1));
    for (auto _ : state) {
        const Result<PictureFit> fit = fitStartImage(picture, size, entries);
        benchmark::DoNotOptimize(fit.ok());
    }
}
BENCHMARK(BM_FitStartImage)
    ->Args({3456, 6})
    ->Args({7714, 29})
    ->Args({10286, 48})
    ->Args({13724, 35})
    ->Args({40000, 256})
    ->Args({100000, 256})
    ->Args({149760, 256})
    ->Unit(benchmark::kMillisecond);

static void BM_FitDspLogo(benchmark::State& state) {
    static const RgbImage logo = [] {
        RgbImage l(kDspLogoWidth, kDspLogoHeight);
        const RgbImage p = synth::photoLikePicture();
        for (int y = 0; y < l.height; ++y)
            for (int x = 0; x < l.width; ++x) l.set(x, y, p.at(x * 4, y * 11));
        return l;
    }();
    for (auto _ : state) {
        const Result<PictureFit> fit = fitDspLogo(logo, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(fit.ok());
    }
}
BENCHMARK(BM_FitDspLogo)->Arg(16)->Arg(256)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
