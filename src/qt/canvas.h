// The window's drawing surface: one persistent image that keeps everything
// painted on it and is shown as it stands on every paint event.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace zemtori {

class Canvas : public QWidget {
    Q_OBJECT
public:
    // The image covers the grid out to the last background tile, so a window
    // larger than its first size is still covered.  `device_pixel_ratio`
    // sizes the image for the screen so that nothing is blurred.
    Canvas(qreal device_pixel_ratio, QWidget* parent = nullptr);

    QImage& image() { return image_; }
    const QImage& image() const { return image_; }

    // A mouse button went down: button 1 left, 2 right, 4 middle, the
    // position in twips from the canvas's top-left corner.
    std::function<void(int button, double x, double y)> on_mouse_down;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage image_;
};

}  // namespace zemtori
