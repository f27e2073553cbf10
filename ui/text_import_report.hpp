#pragma once
// The report of "Texte laden": one line per text the file could not store. It stays open
// beside the text editor, and a double-click on a line selects that text there.

#include "ui_text_import_report.h"

#include <QDialog>

#include <cstddef>
#include <string>

namespace zarvelo {

struct TextImport;

class TextImportReport : public QDialog, public Ui::TextImportReport {
    Q_OBJECT
public:
    explicit TextImportReport(QWidget* editor);

    // Fills the report for the file at `path` and shows it beside the editor.
    void showReport(const std::string& path, const TextImport& imported);
    // The list position of the text a line names, or -1 (the note).
    long long positionAt(int line) const;
    // A refused text was stored by hand: its line is greyed and says so.
    void textStored(std::size_t position);

signals:
    void textChosen(std::size_t position);
};

}  // namespace zarvelo
