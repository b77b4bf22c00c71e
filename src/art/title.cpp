// The title plate: the program's name carved into a wooden board, with a
// piece falling down its right-hand side.
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "art/art.h"
#include "art/texture.h"
#include "port/geometry.h"

namespace zemtori::art {

namespace {

QColor plate_wood(double u, double v) {
    const double wobble = 5.0 * fbm(u, v, TITLE_W, TITLE_H, 3, 2, 2, 81);
    const double grain = 0.5 + 0.5 * std::sin((v * 0.9 + wobble) * 1.3 + u * 0.02);
    const double fine = fbm(u, v, TITLE_W, TITLE_H, 30, 8, 2, 83);
    return mix(QColor(226, 186, 118), QColor(196, 150, 84), 0.5 * grain * grain + 0.4 * fine);
}

// Text as a path with the given pixel size, its ink centred on (cx, cy).
QPainterPath text_path(const QFont& base, double pixel_size, const QString& text, double cx,
                       double cy, double spacing = 0) {
    QFont font(base);
    font.setPixelSize(200);
    font.setHintingPreference(QFont::PreferNoHinting);
    if (spacing != 0) font.setLetterSpacing(QFont::AbsoluteSpacing, spacing * 200 / pixel_size);
    QPainterPath path;
    path.addText(0, 0, font, text);
    QTransform t;
    t.scale(pixel_size / 200, pixel_size / 200);
    path = t.map(path);
    const QRectF br = path.boundingRect();
    path.translate(cx - br.center().x(), cy - br.center().y());
    return path;
}

// A small piece pointing down, with the ink upright.
void falling_piece(QPainter& p, double cx, double top, double w, double h, const QFont& font) {
    QPainterPath body;
    body.moveTo(cx - w / 2, top);
    body.lineTo(cx + w / 2, top);
    body.lineTo(cx + w * 0.42, top + h * 0.72);
    body.lineTo(cx, top + h);
    body.lineTo(cx - w * 0.42, top + h * 0.72);
    body.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 30, 10, 80));
    p.drawPath(body.translated(1.2, 1.5));
    QLinearGradient g(cx - w / 2, top, cx + w / 2, top + h);
    g.setColorAt(0, QColor(253, 238, 196));
    g.setColorAt(1, QColor(228, 190, 120));
    p.setBrush(g);
    p.setPen(QPen(QColor(110, 70, 30), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(body);
    const QPainterPath ink = text_path(font, h * 0.62, QStringLiteral("落"), cx, top + h * 0.42);
    p.setBrush(QColor(176, 18, 18));
    p.setPen(QPen(QColor(176, 18, 18), 0.5));
    p.drawPath(ink);
}

}  // namespace

// The title hangs from grid row -0.2 and its last rows would reach into grid
// row 2, where the lower side's move text repaints the background.  The plate
// stops short of that row; the rows below it are transparent, so they show
// whatever background lies there, before and after the move text.
constexpr int PLATE_H = TITLE_PLATE_H;

QImage title(double scale) {
    QImage plate = shade(TITLE_W, PLATE_H, scale, plate_wood);
    QPainter p(&plate);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);

    // A dark lacquered frame with a thin gold line inside it.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(62, 30, 12), 4));
    p.drawRect(QRectF(2, 2, TITLE_W - 4, PLATE_H - 4));
    p.setPen(QPen(QColor(214, 172, 74), 1));
    p.drawRect(QRectF(5.5, 5.5, TITLE_W - 11, PLATE_H - 11));
    p.setPen(QPen(QColor(255, 236, 190, 90), 1));
    p.drawLine(QPointF(7, 7), QPointF(TITLE_W - 7, 7));

    const QFont mincho(mincho_family());

    // The name, carved: a light lower edge, a dark upper edge, then the ink.
    const double name_cx = 96, name_cy = 30;
    const QPainterPath name = text_path(mincho, 44, QStringLiteral("ゼムトリ"), name_cx, name_cy, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 240, 200, 200));
    p.drawPath(name.translated(1.2, 1.4));
    p.setBrush(QColor(70, 36, 12, 160));
    p.drawPath(name.translated(-0.9, -0.9));
    p.setBrush(QColor(22, 14, 8));
    p.setPen(QPen(QColor(22, 14, 8), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(name);

    // The Latin name beneath, spaced out between two rules.
    QFont serif(mincho);
    const QPainterPath latin = text_path(serif, 12, QStringLiteral("ZEMTORI"), name_cx, 57, 4.5);
    const QRectF lb = latin.boundingRect();
    p.setPen(QPen(QColor(150, 26, 20), 1.0));
    p.drawLine(QPointF(22, 57), QPointF(lb.left() - 7, 57));
    p.drawLine(QPointF(lb.right() + 7, 57), QPointF(170, 57));
    p.setPen(QPen(QColor(150, 26, 20), 0.35));
    p.setBrush(QColor(150, 26, 20));
    p.drawPath(latin);

    // A piece falling down the right side, with speed lines above it.
    const double px = 203;
    p.setPen(QPen(QColor(90, 50, 20, 150), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(px - 7, 10), QPointF(px - 7, 23));
    p.drawLine(QPointF(px, 9), QPointF(px, 27));
    p.drawLine(QPointF(px + 7, 10), QPointF(px + 7, 23));
    falling_piece(p, px, 28, 26, 33, mincho);
    p.end();

    QImage img(device_pixels(TITLE_W, scale), device_pixels(TITLE_H, scale), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter whole(&img);
    whole.drawImage(0, 0, plate);
    return img;
}

QImage picture(int code, double scale) {
    if (code == 0) return empty_square(scale);
    if (code == 1) return title(scale);
    if (code >= 2 && code <= 6) return background_tile(code, scale);
    return piece(code, scale);
}

}  // namespace zemtori::art
