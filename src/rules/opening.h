// The opening position.
#pragma once

#include "rules/state.h"

namespace zemtori {

// Puts the 40 pieces of the opening position on the board, as they stand
// before the start of a game lets them fall; other squares are left alone.
void shoki_haichi(Position& pos);

// The position every game starts from: the opening after its first fall
// (each side's lone rook and bishop drop to the bottom), hands empty.
Position settled_opening();

}  // namespace zemtori
