#pragma once
// The document shared by all windows and the command line tool: what is saved (the flash
// image in its DNL file), what is decoded from it, the load and save sequences and the
// history of accepted changes. Windows read the fields and call the operations; they never
// patch a decoded copy themselves, and they redraw from the one notification.

#include "flash/bytes.hpp"
#include "flash/rebuild.hpp"
#include "flash/result.hpp"
#include "graphics/grid.hpp"
#include "graphics/palette.hpp"
#include "graphics/palette_block.hpp"
#include "graphics/rgb_image.hpp"
#include "texts/text_table.hpp"
#include "workspace/history.hpp"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zarvelo {

// Upper bound for a DNL file: a 1 MiB image in records with a generous margin.
inline constexpr std::size_t kMaxDnlFileSize = 8u << 20;

class Workspace {
public:
    // --- document (replaced whole by each successful load) ---
    Bytes dnl;              // the DNL file as loaded, later as rebuilt
    std::string fileName;   // path of the loaded file, kept whole (a cut path would propose a wrong save target)
    Bytes flash;            // flash image, 0x80000 or 0x100000 bytes
    int versionIndex = 0;   // 1..13 once a file is loaded
    bool dspLogoSupported = false;
    bool vwOverlays = false;
    bool fileLoaded = false;
    std::array<std::string, 4> infoLines;  // software information lines (raw bytes)
    bool markerCorrected = false;  // the last load corrected a flash-routine marker

    // --- decoded firmware resources (filled by the load sequence, re-read after edits) ---
    Palette dayPalette = greyRamp(false);    // grey ramps until a file is loaded
    Palette nightPalette = greyRamp(true);
    std::uint32_t startImageOffset = 0;      // position of the first run pair
    bool startImageHeaderFound = false;      // false: the offset is a fallback, never write there
    bool startImageComplete = false;         // the decoder reached the top row inside the image
    std::uint32_t imageDataSize = 0;         // bytes of run pairs of the loaded start image
    std::vector<std::uint8_t> startImage = std::vector<std::uint8_t>(320 * 234);  // indices, row 0 = top
    std::vector<std::uint16_t> dspLogo = std::vector<std::uint16_t>(79 * 20);     // indices, row 0 = top
    std::array<std::int32_t, 256> startImagePixelCounts{};
    std::array<std::int32_t, 256> dspPixelCounts{};
    int startImageColourCount = 0;           // distinct day colours of the start image
    std::vector<std::uint8_t> dspIndexList;  // distinct DSP logo indices, first appearance order

    // Palette entries a new start image and DSP logo may use. The count is held wider than a
    // byte: a firmware may use all 256 entries.
    std::array<bool, 256> availableEntries{};
    int availableCount = 0;
    std::vector<std::uint8_t> availableList;

    bool gridActive = false;  // the grid patch is in its active form

    // --- history ---
    // Every operation that changes the flash image or the available entries records one
    // step and then tells the listeners; so do undo, redo, a load and a save.
    using Listener = std::function<void(const DocumentChange&)>;
    void addListener(Listener listener) { listeners_.push_back(std::move(listener)); }
    const History& history() const { return history_; }
    // Takes back or makes again one step and re-derives palettes, pictures, grid state and
    // information lines from the flash image, as a load of that image would. False when
    // there is no step.
    bool undo();
    bool redo();
    // The document differs from the file last loaded or saved.
    bool isModified() const { return fileLoaded && history_.modified(); }
    // Runs `change` (true: it changed the document; false: it refused and changed nothing)
    // and records what it did to the flash image and the available entries as one step of
    // `kind` labelled `label`, if anything differs. A change of the entries alone is the
    // expert selection, which a save does not write.
    bool applyChange(ChangeKind kind, const std::string& label, const std::function<bool()>& change);

    // Load sequence: read, checksum, version, unpack, then grid, start image offset, palettes,
    // DSP logo, start image, information lines and available entries. On any
    // failure the workspace is exactly as it was before. A loaded file starts a new history;
    // markerCorrected tells whether the load corrected a flash-routine marker.
    Status loadFile(const std::string& path);
    Status loadBytes(Bytes bytes, const std::string& path);

    // Applies the colour mode and rebuilds the DNL file on copies, writes it, reads the
    // written file back and checks it (checksum, unpacked flash image) before it replaces
    // the target. Only a written and verified file changes the workspace: after a failed
    // save, flash image, palettes and DNL file are exactly as they were.
    // A failure carries the system's error text.
    Status saveDnl(const std::string& path, ColourMode mode);
    // Colour mode and rebuild alone, applied to the workspace.
    void rebuildDnl(ColourMode mode);

    // Runs on the temporary file of a DNL save after it is written and before it is read
    // back; tests put a disk that stores something else here. Empty in the program.
    std::function<void(const std::string& tempPath)> afterDnlWritten;

    // Writes the flash image as it is.
    Status saveBin(const std::string& path) const;

    // Rebuilds the four software information lines from flash image and DNL file.
    void BIN_zu_Versionstexte();

    std::size_t paletteOffset() const;

    // The text list of the loaded version, for the text editor; refused with a German
    // message when the table cannot be edited.
    Result<TextList> BIN_zu_TexteArray() const;
    // Writes the listed texts back into the flash image as one step. Refused, writing
    // nothing, for a list that does not belong to the loaded version's table.
    Status TexteArray_zu_BIN(const TextList& list);

    // --- palettes ---
    // Reads day and night palette from the flash image into the copies.
    void BIN_lese_Palette();
    // The palette of the day or the night view.
    const Palette& palette(bool dayView) const { return dayView ? dayPalette : nightPalette; }
    // Entries shown by the start image or (where supported) the DSP logo.
    EntryFlags usedEntries() const;
    // Does the start image look different by night? (identical / differs / neither)
    DayNightDiff Check_TagNachtDiff() const;
    // "Korrigieren?": copies the used entries of the shown palette (day or night) into the
    // other one, re-reads.
    void P_FixTagNachtClick(bool dayView);
    // Colour editor "OK": writes one entry of the shown palette, re-reads palettes and start image.
    void BIN_schreibe_Farbe(bool dayView, std::uint8_t index, Rgb colour);
    // Rebuilds availableCount and availableList from availableEntries.
    void Setze_MaxColor();
    // Width of one cell of a palette strip `stripWidth` pixels wide; 0 when nothing is available.
    double paletteCellWidth(double stripWidth) const;

    // --- pictures ---
    // Finds the image header; sets startImageOffset and startImageHeaderFound.
    void BIN_suche_Boot_Start_Offset();
    // Decodes the start image: indices, pixel counts, image data size, colour count.
    void BIN_lese_Startbild();
    // Reads the DSP logo, its pixel counts and index list (nothing without DSP logo support).
    void BIN_Lese_DSP();
    // After the start image editor wrote into the flash image: palettes, DSP logo, start image.
    void rereadAfterStartImageEditor();
    // Previews in the day or night palette, with `selected` (0..255) picked out in its
    // contrast colour (-1: all colours); no overlays.
    RgbImage startImagePreview(bool dayView, int selected = -1) const;
    RgbImage dspLogoPreview(bool dayView, int selected = -1) const;

    // --- grid patch ---
    // Reads the grid patch: sets gridActive.
    void BIN_pruefe_GitterDa();
    // Writes the active (on) or inactive form; sets gridActive. Nothing for versions without grid.
    void BIN_Gitter(bool on);
    // The grid patch as it is in the flash image (Absent for versions without one).
    GridState gridState() const;

    // Everything decoded from the flash image, in the order of the load sequence.
    void rederive();

    static Palette greyRamp(bool inverted) {
        Palette p;
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(inverted ? 255 - i : i);
            p[static_cast<std::size_t>(i)] = {v, v, v};
        }
        return p;
    }

private:
    void notify(ChangeKind kind, ChangeCause cause);
    bool moveInHistory(bool forward);

    History history_;
    std::vector<Listener> listeners_;
};

}  // namespace zarvelo
