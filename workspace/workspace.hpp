#pragma once
// The document shared by all windows and the command line tool: what is saved (the flash
// image in its DNL file), what is decoded from it, the load and save sequences and the
// history of accepted changes. It changes only through its operations; windows read it and
// redraw from the one notification.

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
    const Bytes& dnl() const { return dnl_; }  // the DNL file as loaded, later as rebuilt
    const std::string& fileName() const { return fileName_; }  // path of the loaded file, kept whole (a cut path would propose a wrong save target)
    const Bytes& flash() const { return flash_; }  // flash image, 0x80000 or 0x100000 bytes
    int versionIndex() const { return versionIndex_; }  // 1..13 once a file is loaded
    bool dspLogoSupported() const { return dspLogoSupported_; }
    bool vwOverlays() const { return vwOverlays_; }
    bool fileLoaded() const { return fileLoaded_; }
    const std::array<std::string, 4>& infoLines() const { return infoLines_; }  // software information lines (raw bytes)
    bool markerCorrected() const { return markerCorrected_; }  // the last load corrected a flash-routine marker

    // --- decoded firmware resources (filled by the load sequence, re-read after edits) ---
    const Palette& dayPalette() const { return dayPalette_; }  // grey ramps until a file is loaded
    const Palette& nightPalette() const { return nightPalette_; }
    std::uint32_t startImageOffset() const { return startImageOffset_; }  // position of the first run pair
    bool startImageHeaderFound() const { return startImageHeaderFound_; }  // false: the offset is a fallback, never write there
    bool startImageComplete() const { return startImageComplete_; }  // the decoder reached the top row inside the image
    std::uint32_t imageDataSize() const { return imageDataSize_; }  // bytes of run pairs of the loaded start image
    const std::vector<std::uint8_t>& startImage() const { return startImage_; }  // indices, row 0 = top
    const std::vector<std::uint16_t>& dspLogo() const { return dspLogo_; }  // indices, row 0 = top
    const std::array<std::int32_t, 256>& startImagePixelCounts() const { return startImagePixelCounts_; }
    const std::array<std::int32_t, 256>& dspPixelCounts() const { return dspPixelCounts_; }
    int startImageColourCount() const { return startImageColourCount_; }  // distinct day colours of the start image
    const std::vector<std::uint8_t>& dspIndexList() const { return dspIndexList_; }  // distinct DSP logo indices, first appearance order

    // Palette entries a new start image and DSP logo may use. The count is held wider than a
    // byte: a firmware may use all 256 entries.
    const std::array<bool, 256>& availableEntries() const { return availableEntries_; }
    int availableCount() const { return availableCount_; }
    const std::vector<std::uint8_t>& availableList() const { return availableList_; }

    bool gridActive() const { return gridActive_; }  // the grid patch is in its active form

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
    bool isModified() const { return fileLoaded_ && history_.modified(); }

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
    // The flash image and DNL file a save in `mode` writes, built on copies: the document
    // stays as it is.
    struct RebuiltFile {
        Bytes flash;
        Bytes dnl;
    };
    RebuiltFile rebuilt(ColourMode mode) const;

    // Runs on the temporary file of a DNL save after it is written and before it is read
    // back; tests put a disk that stores something else here. Empty in the program.
    std::function<void(const std::string& tempPath)> afterDnlWritten;

    // Writes the flash image as it is.
    Status saveBin(const std::string& path) const;

    std::size_t paletteOffset() const;

    // The text list of the loaded version, for the text editor; refused with a German
    // message when the table cannot be edited.
    Result<TextList> BIN_zu_TexteArray() const;
    // Writes the listed texts back into the flash image as one step. Refused, writing
    // nothing, for a list that does not belong to the loaded version's table.
    Status TexteArray_zu_BIN(const TextList& list);

    // --- palettes ---
    // The palette of the day or the night view.
    const Palette& palette(bool dayView) const { return dayView ? dayPalette_ : nightPalette_; }
    // Entries shown by the start image or (where supported) the DSP logo.
    EntryFlags usedEntries() const;
    // Does the start image look different by night? (identical / differs / neither)
    DayNightDiff Check_TagNachtDiff() const;
    // "Korrigieren?": copies the used entries of the shown palette (day or night) into the
    // other one, re-reads. A refusal changes nothing.
    Status P_FixTagNachtClick(bool dayView);
    // Colour editor "OK": writes one entry of the shown palette, re-reads palettes and start
    // image. A refusal changes nothing.
    Status BIN_schreibe_Farbe(bool dayView, std::uint8_t index, Rgb colour);
    // Width of one cell of a palette strip `stripWidth` pixels wide; 0 when nothing is available.
    double paletteCellWidth(double stripWidth) const;

    // --- pictures ---
    // Previews in the day or night palette, with `selected` (0..255) picked out in its
    // contrast colour (-1: all colours); no overlays.
    RgbImage startImagePreview(bool dayView, int selected = -1) const;
    RgbImage dspLogoPreview(bool dayView, int selected = -1) const;
    // The start image editor's "Daten übernehmen": `write` puts run pairs, palette entries
    // and logo into the flash image (or refuses, changing nothing); then `entries` become the
    // available entries, and palettes, logo and start image are read again. One step; a
    // refusal's message is handed on.
    Status takeStartImage(const std::function<Status(Bytes& flash)>& write, const EntryTable& entries);

    // --- grid patch ---
    // Writes the active (on) or inactive form; sets gridActive. Refused, nothing changed, for
    // versions without grid lines.
    Status BIN_Gitter(bool on);
    // The grid patch as it is in the flash image (Absent for versions without one).
    GridState gridState() const;

    static Palette greyRamp(bool inverted) {
        Palette p;
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(inverted ? 255 - i : i);
            p[static_cast<std::size_t>(i)] = {v, v, v};
        }
        return p;
    }

private:
    // --- document (replaced whole by each successful load) ---
    Bytes dnl_;
    std::string fileName_;
    Bytes flash_;
    int versionIndex_ = 0;
    bool dspLogoSupported_ = false;
    bool vwOverlays_ = false;
    bool fileLoaded_ = false;
    std::array<std::string, 4> infoLines_;
    bool markerCorrected_ = false;

    // --- decoded firmware resources (filled by the load sequence, re-read after edits) ---
    Palette dayPalette_ = greyRamp(false);
    Palette nightPalette_ = greyRamp(true);
    std::uint32_t startImageOffset_ = 0;
    bool startImageHeaderFound_ = false;
    bool startImageComplete_ = false;
    std::uint32_t imageDataSize_ = 0;
    std::vector<std::uint8_t> startImage_ = std::vector<std::uint8_t>(320 * 234);
    std::vector<std::uint16_t> dspLogo_ = std::vector<std::uint16_t>(79 * 20);
    std::array<std::int32_t, 256> startImagePixelCounts_{};
    std::array<std::int32_t, 256> dspPixelCounts_{};
    int startImageColourCount_ = 0;
    std::vector<std::uint8_t> dspIndexList_;

    // Palette entries a new start image and DSP logo may use. The count is held wider than a
    // byte: a firmware may use all 256 entries.
    std::array<bool, 256> availableEntries_{};
    int availableCount_ = 0;
    std::vector<std::uint8_t> availableList_;

    bool gridActive_ = false;

    // Runs `change` (a failure must have changed nothing) and records what it did to the flash
    // image and the available entries as one step of `kind` labelled `label`, if anything
    // differs. A change of the entries alone is the expert selection, which a save does not
    // write. Without a loaded file, or when `change` refuses, no step is recorded and the
    // message is handed on.
    Status applyChange(ChangeKind kind, const std::string& label, const std::function<Status()>& change);

    // Everything decoded from the flash image, in the order of the load sequence.
    void rederive();
    // The steps of it.
    void BIN_pruefe_GitterDa();
    void BIN_suche_Boot_Start_Offset();
    void BIN_lese_Palette();
    void BIN_Lese_DSP();
    void BIN_lese_Startbild();
    void BIN_zu_Versionstexte();
    // Rebuilds availableCount and availableList from availableEntries.
    void Setze_MaxColor();
    // After the start image editor wrote into the flash image: palettes, DSP logo, start image.
    void rereadAfterStartImageEditor();

    void notify(ChangeKind kind, ChangeCause cause);
    bool moveInHistory(bool forward);

    History history_;
    std::vector<Listener> listeners_;
};

}  // namespace zarvelo
