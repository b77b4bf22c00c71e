// The program's icon: a pale-wood piece falling on the game's green cloth,
// with speed lines above it.  It is described once as flat shapes on a
// 256-unit square, painted into PNGs at each size and written out as SVG
// paths, so the scalable icon and the pixel ones are the same drawing.
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <vector>

#include "art/art.h"

namespace zemtori::art {

namespace {

constexpr double UNITS = 256;

struct Shape {
    QPainterPath path;
    QColor fill;           // Qt::transparent for none
    QColor stroke;         // Qt::transparent for none
    double stroke_width = 0;
};

// The drawing for an icon `size` pixels wide (0: scalable).  Small sizes
// drop what would only blur: the ink below 48 px, the outer speed lines
// below 24 px, and their strokes thicken so that none falls under a pixel.
std::vector<Shape> icon_shapes(int size) {
    const bool small = size > 0 && size < 24, inked = size == 0 || size >= 48;
    const double px = size > 0 ? UNITS / size : 1;  // one pixel in units
    std::vector<Shape> shapes;

    QPainterPath cloth;
    cloth.addRoundedRect(QRectF(8, 8, 240, 240), 40, 40);
    shapes.push_back({cloth, QColor(24, 110, 52), QColor(10, 62, 28), std::max(8.0, 1.0 * px)});

    // Speed lines above the piece.
    const double line_w = std::max(12.0, 1.6 * px);
    auto line = [&](double x, double top, double bottom) {
        QPainterPath p;
        p.moveTo(x, top);
        p.lineTo(x, bottom);
        shapes.push_back({p, Qt::transparent, QColor(210, 236, 196), line_w});
    };
    line(128, 30, small ? 84 : 92);
    if (!small) {
        line(92, 40, 80);
        line(164, 40, 80);
    }

    // The piece, pointing down as it falls, tilted a little.
    QPainterPath body;
    body.moveTo(-62, -50);
    body.lineTo(62, -50);
    body.lineTo(52, 30);
    body.lineTo(0, 70);
    body.lineTo(-52, 30);
    body.closeSubpath();
    QTransform place;
    place.translate(128, 158);
    place.rotate(-8);
    shapes.push_back({place.map(body), QColor(246, 222, 166), QColor(92, 50, 18), std::max(9.0, 1.2 * px)});

    if (inked) {
        QFont font(mincho_family());
        font.setPixelSize(200);
        QPainterPath ink;
        ink.addText(0, 0, font, QStringLiteral("落"));
        const QRectF br = ink.boundingRect();
        QTransform t;
        t.translate(128, 150);
        t.rotate(-8);
        t.scale(78 / br.height(), 78 / br.height());
        t.translate(-br.center().x(), -br.center().y());
        shapes.push_back({t.map(ink), QColor(176, 18, 18), Qt::transparent, 0});
    }
    return shapes;
}

QString svg_colour(const QColor& c) { return c.alpha() == 0 ? QStringLiteral("none") : c.name(); }

QString svg_path(const QPainterPath& path) {
    QString d;
    auto num = [](double v) { return QString::number(v, 'f', 2); };
    QPointF start;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            d += QStringLiteral("M%1 %2").arg(num(e.x), num(e.y));
            start = e;
        } else if (e.isLineTo()) {
            // A line back to where the outline began closes it, joined.
            d += QPointF(e) == start ? QStringLiteral("Z") : QStringLiteral("L%1 %2").arg(num(e.x), num(e.y));
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                     .arg(num(e.x), num(e.y), num(c2.x), num(c2.y), num(end.x), num(end.y));
            i += 2;
        }
    }
    return d;
}

}  // namespace

QImage icon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / UNITS, size / UNITS);
    for (const Shape& s : icon_shapes(size)) {
        p.setBrush(s.fill.alpha() ? QBrush(s.fill) : QBrush(Qt::NoBrush));
        p.setPen(s.stroke.alpha() ? QPen(s.stroke, s.stroke_width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                                  : QPen(Qt::NoPen));
        p.drawPath(s.path);
    }
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

QByteArray icon_svg() {
    QString svg = QStringLiteral(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n");
    for (const Shape& s : icon_shapes(0)) {
        svg += QStringLiteral("  <path fill=\"%1\" fill-rule=\"%2\" stroke=\"%3\" stroke-width=\"%4\" "
                              "stroke-linecap=\"round\" stroke-linejoin=\"round\" d=\"%5\"/>\n")
                   .arg(svg_colour(s.fill),
                        s.path.fillRule() == Qt::OddEvenFill ? QStringLiteral("evenodd") : QStringLiteral("nonzero"),
                        svg_colour(s.stroke), QString::number(s.stroke_width), svg_path(s.path));
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

}  // namespace zemtori::art
