// The grid every element of the window is placed on, and the one place where
// grid positions, board squares and twips meet.
#pragma once

namespace zemtori {

constexpr int BAN_X0 = 1300;      // left edge of grid column 0, twips
constexpr int BAN_Y0 = 200;       // top edge of grid row 0, twips
constexpr int MASU_HABA = 615;    // cell width, twips
constexpr int MASU_TAKASA = 495;  // cell height, twips
constexpr int BAN_SIZE = 9;

constexpr int TWIPS_PER_PIXEL = 15;

// Window size, twips.
constexpr int WINDOW_WIDTH = 12000;
constexpr int WINDOW_HEIGHT = 7500;

// Top-left corner of grid position (c, r); c and r may be fractional.
constexpr double grid_x(double c) { return BAN_X0 + c * MASU_HABA; }
constexpr double grid_y(double r) { return BAN_Y0 + r * MASU_TAKASA; }

// The cell under a point in twips: the largest integer not above the grid
// coordinate, so points left of column 0 fall in column -1.
constexpr int floor_int(double v) {
    const int i = static_cast<int>(v);
    return (v < 0 && i != v) ? i - 1 : i;
}
constexpr int cell_column(double x) { return floor_int((x - BAN_X0) / MASU_HABA); }
constexpr int cell_row(double y) { return floor_int((y - BAN_Y0) / MASU_TAKASA); }

// Where a record file's title and players' names are printed, in twips
// (they are not placed on the grid): the names above and below the board,
// centred over it; the title left of the lower name.
constexpr double KIFU_UE_NAME_Y = 100;
constexpr double KIFU_SITA_NAME_Y = 6350;
constexpr double KIFU_TITLE_Y = KIFU_SITA_NAME_Y;
constexpr double KIFU_TITLE_SHIFT_X = -3000;

// Twips to pixels at 96 dpi, rounded to the nearest pixel.
constexpr int to_pixels(double twips) {
    const double p = twips / TWIPS_PER_PIXEL;
    return static_cast<int>(p >= 0 ? p + 0.5 : p - 0.5);
}

// Pixel sizes of the pictures.
constexpr int PIECE_W = 41, PIECE_H = 33;
constexpr int TILE_W = 41, TILE_H = 34;
constexpr int TITLE_W = 235, TITLE_H = 75;

// Palette indices in use.
enum : int { KURO = 0, MIDORI_IRO = 2, MIZUIRO = 11, AKA = 12, KIIRO = 14, SHIRO = 15 };

// RGB of the 16-colour palette, index 0..15.
struct Rgb { int r, g, b; };
constexpr Rgb PALETTE[16] = {
    {0, 0, 0},       {0, 0, 128},     {0, 128, 0},     {0, 128, 128},
    {128, 0, 0},     {128, 0, 128},   {128, 128, 0},   {192, 192, 192},
    {128, 128, 128}, {0, 0, 255},     {0, 255, 0},     {0, 255, 255},
    {255, 0, 0},     {255, 0, 255},   {255, 255, 0},   {255, 255, 255},
};

}  // namespace zemtori
