#include "ui/crop_view.hpp"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>

namespace zarvelo {

namespace {
constexpr double kMargin = 8;  // pixels around the drawn photo
const QColor kSurround(48, 48, 52);
}  // namespace

CropView::CropView(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::OpenHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CropView::setPhoto(const QImage& preview, QSize sourceSize) {
    preview_ = preview;
    sourceSize_ = sourceSize;
    update();
}

void CropView::setFrame(const CropFrame& frame, QColor background) {
    frame_ = frame;
    background_ = background;
    update();
}

QRectF CropView::bounds() const {
    const QRectF source(0, 0, sourceSize_.width(), sourceSize_.height());
    return source.united(QRectF(frame_.x, frame_.y, frame_.width, frame_.height));
}

double CropView::scale() const {
    const QRectF b = bounds();
    if (b.width() <= 0 || b.height() <= 0) return 1;
    return std::min((width() - 2 * kMargin) / b.width(), (height() - 2 * kMargin) / b.height());
}

QPointF CropView::origin() const {
    const QRectF b = bounds();
    const double s = scale();
    return {(width() - b.width() * s) / 2 - b.x() * s, (height() - b.height() * s) / 2 - b.y() * s};
}

QPointF CropView::toWidget(QPointF source) const { return origin() + source * scale(); }
QPointF CropView::toSource(QPointF widget) const { return (widget - origin()) / scale(); }

void CropView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kSurround);
    if (sourceSize_.isEmpty()) return;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(toWidget({frame_.x, frame_.y}), toWidget({frame_.x + frame_.width, frame_.y + frame_.height}));
    const QRectF photo(toWidget({0, 0}), toWidget(QPointF(sourceSize_.width(), sourceSize_.height())));
    p.fillRect(frame, background_);  // the border "einpassen" leaves
    p.drawImage(photo, preview_);
    // Outside the frame the photo is dimmed: that part is cut away.
    QPainterPath outside;
    outside.addRect(QRectF(rect()));
    QPainterPath inside;
    inside.addRect(frame);
    p.fillPath(outside.subtracted(inside), QColor(0, 0, 0, 150));
    // Thirds help to place the subject.
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    for (int i = 1; i < 3; ++i) {
        const double x = frame.left() + frame.width() * i / 3, y = frame.top() + frame.height() * i / 3;
        p.drawLine(QPointF(x, frame.top()), QPointF(x, frame.bottom()));
        p.drawLine(QPointF(frame.left(), y), QPointF(frame.right(), y));
    }
    p.setPen(QPen(QColor(0, 0, 0, 160), 3));
    p.drawRect(frame);
    p.setPen(QPen(Qt::white, 1.5));
    p.drawRect(frame);
}

void CropView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = true;
    lastPosition_ = event->position();
    setCursor(Qt::ClosedHandCursor);
}

void CropView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    const QPointF delta = (event->position() - lastPosition_) / scale();
    lastPosition_ = event->position();
    if (!delta.isNull()) emit frameDragged(delta.x(), delta.y());
}

void CropView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = false;
    setCursor(Qt::OpenHandCursor);
}

void CropView::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0) emit zoomSteps(steps);
    event->accept();
}

}  // namespace zarvelo
