#pragma once
// Expert choice of the palette entries a new start image may use. For now the frame with its way out.

#include "ui/window_frame.hpp"
#include "ui_tf10_farbpalette.h"

namespace zarvelo {

class Workspace;
class Platform;

class TF10_Farbpalette : public FixedDialog, public Ui::TF10_Farbpalette {
    Q_OBJECT
public:
    TF10_Farbpalette(Workspace& workspace, QWidget* parent = nullptr);

private:
    Workspace& workspace_;
};

}  // namespace zarvelo
