#include "tf6_unterstuetzt.hpp"

#include "flash/firmware_versions.hpp"
#include "ui/fonts.hpp"

#include <QStyle>

namespace zarvelo {

TF6_unterstuetzt::TF6_unterstuetzt(QWidget* parent) : FixedDialog(parent) {
    setupUi(this);
    // No close box: OK is the way out.
    setFixedFrame(250, 200, FrameButtons::None);
    setFont(sansFont(11));
    LB_Support->setFont(fixedFont(13));
    for (const FirmwareVersion& version : kFirmwareVersions)
        LB_Support->addItem(QString::fromUtf8(version.name.data(), static_cast<qsizetype>(version.name.size())));
    LB_Support->sortItems();
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace zarvelo
