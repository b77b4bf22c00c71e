// How a move and the falling passes look on the window: the rules report each
// stage of a move (rules/moves.h) and this paints it, and keeps every falling
// step on the screen long enough for the eye to follow the pieces.
#pragma once

#include "display/screen.h"
#include "rules/moves.h"

namespace zemtori {

// Each step of a falling pass stays on the screen at least this long, so a
// person sees the pieces drop square by square.  Once the program is ending
// (Esc or the window closed during the fall) the remaining steps are neither
// painted nor kept.
constexpr double RAKKA_STEP_SECONDS = 0.03;

// The fast pace (速度 › 速い): every pause and step of the animations lasts
// this part of its normal time.
constexpr double FAST_PACE = 0.25;

class MoveAnimation final : public MoveObserver {
public:
    explicit MoveAnimation(Screen& screen) : screen_(screen) {}

    // The hand is redrawn, shown, and kept on the screen for one step.
    void hand_fall_step(const Position& pos, int side) override;
    // The hand is redrawn.
    void hand_settled(const Position& pos, int side) override;
    // The cell shows an empty square with its normal frame.
    void source_emptied(Cell cell) override;
    // The square shows the piece with its normal frame.
    void piece_placed(int koma, int x, int y) override;
    // All 81 squares are redrawn, shown, and kept on the screen for one step.
    void board_fall_step(const Position& pos) override;

    // Every step is kept `pace` times its normal time: 1 normally, FAST_PACE
    // at the fast pace.
    void set_pace(double pace) { pace_ = pace; }

private:
    void hand_redraw(const Position& pos, int side);
    void hold_step();
    // False once the program is ending.
    bool shown() const;

    Screen& screen_;
    double pace_ = 1.0;
};

}  // namespace zemtori
