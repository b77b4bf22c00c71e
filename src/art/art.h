// The game's pictures, drawn from scratch.  Every function returns the picture
// at `scale` device pixels per logical pixel (1 for normal screens, 2 for
// high-density ones, anything from 1 up for a window drawn larger); logical
// sizes are those of port/geometry.h.  A picture of w logical pixels is
// device_pixels(w, scale) wide: at a scale that is not whole its last column
// and row are only partly inside the logical rectangle, and whoever places it
// cuts it to the device pixels its rectangle covers there.
#pragma once

#include <QImage>

#include <cmath>

#include "port/geometry.h"

namespace zemtori::art {

// The device pixels of `logical` pixels at `scale`, the last partial one included.
inline int device_pixels(int logical, double scale) {
    return static_cast<int>(std::ceil(logical * scale - 1e-9));
}

// The title's plate: its rows above the transparent ones.  The plate hangs
// from grid row -0.2 and stops where grid row 2 begins, whose background the
// lower side's move text repaints.
constexpr int TITLE_PLATE_H = to_pixels(grid_y(2)) - to_pixels(grid_y(-0.2));
static_assert(TITLE_PLATE_H > 60 && TITLE_PLATE_H <= TITLE_H);

// The plain light-wood board cell (picture code 0).
QImage empty_square(double scale);
// A piece standing on a board cell, pointing toward the opponent (codes
// +-10..+-80).
QImage piece(int code, double scale);
// A background tile that repeats without seams (codes 2..6).
QImage background_tile(int code, double scale);
// The title plate (code 1).
QImage title(double scale);

// The program's icon, `size` pixels square, and the same drawing as SVG.
QImage icon(int size);
QByteArray icon_svg();

// Any of the above by picture code; a null image for a code without one.
QImage picture(int code, double scale);

// The Mincho family used for the ink; empty when none is installed.
QString mincho_family();

}  // namespace zemtori::art
