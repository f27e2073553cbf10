#include "window_frame.hpp"

#include "fonts.hpp"

#include <QShowEvent>

namespace zarvelo {

void FixedDialog::setFixedFrame(int width, int height, FrameButtons buttons) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    switch (buttons) {
        case FrameButtons::SystemMenuAndMinimise:
            flags |= Qt::WindowMinimizeButtonHint;
            [[fallthrough]];
        case FrameButtons::SystemMenu:
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            break;
        case FrameButtons::None:
            break;
    }
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
