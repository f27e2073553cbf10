#include "fonts.hpp"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

namespace zarvelo {

QFont sansFont(int pixelSize, bool bold) {
    QFont font;
    // Metric-compatible with Arial first, then any sans-serif.
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont fixedFont(int pixelSize, bool bold) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono"),
                      font.family()});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void shrinkToFit(QLabel* label) {
    QFont font = label->font();
    const int width = label->contentsRect().width();
    while (font.pixelSize() > 8 && QFontMetrics(font).horizontalAdvance(label->text()) > width)
        font.setPixelSize(font.pixelSize() - 1);
    label->setFont(font);
}

void centreOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

}  // namespace zarvelo
