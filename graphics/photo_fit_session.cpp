#include "graphics/photo_fit_session.hpp"

#include "graphics/picture_quality.hpp"

#include <algorithm>
#include <cmath>

namespace zarvelo {

PhotoFitResult fitScaledPhoto(RgbImage scaled, PhotoTarget target, std::size_t imageDataSize, int entries) {
    PhotoFitResult result;
    result.fit = target == PhotoTarget::DspLogo ? fitDspLogo(scaled, entries)
                                                : fitStartImage(scaled, imageDataSize, entries);
    if (result.fit.ok()) result.similarity = ssim(result.fit->picture(), scaled);
    result.scaled = std::move(scaled);
    return result;
}

PhotoFitSession::PhotoFitSession(Photo photo, const StartImageEditor& editor)
    : photo_(std::move(photo)),
      imageDataSize_(editor.imageDataSize),
      availableCount_(editor.availableCount),
      dspLogoSupported_(editor.dspLogoSupported),
      colours_(editor.availableCount),
      centreX_(photo_.picture.width / 2.0),
      centreY_(photo_.picture.height / 2.0) {}

void PhotoFitSession::setTarget(PhotoTarget target) {
    if (target == PhotoTarget::DspLogo && !dspLogoSupported_) return;
    target_ = target;
    clampCentre();
}

void PhotoFitSession::setMode(CropMode mode) {
    mode_ = mode;
    clampCentre();
}

void PhotoFitSession::setColours(int colours) { colours_ = std::clamp(colours, std::min(1, availableCount_), availableCount_); }

void PhotoFitSession::setZoom(double zoom) {
    zoom_ = std::isfinite(zoom) ? std::clamp(zoom, 1.0, kMaxCropZoom) : 1.0;
    clampCentre();
}

void PhotoFitSession::setFrameCentre(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    centreX_ = x;
    centreY_ = y;
    clampCentre();
}

void PhotoFitSession::clampCentre() {
    const CropFrame f = frame();
    centreX_ = f.x + f.width / 2;
    centreY_ = f.y + f.height / 2;
}

CropFrame PhotoFitSession::frame() const {
    return cropFrame(photo_.picture.width, photo_.picture.height, targetWidth(), targetHeight(), mode_, zoom_, centreX_,
                     centreY_);
}

RgbImage PhotoFitSession::scaled() const {
    return scalePhoto(photo_, frame(), targetWidth(), targetHeight(), background_);
}

RgbImage editorPicture(const StartImageEditor& editor, PhotoTarget target) {
    if (target == PhotoTarget::DspLogo)
        return editor.AKT_DSP.count > 0 ? renderFittedLogo(editor.AKT_DSP, editor.fit) : RgbImage{};
    return editor.AKT.count > 0 ? renderColourSet(editor.AKT) : RgbImage{};
}

}  // namespace zarvelo
