// The photo loader: every format the readers know, EXIF orientation, transparency, and the
// refusals of empty, damaged, unknown and absurdly large files, all in German.
#include "photo/photo_file.hpp"
#include "bmp_files.hpp"
#include "test_files.hpp"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

using namespace zarvelo;
using test::TempDir;

namespace {

const std::filesystem::path kConvert = "/usr/bin/convert";

Bytes encoded(const QImage& image, const char* format, int quality = -1) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0) writer.setQuality(quality);
    EXPECT_TRUE(writer.write(image)) << format << ": " << writer.errorString().toStdString();
    return Bytes(data.begin(), data.end());
}

// Left half red, right half blue: easy to find again after a turn and lossy coding.
QImage halves(int w, int h) {
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixelColor(x, y, x < w / 2 ? QColor(220, 20, 20) : QColor(20, 20, 220));
    return image;
}

bool reddish(Rgb c) { return c.r > 150 && c.b < 100; }
bool bluish(Rgb c) { return c.b > 150 && c.r < 100; }

std::uint32_t crc32(const std::uint8_t* data, std::size_t n) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBE(Bytes& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

void chunk(Bytes& png, const char* type, const Bytes& data) {
    putBE(png, static_cast<std::uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    putBE(png, crc32(body.data(), body.size()));
}

// A PNG whose header claims the size but whose pixel data is a few bytes only.
Bytes pngClaiming(std::uint32_t w, std::uint32_t h) {
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    putBE(ihdr, w);
    putBE(ihdr, h);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB
    chunk(png, "IHDR", ihdr);
    chunk(png, "IDAT", {0x78, 0x9C, 0x63, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01});
    chunk(png, "IEND", {});
    return png;
}

// The JPEG with an EXIF block right after its start marker that gives `orientation`.
Bytes withExifOrientation(const Bytes& jpeg, std::uint16_t orientation) {
    Bytes tiff = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1,                       // big-endian, IFD at 8, one entry
                  0x01, 0x12, 0, 3, 0, 0, 0, 1,                            // Orientation, SHORT, 1 value
                  static_cast<std::uint8_t>(orientation >> 8), static_cast<std::uint8_t>(orientation), 0, 0,
                  0, 0, 0, 0};                                             // no next IFD
    Bytes app1 = {'E', 'x', 'i', 'f', 0, 0};
    app1.insert(app1.end(), tiff.begin(), tiff.end());
    Bytes out(jpeg.begin(), jpeg.begin() + 2);  // SOI
    const std::size_t length = app1.size() + 2;
    out.insert(out.end(), {0xFF, 0xE1, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
    out.insert(out.end(), app1.begin(), app1.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

class PhotoFileTest : public ::testing::Test {
protected:
    std::string put(const std::string& name, const Bytes& bytes) {
        const std::string path = dir.file(name);
        test::writeFile(path, bytes);
        return path;
    }
    TempDir dir;
};

}  // namespace

TEST_F(PhotoFileTest, ReadsEveryFormatOfTheReaders) {
    const QImage picture = halves(64, 32);
    struct Case {
        const char* format;
        bool lossy;
    };
    for (const Case c : {Case{"png", false}, Case{"jpg", true}, Case{"webp", true}, Case{"tiff", false}, Case{"bmp", false}}) {
        SCOPED_TRACE(c.format);
        ASSERT_TRUE(QImageWriter::supportedImageFormats().contains(c.format)) << "qt6-image-formats-plugins missing?";
        const Result<Photo> loaded = loadPhotoFile(put(std::string("photo.") + c.format, encoded(picture, c.format, 95)));
        ASSERT_TRUE(loaded.ok()) << loaded.message();
        ASSERT_EQ(loaded->picture.width, 64);
        ASSERT_EQ(loaded->picture.height, 32);
        EXPECT_FALSE(loaded->hasAlpha());
        if (c.lossy) {
            EXPECT_TRUE(reddish(loaded->picture.at(5, 5)));
            EXPECT_TRUE(bluish(loaded->picture.at(60, 30)));
        } else {
            EXPECT_EQ(loaded->picture.at(5, 5), (Rgb{220, 20, 20}));
            EXPECT_EQ(loaded->picture.at(60, 30), (Rgb{20, 20, 220}));
        }
    }
    // 16-bit BMPs come through the program's own decoder with exact colours (0xF800 is 255, 0, 0).
    const Result<Photo> bmp16 = loadPhotoFile(put("565.bmp", test::bmpFile({.width = 1, .height = 1, .bits = 16, .compression = 3,
                                                                         .masks = {0xF800, 0x07E0, 0x001F}},
                                                                        {0x00, 0xF8, 0, 0})));
    ASSERT_TRUE(bmp16.ok()) << bmp16.message();
    EXPECT_EQ(bmp16->picture.at(0, 0), (Rgb{255, 0, 0}));
}

TEST_F(PhotoFileTest, AnimatedGifGivesItsFirstFrame) {
    if (!std::filesystem::exists(kConvert)) GTEST_SKIP() << "ImageMagick is not installed";
    const std::string path = dir.file("anim.gif");
    const std::string command = kConvert.string() + " -size 16x8 xc:red xc:blue xc:lime -loop 0 " + path;
    ASSERT_EQ(std::system(command.c_str()), 0);
    const Result<Photo> loaded = loadPhotoFile(path);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    EXPECT_EQ(loaded->picture, RgbImage(16, 8, Rgb{255, 0, 0}));
}

TEST_F(PhotoFileTest, ExifOrientationTurnsThePicture) {
    const Bytes jpeg = encoded(halves(40, 20), "jpg", 95);
    struct Case {
        std::uint16_t orientation;
        int width, height;
        QPoint red, blue;  // where the halves end up
    };
    const Case cases[] = {
        {1, 40, 20, {5, 10}, {35, 10}},  // as stored
        {6, 20, 40, {10, 5}, {10, 35}},  // turned clockwise: the left half goes up
        {8, 20, 40, {10, 35}, {10, 5}},  // turned anticlockwise: the left half goes down
        {3, 40, 20, {35, 10}, {5, 10}},  // upside down
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation);
        const Result<Photo> loaded = loadPhotoFile(put("exif.jpg", withExifOrientation(jpeg, c.orientation)));
        ASSERT_TRUE(loaded.ok()) << loaded.message();
        ASSERT_EQ(loaded->picture.width, c.width);
        ASSERT_EQ(loaded->picture.height, c.height);
        EXPECT_TRUE(reddish(loaded->picture.at(c.red.x(), c.red.y())));
        EXPECT_TRUE(bluish(loaded->picture.at(c.blue.x(), c.blue.y())));
    }
}

TEST_F(PhotoFileTest, TransparencyIsKeptForTheBackground) {
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixelColor(0, 0, QColor(200, 100, 0, 0));
    image.setPixelColor(1, 0, QColor(200, 100, 0, 255));
    image.setPixelColor(2, 0, QColor(200, 100, 0, 102));
    const Result<Photo> loaded = loadPhotoFile(put("alpha.png", encoded(image, "png")));
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    ASSERT_TRUE(loaded->hasAlpha());
    EXPECT_EQ(loaded->alpha, (std::vector<std::uint8_t>{0, 255, 102}));
    const RgbImage overBlack = loaded->over({0, 0, 0});
    EXPECT_EQ(overBlack.at(0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(overBlack.at(1, 0), (Rgb{200, 100, 0}));
    EXPECT_EQ(overBlack.at(2, 0), (Rgb{80, 40, 0}));
    EXPECT_EQ(loaded->over({0, 0, 250}).at(2, 0), (Rgb{80, 40, 150}));

    // An alpha channel without a transparent pixel is no transparency.
    QImage opaque(2, 2, QImage::Format_ARGB32);
    opaque.fill(QColor(1, 2, 3, 255));
    const Result<Photo> solid = loadPhotoFile(put("solid.png", encoded(opaque, "png")));
    ASSERT_TRUE(solid.ok()) << solid.message();
    EXPECT_FALSE(solid->hasAlpha());
}

TEST_F(PhotoFileTest, RefusalsAreGermanAndNameTheFile) {
    const Bytes png = encoded(halves(64, 64), "png");
    Bytes damagedPng = png;
    for (std::size_t i = 60; i < damagedPng.size() - 20; i += 7) damagedPng[i] ^= 0x5A;  // pixel data and checksums
    const Bytes jpeg = encoded(halves(64, 64), "jpg", 90);
    Bytes damagedJpeg(jpeg.begin(), jpeg.begin() + 2);  // a start marker, then nothing a decoder knows
    damagedJpeg.insert(damagedJpeg.end(), 300, 0x17);
    struct Case {
        const char* name;
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {"missing", dir.file("nowhere.jpg"), "Die Datei gibt es nicht."},
        {"empty", put("empty.png", {}), "Die Datei ist leer."},
        {"unknown format", put("notes.jpg", Bytes(200, 'x')), "Das Dateiformat ist unbekannt"},
        {"damaged PNG", put("damaged.png", damagedPng), "Die Bilddaten sind beschädigt oder unvollständig."},
        {"cut PNG header", put("cut.png", Bytes(png.begin(), png.begin() + 20)), "Die Bilddaten sind beschädigt oder unvollständig."},
        {"damaged JPEG", put("damaged.jpg", damagedJpeg), "Die Bilddaten sind beschädigt oder unvollständig."},
        // The readers would fill a cut JPEG with grey and say nothing.
        {"cut JPEG", put("cut.jpg", Bytes(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() * 2 / 3))),
         "Die Bilddaten sind beschädigt oder unvollständig."},
        {"cut JPEG without its end marker", put("end.jpg", Bytes(jpeg.begin(), jpeg.end() - 2)), "beschädigt"},
        {"zero size", put("zero.png", pngClaiming(0, 10)), ""},
        {"absurd size", put("huge.png", pngClaiming(30000, 30000)), "Das Bild ist mit 30000 x 30000 Pixeln zu groß (höchstens 50 Megapixel)."},
        {"just too large", put("large.png", pngClaiming(10000, 5001)), "Das Bild ist mit 10000 x 5001 Pixeln zu groß"},
        {"damaged BMP", put("cut.bmp", Bytes{'B', 'M', 1, 2, 3}), "BMP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<Photo> loaded = loadPhotoFile(c.path);
        ASSERT_FALSE(loaded.ok());
        const std::string prefix = "Die Grafik-Datei " + c.path + " kann nicht gelesen werden: ";
        EXPECT_EQ(loaded.message().rfind(prefix, 0), 0u) << loaded.message();
        EXPECT_NE(loaded.message().find(c.reason, prefix.size()), std::string::npos) << loaded.message();
    }
    // Data after the end marker (some cameras append a video) is no damage.
    Bytes appended = jpeg;
    appended.insert(appended.end(), 500, 0x33);
    const Result<Photo> withTail = loadPhotoFile(put("tail.jpg", appended));
    EXPECT_TRUE(withTail.ok()) << withTail.message();
}
