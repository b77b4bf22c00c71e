// Making a move: captures into the hand, promotion, and the falling rule.
#pragma once

#include "rules/board.h"
#include "rules/state.h"

namespace zemtori {

// What a move and a fall report, step by step, to whoever shows them.  The
// rules draw nothing and never wait; the window's side of the game implements
// this to paint each stage and keep each falling step on the screen.  Every
// call comes right after the change it names.  The computer's trial moves and
// the analysis tool pass no observer.
class MoveObserver {
public:
    virtual ~MoveObserver() = default;
    // One step of a hand's falling pass is done (side +1 the upper hand, -1
    // the lower).
    virtual void hand_fall_step(const Position& pos, int side) = 0;
    // A capture or a drop changed that hand, and it has settled.
    virtual void hand_settled(const Position& pos, int side) = 0;
    // The move's source, grid cell `cell` (a board square or a hand slot), is
    // to be shown empty.
    virtual void source_emptied(Cell cell) = 0;
    // `koma` now stands on square (x, y).
    virtual void piece_placed(int koma, int x, int y) = 0;
    // One step of the board's falling pass is done.
    virtual void board_fall_step(const Position& pos) = 0;
};

// Carries out a move or drop that idou_kanou allowed; `koma` is the code that
// will stand on the destination (already promoted if the mover promotes).
// Reports each stage to `observer` when one is given; does not let anything
// fall on the board (a hand that changed settles at once).
void sashite_jikkou(Position& pos, TurnState& turn, MoveObserver* observer, int from_x,
                    int from_y, int to_x, int to_y, int koma);

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
// falls one square per step until nothing can fall; each step is reported to
// `observer`.  A pass with nothing to fall reports nothing.  Returns the
// number of steps (at most 8).
int rakka(Position& pos, MoveObserver* observer);

// The same inside one hand column; side +1 is the upper hand, -1 the lower.
// Returns the number of steps.
int mochigoma_rakka(Position& pos, int side, MoveObserver* observer);

// What play_and_fall did: the code that stood on the destination before the
// move (0 for an empty square; OU or -OU when a king was taken), and the row
// of column to_y in which the moved piece came to rest once everything fell.
struct Played {
    int captured = 0;
    int rest_x = 0;
    bool took_king() const { return captured == OU || captured == -OU; }
};

// Makes a move or drop that idou_kanou allows (`koma` the code placed,
// already promoted where the mover promotes) on `pos` and lets the board
// fall, as a game does after every move, showing nothing.  Whoever wants
// to know the outcome on a copy (a move checked against a record, a piece
// dragged over a square, a line of the engine protocol) calls this.
Played play_and_fall(Position& pos, int from_x, int from_y, int to_x, int to_y, int koma);

}  // namespace zemtori
