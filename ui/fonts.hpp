#pragma once
// The fonts of the windows. The layouts were drawn for Arial and Courier New; these pick
// the closest the system has so captions keep their widths.

#include <QFont>

class QLabel;
class QWidget;

namespace zarvelo {

QFont sansFont(int pixelSize, bool bold = false);
QFont fixedFont(int pixelSize, bool bold = false);

// Lowers the label's font size until its text fits its width, for systems whose fonts run
// wider than the ones the layouts were drawn with.
void shrinkToFit(QLabel* label);

// Centres a top-level window on the screen it is on (or the primary screen).
void centreOnScreen(QWidget* window);

}  // namespace zarvelo
