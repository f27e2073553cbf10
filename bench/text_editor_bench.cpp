// The text editor window at the largest table a 1 MiB image holds behind the text table
// offset: 8999 texts of 76 characters. Opening (read, fill the list box, first refresh) and
// a search that walks the whole list to its last row.
#include "workspace/workspace.hpp"
#include "flash/firmware_versions.hpp"
#include "scripted_platform.hpp"
#include "synthetic_firmware.hpp"
#include "ui/tf4_texte.hpp"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

using namespace zarvelo;

namespace {

// Version 9 has the lowest text table offset; its texts run to near the end of the image.
Workspace largestTextTable() {
    Workspace ws;
    if (!ws.loadBytes(synth::makeSample({.version = 9, .largeImage = true}).dnl, "x.DNL").ok()) std::abort();
    std::size_t at = static_cast<std::size_t>(firmwareVersion(9).textTableOffset);
    for (int i = 0; i < 8999; ++i) {
        for (int k = 0; k < 76; ++k) ws.flash.at(at++) = static_cast<std::uint8_t>(0x41 + (i + k) % 26);
        for (const std::uint8_t b : {0x00, 0xFF, 0xFF, 0xFF}) ws.flash.at(at++) = b;
    }
    for (const std::uint8_t b : {0x12, 0x00}) ws.flash.at(at++) = b;
    for (const std::uint8_t b : kTextEndMarker) ws.flash.at(at++) = b;
    // The last text alone holds this word.
    at = static_cast<std::size_t>(firmwareVersion(9).textTableOffset) + 8998u * 80u;
    for (const char c : std::string("Zielort")) ws.flash.at(at++) = static_cast<std::uint8_t>(c);
    return ws;
}

void BM_OpenTextEditor(benchmark::State& state) {
    Workspace ws = largestTextTable();
    test::ScriptedPlatform platform;
    TF4_Texte window(ws, platform, {});
    for (auto _ : state) {
        if (!window.FormShow()) state.SkipWithError("table not readable");
        benchmark::DoNotOptimize(window.LB_Texte->count());
    }
}
BENCHMARK(BM_OpenTextEditor)->Unit(benchmark::kMillisecond);

void BM_SearchToTheLastText(benchmark::State& state) {
    Workspace ws = largestTextTable();
    test::ScriptedPlatform platform;
    TF4_Texte window(ws, platform, {});
    if (!window.FormShow()) std::abort();
    for (auto _ : state) {
        window.E_Suche->setText(QStringLiteral("zielor"));  // every edit starts at row 0 again
        window.E_Suche->setText(QStringLiteral("zielort"));
        window.SucheText();
        if (window.currentText() != 8998) state.SkipWithError("search missed the last text");
    }
}
BENCHMARK(BM_SearchToTheLastText)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
