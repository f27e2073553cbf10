// The start image editor: importing a photo-like picture, the start image slider and the DSP
// logo fitting. Targets (median): the whole import under 50 ms, a slider move under 5 ms.
#include "workspace/start_image_handover.hpp"
#include "synthetic_firmware.hpp"
#include "test_pictures.hpp"

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace zarvelo;

namespace {

// A 79 x 20 logo of 256 colours, far from the photo's colours.
RgbImage logoOf256() {
    RgbImage logo(79, 20);
    for (int p = 0; p < 1580; ++p)
        logo.set(p % 79, p / 79, {static_cast<std::uint8_t>(p % 256), 40, static_cast<std::uint8_t>(255 - p % 256)});
    return logo;
}

// An editor with 128 available entries and the most space a start image can have, so MAX
// keeps 128 colours; logo of 256 colours.
StartImageEditor wideEditor() {
    EditorInputs in;
    for (int i = 0; i < 128; ++i) in.availableEntries[static_cast<std::size_t>(i * 2)] = true;
    in.availableCount = 128;
    in.dspLogoSupported = true;
    in.imageDataSize = 149760;
    in.startPicture = synth::photoPicture(3, 256);
    in.dspPicture = logoOf256();
    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(in);
    return ed;
}

}  // namespace

// Import on a firmware sample whose start image space forces heavy reduction: colour count,
// colour set, MAX (fit and limit), AKT and the DSP fitting.
static void BM_ImportPhoto(benchmark::State& state) {
    Workspace ws;
    if (!ws.loadBytes(synth::makeSample({.version = 2, .detail = static_cast<int>(state.range(0))}).dnl, "bench.DNL").ok())
        std::abort();
    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(editorInputs(ws));
    const RgbImage photo = synth::photoPicture(7, 256);
    for (auto _ : state) {
        const ImportOutcome out = ed.importPicture(photo);
        benchmark::DoNotOptimize(out.kind);
    }
    state.counters["image_data_size"] = static_cast<double>(ws.imageDataSize);
    state.counters["colours_O"] = ed.O.count;
    state.counters["max_possible"] = ed.maximumPossible;
    state.counters["colours_AKT"] = ed.AKT.count;
}
BENCHMARK(BM_ImportPhoto)->Arg(2)->Arg(5)->Unit(benchmark::kMillisecond);

// The same import where the limit to 128 entries does the work and all 256 colours fit.
static void BM_ImportPhotoWide(benchmark::State& state) {
    StartImageEditor ed = wideEditor();
    const RgbImage photo = synth::photoPicture(8, 256);
    for (auto _ : state) {
        const ImportOutcome out = ed.importPicture(photo);
        benchmark::DoNotOptimize(out.kind);
    }
    state.counters["colours_AKT"] = ed.AKT.count;
}
BENCHMARK(BM_ImportPhotoWide)->Unit(benchmark::kMillisecond);

// One slider move from the count of MAX (128) down to 2, and one back up, each with the
// DSP fitting of a 256-colour logo that follows it.
static void BM_StartSliderDown(benchmark::State& state) {
    StartImageEditor ed = wideEditor();
    const int top = ed.MAX.count;
    for (auto _ : state) {
        state.PauseTiming();
        ed.TB_StartbildChange(top);
        state.ResumeTiming();
        ed.TB_StartbildChange(2);
        benchmark::DoNotOptimize(ed.AKT.count);
    }
    state.counters["from"] = top;
}
BENCHMARK(BM_StartSliderDown)->Unit(benchmark::kMillisecond);

static void BM_StartSliderUp(benchmark::State& state) {
    StartImageEditor ed = wideEditor();
    const int top = ed.MAX.count;
    for (auto _ : state) {
        state.PauseTiming();
        ed.TB_StartbildChange(2);
        state.ResumeTiming();
        ed.TB_StartbildChange(top);
        benchmark::DoNotOptimize(ed.AKT.count);
    }
}
BENCHMARK(BM_StartSliderUp)->Unit(benchmark::kMillisecond);

// A DSP slider move (the logo reduced from its 256-colour original) with its fitting.
static void BM_DspSliderMove(benchmark::State& state) {
    StartImageEditor ed = wideEditor();
    for (auto _ : state) {
        ed.TB_DSPChange(1);
        benchmark::DoNotOptimize(ed.AKT_DSP.count);
        state.PauseTiming();
        ed.reduceLogoTo(256);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DspSliderMove)->Unit(benchmark::kMillisecond);

// The fitting alone: 128 start colours, 256 logo colours far from them, 128 entries: every
// logo colour is replaced.
static void BM_DspFitting(benchmark::State& state) {
    const StartImageEditor ed = wideEditor();
    for (auto _ : state) {
        const DspFit fit = optimiere_Palette_fuer_DSP(ed.AKT, ed.AKT_DSP, ed.availableCount);
        benchmark::DoNotOptimize(fit.totalCount);
    }
    state.counters["replaced"] = ed.fit.needed - ed.fit.totalCount;
}
BENCHMARK(BM_DspFitting)->Unit(benchmark::kMicrosecond);
