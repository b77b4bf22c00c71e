#include "qt/scaled_view.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>

#include <algorithm>

#include "art/art.h"
#include "art/picture_names.h"
#include "port/geometry.h"

namespace zemtori {

namespace {

// The picture sets kept: the scales a player goes back and forth between.
constexpr std::size_t CACHED_SCALES = 3;
// Room around a text's box for what its glyphs paint beyond it at a scale.
constexpr int TEXT_MARGIN = 3;
// The title's picture code: the only picture with clear pixels, below its plate.
constexpr int TITLE_GA_CODE = 1;

QColor palette_colour(int index) {
    const Rgb c = PALETTE[index >= 0 && index < 16 ? index : 0];
    return QColor(c.r, c.g, c.b);
}

QFont text_font(int pixel_size, bool bold) {
    QFont font(QStringLiteral("IPAPMincho"));
    font.setPixelSize(pixel_size);
    font.setBold(bold);
    return font;
}

}  // namespace

int logical_pixel(int device, double d) {
    int v = static_cast<int>(std::floor(device / d));
    while (device_position(v + 1, d) <= device) ++v;
    while (device_position(v, d) > device) --v;
    return v;
}

ScaledPictures ScaledPictures::draw(double scale) {
    const std::atomic<bool> never{false};
    return *draw(scale, never, art::picture);
}

std::optional<ScaledPictures> ScaledPictures::draw(double scale, const std::atomic<bool>& stop,
                                                   const PictureMaker& make) {
    ScaledPictures set;
    set.scale = scale;
    for (const int code : PICTURE_CODES) {
        if (stop) return std::nullopt;
        QImage image = make(code, scale);
        set.images[code] = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                         : QImage::Format_RGB32);
    }
    return set;
}

ScaledView::ScaledView(QSize logical_size, QObject* parent)
    : QObject(parent), make_picture(art::picture), logical_size_(logical_size) {
    debounce_.setSingleShot(true);
    connect(&debounce_, &QTimer::timeout, this, [this] { want_pictures(); });
}

// The worker stops after the picture it draws; what it posts is dropped with
// this object.
ScaledView::~ScaledView() {
    stop_drawing();
    if (worker_.joinable()) worker_.join();
}

// --- what is drawn ----------------------------------------------------------

void ScaledView::picture(int code, QPoint at, QSize size) {
    add(Op{Op::Picture, code, QRect(at, size), {}, 0, false, QRect(at, size), true});
}

void ScaledView::outline(int colour, QRect rect) {
    add(Op{Op::Outline, colour, rect, {}, 0, false, rect, false});
}

// A text's bounds are measured only when the hidden drawings are forgotten:
// most texts are drawn over before that, and measuring each as it is drawn
// would slow the first picture of the game.
void ScaledView::text(QPoint at, const QString& text, int colour, int pixel_size, bool bold) {
    add(Op{Op::Text, colour, QRect(at, QSize(1, 1)), text, pixel_size, bold, QRect(), false});
}

QRect ScaledView::bounds_of(Op& op) const {
    if (op.kind == Op::Text && op.bounds.isNull()) {
        const QFontMetrics metrics(text_font(op.pixel_size, op.bold));
        const QRect box =
            metrics.boundingRect(QRect(op.rect.topLeft(), logical_size_), Qt::AlignLeft | Qt::AlignTop, op.text);
        op.bounds = box.united(op.rect).adjusted(-TEXT_MARGIN, -TEXT_MARGIN, TEXT_MARGIN, TEXT_MARGIN);
    }
    return op.bounds;
}

void ScaledView::add(Op op) {
    // Also while a new scale's pictures are drawn: the last image is shown
    // stretched meanwhile.
    if (wanted_ > 0 && !image_.isNull() && pictures_) paint(image_, op, *pictures_);
    ops_.push_back(std::move(op));
    if (ops_.size() >= forget_at_) forget_hidden();
}

// From the newest drawing back: a drawing that the opaque pictures after it
// cover wholly is never seen again.
void ScaledView::forget_hidden() {
    QRegion covered;
    std::vector<Op> kept;
    kept.reserve(ops_.size());
    for (auto it = ops_.rbegin(); it != ops_.rend(); ++it) {
        if (QRegion(bounds_of(*it)).subtracted(covered).isEmpty()) continue;
        // Only the title's plate is opaque; the rows below it are clear.
        if (it->opaque) covered += it->kind == Op::Picture && it->value == TITLE_GA_CODE
                                       ? QRect(it->rect.topLeft(), QSize(it->rect.width(), art::TITLE_PLATE_H))
                                       : it->bounds;
        kept.push_back(std::move(*it));
    }
    std::reverse(kept.begin(), kept.end());
    ops_ = std::move(kept);
    forget_at_ = std::max<std::size_t>(4096, 2 * ops_.size());
}

// One drawing at the pictures' scale, in device pixels on an image whose
// device pixel ratio is 1.
void ScaledView::paint(QImage& image, const Op& op, const ScaledPictures& pictures) {
    const double d = pictures.scale;
    const auto X = [d](int v) { return device_position(v, d); };
    QPainter p(&image);
    switch (op.kind) {
    case Op::Picture: {
        const QImage* picture = pictures.find(op.value);
        if (!picture) return;
        const QRect& r = op.rect;
        // Cut to the device pixels the logical rectangle covers here; the
        // title only down to the end of its plate.
        const int bottom = op.value == TITLE_GA_CODE ? r.top() + art::TITLE_PLATE_H : r.top() + r.height();
        const QRect source(0, 0, X(r.left() + r.width()) - X(r.left()), X(bottom) - X(r.top()));
        p.drawImage(QPoint(X(r.left()), X(r.top())), *picture, source);
        return;
    }
    case Op::Outline: {
        const QRect& r = op.rect;
        const int l = r.left(), t = r.top(), rr = r.right(), b = r.bottom();
        const QColor c = palette_colour(op.value);
        const int w = X(rr + 1) - X(l), h = X(b + 1) - X(t);
        p.fillRect(QRect(X(l), X(t), w, X(t + 1) - X(t)), c);
        p.fillRect(QRect(X(l), X(b), w, X(b + 1) - X(b)), c);
        p.fillRect(QRect(X(l), X(t), X(l + 1) - X(l), h), c);
        p.fillRect(QRect(X(rr), X(t), X(rr + 1) - X(rr), h), c);
        return;
    }
    case Op::Text: {
        // The glyphs drawn at the scale, so they are as sharp as the screen allows.
        p.translate(X(op.rect.left()), X(op.rect.top()));
        p.scale(d, d);
        p.setFont(text_font(op.pixel_size, op.bold));
        p.setPen(palette_colour(op.value));
        const QSizeF room(image.width() / d, image.height() / d);
        p.drawText(QRectF(QPointF(0, 0), room), Qt::AlignLeft | Qt::AlignTop, op.text);
        return;
    }
    }
}

QImage ScaledView::render(const ScaledPictures& pictures) const {
    const double d = pictures.scale;
    QImage image(art::device_pixels(logical_size_.width(), d), art::device_pixels(logical_size_.height(), d),
                 QImage::Format_RGB32);
    image.fill(palette_colour(MIDORI_IRO));
    for (const Op& op : ops_) paint(image, op, pictures);
    return image;
}

// --- the scale ----------------------------------------------------------------

void ScaledView::set_scale(double d) {
    if (d == wanted_) return;
    wanted_ = d;
    // A set for another scale is not worth finishing: a window dragged
    // larger asks for many scales on its way.
    if (drawing_ != 0 && drawing_ != d) stop_drawing();
    if (d <= 0) {
        // Back at the first size: the canvas's own image is shown.
        debounce_.stop();
        image_ = QImage();
        shown_ = 0;
        return;
    }
    for (auto it = cache_.begin(); it != cache_.end(); ++it)
        if ((*it)->scale == d) {
            // Drawn lately: the image is made at once.
            auto set = *it;
            cache_.erase(it);
            cache_.push_back(set);
            show(set);
            return;
        }
    debounce_.start(debounce_ms);
}

void ScaledView::want_pictures() {
    if (wanted_ <= 0 || shown_ == wanted_) return;
    if (drawing_ != 0) return;  // started again when the drawing under way is done
    // Painting on an image, glyphs included, is allowed off the main thread.
    start_drawing(wanted_);
}

void ScaledView::start_drawing(double d) {
    if (worker_.joinable()) worker_.join();
    drawing_ = d;
    job_stop_ = std::make_shared<std::atomic<bool>>(false);
    worker_ = std::thread([this, d, stop = job_stop_, make = make_picture] {
        std::optional<ScaledPictures> drawn_set = ScaledPictures::draw(d, *stop, make);
        std::shared_ptr<const ScaledPictures> set;
        if (drawn_set) set = std::make_shared<const ScaledPictures>(std::move(*drawn_set));
        QMetaObject::invokeMethod(this, [this, d, set] { drawn(d, set); }, Qt::QueuedConnection);
    });
}

void ScaledView::stop_drawing() {
    if (job_stop_) *job_stop_ = true;
}

// The worker is done: a whole set is kept for later, and the image made with
// it if its scale is still the one asked for; a stopped set leaves room for
// the scale asked for now.
void ScaledView::drawn(double d, std::shared_ptr<const ScaledPictures> set) {
    if (drawing_ == d) {
        drawing_ = 0;
        if (worker_.joinable()) worker_.join();
    }
    if (set && std::find(cache_.begin(), cache_.end(), set) == cache_.end()) {
        cache_.push_back(set);
        if (cache_.size() > CACHED_SCALES) cache_.erase(cache_.begin());
    }
    if (set && set->scale == wanted_) show(set);
    else if (wanted_ > 0 && shown_ != wanted_) want_pictures();
}

void ScaledView::show(std::shared_ptr<const ScaledPictures> set) {
    pictures_ = set;
    image_ = render(*set);
    shown_ = set->scale;
    emit ready();
}

}  // namespace zemtori
