#pragma once
// Help window: one help page at a time, replaced by each call.

#include "ui/window_frame.hpp"
#include "ui_tf7_haupthilfe.h"

namespace zarvelo {

class Platform;

class TF7_HauptHilfe : public FixedDialog, public Ui::TF7_HauptHilfe {
    Q_OBJECT
public:
    explicit TF7_HauptHilfe(Platform& platform, QWidget* parent = nullptr);

    // Replaces the view's content with the page; false (after a message) when it is missing.
    bool loadPage(const QString& name);
    // The pages are shown modally by the main page (showHelpPage), through its modal runner.

private:
    Platform& platform_;
};

}  // namespace zarvelo
