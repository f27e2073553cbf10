#pragma once
// Start-up notice, shown once over the main window at program start.

#include "ui/window_frame.hpp"
#include "ui_tf8_startinfo.h"

namespace zarvelo {

class TF8_StartInfo : public FixedDialog, public Ui::TF8_StartInfo {
    Q_OBJECT
public:
    explicit TF8_StartInfo(QWidget* parent = nullptr);
};

}  // namespace zarvelo
