// Takes pictures of the real windows with a synthetic sample loaded and writes them as PNG
// files into a folder (docs/screenshots in the repository). Runs offscreen.

#include "ui/main_window.hpp"
#include "ui/program_windows.hpp"
#include "scripted_platform.hpp"
#include "synthetic_firmware.hpp"
#include "ui/fonts.hpp"
#include "ui/resources_init.hpp"
#include "test_pictures.hpp"
#include "ui/tf10_farbpalette.hpp"
#include "ui/tf2_farbeditor.hpp"
#include "ui/text_import_report.hpp"
#include "ui/tf4_texte.hpp"
#include "photo/photo_file.hpp"
#include "ui/photo_fit_dialog.hpp"
#include "ui/tf3_startbild.hpp"
#include "workspace/file_io.hpp"
#include "workspace/picture_file.hpp"
#include "ui/tf7_haupthilfe.hpp"
#include "ui/tf8_startinfo.hpp"
#include "ui/tf9_speichern.hpp"
#include "ui_tf1_hauptseite.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStyleFactory>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

using namespace zarvelo;

namespace {

bool save(QWidget* window, const QDir& dir, const char* name) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (!window->grab().save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// An input file for the windows to load; a failed write leaves a picture of nothing.
bool put(const std::string& path, ByteView bytes) {
    const Status written = writeFileAtomically(path, bytes);
    if (!written.ok()) std::fprintf(stderr, "%s\n", written.message().c_str());
    return written.ok();
}

// A photograph from the desktop's wallpapers when they are installed, otherwise a made-up
// landscape: sky, sea and sand with some grain, so the picture looks like a photo.
Photo samplePhoto() {
    const char* const wallpaper = "/usr/share/wallpapers/BytheWater/contents/images/1920x1080.jpg";
    if (QFileInfo::exists(QString::fromLatin1(wallpaper))) {
        Result<Photo> loaded = loadPhotoFile(wallpaper);
        if (loaded.ok()) return std::move(loaded).value();
    }
    Photo photo;
    photo.picture = RgbImage(1600, 1000);
    unsigned noise = 12345;
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 1600; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int grain = static_cast<int>((noise >> 16) % 17) - 8;
            const double shore = 620 + 40 * std::sin(x / 180.0);
            double r, g, b;
            if (y < 420) r = 120 + y / 6.0, g = 170 + y / 8.0, b = 235 - y / 20.0;                    // sky
            else if (y < shore) r = 20 + (y - 420) / 5.0, g = 90 + (y - 420) / 6.0, b = 140 + (y - 420) / 10.0;  // sea
            else r = 215 - (y - shore) / 12.0, g = 190 - (y - shore) / 10.0, b = 140 - (y - shore) / 8.0;   // sand
            auto c = [&](double v) { return static_cast<std::uint8_t>(std::clamp(static_cast<int>(v) + grain, 0, 255)); };
            photo.picture.set(x, y, {c(r), c(g), c(b)});
        }
    return photo;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarvelo"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(sansFont(11));
    ensureResources();

    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());
    const std::string sample = dir.filePath(QStringLiteral("sample.DNL")).toStdString();
    {
        const auto dnl = synth::makeSample({.version = 4, .detail = 1}).dnl;
        std::ofstream(sample, std::ios::binary).write(reinterpret_cast<const char*>(dnl.data()),
                                                      static_cast<std::streamsize>(dnl.size()));
    }

    test::ScriptedPlatform platform;
    ProgramWindows windows(platform);
    TF1_Hauptseite& main = windows.main();
    main.setStartNoticeEnabled(false);
    main.setPauseMilliseconds(0);
    main.show();
    platform.answerOpen(sample);
    main.DNL_Datei_einlesen();
    QFile::remove(QString::fromStdString(sample));
    Ui::TF1_Hauptseite& u = main.ui();

    bool ok = true;
    u.RB_DSP_an->click();  // grid lines and the DSP logo over the picture
    const int used = main.workspace().startImage[200 * 320 + 40];
    main.I_PaletteMouseMove(QPoint(13 * (used % 16) + 6, 13 * (used / 16) + 6));
    QApplication::processEvents();
    ok &= save(&main, dir, "main-day.png");

    u.RB_Nacht->click();
    u.CB_TagNacht->click();
    main.I_PaletteMouseMove(QPoint(13 * 5 + 6, 13 * 2 + 6));
    QApplication::processEvents();
    ok &= save(&main, dir, "main-night-split.png");

    u.CB_TagNacht->click();
    u.RB_Tag->click();
    const int cell = main.workspace().startImage[160 * 320 + 160];  // a colour of the picture
    const QPoint at(13 * (cell % 16) + 6, 13 * (cell / 16) + 6);
    main.I_PaletteMouseMove(at);
    main.I_PaletteMouseDown(at, Qt::LeftButton);
    QApplication::processEvents();
    ok &= save(&main, dir, "main-colour-selected.png");

    const SecondaryWindows& w = windows.windows();
    w.farbeditor->setEditedColour(cell, main.workspace().dayPalette[static_cast<std::size_t>(cell)], true);
    w.farbeditor->FormShow();
    ok &= save(w.farbeditor, dir, "colour-editor.png");
    ok &= save(w.speichern, dir, "save-dialog.png");
    w.hauptHilfe->loadPage(QStringLiteral("H_MAIN"));
    ok &= save(w.hauptHilfe, dir, "help.png");
    ok &= save(w.startInfo, dir, "start-notice.png");

    // Text editor on a search hit whose text carries a warning.
    TF4_Texte* texte = w.texte;
    if (!texte->FormShow()) return 1;
    const TextList& list = *texte->textList();
    std::size_t target = 0;
    while (target < list.textCount() && classifyText(list.entry(target)) != TextWarning::ControlCharacters) ++target;
    if (target == list.textCount()) return 1;
    const QString row = texte->LB_Texte->item(static_cast<int>(target))->text();
    const QString pattern = row.section(QLatin1Char(' '), 0, 0).left(6).toLower();
    texte->E_Suche->setText(pattern);
    while (texte->currentText() != target && texte->searchPosition() < list.textCount()) texte->SucheText();
    texte->show();
    QApplication::processEvents();
    ok &= texte->currentText() == target && save(texte, dir, "text-editor.png");
    // A translator's file loaded back: changed rows marked, refused ones in the report.
    {
        const TextSession& session = *texte->session();
        std::string file;
        int changed = 0, refused = 0;
        for (std::size_t k = 0; k < session.textCount(); ++k) {
            std::string line = session.row(k);
            const int net = netLength(session.entry(k));
            if (k % 7 == 3 && net >= 3 && changed < 12) {
                line = std::string("Neu ") + std::to_string(k);
                line.resize(static_cast<std::size_t>(net), '.');
                ++changed;
            } else if (k % 11 == 5 && refused < 3) {
                line += " (zu lang)";
                ++refused;
            }
            file += line + "\r\n";
        }
        const std::string path = dir.filePath(QStringLiteral("uebersetzt.TXT")).toStdString();
        ok &= put(path, Bytes(file.begin(), file.end()));
        platform.answerOpen(path);
        texte->P_Texte_ladenClick();
        QFile::remove(QString::fromStdString(path));
        texte->LB_Texte->setCurrentRow(0);  // the refused row 6 shows its mark
        QApplication::processEvents();
        ok &= texte->importReport() && save(texte, dir, "text-editor-loaded.png") &&
              save(texte->importReport(), dir, "text-import-report.png");
        texte->reject();
    }
    // The start image editor after a 256-colour picture and a logo were loaded, both
    // sliders lowered a little, and the expert selection with a few entries added.
    const std::string picturePath = dir.filePath(QStringLiteral("picture.bmp")).toStdString();
    const std::string logoPath = dir.filePath(QStringLiteral("logo.bmp")).toStdString();
    // 256 colours in four columns of bands, so a few runs per row fit the sample's space.
    RgbImage picture(kStartImageWidth, kStartImageHeight);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const int band = y * 64 / picture.height, column = x * 4 / picture.width;
            picture.set(x, y, {static_cast<std::uint8_t>(band * 4), static_cast<std::uint8_t>(60 + column * 60),
                               static_cast<std::uint8_t>(255 - band * 3 - column * 20)});
        }
    ok &= put(picturePath, encodeBmp24(picture));
    // A logo of 100 colours: a blue and orange stripe pattern with shades.
    RgbImage logo(kDspLogoWidth, kDspLogoHeight);
    for (int y = 0; y < logo.height; ++y)
        for (int x = 0; x < logo.width; ++x) {
            const bool stripe = x / 8 % 2 == 1;
            logo.set(x, y, {static_cast<std::uint8_t>(stripe ? 240 : 20 + x / 8 * 6), static_cast<std::uint8_t>(stripe ? 140 : 60 + y / 4 * 20),
                            static_cast<std::uint8_t>(stripe ? 30 + y / 4 * 10 : 220)});
        }
    ok &= put(logoPath, encodeBmp24(logo));
    main.Expertenmodus(true);
    TF3_Startbild& editor = *w.startbild;
    editor.FormShow();
    editor.importFile(picturePath);
    editor.importFile(logoPath);
    editor.TB_Startbild->setValue(editor.TB_Startbild->value() - 12);
    for (int i = 0; i < 4; ++i) editor.TB_DSP->setValue(editor.TB_DSP->value() - 1);
    editor.I_AKT_Bild_PalMouseMove(QPoint(40, 6));
    editor.I_DSP_PaletteMouseMove(QPoint(10, 6));
    QFile::remove(QString::fromStdString(picturePath));
    QFile::remove(QString::fromStdString(logoPath));
    QApplication::processEvents();
    ok &= save(&editor, dir, "start-image-editor.png");

    TF10_Farbpalette& selection = *w.farbpalette;
    const StartImageEditor& state = editor.editor();
    selection.FormShow(state.entrySelection(), state.dayPalette, state.nightPalette);
    int added = 0;
    for (int e = 255; e >= 0 && added < 5; --e)
        if (!state.availableEntries[static_cast<std::size_t>(e)]) {
            selection.I_Palette_U10MouseDown(QPoint(13 * (e % 16) + 6, 13 * (e / 16) + 6), Qt::LeftButton, Qt::LeftButton,
                                             Qt::NoModifier);
            ++added;
        }
    selection.I_Palette_U10MouseMove(QPoint(13 * 3 + 6, 13 * 1 + 6));
    QApplication::processEvents();
    ok &= save(&selection, dir, "expert-selection.png");

    // "FOTO ANPASSEN" with a photograph, the frame zoomed a little and moved off the centre.
    {
        PhotoFitDialog photoDialog(PhotoFitSession(samplePhoto(), editor.editor()), &editor);
        photoDialog.zoomSlider->setValue(140);
        emit photoDialog.cropView->frameDragged(-120, 40);
        QElapsedTimer waited;
        waited.start();
        do QApplication::processEvents(QEventLoop::AllEvents, 50);
        while (photoDialog.fitPending() && waited.elapsed() < 20000);
        ok &= !photoDialog.fitPending() && save(&photoDialog, dir, "photo-fit-dialog.png");
    }

    // A version without DSP logo: the lower area is left out.
    const std::string noLogo = dir.filePath(QStringLiteral("nologo.DNL")).toStdString();
    ok &= put(noLogo, synth::makeSample({.version = 7, .detail = 1}).dnl);
    platform.answerOpen(noLogo);
    main.DNL_Datei_einlesen();
    QFile::remove(QString::fromStdString(noLogo));
    main.Expertenmodus(false);
    editor.FormShow();
    QApplication::processEvents();
    ok &= save(&editor, dir, "start-image-editor-no-logo.png");
    return ok ? 0 : 1;
}
