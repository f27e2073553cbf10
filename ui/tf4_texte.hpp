#pragma once
// Text editor: lists the firmware's texts, searches and changes them within the space each
// one has, exports the list, and writes the texts into the flash image only when accepted.

#include "texts/text_session.hpp"
#include "ui/window_frame.hpp"
#include "ui_tf4_texte.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zarvelo {

class Workspace;
class Platform;
class TextImportReport;

inline constexpr const char* kTxtFilter = "Text-Dateien (*.TXT)|*.TXT";
inline constexpr const char* kTxtExtension = "TXT";
// Texts back from translators: the export or the table of `zarvelo-cli texts --table`.
inline constexpr const char* kTextImportFilter = "Text-Dateien (*.TXT *.TSV)|*.TXT;*.TSV";

class TF4_Texte : public FixedDialog, public Ui::TF4_Texte {
    Q_OBJECT
public:
    TF4_Texte(Workspace& workspace, Platform& platform, std::function<void()> showHelp, QWidget* parent = nullptr);

    // Reads the text table and resets the window for a new opening. False, after a German
    // message, when the table cannot be edited: the window must then stay closed.
    bool FormShow();

    // Window state.
    std::uint16_t currentText() const { return current_; }
    bool editing() const { return editing_; }
    std::uint16_t searchPosition() const;
    OverlongMode overlongMode() const;
    // The editing session (none before the first opening) and its copy of the text table.
    const std::optional<TextSession>& session() const { return session_; }
    const TextList* textList() const { return session_ ? &session_->list() : nullptr; }
    // The report of the last "Texte laden" (hidden until a file was loaded).
    TextImportReport* importReport() const { return report_; }

    // Own operations.
    void TexteArray_zu_ListBox();
    void UpdateAktiv();
    void SucheText();
    // Stores the edit box text as the current text ("Text eintragen", Enter in the edit box).
    void Text_eintragen();

    // Handlers.
    void LB_TexteClick();      // a row was selected
    void LB_TexteDblClick();   // double-click or Enter in the list
    void E_TextClick();        // click into the edit box
    void RG_UeberLaengeClick();
    void E_SucheChange();
    void Panel3Click();        // "Texte speichern"
    void P_Texte_ladenClick(); // "Texte laden"
    // Selects a text as a click on its row does and starts editing it (report double-click).
    void editText(std::size_t position);
    void BB_OKClick();         // "Texte übernehmen"
    void BB_AbbruchClick() { reject(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Selects the mode button; runs the mode change when the mode changed and `run` is set.
    void setOverlongMode(OverlongMode mode, bool run);
    void selectRowQuietly(int row);
    QString rowAt(std::size_t position) const;
    void showMark(std::size_t position);

    Workspace& workspace_;
    Platform& platform_;
    std::function<void()> showHelp_;

    std::optional<TextSession> session_;
    TextImportReport* report_ = nullptr;
    std::uint16_t current_ = 0;
    bool editing_ = false;
    int net_ = 0;
    int gross_ = 0;
    bool quiet_ = false;  // selections and mode changes made by the window itself
};

}  // namespace zarvelo
