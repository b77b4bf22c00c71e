// The window's drawing surface: one persistent image that keeps everything
// painted on it and is shown as it stands on every paint event.  A window
// made larger than its first size shows the same picture larger, drawn
// again at that size (ScaledView), and a piece can be dragged.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>

#include "qt/scaled_view.h"

namespace zemtori {

class PictureSet;

class Canvas : public QWidget {
    Q_OBJECT
public:
    // The image covers the grid out to the last background tile, so a window
    // larger than its first size is still covered.  `device_pixel_ratio`
    // sizes the image for the screen so that nothing is blurred.
    Canvas(qreal device_pixel_ratio, QWidget* parent = nullptr);

    // The picture at its first size, as the game draws it.
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    // Everything drawn, kept to be drawn again larger.
    ScaledView& scaled() { return scaled_; }
    const ScaledView& scaled() const { return scaled_; }

    // The canvas's size at the window's first size: the picture is shown at
    // scale 1 there and grows with the canvas beyond it, keeping its
    // proportions, up to scale_limit(); the room left over on the right or
    // below shows the background.  An empty size (the default) keeps the scale at 1.
    void set_base_size(QSize size);
    QSize base_size() const { return base_; }
    // The window's scale against its first size (1 up, in steps of 1/64, to
    // scale_limit()).
    double view_scale() const { return view_scale_; }
    // The largest scale: the one at which the first-size picture covers the
    // largest screen in its device pixels, or 4 if that is more.  Beyond it
    // the picture keeps its size and the room around it shows the background.
    double scale_limit() const;
    // True when what is shown is drawn at the present scale (always at 1).
    bool sharp() const { return view_scale_ == 1 || scaled_.image() != nullptr; }
    // The logical pixel of the first-size picture under a point of the widget.
    QPoint picture_pixel(QPointF widget_pos) const;
    // Where the logical rectangle `r` of the first-size picture is shown on
    // the widget, in the widget's logical coordinates.
    QRectF shown_rect(QRect r) const;

    // The scale changed (to view_scale()).
    std::function<void()> on_scale;

    // The pictures of the first size, for the piece dragged at scale 1.
    const PictureSet* pictures = nullptr;

    // A mouse button went down: button 1 left, 2 right, 4 middle, the
    // position in twips from the top-left corner of the first-size picture.
    std::function<void(int button, double x, double y)> on_mouse_down;
    // After a press: the code of the piece that a drag from the press's
    // position would carry (the mover's piece selected there), if any.
    std::function<std::optional<int>(double x, double y)> drag_piece;
    // While dragging: the grid cell (column, row) the piece would come to
    // rest on if let go at (x, y), if a move there is allowed.
    std::function<std::optional<QPoint>(double x, double y)> drag_landing;
    // The piece was let go at (x, y), on another cell than it was lifted from.
    std::function<void(int button, double x, double y)> drag_drop;

    // While a piece is dragged: the pointer has moved it off its cell.
    bool dragging() const { return drag_ && drag_->moving; }
    // The landing cell shown, while dragging.
    std::optional<QPoint> landing() const { return drag_ ? drag_->landing : std::nullopt; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Drag {
        Qt::MouseButton button;
        int game_button;
        QPointF press;        // widget position of the press
        QPoint press_pixel;   // its logical pixel
        int code;             // the piece carried
        bool moving = false;  // off its cell by more than a twitch
        QPointF at;           // the pointer
        std::optional<QPoint> landing;
    };
    void update_scale();
    void paint_drag(class QPainter& p);
    // The piece `code` without its cell, at the scale shown.
    QImage lifted_piece(int code) const;

    QImage image_;
    qreal dpr_ = 1;
    ScaledView scaled_;
    QSize base_;
    double view_scale_ = 1;
    std::optional<Drag> drag_;
};

}  // namespace zemtori
