// The main page's pictures: finding and decoding the start image, and filling the previews.
#include "graphics/start_image.hpp"
#include "synthetic_firmware.hpp"

#include <benchmark/benchmark.h>

using namespace zarvelo;

static void BM_FindStartImage1MiB(benchmark::State& state) {
    const auto sample = synth::makeSample({.version = 4, .largeImage = true});
    for (auto _ : state) benchmark::DoNotOptimize(BIN_suche_Boot_Start_Offset(sample.flash).offset);
}
BENCHMARK(BM_FindStartImage1MiB)->Unit(benchmark::kMicrosecond);

static void BM_DecodeStartImage(benchmark::State& state) {
    const auto sample = synth::makeSample({.version = 4, .detail = 4});
    const auto at = BIN_suche_Boot_Start_Offset(sample.flash);
    Palette day{};
    std::vector<std::uint8_t> indices;
    for (auto _ : state) benchmark::DoNotOptimize(BIN_lese_Startbild(sample.flash, at.offset, day, indices).imageDataSize);
}
BENCHMARK(BM_DecodeStartImage)->Unit(benchmark::kMicrosecond);

// Argument: selected colour (-1 = all colours).
static void BM_RenderStartImage(benchmark::State& state) {
    const auto sample = synth::makeSample({.version = 4, .detail = 4});
    Palette palette{};
    for (int i = 0; i < 256; ++i) palette[static_cast<std::size_t>(i)] = {std::uint8_t(i), std::uint8_t(255 - i), 7};
    RgbImage out;
    for (auto _ : state) {
        renderStartImage(out, sample.startImage, palette, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(out.rgb.data());
    }
}
BENCHMARK(BM_RenderStartImage)->Arg(-1)->Arg(20)->Unit(benchmark::kMicrosecond);
