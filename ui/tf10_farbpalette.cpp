#include "tf10_farbpalette.hpp"

#include "workspace/platform.hpp"
#include "ui/fonts.hpp"
#include "ui/palette_views.hpp"
#include "ui/widget_colours.hpp"

#include <QStyle>

namespace zarvelo {

TF10_Farbpalette::TF10_Farbpalette(Platform& platform, QWidget* parent) : FixedDialog(parent), platform_(platform) {
    setupUi(this);
    setFixedFrame(440, 260, FrameButtons::SystemMenu);
    setFont(sansFont(11));
    Label1->setFont(sansFont(12, true));
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BB_schreibe_NEU_in_BIN->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    setWidgetColours(L_Rot_U10, QColor(255, 0, 0), Qt::white);
    setWidgetColours(L_Gruen_U10, QColor(0, 255, 0), Qt::black);
    setWidgetColours(L_Blau_U10, QColor(0, 0, 255), Qt::white);
    for (PictureView* grid : {I_Tag_Palette_U10, I_Nacht_Palette_U10}) {
        grid->setCanvas(blankPaletteView(palette().color(QPalette::Window)));
        connect(grid, &PictureView::mouseMoved, this, &TF10_Farbpalette::I_Palette_U10MouseMove);
        connect(grid, &PictureView::mousePressedWith, this, &TF10_Farbpalette::I_Palette_U10MouseDown);
    }
    connect(RB_Tag_U10, &QRadioButton::clicked, this, &TF10_Farbpalette::RB_Tag_U10Click);
    connect(RB_Nacht_U10, &QRadioButton::clicked, this, &TF10_Farbpalette::RB_Nacht_U10Click);
    connect(BB_schreibe_NEU_in_BIN, &QPushButton::clicked, this, &TF10_Farbpalette::BB_schreibe_NEU_in_BINClick);
    connect(BitBtn2, &QPushButton::clicked, this, [this] {
        changed_ = false;
        reject();
    });
}

void TF10_Farbpalette::FormShow(const EntrySelection& handedIn, const Palette& day, const Palette& night) {
    RB_Tag_U10->setChecked(true);
    RB_Tag_U10Click();
    handedIn_ = handedIn;
    working_ = handedIn;
    day_ = day;
    night_ = night;
    changed_ = false;
    showCount();
    Zeige_Eintraege();
    for (QLabel* l : {L_Pal_Koord_U10, L_Rot_U10, L_Gruen_U10, L_Blau_U10}) l->clear();
}

void TF10_Farbpalette::Zeige_Eintraege() {
    paintPaletteCells(I_Tag_Palette_U10->canvas(), day_, nullptr);
    paintPaletteCells(I_Nacht_Palette_U10->canvas(), night_, nullptr);
    for (int e = 0; e < 256; ++e)
        if (working_.flags[static_cast<std::size_t>(e)]) Markiere(e, true);
    I_Tag_Palette_U10->update();
    I_Nacht_Palette_U10->update();
}

void TF10_Farbpalette::Markiere(int entry, bool on) {
    const auto e = static_cast<std::uint8_t>(entry);
    paintEntryMark(I_Tag_Palette_U10->canvas(), e, day_[e], on);
    paintEntryMark(I_Nacht_Palette_U10->canvas(), e, night_[e], on);
}

void TF10_Farbpalette::showCount() { L_AnzCol_U10->setNum(working_.count); }

void TF10_Farbpalette::I_Palette_U10MouseMove(QPoint position) {
    const int e = selectionEntryAt(position.x(), position.y());
    const Rgb c = (RB_Tag_U10->isChecked() ? day_ : night_)[static_cast<std::size_t>(e)];
    L_Pal_Koord_U10->setNum(e);
    L_Rot_U10->setNum(c.r);
    L_Gruen_U10->setNum(c.g);
    L_Blau_U10->setNum(c.b);
}

void TF10_Farbpalette::I_Palette_U10MouseDown(QPoint position, Qt::MouseButton button, Qt::MouseButtons buttons,
                                              Qt::KeyboardModifiers modifiers) {
    const int e = selectionEntryAt(position.x(), position.y());
    const Qt::MouseButtons held = buttons | button;
    const bool left = held.testFlag(Qt::LeftButton);
    const bool otherButtons = (held & ~Qt::MouseButtons(Qt::LeftButton)) != Qt::NoButton;
    const bool rowMode = isRowMode(modifiers.testFlag(Qt::ControlModifier), modifiers.testFlag(Qt::ShiftModifier),
                                   modifiers.testFlag(Qt::AltModifier), left, otherButtons);
    if (!zarvelo::I_Palette_U10MouseDown(working_, e, rowMode)) {
        platform_.beep();
        return;
    }
    const int first = rowMode ? e / 16 * 16 : e;
    const int last = rowMode ? first + 15 : e;
    for (int k = first; k <= last; ++k) Markiere(k, working_.flags[static_cast<std::size_t>(k)]);
    I_Tag_Palette_U10->update();
    I_Nacht_Palette_U10->update();
    showCount();
}

void TF10_Farbpalette::RB_Tag_U10Click() {
    I_Tag_Palette_U10->setVisible(true);
    I_Nacht_Palette_U10->setVisible(false);
}

void TF10_Farbpalette::RB_Nacht_U10Click() {
    I_Nacht_Palette_U10->setVisible(true);
    I_Tag_Palette_U10->setVisible(false);
}

void TF10_Farbpalette::BB_schreibe_NEU_in_BINClick() {
    changed_ = working_.flags != handedIn_.flags;
    accept();
}

}  // namespace zarvelo
