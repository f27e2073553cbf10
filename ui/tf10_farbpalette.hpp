#pragma once
// Expert choice of the palette entries a new start image and DSP logo may use: both
// palettes as 16 x 16 grids, available entries marked with an X; clicks add or remove one
// entry or, with Ctrl and the left button, a whole row. The rules live in the model
// (graphics/expert_selection); the window draws them and hands the choice back.

#include "graphics/expert_selection.hpp"
#include "graphics/palette.hpp"
#include "ui/window_frame.hpp"
#include "ui_tf10_farbpalette.h"

namespace zarvelo {

class Platform;

class TF10_Farbpalette : public FixedDialog, public Ui::TF10_Farbpalette {
    Q_OBJECT
public:
    explicit TF10_Farbpalette(Platform& platform, QWidget* parent = nullptr);

    // Opening: takes working copies of the start image editor's copies and draws both grids.
    void FormShow(const EntrySelection& handedIn, const Palette& day, const Palette& night);

    void I_Palette_U10MouseMove(QPoint position);
    void I_Palette_U10MouseDown(QPoint position, Qt::MouseButton button, Qt::MouseButtons buttons,
                                Qt::KeyboardModifiers modifiers);
    void RB_Tag_U10Click();
    void RB_Nacht_U10Click();
    // "Übernehmen": notes whether any flag differs from the ones handed in, closes with Accepted.
    void BB_schreibe_NEU_in_BINClick();

    const EntrySelection& selection() const { return working_; }
    // True only after "Übernehmen" with at least one flag changed.
    bool selectionChanged() const { return changed_; }

private:
    void Zeige_Eintraege();
    void Markiere(int entry, bool on);
    void showCount();

    Platform& platform_;
    EntrySelection handedIn_;
    EntrySelection working_;
    Palette day_{};
    Palette night_{};
    bool changed_ = false;
};

}  // namespace zarvelo
