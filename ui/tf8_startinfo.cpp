#include "tf8_startinfo.hpp"

#include "ui/fonts.hpp"
#include "ui/help_pages.hpp"

#include <QStyle>

namespace zarvelo {

TF8_StartInfo::TF8_StartInfo(QWidget* parent) : FixedDialog(parent) {
    setupUi(this);
    setFixedFrame(370, 314, FrameButtons::SystemMenu);
    setFont(sansFont(11));
    RichEdit1->setFont(sansFont(13));
    RichEdit1->setReadOnly(true);
    RichEdit1->setFocusPolicy(Qt::NoFocus);
    // Compiled in, so it is always there; loaded once.
    if (const std::optional<QString> page = helpPage(QStringLiteral("H_INTRO"))) RichEdit1->setHtml(*page);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    BitBtn1->setFocus();
}

}  // namespace zarvelo
