// "FOTO ANPASSEN" in the start image editor: the photo window driven offscreen through its
// widgets, its road into the editor, and the file it leads to compared with zarvelo-cli
// import-image --fit.

#include "start_image_editor_fixture.hpp"
#include "graphics/photo_fit_session.hpp"
#include "photo/photo_file.hpp"
#include "ui/photo_fit_dialog.hpp"
#include "ui/tf3_startbild.hpp"
#include "ui/tf9_speichern.hpp"
#include "workspace/picture_file.hpp"
#include "cli_runner.hpp"
#include "synthetic_firmware.hpp"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

using namespace zarvelo;
using test::Sets;

namespace {

// A photo-like picture with grain, larger than the unit's and of another shape.
QImage photoLike(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32);
    unsigned noise = 99;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int grain = static_cast<int>(noise >> 16) % 25 - 12;
            const bool sky = y < h / 2 + (x % 200) / 8;
            image.setPixelColor(x, y, sky ? QColor(std::clamp(80 + y / 5 + grain, 0, 255), 160, 235)
                                          : QColor(std::clamp(170 + grain, 0, 255), 120, std::clamp(30 + x / 9, 0, 255)));
        }
    // A transparent corner: the background colour shows there.
    for (int y = 0; y < h / 5; ++y)
        for (int x = 0; x < w / 5; ++x) image.setPixelColor(x, y, QColor(0, 0, 0, 0));
    return image;
}

// What the user sets in the photo window; the same as command line options.
struct PhotoSettings {
    bool logo = false;
    CropMode mode = CropMode::Fill;
    std::optional<Rgb> background;
    int colours = 0;  // 0: as offered
};

class PhotoFitTest : public test::StartImageEditorTest {
protected:
    void SetUp() override {
        StartImageEditorTest::SetUp();
        onOtherModal = [this](QDialog& dialog) {
            auto* save = dynamic_cast<TF9_Speichern*>(&dialog);
            if (!save || savedAs.empty()) return int(QDialog::Rejected);
            platform.answerSave(savedAs);
            save->BB_speichereDatei->click();
            return save->result();
        };
    }

    std::string loadSample(int version) {
        load({.version = version});
        return dir.file("sample" + std::to_string(loads - 1) + ".DNL");
    }
    std::string putPhoto(const std::string& name, const QImage& image) {
        const std::string path = dir.file(name);
        EXPECT_TRUE(image.save(QString::fromStdString(path)));
        return path;
    }
    static void apply(PhotoFitDialog& d, const PhotoSettings& s) {
        if (s.logo) d.dspLogoButton->click();
        if (s.mode == CropMode::Fit) d.fitButton->click();
        if (s.mode == CropMode::Stretch) d.stretchButton->click();
        if (s.background) {
            const Rgb chosen = *s.background;
            d.setColourChooser([chosen](Rgb) { return std::optional<Rgb>(chosen); });
            d.backgroundButton->click();
        }
        if (s.colours > 0) d.coloursSpin->setValue(s.colours);
    }

    std::string savedAs;
};

}  // namespace

// The whole job: load a DNL file, open the editor, fit a photo through "FOTO ANPASSEN",
// accept, "Daten übernehmen", save. The file is byte for byte what import-image --fit writes
// for the same photo and settings, and loading it shows what the editor showed.
TEST_F(PhotoFitTest, WindowsWriteWhatTheCommandLineToolWrites) {
    const std::string jpeg = putPhoto("photo.jpg", photoLike(1200, 700).convertToFormat(QImage::Format_RGB888));
    const std::string png = putPhoto("photo.png", photoLike(500, 900));
    struct Case {
        const char* name;
        int version;
        std::string photo;
        PhotoSettings settings;
        QStringList options;
    };
    const Case cases[] = {
        {"JPEG with the defaults", 4, jpeg, {}, {}},
        {"transparent PNG fitted into a border", 2, png, {.mode = CropMode::Fit, .background = Rgb{200, 30, 90}, .colours = 9},
         {"--crop", "fit", "--background", "C81E5A", "--colours", "9"}},
        {"stretched, no DSP logo", 7, jpeg, {.mode = CropMode::Stretch, .background = {}, .colours = 3}, {"--crop", "stretch", "--colours", "3"}},
        {"the DSP logo", 3, png, {.logo = true, .mode = CropMode::Fill, .background = {}, .colours = 4}, {"--logo-colours", "4"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string tag = std::to_string(n++);
        const std::string input = loadSample(c.version);
        ASSERT_TRUE(ws().fileLoaded);
        RgbImage shown;
        inPhoto = [&](PhotoFitDialog& d) {
            apply(d, c.settings);
            d.acceptButton->click();
        };
        inEditor = [&] {
            platform.answerOpen(c.photo);
            tf3->S_Foto_anpassen->click();
            ASSERT_TRUE(platform.messages.empty()) << platform.messages.front();
            shown = editorPicture(ed(), c.settings.logo ? PhotoTarget::DspLogo : PhotoTarget::StartImage);
            tf3->BB_schreibe_NEU_in_BIN->click();
            EXPECT_EQ(tf3->result(), QDialog::Accepted);
        };
        main->Starte_Bildeditor();
        EXPECT_EQ(platform.openRequests.back().filter, photoFileFilter());

        savedAs = dir.file("window" + tag + ".DNL");
        main->DNL_Datei_sichern();
        ASSERT_TRUE(std::filesystem::exists(savedAs));

        const std::string byTool = dir.file("cli" + tag + ".DNL");
        const QStringList args = QStringList{"import-image", QString::fromStdString(input), QString::fromStdString(byTool), "--fit",
                                             c.settings.logo ? "--logo" : "--image", QString::fromStdString(c.photo)} +
                                 c.options;
        const test::CliRun run = test::runCli(args);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(test::readFile(savedAs), test::readFile(byTool));

        platform.answerOpen(savedAs);
        main->DNL_Datei_einlesen();
        EXPECT_EQ(c.settings.logo ? ws().dspLogoPreview(true) : ws().startImagePreview(true), shown);
        savedAs.clear();
        inEditor = nullptr;
        inPhoto = nullptr;
    }
}

// "Übernehmen" takes the road of a loaded BMP: the editor's sets are those of importing the
// fitted picture, and the window shows them as after "BILD-DATEI LADEN".
TEST_F(PhotoFitTest, AcceptedPhotoTakesTheRoadOfALoadedPicture) {
    loadSample(4);
    tf3->FormShow();
    const std::string photo = putPhoto("photo.png", photoLike(640, 480));
    StartImageEditor expected = ed();
    Result<Photo> loaded = loadPhotoFile(photo);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    PhotoFitSession session(std::move(loaded).value(), expected);
    session.setZoom(2);
    session.moveFrame(-1000, 1000);  // to the lower left corner
    session.setColours(12);
    const PhotoFitResult fitted = session.fit();
    ASSERT_TRUE(fitted.fit.ok()) << fitted.fit.error;
    ASSERT_EQ(expected.importPicture(fitted.fit.picture()).kind, ImportKind::StartImage);

    inPhoto = [&](PhotoFitDialog& d) {
        d.zoomSlider->setValue(200);
        QTest::mousePress(d.cropView, Qt::LeftButton, {}, QPoint(240, 175));
        QTest::mouseMove(d.cropView, QPoint(40, 340));
        QTest::mouseMove(d.cropView, QPoint(0, 351));
        QTest::mouseRelease(d.cropView, Qt::LeftButton, {}, QPoint(0, 351));
        d.coloursSpin->setValue(12);
        EXPECT_EQ(d.session().frame(), session.frame());
        d.acceptButton->click();
    };
    platform.answerOpen(photo);
    tf3->S_Foto_anpassen->click();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(Sets(ed()) == Sets(expected));
    EXPECT_EQ(tf3->TB_Startbild->value(), expected.AKT.count);
    EXPECT_EQ(tf3->L_O_Bild_AnzCol->text().toInt(), expected.O.count);
    EXPECT_FALSE(tf3->takeOverPending());
}

TEST_F(PhotoFitTest, CancelAndRefusalsChangeNothing) {
    loadSample(4);
    tf3->FormShow();
    const std::string photo = putPhoto("photo.png", photoLike(300, 200));
    test::writeFile(dir.file("notes.jpg"), Bytes(64, 'x'));
    const Sets before(ed());

    // "Abbrechen" after changing everything; a cancelled open dialog.
    inPhoto = [&](PhotoFitDialog& d) {
        apply(d, {.logo = true, .mode = CropMode::Fit, .background = Rgb{1, 2, 3}, .colours = 2});
        d.cancelButton->click();
    };
    platform.answerOpen(photo);
    tf3->S_Foto_anpassen->click();
    tf3->S_Foto_anpassen->click();  // no answer: cancelled
    EXPECT_TRUE(Sets(ed()) == before);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.beeps, 0);

    // A file the loader refuses: beep, German message, and the photo window never opens.
    bool opened = false;
    inPhoto = [&](PhotoFitDialog&) { opened = true; };
    platform.answerOpen(dir.file("notes.jpg"));
    tf3->S_Foto_anpassen->click();
    EXPECT_FALSE(opened);
    EXPECT_EQ(platform.beeps, 1);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].find("Das Dateiformat ist unbekannt"), std::string::npos) << platform.messages[0];
    EXPECT_TRUE(Sets(ed()) == before);

    // "BILD-DATEI LADEN" keeps its own road: a photo is no BMP there.
    platform.messages.clear();
    platform.answerOpen(photo);
    tf3->S_oeffne_Grafik_file->click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].find("keine BMP-Grafik"), std::string::npos) << platform.messages[0];
    EXPECT_TRUE(Sets(ed()) == before);
}

// The window follows the frame and the settings: the preview and "Ähnlichkeit" are the
// session's, the fit runs beside the window, and no fit outlives it.
TEST_F(PhotoFitTest, PreviewFollowsTheFrameAndSettings) {
    loadSample(7);  // no DSP logo
    tf3->FormShow();
    Result<Photo> loaded = loadPhotoFile(putPhoto("photo.png", photoLike(800, 600)));
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    PhotoFitSession session(std::move(loaded).value(), ed());
    {
        PhotoFitDialog d(session);
        EXPECT_FALSE(d.dspLogoButton->isVisibleTo(&d));
        EXPECT_EQ(d.coloursSpin->maximum(), ed().availableCount);
        EXPECT_EQ(d.coloursSpin->value(), ed().availableCount);
        EXPECT_EQ(d.coloursSpin->minimum(), 1);

        // Three wheel notches zoom in by 1.25 each.
        QWheelEvent wheel(QPointF(100, 100), d.cropView->mapToGlobal(QPointF(100, 100)), {}, QPoint(0, 360), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(d.cropView, &wheel);
        EXPECT_EQ(d.zoomSlider->value(), 195);
        d.stretchButton->click();
        session.setZoom(1.95);
        session.setMode(CropMode::Stretch);
        EXPECT_EQ(d.session().frame(), session.frame());

        ASSERT_TRUE(QTest::qWaitFor([&] { return !d.fitPending(); }, 20000));
        const PhotoFitResult expected = session.fit();
        EXPECT_EQ(d.similarityLabel->text(),
                  QString::fromUtf8("Ähnlichkeit: %1 %").arg(std::lround(expected.similarity * 100)));
        // The preview is the fitted picture, enlarged one and a half times. Even coordinates:
        // their enlarged pixel lies wholly inside the unit pixel's block, not on its edge.
        const QImage canvas = d.resultView->canvas();
        const RgbImage fitted = expected.fit.picture();
        for (const QPoint p : {QPoint(0, 0), QPoint(160, 116), QPoint(318, 232)}) {
            const Rgb c = fitted.at(p.x(), p.y());
            EXPECT_EQ(canvas.pixelColor(p.x() * 3 / 2, p.y() * 3 / 2), QColor(c.r, c.g, c.b));
        }

        // A change and at once closing: the fit is over when the window is.
        d.zoomSlider->setValue(300);
        QApplication::processEvents();
        EXPECT_TRUE(d.fitPending());
        d.reject();
        EXPECT_FALSE(d.fitRunning());
    }
}
