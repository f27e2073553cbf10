#pragma once
// The document state shared by all windows and the command line tool, with the load and
// save sequences. Windows read the fields and call the operations; they never patch a
// decoded copy themselves.

#include "flash/bytes.hpp"
#include "flash/rebuild.hpp"

#include <array>
#include <cstdint>
#include <string>

namespace zarvelo {

// Upper bound for a DNL file: a 1 MiB image in records with a generous margin.
inline constexpr std::size_t kMaxDnlFileSize = 8u << 20;

struct LoadOutcome {
    bool ok = false;
    std::string message;           // German message for a rejected file (empty on success)
    bool markerCorrected = false;  // the flash-routine marker was corrected in the DNL copy
};

struct SaveOutcome {
    bool ok = false;
    std::string message;  // system error text on failure
};

class Workspace {
public:
    // --- document (replaced whole by each successful load) ---
    Bytes dnl;              // the DNL file as loaded, later as rebuilt
    std::string fileName;   // path of the loaded file, at most 255 characters
    Bytes flash;            // flash image, 0x80000 or 0x100000 bytes
    int versionIndex = 0;   // 1..13 once a file is loaded
    bool dspLogoSupported = false;
    bool vwOverlays = false;
    bool fileLoaded = false;
    std::array<std::string, 4> infoLines;  // software information lines (raw bytes)
    bool markerCorrected = false;  // the last load corrected a flash-routine marker

    // --- view state ---
    bool expertMode = false;

    // Load step: read, checksum, version, unpack. On any failure the workspace is exactly
    // as it was before.
    LoadOutcome loadFile(const std::string& path);
    LoadOutcome loadBytes(Bytes bytes, const std::string& path);

    // Applies the colour mode, rebuilds the DNL file and writes it. The colour mode and the
    // rebuild stay in the workspace even when writing fails.
    SaveOutcome saveDnl(const std::string& path, ColourMode mode);
    // Colour mode and rebuild alone (what a save does before writing).
    void rebuildDnl(ColourMode mode);

    // Writes the flash image as it is.
    SaveOutcome saveBin(const std::string& path) const;

    // Rebuilds the four software information lines from flash image and DNL file.
    void BIN_zu_Versionstexte();

    std::size_t paletteOffset() const;
};

}  // namespace zarvelo
