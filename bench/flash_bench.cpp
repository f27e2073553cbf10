// Loading (from memory: checksum, version, unpack) and rebuilding a 1 MiB sample.
#include "workspace/workspace.hpp"
#include "synthetic_firmware.hpp"

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace zarvelo;

static void BM_Load1MiB(benchmark::State& state) {
    const auto sample = synth::makeSample({.version = 4, .largeImage = true});
    for (auto _ : state) {
        Workspace ws;
        const Status loaded = ws.loadBytes(sample.dnl, "bench.DNL");
        if (!loaded.ok()) std::abort();
    }
}
BENCHMARK(BM_Load1MiB)->Unit(benchmark::kMillisecond);

static void BM_Rebuild1MiB(benchmark::State& state) {
    const auto sample = synth::makeSample({.version = 4, .largeImage = true});
    Workspace ws;
    if (!ws.loadBytes(sample.dnl, "bench.DNL").ok()) std::abort();
    for (auto _ : state) {
        const Workspace::RebuiltFile file = ws.rebuilt(ColourMode::Normal);
        benchmark::DoNotOptimize(file.dnl.data());
    }
}
BENCHMARK(BM_Rebuild1MiB)->Unit(benchmark::kMillisecond);
