// Small helpers for drawing textures pixel by pixel: a deterministic hash,
// value noise that wraps around a rectangle (so tiles repeat without seams),
// and colour arithmetic.
#pragma once

#include <QColor>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "art/art.h"

namespace zemtori::art {

// A well-mixed 32-bit hash of two integers and a seed.
inline std::uint32_t hash3(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

// Uniform in [0, 1).
inline double hash01(int x, int y, std::uint32_t seed) {
    return (hash3(x, y, seed) >> 8) / double(1u << 24);
}

inline int wrap(int i, int n) { return ((i % n) + n) % n; }

// Value noise on a torus of nx x ny lattice cells; coordinates are in lattice
// units, so noise.at(u * nx / period_u, v * ny / period_v) repeats with the
// given periods.
class TorusNoise {
public:
    TorusNoise(int nx, int ny, std::uint32_t seed) : nx_(nx), ny_(ny), seed_(seed) {}

    double at(double u, double v) const {
        const int x0 = static_cast<int>(std::floor(u)), y0 = static_cast<int>(std::floor(v));
        const double fx = smooth(u - x0), fy = smooth(v - y0);
        const double a = lattice(x0, y0), b = lattice(x0 + 1, y0);
        const double c = lattice(x0, y0 + 1), d = lattice(x0 + 1, y0 + 1);
        return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
    }

private:
    static double smooth(double t) { return t * t * (3 - 2 * t); }
    double lattice(int x, int y) const { return hash01(wrap(x, nx_), wrap(y, ny_), seed_); }
    int nx_, ny_;
    std::uint32_t seed_;
};

// Fractal noise in [0, 1) with `octaves` layers, each twice as fine as the
// last; periodic over (period_u, period_v) in pixels.
inline double fbm(double u, double v, double period_u, double period_v, int nx, int ny,
                  int octaves, std::uint32_t seed) {
    double sum = 0, amp = 0.5, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        const TorusNoise n(nx << o, ny << o, seed + 101u * o);
        sum += amp * n.at(u * (nx << o) / period_u, v * (ny << o) / period_v);
        norm += amp;
        amp *= 0.5;
    }
    return sum / norm;
}

inline int clamp255(double v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); }

inline QColor rgb(double r, double g, double b) {
    return QColor(clamp255(r), clamp255(g), clamp255(b));
}

inline QColor mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return rgb(a.red() + (b.red() - a.red()) * t, a.green() + (b.green() - a.green()) * t,
               a.blue() + (b.blue() - a.blue()) * t);
}

inline QColor scaled(const QColor& c, double k) { return rgb(c.red() * k, c.green() * k, c.blue() * k); }

// An image of w x h logical pixels at `scale` device pixels per logical pixel
// (device_pixels of each side), each device pixel coloured by f(u, v) at its
// centre in logical coordinates.
template <class F>
QImage shade(int w, int h, double scale, F f) {
    QImage img(device_pixels(w, scale), device_pixels(h, scale), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            line[x] = f((x + 0.5) / scale, (y + 0.5) / scale).rgb();
    }
    return img;
}

}  // namespace zemtori::art
