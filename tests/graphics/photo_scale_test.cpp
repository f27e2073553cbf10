// The crop frame over a photo and the area-averaging scale to the unit's picture sizes,
// and the photo fit session that the window and the command line tool share.
#include "graphics/photo_fit_session.hpp"
#include "graphics/photo_scale.hpp"
#include "graphics/picture_quality.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zarvelo;

namespace {

Photo photoOf(int w, int h, Rgb fill = {}) { return {RgbImage(w, h, fill), {}}; }

void expectFrame(const CropFrame& f, double x, double y, double w, double h) {
    EXPECT_NEAR(f.x, x, 1e-9);
    EXPECT_NEAR(f.y, y, 1e-9);
    EXPECT_NEAR(f.width, w, 1e-9);
    EXPECT_NEAR(f.height, h, 1e-9);
}

}  // namespace

TEST(CropFrame, ModesZoomAndClamping) {
    struct Case {
        const char* name;
        int sw, sh, tw, th;
        CropMode mode;
        double zoom, cx, cy;
        CropFrame expected;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        // 2:1 source into 4:3: "füllen" keeps the height and crops the sides, centred.
        {"fill wide", 800, 400, 4, 3, CropMode::Fill, 1, 400, 200, {400 - 800.0 / 3, 0, 1600.0 / 3, 400}},
        {"fill tall", 300, 900, 4, 3, CropMode::Fill, 1, 150, 450, {0, 450 - 112.5, 300, 225}},
        // Moved far to the right: clamped against the right edge.
        {"fill moved past the edge", 800, 400, 4, 3, CropMode::Fill, 1, 5000, -30, {800 - 1600.0 / 3, 0, 1600.0 / 3, 400}},
        // Zoom 2 halves the frame around its centre; the centre is kept where it fits.
        {"fill zoomed", 800, 400, 4, 3, CropMode::Fill, 2, 600, 100, {600 - 400.0 / 3, 0, 800.0 / 3, 200}},
        {"fill zoomed to the corner", 800, 400, 4, 3, CropMode::Fill, 4, 0, 0, {0, 0, 400.0 / 3, 100}},
        // "einpassen": the frame holds the whole source, centred; the border is outside the source.
        {"fit wide", 800, 400, 4, 3, CropMode::Fit, 1, 0, 0, {0, 200 - 300, 800, 600}},
        // Zoomed in, it fits inside the source and moves like any other frame.
        {"fit zoomed", 800, 400, 4, 3, CropMode::Fit, 2, 0, 0, {0, 0, 400, 300}},
        {"fit zoomed a little stays centred across", 800, 400, 4, 3, CropMode::Fit, 1.2, 0, 0, {0, 200 - 250, 2000.0 / 3, 500}},
        // "strecken": the whole source whatever its shape.
        {"stretch", 800, 400, 4, 3, CropMode::Stretch, 1, 10, 10, {0, 0, 800, 400}},
        {"stretch zoomed", 800, 400, 4, 3, CropMode::Stretch, 2, 800, 400, {400, 200, 400, 200}},
        // Zoom below 1, above the limit or NaN, and a NaN centre, stay sane.
        {"zoom below one", 800, 400, 4, 3, CropMode::Stretch, 0.2, 0, 0, {0, 0, 800, 400}},
        {"zoom beyond the limit", 1600, 1600, 1, 1, CropMode::Stretch, 1000, 0, 0, {0, 0, 100, 100}},
        {"NaN zoom and centre", 800, 400, 4, 3, CropMode::Fill, nan, nan, nan, {400 - 800.0 / 3, 0, 1600.0 / 3, 400}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectFrame(cropFrame(c.sw, c.sh, c.tw, c.th, c.mode, c.zoom, c.cx, c.cy), c.expected.x, c.expected.y,
                    c.expected.width, c.expected.height);
    }
}

TEST(ScalePhoto, AveragesTheAreaUnderEveryPixel) {
    // A checkerboard of single black and white pixels averages to grey at any whole factor.
    Photo board = photoOf(8, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            if ((x + y) % 2) board.picture.set(x, y, {255, 255, 255});
    EXPECT_EQ(scalePhoto(board, {0, 0, 8, 6}, 4, 3, {}), RgbImage(4, 3, Rgb{128, 128, 128}));
    EXPECT_EQ(scalePhoto(board, {0, 0, 8, 6}, 1, 1, {}), RgbImage(1, 1, Rgb{128, 128, 128}));

    // Three columns 0, 90, 180 into two pixels: each covers one and a half columns, so
    // (0 + 45) / 1.5 = 30 and (45 + 180) / 1.5 = 150 — a point sample would give 0 and 180.
    Photo columns = photoOf(3, 1);
    columns.picture.set(1, 0, {90, 90, 90});
    columns.picture.set(2, 0, {180, 180, 180});
    const RgbImage two = scalePhoto(columns, {0, 0, 3, 1}, 2, 1, {});
    EXPECT_EQ(two.at(0, 0), (Rgb{30, 30, 30}));
    EXPECT_EQ(two.at(1, 0), (Rgb{150, 150, 150}));

    // A fractional frame: [0.5, 2.5) weights the columns 0.5, 1, 0.5: (0 + 90 + 90) / 2 = 90.
    EXPECT_EQ(scalePhoto(columns, {0.5, 0, 2, 1}, 1, 1, {}).at(0, 0), (Rgb{90, 90, 90}));

    // Enlarging repeats pixels: each source pixel becomes a 2 x 2 block.
    EXPECT_EQ(scalePhoto(columns, {0, 0, 3, 1}, 6, 2, {}).at(3, 1), (Rgb{90, 90, 90}));
}

TEST(ScalePhoto, BorderAndTransparencyTakeTheBackground) {
    const Rgb red{200, 0, 0}, blue{0, 0, 240};
    // "einpassen" of a 2:1 picture into 4:3: bands above and below in the background colour.
    const Photo wide = photoOf(400, 200, red);
    const CropFrame frame = cropFrame(400, 200, 320, 240, CropMode::Fit, 1, 0, 0);
    const RgbImage fitted = scalePhoto(wide, frame, 320, 240, blue);
    EXPECT_EQ(fitted.at(0, 0), blue);
    EXPECT_EQ(fitted.at(319, 239), blue);
    EXPECT_EQ(fitted.at(160, 120), red);
    EXPECT_EQ(fitted.at(5, 39), blue);   // the band is 40 rows: (300 - 200) / 2 source rows
    EXPECT_EQ(fitted.at(5, 40), red);

    // Alpha 0 shows the background, 255 the pixel, 51 a fifth of the way.
    Photo clear = photoOf(3, 1, red);
    clear.alpha = {0, 255, 51};
    const RgbImage over = scalePhoto(clear, {0, 0, 3, 1}, 3, 1, blue);
    EXPECT_EQ(over.at(0, 0), blue);
    EXPECT_EQ(over.at(1, 0), red);
    EXPECT_EQ(over.at(2, 0), (Rgb{40, 0, 192}));
    EXPECT_EQ(clear.over(blue), over);

    // Averaged over many pixels, each counts composited: red (0 + 200 + 200 + 0 + 40) / 5 = 88,
    // blue (240 + 0 + 0 + 240 + 192) / 5 = 134.4; the frame [0.5, 4.5) halves the two ends.
    Photo row = photoOf(5, 1, red);
    row.alpha = {0, 255, 255, 0, 51};
    EXPECT_EQ(scalePhoto(row, {0, 0, 5, 1}, 1, 1, blue).at(0, 0), (Rgb{88, 0, 134}));
    EXPECT_EQ(scalePhoto(row, {0.5, 0, 4, 1}, 1, 1, blue).at(0, 0), (Rgb{105, 0, 114}));
}

TEST(PhotoFitSession, KeepsTheFrameInsideAndFollowsTheEditor) {
    StartImageEditor editor;
    editor.availableCount = 40;
    editor.imageDataSize = 5000;
    editor.dspLogoSupported = false;
    PhotoFitSession session(photoOf(1000, 500, Rgb{10, 20, 30}), editor);
    EXPECT_EQ(session.colours(), 40);  // every available entry by default
    const CropFrame centred = session.frame();
    EXPECT_NEAR(centred.x + centred.width / 2, 500, 1e-9);
    EXPECT_NEAR(centred.height, 500, 1e-9);

    // Dragging far away stops at the edge, and coming back moves at once (no hidden offset).
    session.moveFrame(10000, 0);
    EXPECT_NEAR(session.frame().x + session.frame().width, 1000, 1e-9);
    session.moveFrame(-10, 0);
    EXPECT_NEAR(session.frame().x + session.frame().width, 990, 1e-9);
    session.setZoom(2);
    EXPECT_NEAR(session.frame().height, 250, 1e-9);
    session.setZoom(0.5);
    EXPECT_EQ(session.zoom(), 1.0);

    session.setColours(300);
    EXPECT_EQ(session.colours(), 40);
    session.setColours(0);
    EXPECT_EQ(session.colours(), 1);
    // No DSP logo on this version: the target stays the start image.
    session.setTarget(PhotoTarget::DspLogo);
    EXPECT_EQ(session.target(), PhotoTarget::StartImage);

    const PhotoFitResult r = session.fit();
    ASSERT_TRUE(r.fit.ok()) << r.fit.message();
    EXPECT_EQ(r.scaled, session.scaled());
    EXPECT_EQ(r.scaled.width, kStartImageWidth);
    EXPECT_LE(r.fit->palette.size(), 1u);
    EXPECT_NEAR(r.similarity, ssim(r.fit->picture(), r.scaled), 1e-12);

    editor.dspLogoSupported = true;
    PhotoFitSession logo(photoOf(1000, 500, Rgb{10, 20, 30}), editor);
    logo.setTarget(PhotoTarget::DspLogo);
    const PhotoFitResult l = logo.fit();
    ASSERT_TRUE(l.fit.ok()) << l.fit.message();
    EXPECT_EQ(l.scaled.width, kDspLogoWidth);
    EXPECT_EQ(l.fit->picture().height, kDspLogoHeight);

    // A space too small for any picture is refused by the fit, in German.
    editor.imageDataSize = 10;
    EXPECT_FALSE(PhotoFitSession(photoOf(10, 10), editor).fit().fit.ok());
}
