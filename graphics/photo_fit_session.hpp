#pragma once
// A photo on its way into the start image editor: the crop frame the user places over it,
// the crop mode, background colour, colour count and target (start image or DSP logo), the
// picture scaled from that frame and its fit into the firmware's space. The dialog and the
// command line tool drive this one model, so both hand the editor the same picture.

#include "graphics/photo_scale.hpp"
#include "graphics/picture_fit.hpp"
#include "graphics/start_image_editor.hpp"

#include <cstddef>

namespace zarvelo {

enum class PhotoTarget { StartImage, DspLogo };

struct PhotoFitResult {
    RgbImage scaled;        // the frame scaled to the target's size
    Result<PictureFit> fit = PictureFit{};  // its fit into the space and entries, or why there is none
    double similarity = 0;                  // SSIM of the fitted picture against `scaled` (0..1)
};

// Fits a scaled picture: the part of the road that may run in the background.
PhotoFitResult fitScaledPhoto(RgbImage scaled, PhotoTarget target, std::size_t imageDataSize, int entries);

class PhotoFitSession {
public:
    // The editor gives the space of the start image, the available entries and whether the
    // version has a DSP logo.
    PhotoFitSession(Photo photo, const StartImageEditor& editor);

    const Photo& photo() const { return photo_; }
    PhotoTarget target() const { return target_; }
    CropMode mode() const { return mode_; }
    Rgb background() const { return background_; }
    double zoom() const { return zoom_; }
    int availableCount() const { return availableCount_; }
    std::size_t imageDataSize() const { return imageDataSize_; }
    bool dspLogoSupported() const { return dspLogoSupported_; }
    // The colour count asked for: 1 .. availableCount(); every available entry by default.
    int colours() const { return colours_; }

    // The DSP logo only on versions that have one.
    void setTarget(PhotoTarget target);
    void setMode(CropMode mode);
    void setBackground(Rgb colour) { background_ = colour; }
    void setColours(int colours);
    // 1 .. kMaxCropZoom, around the frame's centre.
    void setZoom(double zoom);
    // Moves the frame's centre to a point of the source (source pixels); the frame stays inside.
    void setFrameCentre(double x, double y);
    void moveFrame(double dx, double dy) { setFrameCentre(centreX_ + dx, centreY_ + dy); }

    int targetWidth() const { return target_ == PhotoTarget::DspLogo ? kDspLogoWidth : kStartImageWidth; }
    int targetHeight() const { return target_ == PhotoTarget::DspLogo ? kDspLogoHeight : kStartImageHeight; }
    CropFrame frame() const;
    RgbImage scaled() const;
    PhotoFitResult fit() const { return fitScaledPhoto(scaled(), target_, imageDataSize_, colours_); }

private:
    void clampCentre();

    Photo photo_;
    std::size_t imageDataSize_ = 0;
    int availableCount_ = 0;
    bool dspLogoSupported_ = false;
    PhotoTarget target_ = PhotoTarget::StartImage;
    CropMode mode_ = CropMode::Fill;
    Rgb background_{0, 0, 0};
    int colours_ = 0;
    double zoom_ = 1.0;
    double centreX_ = 0, centreY_ = 0;
};

// The picture the editor holds for `target` after a fitted picture was imported: what
// "Daten übernehmen" writes (the logo after the editor's own fitting of its colours).
RgbImage editorPicture(const StartImageEditor& editor, PhotoTarget target);

}  // namespace zarvelo
