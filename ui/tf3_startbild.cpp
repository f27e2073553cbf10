#include "tf3_startbild.hpp"

#include "ui/fonts.hpp"

#include <QStyle>

namespace zarvelo {

TF3_Startbild::TF3_Startbild(Workspace& workspace, Platform& platform, std::function<void()> showHelp, QWidget* parent)
    : FixedDialog(parent), workspace_(workspace), platform_(platform), showHelp_(std::move(showHelp)) {
    setupUi(this);
    setFixedFrame(680, 604, FrameButtons::SystemMenu);
    setFont(sansFont(11));
    BB_Abbrechen->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BB_Uebernehmen->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    connect(BB_Abbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(BB_Uebernehmen, &QPushButton::clicked, this, &QDialog::accept);
    connect(BB_Hilfe, &QPushButton::clicked, this, [this] {
        if (showHelp_) showHelp_();
    });
}

}  // namespace zarvelo
