#include "tf2_farbeditor.hpp"

#include "workspace/platform.hpp"
#include "workspace/workspace.hpp"
#include "ui/fonts.hpp"
#include "ui/widget_colours.hpp"

#include <QColor>
#include <QPalette>
#include <QShowEvent>
#include <QStyle>

namespace zarvelo {

TF2_Farbeditor::TF2_Farbeditor(Workspace& workspace, Platform& platform, QWidget* parent)
    : FixedDialog(parent), workspace_(workspace), platform_(platform) {
    setupUi(this);
    setFixedFrame(218, 227, FrameButtons::SystemMenuAndMinimise);

    GB_Farbauswahl->setFont(sansFont(11));
    L_Farbe->setFont(sansFont(13, true));
    for (QLabel* value : {L_rot, L_gruen, L_blau}) value->setFont(sansFont(11, true));
    BitBtn2->setFont(sansFont(11));
    BitBtn1->setFont(sansFont(11));
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    // The value labels sit on their colour patches.
    L_rot->raise();
    L_gruen->raise();
    L_blau->raise();

    for (QSlider* slider : {T_rot, T_gruen, T_blau})
        connect(slider, &QSlider::valueChanged, this, &TF2_Farbeditor::UpdateFarbe);
    connect(BitBtn1, &QPushButton::clicked, this, &TF2_Farbeditor::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TF2_Farbeditor::setEditedColour(int index, Rgb start, bool dayView) {
    index_ = index & 0xFF;
    start_ = start;
    dayView_ = dayView;
}

void TF2_Farbeditor::FormShow() {
    update();
    const Palette& palette = workspace_.palette(dayView_);
    edited_ = palette[static_cast<std::size_t>(index_)];
    T_blau->setValue(start_.b);
    T_gruen->setValue(start_.g);
    T_rot->setValue(start_.r);
    L_Farbe->setText(QStringLiteral("Farbe Nr: %1").arg(index_));
    UpdateFarbe();
    BitBtn2->setFocus();
}

void TF2_Farbeditor::UpdateFarbe() {
    const int r = T_rot->value();
    const int g = T_gruen->value();
    const int b = T_blau->value();
    L_blau->setText(QString::number(b));
    setWidgetColours(L_blau, QColor(0, 0, b), Qt::white);
    L_gruen->setText(QString::number(g));
    setWidgetColours(L_gruen, QColor(0, g, 0), Qt::white);
    L_rot->setText(QString::number(r));
    setWidgetColours(L_rot, QColor(r, 0, 0), Qt::white);

    edited_ = {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
    setWidgetColours(L_Farbe, toQColor(Col_RGB(RGB_Col(edited_))), toQColor(KontrastFarbe(edited_)));
}

void TF2_Farbeditor::BitBtn1Click() {
    const Status written = workspace_.BIN_schreibe_Farbe(dayView_, static_cast<std::uint8_t>(index_), edited_);
    if (!written.ok()) {
        platform_.message(written.message());
        reject();
        return;
    }
    accept();
}

void TF2_Farbeditor::showEvent(QShowEvent* event) {
    FixedDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

}  // namespace zarvelo
