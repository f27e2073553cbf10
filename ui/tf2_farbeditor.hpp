#pragma once
// Colour editor: three sliders for one palette entry of the palette shown on the main page.

#include "graphics/palette.hpp"
#include "ui/window_frame.hpp"
#include "ui_tf2_farbeditor.h"

namespace zarvelo {

class Platform;
class Workspace;

class TF2_Farbeditor : public FixedDialog, public Ui::TF2_Farbeditor {
    Q_OBJECT
public:
    TF2_Farbeditor(Workspace& workspace, Platform& platform, QWidget* parent = nullptr);

    // Set by the caller before the dialog is shown: the edited entry, the start values and
    // the palette of the shown view (day or night).
    void setEditedColour(int index, Rgb start, bool dayView);
    int editedIndex() const { return index_; }
    // The colour the sliders show.
    Rgb editedColour() const { return edited_; }

    // Runs when the dialog is shown; public so a picture can be taken without showing it.
    void FormShow();
    void UpdateFarbe();
    // "OK": writes the entry into the palette of the shown view and closes with Accepted.
    // The caller redraws the main page afterwards. A refused write is shown and closes with
    // Rejected, the palette unchanged.
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Workspace& workspace_;
    Platform& platform_;
    int index_ = 0;
    Rgb start_{};
    bool dayView_ = true;
    Rgb edited_{};
};

}  // namespace zarvelo
