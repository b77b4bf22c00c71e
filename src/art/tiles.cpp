// The five background tiles.  Tiles are laid every cell (41 x 33 pixels) and
// are one row taller than a cell, so every texture here repeats with exactly
// that period and the extra row equals the first.
#include <cmath>

#include "art/art.h"
#include "art/texture.h"
#include "port/geometry.h"

namespace zemtori::art {

namespace {

constexpr double PU = TILE_W;       // horizontal period
constexpr double PV = TILE_H - 1;   // vertical period: the tile below covers the last row

double wrapd(double a, double p) { return a - std::floor(a / p) * p; }

// Shortest distance between two coordinates on a circle of length p.
double cyc(double a, double b, double p) {
    const double d = std::fabs(wrapd(a - b, p));
    return std::min(d, p - d);
}

// Cloth of deep green: a soft mottle and a fine diagonal twill.
QColor midori(double u, double v) {
    const double mottle = fbm(u, v, PU, PV, 3, 3, 3, 21);
    const double twill = 0.5 + 0.5 * std::sin(2 * M_PI * (u / PU * 10 + v / PV * 8));
    const double grain = hash01(static_cast<int>(wrapd(std::floor(u * 2), PU * 2)),
                                static_cast<int>(wrapd(std::floor(v * 2), PV * 2)), 23);
    const double k = 0.84 + 0.22 * mottle + 0.05 * twill + 0.05 * grain;
    return rgb(22 * k, 118 * k, 44 * k);
}

// Woven rush: straws running along the rows, bound by warp threads.
QColor tatami(double u, double v) {
    constexpr double straw = PV / 11.0;  // eleven straws a period
    const int row = wrap(static_cast<int>(std::floor(v / straw)), 11);
    const double t = wrapd(v, PV) / straw - row;     // 0 at the top of a straw, 1 at its bottom
    const double round = std::sin(M_PI * t);
    const double tone = fbm(u, row * 3.0, PU, PV, 2, 11, 2, 31);
    QColor straw_c = mix(QColor(176, 178, 104), QColor(206, 196, 128), tone);
    // The warp passes over every other straw, alternating along the row.
    const double phase = (row % 2) ? PU / 4 : PU * 3 / 4;
    const double warp = std::min(cyc(u, phase, PU / 2), 1.6) / 1.6;
    double k = 0.72 + 0.34 * round;
    k *= 0.86 + 0.14 * warp;
    k *= 0.96 + 0.06 * hash01(static_cast<int>(wrapd(std::floor(u), PU)), row, 37);
    return scaled(straw_c, k);
}

// Bamboo: two stalks side by side, each with a node, over a dark thicket.
QColor take(double u, double v) {
    struct Stalk { double left, width, node; };
    static const Stalk stalks[] = {{1.0, 19.0, 9.0}, {21.5, 18.5, 25.0}};
    for (const Stalk& s : stalks) {
        const double x = (u - s.left) / s.width;
        if (x < 0 || x > 1) continue;
        // Cylinder shading with the light from the upper left.
        const double n = 2 * x - 1;
        const double lit = std::sqrt(std::max(0.0, 1 - n * n));
        double k = 0.45 + 0.55 * lit + 0.25 * std::exp(-std::pow((x - 0.3) / 0.09, 2));
        const double streak = fbm(u * 3, v * 0.25, PU * 3, PV * 0.25, 12, 1, 2, 41);
        QColor c = mix(QColor(92, 148, 58), QColor(142, 182, 84), streak);
        // The node: a dark ring with a pale ridge just below it.
        const double dn = wrapd(v - s.node + PV / 2, PV) - PV / 2;
        if (std::fabs(dn) < 0.8) k *= 0.55;
        else if (dn >= 0.8 && dn < 2.2) k *= 1.18;
        else if (dn > -2.4 && dn <= -0.8) k *= 0.88;
        return scaled(c, k);
    }
    const double depth = fbm(u, v, PU, PV, 2, 3, 2, 43);
    return rgb(18 + 20 * depth, 46 + 34 * depth, 20 + 16 * depth);
}

// Deep space: a faint nebula and scattered stars.
QColor uchu(double u, double v) {
    const double neb = fbm(u, v, PU, PV, 2, 2, 4, 51);
    const double neb2 = fbm(u, v, PU, PV, 3, 2, 3, 53);
    double r = 6 + 48 * std::pow(neb, 3) + 10 * neb2;
    double g = 6 + 14 * std::pow(neb2, 2);
    double b = 22 + 60 * std::pow(neb, 2) + 20 * neb2;
    struct Star { double x, y, bright, size; };
    static const Star stars[] = {
        {4.5, 6.5, 1.0, 0.9}, {17.5, 2.5, 0.6, 0.6}, {29.5, 11.5, 0.8, 0.7},
        {36.5, 27.5, 0.55, 0.6}, {11.5, 20.5, 0.7, 0.65}, {23.5, 29.5, 0.45, 0.55},
        {33.5, 4.5, 0.4, 0.5}, {8.5, 30.5, 0.35, 0.5}, {24.5, 17.5, 1.0, 1.2},
    };
    for (const Star& s : stars) {
        const double dx = cyc(u, s.x, PU), dy = cyc(v, s.y, PV);
        double glow = s.bright * std::exp(-(dx * dx + dy * dy) / (s.size * s.size));
        // The brightest star has a small cross of light.
        if (s.size > 1.0)
            glow += 0.35 * (std::exp(-dy * dy / 0.15) * std::exp(-dx / 2.5) +
                            std::exp(-dx * dx / 0.15) * std::exp(-dy / 2.5));
        r += 255 * glow;
        g += 250 * glow;
        b += 235 * glow;
    }
    return rgb(r, g, b);
}

// Red brick in courses of 11 pixels, each course's joint a third further on.
QColor renga(double u, double v) {
    constexpr double course = PV / 3.0;
    const int row = wrap(static_cast<int>(std::floor(v / course)), 3);
    const double y = wrapd(v, PV) - row * course;
    const double offset = row * PU / 3.0;
    const double x = wrapd(u - offset, PU);
    const bool mortar = y < 1.6 || x < 1.6;
    if (mortar) {
        const double m = fbm(u, v, PU, PV, 6, 6, 2, 61);
        return rgb(178 + 30 * m, 170 + 28 * m, 156 + 24 * m);
    }
    const double tone = hash01(row, 0, 67);
    QColor c = mix(QColor(150, 58, 38), QColor(182, 84, 52), tone);
    const double mottle = fbm(u, v, PU, PV, 5, 4, 3, 71);
    double k = 0.82 + 0.3 * mottle;
    // Bevel: lit top and left edges, shaded bottom and right.
    if (y < 2.6 || x < 2.6) k *= 1.12;
    if (y > course - 1.0 || x > PU - 1.0) k *= 0.78;
    return scaled(c, k);
}

}  // namespace

QImage background_tile(int code, double scale) {
    switch (code) {
    case 2: return shade(TILE_W, TILE_H, scale, midori);
    case 3: return shade(TILE_W, TILE_H, scale, tatami);
    case 4: return shade(TILE_W, TILE_H, scale, take);
    case 5: return shade(TILE_W, TILE_H, scale, uchu);
    case 6: return shade(TILE_W, TILE_H, scale, renga);
    default: return {};
    }
}

}  // namespace zemtori::art
