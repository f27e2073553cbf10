#pragma once
// Start image editor: the main page's start image and DSP logo, a BMP picture loaded in
// their place, the colour sliders, the DSP logo fitting and the expert choice of palette
// entries. The editor's state and every computation live in StartImageEditor; the window
// draws it and turns clicks, slider moves and drops into its operations.

#include "graphics/start_image_editor.hpp"
#include "ui/window_frame.hpp"
#include "ui_tf3_startbild.h"

#include <functional>
#include <string>

namespace zarvelo {

class Workspace;
class Platform;
class TF10_Farbpalette;

class TF3_Startbild : public FixedDialog, public Ui::TF3_Startbild {
    Q_OBJECT
public:
    TF3_Startbild(Workspace& workspace, Platform& platform, std::function<void()> showHelp, QWidget* parent = nullptr);

    // The expert selection opened by "ändern", and how it is run (exec() unless a test
    // drives it).
    void setFarbpalette(TF10_Farbpalette* window) { farbpalette_ = window; }
    void setModalRunner(std::function<int(QDialog&)> runner) { modalRunner_ = std::move(runner); }

    const StartImageEditor& editor() const { return editor_; }

    // Set by the main window: "ändern" (the expert entry selection) is offered.
    void setExpertMode(bool on) { expertMode_ = on; }
    // Set by the main window: the pictures are taken over in the palette of its view.
    void setDayView(bool day) { dayView_ = day; }
    // The next opening takes over the main page's pictures again: a file was loaded, or a
    // step undone or redone, since the last imported picture.
    bool takeOverPending() const { return takeOverPending_; }

    // Runs when the window is shown; public so tests and pictures need not show it.
    void FormShow();
    void Zeige_vorhandene_Bilder_an();
    void UpdateAnzeige();

    // Commands.
    void S_oeffne_Grafik_fileClick();
    // Imports a picture file as "BILD-DATEI LADEN" does after its dialog (also for drops).
    void importFile(const std::string& path);
    // "FOTO ANPASSEN": a photo of any format, cropped and fitted in its own dialog (run by the
    // modal runner), then imported as a loaded picture would be.
    void S_Foto_anpassenClick();
    void TB_StartbildChange(int position);
    void TB_DSPChange(int position);
    void I_AKT_Bild_PalMouseMove(QPoint position);
    void I_DSP_PaletteMouseMove(QPoint position);
    void P_Startbild_speichern_U3Click();
    void P_DSP_Logo_speichernClick();
    void P_speichere_mod_DSP_BildClick();
    void P_Palette_auswaehlenClick();
    void BB_schreibe_NEU_in_BINClick();

    // The one file of a drop the editor takes, or an empty string.
    static std::string droppedPicture(const class QMimeData* data);

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void applyLayout();
    void importPicture(const RgbImage& picture);
    void AKT_zeige_Bild();
    void showLeftPictures();
    void showLogo();
    void showFit();
    void setSliderQuietly(QSlider* slider, int maximum, int position);
    void savePicture(const QImage& picture);

    Workspace& workspace_;
    Platform& platform_;
    std::function<void()> showHelp_;
    TF10_Farbpalette* farbpalette_ = nullptr;
    std::function<int(QDialog&)> modalRunner_;
    StartImageEditor editor_;
    bool settingSliders_ = false;
    bool expertMode_ = false;
    bool dayView_ = true;
    bool takeOverPending_ = false;
    std::string openName_;
    std::string photoName_;
    std::string saveName_;
};

}  // namespace zarvelo
