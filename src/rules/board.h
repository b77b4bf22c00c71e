// Small facts about squares that every layer uses: whether a square is on the
// board, whether a move's source is a hand, and where a square or a move's
// source stands on the grid of the window.
//
// A square (x, y) is screen row x and screen column y, so it is the grid cell
// (column y, row x).  A hand slot is written as a move source (x, y) with
// x = -1 (upper hand, slot y) or x = 11 (lower hand, slot y - 2); it already
// is a grid cell: column x, row y.
#pragma once

#include "rules/state.h"

namespace zemtori {

constexpr bool on_board(int x, int y) { return x >= 1 && x <= 9 && y >= 1 && y <= 9; }

constexpr int iabs(int v) { return v < 0 ? -v : v; }

// A move from one of the two hand columns.
constexpr bool is_drop(int from_x) { return from_x == UE_TE_X || from_x == SITA_TE_X; }

// A position on the window's grid: column c from the left, row r from the top.
struct Cell {
    int c = 0, r = 0;
    friend constexpr bool operator==(const Cell&, const Cell&) = default;
};

// The grid cell of board square (x, y).
constexpr Cell square_cell(int x, int y) { return {y, x}; }

// The grid cell of a move's source: a hand slot as it is written, a board
// square turned into its cell.
constexpr Cell source_cell(int from_x, int from_y) {
    return is_drop(from_x) ? Cell{from_x, from_y} : square_cell(from_x, from_y);
}

}  // namespace zemtori
