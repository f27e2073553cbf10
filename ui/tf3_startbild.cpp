#include "tf3_startbild.hpp"

#include "graphics/palette_strip.hpp"
#include "photo/photo_file.hpp"
#include "photo/rgb_qimage.hpp"
#include "workspace/picture_file.hpp"
#include "workspace/platform.hpp"
#include "workspace/start_image_handover.hpp"
#include "workspace/workspace.hpp"
#include "ui/fonts.hpp"
#include "ui/photo_fit_dialog.hpp"
#include "ui/tf10_farbpalette.hpp"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPointer>
#include <QShowEvent>
#include <QStyle>
#include <QUrl>

#include <algorithm>
#include <initializer_list>

namespace zarvelo {

namespace {

const QColor kGrey(128, 128, 128);

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A picture of the given size in grey when the set or picture is empty.
QImage toQImage(const RgbImage& picture, int width, int height) {
    if (picture.width <= 0 || picture.height <= 0) {
        QImage blank(width, height, QImage::Format_RGB888);
        blank.fill(kGrey);
        return blank;
    }
    return zarvelo::toQImage(picture);
}

RgbImage picture(const ColourSet& set) { return set.count > 0 ? renderColourSet(set) : RgbImage{}; }

void showReadout(const StripReadout& r, QLabel* position, QLabel* red, QLabel* green, QLabel* blue, QLabel* pixels) {
    position->setText(fromUtf8(r.position));
    red->setText(fromUtf8(r.red));
    green->setText(fromUtf8(r.green));
    blue->setText(fromUtf8(r.blue));
    pixels->setText(fromUtf8(r.pixels));
}

// A redrawn strip may hold other colours; the old readout would describe an entry that is gone.
void clearReadout(std::initializer_list<QLabel*> labels) {
    for (QLabel* l : labels) l->clear();
}

}  // namespace

TF3_Startbild::TF3_Startbild(Workspace& workspace, Platform& platform, std::function<void()> showHelp, QWidget* parent)
    : FixedDialog(parent),
      workspace_(workspace),
      platform_(platform),
      showHelp_(std::move(showHelp)),
      modalRunner_([](QDialog& dialog) { return dialog.exec(); }) {
    setupUi(this);
    setFixedFrame(680, 604, FrameButtons::SystemMenu);
    // A document loaded, or a step undone or redone, replaces what the editor took over.
    // The workspace may outlive this window: the listener checks that the window is still there.
    takeOverPending_ = workspace_.fileLoaded;
    workspace_.addListener([self = QPointer<TF3_Startbild>(this)](const DocumentChange& change) {
        if (self && (change.cause == ChangeCause::Load || change.cause == ChangeCause::Undo ||
                     change.cause == ChangeCause::Redo))
            self->takeOverPending_ = true;
    });
    setFont(sansFont(11));
    setAcceptDrops(true);
    S_oeffne_Grafik_file->setText(QStringLiteral("BILD-DATEI\n\rLADEN"));
    S_Foto_anpassen->setText(QStringLiteral("FOTO\nANPASSEN"));
    for (QToolButton* b : {S_oeffne_Grafik_file, S_Foto_anpassen, S_Hilfe}) {
        b->setFont(sansFont(13, true));
        b->setAutoRaise(true);
        b->setCursor(Qt::PointingHandCursor);
    }
    for (QLabel* l : {L_MaxColor, L_O_Bild_AnzCol, L_Maximal_moeglich_Bild_AnzCol, L_O_DSP_AnzCol, L_AKT_Bild_AnzCol,
                      L_DSP_AnzCol})
        l->setFont(sansFont(11, true));
    LB_DSP_FarbInfo->setFont(fixedFont(12));
    LB_DSP_FarbInfo->setFocusPolicy(Qt::NoFocus);
    LB_DSP_FarbInfo->setSelectionMode(QAbstractItemView::NoSelection);
    BB_Abbruch->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BB_schreibe_NEU_in_BIN->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    I_Test->hide();

    const QColor face = palette().color(QPalette::Window);
    auto blank = [&](PictureView* view) {
        QImage image(view->width(), view->height(), QImage::Format_RGB888);
        image.fill(face);
        view->setCanvas(image);
    };
    for (PictureView* v : {I_Bild_links, I_AKT_Bild, I_AKT_Bild_Pal, I_DSP_links, I_DSP_rechts, I_DSP_Palette,
                           I_DSP_optimiert, I_END_Palette})
        blank(v);
    for (QSlider* s : {TB_Startbild, TB_DSP}) {
        s->setMinimum(1);
        s->setMaximum(1);
    }

    connect(S_oeffne_Grafik_file, &QToolButton::clicked, this, &TF3_Startbild::S_oeffne_Grafik_fileClick);
    connect(S_Foto_anpassen, &QToolButton::clicked, this, &TF3_Startbild::S_Foto_anpassenClick);
    connect(S_Hilfe, &QToolButton::clicked, this, [this] {
        if (showHelp_) showHelp_();
    });
    // Only a move by the user reduces a picture; the program's own positioning does not.
    connect(TB_Startbild, &QSlider::valueChanged, this, [this](int p) {
        if (!settingSliders_) TB_StartbildChange(p);
    });
    connect(TB_DSP, &QSlider::valueChanged, this, [this](int p) {
        if (!settingSliders_) TB_DSPChange(p);
    });
    connect(I_AKT_Bild_Pal, &PictureView::mouseMoved, this, &TF3_Startbild::I_AKT_Bild_PalMouseMove);
    connect(I_DSP_Palette, &PictureView::mouseMoved, this, &TF3_Startbild::I_DSP_PaletteMouseMove);
    connect(P_Startbild_speichern_U3, &QPushButton::clicked, this, &TF3_Startbild::P_Startbild_speichern_U3Click);
    connect(P_DSP_Logo_speichern, &QPushButton::clicked, this, &TF3_Startbild::P_DSP_Logo_speichernClick);
    connect(P_speichere_mod_DSP_Bild, &QPushButton::clicked, this, &TF3_Startbild::P_speichere_mod_DSP_BildClick);
    connect(P_Palette_auswaehlen, &QPushButton::clicked, this, &TF3_Startbild::P_Palette_auswaehlenClick);
    connect(BB_Abbruch, &QPushButton::clicked, this, &QDialog::reject);
    connect(BB_schreibe_NEU_in_BIN, &QPushButton::clicked, this, &TF3_Startbild::BB_schreibe_NEU_in_BINClick);
}

void TF3_Startbild::showEvent(QShowEvent* event) {
    // The opening may change the window's height; centre it afterwards.
    if (!event->spontaneous()) FormShow();
    FixedDialog::showEvent(event);
}

void TF3_Startbild::FormShow() {
    P_Palette_auswaehlen->setVisible(expertMode_);
    if (takeOverPending_) {
        Zeige_vorhandene_Bilder_an();
        UpdateAnzeige();
    }
    BB_Abbruch->setFocus();
}

void TF3_Startbild::applyLayout() {
    const bool dsp = editor_.dspLogoSupported;
    P_DSP_Container->setVisible(dsp);
    const int top = dsp ? 574 : 384;
    BB_Abbruch->move(BB_Abbruch->x(), top);
    BB_schreibe_NEU_in_BIN->move(BB_schreibe_NEU_in_BIN->x(), top);
    setFixedSize(680, dsp ? 604 : 414);
}

void TF3_Startbild::Zeige_vorhandene_Bilder_an() {
    editor_.Zeige_vorhandene_Bilder_an(editorInputs(workspace_, dayView_));
    applyLayout();
    showLeftPictures();
    AKT_zeige_Bild();
    setSliderQuietly(TB_Startbild, editor_.availableCount, editor_.AKT.count);
    showLogo();
    showFit();
    setSliderQuietly(TB_DSP, editor_.availableCount, editor_.AKT_DSP.count);
    BB_Abbruch->setFocus();
}

void TF3_Startbild::UpdateAnzeige() {
    L_MaxColor->setNum(editor_.availableCount);
    L_O_Bild_AnzCol->setNum(editor_.O.count);
    L_Maximal_moeglich_Bild_AnzCol->setNum(editor_.maximumPossible);
    L_O_DSP_AnzCol->setNum(editor_.O_DSP.count);
    L_AKT_Bild_AnzCol->setNum(editor_.AKT.count);
    L_DSP_AnzCol->setNum(editor_.AKT_DSP.count);
}

void TF3_Startbild::setSliderQuietly(QSlider* slider, int maximum, int position) {
    settingSliders_ = true;
    slider->setMaximum(std::max(maximum, 1));
    slider->setValue(position);  // the track bar limits it to its range
    settingSliders_ = false;
}

void TF3_Startbild::showLeftPictures() {
    I_Bild_links->setCanvas(toQImage(editor_.pictureLeft, kStartImageWidth, kStartImageHeight));
    I_DSP_links->setCanvas(toQImage(editor_.dspLeft, kDspLogoWidth, kDspLogoHeight));
}

void TF3_Startbild::AKT_zeige_Bild() {
    I_AKT_Bild->setCanvas(toQImage(picture(editor_.AKT), kStartImageWidth, kStartImageHeight));
    I_AKT_Bild_Pal->setCanvas(toQImage(paletteStrip(editor_.AKT.palette, editor_.AKT.count, editor_.availableCount),
                                       kPaletteStripWidth, kPaletteStripHeight));
    clearReadout({L_Neu_Koord, L_Neu_Rot, L_Neu_Gruen, L_Neu_Blau, L_Neu_FarbPixel});
}

void TF3_Startbild::showLogo() {
    if (!editor_.dspLogoSupported) return;
    I_DSP_rechts->setCanvas(toQImage(picture(editor_.AKT_DSP), kDspLogoWidth, kDspLogoHeight));
    I_DSP_Palette->setCanvas(toQImage(paletteStrip(editor_.AKT_DSP.palette, editor_.AKT_DSP.count, editor_.availableCount),
                                      kPaletteStripWidth, kPaletteStripHeight));
    clearReadout({L_DSP_Koord, L_DSP_rot, L_DSP_gruen, L_DSP_blau, L_DSP_FarbPixel});
}

void TF3_Startbild::showFit() {
    LB_DSP_FarbInfo->clear();
    if (!editor_.dspLogoSupported || editor_.O_DSP.count == 0) return;
    const DspFit& fit = editor_.fit;
    for (const std::string& line : fit.report) LB_DSP_FarbInfo->addItem(fromUtf8(line));
    I_END_Palette->setCanvas(toQImage(paletteStrip(fit.combined, fit.totalCount, editor_.availableCount),
                                      kPaletteStripWidth, kPaletteStripHeight));
    I_DSP_optimiert->setCanvas(toQImage(renderFittedLogo(editor_.AKT_DSP, fit), kDspLogoWidth, kDspLogoHeight));
}

// --- import ---------------------------------------------------------------------------

void TF3_Startbild::S_oeffne_Grafik_fileClick() {
    const std::optional<std::string> path = platform_.openFile({kPictureFilter, "BMP", openName_});
    if (!path) return;
    openName_ = *path;
    importFile(*path);
}

void TF3_Startbild::importFile(const std::string& path) {
    const Result<RgbImage> loaded = loadPictureFile(path);
    if (!loaded.ok()) {
        platform_.beep();
        platform_.message(loaded.message());
        return;
    }
    importPicture(loaded.value());
}

void TF3_Startbild::importPicture(const RgbImage& picture) {
    const ImportOutcome outcome = editor_.importPicture(picture);
    if (outcome.kind == ImportKind::Nothing) {
        platform_.beep();
        platform_.message(outcome.message);
        return;
    }
    if (outcome.kind == ImportKind::StartImage) {
        showLeftPictures();
        AKT_zeige_Bild();
        setSliderQuietly(TB_Startbild, editor_.availableCount, editor_.AKT.count);
    } else {
        showLeftPictures();
        showLogo();
        setSliderQuietly(TB_DSP, editor_.availableCount, editor_.AKT_DSP.count);
    }
    // A new start image changes the logo's fitting too: its colours come first.
    showFit();
    takeOverPending_ = false;
    UpdateAnzeige();
}

void TF3_Startbild::S_Foto_anpassenClick() {
    const std::optional<std::string> path = platform_.openFile({photoFileFilter(), "JPG", photoName_});
    if (!path) return;
    photoName_ = *path;
    Result<Photo> loaded = loadPhotoFile(*path);
    if (!loaded.ok()) {
        platform_.beep();
        platform_.message(loaded.message());
        return;
    }
    PhotoFitDialog dialog(PhotoFitSession(std::move(loaded).value(), editor_), this);
    if (modalRunner_(dialog) != QDialog::Accepted) return;
    const PhotoFitResult& result = dialog.acceptedResult();
    if (!result.fit.ok()) {
        platform_.beep();
        platform_.message(result.fit.error);
        return;
    }
    importPicture(result.fit.picture());
}

std::string TF3_Startbild::droppedPicture(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
    const QString path = urls.front().toLocalFile();
    if (QFileInfo(path).suffix().compare(QStringLiteral("bmp"), Qt::CaseInsensitive) != 0) return {};
    return path.toStdString();
}

void TF3_Startbild::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedPicture(event->mimeData()).empty()) event->acceptProposedAction();
    else event->ignore();
}

void TF3_Startbild::dropEvent(QDropEvent* event) {
    const std::string path = droppedPicture(event->mimeData());
    if (path.empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    importFile(path);
}

// --- sliders and readouts -------------------------------------------------------------

void TF3_Startbild::TB_StartbildChange(int position) {
    const SliderOutcome out = editor_.TB_StartbildChange(position);
    if (out.changed) {
        AKT_zeige_Bild();
        showFit();
    }
    setSliderQuietly(TB_Startbild, editor_.availableCount, out.position);
    UpdateAnzeige();
}

void TF3_Startbild::TB_DSPChange(int position) {
    const SliderOutcome out = editor_.TB_DSPChange(position);
    if (out.changed) {
        showLogo();
        showFit();
    }
    setSliderQuietly(TB_DSP, editor_.availableCount, out.position);
    UpdateAnzeige();
}

void TF3_Startbild::I_AKT_Bild_PalMouseMove(QPoint position) {
    showReadout(paletteStripReadout(editor_.AKT, position.x(), editor_.paletteCellWidth), L_Neu_Koord, L_Neu_Rot,
                L_Neu_Gruen, L_Neu_Blau, L_Neu_FarbPixel);
}

void TF3_Startbild::I_DSP_PaletteMouseMove(QPoint position) {
    showReadout(paletteStripReadout(editor_.AKT_DSP, position.x(), editor_.paletteCellWidth), L_DSP_Koord, L_DSP_rot,
                L_DSP_gruen, L_DSP_blau, L_DSP_FarbPixel);
}

// --- saving pictures ------------------------------------------------------------------

void TF3_Startbild::savePicture(const QImage& picture) {
    const std::optional<std::string> path = platform_.saveFile({kPictureFilter, "BMP", saveName_});
    if (!path) return;
    saveName_ = *path;
    const Status written = writeBmpFile(*path, toRgbImage(picture));
    if (!written.ok()) platform_.message(written.message());
}

void TF3_Startbild::P_Startbild_speichern_U3Click() { savePicture(I_AKT_Bild->canvas()); }
void TF3_Startbild::P_DSP_Logo_speichernClick() { savePicture(I_DSP_rechts->canvas()); }
void TF3_Startbild::P_speichere_mod_DSP_BildClick() { savePicture(I_DSP_optimiert->canvas()); }

// --- expert selection and accept ------------------------------------------------------

void TF3_Startbild::P_Palette_auswaehlenClick() {
    if (!farbpalette_) return;
    farbpalette_->FormShow(editor_.entrySelection(), editor_.dayPalette, editor_.nightPalette);
    const int result = modalRunner_(*farbpalette_);
    if (result != QDialog::Accepted || !farbpalette_->selectionChanged()) return;
    editor_.applyEntrySelection(farbpalette_->selection());
    AKT_zeige_Bild();
    setSliderQuietly(TB_Startbild, editor_.availableCount, editor_.AKT.count);
    if (editor_.dspLogoSupported) {
        showLogo();
        setSliderQuietly(TB_DSP, editor_.availableCount, editor_.AKT_DSP.count);
        showFit();
    }
    UpdateAnzeige();
}

void TF3_Startbild::BB_schreibe_NEU_in_BINClick() {
    const Status written = zarvelo::BB_schreibe_NEU_in_BINClick(workspace_, editor_);
    if (!written.ok()) {
        platform_.beep();
        platform_.message(written.message());
        return;
    }
    accept();
}

}  // namespace zarvelo
