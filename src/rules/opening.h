// The opening position.
#pragma once

#include "rules/state.h"

namespace zemtori {

// Puts the 40 pieces of the opening position on the board, as they stand
// before the start of a game lets them fall; other squares are left alone.
void shoki_haichi(Position& pos);

}  // namespace zemtori
