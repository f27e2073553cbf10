// Seeds for the fuzz targets: small synthetic DNL files of every version, prefixed with
// the fuzz target's option byte.

#include "synthetic_firmware.hpp"

#include "flash/firmware_versions.hpp"

#include <algorithm>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace zarvelo;

static void write(const std::filesystem::path& path, std::uint8_t option, ByteView bytes) {
    std::ofstream out(path, std::ios::binary);
    out.put(static_cast<char>(option));
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s TARGET DIR\n", argv[0]);
        return 2;
    }
    const std::string target = argv[1];
    const std::filesystem::path dir = argv[2];
    std::filesystem::create_directories(dir);
    if (target == "fuzz_load") {
        for (int v = 1; v <= kVersionCount; ++v) {
            // Small files: a flash routine record, a few data records, the trailer.
            const Bytes dnl = synth::assembleDnl(
                v, {{0x6000, {0xFE, 0xDC, 0x01, 0x23, 0x00, 0x00, 0x70, 0x00}}, {0x7000, Bytes(40, std::uint8_t(v))},
                    {0x7FFF0, Bytes(16, 0x11)}},
                synth::standardTrailer(v % 3 == 0));
            write(dir / ("small_" + std::to_string(v)), static_cast<std::uint8_t>(v % 2), dnl);
        }
        // Small files with an image header and the first rows of a start image behind it
        // (whole samples would slow every execution down).
        for (int v : {2, 9}) {
            Bytes image = {0x01, 0x40, 0x00, 0xEA};
            for (int row = 0; row < 40; ++row)
                image.insert(image.end(), {std::uint8_t(row), 200, std::uint8_t(row + 1), 100, 7, 20});
            std::vector<synth::Record> records = {{0x6000, {0xFE, 0xDC, 0x01, 0x23, 0x00, 0x00, 0x70, 0x00}}};
            for (std::size_t at = 0; at < image.size(); at += 200)
                records.push_back({static_cast<std::uint32_t>(0x7A000 + at),
                                   Bytes(image.begin() + static_cast<std::ptrdiff_t>(at),
                                         image.begin() + static_cast<std::ptrdiff_t>(std::min(image.size(), at + 200)))});
            write(dir / ("image_" + std::to_string(v)), 1, synth::assembleDnl(v, records, synth::standardTrailer()));
        }
    }
    if (target == "fuzz_editor") {
        // Option byte: the target's flags; then image data size, available entries, colour
        // counts, slider positions and pixel material.
        const std::uint8_t flags[] = {1, 0, 5, 2, 9, 17, 5, 1};
        for (int i = 0; i < 8; ++i) {
            Bytes body = {static_cast<std::uint8_t>(i * 53), static_cast<std::uint8_t>(i * 29)};
            for (int k = 0; k < 32; ++k)
                body.push_back(i == 0 ? 0xFF : i == 1 ? (k == 5 ? 0x01 : 0x00) : static_cast<std::uint8_t>(0x11 << (k + i) % 4));
            body.insert(body.end(), {static_cast<std::uint8_t>(i * 37 + 3), static_cast<std::uint8_t>(i * 71), 200,
                                     static_cast<std::uint8_t>(i * 9), 1, 255});
            for (int k = 0; k < 160; ++k) body.push_back(static_cast<std::uint8_t>((k * (i + 3)) ^ (k >> 2)));
            write(dir / ("editor_" + std::to_string(i)), flags[i], body);
        }
    }
    if (target == "fuzz_texts") {
        // Option byte: table offset 0..3; then table length, table and a few stores.
        auto seed = [&](const std::string& name, std::uint8_t offset, const Bytes& table, const Bytes& stores) {
            Bytes body = {static_cast<std::uint8_t>(table.size()), static_cast<std::uint8_t>(table.size() >> 8)};
            body.insert(body.end(), table.begin(), table.end());
            body.insert(body.end(), stores.begin(), stores.end());
            write(dir / name, offset, body);
        };
        // Stores: position (2 bytes), mode bit and length, text.
        const Bytes stores = {0x00, 0x00, 0x06, 'X', 'Y', 'Z', 0x01, 0x00, 0x09, 'W', 'X', 'Y', 'Z',
                              0x01, 0x00, 0x08, 'W', 'X', 'Y', 'Z', 0x02, 0x00, 0x00, 0x00, 0x00, 0x03, 0xE4};
        const Bytes marker = {0x01, 0x01, 0x06, 0x01, 0x01, 0x06, 0x06, 0x06};
        auto withTail = [&](Bytes texts) {
            texts.insert(texts.end(), {0x12, 0x34, 0x00});
            texts.insert(texts.end(), marker.begin(), marker.end());
            return texts;
        };
        seed("examples", 0,
             withTail({0x41, 0x42, 0x00, 0xFF, 0x41, 0x42, 0x01, 0x43, 0x44, 0x00, 0xFF, 0xFF, 0x41, 0x00, 0x00, 0xFF,
                       0xFF, 0x41, 0x42, 0x43, 0x44, 0x45, 0x00, 0xFF, 0xFF}),
             stores);
        seed("empty_first", 1, withTail({0x00, 0xFF, 0xFF, 0xFF, 0x44, 0x45, 0x00, 0x46, 0x00}), stores);
        seed("no_marker", 2, {0x41, 0x00, 0x42, 0x00, 0xFF}, {});
        for (int v = 1; v <= kVersionCount; ++v) {
            // The sample's text table up to just past its end marker.
            const auto sample = synth::makeSample({.version = v});
            const auto from = sample.flash.begin() + firmwareVersion(v).textTableOffset;
            const auto end = std::search(from, sample.flash.end(), marker.begin(), marker.end()) + 8 + 2;
            seed("sample_" + std::to_string(v), static_cast<std::uint8_t>(v % 4), Bytes(from, end), stores);
        }
    }
    return 0;
}
