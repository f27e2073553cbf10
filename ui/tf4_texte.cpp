#include "tf4_texte.hpp"

#include "workspace/file_io.hpp"
#include "workspace/platform.hpp"
#include "workspace/text_file.hpp"
#include "ui/messages.hpp"
#include "workspace/workspace.hpp"
#include "texts/charset.hpp"
#include "ui/ansi_text.hpp"
#include "ui/fonts.hpp"
#include "ui/text_import_report.hpp"
#include "ui/widget_colours.hpp"

#include <QKeyEvent>
#include <QStyle>
#include <QValidator>

#include <algorithm>

namespace zarvelo {

namespace {

// Rows changed by "Texte laden", and rows it refused.
const QColor kImportedRow(255, 236, 150);
const QColor kRefusedRow(255, 190, 190);

QString textsLoaded(std::size_t count) { return QString::number(count) + QStringLiteral(" Texte geladen"); }

bool isEnter(QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Admits only characters the unit shows as typed; refused typing or pasting beeps.
class TypedCharacterValidator : public QValidator {
public:
    TypedCharacterValidator(Platform& platform, QObject* parent) : QValidator(parent), platform_(platform) {}
    State validate(QString& input, int&) const override {
        if (typedText(input.toStdU32String()).ok()) return Acceptable;
        platform_.beep();
        return Invalid;
    }

private:
    Platform& platform_;
};

}  // namespace

TF4_Texte::TF4_Texte(Workspace& workspace, Platform& platform, std::function<void()> showHelp, QWidget* parent)
    : FixedDialog(parent), workspace_(workspace), platform_(platform), showHelp_(std::move(showHelp)) {
    setupUi(this);
    setFixedFrame(600, 440, FrameButtons::SystemMenu);
    setFont(sansFont(11));
    LB_Texte->setFont(fixedFont(13));
    BB_Abbruch->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BB_OK->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    E_Text->setValidator(new TypedCharacterValidator(platform_, this));
    P_AnzahlTexte->setText(textsLoaded(0));

    for (QObject* o : std::initializer_list<QObject*>{E_Text, E_Suche, LB_Texte}) o->installEventFilter(this);
    connect(LB_Texte, &QListWidget::currentRowChanged, this, [this] { LB_TexteClick(); });
    // A click on the row that is already selected selects it again, as the arrow keys do.
    connect(LB_Texte, &QListWidget::itemClicked, this, [this] { LB_TexteClick(); });
    connect(LB_Texte, &QListWidget::itemDoubleClicked, this, [this] { LB_TexteDblClick(); });
    connect(RB_erlauben, &QRadioButton::toggled, this, [this] {
        if (!quiet_) RG_UeberLaengeClick();
    });
    connect(E_Suche, &QLineEdit::textChanged, this, [this] { E_SucheChange(); });
    connect(P_Suchen, &QPushButton::clicked, this, &TF4_Texte::SucheText);
    connect(Panel1, &QPushButton::clicked, this, &TF4_Texte::Text_eintragen);
    connect(Panel3, &QPushButton::clicked, this, &TF4_Texte::Panel3Click);
    connect(P_Texte_laden, &QPushButton::clicked, this, &TF4_Texte::P_Texte_ladenClick);
    // The report belongs to one opening of the editor.
    connect(this, &QDialog::finished, this, [this] {
        if (report_) report_->hide();
    });
    connect(BB_OK, &QPushButton::clicked, this, &TF4_Texte::BB_OKClick);
    connect(BB_Abbruch, &QPushButton::clicked, this, &TF4_Texte::BB_AbbruchClick);
    connect(S_Hilfe, &QPushButton::clicked, this, [this] {
        if (showHelp_) showHelp_();
    });
}

OverlongMode TF4_Texte::overlongMode() const {
    return RB_erlauben->isChecked() ? OverlongMode::Erlauben : OverlongMode::Sperren;
}

void TF4_Texte::setOverlongMode(OverlongMode mode, bool run) {
    if (overlongMode() == mode) return;
    quiet_ = !run;
    (mode == OverlongMode::Erlauben ? RB_erlauben : RB_sperren)->setChecked(true);
    quiet_ = false;
}

void TF4_Texte::selectRowQuietly(int row) {
    const bool was = quiet_;
    quiet_ = true;
    LB_Texte->setCurrentRow(row);
    quiet_ = was;
}

QString TF4_Texte::rowAt(std::size_t position) const {
    return session_ && position < session_->textCount() ? fromAnsi(session_->row(position)) : QString();
}

std::uint16_t TF4_Texte::searchPosition() const {
    return session_ ? static_cast<std::uint16_t>(session_->searchPosition()) : 0;
}

bool TF4_Texte::FormShow() {
    Result<TextList> read = workspace_.BIN_zu_TexteArray();
    if (!read) {
        platform_.message(read.message());
        return false;
    }
    // The reads below refresh everything the mode change would.
    setOverlongMode(OverlongMode::Sperren, false);
    LB_Texte->setFocus();
    session_.emplace(std::move(read).value());
    if (report_) report_->hide();
    TexteArray_zu_ListBox();
    current_ = 0;
    selectRowQuietly(0);
    E_Text->clear();
    E_Suche->clear();
    UpdateAktiv();
    return true;
}

void TF4_Texte::TexteArray_zu_ListBox() {
    const bool was = quiet_;
    quiet_ = true;
    LB_Texte->clear();
    const std::size_t count = session_ ? session_->textCount() : 0;
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(count));
    for (std::size_t k = 0; k < count; ++k) rows.append(rowAt(k));
    LB_Texte->addItems(rows);
    P_AnzahlTexte->setText(textsLoaded(count));
    if (count > 0) LB_Texte->setCurrentRow(0);
    quiet_ = was;
}

void TF4_Texte::UpdateAktiv() {
    if (!session_ || current_ >= session_->textCount()) return;
    const Bytes& entry = session_->entry(current_);
    gross_ = grossLength(entry);
    net_ = netLength(entry);
    L_brutto->setNum(gross_);
    L_netto->setNum(net_);
    // The limit first: a shorter one left from the previous text would cut the new row.
    E_Text->setMaxLength(std::max(0, storeLimit(entry, overlongMode())));
    if (!editing_) E_Text->setText(rowAt(current_));
    P_Text_gewaehlt->setText(QStringLiteral("Text Nr: ") + QString::number(current_ + 1));

    const TextWarning warning = classifyText(entry);
    QColor background = palette().color(QPalette::Button);
    if (warning == TextWarning::ControlCharacters) background = QColor(255, 0, 0);
    if (warning == TextWarning::UnknownSpecialCharacter) background = QColor(0, 128, 0);
    setWidgetColours(P_Warnung, background,
                     warning == TextWarning::None ? palette().color(QPalette::ButtonText) : QColor(255, 255, 255));
    P_Warnung->setText(QString::fromUtf8(warningText(warning)));
}

void TF4_Texte::LB_TexteClick() {
    if (quiet_ || !session_) return;
    const int row = LB_Texte->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= session_->textCount()) return;
    current_ = static_cast<std::uint16_t>(row);
    editing_ = false;
    setOverlongMode(OverlongMode::Sperren, true);
    UpdateAktiv();
}

void TF4_Texte::LB_TexteDblClick() {
    editing_ = true;
    E_Text->setFocus();
}

void TF4_Texte::E_TextClick() { editing_ = true; }

void TF4_Texte::RG_UeberLaengeClick() {
    if (overlongMode() == OverlongMode::Sperren && E_Text->text().size() > net_) E_Text->setText(E_Text->text().left(net_));
    const QString typed = E_Text->text();
    UpdateAktiv();
    E_Text->setText(typed);
    if (editing_)
        E_Text->setFocus();
    else
        LB_Texte->setFocus();
    E_Text->end(false);
}

void TF4_Texte::Text_eintragen() {
    if (!session_ || current_ >= session_->textCount()) return;
    const Status stored = session_->storeTyped(current_, E_Text->text().toStdU32String(), overlongMode());
    if (!stored) {
        platform_.message(stored.message());
        return;
    }
    LB_Texte->item(current_)->setText(E_Text->text());
    showMark(current_);
    if (report_ && session_->mark(current_) == RowMark::Imported) report_->textStored(current_);
    LB_Texte->setFocus();
    editing_ = false;
    // The limit and the displays follow the entry as it is now, so the next store cannot
    // ask for more room than the entry still has.
    UpdateAktiv();
}

void TF4_Texte::SucheText() {
    if (E_Suche->text().isEmpty() || !session_) {
        platform_.beep();
        return;
    }
    const std::optional<std::size_t> hit = session_->searchNext(E_Suche->text().toStdU32String());
    if (!hit) {
        platform_.beep();
        QPalette p = E_Suche->palette();
        p.setColor(QPalette::Base, QColor(255, 0, 0));
        E_Suche->setPalette(p);
        return;
    }
    current_ = static_cast<std::uint16_t>(*hit);
    selectRowQuietly(static_cast<int>(*hit));
    UpdateAktiv();
    E_Text->setText(rowAt(current_));
}

void TF4_Texte::E_SucheChange() {
    E_Text->clear();
    if (session_) session_->restartSearch();
    E_Suche->setPalette(QPalette());
}

void TF4_Texte::Panel3Click() {
    if (!session_) return;
    const std::optional<std::string> path = platform_.saveFile({kTxtFilter, kTxtExtension, {}});
    if (!path) return;
    const Status written = writeFileAtomically(*path, session_->exportText());
    if (!written.ok()) platform_.message(msg::kCannotWriteFile + written.message());
}

void TF4_Texte::P_Texte_ladenClick() {
    if (!session_) return;
    const std::optional<std::string> path = platform_.openFile({kTextImportFilter, kTxtExtension, {}});
    if (!path) return;
    const Result<TextImport> imported = importTextFile(*session_, *path, overlongMode());
    if (!imported) {
        platform_.message(imported.message());
        return;
    }
    for (std::size_t k = 0; k < session_->textCount(); ++k) {
        LB_Texte->item(static_cast<int>(k))->setText(rowAt(k));
        showMark(k);
    }
    // The edit box shows the current text as it is now.
    editing_ = false;
    UpdateAktiv();
    if (!report_) {
        report_ = new TextImportReport(this);
        connect(report_, &TextImportReport::textChosen, this, [this](std::size_t position) { editText(position); });
    }
    report_->showReport(*path, imported.value());
}

void TF4_Texte::showMark(std::size_t position) {
    QListWidgetItem* item = LB_Texte->item(static_cast<int>(position));
    if (!item || !session_) return;
    switch (session_->mark(position)) {
    case RowMark::Imported:
        item->setBackground(kImportedRow);
        item->setToolTip(QStringLiteral("Aus der Textdatei geändert"));
        break;
    case RowMark::Refused:
        item->setBackground(kRefusedRow);
        item->setToolTip(QStringLiteral("Aus der Textdatei nicht übernommen, siehe Bericht"));
        break;
    case RowMark::None:
        item->setBackground(QBrush());
        item->setToolTip(QString());
        break;
    }
}

void TF4_Texte::editText(std::size_t position) {
    if (!session_ || position >= session_->textCount()) return;
    activateWindow();
    LB_Texte->setCurrentRow(static_cast<int>(position));
    LB_Texte->scrollToItem(LB_Texte->item(static_cast<int>(position)));
    LB_TexteClick();
    LB_TexteDblClick();
}

void TF4_Texte::BB_OKClick() {
    if (session_) {
        const Status written = workspace_.TexteArray_zu_BIN(session_->list());
        if (!written) {
            platform_.message(written.message());
            return;
        }
    }
    accept();
}

bool TF4_Texte::eventFilter(QObject* watched, QEvent* event) {
    if (watched == E_Text && event->type() == QEvent::MouseButtonPress) E_TextClick();
    if (isEnter(event)) {
        if (watched == E_Text) {
            Text_eintragen();
            return true;
        }
        if (watched == E_Suche) {
            SucheText();
            return true;
        }
        if (watched == LB_Texte) {
            LB_TexteDblClick();
            return true;
        }
    }
    return FixedDialog::eventFilter(watched, event);
}

}  // namespace zarvelo
