#include "text_import_report.hpp"

#include "texts/text_import.hpp"
#include "ui/fonts.hpp"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace zarvelo {

namespace {

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

TextImportReport::TextImportReport(QWidget* editor) : QDialog(editor) {
    setupUi(this);
    setFont(sansFont(11));
    setFixedSize(size());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    connect(reportList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const long long position = positionAt(reportList->row(item));
        if (position >= 0) emit textChosen(static_cast<std::size_t>(position));
    });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::hide);
}

long long TextImportReport::positionAt(int line) const {
    const QListWidgetItem* item = reportList->item(line);
    if (!item) return -1;
    const QVariant position = item->data(Qt::UserRole);
    return position.isValid() ? position.toLongLong() : -1;
}

void TextImportReport::textStored(std::size_t position) {
    for (int i = 0; i < reportList->count(); ++i) {
        QListWidgetItem* item = reportList->item(i);
        if (positionAt(i) != static_cast<long long>(position) || item->data(Qt::UserRole + 1).toBool()) continue;
        item->setData(Qt::UserRole + 1, true);
        item->setText(item->text() + QStringLiteral(" Von Hand eingetragen."));
        item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    }
}

void TextImportReport::showReport(const std::string& path, const TextImport& imported) {
    const QString name = QFileInfo(fromUtf8(path)).fileName();
    QString summary = QStringLiteral("Aus „") + name + QStringLiteral("“: ") + fromUtf8(imported.summary());
    summary += imported.refused.empty()
                   ? QStringLiteral("\nGeänderte Texte sind gelb markiert.")
                   : QStringLiteral("\nGeändert: gelb, abgelehnt: rot. Doppelklick auf eine Zeile wählt den Text.");
    summaryLabel->setText(summary);
    reportList->clear();
    for (const RefusedText& refused : imported.refused) {
        auto* item = new QListWidgetItem(fromUtf8(refused.line()), reportList);
        item->setData(Qt::UserRole, static_cast<qlonglong>(refused.position));
    }
    if (!imported.note.empty()) new QListWidgetItem(fromUtf8(imported.note), reportList);
    if (reportList->count() > 0) reportList->setCurrentRow(0);

    // Beside the editor where the screen has room, else over its lower part.
    if (QWidget* editor = parentWidget()) {
        const QRect e = editor->frameGeometry();
        const QScreen* screen = editor->screen() ? editor->screen() : QGuiApplication::primaryScreen();
        const QRect room = screen ? screen->availableGeometry() : QRect();
        QPoint at(e.right() + 8, e.top());
        if (room.isValid() && at.x() + width() > room.right()) at = QPoint(e.left() + 20, e.bottom() - height() - 20);
        move(at);
    }
    if (isVisible()) raise();  // a second load: bring it back to the front
    show();
}

}  // namespace zarvelo
