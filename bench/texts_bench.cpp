// The text table at its largest: 8999 texts of 100 bytes (0.9 MB, the most a 1 MiB image
// holds), read, listed, and one text stored (each store checks the whole table again);
// and a translator's file for it imported.
#include "texts/text_import.hpp"
#include "texts/text_session.hpp"
#include "texts/text_table.hpp"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

using namespace zarvelo;

static Bytes largestTable() {
    Bytes flash;
    for (int i = 0; i < 8999; ++i) {
        for (int k = 0; k < 96; ++k) flash.push_back(static_cast<std::uint8_t>(0x41 + (i + k) % 26));
        flash.insert(flash.end(), {0x00, 0xFF, 0xFF, 0xFF});
    }
    flash.insert(flash.end(), {0x12, 0x00});
    flash.insert(flash.end(), kTextEndMarker.begin(), kTextEndMarker.end());
    return flash;
}

// The table is built to be read; a refusal would make every figure meaningless.
static TextList read(ByteView flash) {
    Result<TextList> read = readTextTable(flash, 0);
    if (!read) {
        std::fprintf(stderr, "%s\n", read.message().c_str());
        std::abort();
    }
    return std::move(read).value();
}

static void BM_ReadLargestTable(benchmark::State& state) {
    const Bytes flash = largestTable();
    for (auto _ : state) benchmark::DoNotOptimize(read(flash).textCount());
}
BENCHMARK(BM_ReadLargestTable)->Unit(benchmark::kMillisecond);

static void BM_ListRowsLargestTable(benchmark::State& state) {
    const TextList list = read(largestTable());
    for (auto _ : state) benchmark::DoNotOptimize(listRows(list).size());
}
BENCHMARK(BM_ListRowsLargestTable)->Unit(benchmark::kMillisecond);

static void BM_StoreInLargestTable(benchmark::State& state) {
    TextList list = read(largestTable());
    for (auto _ : state) {
        const Status stored = Edit_zu_TexteArray(list, 4500, "Neuer Text", OverlongMode::Sperren);
        if (!stored) state.SkipWithError(stored.message().c_str());
    }
}
BENCHMARK(BM_StoreInLargestTable)->Unit(benchmark::kMillisecond);

// A translator's file for the largest table with every text changed (under 1 MiB, as the
// import allows), read into a session: 8999 stores. Argument 1: every line empty, so each
// store joins texts and the stretch around it is read again.
static void BM_ImportEveryTextOfTheLargestTable(benchmark::State& state) {
    const TextSession session(read(largestTable()));
    std::string file;
    for (const std::string& row : session.rows()) {
        if (state.range(0) == 0)
            for (const char c : row) file.push_back(static_cast<char>(c | 0x20));  // lower case
        file += "\r\n";
    }
    const Bytes bytes(file.begin(), file.end());
    for (auto _ : state) {
        TextSession s = session;
        const Result<TextImport> imported = importTexts(s, bytes, OverlongMode::Sperren);
        if (!imported) {
            state.SkipWithError(imported.message().c_str());
            break;
        }
        if (imported->changed.empty()) state.SkipWithError("nothing was stored");
        state.counters["stored"] = static_cast<double>(imported->changed.size());
    }
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_ImportEveryTextOfTheLargestTable)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
