#include "ui/photo_fit_dialog.hpp"

#include "photo/rgb_qimage.hpp"
#include "ui/fonts.hpp"

#include <QColorDialog>
#include <QPainter>
#include <QStyle>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>

namespace zarvelo {

namespace {

const QColor kSurround(48, 48, 52);
constexpr int kPreviewSide = 1200;  // the photo is drawn from a copy at most this large

// A copy small enough to draw quickly; transparent parts show the background.
QImage previewOf(const Photo& photo, Rgb background) {
    const RgbImage& p = photo.picture;
    const double factor = std::min(1.0, static_cast<double>(kPreviewSide) / std::max(p.width, p.height));
    const int w = std::max(1, static_cast<int>(std::lround(p.width * factor)));
    const int h = std::max(1, static_cast<int>(std::lround(p.height * factor)));
    return toQImage(scalePhoto(photo, {0, 0, static_cast<double>(p.width), static_cast<double>(p.height)}, w, h, background));
}

QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

}  // namespace

PhotoFitDialog::PhotoFitDialog(PhotoFitSession session, QWidget* parent)
    : FixedDialog(parent), session_(std::move(session)) {
    setupUi(this);
    setFixedFrame(1000, 556, FrameButtons::SystemMenu);
    setFont(sansFont(11));
    similarityLabel->setFont(sansFont(12, true));
    for (QLabel* l : {sourceTitle, resultTitle}) l->setFont(sansFont(11, true));
    cancelButton->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    acceptButton->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    acceptButton->setDefault(true);
    chooseColour_ = [this](Rgb current) -> std::optional<Rgb> {
        const QColor c = QColorDialog::getColor(toQColor(current), this, QStringLiteral("Hintergrundfarbe"));
        if (!c.isValid()) return std::nullopt;
        return Rgb{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                   static_cast<std::uint8_t>(c.blue())};
    };

    dspLogoButton->setVisible(session_.dspLogoSupported());
    const int available = session_.availableCount();
    coloursSpin->setRange(std::min(1, available), available);
    coloursSpin->setValue(session_.colours());
    coloursOfLabel->setText(QStringLiteral("von %1 verfügbaren").arg(available));
    const RgbImage& source = session_.photo().picture;
    cropView->setPhoto(previewOf(session_.photo(), session_.background()), QSize(source.width, source.height));
    showBackground();

    connect(cropView, &CropView::frameDragged, this, [this](double dx, double dy) {
        session_.moveFrame(dx, dy);
        changed();
    });
    connect(cropView, &CropView::zoomSteps, this, [this](double steps) {
        zoomSlider->setValue(static_cast<int>(std::lround(session_.zoom() * std::pow(1.25, steps) * 100)));
    });
    connect(zoomSlider, &QSlider::valueChanged, this, [this](int percent) {
        session_.setZoom(percent / 100.0);
        zoomValue->setText(QStringLiteral("%1 %").arg(percent));
        changed();
    });
    auto onTarget = [this](PhotoTarget target) {
        return [this, target](bool checked) {
            if (!checked) return;
            session_.setTarget(target);
            changed();
        };
    };
    connect(startImageButton, &QRadioButton::toggled, this, onTarget(PhotoTarget::StartImage));
    connect(dspLogoButton, &QRadioButton::toggled, this, onTarget(PhotoTarget::DspLogo));
    auto onMode = [this](CropMode mode) {
        return [this, mode](bool checked) {
            if (!checked) return;
            session_.setMode(mode);
            changed();
        };
    };
    connect(fillButton, &QRadioButton::toggled, this, onMode(CropMode::Fill));
    connect(fitButton, &QRadioButton::toggled, this, onMode(CropMode::Fit));
    connect(stretchButton, &QRadioButton::toggled, this, onMode(CropMode::Stretch));
    connect(coloursSpin, &QSpinBox::valueChanged, this, [this](int colours) {
        session_.setColours(colours);
        changed();
    });
    connect(backgroundButton, &QPushButton::clicked, this, &PhotoFitDialog::chooseBackground);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(acceptButton, &QPushButton::clicked, this, &PhotoFitDialog::acceptClicked);
    connect(&watcher_, &QFutureWatcher<PhotoFitResult>::finished, this, &PhotoFitDialog::fitFinished);

    changed();
    refresh();  // the first picture at once, not after the first event
}

PhotoFitDialog::~PhotoFitDialog() { stopFit(); }

void PhotoFitDialog::stopFit() {
    // A fit cannot be interrupted; it ends within a fraction of a second.
    watcher_.disconnect(this);
    watcher_.waitForFinished();
}

void PhotoFitDialog::done(int result) {
    stopFit();
    connect(&watcher_, &QFutureWatcher<PhotoFitResult>::finished, this, &PhotoFitDialog::fitFinished);
    FixedDialog::done(result);
}

// Many changes within one pass of the event loop (a drag) cost one scaling and one fit.
void PhotoFitDialog::changed() {
    ++generation_;
    cropView->setFrame(session_.frame(), toQColor(session_.background()));
    if (refreshQueued_) return;
    refreshQueued_ = true;
    QTimer::singleShot(0, this, &PhotoFitDialog::refresh);
}

void PhotoFitDialog::refresh() {
    if (!refreshQueued_) return;
    refreshQueued_ = false;
    RgbImage scaled = session_.scaled();
    showPicture(scaled);
    similarityLabel->setText(QStringLiteral("Ähnlichkeit: …"));
    colourCountLabel->setText(QStringLiteral("wird angepasst …"));
    if (watcher_.isRunning()) waiting_ = std::move(scaled);
    else startFit(std::move(scaled));
}

void PhotoFitDialog::startFit(RgbImage scaled) {
    runningGeneration_ = generation_;
    watcher_.setFuture(QtConcurrent::run(fitScaledPhoto, std::move(scaled), session_.target(), session_.imageDataSize(),
                                         session_.colours()));
}

void PhotoFitDialog::fitFinished() {
    if (watcher_.future().isCanceled() || watcher_.future().resultCount() == 0) return;
    if (runningGeneration_ == generation_) {
        shown_ = watcher_.result();
        shownGeneration_ = generation_;
        showResult(shown_);
    }
    if (waiting_) {
        RgbImage next = std::move(*waiting_);
        waiting_.reset();
        startFit(std::move(next));
    }
}

void PhotoFitDialog::showPicture(const RgbImage& picture) {
    QImage canvas(resultView->width(), resultView->height(), QImage::Format_RGB888);
    canvas.fill(kSurround);
    if (picture.width > 0 && picture.height > 0) {
        // Enlarged by whole pixels' worth so every pixel of the unit stays a sharp block.
        const double factor = std::min(static_cast<double>(canvas.width()) / picture.width,
                                       static_cast<double>(canvas.height()) / picture.height);
        const QSizeF size(picture.width * factor, picture.height * factor);
        const QRectF target(QPointF((canvas.width() - size.width()) / 2, (canvas.height() - size.height()) / 2), size);
        QPainter p(&canvas);
        p.drawImage(target, toQImage(picture));
    }
    resultView->setCanvas(canvas);
}

void PhotoFitDialog::showResult(const PhotoFitResult& result) {
    if (!result.fit.ok()) {
        showPicture(result.scaled);
        similarityLabel->setText(QStringLiteral("Ähnlichkeit: –"));
        colourCountLabel->setText(QString::fromStdString(result.fit.message()));
        colourCountLabel->setToolTip(QString::fromStdString(result.fit.message()));
        return;
    }
    showPicture(result.fit->picture());
    similarityLabel->setText(QStringLiteral("Ähnlichkeit: %1 %").arg(std::lround(result.similarity * 100)));
    const auto colours = static_cast<int>(result.fit->palette.size());
    colourCountLabel->setText(colours == 1 ? QStringLiteral("1 Farbe") : QStringLiteral("%1 Farben").arg(colours));
    colourCountLabel->setToolTip({});
}

void PhotoFitDialog::showBackground() {
    QPixmap swatch(28, 16);
    swatch.fill(toQColor(session_.background()));
    {
        QPainter p(&swatch);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawRect(0, 0, swatch.width() - 1, swatch.height() - 1);
    }
    backgroundButton->setIcon(QIcon(swatch));
    backgroundButton->setIconSize(swatch.size());
    const Rgb c = session_.background();
    backgroundButton->setText(QStringLiteral("%1%2%3").arg(c.r, 2, 16, QLatin1Char('0')).arg(c.g, 2, 16, QLatin1Char('0'))
                                  .arg(c.b, 2, 16, QLatin1Char('0')).toUpper());
}

void PhotoFitDialog::chooseBackground() {
    if (!chooseColour_) return;
    const std::optional<Rgb> chosen = chooseColour_(session_.background());
    if (!chosen || *chosen == session_.background()) return;
    session_.setBackground(*chosen);
    showBackground();
    if (session_.photo().hasAlpha()) {
        const RgbImage& source = session_.photo().picture;
        cropView->setPhoto(previewOf(session_.photo(), *chosen), QSize(source.width, source.height));
    }
    changed();
}

void PhotoFitDialog::acceptClicked() {
    // The shown fit when it belongs to what is set now; otherwise fitted here, once.
    refresh();
    watcher_.waitForFinished();
    if (shownGeneration_ == generation_)
        accepted_ = shown_;
    else if (!waiting_ && runningGeneration_ == generation_ && watcher_.future().resultCount() > 0)
        accepted_ = watcher_.result();
    else
        accepted_ = session_.fit();
    waiting_.reset();
    accept();
}

}  // namespace zarvelo
