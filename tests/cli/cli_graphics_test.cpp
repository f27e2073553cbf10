// zarvelo-cli on the pictures, palettes and grid patch.
#include "workspace/workspace.hpp"
#include "flash/firmware_versions.hpp"
#include "graphics/grid.hpp"
#include "cli_runner.hpp"
#include "synthetic_firmware.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zarvelo;

namespace {

QJsonObject info(const QString& path) {
    const test::CliRun r = test::runCli({"info", path, "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out).object();
}

// The picture of a BMP file as the core's RGB picture.
RgbImage readBmp(const QString& path) {
    const QImage image = QImage(path, "BMP").convertToFormat(QImage::Format_RGB888);
    RgbImage out(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            out.set(x, y, {static_cast<std::uint8_t>(qRed(c)), static_cast<std::uint8_t>(qGreen(c)), static_cast<std::uint8_t>(qBlue(c))});
        }
    return out;
}

}  // namespace

TEST(CliGraphics, InfoJsonDescribesPicturesPalettesAndGrid) {
    QTemporaryDir dir;
    struct Case {
        synth::Options options;
        QJsonValue grid, dspColours;
        const char* dayNight;
    };
    const Case cases[] = {
        {{.version = 2}, "active", 16, "differs"},
        {{.version = 3, .grid = synth::GridData::Inactive, .night = synth::NightPalette::SameAsDay}, "inactive", 16, "identical"},
        {{.version = 1, .grid = synth::GridData::Foreign, .night = synth::NightPalette::DiffersUnused}, "inactive", QJsonValue(), "none"},
        {{.version = 11}, QJsonValue(), QJsonValue(), "differs"},
    };
    for (const auto& c : cases) {
        const auto sample = synth::makeSample(c.options);
        Workspace ws;
        ASSERT_TRUE(ws.loadBytes(sample.dnl, "x").ok());
        const QJsonObject o = info(test::writeTemp(dir, "a.DNL", sample.dnl));
        const int v = c.options.version;
        EXPECT_EQ(o["start_image_offset"].toInteger(), static_cast<qint64>(sample.startImageHeader + 4)) << v;
        EXPECT_EQ(o["image_data_size"].toInteger(), static_cast<qint64>(sample.imageDataSize)) << v;
        EXPECT_EQ(o["start_image_colours"].toInt(), ws.startImageColourCount) << v;
        EXPECT_GT(o["start_image_colours"].toInt(), 1) << v;
        EXPECT_EQ(o["dsp_logo_colours"], c.dspColours) << v;
        EXPECT_TRUE(o.contains("dsp_logo_colours")) << v;
        EXPECT_EQ(o["grid"], c.grid) << v;
        EXPECT_TRUE(o.contains("grid")) << v;
        EXPECT_EQ(o["day_night"].toString(), c.dayNight) << v;
        EXPECT_EQ(o["available_entries"].toInt(), ws.availableCount) << v;
    }
    EXPECT_EQ(info(test::writeTemp(dir, "all.DNL", synth::makeSample({.version = 12, .allEntries = true}).dnl))["available_entries"].toInt(),
              256);
}

TEST(CliGraphics, SaveWritesTheGridFormFirst) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 5});
    const QString in = test::writeTemp(dir, "in.DNL", sample.dnl);
    const QString off = dir.filePath("off.DNL");
    ASSERT_EQ(test::runCli({"save", in, off, "--grid", "off", "--colour-mode", "day"}).exitCode, 0);
    EXPECT_EQ(info(off)["grid"].toString(), "inactive");
    EXPECT_EQ(info(off)["day_night"].toString(), "identical");

    // The same as the workspace does: grid, colour mode, rebuild.
    Workspace ws;
    ASSERT_TRUE(ws.loadBytes(sample.dnl, "x").ok());
    ws.BIN_Gitter(false);
    ws.rebuildDnl(ColourMode::AlwaysDay);
    QFile f(off);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(reinterpret_cast<const char*>(ws.dnl.data()), static_cast<qsizetype>(ws.dnl.size())));

    const QString on = dir.filePath("on.DNL");
    ASSERT_EQ(test::runCli({"save", off, on, "--grid", "on"}).exitCode, 0);
    EXPECT_EQ(info(on)["grid"].toString(), "active");

    EXPECT_EQ(test::runCli({"save", in, dir.filePath("x.DNL"), "--grid", "maybe"}).exitCode, 2);
    const test::CliRun noGrid = test::runCli({"save", test::writeTemp(dir, "audi.DNL", synth::makeSample({.version = 7}).dnl), dir.filePath("y.DNL"), "--grid", "on"});
    EXPECT_EQ(noGrid.exitCode, 1);
    EXPECT_FALSE(noGrid.err.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("y.DNL")));
}

TEST(CliGraphics, SaveCorrectsDayAndNightAsTheMainPageDoes) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 3, .night = synth::NightPalette::Darker});
    const QString in = test::writeTemp(dir, "in.DNL", sample.dnl);
    ASSERT_EQ(info(in)["day_night"].toString(), "differs");
    const QString out = dir.filePath("out.DNL");
    ASSERT_EQ(test::runCli({"save", in, out, "--fix-day-night"}).exitCode, 0);
    EXPECT_NE(info(out)["day_night"].toString(), "differs");

    Workspace ws;
    ASSERT_TRUE(ws.loadBytes(sample.dnl, "x").ok());
    ws.P_FixTagNachtClick(true);
    ws.rebuildDnl(ColourMode::Normal);
    EXPECT_EQ(test::readAll(out), QByteArray(reinterpret_cast<const char*>(ws.dnl.data()), static_cast<qsizetype>(ws.dnl.size())));
}

TEST(CliGraphics, ExportedPreviewsAreThePicturesInAllColours) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 3});
    Workspace ws;
    ASSERT_TRUE(ws.loadBytes(sample.dnl, "x").ok());
    const QString in = test::writeTemp(dir, "in.DNL", sample.dnl);
    for (bool night : {false, true}) {
        QStringList image = {"export-image", in, dir.filePath("bild.bmp")}, logo = {"export-logo", in, dir.filePath("logo.bmp")};
        if (night) {
            image << "--night";
            logo << "--night";
        }
        ASSERT_EQ(test::runCli(image).exitCode, 0);
        ASSERT_EQ(test::runCli(logo).exitCode, 0);
        const RgbImage picture = readBmp(dir.filePath("bild.bmp"));
        EXPECT_EQ(picture, ws.startImagePreview(!night)) << night;
        EXPECT_EQ(picture.at(0, 233), (night ? ws.nightPalette : ws.dayPalette)[sample.startImage[233 * 320]]);
        EXPECT_EQ(readBmp(dir.filePath("logo.bmp")), ws.dspLogoPreview(!night)) << night;
        EXPECT_EQ(QImage(dir.filePath("logo.bmp")).size(), QSize(79, 20));
    }
    QFile bmp(dir.filePath("bild.bmp"));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    const QByteArray header = bmp.read(30);
    EXPECT_EQ(header.left(2), "BM");
    EXPECT_EQ(static_cast<int>(header[28]), 24);  // bits per pixel
}

TEST(CliGraphics, ExportRefusals) {
    QTemporaryDir dir;
    const QString audi = test::writeTemp(dir, "audi.DNL", synth::makeSample({.version = 6}).dnl);
    const test::CliRun noLogo = test::runCli({"export-logo", audi, dir.filePath("logo.bmp")});
    EXPECT_EQ(noLogo.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(noLogo.err).trimmed(), "Diese Softwareversion hat kein DSP-Logo.");
    EXPECT_FALSE(QFile::exists(dir.filePath("logo.bmp")));

    // A file that cannot be written leaves what was there.
    QDir(dir.path()).mkdir("ordner");
    EXPECT_EQ(test::runCli({"export-image", audi, dir.filePath("ordner")}).exitCode, 1);
    EXPECT_TRUE(QFileInfo(dir.filePath("ordner")).isDir());
    EXPECT_EQ(test::runCli({"export-image", audi, dir.filePath("fehlt/bild.bmp")}).exitCode, 1);

    EXPECT_EQ(test::runCli({"export-image", audi}).exitCode, 2);
    EXPECT_EQ(test::runCli({"export-logo", audi, "a", "b"}).exitCode, 2);
}
