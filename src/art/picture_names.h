// The file name of every picture the game paints, by picture code.  The art
// generator writes these files and the window reads them; both take the names
// from here.  Files are PNG, "<name>.png" at logical size and "<name>@2x.png"
// at twice that size for high-density screens.
#pragma once

#include <array>
#include <string>

#include "port/geometry.h"

namespace zemtori {

// Every code that has a picture: the empty square, the title, the five
// background tiles and the 28 piece codes.
constexpr std::array<int, 35> PICTURE_CODES = {
    0,   1,   2,   3,   4,   5,   6,
    10,  11,  20,  21,  30,  31,  40,  41,  50,  60,  61,  70,  71,  80,
    -10, -11, -20, -21, -30, -31, -40, -41, -50, -60, -61, -70, -71, -80,
};

// The size, in logical pixels, that the game draws the picture of `code` at:
// the title, a background tile (one row taller than a cell) or a cell.
constexpr int picture_width(int code) { return code == 1 ? TITLE_W : code >= 2 && code <= 6 ? TILE_W : PIECE_W; }
constexpr int picture_height(int code) { return code == 1 ? TITLE_H : code >= 2 && code <= 6 ? TILE_H : PIECE_H; }

// The picture's name ("KARA_MASU", "UE_HU_0", "SITA_KIN", "HAIKEI_TAKE"...),
// or an empty string for a code without a picture.
inline std::string picture_name(int code) {
    switch (code) {
    case 0: return "KARA_MASU";
    case 1: return "TITLE_GA";
    case 2: return "HAIKEI_MIDORI";
    case 3: return "HAIKEI_TATAMI";
    case 4: return "HAIKEI_TAKE";
    case 5: return "HAIKEI_UCHU";
    case 6: return "HAIKEI_RENGA";
    default: break;
    }
    const int m = code < 0 ? -code : code;
    const char* kind = nullptr;
    bool promotes = true;
    switch (m / 10) {
    case 1: kind = "HU"; break;
    case 2: kind = "KYOU"; break;
    case 3: kind = "KEI"; break;
    case 4: kind = "GIN"; break;
    case 5: kind = "KIN"; promotes = false; break;
    case 6: kind = "KAKU"; break;
    case 7: kind = "SYA"; break;
    case 8: kind = "OU"; promotes = false; break;
    default: return {};
    }
    const int item = m % 10;
    if (item > 1 || (!promotes && item != 0)) return {};
    std::string name = std::string(code > 0 ? "UE_" : "SITA_") + kind;
    if (promotes) name += item == 0 ? "_0" : "_1";
    return name;
}

}  // namespace zemtori
