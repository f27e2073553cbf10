#include "tf9_speichern.hpp"

#include "workspace/platform.hpp"
#include "workspace/workspace.hpp"
#include "ui/fonts.hpp"
#include "ui/messages.hpp"

#include <QButtonGroup>
#include <QStyle>

namespace zarvelo {

TF9_Speichern::TF9_Speichern(Workspace& workspace, Platform& platform, QWidget* parent)
    : FixedDialog(parent), workspace_(workspace), platform_(platform), modes_(new QButtonGroup(this)) {
    setupUi(this);
    setFixedFrame(345, 150, FrameButtons::SystemMenuAndMinimise);

    setFont(sansFont(11));
    Label1->setFont(sansFont(16, true));
    BB_zurueck->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BB_speichereDatei->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));

    modes_->addButton(RB_Normal, static_cast<int>(ColourMode::Normal));
    modes_->addButton(RB_ImmerTag, static_cast<int>(ColourMode::AlwaysDay));
    modes_->addButton(RB_Vertauschen, static_cast<int>(ColourMode::Swap));
    modes_->addButton(RB_ImmerNacht, static_cast<int>(ColourMode::AlwaysNight));
    RB_Normal->setChecked(true);

    connect(BB_zurueck, &QPushButton::clicked, this, &TF9_Speichern::BB_zurueckClick);
    connect(BB_speichereDatei, &QPushButton::clicked, this, &TF9_Speichern::BB_speichereDateiClick);
}

ColourMode TF9_Speichern::colourMode() const {
    const int id = modes_->checkedId();
    return id < 0 ? ColourMode::Normal : static_cast<ColourMode>(id);
}

void TF9_Speichern::setColourMode(ColourMode mode) {
    if (QAbstractButton* button = modes_->button(static_cast<int>(mode))) button->setChecked(true);
}

void TF9_Speichern::BB_speichereDateiClick() {
    if (!workspace_.fileLoaded()) {
        reject();
        return;
    }
    const std::optional<std::string> path = platform_.saveFile({kDnlFilter, kDnlExtension, workspace_.fileName()});
    if (!path) {
        reject();
        return;
    }
    // The palette copies are re-read by the save itself; a failed save changed nothing.
    const Status outcome = workspace_.saveDnl(*path, colourMode());
    if (!outcome.ok()) platform_.message(msg::kCannotWriteFile + outcome.message());
    accept();
}

}  // namespace zarvelo
