// Seeds for the fuzz targets: small synthetic DNL files of every version, prefixed with
// the fuzz target's option byte.

#include "synthetic_firmware.hpp"

#include "flash/firmware_versions.hpp"

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
    }
    return 0;
}
