#include "window_frame.hpp"

#include "fonts.hpp"

#include <QShowEvent>

namespace zarvelo {

void FixedDialog::setFixedFrame(int width, int height, FrameButtons buttons) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (buttons != FrameButtons::None) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (buttons == FrameButtons::SystemMenuAndMinimise) flags |= Qt::WindowMinimizeButtonHint;
    if (buttons == FrameButtons::SystemMenuAndHelp) flags |= Qt::WindowContextHelpButtonHint;
    setWindowFlags(flags);
    setFixedSize(width, height);
    setSizeGripEnabled(false);
    setModal(true);
}

void FixedDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) centreOnScreen(this);
    QDialog::showEvent(event);
}

}  // namespace zarvelo
