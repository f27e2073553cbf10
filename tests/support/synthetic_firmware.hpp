#pragma once
// Synthetic firmware factory: realistic DNL files for each of the 13 firmware versions,
// built from scratch (no firmware of a real unit is ever used). Tests, benchmarks, fuzz
// seeds and the sample files for new users come from here.

#include "flash/bytes.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zarvelo::synth {

enum class GridData { Active, Inactive, Foreign };
enum class NightPalette {
    Darker,         // night entries of used colours differ from the day entries
    SameAsDay,      // byte-identical palettes
    DiffersUnused,  // palettes differ only in entries no picture uses
};

struct Options {
    int version = 1;                    // 1..13
    bool largeImage = false;            // 0x100000-byte flash image
    bool damagedSecondMarker = false;   // trailer record for 0x6000 without the marker
    bool originalChecksum = true;       // DNL checksum equals the version's original
    GridData grid = GridData::Active;
    NightPalette night = NightPalette::Darker;
    std::uint32_t seed = 1;
    // Start image complexity: 0 = plain bands only, higher = more detail (longer code).
    int detail = 2;
    // The start image uses every palette entry (its top row shows indices 0..255).
    bool allEntries = false;
    // Without the image header: the start image cannot be found.
    bool imageHeader = true;
};

struct Sample {
    Bytes dnl;                        // the DNL file
    Bytes flash;                      // the flash image a correct loader unpacks from it
    std::size_t startImageHeader = 0; // offset of 01 40 00 EA (where it would be without a header)
    std::size_t imageDataSize = 0;    // bytes of run pairs
    std::vector<std::uint8_t> startImage;  // 320 x 234 palette indices, row 0 = top
    std::vector<std::uint8_t> dspLogo;     // 79 x 20 palette indices (empty without DSP logo)
    std::vector<Bytes> textEntries;        // listed entries (text, terminator, filler)
    std::array<std::string, 4> infoLines;  // the software information lines a loader shows
};

Sample makeSample(const Options& options);

// Header + records (as given) + trailer, with correct length and checksum fields.
// Records are (address, data) pairs written in the given order.
struct Record {
    std::uint32_t address;
    Bytes data;
};
Bytes assembleDnl(int version, const std::vector<Record>& records, ByteView trailer);

// A valid 68-byte trailer: a record for 0x6000 with the flash-routine marker.
// The DNL file `dnl` with its flash image replaced by `flash`, as a save in the normal
// colour mode writes it: for fixtures that need bytes no editing operation writes.
Bytes withFlash(Bytes dnl, Bytes flash);

Bytes standardTrailer(bool damagedMarker = false);

// Sets the two checksum-free bytes near the end of the trailer so that the DNL checksum
// becomes `wanted`, then writes length and checksum fields.
void forceChecksum(Bytes& dnl, std::uint16_t wanted);

// Run-length codes a 320 x 234 index image the way the firmware stores it.
Bytes encodeStartImage(const std::vector<std::uint8_t>& pixels);

}  // namespace zarvelo::synth
