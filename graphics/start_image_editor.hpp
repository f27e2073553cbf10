#pragma once
// The start image editor's working state and operations, without any window: the copies
// taken over from the main page, the colour sets O -> MAX -> AKT and O_DSP -> AKT_DSP, the
// DSP fitting and the encoded result. The window and the command line tool drive it alike.

#include "flash/bytes.hpp"
#include "flash/result.hpp"
#include "graphics/colour_set.hpp"
#include "graphics/dsp_fit.hpp"
#include "graphics/expert_selection.hpp"
#include "graphics/reduction.hpp"

#include <array>
#include <cstddef>

namespace zarvelo {

// What the editor takes over from the main page.
struct EditorInputs {
    int availableCount = 0;
    std::array<bool, 256> availableEntries{};
    Palette dayPalette{};
    Palette nightPalette{};
    bool dspLogoSupported = false;
    std::size_t imageDataSize = 0;
    RgbImage startPicture;  // the main page's start image as it shows it (320 x 234)
    RgbImage dspPicture;    // the main page's DSP logo as it shows it (79 x 20), when supported
};

// What an accepted picture became.
enum class ImportKind { StartImage, DspLogo };

// Where the result goes in the flash image.
struct FlashTarget {
    bool startImageHeaderFound = false;
    std::size_t startImageOffset = 0;
    std::size_t paletteOffset = 0;
    std::size_t dspLogoOffset = 0;  // used only with DSP logo support
};

class StartImageEditor {
public:
    // --- the editor's copies (handed back on acceptance) ---
    int availableCount = 0;
    std::array<bool, 256> availableEntries{};
    Palette dayPalette{};
    Palette nightPalette{};
    bool dspLogoSupported = false;
    std::size_t imageDataSize = 0;
    double paletteCellWidth = 0;

    // --- pictures and colour sets ---
    RgbImage pictureLeft;  // I_Bild_links: the start picture as loaded
    RgbImage dspLeft;      // I_DSP_links: the DSP logo as loaded
    ColourSet O, MAX, AKT, O_DSP, AKT_DSP;
    int maximumPossible = 0;  // count of MAX before the limit to the available entries
    bool fitsImageData = true;  // false when not even one colour fits the firmware's space
    DspFit fit;                 // valid with DSP logo support

    int startSliderPosition = 0;  // TB_Startbild, range 1..availableCount
    int dspSliderPosition = 0;    // TB_DSP, range 1..availableCount

    // Take-over from the main page (Zeige_vorhandene_Bilder_an).
    void Zeige_vorhandene_Bilder_an(const EditorInputs& inputs);

    // A picture loaded from a file, already in 24 bits per pixel: checked, then imported as
    // start image (320 x 234) or DSP logo (79 x 20); the other kind keeps its state. A
    // refused picture (beep and show the message) changes nothing.
    Result<ImportKind> importPicture(const RgbImage& picture);

    // Slider moves by the user.
    SliderOutcome TB_StartbildChange(int position);
    SliderOutcome TB_DSPChange(int position);
    // The logo reduced from its original to `colours` (what a series of DSP slider moves
    // amounts to); never more colours than the original has.
    void reduceLogoTo(int colours);

    // The expert selection was accepted with a change ("ändern").
    void applyEntrySelection(const EntrySelection& selection);
    EntrySelection entrySelection() const { return {availableEntries, availableCount}; }

    // Combined palette and its count as written: with DSP logo support from the fitting,
    // otherwise AKT's own.
    const Palette& combinedPalette() const { return dspLogoSupported ? fit.combined : AKT.palette; }
    int totalColourCount() const { return dspLogoSupported ? fit.totalCount : AKT.count; }

    // Encodes AKT and writes run pairs, palette entries (day and night) and, with DSP logo
    // support, the logo into `flash`. A refusal leaves the flash image unchanged.
    Status NEU_schreibe_in_BIN(Bytes& flash, const FlashTarget& target) const;

private:
    MergeSequence startMerges_;  // O down to one colour
    int fitMerges_ = 0;          // merges from O to the fitted MAX
    MergeSequence logoMerges_;   // O_DSP down to one colour

    void takeStartPicture(const RgbImage& picture);  // O, MAX, AKT from a start picture
    void takeLogoPicture(const RgbImage& picture);   // O_DSP, AKT_DSP from a logo picture
    void limitMaxAndResetAkt();
    void setAktCount(int count);
    void setLogoCount(int count);
    void refit();
};

}  // namespace zarvelo
