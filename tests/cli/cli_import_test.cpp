// zarvelo-cli import-image: the start image editor driven from a script.
#include "graphics/photo_fit_session.hpp"
#include "graphics/picture_quality.hpp"
#include "photo/photo_file.hpp"
#include "workspace/start_image_handover.hpp"
#include "cli_runner.hpp"
#include "synthetic_firmware.hpp"
#include "test_pictures.hpp"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zarvelo;

namespace {

QString putBmp(const QTemporaryDir& dir, const QString& name, const RgbImage& picture) {
    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    for (int y = 0; y < picture.height; ++y)
        std::copy_n(picture.rgb.data() + picture.offset(0, y), static_cast<std::size_t>(picture.width) * 3, image.scanLine(y));
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path, "BMP"));
    return path;
}

Bytes readBytes(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray a = f.readAll();
    return Bytes(a.begin(), a.end());
}

RgbImage logoOf(int colours) {
    RgbImage logo(79, 20);
    for (int p = 0; p < 1580; ++p)
        logo.set(p % 79, p / 79, {static_cast<std::uint8_t>(p % colours * 5), static_cast<std::uint8_t>(200 - p % colours), 40});
    return logo;
}

}  // namespace

TEST(CliImportImage, WritesWhatTheEditorWrites) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 2});
    // 118 colours in bands, two runs per row: fits the sample's space, only the entries limit it.
    RgbImage photo(320, 234);
    for (int y = 0; y < 234; ++y)
        for (int x = 0; x < 320; ++x)
            photo.set(x, y, {static_cast<std::uint8_t>(y / 4 * 4), static_cast<std::uint8_t>(x < 100 ? 20 : 90), 150});
    const RgbImage logo = logoOf(40);
    const QString out = dir.filePath("out.DNL");
    const test::CliRun r = test::runCli({"import-image", test::writeTemp(dir, "in.DNL", sample.dnl), out, "--image", putBmp(dir, "p.bmp", photo),
                       "--colours", "30", "--logo", putBmp(dir, "l.bmp", logo), "--logo-colours", "8"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Anzahl Farben DSP-Logo:             8"));

    // The same steps in the editor session, by hand.
    Workspace ws;
    ASSERT_TRUE(ws.loadBytes(sample.dnl, "in.DNL").ok());
    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(editorInputs(ws));
    ASSERT_EQ(ed.importPicture(photo).kind, ImportKind::StartImage);
    ASSERT_EQ(ed.importPicture(logo).kind, ImportKind::DspLogo);
    ed.TB_StartbildChange(30);
    ed.reduceLogoTo(8);
    ASSERT_EQ(ed.AKT.count, 30);
    ASSERT_TRUE(BB_schreibe_NEU_in_BINClick(ws, ed).ok());
    ws.rebuildDnl(ColourMode::Normal);
    EXPECT_EQ(readBytes(out), ws.dnl);

    Workspace written;
    ASSERT_TRUE(written.loadFile(out.toStdString()).ok());
    EXPECT_EQ(written.startImageColourCount, 30);
    EXPECT_EQ(written.imageDataSize, sample.imageDataSize);
}

TEST(CliImportImage, WithoutPicturesWritesTheTakenOverImage) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 6});
    const QString out = dir.filePath("out.DNL");
    const test::CliRun r = test::runCli({"import-image", test::writeTemp(dir, "in.DNL", sample.dnl), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    Workspace before, after;
    ASSERT_TRUE(before.loadBytes(sample.dnl, "in.DNL").ok());
    ASSERT_TRUE(after.loadFile(out.toStdString()).ok());
    EXPECT_EQ(after.startImagePreview(true), before.startImagePreview(true));
}

TEST(CliImportImage, Refusals) {
    QTemporaryDir dir;
    const QString withDsp = test::writeTemp(dir, "v2.DNL", synth::makeSample({.version = 2}).dnl);
    const QString withoutDsp = test::writeTemp(dir, "v1.DNL", synth::makeSample({.version = 1}).dnl);
    const QString noHeader = test::writeTemp(dir, "nh.DNL", synth::makeSample({.version = 2, .imageHeader = false}).dnl);
    RgbImage tooMany(320, 235);
    for (int i = 0; i < 257; ++i) tooMany.set(i % 320, i / 320, {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8), 3});
    const QString tooManyPath = putBmp(dir, "many.bmp", tooMany);
    const QString wrongSize = putBmp(dir, "size.bmp", RgbImage(79, 21, Rgb{1, 2, 3}));
    const QString logo = putBmp(dir, "logo.bmp", logoOf(5));
    const QString notAPicture = test::writeTemp(dir, "x.bmp", Bytes(100, 0x42));
    // A start picture whose last rows are missing from the file.
    QByteArray cut = test::readAll(putBmp(dir, "full.bmp", RgbImage(320, 234, Rgb{9, 8, 7})));
    cut.chop(320 * 3 * 10);
    const QString truncated = test::writeTemp(dir, "cut.bmp", Bytes(cut.begin(), cut.end()));
    const QString out = dir.filePath("out.DNL");
    struct Case {
        QStringList args;
        int exitCode;
        QString message;
    };
    const QString sizeMessage = QString::fromUtf8(
        "Das Bild hat nicht die erforderliche Größe.\n\r\r        Startbild: 320 x 234 Pixel\n\r        DSP-Logo:  79 x  20 Pixel");
    const Case cases[] = {
        {{withDsp, out, "--image", tooManyPath}, 1,
         QString::fromUtf8("Das Bild hat mehr als 256 Farben und wird von dieser Anwendung nicht unterstützt.")},
        {{withDsp, out, "--image", wrongSize}, 1, sizeMessage},
        {{withoutDsp, out, "--logo", logo}, 1, QString::fromUtf8("Diese Navi-Version unterstützt kein DSP-Logo.")},
        {{withoutDsp, out, "--logo-colours", "3"}, 1, QString::fromUtf8("Diese Navi-Version unterstützt kein DSP-Logo.")},
        {{withDsp, out, "--image", notAPicture}, 1, "kann nicht gelesen werden"},
        {{withDsp, out, "--image", truncated}, 1, QString::fromUtf8("kürzer, als der Kopf der BMP-Grafik angibt")},
        {{noHeader, out}, 1, "kein Startbild gefunden"},
        {{withDsp, out, "--colours", "0"}, 2, "--colours"},
        {{withDsp, out, "--colours", "viele"}, 2, "--colours"},
        {{withDsp, out, "--logo-colours", "257"}, 2, "--logo-colours"},
        {{withDsp}, 2, "import-image"},
    };
    for (const Case& c : cases) {
        const test::CliRun r = test::runCli(QStringList{"import-image"} + c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(r.err).contains(c.message)) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << c.args.join(' ').toStdString();
    }
}

namespace {

// A photo-like picture larger than the unit's: a sky gradient over a darker ground, with grain.
QString putPhoto(const QTemporaryDir& dir, const QString& name, int w, int h, const char* format = nullptr) {
    QImage image(w, h, QImage::Format_RGB888);
    unsigned noise = 7;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int grain = static_cast<int>(noise >> 16) % 21 - 10;
            const bool sky = y < h / 2 + x / 10;
            image.setPixelColor(x, y, sky ? QColor(std::clamp(90 + y / 4 + grain, 0, 255), 150, 230)
                                          : QColor(160, std::clamp(110 + grain, 0, 255), std::clamp(40 + x / 8, 0, 255)));
        }
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path, format));
    return path;
}

}  // namespace

// --fit takes photos of any size and format; the file is what the photo session and the
// editor write for the same settings, and loading it shows the fitted picture.
TEST(CliImportImage, FitWritesWhatThePhotoSessionWrites) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 2});
    const QString photo = putPhoto(dir, "photo.png", 900, 500);
    const QString logo = putPhoto(dir, "logo.jpg", 300, 120, "JPG");
    const QString out = dir.filePath("out.DNL");
    const test::CliRun r =
        test::runCli({"import-image", test::writeTemp(dir, "in.DNL", sample.dnl), out, "--fit", "--image", photo, "--crop", "fit",
                      "--background", "#10a0C0", "--colours", "7", "--logo", logo, "--logo-colours", "5"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    Workspace ws;
    ASSERT_TRUE(ws.loadBytes(sample.dnl, "in.DNL").ok());
    StartImageEditor ed;
    ed.Zeige_vorhandene_Bilder_an(editorInputs(ws));
    Result<Photo> photoLoaded = loadPhotoFile(photo.toStdString());
    ASSERT_TRUE(photoLoaded.ok()) << photoLoaded.message();
    PhotoFitSession picture(std::move(photoLoaded).value(), ed);
    picture.setMode(CropMode::Fit);
    picture.setBackground({0x10, 0xA0, 0xC0});
    picture.setColours(7);
    const PhotoFitResult fitted = picture.fit();
    ASSERT_TRUE(fitted.fit.ok()) << fitted.fit.error;
    EXPECT_LE(fitted.fit.palette.size(), 7u);
    EXPECT_EQ(fitted.scaled.at(0, 0), (Rgb{0x10, 0xA0, 0xC0}));  // the border of "einpassen"
    ASSERT_EQ(ed.importPicture(fitted.fit.picture()).kind, ImportKind::StartImage);
    Result<Photo> logoLoaded = loadPhotoFile(logo.toStdString());
    ASSERT_TRUE(logoLoaded.ok()) << logoLoaded.message();
    PhotoFitSession logoSession(std::move(logoLoaded).value(), ed);
    logoSession.setTarget(PhotoTarget::DspLogo);
    logoSession.setMode(CropMode::Fit);  // --crop and --background hold for both photos
    logoSession.setBackground({0x10, 0xA0, 0xC0});
    logoSession.setColours(5);
    const PhotoFitResult logoFit = logoSession.fit();
    ASSERT_TRUE(logoFit.fit.ok()) << logoFit.fit.error;
    ASSERT_EQ(ed.importPicture(logoFit.fit.picture()).kind, ImportKind::DspLogo);
    const RgbImage written = editorPicture(ed, PhotoTarget::StartImage);
    ASSERT_TRUE(BB_schreibe_NEU_in_BINClick(ws, ed).ok());
    ws.rebuildDnl(ColourMode::Normal);
    EXPECT_EQ(readBytes(out), ws.dnl);
    Workspace loaded;
    ASSERT_TRUE(loaded.loadFile(out.toStdString()).ok());
    EXPECT_EQ(loaded.startImagePreview(true), written);
    EXPECT_LE(loaded.startImageColourCount, 7);
    const QString expectedQuality = QString::fromUtf8("Startbild angepasst: Ähnlichkeit (SSIM) ") +
                                    QString::number(ssim(written, fitted.scaled), 'f', 4);
    EXPECT_TRUE(QString::fromUtf8(r.out).contains(expectedQuality)) << r.out.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.out).contains(QString::fromUtf8("DSP-Logo angepasst: Ähnlichkeit (SSIM) ")));
}

TEST(CliImportImage, FitRefusals) {
    QTemporaryDir dir;
    const QString withDsp = test::writeTemp(dir, "v2.DNL", synth::makeSample({.version = 2}).dnl);
    const QString withoutDsp = test::writeTemp(dir, "v1.DNL", synth::makeSample({.version = 1}).dnl);
    const QString photo = putPhoto(dir, "p.png", 40, 30);
    const QString text = test::writeTemp(dir, "notes.jpg", Bytes(100, 'x'));
    const QString out = dir.filePath("out.DNL");
    struct Case {
        QStringList args;
        int exitCode;
        QString message;
    };
    const Case cases[] = {
        {{withDsp, out, "--fit", "--image", photo, "--crop", "zoom"}, 2, "--crop kennt fill, fit und stretch."},
        {{withDsp, out, "--fit", "--image", photo, "--background", "blau"}, 2, "--background erwartet"},
        {{withDsp, out, "--fit", "--image", photo, "--background", "12345"}, 2, "--background erwartet"},
        {{withDsp, out, "--fit", "--image", photo, "--colours", "0"}, 2, "--colours"},
        {{withDsp, out, "--image", photo, "--crop", "fill"}, 2, "nur zusammen mit --fit"},
        {{withDsp, out, "--background", "000000"}, 2, "nur zusammen mit --fit"},
        {{withDsp, out, "--fit"}, 2, "--fit braucht ein Foto"},
        {{withoutDsp, out, "--fit", "--logo", photo}, 1, QString::fromUtf8("Diese Navi-Version unterstützt kein DSP-Logo.")},
        {{withDsp, out, "--fit", "--image", dir.filePath("none.jpg")}, 1, "Die Datei gibt es nicht."},
        {{withDsp, out, "--fit", "--image", text}, 1, "Das Dateiformat ist unbekannt"},
        // Without --fit the photo road is not taken: the size rule of the BMP road holds.
        {{withDsp, out, "--image", photo}, 1, "Die Grafik-Datei"},
    };
    for (const Case& c : cases) {
        const test::CliRun r = test::runCli(QStringList{"import-image"} + c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(r.err).contains(c.message)) << c.args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << c.args.join(' ').toStdString();
    }
}
