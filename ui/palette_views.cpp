#include "palette_views.hpp"

#include <algorithm>

namespace zarvelo {

namespace {

QRgb toQRgb(Rgb c) { return qRgb(c.r, c.g, c.b); }

// Fills the inclusive rectangle x0..x1, y0..y1.
void fill(QImage& view, int x0, int y0, int x1, int y1, QRgb colour) {
    for (int y = std::max(y0, 0); y <= std::min(y1, view.height() - 1); ++y)
        for (int x = std::max(x0, 0); x <= std::min(x1, view.width() - 1); ++x) view.setPixel(x, y, colour);
}

// The one-pixel border of the inclusive rectangle.
void ring(QImage& view, int x0, int y0, int x1, int y1, QRgb colour) {
    fill(view, x0, y0, x1, y0, colour);
    fill(view, x0, y1, x1, y1, colour);
    fill(view, x0, y0, x0, y1, colour);
    fill(view, x1, y0, x1, y1, colour);
}

int cellLeft(int index) { return kPaletteCellPitch * (index % 16); }
int cellTop(int index) { return kPaletteCellPitch * (index / 16); }

}  // namespace

QImage blankPaletteView(QColor gap) {
    QImage view(kPaletteViewSize, kPaletteViewSize, QImage::Format_RGB888);
    view.fill(gap);
    return view;
}

void paintPaletteCells(QImage& view, const Palette& base, const Palette* inner) {
    for (int i = 0; i < 256; ++i) {
        const int x = cellLeft(i), y = cellTop(i);
        fill(view, x + 1, y + 1, x + 12, y + 12, toQRgb(base[static_cast<std::size_t>(i)]));
        if (inner) fill(view, x + 4, y + 4, x + 9, y + 9, toQRgb((*inner)[static_cast<std::size_t>(i)]));
    }
}

void paintUsedMarks(QImage& view, const std::array<std::int32_t, 256>& startImageCounts,
                    const std::vector<std::uint8_t>& dspIndices) {
    const QRgb black = qRgb(0, 0, 0);
    for (int i = 0; i < 256; ++i) {
        if (startImageCounts[static_cast<std::size_t>(i)] <= 0) continue;
        const int x = cellLeft(i), y = cellTop(i);
        fill(view, x + 3, y + 3, x + 10, y + 5, black);
        fill(view, x + 4, y + 4, x + 9, y + 4, qRgb(255, 0, 0));
    }
    for (const std::uint8_t i : dspIndices) {
        const int x = cellLeft(i), y = cellTop(i);
        fill(view, x + 3, y + 8, x + 10, y + 10, black);
        fill(view, x + 4, y + 9, x + 9, y + 9, qRgb(255, 255, 0));
    }
}

void paintSelectionFrame(QImage& view, std::uint8_t index, Rgb base, bool on) {
    const int x = cellLeft(index), y = cellTop(index);
    const QRgb outer = on ? qRgb(0, 0, 0) : toQRgb(base);
    const QRgb inner = on ? toQRgb(KontrastFarbe(base)) : toQRgb(base);
    ring(view, x + 1, y + 1, x + 12, y + 12, outer);
    ring(view, x + 2, y + 2, x + 11, y + 11, inner);
}

void paintEntryMark(QImage& view, std::uint8_t index, Rgb colour, bool on) {
    const int x = cellLeft(index), y = cellTop(index);
    fill(view, x + 1, y + 1, x + 12, y + 12, toQRgb(colour));
    if (!on) return;
    const QRgb pen = toQRgb(KontrastFarbe(colour));
    // Lines (3,3)-(11,11), (4,3)-(12,11), (10,3)-(2,11) and (11,3)-(3,11), end points left out.
    for (int i = 0; i < 8; ++i) {
        view.setPixel(x + 3 + i, y + 3 + i, pen);
        view.setPixel(x + 4 + i, y + 3 + i, pen);
        view.setPixel(x + 10 - i, y + 3 + i, pen);
        view.setPixel(x + 11 - i, y + 3 + i, pen);
    }
}

std::uint8_t paletteIndexAt(QPoint position) {
    const int x = std::clamp(position.x(), 0, 207);
    const int y = std::clamp(position.y(), 0, 207);
    return static_cast<std::uint8_t>(x / kPaletteCellPitch + 16 * (y / kPaletteCellPitch));
}

}  // namespace zarvelo
