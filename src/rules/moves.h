// Making a move: captures into the hand, promotion, and the falling rule.
#pragma once

#include "rules/state.h"

namespace zemtori {

class Screen;

// Carries out a move or drop that idou_kanou allowed; `koma` is the code that
// will stand on the destination (already promoted if the mover promotes).
// Draws on `screen` when it is given; does not let anything fall on the
// board (a hand that changed settles at once) and does not refresh.
void sashite_jikkou(Position& pos, TurnState& turn, Screen* screen, int from_x, int from_y,
                    int to_x, int to_y, int koma);

// Adds a captured piece, demoted and with the capturer's sign, to the
// capturer's hand; a captured king sets SHOSHA.  Demotes `captured` in place.
// A slot already naming the kind (even an emptied one) takes it, else the
// highest-numbered empty slot.  A king taken while all seven slots are in use
// is not stored: the game is over and the hand stays as it was.  Only slots
// 1..7 are ever written; the hand's total is the caller's (sashite_jikkou).
void mochigoma_tsuika(Position& pos, TurnState& turn, int& captured);

// 1 when `koma` may stand unpromoted in column to_y, 0 when it must promote.
int funari_kanou(int to_y, int koma);

// 1 when the move may promote, and then *promoted gets the promoted code.
int nari_hantei(int from_x, int from_y, int to_x, int to_y, int koma, int* promoted);

// The falling pass of the board: every piece with an empty square below it
// falls one square per step until nothing can fall.  With a screen each step
// is redrawn and shown for at least RAKKA_STEP_SECONDS; without one nothing
// is drawn and nobody waits.  A pass with nothing to fall draws nothing.
// Returns the number of steps (at most 8).
int rakka(Position& pos, Screen* screen);

// The same inside one hand column; side +1 is the upper hand, -1 the lower.
// Returns the number of steps.
int mochigoma_rakka(Position& pos, int side, Screen* screen);

}  // namespace zemtori
