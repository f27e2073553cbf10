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

    // Load the page and show the window modally.
    void Hilfe_MAIN() { showPage(QStringLiteral("H_MAIN")); }
    void Hilfe_TEXT() { showPage(QStringLiteral("H_TEXT")); }
    void Hilfe_BOOT() { showPage(QStringLiteral("H_BOOT")); }
    void showPage(const QString& name);

private:
    Platform& platform_;
};

}  // namespace zarvelo
