// The game's pictures, drawn from scratch.  Every function returns the picture
// at `scale` device pixels per logical pixel (1 for normal screens, 2 for
// high-density ones); logical sizes are those of port/geometry.h.
#pragma once

#include <QImage>

namespace zemtori::art {

// The plain light-wood board cell (picture code 0).
QImage empty_square(int scale);
// A piece standing on a board cell, pointing toward the opponent (codes
// +-10..+-80).
QImage piece(int code, int scale);
// A background tile that repeats without seams (codes 2..6).
QImage background_tile(int code, int scale);
// The title plate (code 1).
QImage title(int scale);

// The program's icon, `size` pixels square, and the same drawing as SVG.
QImage icon(int size);
QByteArray icon_svg();

// Any of the above by picture code; a null image for a code without one.
QImage picture(int code, int scale);

// The Mincho family used for the ink; empty when none is installed.
QString mincho_family();

}  // namespace zemtori::art
