// The BMP picture loader of the start image editor: every pixel format it reads, exact
// 16-bit colours, and the files it refuses.

#include "workspace/picture_file.hpp"
#include "bmp_files.hpp"
#include "test_files.hpp"

#include <gtest/gtest.h>

#include <functional>

using namespace zarvelo;
using test::BmpLayout;
using test::bmpFile;
using test::putLE;

namespace {

// Stored rows (bottom row first unless top-down), each padded to four bytes.
Bytes storedRows(const std::vector<Bytes>& rowsTopDown, bool topDown = false) {
    Bytes out;
    for (std::size_t i = 0; i < rowsTopDown.size(); ++i) {
        Bytes row = rowsTopDown[topDown ? i : rowsTopDown.size() - 1 - i];
        row.resize((row.size() + 3) / 4 * 4, 0);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

const Rgb kRed{255, 0, 0}, kWhite{255, 255, 255}, kBlack{0, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};

Bytes table4(std::initializer_list<Rgb> colours, std::size_t entrySize = 4) {
    Bytes t;
    for (const Rgb& c : colours) {
        t.insert(t.end(), {c.b, c.g, c.r});
        if (entrySize == 4) t.push_back(0);
    }
    return t;
}

RgbImage imageOf(int w, int h, const std::vector<Rgb>& topDown) {
    RgbImage img(w, h);
    for (int i = 0; i < w * h; ++i) img.set(i % w, i / w, topDown[static_cast<std::size_t>(i)]);
    return img;
}

}  // namespace

TEST(PictureFile, DecodesEveryPixelFormat) {
    const Rgb r = kRed, w = kWhite, k = kBlack, g = kGreen, b = kBlue;
    // The same 4 x 2 picture in each format: top row red, white, black, green; bottom row blue, red, white, black.
    const RgbImage expected = imageOf(4, 2, {r, w, k, g, b, r, w, k});
    const Bytes palette = table4({k, w, r, g, b});  // 0 black, 1 white, 2 red, 3 green, 4 blue
    struct Case {
        const char* name;
        BmpLayout layout;
        Bytes pixels;
    };
    auto px16 = [](std::initializer_list<std::uint32_t> v) {
        Bytes out;
        for (auto p : v) putLE(out, p, 2);
        return out;
    };
    auto px32 = [](std::initializer_list<std::uint32_t> v) {
        Bytes out;
        for (auto p : v) putLE(out, p, 4);
        return out;
    };
    const Case cases[] = {
        {"8 bit", {.width = 4, .height = 2, .bits = 8, .table = palette}, storedRows({{2, 1, 0, 3}, {4, 2, 1, 0}})},
        {"8 bit top-down", {.width = 4, .height = -2, .bits = 8, .table = palette},
         storedRows({{2, 1, 0, 3}, {4, 2, 1, 0}}, true)},
        {"4 bit", {.width = 4, .height = 2, .bits = 4, .table = palette}, storedRows({{0x21, 0x03}, {0x42, 0x10}})},
        {"RLE8", {.width = 4, .height = 2, .bits = 8, .compression = 1, .table = palette},
         {1, 4, 1, 2, 1, 1, 1, 0, 0, 0, /* absolute run */ 0, 4, 2, 1, 0, 3, 0, 1}},
        {"RLE4", {.width = 4, .height = 2, .bits = 4, .compression = 2, .table = palette},
         {2, 0x42, 2, 0x10, 0, 0, /* absolute run */ 0, 4, 0x21, 0x03, 0, 1}},
        {"16 bit 555", {.width = 4, .height = 2, .bits = 16},
         storedRows({px16({0x7C00, 0x7FFF, 0, 0x03E0}), px16({0x001F, 0x7C00, 0x7FFF, 0})})},
        {"16 bit 565", {.width = 4, .height = 2, .bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}},
         storedRows({px16({0xF800, 0xFFFF, 0, 0x07E0}), px16({0x001F, 0xF800, 0xFFFF, 0})})},
        {"16 bit 444 in a V5 header",
         {.width = 4, .height = 2, .bits = 16, .compression = 3, .masks = {0x0F00, 0x00F0, 0x000F}, .headerSize = 124},
         storedRows({px16({0x0F00, 0x0FFF, 0, 0x00F0}), px16({0x000F, 0x0F00, 0x0FFF, 0})})},
        {"24 bit", {.width = 4, .height = 2, .bits = 24},
         storedRows({{0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255, 0}, {255, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0}})},
        {"32 bit", {.width = 4, .height = 2, .bits = 32},
         storedRows({px32({0xFF0000, 0xFFFFFF, 0, 0x00FF00}), px32({0x0000FF, 0xFF0000, 0xFFFFFF, 0})})},
        {"32 bit fields", {.width = 4, .height = 2, .bits = 32, .compression = 3, .masks = {0xFF, 0xFF00, 0xFF0000}},
         storedRows({px32({0xFF, 0xFFFFFF, 0, 0x00FF00}), px32({0xFF0000, 0xFF, 0xFFFFFF, 0})})},
        {"OS/2 core 8 bit", {.width = 4, .height = 2, .bits = 8, .table = table4({k, w, r, g, b}, 3), .os2 = true},
         storedRows({{2, 1, 0, 3}, {4, 2, 1, 0}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<RgbImage> loaded = decodeBmp(bmpFile(c.layout, c.pixels));
        ASSERT_TRUE(loaded.ok()) << loaded.message();
        EXPECT_EQ(loaded.value(), expected);
    }
}

TEST(PictureFile, SixteenBitColoursAreWidenedByBitReplication) {
    // 565: red 10000 -> 132, green 100000 -> 130, blue 00001 -> 8; 555: 01111 -> 123.
    const Bytes f565 = bmpFile({.width = 3, .height = 1, .bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}},
                               {0x00, 0xF8, 0x00, 0x84, 0x01, 0x00, 0, 0});
    Result<RgbImage> p = decodeBmp(f565);
    ASSERT_TRUE(p.ok()) << p.message();
    EXPECT_EQ(p.value().at(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(p.value().at(1, 0), (Rgb{132, 130, 0}));
    EXPECT_EQ(p.value().at(2, 0), (Rgb{0, 0, 8}));
    p = decodeBmp(bmpFile({.width = 1, .height = 1, .bits = 16}, {0xEF, 0x3D, 0, 0}));  // 0 01111 01111 01111
    ASSERT_TRUE(p.ok()) << p.message();
    EXPECT_EQ(p.value().at(0, 0), (Rgb{123, 123, 123}));
}

TEST(PictureFile, RefusesDamagedAndUnsupportedFiles) {
    const Bytes eightBit = bmpFile({.width = 4, .height = 2, .bits = 8, .table = table4({kBlack, kWhite})},
                                   storedRows({{0, 1, 0, 1}, {1, 0, 1, 0}}));
    const Bytes rle = bmpFile({.width = 4, .height = 2, .bits = 8, .compression = 1, .table = table4({kBlack, kWhite})},
                              {4, 1, 0, 0, 4, 0, 0, 1});
    Bytes truncatedRle = rle;
    truncatedRle.resize(truncatedRle.size() - 4);  // the second row and the end marker are missing
    Bytes badOffset = eightBit;
    badOffset[10] = 0xFF;
    badOffset[11] = 0xFF;
    struct Case {
        const char* name;
        Bytes bytes;
        const char* message;
    };
    const Case cases[] = {
        {"empty", {}, "keine BMP-Grafik"},
        {"PNG", {0x89, 'P', 'N', 'G', 13, 10, 26, 10}, "keine BMP-Grafik"},
        {"header cut off", Bytes(eightBit.begin(), eightBit.begin() + 30), "Kopf der BMP-Grafik ist beschädigt"},
        {"last row one byte short", Bytes(eightBit.begin(), eightBit.end() - 1), "kürzer"},
        {"run-length code breaks off", truncatedRle, "kürzer"},
        {"pixel data behind the end", badOffset, "kürzer"},
        {"colour table cut off", bmpFile({.width = 1, .height = 1, .bits = 8, .table = table4({kBlack})}, {}), "kürzer"},
        {"2 bits per pixel", bmpFile({.width = 1, .height = 1, .bits = 2}, {0, 0, 0, 0}), "nicht unterstützt"},
        {"JPEG inside", bmpFile({.width = 1, .height = 1, .bits = 24, .compression = 4}, {0, 0, 0, 0}), "nicht unterstützt"},
        {"holes in a mask", bmpFile({.width = 1, .height = 1, .bits = 16, .compression = 3, .masks = {0xF00F, 0x0F0, 0}},
                                    {0, 0, 0, 0}), "nicht unterstützt"},
        {"width 0", bmpFile({.width = 0, .height = 1, .bits = 24}, {}), "beschädigt"},
        {"huge", bmpFile({.width = 60000, .height = 60000, .bits = 8, .compression = 1, .table = table4({kBlack})}, {0, 1}),
         "zu groß"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<RgbImage> loaded = decodeBmp(c.bytes);
        EXPECT_FALSE(loaded.ok());
        EXPECT_NE(loaded.message().find(c.message), std::string::npos) << loaded.message();
    }
    // The complete files themselves are fine.
    EXPECT_TRUE(decodeBmp(eightBit).ok());
    EXPECT_TRUE(decodeBmp(rle).ok());
}

TEST(PictureFile, LoadsFilesAndWritesTwentyFourBitPictures) {
    test::TempDir dir;
    RgbImage picture(5, 3);
    for (int i = 0; i < 15; ++i) picture.set(i % 5, i / 5, {static_cast<std::uint8_t>(i * 17), 3, static_cast<std::uint8_t>(255 - i)});
    const Bytes file = encodeBmp24(picture);
    EXPECT_EQ(file.size(), 54u + 3 * 16);  // rows of 15 bytes padded to 16
    EXPECT_EQ(file[28], 24);
    test::writeFile(dir.file("p.bmp"), file);
    const Result<RgbImage> loaded = loadPictureFile(dir.file("p.bmp"));
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    EXPECT_EQ(loaded.value(), picture);

    const Result<RgbImage> missing = loadPictureFile(dir.file("nicht-da.bmp"));
    EXPECT_EQ(missing.message().rfind("Die Grafik-Datei " + dir.file("nicht-da.bmp") + " kann nicht gelesen werden: ", 0), 0u)
        << missing.message();
    test::writeFile(dir.file("text.bmp"), Bytes{'h', 'a', 'l', 'l', 'o'});
    EXPECT_NE(loadPictureFile(dir.file("text.bmp")).message().find("keine BMP-Grafik"), std::string::npos);
}
