// The canvas drawn larger than its first size: every drawing the game made
// is kept (what later opaque pictures hide is forgotten), so the whole
// picture can be drawn again at any scale, sharp, with the pictures drawn
// anew by the art generator at that scale.
//
// Positions are logical pixels of the canvas at its first size.  At device
// scale d (device pixels per logical pixel: the screen's ratio times the
// window's scale) logical position v lies on device pixel round(v * d); a
// picture, an outline or a cell covers the device pixels between its edges
// so mapped, so neighbours meet without a gap or an overlap.
#pragma once

#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>

#include <atomic>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace zemtori {

// Draws the picture of a code at a scale (the art layer's drawing; tests
// put their own in its place).
using PictureMaker = std::function<QImage(int code, double scale)>;

// Every picture of the game drawn at one scale, in the formats the canvas
// draws fastest.
struct ScaledPictures {
    double scale = 1;
    std::map<int, QImage> images;
    const QImage* find(int code) const {
        const auto it = images.find(code);
        return it == images.end() ? nullptr : &it->second;
    }
    // Draws every picture at `scale` (the art layer's drawing).
    static ScaledPictures draw(double scale);
    // The same with `make`, looking at `stop` before each picture: once it is
    // set, the pictures not drawn yet are left and nothing is returned.
    static std::optional<ScaledPictures> draw(double scale, const std::atomic<bool>& stop, const PictureMaker& make);
};

// Logical position v on the device pixels of scale d.
inline int device_position(double v, double d) { return static_cast<int>(std::lround(v * d)); }
// The logical pixel a device pixel belongs to: the last one whose device
// position is not beyond it.
int logical_pixel(int device, double d);

class ScaledView : public QObject {
    Q_OBJECT
public:
    // `logical_size` is the canvas's image in logical pixels.
    explicit ScaledView(QSize logical_size, QObject* parent = nullptr);
    ~ScaledView() override;

    // The drawings, as the window makes them on its first-size image.
    void picture(int code, QPoint at, QSize size);
    void outline(int colour, QRect rect);  // one-pixel bars along the edges of `rect`
    void text(QPoint at, const QString& text, int colour, int pixel_size, bool bold);

    // The device scale the canvas shows at; 0 when it shows its first-size
    // image and nothing here is drawn.  A scale whose pictures are not drawn
    // yet gets them on a worker thread after `debounce_ms` without a further
    // change; `ready` says when its image is there.  The worker stops between
    // two pictures when another scale is asked for before it is done, and
    // when the view goes, so that neither waits for a whole set.
    void set_scale(double d);
    double scale() const { return wanted_; }
    // The image at the scale asked for, or nullptr while its pictures are drawn.
    const QImage* image() const { return shown_ == wanted_ && wanted_ > 0 ? &image_ : nullptr; }
    // The last image made, at whatever scale (nullptr before the first).
    const QImage* last_image() const { return image_.isNull() ? nullptr : &image_; }
    double last_scale() const { return shown_; }
    // The pictures of the image shown.
    const ScaledPictures* pictures() const { return pictures_.get(); }
    int debounce_ms = 120;
    // How the worker draws each picture.
    PictureMaker make_picture;
    // The scale the worker draws now, 0 when it draws none; and whether it
    // has been told to stop.
    double drawing() const { return drawing_; }
    bool stop_requested() const { return job_stop_ && *job_stop_; }

    // Everything drawn so far, drawn again at device scale `d` with
    // `pictures` into an image of the logical size at d.
    QImage render(const ScaledPictures& pictures) const;
    // How many drawings are kept.
    std::size_t kept() const { return ops_.size(); }
    // Forgets the drawings that later opaque pictures cover wholly (done
    // whenever the kept ones have doubled).
    void forget_hidden();

signals:
    // The image at the scale asked for is there.
    void ready();

private:
    struct Op {
        enum Kind { Picture, Outline, Text } kind;
        int value;  // the picture code or the colour
        QRect rect;  // the picture's or the outline's rectangle; the text's top-left
        QString text;
        int pixel_size = 0;
        bool bold = false;
        QRect bounds;   // what it may paint (a text's measured when first needed)
        bool opaque = false;  // `bounds` wholly painted over
    };
    void add(Op op);
    QRect bounds_of(Op& op) const;
    static void paint(QImage& image, const Op& op, const ScaledPictures& pictures);
    void want_pictures();
    void start_drawing(double d);
    void stop_drawing();
    // The worker's set at scale `d` is done, or stopped (`pictures` null).
    void drawn(double d, std::shared_ptr<const ScaledPictures> pictures);
    // The image made anew with `pictures`, which are at the scale asked for.
    void show(std::shared_ptr<const ScaledPictures> pictures);

    QSize logical_size_;
    std::vector<Op> ops_;
    std::size_t forget_at_ = 4096;
    double wanted_ = 0, shown_ = 0;
    QImage image_;
    std::shared_ptr<const ScaledPictures> pictures_;
    // The picture sets drawn lately, the newest last.
    std::vector<std::shared_ptr<const ScaledPictures>> cache_;
    QTimer debounce_;
    std::thread worker_;
    double drawing_ = 0;  // the scale the worker draws, 0 when none
    // The stop of the worker's present set (each set has its own, so that
    // a set told to stop never stops the next).
    std::shared_ptr<std::atomic<bool>> job_stop_;
};

}  // namespace zemtori
