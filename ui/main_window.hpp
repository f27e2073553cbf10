#pragma once
// The main window: owner of the workspace, its commands and the main page's views.

#include "workspace/platform.hpp"
#include "workspace/workspace.hpp"

#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QDialog;
class QRadioButton;

namespace Ui {
class TF1_Hauptseite;
}

namespace zarvelo {

class TF2_Farbeditor;
class TF3_Startbild;
class TF4_Texte;
class TF5_VersionsINFO;
class TF6_unterstuetzt;
class TF7_HauptHilfe;
class TF8_StartInfo;
class TF9_Speichern;
class TF10_Farbpalette;

// The windows the main window shows; all created once at program start.
struct SecondaryWindows {
    TF2_Farbeditor* farbeditor = nullptr;
    TF3_Startbild* startbild = nullptr;
    TF4_Texte* texte = nullptr;
    TF5_VersionsINFO* versionsInfo = nullptr;
    TF6_unterstuetzt* unterstuetzt = nullptr;
    TF7_HauptHilfe* hauptHilfe = nullptr;
    TF8_StartInfo* startInfo = nullptr;
    TF9_Speichern* speichern = nullptr;
    TF10_Farbpalette* farbpalette = nullptr;
};

class TF1_Hauptseite : public QMainWindow {
    Q_OBJECT
public:
    explicit TF1_Hauptseite(Platform& platform, QWidget* parent = nullptr);
    ~TF1_Hauptseite() override;

    Workspace& workspace() { return workspace_; }
    Ui::TF1_Hauptseite& ui() { return *ui_; }
    void setWindows(const SecondaryWindows& windows);

    // Commands.
    void Check_Status();
    void DNL_Datei_einlesen();
    // What "DNL-DATEI laden" does once its dialog has chosen `path`; a file given on the
    // command line or dropped on the window takes the same road.
    void loadDnlFile(const std::string& path);
    // Loads `path` after the start-up notice; call before the window is first shown.
    void openAfterStartNotice(std::string path) { pendingOpen_ = std::move(path); }
    void DNL_Datei_sichern();
    void BIN_zu_File();
    void Starte_Bildeditor();
    void Texte_bearbeiten();
    void Hilfe_MAIN();
    // The editors' help pages go through the same modal runner as every other window.
    void showHelpPage(const QString& name);
    void Expertenmodus(bool on);
    // "&Rückgängig" and "&Wiederherstellen": one step of the workspace's history.
    void undo();
    void redo();
    // Asks before unsaved changes are lost (closing, loading another file). True: go on
    // (nothing unsaved, saved, or discarded); false: the user cancelled or the save failed.
    bool confirmBeforeDiscarding();

    // Waits 10 ms and repaints the start image view, while animated redraw is set.
    void Pause();

    // The main page.
    void showDspLogo();        // colour count and logo preview of the decoded logo
    void BIN_zeige_Bild();     // redraws both previews in the selected view, with overlays
    void Zeige_Used_Palette();
    void Markiere_Palette(std::uint8_t index, bool on);
    void Check_TagNachtDiff();

    // Display handlers (the radio buttons call them when their selection changes).
    void RB_TagClick();
    void RB_NachtClick();
    void CB_TagNachtClick();
    void RB_DSP_anClick();
    void RB_DSP_ausClick();
    void RB_Gitter_anClick(bool showStateOnly = false);
    void RB_Gitter_ausClick(bool showStateOnly = false);
    // Writes the grid patch; a refusal is shown and the buttons go back to what is written.
    bool switchGrid(bool on);
    void P_FixTagNachtClick();
    void P_alle_FarbenClick();
    void I_PaletteMouseMove(QPoint position);
    void I_PaletteMouseDown(QPoint position, Qt::MouseButton button);
    void P_Palette_speichernClick();
    void P_Bild_speichernClick();
    void P_speichere_DSP_LOGOClick();

    // The view shown: day (true) or night palette.
    bool dayView() const { return dayView_; }
    // The expert entry selection is offered in the start image editor.
    bool expertMode() const { return expertMode_; }
    // The palette entry the previews pick out in its contrast colour; -1: all colours.
    int selectedColour() const { return selectedColour_; }
    // The palette view that is visible in the current view and split state.
    const QImage& visiblePaletteView() const;

    // For tests: the length of one animation pause (10 ms), the number of pauses so far, and
    // how modal windows are run (exec() by default).
    void setPauseMilliseconds(int ms) { pauseMs_ = ms; }
    int pauseCount() const { return pauseCount_; }
    void setModalRunner(std::function<int(QDialog&)> runner) { modalRunner_ = std::move(runner); }
    // For the screenshots: do not show the start-up notice on the first show.
    void setStartNoticeEnabled(bool on) { startNoticePending_ = on; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A single DNL file dropped on the window is loaded; every other drop is refused.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormCreate();
    void connectCommands();
    int showModal(QDialog* dialog);
    // Selects a radio button from the program; runs `command` when the selection changed.
    void select(QRadioButton* button, const std::function<void()>& command);
    void onRadioToggled(QRadioButton* button, bool checked);
    void VW_Animation();
    void paintPaletteViews();
    void showInfoLines();
    void saveImage(const QImage& image);
    // The secondary windows' part of the commands.
    void resetSaveColourMode();
    void runSaveDialog();
    void runStartImageEditor();
    void runColourEditor(std::uint8_t index);
    void showStartNotice();
    // The workspace's one notification: the page shows what the change touched.
    void onDocumentChanged(const DocumentChange& change);
    // Redraws the whole page from the workspace, without the globe animation.
    void showDocument();
    // Palettes, DSP logo, counts, used marks, information lines and command state: what a
    // load and every later change draw alike.
    void paintDocument();
    void updateHistoryCommands();
    // The day or night view; the start image editor takes over in its palette.
    void setDayView(bool day);

    std::unique_ptr<Ui::TF1_Hauptseite> ui_;
    Platform& platform_;
    Workspace workspace_;
    SecondaryWindows windows_;
    std::string openName_ = "*.DNL";  // the open dialog keeps the last choice
    std::string saveName_;            // likewise the shared save dialog
    std::uint8_t markedCell_ = 0;
    bool programSelecting_ = false;
    bool startNoticePending_ = true;
    std::string pendingOpen_;  // file from the command line, opened after the start-up notice
    bool centred_ = false;
    // View state: the page's own, never the document's.
    bool dayView_ = true;              // the previews show the day palette
    bool expertMode_ = false;          // the start image editor offers the expert entry selection
    bool dspOverlay_ = false;          // the DSP logo slides into the start image preview
    int selectedColour_ = -1;          // the entry the previews pick out; -1: all colours
    bool gridShown_ = false;           // the globe lines are drawn (animated when they appear)
    bool animatedRedraw_ = true;       // the next redraw animates the overlays
    bool overlaysSuppressed_ = false;  // the start image editor is open: plain previews
    bool saveHappened_ = false;        // a save wrote the document since the flag was cleared
    int pauseMs_ = 10;
    int pauseCount_ = 0;
    std::function<int(QDialog&)> modalRunner_;
};

}  // namespace zarvelo
