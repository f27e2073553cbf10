#pragma once
// Text editor. For now the frame with its way out; the editing comes later.

#include "ui/window_frame.hpp"
#include "ui_tf4_texte.h"

#include <functional>

namespace zarvelo {

class Workspace;
class Platform;

class TF4_Texte : public FixedDialog, public Ui::TF4_Texte {
    Q_OBJECT
public:
    TF4_Texte(Workspace& workspace, Platform& platform, std::function<void()> showHelp, QWidget* parent = nullptr);

private:
    Workspace& workspace_;
    Platform& platform_;
    std::function<void()> showHelp_;
};

}  // namespace zarvelo
