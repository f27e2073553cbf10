// Bytes in, loaded workspace (grid, palettes, pictures, available entries) or rejection out;
// a loaded file is rebuilt and loaded again.
//
// The first input byte chooses whether the DNL checksum is fixed up before loading, so
// the fuzzer gets past the checksum test as well as testing it.

#include "workspace/workspace.hpp"
#include "flash/dnl_file.hpp"

#include <algorithm>
#include <cstdlib>

using namespace zarvelo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool fixChecksum = data[0] & 1;
    Bytes dnl(data + 1, data + size);
    if (fixChecksum && dnl.size() >= kDnlHeaderSize) DNL_schreibe_Pruefsumme(dnl, DNL_rechne_Pruefsumme(dnl));

    Workspace ws;
    const Status first = ws.loadBytes(dnl, "fuzz.DNL");
    if (!first.ok()) {
        if (first.message().empty() || ws.fileLoaded || !ws.flash.empty()) std::abort();
        return 0;
    }
    if (ws.flash.size() != 0x80000 && ws.flash.size() != 0x100000) std::abort();
    // The decoded resources of the load sequence stay inside their bounds.
    if (ws.imageDataSize % 2 != 0 || ws.imageDataSize > ws.flash.size()) std::abort();
    if (ws.startImage.size() != 320 * 234 || ws.startImageColourCount > 256) std::abort();
    if (ws.availableCount < 0 || ws.availableCount > 256 ||
        ws.availableList.size() != static_cast<std::size_t>(ws.availableCount))
        std::abort();
    if (ws.dspLogoSupported && (ws.dspIndexList.empty() || ws.dspLogo.size() != 79 * 20)) std::abort();
    if (!ws.dspLogoSupported && !ws.dspIndexList.empty()) std::abort();
    if (!ws.startImageHeaderFound && ws.startImageOffset != 0x40003) std::abort();
    const Bytes dnlBefore = ws.dnl;
    ws.rebuildDnl(ColourMode::Normal);
    const Bytes& out = ws.dnl;
    if (out.size() < kDnlMinimumSize || (out.size() - kDnlMinimumSize) % 60 != 0) std::abort();
    if (!std::equal(out.end() - kDnlTrailerSize, out.end(), dnlBefore.end() - kDnlTrailerSize)) std::abort();
    if (DNL_lese_Pruefsumme(out) != DNL_rechne_Pruefsumme(out)) std::abort();
    // Every rebuilt record carries exactly the flash bytes at its address, in ascending order.
    std::size_t previous = 0;
    for (std::size_t p = kDnlHeaderSize; p < out.size() - kDnlTrailerSize; p += 60) {
        const std::size_t address = out[p] << 16 | out[p + 1] << 8 | out[p + 2];
        if (out[p + 3] != 0x38 || address < 0x6000 || (address <= previous && p != kDnlHeaderSize)) std::abort();
        if (!std::equal(out.begin() + p + 4, out.begin() + p + 60, ws.flash.begin() + address)) std::abort();
        previous = address;
    }
    // The rebuilt file is read again as the same version (the trailer is the loaded file's own,
    // so its records may still be cut off; then the load must say so).
    Workspace again;
    const Status second = again.loadBytes(out, "fuzz2.DNL");
    if (second.ok() && again.versionIndex != ws.versionIndex) std::abort();
    if (!second.ok() && second.message().empty()) std::abort();
    return 0;
}
