#pragma once
// The fonts of the windows. The layouts were drawn for Arial and Courier New; these pick
// the closest the system has so captions keep their widths.

#include <QFont>

class QWidget;

namespace zarvelo {

QFont sansFont(int pixelSize, bool bold = false);
QFont fixedFont(int pixelSize, bool bold = false);

// Centres a top-level window on the screen it is on (or the primary screen).
void centreOnScreen(QWidget* window);

}  // namespace zarvelo
