#include "graphics/dsp_fit.hpp"

#include "graphics/messages.hpp"

#include <algorithm>
#include <cstdio>

namespace zarvelo {

std::array<std::string, 7> dspReport(int startColours, int logoColours, int sum, int identical, int needed,
                                      int threshold, int totalCount) {
    const int numbers[7] = {startColours, logoColours, sum, identical, needed, threshold, totalCount};
    std::array<std::string, 7> lines;
    for (int i = 0; i < 7; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%3d", numbers[i]);
        lines[static_cast<std::size_t>(i)] = std::string(msg::kDspReportTexts[static_cast<std::size_t>(i)]) + number;
    }
    return lines;
}

DspFit optimiere_Palette_fuer_DSP(const ColourSet& akt, const ColourSet& aktDsp, int availableCount) {
    DspFit fit;
    const int nS = std::clamp(akt.count, 0, 256), nD = std::clamp(aktDsp.count, 0, 256);
    fit.startColours = nS;
    fit.logoColours = nD;
    fit.finalDspPalette = aktDsp.palette;
    fit.combined = akt.palette;

    constexpr int kUnassigned = -1;
    std::array<int, 256> assigned;
    assigned.fill(kUnassigned);
    for (int s = 0; s < nS; ++s)
        for (int d = 0; d < nD; ++d)
            if (akt.palette[static_cast<std::size_t>(s)] == aktDsp.palette[static_cast<std::size_t>(d)]) {
                assigned[static_cast<std::size_t>(d)] = s;
                ++fit.identical;
            }
    fit.sum = nS + nD;
    fit.needed = fit.sum - fit.identical;
    const int excess = fit.needed - availableCount;

    // Raising the threshold one step at a time replaces the logo colours in the order of their
    // difference to the nearest start colour (the lowest start entry on ties), within a step
    // by start entry, then logo entry; so sort by exactly that and take the first `excess`.
    int replaced = 0;
    if (excess > 0) {
        struct Candidate {
            int difference, start, logo;
        };
        std::vector<Candidate> candidates;
        for (int d = 0; d < nD; ++d) {
            if (assigned[static_cast<std::size_t>(d)] != kUnassigned || nS == 0) continue;
            Candidate c{INT32_MAX, 0, d};
            for (int s = 0; s < nS; ++s) {
                const int diff = colourDifference(akt.palette[static_cast<std::size_t>(s)],
                                                  aktDsp.palette[static_cast<std::size_t>(d)]);
                if (diff < c.difference) c = {diff, s, d};
            }
            candidates.push_back(c);
        }
        std::sort(candidates.begin(), candidates.end(), [](const Candidate& x, const Candidate& y) {
            if (x.difference != y.difference) return x.difference < y.difference;
            if (x.start != y.start) return x.start < y.start;
            return x.logo < y.logo;
        });
        for (const Candidate& c : candidates) {
            if (replaced >= excess) break;
            assigned[static_cast<std::size_t>(c.logo)] = c.start;
            ++replaced;
            fit.threshold = c.difference + 1;
        }
    }
    fit.totalCount = fit.needed - replaced;
    fit.report = dspReport(nS, nD, fit.sum, fit.identical, fit.needed, fit.threshold, fit.totalCount);

    int fresh = 0;
    for (int d = 0; d < nD; ++d) {
        int& a = assigned[static_cast<std::size_t>(d)];
        if (a != kUnassigned) {
            fit.finalDspPalette[static_cast<std::size_t>(d)] = akt.palette[static_cast<std::size_t>(a)];
        } else {
            const int entry = std::min(nS + fresh, 255);
            fit.combined[static_cast<std::size_t>(entry)] = aktDsp.palette[static_cast<std::size_t>(d)];
            a = entry;
            ++fresh;
        }
    }
    fit.finalImage.resize(aktDsp.index.size());
    for (std::size_t p = 0; p < aktDsp.index.size(); ++p)
        fit.finalImage[p] = static_cast<std::uint8_t>(std::max(assigned[aktDsp.index[p]], 0));
    for (int e = std::max(fit.totalCount, 0); e < 256; ++e) fit.combined[static_cast<std::size_t>(e)] = kWhiteFiller;
    return fit;
}

RgbImage renderFittedLogo(const ColourSet& aktDsp, const DspFit& fit) {
    return renderIndices(aktDsp, fit.finalDspPalette);
}

}  // namespace zarvelo
