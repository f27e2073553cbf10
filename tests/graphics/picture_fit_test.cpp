#include "graphics/colour_set.hpp"
#include "graphics/encoder.hpp"
#include "graphics/picture_fit.hpp"
#include "graphics/picture_quality.hpp"
#include "graphics/start_image_editor.hpp"
#include "editor_result.hpp"
#include "synthetic_firmware.hpp"
#include "test_pictures.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>

using namespace zarvelo;

namespace {

constexpr int kW = kStartImageWidth, kH = kStartImageHeight;

// Flat artwork: a few areas of plain colour with straight and round edges.
RgbImage flatArtwork() {
    RgbImage img(kW, kH, {20, 40, 160});
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (y > 150) img.set(x, y, {30, 140, 50});
            if ((x - 220) * (x - 220) + (y - 70) * (y - 70) < 40 * 40) img.set(x, y, {250, 210, 40});
            if (x > 40 && x < 90 && y > 110 && y < 200) img.set(x, y, {200, 60, 40});
            if (x > 50 && x < 80 && y > 130 && y < 170) img.set(x, y, {250, 250, 250});
        }
    return img;
}

RgbImage gradient() {
    RgbImage img(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            img.set(x, y, {static_cast<std::uint8_t>(x * 255 / (kW - 1)), static_cast<std::uint8_t>(y * 255 / (kH - 1)),
                           static_cast<std::uint8_t>(255 - (x + y) * 255 / (kW + kH - 2))});
    return img;
}

RgbImage noise() {
    RgbImage img(kW, kH);
    std::mt19937 rng(5);
    for (auto& b : img.rgb) b = static_cast<std::uint8_t>(rng());
    return img;
}

struct PictureKind {
    const char* name;
    std::function<RgbImage()> make;
};

const std::vector<PictureKind>& pictureKinds() {
    static const std::vector<PictureKind> kinds = {
        {"flat", [] { return RgbImage(kW, kH, {90, 120, 200}); }},
        {"artwork", flatArtwork},
        {"gradient", gradient},
        {"noise", noise},
        {"photo", [] { return synth::photoLikePicture(); }},
    };
    return kinds;
}

const std::vector<std::size_t>& sampleImageDataSizes() {
    static const std::vector<std::size_t> sizes = [] {
        std::vector<std::size_t> s;
        for (int v = 1; v <= 13; ++v) s.push_back(synth::makeSample({.version = v}).imageDataSize);
        return s;
    }();
    return sizes;
}

constexpr int kEntryCounts[] = {1, 2, 6, 29, 56, 128};

std::string where(const char* picture, std::size_t size, int entries) {
    return std::string(picture) + ", " + std::to_string(size) + " bytes, " + std::to_string(entries) + " entries";
}

// Everything a fitted start image promises, checked on its own.
void expectFits(const Result<PictureFit>& fitted, std::size_t size, int entries) {
    ASSERT_TRUE(fitted.ok()) << fitted.message();
    const PictureFit& fit = fitted.value();
    ASSERT_EQ(fit.width, kW);
    ASSERT_EQ(fit.height, kH);
    ASSERT_EQ(fit.index.size(), static_cast<std::size_t>(kW) * kH);
    ASSERT_GE(fit.palette.size(), 1u);
    EXPECT_LE(fit.palette.size(), static_cast<std::size_t>(entries));
    for (std::size_t a = 0; a < fit.palette.size(); ++a)
        for (std::size_t b = a + 1; b < fit.palette.size(); ++b) EXPECT_FALSE(fit.palette[a] == fit.palette[b]) << a << ", " << b;
    EXPECT_TRUE(std::all_of(fit.index.begin(), fit.index.end(), [&](std::uint8_t e) { return e < fit.palette.size(); }));
    EXPECT_LE(encodedSize(fit.index, kW, kH), size);
}

// The fitted picture through the editor as a loaded BMP: nothing merged, every colour kept,
// the encoder writes exactly the space and the decoded start image is the fitted picture.
void expectEditorTakesItAsIs(const PictureFit& fit, std::size_t size, int entries) {
    EditorInputs in;
    in.availableCount = entries;
    for (int i = 0; i < entries; ++i) in.availableEntries[static_cast<std::size_t>(255 - i)] = true;
    in.imageDataSize = size;
    in.startPicture = RgbImage(kW, kH, {1, 2, 3});
    StartImageEditor editor;
    editor.Zeige_vorhandene_Bilder_an(in);
    const Result<ImportKind> imported = editor.importPicture(fit.picture());
    ASSERT_EQ(synth::importedAs(imported), ImportKind::StartImage) << imported.message();
    EXPECT_EQ(editor.O.count, static_cast<int>(fit.palette.size()));
    EXPECT_EQ(editor.maximumPossible, editor.O.count);
    EXPECT_EQ(editor.AKT.count, editor.O.count);
    const auto result = synth::editorResult(editor);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->code.size(), size);
    EXPECT_TRUE(result->shown == fit.picture());
}

}  // namespace

// Every kind of picture at every sample's image data size (entry counts taking turns), every
// entry count at one size, and the smallest and largest spaces.
TEST(PictureFit, AlwaysFitsAndTheEditorTakesItUnchanged) {
    const auto& sizes = sampleImageDataSizes();
    for (const PictureKind& kind : pictureKinds()) {
        const RgbImage picture = kind.make();
        std::vector<std::pair<std::size_t, int>> runs;
        for (std::size_t i = 0; i < sizes.size(); ++i) runs.emplace_back(sizes[i], kEntryCounts[i % std::size(kEntryCounts)]);
        for (int entries : kEntryCounts) runs.emplace_back(7714, entries);
        runs.emplace_back(kMinImageDataSize, 29);
        runs.emplace_back(kMaxImageDataSize, 256);
        runs.emplace_back(3456, 256);
        for (const auto& [size, entries] : runs) {
            SCOPED_TRACE(where(kind.name, size, entries));
            const Result<PictureFit> fit = fitStartImage(picture, size, entries);
            expectFits(fit, size, entries);
            if (testing::Test::HasFatalFailure()) return;
            expectEditorTakesItAsIs(fit.value(), size, entries);
        }
    }
}

TEST(PictureFit, SameInputGivesTheSameBytes) {
    for (const PictureKind& kind : pictureKinds()) {
        SCOPED_TRACE(kind.name);
        const Result<PictureFit> first = fitStartImage(kind.make(), 10286, 48);
        const Result<PictureFit> again = fitStartImage(kind.make(), 10286, 48);
        ASSERT_TRUE(first.ok() && again.ok());
        EXPECT_EQ(first->index, again->index);
        EXPECT_TRUE(first->palette == again->palette);
    }
    auto logo = [] {
        std::mt19937 rng(3);
        return synth::randomPicture(rng, kDspLogoWidth, kDspLogoHeight, 200);
    };
    const Result<PictureFit> first = fitDspLogo(logo(), 12), again = fitDspLogo(logo(), 12);
    ASSERT_TRUE(first.ok() && again.ok());
    EXPECT_EQ(first->index, again->index);
    EXPECT_TRUE(first->palette == again->palette);
}

// A picture that already fits, colours and runs, comes back exactly; one that does not uses
// nearly all the space it is given rather than settling for a coarse picture.
TEST(PictureFit, KeepsWhatFitsAndUsesTheSpace) {
    const RgbImage art = flatArtwork();
    const std::size_t artSize = encodedSize(OriginalBild_FarbPal(art)->index, kW, kH);
    for (std::size_t size : {artSize, artSize + 2, std::size_t{149760}}) {
        const Result<PictureFit> fit = fitStartImage(art, size, 5);
        ASSERT_TRUE(fit.ok());
        EXPECT_TRUE(fit->picture() == art) << size;
    }
    for (const std::size_t size : {std::size_t{3456}, std::size_t{10286}, std::size_t{40000}}) {
        const Result<PictureFit> fit = fitStartImage(noise(), size, 29);
        ASSERT_TRUE(fit.ok());
        EXPECT_GE(encodedSize(fit->index, kW, kH), size * 97 / 100) << size;
    }
}

TEST(PictureFit, RefusesWhatCannotFit) {
    const RgbImage photo = synth::photoLikePicture();
    RgbImage shortRows = photo;
    shortRows.rgb.resize(shortRows.rgb.size() - 3);
    struct Refusal {
        const char* what;
        RgbImage picture;
        std::size_t size;
        int entries;
        const char* says;  // part of the message
    };
    const Refusal refusals[] = {
        {"too wide", RgbImage(321, kH), 10000, 29, "320 x 234"},
        {"logo size", RgbImage(kDspLogoWidth, kDspLogoHeight), 10000, 29, "320 x 234"},
        {"empty", RgbImage(), 10000, 29, "320 x 234"},
        {"pixels missing", shortRows, 10000, 29, "320 x 234"},
        {"no entries", photo, 10000, 0, "kein Paletteneintrag"},
        {"too many entries", photo, 10000, 257, "höchstens 256"},
        {"negative entries", photo, 10000, -3, "kein Paletteneintrag"},
        {"below one colour", photo, kMinImageDataSize - 2, 29, "936 Bytes"},
        {"zero", photo, 0, 29, "936 Bytes"},
        {"odd", photo, 7715, 29, "ungültig"},
        {"above one pair per pixel", photo, kMaxImageDataSize + 2, 29, "ungültig"},
        {"absurd", photo, std::numeric_limits<std::size_t>::max(), 29, "ungültig"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        const Result<PictureFit> fit = fitStartImage(r.picture, r.size, r.entries);
        EXPECT_FALSE(fit.ok());
        EXPECT_NE(fit.message().find(r.says), std::string::npos) << fit.message();
    }
    for (const auto& [picture, entries] : {std::pair{RgbImage(kW, kH), 12}, {RgbImage(80, 20), 12},
                                            {RgbImage(kDspLogoWidth, kDspLogoHeight), 0},
                                            {RgbImage(kDspLogoWidth, kDspLogoHeight), 300}}) {
        const Result<PictureFit> fit = fitDspLogo(picture, entries);
        EXPECT_FALSE(fit.ok()) << picture.width << " x " << picture.height << ", " << entries;
        EXPECT_FALSE(fit.message().empty());
    }
}

// The DSP logo has no run budget: at most the entries, and its own colours when they are few.
TEST(PictureFit, DspLogoKeepsToTheEntries) {
    std::mt19937 rng(9);
    for (const int colours : {3, 40, 256}) {
        const RgbImage logo = synth::randomPicture(rng, kDspLogoWidth, kDspLogoHeight, colours);
        for (const int entries : {1, 6, 40, 256}) {
            SCOPED_TRACE(std::to_string(colours) + " colours, " + std::to_string(entries) + " entries");
            const Result<PictureFit> fitted = fitDspLogo(logo, entries);
            ASSERT_TRUE(fitted.ok()) << fitted.message();
            const PictureFit& fit = fitted.value();
            ASSERT_EQ(fit.index.size(), kDspLogoSize);
            EXPECT_LE(fit.palette.size(), static_cast<std::size_t>(std::min(entries, colours)));
            EXPECT_TRUE(std::all_of(fit.index.begin(), fit.index.end(), [&](std::uint8_t e) { return e < fit.palette.size(); }));
            if (colours <= entries) {
                EXPECT_TRUE(fit.picture() == logo);
            }
        }
    }
}

// SSIM on luma over 7 x 7 windows and PSNR over RGB, checked on pictures small enough to
// work out by hand.
TEST(PictureQuality, SsimAndPsnrAsDefined) {
    const RgbImage grey100(7, 7, {100, 100, 100}), grey110(7, 7, {110, 110, 110});
    constexpr double c1 = (0.01 * 255) * (0.01 * 255);
    // One window, no variance: only the luminance term is left.
    EXPECT_NEAR(ssim(grey100, grey110), (2 * 100.0 * 110 + c1) / (100.0 * 100 + 110.0 * 110 + c1), 1e-9);
    EXPECT_NEAR(psnr(grey100, grey110), 10 * std::log10(255.0 * 255 / 100), 1e-9);
    EXPECT_DOUBLE_EQ(ssim(grey100, grey100), 1.0);
    EXPECT_TRUE(std::isinf(psnr(grey100, grey100)));

    // The mean over all windows: a flaw in one corner costs only the few windows over it.
    const RgbImage photo = synth::photoLikePicture();
    RgbImage left = photo;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x) left.set(x, y, {0, 0, 0});
    EXPECT_LT(ssim(photo, left), 1.0);
    EXPECT_GT(ssim(photo, left), 0.99);
    EXPECT_EQ(ssim(photo, left), ssim(left, photo));
    EXPECT_EQ(ssim(grey100, RgbImage(8, 7)), 0.0);
    EXPECT_EQ(ssim(RgbImage(6, 6), RgbImage(6, 6)), 0.0);
    EXPECT_EQ(psnr(grey100, RgbImage(8, 7)), 0.0);
}
