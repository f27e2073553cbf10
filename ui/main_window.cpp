#include "main_window.hpp"

#include "ui/palette_views.hpp"
#include "photo/rgb_qimage.hpp"
#include "workspace/picture_file.hpp"
#include "flash/messages.hpp"
#include "graphics/globe_animation.hpp"
#include "graphics/start_image.hpp"
#include "ui/ansi_text.hpp"
#include "ui/widget_colours.hpp"
#include "ui/fonts.hpp"
#include "ui/tf2_farbeditor.hpp"
#include "ui/tf3_startbild.hpp"
#include "ui/tf4_texte.hpp"
#include "ui/tf5_versionsinfo.hpp"
#include "ui/tf6_unterstuetzt.hpp"
#include "ui/tf7_haupthilfe.hpp"
#include "ui/tf8_startinfo.hpp"
#include "ui/tf9_speichern.hpp"
#include "ui_tf1_hauptseite.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QLayout>
#include <QPainter>
#include <QThread>
#include <QTimer>

#include <filesystem>
#include <optional>
#include <utility>

namespace zarvelo {

namespace {

// Two-line captions and notices break with line feed + carriage return.
const QString kLineBreak = QStringLiteral("\n\r");

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

void copyInto(QImage& target, const RgbImage& source) { target = toQImage(source); }

}  // namespace

TF1_Hauptseite::TF1_Hauptseite(Platform& platform, QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::TF1_Hauptseite>()),
      platform_(platform),
      modalRunner_([](QDialog& dialog) { return dialog.exec(); }) {
    ui_->setupUi(this);
    workspace_.addListener([this](const DocumentChange& change) { onDocumentChanged(change); });
    FormCreate();
}

TF1_Hauptseite::~TF1_Hauptseite() = default;

void TF1_Hauptseite::FormCreate() {
    Ui::TF1_Hauptseite& u = *ui_;
    // "[*]" shows unsaved changes.
    setWindowTitle(QStringLiteral("Zarvelo[*]"));
    // Fixed frame: client area 559 x 453 below the menu bar; no maximise button.
    u.centralwidget->setFixedSize(559, 453);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    for (QToolButton* b : {u.S_oeffne_DNL_file, u.S_speichere_DNL_file, u.S_Startbild, u.S_Texte, u.S_Hilfe, u.S_Ende})
        b->setFont(sansFont(13, true));
    u.LB_Versionstexte->setFont(fixedFont(12));
    u.L_TagNachtDifferenz->setFont(sansFont(12, true));
    for (QLabel* l : {u.L_Pal_Koord, u.L_Rot, u.L_Gruen, u.L_Blau, u.L_AnzCol, u.L_DNL_FarbAnzahl, u.L_DSP_AnzCol,
                      u.L_DSP_FarbAnzahl})
        l->setFont(sansFont(11, true));
    setWidgetColours(u.L_Rot, QColor(255, 0, 0), Qt::white);
    setWidgetColours(u.L_Gruen, QColor(0, 255, 0), Qt::black);
    setWidgetColours(u.L_Blau, QColor(0, 0, 255), Qt::white);
    setWidgetColours(u.L_DNL_FarbAnzahl, palette().color(QPalette::Window), QColor(255, 0, 0));
    setWidgetColours(u.L_DSP_FarbAnzahl, QColor(64, 64, 64), QColor(255, 255, 0));

    // The two overlay pairs share one group box but are chosen independently.
    auto* dspGroup = new QButtonGroup(this);
    dspGroup->addButton(u.RB_DSP_an);
    dspGroup->addButton(u.RB_DSP_aus);
    auto* gridGroup = new QButtonGroup(this);
    gridGroup->addButton(u.RB_Gitter_an);
    gridGroup->addButton(u.RB_Gitter_aus);
    auto* viewGroup = new QButtonGroup(this);
    viewGroup->addButton(u.RB_Tag);
    viewGroup->addButton(u.RB_Nacht);

    // Picture canvases: palette views with grey gaps, the previews in the window colour.
    const QColor face = palette().color(QPalette::Window);
    for (PictureView* v : {u.I_Tag_Palette, u.I_TagNacht_Palette, u.I_Nacht_Palette, u.I_NachtTag_Palette})
        v->setCanvas(blankPaletteView(face));
    QImage startPreview(kStartImageWidth, kStartImageHeight, QImage::Format_RGB888);
    startPreview.fill(face);
    u.I_BIN_Bild_Grafik->setCanvas(startPreview);
    QImage logoPreview(kDspLogoWidth, kDspLogoHeight, QImage::Format_RGB888);
    logoPreview.fill(face);
    u.I_BIN_DSP_Grafik->setCanvas(logoPreview);

    connectCommands();
    setAcceptDrops(true);

    u.GB_VW_Einblendungen->hide();
    dspOverlay_ = false;
    animatedRedraw_ = true;
    setDayView(true);
    select(u.RB_Tag, [this] { RB_TagClick(); });
    u.L_TagNachtDifferenz->hide();
    Check_Status();
    expertMode_ = false;
    u.Expertenmodus1->setChecked(false);

    u.S_oeffne_DNL_file->setText(QStringLiteral("DNL-DATEI") + kLineBreak + QStringLiteral("laden"));
    u.S_speichere_DNL_file->setText(QStringLiteral("DNL-DATEI") + kLineBreak + QStringLiteral("speichern"));
    u.S_Startbild->setText(QStringLiteral("STARTBILDER") + kLineBreak + QStringLiteral("bearbeiten"));
    u.S_Texte->setText(QStringLiteral("TEXTE") + kLineBreak + QStringLiteral("bearbeiten"));
}

void TF1_Hauptseite::connectCommands() {
    Ui::TF1_Hauptseite& u = *ui_;
    auto both = [this](QToolButton* button, QAction* action, void (TF1_Hauptseite::*command)()) {
        if (button) connect(button, &QToolButton::clicked, this, [this, command] { (this->*command)(); });
        if (action) connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
    };
    both(u.S_oeffne_DNL_file, u.DNLDateilesen1, &TF1_Hauptseite::DNL_Datei_einlesen);
    both(u.S_speichere_DNL_file, u.DNLDateispeichern1, &TF1_Hauptseite::DNL_Datei_sichern);
    both(nullptr, u.BINDateispeichern1, &TF1_Hauptseite::BIN_zu_File);
    both(u.S_Startbild, u.Startbildbearbeiten1, &TF1_Hauptseite::Starte_Bildeditor);
    both(u.S_Texte, u.extebearbeiten1, &TF1_Hauptseite::Texte_bearbeiten);
    both(u.S_Hilfe, u.Hilfe2, &TF1_Hauptseite::Hilfe_MAIN);
    u.DNLDateilesen1->setShortcut(QKeySequence::Open);
    u.DNLDateispeichern1->setShortcut(QKeySequence::Save);
    u.Rueckgaengig1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    u.Wiederherstellen1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(u.Rueckgaengig1, &QAction::triggered, this, &TF1_Hauptseite::undo);
    connect(u.Wiederherstellen1, &QAction::triggered, this, &TF1_Hauptseite::redo);
    updateHistoryCommands();
    connect(u.S_Ende, &QToolButton::clicked, this, &QWidget::close);
    connect(u.Ende1, &QAction::triggered, this, &QWidget::close);
    connect(u.Expertenmodus1, &QAction::triggered, this, &TF1_Hauptseite::Expertenmodus);
    connect(u.untersttzteVersionen1, &QAction::triggered, this, [this] { showModal(windows_.unterstuetzt); });
    connect(u.Info1, &QAction::triggered, this, [this] { showModal(windows_.versionsInfo); });

    for (QRadioButton* b : {u.RB_Tag, u.RB_Nacht, u.RB_DSP_an, u.RB_DSP_aus, u.RB_Gitter_an, u.RB_Gitter_aus})
        connect(b, &QRadioButton::toggled, this, [this, b](bool checked) { onRadioToggled(b, checked); });
    connect(u.CB_TagNacht, &QCheckBox::clicked, this, &TF1_Hauptseite::CB_TagNachtClick);
    connect(u.P_FixTagNacht, &QPushButton::clicked, this, &TF1_Hauptseite::P_FixTagNachtClick);
    connect(u.P_alle_Farben, &QPushButton::clicked, this, &TF1_Hauptseite::P_alle_FarbenClick);
    connect(u.P_Palette_speichern, &QPushButton::clicked, this, &TF1_Hauptseite::P_Palette_speichernClick);
    connect(u.P_Bild_speichern, &QPushButton::clicked, this, &TF1_Hauptseite::P_Bild_speichernClick);
    connect(u.P_speichere_DSP_LOGO, &QPushButton::clicked, this, &TF1_Hauptseite::P_speichere_DSP_LOGOClick);
    for (PictureView* v : {u.I_Tag_Palette, u.I_TagNacht_Palette, u.I_Nacht_Palette, u.I_NachtTag_Palette}) {
        connect(v, &PictureView::mouseMoved, this, &TF1_Hauptseite::I_PaletteMouseMove);
        connect(v, &PictureView::mousePressed, this, &TF1_Hauptseite::I_PaletteMouseDown);
    }
}

int TF1_Hauptseite::showModal(QDialog* dialog) { return dialog ? modalRunner_(*dialog) : QDialog::Rejected; }

void TF1_Hauptseite::select(QRadioButton* button, const std::function<void()>& command) {
    if (button->isChecked()) return;
    programSelecting_ = true;
    button->setChecked(true);
    programSelecting_ = false;
    command();
}

void TF1_Hauptseite::onRadioToggled(QRadioButton* button, bool checked) {
    // A user's selection runs the command once, when it changes; selections made by the
    // program run their command through select().
    if (!checked || programSelecting_) return;
    Ui::TF1_Hauptseite& u = *ui_;
    if (button == u.RB_Tag) RB_TagClick();
    else if (button == u.RB_Nacht) RB_NachtClick();
    else if (button == u.RB_DSP_an) RB_DSP_anClick();
    else if (button == u.RB_DSP_aus) RB_DSP_ausClick();
    else if (button == u.RB_Gitter_an) RB_Gitter_anClick();
    else if (button == u.RB_Gitter_aus) RB_Gitter_ausClick();
}

// --- command state --------------------------------------------------------------------

void TF1_Hauptseite::Check_Status() {
    Ui::TF1_Hauptseite& u = *ui_;
    const bool loaded = workspace_.fileLoaded();
    for (QWidget* w : std::initializer_list<QWidget*>{u.S_speichere_DNL_file, u.S_Startbild, u.S_Texte,
                                                      u.P_Palette_speichern, u.P_Bild_speichern, u.P_alle_Farben})
        w->setEnabled(loaded);
    for (QAction* a : {u.DNLDateispeichern1, u.BINDateispeichern1, u.Startbildbearbeiten1, u.extebearbeiten1})
        a->setEnabled(loaded);
    for (QWidget* w : std::initializer_list<QWidget*>{u.P_Bild_speichern, u.P_Palette_speichern, u.P_alle_Farben,
                                                      u.P_Farbpalette, u.LB_Versionstexte, u.P_DNL_Palette,
                                                      u.P_DNL_Grafik, u.GB_TagNacht, u.P_TagNachtMeldungen})
        w->setVisible(loaded);
    if (loaded) resetSaveColourMode();

    const bool split = u.CB_TagNacht->isChecked();
    const bool day = dayView_;
    u.I_Tag_Palette->setVisible(day && !split);
    u.I_TagNacht_Palette->setVisible(day && split);
    u.I_Nacht_Palette->setVisible(!day && !split);
    u.I_NachtTag_Palette->setVisible(!day && split);

    const bool dsp = workspace_.dspLogoSupported();
    u.P_DSP->setVisible(dsp);
    u.RB_DSP_an->setVisible(dsp);
    u.RB_DSP_aus->setVisible(dsp);

    if (workspace_.vwOverlays()) {
        if (workspace_.gridActive())
            select(u.RB_Gitter_an, [this] { RB_Gitter_anClick(true); });
        else
            select(u.RB_Gitter_aus, [this] { RB_Gitter_ausClick(true); });
    }
    u.GB_VW_Einblendungen->setVisible(workspace_.vwOverlays() || dsp);
}

// --- load, save, export ---------------------------------------------------------------

void TF1_Hauptseite::DNL_Datei_einlesen() {
    if (!confirmBeforeDiscarding()) return;
    const std::optional<std::string> path =
        platform_.openFile({kDnlFilter, kDnlExtension, openName_});
    if (!path) return;
    loadDnlFile(*path);
}

void TF1_Hauptseite::loadDnlFile(const std::string& path) {
    openName_ = path;
    // The workspace decodes everything or, for a rejected file, stays exactly as it was.
    const Status loaded = workspace_.loadFile(path);
    if (!loaded.ok()) {
        platform_.message(loaded.message());
        return;
    }
    Ui::TF1_Hauptseite& u = *ui_;
    u.L_TagNachtDifferenz->hide();
    if (workspace_.markerCorrected()) {
        platform_.beep();
        platform_.message(msg::kMarkerCorrected);
    }
    select(u.RB_DSP_aus, [this] { RB_DSP_ausClick(); });
    dspOverlay_ = false;
    paintDocument();
    repaint();
    setDayView(true);
    select(u.RB_Tag, [this] { RB_TagClick(); });
    BIN_zeige_Bild();
}

void TF1_Hauptseite::DNL_Datei_sichern() {
    if (!workspace_.fileLoaded()) return;
    runSaveDialog();
}

bool TF1_Hauptseite::confirmBeforeDiscarding() {
    if (!workspace_.isModified()) return true;
    const std::string name = std::filesystem::path(workspace_.fileName()).filename().string();
    switch (platform_.askToSave("Die Änderungen an " + name + " wurden nicht gespeichert.")) {
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: return false;
    case SaveChoice::Save: break;
    }
    // Goes on only when the file was written; a cancelled or failed save keeps everything.
    saveHappened_ = false;
    runSaveDialog();
    return saveHappened_ && !workspace_.isModified();
}

void TF1_Hauptseite::undo() {
    if (QApplication::activeModalWidget()) return;  // another window works on the document
    workspace_.undo();
}

void TF1_Hauptseite::redo() {
    if (QApplication::activeModalWidget()) return;
    workspace_.redo();
}

void TF1_Hauptseite::updateHistoryCommands() {
    Ui::TF1_Hauptseite& u = *ui_;
    const History& history = workspace_.history();
    const HistoryStep* back = history.nextUndo();
    const HistoryStep* again = history.nextRedo();
    u.Rueckgaengig1->setEnabled(back != nullptr);
    u.Rueckgaengig1->setText(back ? QStringLiteral("&Rückgängig: ") + fromUtf8(back->label) : QStringLiteral("&Rückgängig"));
    u.Wiederherstellen1->setEnabled(again != nullptr);
    u.Wiederherstellen1->setText(again ? QStringLiteral("&Wiederherstellen: ") + fromUtf8(again->label)
                                       : QStringLiteral("&Wiederherstellen"));
    setWindowModified(workspace_.isModified());
}

void TF1_Hauptseite::onDocumentChanged(const DocumentChange& change) {
    if (change.cause == ChangeCause::Save) saveHappened_ = true;
    // A loaded or restored image shows its grid at once, without the globe animation.
    if (change.cause == ChangeCause::Load || change.cause == ChangeCause::Undo || change.cause == ChangeCause::Redo)
        gridShown_ = workspace_.gridActive();
    if (change.cause == ChangeCause::Load) {
        dspOverlay_ = false;
        selectedColour_ = -1;
    }
    // A load draws its page in its own order (after its messages).
    if (change.kind != ChangeKind::File) showDocument();
    updateHistoryCommands();
}

void TF1_Hauptseite::paintDocument() {
    paintPaletteViews();
    if (workspace_.dspLogoSupported()) showDspLogo();
    ui_->L_AnzCol->setNum(workspace_.startImageColourCount());
    Zeige_Used_Palette();
    showInfoLines();
    Check_Status();
}

void TF1_Hauptseite::showDocument() {
    if (!workspace_.fileLoaded()) return;
    paintDocument();
    if (selectedColour_ >= 0) Markiere_Palette(markedCell_, true);
    animatedRedraw_ = false;
    BIN_zeige_Bild();
}

void TF1_Hauptseite::BIN_zu_File() {
    if (!workspace_.fileLoaded()) return;
    const std::optional<std::string> path = platform_.saveFile({"BIN-Dateien (*.BIN)|*.BIN", "BIN", saveName_});
    if (!path) return;
    saveName_ = *path;
    const Status outcome = workspace_.saveBin(*path);
    if (!outcome.ok()) platform_.message(outcome.message());
}

void TF1_Hauptseite::saveImage(const QImage& image) {
    const std::optional<std::string> path = platform_.saveFile({kPictureFilter, "BMP", saveName_});
    if (!path) return;
    saveName_ = *path;
    const Status written = writeBmpFile(*path, toRgbImage(image));
    if (!written.ok()) platform_.message(written.message());
}

void TF1_Hauptseite::P_Palette_speichernClick() { saveImage(visiblePaletteView()); }
void TF1_Hauptseite::P_Bild_speichernClick() { saveImage(ui_->I_BIN_Bild_Grafik->canvas()); }
void TF1_Hauptseite::P_speichere_DSP_LOGOClick() { saveImage(ui_->I_BIN_DSP_Grafik->canvas()); }

const QImage& TF1_Hauptseite::visiblePaletteView() const {
    const bool split = ui_->CB_TagNacht->isChecked();
    if (dayView_) return (split ? ui_->I_TagNacht_Palette : ui_->I_Tag_Palette)->canvas();
    return (split ? ui_->I_NachtTag_Palette : ui_->I_Nacht_Palette)->canvas();
}

void TF1_Hauptseite::Starte_Bildeditor() {
    if (!workspace_.fileLoaded()) return;
    // The editor shows the plain picture in all colours.
    selectedColour_ = -1;
    overlaysSuppressed_ = true;
    animatedRedraw_ = false;
    BIN_zeige_Bild();
    runStartImageEditor();
    overlaysSuppressed_ = false;
    // An accepted picture has redrawn the page already; the overlays come back either way.
    animatedRedraw_ = false;
    BIN_zeige_Bild();
}

void TF1_Hauptseite::Texte_bearbeiten() {
    // A text table the editor cannot read keeps the window closed, after its message.
    if (workspace_.fileLoaded() && windows_.texte && windows_.texte->FormShow()) showModal(windows_.texte);
}

void TF1_Hauptseite::Hilfe_MAIN() { showHelpPage(QStringLiteral("H_MAIN")); }

void TF1_Hauptseite::showHelpPage(const QString& name) {
    // A missing page is reported by the help window, which then stays closed.
    if (windows_.hauptHilfe && windows_.hauptHilfe->loadPage(name)) showModal(windows_.hauptHilfe);
}

void TF1_Hauptseite::showStartNotice() { showModal(windows_.startInfo); }

void TF1_Hauptseite::resetSaveColourMode() {
    if (windows_.speichern) windows_.speichern->resetColourMode();
}

void TF1_Hauptseite::runSaveDialog() {
    if (!workspace_.fileLoaded() || !windows_.speichern) return;
    // A save redraws the page through the workspace's notification.
    showModal(windows_.speichern);
}

void TF1_Hauptseite::runStartImageEditor() { showModal(windows_.startbild); }

void TF1_Hauptseite::runColourEditor(std::uint8_t index) {
    if (!windows_.farbeditor) return;
    const Rgb start = (workspace_.palette(dayView_))[index];
    windows_.farbeditor->setEditedColour(index, start, dayView_);
    // An accepted colour redraws the page through the workspace's notification.
    showModal(windows_.farbeditor);
}

void TF1_Hauptseite::Expertenmodus(bool on) {
    expertMode_ = on;
    if (windows_.startbild) windows_.startbild->setExpertMode(on);
}

void TF1_Hauptseite::setWindows(const SecondaryWindows& windows) {
    windows_ = windows;
    if (windows_.startbild) {
        windows_.startbild->setExpertMode(expertMode_);
        windows_.startbild->setDayView(dayView_);
    }
}

void TF1_Hauptseite::setDayView(bool day) {
    dayView_ = day;
    if (windows_.startbild) windows_.startbild->setDayView(day);
}

void TF1_Hauptseite::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!centred_) {
        centred_ = true;
        centreOnScreen(this);
    }
    if (!startNoticePending_ && pendingOpen_.empty()) return;
    const bool notice = startNoticePending_;
    startNoticePending_ = false;
    // After the main window is on screen, so the notice sits over it; a file named on the
    // command line is opened once the notice is closed.
    QTimer::singleShot(0, this, [this, notice] {
        if (notice) showStartNotice();
        if (pendingOpen_.empty()) return;
        const std::string path = std::exchange(pendingOpen_, {});
        loadDnlFile(path);
    });
}

namespace {

// The local path of a drop that carries exactly one file named *.DNL (any case). While
// another window is open it works on the document, which a load must not replace under it.
std::optional<QString> droppedDnlFile(const QMimeData* data) {
    if (QApplication::activeModalWidget()) return std::nullopt;
    if (!data || !data->hasUrls()) return std::nullopt;
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
    const QString path = urls.front().toLocalFile();
    if (!path.endsWith(QStringLiteral(".dnl"), Qt::CaseInsensitive)) return std::nullopt;
    return path;
}

}  // namespace

void TF1_Hauptseite::dragEnterEvent(QDragEnterEvent* event) {
    if (droppedDnlFile(event->mimeData())) event->acceptProposedAction();
    else event->ignore();
}

void TF1_Hauptseite::dragMoveEvent(QDragMoveEvent* event) {
    if (droppedDnlFile(event->mimeData())) event->acceptProposedAction();
    else event->ignore();
}

void TF1_Hauptseite::dropEvent(QDropEvent* event) {
    const std::optional<QString> path = droppedDnlFile(event->mimeData());
    if (!path) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Loaded once the drop is over: its question and messages must not hold the file
    // manager's drag.
    QTimer::singleShot(0, this, [this, file = path->toStdString()] {
        if (confirmBeforeDiscarding()) loadDnlFile(file);
    });
}

void TF1_Hauptseite::closeEvent(QCloseEvent* event) {
    // Unsaved changes are lost only after a question.
    if (confirmBeforeDiscarding()) event->accept();
    else event->ignore();
}

// --- main page ------------------------------------------------------------------------

void TF1_Hauptseite::Pause() {
    if (!animatedRedraw_) return;
    ++pauseCount_;
    if (pauseMs_ > 0) QThread::msleep(static_cast<unsigned long>(pauseMs_));
    ui_->I_BIN_Bild_Grafik->repaint();
}

void TF1_Hauptseite::paintPaletteViews() {
    Ui::TF1_Hauptseite& u = *ui_;
    paintPaletteCells(u.I_Tag_Palette->canvas(), workspace_.dayPalette(), nullptr);
    paintPaletteCells(u.I_TagNacht_Palette->canvas(), workspace_.dayPalette(), &workspace_.nightPalette());
    paintPaletteCells(u.I_Nacht_Palette->canvas(), workspace_.nightPalette(), nullptr);
    paintPaletteCells(u.I_NachtTag_Palette->canvas(), workspace_.nightPalette(), &workspace_.dayPalette());
    for (PictureView* v : {u.I_Tag_Palette, u.I_TagNacht_Palette, u.I_Nacht_Palette, u.I_NachtTag_Palette}) v->update();
}

void TF1_Hauptseite::showDspLogo() {
    ui_->L_DSP_AnzCol->setNum(static_cast<int>(workspace_.dspIndexList().size()));
    // Painted in day colours; the next redraw shows the selected view.
    copyInto(ui_->I_BIN_DSP_Grafik->canvas(), renderDspLogo(workspace_.dspLogo(), workspace_.dayPalette(), -1));
    ui_->I_BIN_DSP_Grafik->update();
}

void TF1_Hauptseite::Zeige_Used_Palette() {
    Ui::TF1_Hauptseite& u = *ui_;
    static const std::vector<std::uint8_t> none;
    const std::vector<std::uint8_t>& dsp = workspace_.dspLogoSupported() ? workspace_.dspIndexList() : none;
    for (PictureView* v : {u.I_Tag_Palette, u.I_TagNacht_Palette, u.I_Nacht_Palette, u.I_NachtTag_Palette}) {
        paintUsedMarks(v->canvas(), workspace_.startImagePixelCounts(), dsp);
        v->update();
    }
}

void TF1_Hauptseite::Markiere_Palette(std::uint8_t index, bool on) {
    Ui::TF1_Hauptseite& u = *ui_;
    const Rgb day = workspace_.dayPalette()[index];
    const Rgb night = workspace_.nightPalette()[index];
    paintSelectionFrame(u.I_Tag_Palette->canvas(), index, day, on);
    paintSelectionFrame(u.I_TagNacht_Palette->canvas(), index, day, on);
    paintSelectionFrame(u.I_Nacht_Palette->canvas(), index, night, on);
    paintSelectionFrame(u.I_NachtTag_Palette->canvas(), index, night, on);
    for (PictureView* v : {u.I_Tag_Palette, u.I_TagNacht_Palette, u.I_Nacht_Palette, u.I_NachtTag_Palette}) v->update();
}

void TF1_Hauptseite::BIN_zeige_Bild() {
    Ui::TF1_Hauptseite& u = *ui_;
    copyInto(u.I_BIN_Bild_Grafik->canvas(), workspace_.startImagePreview(dayView_, selectedColour_));
    if (workspace_.dspLogoSupported()) {
        copyInto(u.I_BIN_DSP_Grafik->canvas(), workspace_.dspLogoPreview(dayView_, selectedColour_));
        u.I_BIN_DSP_Grafik->update();
    }
    if (!overlaysSuppressed_ && (workspace_.gridActive() || dspOverlay_)) VW_Animation();
    animatedRedraw_ = true;
    u.I_BIN_Bild_Grafik->repaint();
    Check_TagNachtDiff();
}

void TF1_Hauptseite::VW_Animation() {
    QImage& preview = ui_->I_BIN_Bild_Grafik->canvas();
    const QImage& logo = ui_->I_BIN_DSP_Grafik->canvas();
    for (int step = 0; step < kGlobeSteps; ++step) {
        {
            QPainter painter(&preview);
            painter.setPen(QPen(QColor(kOverlayPenColour.r, kOverlayPenColour.g, kOverlayPenColour.b), 1));
            if (workspace_.gridActive()) {
                for (const Polyline& line : globeAnimationStep(step)) {
                    QPolygon polygon;
                    for (const Point& p : line) polygon << QPoint(p.x, p.y);
                    painter.drawPolyline(polygon);
                }
            }
            if (dspOverlay_) {
                const DspLogoSlide s = dspLogoSlide(step);
                painter.drawImage(QPoint(s.targetX, s.targetY), logo, QRect(s.sourceX, s.sourceY, s.width, s.height));
            }
        }
        if (step < kGlobeSteps - 1) Pause();
    }
}

void TF1_Hauptseite::Check_TagNachtDiff() {
    Ui::TF1_Hauptseite& u = *ui_;
    QLabel* notice = u.L_TagNachtDifferenz;
    notice->hide();
    setWidgetColours(notice, palette().color(QPalette::Button), Qt::black);
    notice->clear();
    u.P_FixTagNacht->hide();
    switch (workspace_.Check_TagNachtDiff()) {
    case DayNightDiff::Identical:
        setWidgetColours(notice, QColor(192, 220, 192), Qt::black);
        notice->setText(QStringLiteral("Tag- und Nacht-Farbpaletten") + kLineBreak + QStringLiteral("sind absolut identisch!"));
        notice->show();
        break;
    case DayNightDiff::Differs:
        setWidgetColours(notice, QColor(255, 0, 0), Qt::black);
        notice->setText(QStringLiteral("Startbilddarstellung variiert") + kLineBreak +
                        QStringLiteral("zwischen Tag- und Nachtmodus!"));
        notice->show();
        u.P_FixTagNacht->show();
        break;
    case DayNightDiff::None:
        break;
    }
}

void TF1_Hauptseite::P_FixTagNachtClick() {
    // Writes the flash image; the page redraws from the notification.
    const Status fixed = workspace_.P_FixTagNachtClick(dayView_);
    if (!fixed.ok()) platform_.message(fixed.message());
}

void TF1_Hauptseite::showInfoLines() {
    QListWidget* list = ui_->LB_Versionstexte;
    list->clear();
    for (const std::string& line : workspace_.infoLines()) list->addItem(fromAnsi(line));  // Windows-1252 bytes
    list->setCurrentRow(-1);
    list->clearSelection();
}

void TF1_Hauptseite::RB_TagClick() {
    setDayView(true);
    Check_Status();
    animatedRedraw_ = false;
    BIN_zeige_Bild();
}

void TF1_Hauptseite::RB_NachtClick() {
    setDayView(false);
    Check_Status();
    animatedRedraw_ = false;
    BIN_zeige_Bild();
}

void TF1_Hauptseite::CB_TagNachtClick() { Check_Status(); }

void TF1_Hauptseite::RB_DSP_anClick() {
    dspOverlay_ = true;
    BIN_zeige_Bild();
}

void TF1_Hauptseite::RB_DSP_ausClick() {
    dspOverlay_ = false;
    animatedRedraw_ = false;
    BIN_zeige_Bild();
}

void TF1_Hauptseite::RB_Gitter_anClick(bool showStateOnly) {
    // Selected by the command state to show what was read: nothing is written.
    if (!showStateOnly && !switchGrid(true)) return;
    Check_Status();
    if (!gridShown_) {
        gridShown_ = true;
        BIN_zeige_Bild();
    }
}

void TF1_Hauptseite::RB_Gitter_ausClick(bool showStateOnly) {
    if (!showStateOnly && !switchGrid(false)) return;
    animatedRedraw_ = false;
    Check_Status();
    gridShown_ = false;
    BIN_zeige_Bild();
}

bool TF1_Hauptseite::switchGrid(bool on) {
    const Status written = workspace_.BIN_Gitter(on);
    if (written.ok()) return true;
    platform_.message(written.message());
    // The buttons show the grid patch as it still is.
    select(workspace_.gridActive() ? ui_->RB_Gitter_an : ui_->RB_Gitter_aus, [] {});
    return false;
}

void TF1_Hauptseite::I_PaletteMouseMove(QPoint position) {
    Ui::TF1_Hauptseite& u = *ui_;
    const std::uint8_t index = paletteIndexAt(position);
    const Rgb c = (workspace_.palette(dayView_))[index];
    u.L_Pal_Koord->setNum(index);
    u.L_Rot->setNum(c.r);
    u.L_Gruen->setNum(c.g);
    u.L_Blau->setNum(c.b);
    u.L_DNL_FarbAnzahl->setNum(workspace_.startImagePixelCounts()[index]);
    if (workspace_.dspLogoSupported()) u.L_DSP_FarbAnzahl->setNum(workspace_.dspPixelCounts()[index]);
}

void TF1_Hauptseite::I_PaletteMouseDown(QPoint position, Qt::MouseButton button) {
    const std::uint8_t index = paletteIndexAt(position);
    Markiere_Palette(markedCell_, false);
    Markiere_Palette(index, true);
    markedCell_ = index;
    if (button == Qt::LeftButton) {
        selectedColour_ = index;
        animatedRedraw_ = false;
        BIN_zeige_Bild();
    } else if (button == Qt::RightButton) {
        runColourEditor(index);
        if (selectedColour_ >= 0) Markiere_Palette(index, true);
    }
}

void TF1_Hauptseite::P_alle_FarbenClick() {
    Markiere_Palette(static_cast<std::uint8_t>(selectedColour_), false);
    selectedColour_ = -1;
    animatedRedraw_ = false;
    BIN_zeige_Bild();
}

}  // namespace zarvelo
