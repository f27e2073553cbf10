#include "tf7_haupthilfe.hpp"

#include "workspace/platform.hpp"
#include "ui/fonts.hpp"
#include "ui/help_pages.hpp"

#include <QScrollBar>
#include <QStyle>

namespace zarvelo {

TF7_HauptHilfe::TF7_HauptHilfe(Platform& platform, QWidget* parent) : FixedDialog(parent), platform_(platform) {
    setupUi(this);
    setFixedFrame(610, 440, FrameButtons::SystemMenuAndHelp);
    setFont(sansFont(11));
    RE_Hilfe->setFont(sansFont(13));
    RE_Hilfe->setReadOnly(true);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

bool TF7_HauptHilfe::loadPage(const QString& name) {
    const std::optional<QString> page = helpPage(name);
    if (!page) {
        platform_.message("Die Hilfeseite " + name.toStdString() + " wurde nicht gefunden.");
        return false;
    }
    RE_Hilfe->setHtml(*page);
    RE_Hilfe->verticalScrollBar()->setValue(0);
    return true;
}

}  // namespace zarvelo
