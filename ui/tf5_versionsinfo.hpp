#pragma once
// Version window: product name, program version and the author's addresses as links.

#include "ui/window_frame.hpp"
#include "ui_tf5_versionsinfo.h"

namespace zarvelo {

class Platform;

// Placeholders under a reserved domain; replace before a release (see README).
inline constexpr const char* kAuthorEmail = "autor@zarvelo.example";
inline constexpr const char* kAuthorWeb = "www.zarvelo.example";
inline constexpr const char* kProgramVersion = "V 1.37";

class TF5_VersionsINFO : public FixedDialog, public Ui::TF5_VersionsINFO {
    Q_OBJECT
public:
    explicit TF5_VersionsINFO(Platform& platform, QWidget* parent = nullptr);

    // Mail link (also from the caption above it) and web link.
    void L_emailClick();
    void L_webClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Platform& platform_;
};

}  // namespace zarvelo
