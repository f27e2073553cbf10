#pragma once
// The list of supported firmware versions, alphabetical.

#include "ui/window_frame.hpp"
#include "ui_tf6_unterstuetzt.h"

namespace zarvelo {

class TF6_unterstuetzt : public FixedDialog, public Ui::TF6_unterstuetzt {
    Q_OBJECT
public:
    explicit TF6_unterstuetzt(QWidget* parent = nullptr);
};

}  // namespace zarvelo
