#pragma once
// Choosing each pixel's palette colour when the number of runs is limited: per row a
// dynamic programme over (pixel, colour) with a price per new run, the price searched until
// the whole picture's run pairs fit the budget. Rows are independent for a given price, so
// the rows of the two prices that bracket the budget are finally mixed, the rows that gain
// most per extra pair first, to use the budget to the last pair.

#include "graphics/palette_quantiser.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zarvelo {

struct RunAssignment {
    std::vector<std::uint8_t> index;  // per pixel, rows top-down
    std::size_t pairs = 0;            // run pairs of the code (runs of at most 255 pixels)
    double distortion = 0;            // summed squared distance in the perceptual space
    std::vector<std::size_t> rowPairs;
    std::vector<double> rowDistortion;
};

class RunBudgetFitter {
public:
    // `candidates`: how many of the nearest palette colours a run may start with at a pixel;
    // `maxStates`: how many runs of different colours are followed at once.
    RunBudgetFitter(const PicturePoints& points, int candidates, int maxStates);

    // Palette of 1..256 colours; its points and each cell's nearest colours are computed once.
    void setPalette(const std::vector<Rgb>& palette);

    // The assignment with the least distortion found whose pairs are at most `maxPairs`
    // (at least one pair per 255 pixels of a row, which one colour needs, must be allowed).
    // `price` is a starting guess for the run price and receives the price used. The search
    // ends once the pairs reach `closeness` (0..1) of the budget, or the bracket is tight.
    RunAssignment fit(std::size_t maxPairs, double& price, double closeness = 0.995);

    // The pairs and distortion of the assignment at one run price.
    RunAssignment solve(double price);

private:
    const PicturePoints& points_;
    int candidates_;
    int maxStates_;
    std::vector<std::array<float, 3>> palette_;
    std::vector<std::uint8_t> cellCandidates_;  // candidates_ per cell
    int perCell_ = 0;
    std::vector<int> bestColour_, bestStart_;  // per pixel of the row being solved

    void solveRow(int y, float price, std::uint8_t* out, std::size_t& pairs, double& distortion);
};

// Run pairs of one row of index values: runs of equal values, at most 255 long.
std::size_t rowPairs(const std::uint8_t* row, int width);

}  // namespace zarvelo
