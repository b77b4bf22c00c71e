#include "display/animation.h"

#include "port/wait.h"

namespace zemtori {

void MoveAnimation::hand_redraw(const Position& pos, int side) {
    if (side > 0) screen_.mochigoma_hyouji_ue(pos);
    else screen_.mochigoma_hyouji_sita(pos);
}

bool MoveAnimation::shown() const { return !screen_.port().program_ending(); }

// Shows one step of a fall and keeps it: the 1 ms pause of every step, and
// long enough in total that the eye can follow the pieces square by square.
// Once the program is ending the fall goes on in the position alone.
void MoveAnimation::hold_step() {
    Port& port = screen_.port();
    if (!shown()) return;
    port.refresh();
    const double shown_at = port.time_of_day();
    if (!matsu(port, 0.001 * pace_)) return;
    double elapsed = port.time_of_day() - shown_at;
    if (elapsed < 0) elapsed += 86400.0;  // past midnight
    const double step = RAKKA_STEP_SECONDS * pace_;
    if (elapsed < step) matsu(port, step - elapsed);
}

void MoveAnimation::hand_fall_step(const Position& pos, int side) {
    if (!shown()) return;
    hand_redraw(pos, side);
    hold_step();
}

void MoveAnimation::hand_settled(const Position& pos, int side) { hand_redraw(pos, side); }

void MoveAnimation::source_emptied(Cell cell) {
    screen_.gazou_hyouji(KARA, cell.c, cell.r);
    screen_.waku_hyouji(screen_.WAKU_IRO, cell.c, cell.r);
}

void MoveAnimation::piece_placed(int koma, int x, int y) { screen_.masu_hyouji(koma, x, y); }

void MoveAnimation::board_fall_step(const Position& pos) {
    if (!shown()) return;
    screen_.ban_hyouji(pos);
    hold_step();
}

}  // namespace zemtori
