#pragma once
// "FOTO ANPASSEN": the photo with its crop frame on the left, the picture fitted into the
// firmware's space on the right, and the settings below. The state lives in
// PhotoFitSession; the window draws it and fits in the background, so dragging the frame
// never waits for the fit.

#include "graphics/photo_fit_session.hpp"
#include "ui/window_frame.hpp"
#include "ui_photo_fit_dialog.h"

#include <QFutureWatcher>

#include <functional>
#include <optional>

namespace zarvelo {

class PhotoFitDialog : public FixedDialog, public Ui::PhotoFitDialog {
    Q_OBJECT
public:
    explicit PhotoFitDialog(PhotoFitSession session, QWidget* parent = nullptr);
    ~PhotoFitDialog() override;

    const PhotoFitSession& session() const { return session_; }
    // Asks for the background colour (a colour dialog unless a test answers).
    void setColourChooser(std::function<std::optional<Rgb>(Rgb current)> chooser) { chooseColour_ = std::move(chooser); }

    // The fit of the frame and settings as they are now: valid after "Übernehmen".
    const PhotoFitResult& acceptedResult() const { return accepted_; }
    // True until the fit of the latest frame and settings is shown.
    bool fitPending() const { return shownGeneration_ != generation_; }
    bool fitRunning() const { return watcher_.isRunning(); }

    void done(int result) override;

private:
    void changed();
    void refresh();
    void startFit(RgbImage scaled);
    void fitFinished();
    void showPicture(const RgbImage& picture);
    void showResult(const PhotoFitResult& result);
    void showBackground();
    void chooseBackground();
    void acceptClicked();
    void stopFit();

    PhotoFitSession session_;
    std::function<std::optional<Rgb>(Rgb)> chooseColour_;
    QFutureWatcher<PhotoFitResult> watcher_;
    unsigned generation_ = 0;         // counts the changes of frame and settings
    unsigned runningGeneration_ = 0;  // what the running fit belongs to
    unsigned shownGeneration_ = 0;    // what the shown result belongs to
    bool refreshQueued_ = false;
    std::optional<RgbImage> waiting_;  // scaled picture of a change made while a fit ran
    PhotoFitResult shown_;
    PhotoFitResult accepted_;
};

}  // namespace zarvelo
