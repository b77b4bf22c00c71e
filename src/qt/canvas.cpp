#include "qt/canvas.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>

#include "port/geometry.h"
#include "qt/picture_set.h"

namespace zemtori {

namespace {

// The right and bottom edges of the last background tile, in pixels.
constexpr int LAST_TILE_COLUMN = 28, LAST_TILE_ROW = 21;
constexpr int CANVAS_W = to_pixels(grid_x(LAST_TILE_COLUMN)) + TILE_W;
constexpr int CANVAS_H = to_pixels(grid_y(LAST_TILE_ROW)) + TILE_H;

// 96 dots per inch, so that point sizes on the image mean what they mean on
// a standard screen.
constexpr int DOTS_PER_METRE_96_DPI = 3780;

// The window's scale moves in steps of 1/64, down to 1.
constexpr double SCALE_STEPS = 64;
// The scale the picture is drawn at whatever the screens: 4 times the first
// size is 3200 x 2000 pixels, larger than most screens, and its pictures
// and image (some 60 MB at a device pixel ratio of 1) are made in well under
// a second.  A window larger than every screen still gets this much.
constexpr double SCALE_LIMIT_FLOOR = 4;

// The marks of a drag: the landing square's light wash.
const QColor LANDING_MARK(255, 255, 255, 110);

QColor background() {
    const Rgb c = PALETTE[MIDORI_IRO];
    return QColor(c.r, c.g, c.b);
}

// The grid cell of a logical pixel of the first-size picture.
QPoint cell_of(QPoint pixel) {
    return {cell_column(pixel.x() * TWIPS_PER_PIXEL), cell_row(pixel.y() * TWIPS_PER_PIXEL)};
}

// The rectangle of grid cell (c, r) with the frame on its far edges.
QRect cell_rect(QPoint cell) {
    const int left = to_pixels(grid_x(cell.x())), top = to_pixels(grid_y(cell.y()));
    return QRect(left, top, to_pixels(grid_x(cell.x() + 1)) - left + 1, to_pixels(grid_y(cell.y() + 1)) - top + 1);
}

}  // namespace

Canvas::Canvas(qreal device_pixel_ratio, QWidget* parent)
    : QWidget(parent), scaled_(QSize(CANVAS_W, CANVAS_H)) {
    dpr_ = device_pixel_ratio > 0 ? device_pixel_ratio : 1.0;
    image_ = QImage(static_cast<int>(std::ceil(CANVAS_W * dpr_)),
                    static_cast<int>(std::ceil(CANVAS_H * dpr_)), QImage::Format_RGB32);
    image_.setDevicePixelRatio(dpr_);
    image_.setDotsPerMeterX(DOTS_PER_METRE_96_DPI);
    image_.setDotsPerMeterY(DOTS_PER_METRE_96_DPI);
    image_.fill(background());
    // The window's background colour, wherever the image does not reach.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, background());
    setPalette(pal);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&scaled_, &ScaledView::ready, this, [this] { update(); });
}

// --- the scale ------------------------------------------------------------

void Canvas::set_base_size(QSize size) {
    base_ = size;
    setMinimumSize(size);
    update_scale();
}

void Canvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    update_scale();
}

// No screen shows more of the picture than the one whose device pixels it
// covers at this scale; drawn larger, it would only cost time and memory (a
// window 16000 x 10000 pixels asked for 1.9 GB and 15 s of drawing).
double Canvas::scale_limit() const {
    double limit = SCALE_LIMIT_FLOOR;
    if (base_.isEmpty()) return limit;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QSizeF device = QSizeF(screen->size()) * (screen->devicePixelRatio() / dpr_);
        limit = std::max({limit, device.width() / base_.width(), device.height() / base_.height()});
    }
    return std::ceil(limit * SCALE_STEPS) / SCALE_STEPS;
}

void Canvas::update_scale() {
    double s = 1;
    if (!base_.isEmpty()) {
        s = std::min(static_cast<double>(width()) / base_.width(), static_cast<double>(height()) / base_.height());
        s = std::max(1.0, std::min(std::floor(s * SCALE_STEPS) / SCALE_STEPS, scale_limit()));
    }
    if (s == view_scale_) return;
    view_scale_ = s;
    scaled_.set_scale(s == 1 ? 0 : s * dpr_);
    if (on_scale) on_scale();
    update();
}

QPoint Canvas::picture_pixel(QPointF pos) const {
    if (view_scale_ == 1)
        return {static_cast<int>(std::floor(pos.x())), static_cast<int>(std::floor(pos.y()))};
    const double d = view_scale_ * dpr_;
    return {logical_pixel(static_cast<int>(std::floor(pos.x() * dpr_)), d),
            logical_pixel(static_cast<int>(std::floor(pos.y() * dpr_)), d)};
}

QRectF Canvas::shown_rect(QRect r) const {
    if (view_scale_ == 1) return QRectF(r);
    const double d = view_scale_ * dpr_;
    const int left = device_position(r.left(), d), top = device_position(r.top(), d);
    const int right = device_position(r.left() + r.width(), d), bottom = device_position(r.top() + r.height(), d);
    return QRectF(left / dpr_, top / dpr_, (right - left) / dpr_, (bottom - top) / dpr_);
}

// --- painting -------------------------------------------------------------

void Canvas::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect r = event->rect();
    p.fillRect(r, background());
    if (view_scale_ == 1) {
        p.drawImage(QPointF(0, 0), image_);
    } else if (const QImage* sharp = scaled_.image()) {
        // Device pixel for device pixel.
        p.drawImage(QRectF(0, 0, sharp->width() / dpr_, sharp->height() / dpr_), *sharp);
    } else {
        // Stretched, until the pictures at this scale are drawn.
        const QImage* last = scaled_.last_image();
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(0, 0, CANVAS_W * view_scale_, CANVAS_H * view_scale_), last ? *last : image_);
    }
    paint_drag(p);
}

// The piece in the air follows the pointer; its board square shows empty
// meanwhile and the square it would come to rest on is washed light.
void Canvas::paint_drag(QPainter& p) {
    if (!dragging()) return;
    const ScaledPictures* at_scale = scaled_.image() ? scaled_.pictures() : nullptr;
    const QPoint from = cell_of(drag_->press_pixel);
    if (from.x() >= 1 && from.x() <= 9 && from.y() >= 1 && from.y() <= 9) {
        // The cell inside its frame.
        const QRect inside = cell_rect(from).adjusted(1, 1, -1, -1);
        const QImage* empty = at_scale ? at_scale->find(0) : pictures ? pictures->find(0) : nullptr;
        if (empty) {
            const QRectF target = shown_rect(inside);
            // The same part of the empty square's picture, in its own pixels.
            QPointF offset;
            QSizeF size;
            if (at_scale) {
                const double d = view_scale_ * dpr_;
                offset = QPointF(device_position(inside.left(), d) - device_position(inside.left() - 1, d),
                                 device_position(inside.top(), d) - device_position(inside.top() - 1, d));
                size = target.size() * dpr_;
            } else {
                // The first size's picture (stretched with the rest while
                // the pictures at this scale are drawn).
                const qreal k = empty->devicePixelRatio();
                offset = QPointF(k, k);
                size = QSizeF(inside.size()) * k;
            }
            p.drawImage(target, *empty, QRectF(offset, size));
        }
    }
    if (drag_->landing) p.fillRect(shown_rect(cell_rect(*drag_->landing).adjusted(1, 1, -1, -1)), LANDING_MARK);
    const QImage lifted = lifted_piece(drag_->code);
    if (!lifted.isNull()) {
        const QSizeF size = QSizeF(lifted.size()) / lifted.devicePixelRatio();
        p.drawImage(drag_->at - QPointF(size.width() / 2, size.height() / 2), lifted);
    }
}

QImage Canvas::lifted_piece(int code) const {
    const ScaledPictures* at_scale = scaled_.image() ? scaled_.pictures() : nullptr;
    const QImage* piece = at_scale ? at_scale->find(code) : pictures ? pictures->find(code) : nullptr;
    const QImage* empty = at_scale ? at_scale->find(0) : pictures ? pictures->find(0) : nullptr;
    if (!piece || !empty || piece->size() != empty->size()) return {};
    // The cell's own wood is left out: what differs from the empty square is
    // the piece and its shadow.
    QImage lifted = piece->convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < lifted.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(lifted.scanLine(y));
        const auto* cell = reinterpret_cast<const QRgb*>(empty->constScanLine(y));
        for (int x = 0; x < lifted.width(); ++x)
            if ((line[x] | 0xff000000u) == (cell[x] | 0xff000000u)) line[x] = 0;
    }
    // Stretched with the rest while the pictures at this scale are drawn.
    lifted.setDevicePixelRatio(at_scale ? dpr_ : piece->devicePixelRatio() / view_scale_);
    return lifted;
}

// --- the mouse ------------------------------------------------------------

void Canvas::mousePressEvent(QMouseEvent* event) {
    int button = 0;
    switch (event->button()) {
    case Qt::LeftButton: button = 1; break;
    case Qt::RightButton: button = 2; break;
    case Qt::MiddleButton: button = 4; break;
    default: QWidget::mousePressEvent(event); return;
    }
    event->accept();
    drag_.reset();
    if (!on_mouse_down) return;
    const QPoint pixel = picture_pixel(event->position());
    const double x = pixel.x() * TWIPS_PER_PIXEL, y = pixel.y() * TWIPS_PER_PIXEL;
    on_mouse_down(button, x, y);
    // The press was a click; what it selected may now be carried off.
    if (button == 4 || !drag_piece) return;
    if (const std::optional<int> code = drag_piece(x, y))
        drag_ = Drag{event->button(), button, event->position(), pixel, *code, false, event->position(), {}};
}

void Canvas::mouseMoveEvent(QMouseEvent* event) {
    if (!drag_) return QWidget::mouseMoveEvent(event);
    event->accept();
    // The release went elsewhere (a box the press opened took it).
    if (!(event->buttons() & drag_->button)) {
        drag_.reset();
        update();
        return;
    }
    drag_->at = event->position();
    if (!drag_->moving && (event->position() - drag_->press).manhattanLength() < QApplication::startDragDistance())
        return;
    drag_->moving = true;
    const QPoint pixel = picture_pixel(event->position());
    drag_->landing = drag_landing ? drag_landing(pixel.x() * TWIPS_PER_PIXEL, pixel.y() * TWIPS_PER_PIXEL)
                                  : std::nullopt;
    update();
}

void Canvas::mouseReleaseEvent(QMouseEvent* event) {
    if (!drag_ || event->button() != drag_->button) return QWidget::mouseReleaseEvent(event);
    event->accept();
    const Drag drag = *drag_;
    drag_.reset();
    update();
    // A press and release without moving off, or back on the same square,
    // was a click and nothing more.
    const QPoint pixel = picture_pixel(event->position());
    if (!drag.moving || cell_of(pixel) == cell_of(drag.press_pixel)) return;
    if (drag_drop) drag_drop(drag.game_button, pixel.x() * TWIPS_PER_PIXEL, pixel.y() * TWIPS_PER_PIXEL);
}

}  // namespace zemtori
