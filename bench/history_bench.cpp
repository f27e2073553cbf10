// The document's history: its memory when full (100 steps) and the time of one undo, which
// puts the bytes back and re-derives the page's state from the flash image.
//   history_bytes: memory of the full history; step_bytes: its largest step
//   largest sample of build/samples (version 13) and the 1 MiB image
#include "workspace/start_image_handover.hpp"
#include "workspace/workspace.hpp"
#include "synthetic_firmware.hpp"
#include "test_pictures.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>

using namespace zarvelo;

namespace {

synth::Options sampleOptions(int which) {
    if (which == 0) return {.version = 13};  // the largest file of build/samples
    return {.version = 4, .largeImage = true};
}

// A full history of the heaviest kind of step a user makes: new start images.
void fillWithStartImages(Workspace& ws, std::size_t steps) {
    for (std::size_t k = 0; k < steps; ++k) {
        StartImageEditor editor;
        editor.Zeige_vorhandene_Bilder_an(editorInputs(ws));
        // A refused picture would leave the history short of what is measured.
        if (!editor.importPicture(synth::photoPicture(static_cast<std::uint32_t>(k + 1), 24 + static_cast<int>(k % 40))).ok())
            std::abort();
        if (!BB_schreibe_NEU_in_BINClick(ws, editor).ok()) std::abort();
    }
}

// Mixed steps: colours, grid, day and night, start images.
void fillMixed(Workspace& ws, std::size_t steps) {
    for (std::size_t k = 0; k < steps; ++k) {
        Status applied;
        switch (k % 4) {
        case 0: applied = ws.BIN_schreibe_Farbe(true, ws.startImage()[k % ws.startImage().size()], {static_cast<std::uint8_t>(k), 1, 2}); break;
        case 1:  // the grid where the version has one, otherwise another colour
            applied = ws.gridState() != GridState::Absent
                          ? ws.BIN_Gitter(k % 8 == 1)
                          : ws.BIN_schreibe_Farbe(false, ws.startImage()[0], {1, static_cast<std::uint8_t>(k), 2});
            break;
        case 2: applied = ws.P_FixTagNachtClick((k / 4) % 2 == 0); break;  // day and night in turn
        default: fillWithStartImages(ws, 1); break;
        }
        if (!applied.ok()) std::abort();
    }
}

void reportMemory(benchmark::State& state, const Workspace& ws) {
    state.counters["history_bytes"] = static_cast<double>(ws.history().memorySize());
    state.counters["steps"] = static_cast<double>(ws.history().size());
}

// Loads the sample, fills the history and times one undo: the step's bytes back, then
// everything re-derived as a load would. The redo that restores the state is not timed.
void timeUndo(benchmark::State& state, void (*fill)(Workspace&, std::size_t)) {
    const auto sample = synth::makeSample(sampleOptions(static_cast<int>(state.range(0))));
    Workspace ws;
    if (!ws.loadBytes(sample.dnl, "bench.DNL").ok()) std::abort();
    fill(ws, History::kMaxSteps);
    reportMemory(state, ws);
    for (auto _ : state) {
        ws.undo();
        state.PauseTiming();
        ws.redo();
        state.ResumeTiming();
    }
}

}  // namespace

static void BM_HistoryFullOfStartImages(benchmark::State& state) { timeUndo(state, fillWithStartImages); }
BENCHMARK(BM_HistoryFullOfStartImages)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

static void BM_HistoryMixed(benchmark::State& state) { timeUndo(state, fillMixed); }
BENCHMARK(BM_HistoryMixed)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Recording a step: the copy of the image before the change and the comparison after it.
static void BM_RecordColourStep(benchmark::State& state) {
    const auto sample = synth::makeSample(sampleOptions(static_cast<int>(state.range(0))));
    Workspace ws;
    if (!ws.loadBytes(sample.dnl, "bench.DNL").ok()) std::abort();
    std::uint8_t value = 0;
    for (auto _ : state)
        if (!ws.BIN_schreibe_Farbe(true, ws.startImage()[0], {++value, 0, 0}).ok()) std::abort();
    reportMemory(state, ws);
}
BENCHMARK(BM_RecordColourStep)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
