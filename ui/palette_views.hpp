#pragma once
// The 16 x 16 palette grid of the main page, drawn into 209 x 209 pictures: cells on a
// 13-pixel pitch, inner squares for the split views, marks for the colours the pictures use
// and the selection frame.

#include "graphics/palette.hpp"

#include <QImage>
#include <QPoint>

#include <array>
#include <cstdint>
#include <vector>

namespace zarvelo {

inline constexpr int kPaletteViewSize = 209;
inline constexpr int kPaletteCellPitch = 13;

// A blank view: 209 x 209, 24 bits per pixel, in the gap colour.
QImage blankPaletteView(QColor gap);

// Fills every cell with the base palette's colour and, for a split view, the inner square
// with the other palette's colour. Erases marks and frames.
void paintPaletteCells(QImage& view, const Palette& base, const Palette* inner);

// Start image marks (black box, red line near the top of the cell) for every index with a
// pixel count above 0; DSP logo marks (black box, yellow line near the bottom) for the listed indices.
void paintUsedMarks(QImage& view, const std::array<std::int32_t, 256>& startImageCounts,
                    const std::vector<std::uint8_t>& dspIndices);

// Selection frame of one cell: outer ring black and inner ring in the contrast colour of the
// cell's base colour (on), or both rings in the base colour (off).
void paintSelectionFrame(QImage& view, std::uint8_t index, Rgb base, bool on);

// The expert selection's mark of an available entry: an X of two-pixel diagonals in the
// contrast colour of the cell's colour (on), or the cell filled again with its colour (off).
void paintEntryMark(QImage& view, std::uint8_t index, Rgb colour, bool on);

// The palette index under a point of the view (coordinates beyond 207 count as 207).
std::uint8_t paletteIndexAt(QPoint position);

}  // namespace zarvelo
