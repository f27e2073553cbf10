#pragma once
// The photo with its crop frame: the frame is dragged with the mouse and zoomed with the
// wheel. The view only reports what the hand does (in source pixels and wheel steps); the
// frame itself comes from the photo fit session.

#include "graphics/photo_scale.hpp"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QWidget>

namespace zarvelo {

class CropView : public QWidget {
    Q_OBJECT
public:
    explicit CropView(QWidget* parent = nullptr);

    // A reduced copy of the photo for drawing, and the photo's real size.
    void setPhoto(const QImage& preview, QSize sourceSize);
    void setFrame(const CropFrame& frame, QColor background);

    // Widget coordinates of a point of the source, and back.
    QPointF toWidget(QPointF source) const;
    QPointF toSource(QPointF widget) const;

signals:
    void frameDragged(double dx, double dy);  // in source pixels
    void zoomSteps(double steps);             // wheel notches, positive zooms in

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    double scale() const;
    QPointF origin() const;
    QRectF bounds() const;  // source and frame together, in source pixels

    QImage preview_;
    QSize sourceSize_;
    CropFrame frame_;
    QColor background_ = Qt::black;
    bool dragging_ = false;
    QPointF lastPosition_;
};

}  // namespace zarvelo
