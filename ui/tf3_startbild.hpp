#pragma once
// Start image editor. For now the frame with its way out; the editing comes later.

#include "ui/window_frame.hpp"
#include "ui_tf3_startbild.h"

#include <functional>

namespace zarvelo {

class Workspace;
class Platform;

class TF3_Startbild : public FixedDialog, public Ui::TF3_Startbild {
    Q_OBJECT
public:
    TF3_Startbild(Workspace& workspace, Platform& platform, std::function<void()> showHelp, QWidget* parent = nullptr);

private:
    Workspace& workspace_;
    Platform& platform_;
    std::function<void()> showHelp_;
};

}  // namespace zarvelo
