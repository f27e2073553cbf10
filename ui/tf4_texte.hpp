#pragma once
// Text editor: lists the firmware's texts, searches and changes them within the space each
// one has, exports the list, and writes the texts into the flash image only when accepted.

#include "texts/text_table.hpp"
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

inline constexpr const char* kTxtFilter = "Text-Dateien (*.TXT)|*.TXT";
inline constexpr const char* kTxtExtension = "TXT";

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
    std::uint16_t searchPosition() const { return searchPosition_; }
    OverlongMode overlongMode() const;
    // The editor's copy of the text table (none before the first opening).
    const std::optional<TextList>& textList() const { return list_; }

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
    void BB_OKClick();         // "Texte übernehmen"
    void BB_AbbruchClick() { reject(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Selects the mode button; runs the mode change when the mode changed and `run` is set.
    void setOverlongMode(OverlongMode mode, bool run);
    void selectRowQuietly(int row);
    QString rowAt(std::size_t position) const;

    Workspace& workspace_;
    Platform& platform_;
    std::function<void()> showHelp_;

    std::optional<TextList> list_;
    std::vector<std::string> rows_;  // list box rows as ANSI bytes, as searched and exported
    std::uint16_t current_ = 0;
    bool editing_ = false;
    std::uint16_t searchPosition_ = 0;
    int net_ = 0;
    int gross_ = 0;
    bool quiet_ = false;  // selections and mode changes made by the window itself
};

}  // namespace zarvelo
