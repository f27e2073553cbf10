#pragma once
// Base of the secondary windows: a modal dialog with a fixed client area, a frame that
// offers only the buttons the window allows, centred on the screen whenever it is shown.

#include <QDialog>

namespace zarvelo {

enum class FrameButtons { SystemMenu, SystemMenuAndMinimise, SystemMenuAndHelp, None };

class FixedDialog : public QDialog {
public:
    explicit FixedDialog(QWidget* parent) : QDialog(parent) {}

protected:
    // Call after setupUi, which resizes the window.
    void setFixedFrame(int width, int height, FrameButtons buttons);
    void showEvent(QShowEvent* event) override;
};

}  // namespace zarvelo
