#include "tf10_farbpalette.hpp"

#include "ui/fonts.hpp"

#include <QStyle>

namespace zarvelo {

TF10_Farbpalette::TF10_Farbpalette(Workspace& workspace, QWidget* parent) : FixedDialog(parent), workspace_(workspace) {
    setupUi(this);
    setFixedFrame(440, 260, FrameButtons::SystemMenu);
    setFont(sansFont(11));
    BB_Abbrechen->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BB_Uebernehmen->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    connect(BB_Abbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(BB_Uebernehmen, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace zarvelo
