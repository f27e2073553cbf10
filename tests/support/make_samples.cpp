// Writes one synthetic sample DNL file per firmware version into a folder, for a new user
// to open (no firmware of a real unit is shipped).

#include "synthetic_firmware.hpp"

#include "flash/firmware_versions.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir(argv[1]);
    std::filesystem::create_directories(dir);
    for (int v = 1; v <= zarvelo::kVersionCount; ++v) {
        zarvelo::synth::Options options;
        options.version = v;
        const auto sample = zarvelo::synth::makeSample(options);
        std::string name(zarvelo::firmwareVersion(v).name);
        for (char& c : name)
            if (c == ' ' || c == '.' || c == '(' || c == ')') c = '_';
        char file[160];
        std::snprintf(file, sizeof file, "Beispiel_%02d_%s.DNL", v, name.c_str());
        std::ofstream out(dir / file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(sample.dnl.data()), static_cast<std::streamsize>(sample.dnl.size()));
        if (!out) return 1;
    }
    return 0;
}
