#include "qt/canvas.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

#include "port/geometry.h"

namespace zemtori {

namespace {

// The right and bottom edges of the last background tile, in pixels.
constexpr int LAST_TILE_COLUMN = 28, LAST_TILE_ROW = 21;
constexpr int CANVAS_W = to_pixels(grid_x(LAST_TILE_COLUMN)) + TILE_W;
constexpr int CANVAS_H = to_pixels(grid_y(LAST_TILE_ROW)) + TILE_H;

// 96 dots per inch, so that point sizes on the image mean what they mean on
// a standard screen.
constexpr int DOTS_PER_METRE_96_DPI = 3780;

QColor background() {
    const Rgb c = PALETTE[MIDORI_IRO];
    return QColor(c.r, c.g, c.b);
}

}  // namespace

Canvas::Canvas(qreal device_pixel_ratio, QWidget* parent) : QWidget(parent) {
    const qreal dpr = device_pixel_ratio > 0 ? device_pixel_ratio : 1.0;
    image_ = QImage(static_cast<int>(std::ceil(CANVAS_W * dpr)),
                    static_cast<int>(std::ceil(CANVAS_H * dpr)), QImage::Format_RGB32);
    image_.setDevicePixelRatio(dpr);
    image_.setDotsPerMeterX(DOTS_PER_METRE_96_DPI);
    image_.setDotsPerMeterY(DOTS_PER_METRE_96_DPI);
    image_.fill(background());
    // The window's background colour, wherever the image does not reach.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, background());
    setPalette(pal);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Canvas::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect r = event->rect();
    p.fillRect(r, background());
    p.drawImage(QPointF(0, 0), image_);
}

void Canvas::mousePressEvent(QMouseEvent* event) {
    int button = 0;
    switch (event->button()) {
    case Qt::LeftButton: button = 1; break;
    case Qt::RightButton: button = 2; break;
    case Qt::MiddleButton: button = 4; break;
    default: QWidget::mousePressEvent(event); return;
    }
    event->accept();
    if (!on_mouse_down) return;
    const QPointF pos = event->position();
    on_mouse_down(button, std::floor(pos.x()) * TWIPS_PER_PIXEL, std::floor(pos.y()) * TWIPS_PER_PIXEL);
}

}  // namespace zemtori
