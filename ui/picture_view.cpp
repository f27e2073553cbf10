#include "picture_view.hpp"

#include <QMouseEvent>
#include <QPainter>

namespace zarvelo {

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void PictureView::setCanvas(const QImage& image) {
    image_ = image;
    update();
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.drawImage(QPoint(0, 0), image_);
}

void PictureView::mouseMoveEvent(QMouseEvent* event) { emit mouseMoved(event->position().toPoint()); }

void PictureView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit mousePressed(at, event->button());
    emit mousePressedWith(at, event->button(), event->buttons(), event->modifiers());
}

}  // namespace zarvelo
