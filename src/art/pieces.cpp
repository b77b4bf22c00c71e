// The board cell and the pieces: pale-wood pentagons pointing toward the
// opponent, with the kind written upright in ink.
#include <QFontDatabase>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "art/art.h"
#include "art/texture.h"
#include "port/geometry.h"

namespace zemtori::art {

QString mincho_family() {
    const QStringList families = QFontDatabase::families();
    for (const char* want : {"IPAMincho", "IPAPMincho", "IPAexMincho"})
        if (families.contains(QString::fromLatin1(want))) return QString::fromLatin1(want);
    return {};
}

// Light wood with a soft, slightly wavy grain running along the rows.
static QColor cell_wood(double u, double v) {
    const double wobble = 3.0 * fbm(u, v, PIECE_W, PIECE_H, 2, 2, 2, 7);
    const double grain = 0.5 + 0.5 * std::sin((v + wobble) * 1.9);
    const double fine = fbm(u, v, PIECE_W, PIECE_H, 8, 6, 2, 11);
    const QColor light(239, 208, 146), dark(222, 184, 116);
    return mix(light, dark, 0.55 * grain * grain + 0.35 * fine);
}

QImage empty_square(double scale) {
    return shade(PIECE_W, PIECE_H, scale, cell_wood);
}

namespace {

struct Kind {
    const char16_t* plain;
    const char16_t* promoted;  // nullptr for kinds that never promote
    double size;               // relative size of the piece
};

Kind kind_of(int magnitude) {
    switch (magnitude / 10) {
    case 1: return {u"歩", u"と", 0.90};
    case 2: return {u"香", u"杏", 0.93};
    case 3: return {u"桂", u"圭", 0.94};
    case 4: return {u"銀", u"全", 0.96};
    case 5: return {u"金", nullptr, 0.96};
    case 6: return {u"角", u"馬", 1.0};
    case 7: return {u"飛", u"龍", 1.0};
    default: return {u"王", nullptr, 1.0};
    }
}

// The outline of a piece pointing right, centred on the cell: a broad back
// edge, sides narrowing slightly toward the shoulders, and the point.
QPainterPath pentagon(double size) {
    const double cx = PIECE_W / 2.0, cy = PIECE_H / 2.0;
    const double half_len = 17.5 * size, back_half = 14.0 * size, shoulder_half = 12.2 * size;
    const double back = cx - half_len, tip = cx + half_len, shoulder = tip - 10.0 * size;
    QPainterPath p;
    p.moveTo(back, cy - back_half);
    p.lineTo(shoulder, cy - shoulder_half);
    p.lineTo(tip, cy);
    p.lineTo(shoulder, cy + shoulder_half);
    p.lineTo(back, cy + back_half);
    p.closeSubpath();
    return p;
}

// The glyph as a path, centred on (cx, cy) with its ink `height` tall.
QPainterPath glyph(const QString& text, double cx, double cy, double height) {
    QFont font(mincho_family());
    font.setPixelSize(100);
    font.setHintingPreference(QFont::PreferNoHinting);
    QPainterPath path;
    path.addText(0, 0, font, text);
    // Scale by the em rather than by the ink, so small kana stay small.
    const double k = height / 100.0;
    QTransform t;
    t.scale(k, k);
    path = t.map(path);
    const QRectF br = path.boundingRect();
    path.translate(cx - br.center().x(), cy - br.center().y());
    return path;
}

}  // namespace

QImage piece(int code, double scale) {
    QImage img = empty_square(scale);
    const int m = code < 0 ? -code : code;
    const Kind kind = kind_of(m);
    const bool promoted = (m % 10) == 1 && kind.promoted;

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);

    // The lower side's pieces point left: mirror the body, never the ink.
    QTransform facing;
    if (code < 0) facing = QTransform(-1, 0, 0, 1, PIECE_W, 0);
    const QPainterPath body = facing.map(pentagon(kind.size));

    // A soft shadow on the board, down and away from the light.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 60, 25, 70));
    p.drawPath(body.translated(0.9, 1.1));

    QLinearGradient wood(0, 0, PIECE_W * 0.4, PIECE_H);
    wood.setColorAt(0.0, QColor(252, 236, 190));
    wood.setColorAt(0.55, QColor(243, 214, 152));
    wood.setColorAt(1.0, QColor(226, 190, 122));
    p.setBrush(wood);
    p.setPen(QPen(QColor(120, 80, 36), 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(body);

    // Faint grain on the piece, clipped to its face.
    p.save();
    p.setClipPath(body);
    p.setPen(QPen(QColor(200, 160, 95, 55), 0.6));
    for (double y = 4.5; y < PIECE_H; y += 3.3)
        p.drawLine(QPointF(0, y), QPointF(PIECE_W, y + 1.2));
    p.restore();

    // The ink sits over the broad part of the piece, behind the point.
    const double ink_cx = PIECE_W / 2.0 + (code > 0 ? -2.6 : 2.6) * kind.size;
    const QString text = QString::fromUtf16(promoted ? kind.promoted : kind.plain);
    const QPainterPath ink = glyph(text, ink_cx, PIECE_H / 2.0 + 0.2, 23.0 * kind.size);
    const QColor colour = promoted ? QColor(196, 16, 16) : QColor(18, 14, 10);
    p.setBrush(colour);
    p.setPen(QPen(colour, 0.55, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(ink);
    return img;
}

}  // namespace zemtori::art
