#include "tf5_versionsinfo.hpp"

#include "workspace/platform.hpp"
#include "ui/fonts.hpp"

#include <QMouseEvent>
#include <QStyle>

namespace zarvelo {

namespace {

void setTextColour(QLabel* label, QColor colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

}  // namespace

TF5_VersionsINFO::TF5_VersionsINFO(Platform& platform, QWidget* parent) : FixedDialog(parent), platform_(platform) {
    setupUi(this);
    setFixedFrame(300, 221, FrameButtons::SystemMenu);
    setFont(sansFont(11));

    L_Version->setText(QString::fromUtf8(kProgramVersion));
    L_email->setText(QString::fromUtf8(kAuthorEmail));
    L_web->setText(QString::fromUtf8(kAuthorWeb));

    Label2->setFont(sansFont(37, true));
    setTextColour(Label2, QColor(0, 0, 128));
    L_Version->setFont(sansFont(21, true));
    setTextColour(L_Version, QColor(255, 0, 0));
    Label1->setFont(sansFont(11));
    setTextColour(Label1, Qt::black);
    for (QLabel* link : {L_email, L_web}) {
        QFont font = sansFont(16, true);
        font.setUnderline(true);
        link->setFont(font);
        setTextColour(link, QColor(0, 0, 128));
    }
    for (QLabel* label : {Label2, L_Version, Label1, L_email, L_web}) shrinkToFit(label);
    // The widget cursor changes on enter and returns on leave by itself.
    for (QLabel* clickable : {Label1, L_email, L_web}) {
        clickable->setCursor(Qt::PointingHandCursor);
        clickable->installEventFilter(this);
    }

    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TF5_VersionsINFO::L_emailClick() { platform_.openLink("mailto:" + L_email->text().toStdString()); }

void TF5_VersionsINFO::L_webClick() {
    const QString address = L_web->text();
    platform_.openLink((address.contains(QStringLiteral("://")) ? address : QStringLiteral("https://") + address).toStdString());
}

bool TF5_VersionsINFO::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == L_email || watched == Label1) {
            L_emailClick();
            return true;
        }
        if (watched == L_web) {
            L_webClick();
            return true;
        }
    }
    return FixedDialog::eventFilter(watched, event);
}

}  // namespace zarvelo
