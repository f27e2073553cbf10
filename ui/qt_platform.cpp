#include "qt_platform.hpp"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QUrl>

namespace zarvelo {

namespace {

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString selectedFilterFor(const QString& qtFilter) { return qtFilter.section(QStringLiteral(";;"), 0, 0); }

}  // namespace

QString QtPlatform::toQtFilter(const std::string& filter) {
    // The description already carries the pattern in brackets; when it does not, the
    // pattern part is appended so Qt still filters.
    const QStringList parts = fromUtf8(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString pattern = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        if (description.isEmpty()) continue;
        if (!pattern.isEmpty() && !description.contains(QLatin1Char('('))) {
            description += QStringLiteral(" (") + QString(pattern).replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
        }
        out << description;
    }
    return out.join(QStringLiteral(";;"));
}

QString QtPlatform::withDefaultExtension(const QString& path, const std::string& defaultExtension) {
    if (path.isEmpty() || defaultExtension.empty()) return path;
    if (!QFileInfo(path).suffix().isEmpty()) return path;
    return path + QLatin1Char('.') + fromUtf8(defaultExtension);
}

std::optional<std::string> QtPlatform::openFile(const FileDialogRequest& request) {
    const QString filter = toQtFilter(request.filter);
    QString selected = selectedFilterFor(filter);
    const QString path = QFileDialog::getOpenFileName(parent_, QStringLiteral("Öffnen"), fromUtf8(request.initialName), filter, &selected);
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

std::optional<std::string> QtPlatform::saveFile(const FileDialogRequest& request) {
    const QString filter = toQtFilter(request.filter);
    QString selected = selectedFilterFor(filter);
    QFileDialog dialog(parent_, QStringLiteral("Speichern unter"), fromUtf8(request.initialName), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    // Qt adds the suffix before its own overwrite check, so the prompt names the real file.
    dialog.setDefaultSuffix(fromUtf8(request.defaultExtension));
    if (!selected.isEmpty()) dialog.selectNameFilter(selected);
    if (!request.initialName.empty()) dialog.selectFile(fromUtf8(request.initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString path = withDefaultExtension(dialog.selectedFiles().constFirst(), request.defaultExtension);
    return path.toStdString();
}

void QtPlatform::message(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Zarvelo"), fromUtf8(text), QMessageBox::Ok, parent_);
    box.exec();
}

SaveChoice QtPlatform::askToSave(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Zarvelo"), fromUtf8(text), QMessageBox::NoButton, parent_);
    QPushButton* save = box.addButton(QStringLiteral("Speichern"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("Verwerfen"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return SaveChoice::Save;
    if (box.clickedButton() == discard) return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

void QtPlatform::beep() { QApplication::beep(); }

void QtPlatform::openLink(const std::string& url) {
    // Fails silently when the desktop has no handler.
    QDesktopServices::openUrl(QUrl(fromUtf8(url)));
}

}  // namespace zarvelo
