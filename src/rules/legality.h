// Whether a move or drop is allowed by the movement rules of the pieces.
// Geometry and occupancy only: no turn, no check, no falling.
#pragma once

#include "rules/state.h"

namespace zemtori {

// 1 when the piece `koma` (its code before any promotion) may go from
// (from_x, from_y) to (to_x, to_y); from_x -1 / 11 is a drop from the upper /
// lower hand.  Reads BAN and the two-pawn flags only.
int idou_kanou(const Position& pos, int from_x, int from_y, int to_x, int to_y, int koma);

// The bishop and rook line tests: 1 when the line is clear up to the destination.
int kakudo_michi(const Position& pos, int from_x, int from_y, int to_x, int to_y);
int hisha_michi(const Position& pos, int from_x, int from_y, int to_x, int to_y);

// Recomputes NIFU_UE and NIFU_SITA from BAN (promoted pawns do not count).
void nifu_keisan(Position& pos);

}  // namespace zemtori
