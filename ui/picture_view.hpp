#pragma once
// A picture control with a drawable canvas: shows a QImage at its top left and reports
// mouse moves and presses in picture coordinates.

#include <QImage>
#include <QWidget>

namespace zarvelo {

class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);

    // The canvas; draw into it, then update() or repaint().
    QImage& canvas() { return image_; }
    const QImage& canvas() const { return image_; }
    void setCanvas(const QImage& image);

signals:
    void mouseMoved(QPoint position);
    void mousePressed(QPoint position, Qt::MouseButton button);
    // The same press with the buttons and modifier keys held at that moment.
    void mousePressedWith(QPoint position, Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage image_;
};

}  // namespace zarvelo
