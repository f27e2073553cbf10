#include "graphics/run_budget.hpp"

#include "graphics/run_length.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace zarvelo {

std::size_t rowPairs(const std::uint8_t* row, int width) {
    std::size_t pairs = 0;
    forEachRun(row, width, [&](std::uint8_t, int) { ++pairs; });
    return pairs;
}

RunBudgetFitter::RunBudgetFitter(const PicturePoints& points, int candidates, int maxStates)
    : points_(points), candidates_(std::clamp(candidates, 1, 256)), maxStates_(std::clamp(maxStates, 1, 256)) {
    bestColour_.resize(static_cast<std::size_t>(points.width));
    bestStart_.resize(static_cast<std::size_t>(points.width));
}

void RunBudgetFitter::setPalette(const std::vector<Rgb>& palette) {
    palette_.clear();
    for (const Rgb c : palette) palette_.push_back(points_.space.toPoint(c));
    const int k = static_cast<int>(palette_.size());
    perCell_ = std::min(candidates_, k);
    cellCandidates_.assign(points_.cells.size() * static_cast<std::size_t>(perCell_), 0);
    std::vector<std::pair<float, int>> order(static_cast<std::size_t>(k));
    for (std::size_t c = 0; c < points_.cells.size(); ++c) {
        for (int e = 0; e < k; ++e) order[static_cast<std::size_t>(e)] = {squaredDistance(points_.cells[c].mean, palette_[static_cast<std::size_t>(e)]), e};
        std::partial_sort(order.begin(), order.begin() + perCell_, order.end());
        for (int m = 0; m < perCell_; ++m)
            cellCandidates_[c * static_cast<std::size_t>(perCell_) + static_cast<std::size_t>(m)] =
                static_cast<std::uint8_t>(order[static_cast<std::size_t>(m)].second);
    }
}

// States are the colours whose run may still be going on at this pixel. A state costing
// at least the cheapest one plus the run price can never win (starting that colour afresh
// from the cheapest state is no dearer), so it is dropped; that keeps the states few.
void RunBudgetFitter::solveRow(int y, float price, std::uint8_t* out, std::size_t& pairs, double& distortion) {
    const int w = points_.width;
    const std::size_t base = static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
    const float* p0 = points_.point[0].data() + base;
    const float* p1 = points_.point[1].data() + base;
    const float* p2 = points_.point[2].data() + base;
    const std::uint16_t* cellOf = points_.cellOf.data() + base;
    const float* weight = points_.weight.data() + base;
    const auto* pal = palette_.data();

    int stateColour[256];
    float stateCost[256];
    int stateStart[256];
    std::int16_t slot[256];
    std::fill(std::begin(slot), std::end(slot), std::int16_t{-1});
    int states = 0;
    float bestBefore = 0;
    for (int x = 0; x < w; ++x) {
        const float a = p0[x], b = p1[x], c = p2[x], wx = weight[x];
        auto distance = [&](int k) {
            const float d0 = a - pal[k][0], d1 = b - pal[k][1], d2 = c - pal[k][2];
            return wx * (d0 * d0 + d1 * d1 + d2 * d2);
        };
        for (int s = 0; s < states; ++s) stateCost[s] += distance(stateColour[s]);
        const float startCost = bestBefore + price;
        const std::uint8_t* cand = cellCandidates_.data() + static_cast<std::size_t>(cellOf[x]) * static_cast<std::size_t>(perCell_);
        for (int m = 0; m < perCell_; ++m) {
            const int k = cand[m];
            if (slot[k] >= 0) continue;
            slot[k] = static_cast<std::int16_t>(states);
            stateColour[states] = k;
            stateCost[states] = startCost + distance(k);
            stateStart[states] = x;
            ++states;
        }
        int best = 0;
        for (int s = 1; s < states; ++s)
            if (stateCost[s] < stateCost[best]) best = s;
        const float bestCost = stateCost[best];
        bestColour_[static_cast<std::size_t>(x)] = stateColour[best];
        bestStart_[static_cast<std::size_t>(x)] = stateStart[best];
        const float limit = bestCost + price;
        int kept = 0;
        for (int s = 0; s < states; ++s) {
            if (stateCost[s] < limit || s == best) {
                stateColour[kept] = stateColour[s];
                stateCost[kept] = stateCost[s];
                stateStart[kept] = stateStart[s];
                slot[stateColour[kept]] = static_cast<std::int16_t>(kept);
                ++kept;
            } else {
                slot[stateColour[s]] = -1;
            }
        }
        if (kept > maxStates_) {
            // Only the cheapest states go on; the others would need long runs to catch up.
            int order[256];
            std::iota(order, order + kept, 0);
            std::nth_element(order, order + maxStates_, order + kept, [&](int u, int v) {
                return stateCost[u] < stateCost[v] || (stateCost[u] == stateCost[v] && stateColour[u] < stateColour[v]);
            });
            std::sort(order, order + maxStates_);
            for (int s = maxStates_; s < kept; ++s) slot[stateColour[order[s]]] = -1;
            for (int s = 0; s < maxStates_; ++s) {
                const int from = order[s];
                stateColour[s] = stateColour[from];
                stateCost[s] = stateCost[from];
                stateStart[s] = stateStart[from];
                slot[stateColour[s]] = static_cast<std::int16_t>(s);
            }
            kept = maxStates_;
        }
        states = kept;
        bestBefore = bestCost;
    }

    pairs = 0;
    distortion = 0;
    for (int end = w - 1; end >= 0;) {
        const int k = bestColour_[static_cast<std::size_t>(end)];
        const int start = bestStart_[static_cast<std::size_t>(end)];
        for (int x = start; x <= end; ++x) {
            out[x] = static_cast<std::uint8_t>(k);
            const float d0 = p0[x] - pal[k][0], d1 = p1[x] - pal[k][1], d2 = p2[x] - pal[k][2];
            distortion += weight[x] * (d0 * d0 + d1 * d1 + d2 * d2);
        }
        pairs += static_cast<std::size_t>((end - start + 1 + 254) / 255);
        end = start - 1;
    }
}

RunAssignment RunBudgetFitter::solve(double price) {
    RunAssignment r;
    const int h = points_.height, w = points_.width;
    r.index.resize(points_.size());
    r.rowPairs.resize(static_cast<std::size_t>(h));
    r.rowDistortion.resize(static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        solveRow(y, static_cast<float>(price), r.index.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w),
                 r.rowPairs[static_cast<std::size_t>(y)], r.rowDistortion[static_cast<std::size_t>(y)]);
        r.pairs += r.rowPairs[static_cast<std::size_t>(y)];
        r.distortion += r.rowDistortion[static_cast<std::size_t>(y)];
    }
    return r;
}

namespace {

// Starting from the rows of `fitting`, takes rows of `richer` (more pairs, less distortion)
// while the pairs stay within the budget, those that gain most per extra pair first.
void mixRows(RunAssignment& fitting, const RunAssignment& richer, std::size_t maxPairs, int width) {
    const std::size_t h = fitting.rowPairs.size();
    std::vector<std::size_t> order;
    for (std::size_t y = 0; y < h; ++y)
        if (richer.rowDistortion[y] < fitting.rowDistortion[y]) order.push_back(y);
    auto gainPerPair = [&](std::size_t y) {
        const double extra = static_cast<double>(richer.rowPairs[y]) - static_cast<double>(fitting.rowPairs[y]);
        const double gain = fitting.rowDistortion[y] - richer.rowDistortion[y];
        return extra <= 0 ? std::numeric_limits<double>::infinity() : gain / extra;
    };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return gainPerPair(a) > gainPerPair(b); });
    for (const std::size_t y : order) {
        const std::size_t pairs = fitting.pairs - fitting.rowPairs[y] + richer.rowPairs[y];
        if (pairs > maxPairs) continue;
        fitting.pairs = pairs;
        fitting.distortion += richer.rowDistortion[y] - fitting.rowDistortion[y];
        fitting.rowPairs[y] = richer.rowPairs[y];
        fitting.rowDistortion[y] = richer.rowDistortion[y];
        std::copy_n(richer.index.begin() + static_cast<std::ptrdiff_t>(y * static_cast<std::size_t>(width)), width,
                    fitting.index.begin() + static_cast<std::ptrdiff_t>(y * static_cast<std::size_t>(width)));
    }
}

}  // namespace

RunAssignment RunBudgetFitter::fit(std::size_t maxPairs, double& price, double closeness) {
    RunAssignment free = solve(0.0);
    if (free.pairs <= maxPairs) {
        price = 0;
        return free;
    }
    // The pairs fall roughly as a power of the price, so the price is searched on a
    // logarithmic scale: extrapolated until the budget is bracketed (`low` gives too many
    // pairs, `high` fits), then interpolated, ending when the fitting side uses nearly all.
    const double target = static_cast<double>(maxPairs) * 0.998;
    double low = 0, high = 0;
    RunAssignment richer = std::move(free), fitting;
    double p = price > 0 ? price : 300.0;
    double slope = 0.65;  // -d log(pairs) / d log(price), measured on photographs
    double lastPrice = 0, lastPairs = 0;
    for (int step = 0; step < 16; ++step) {
        RunAssignment r = solve(p);
        const double pairs = static_cast<double>(r.pairs);
        if (lastPrice > 0 && p != lastPrice && pairs != lastPairs && pairs > 0 && lastPairs > 0)
            slope = std::clamp(-std::log(pairs / lastPairs) / std::log(p / lastPrice), 0.2, 3.0);
        lastPrice = p;
        lastPairs = pairs;
        if (r.pairs <= maxPairs) {
            high = p;
            fitting = std::move(r);
        } else {
            low = p;
            richer = std::move(r);
        }
        if (high > 0 && static_cast<double>(fitting.pairs) >= closeness * static_cast<double>(maxPairs)) break;
        if (high > 0 && low > 0 && high / low < 1.01) break;
        double next = p * std::pow(pairs / target, 1.0 / slope);
        if (high > 0 && low > 0) {
            // Stay well inside the bracket so it always shrinks.
            const double l = std::log(low), h = std::log(high);
            next = std::exp(std::clamp(std::log(next), l + 0.1 * (h - l), h - 0.1 * (h - l)));
        } else if (high > 0) {
            next = std::min(next, high / 1.05);
        } else {
            next = std::max(next, p * 1.05);
        }
        p = next;
    }
    if (fitting.index.empty()) {
        // Rare: keep raising the price until one colour per row is all that is left.
        for (high = std::max(p, 1.0); fitting.index.empty() || fitting.pairs > maxPairs; high *= 4) {
            fitting = solve(high);
            if (high > 1e30) break;
        }
    }
    mixRows(fitting, richer, maxPairs, points_.width);
    price = high;
    return fitting;
}

}  // namespace zarvelo
