#pragma once
// Colours of labels and other plain widgets, and palette entries as Qt colours.

#include "graphics/palette.hpp"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace zarvelo {

inline QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// Background and text colour of a label (or any widget that paints its own background).
inline void setWidgetColours(QWidget* w, QColor background, QColor text) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

}  // namespace zarvelo
