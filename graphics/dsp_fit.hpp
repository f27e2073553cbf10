#pragma once
// Fitting the DSP logo's colours into the palette entries left by the start image. The
// start image keeps all its colours and entry numbers; logo colours equal to a start image
// colour share its entry, the others get entries of their own while there are any, and the
// rest are replaced by their nearest start image colour, the nearest first.

#include "graphics/colour_set.hpp"

#include <array>
#include <string>
#include <vector>

namespace zarvelo {

struct DspFit {
    int startColours = 0;  // nS, count of AKT
    int logoColours = 0;   // nD, count of AKT_DSP
    int sum = 0;           // nS + nD
    int identical = 0;     // logo colours equal to a start image colour
    int needed = 0;        // sum - identical
    int threshold = 0;     // largest colour difference accepted, plus one; 0 when nothing was replaced
    int totalCount = 0;    // combined-palette entries in use
    Palette combined{};    // NEU: AKT's colours, then the logo's own; white from totalCount on
    Palette finalDspPalette{};              // the colour each AKT_DSP entry finally shows
    std::vector<std::uint8_t> finalImage;   // 79 x 20 combined-palette entry numbers
    std::array<std::string, 7> report;      // LB_DSP_FarbInfo
};

DspFit optimiere_Palette_fuer_DSP(const ColourSet& akt, const ColourSet& aktDsp, int availableCount);

// The seven report lines: fixed 34-character texts, numbers right-aligned to 3 places.
std::array<std::string, 7> dspReport(int startColours, int logoColours, int sum, int identical, int needed,
                                      int threshold, int totalCount);

// I_DSP_optimiert: each logo pixel in its final colour.
RgbImage renderFittedLogo(const ColourSet& aktDsp, const DspFit& fit);

}  // namespace zarvelo
