// ヒント: during a person's turn the searching player thinks briefly for the
// side to move, and its move's piece (or hand slot) and destination are
// framed in a colour of their own until the next click or command.
#include "play/game.h"
#include "rules/board.h"

namespace zemtori {

void Game::HINT_Click() {
    const PlayMode m = mode();
    const bool persons_turn = m == PlayMode::BetweenPeople ||
                              (m == PlayMode::AgainstComputer && turn.TEBAN == turn.MAN_GAWA);
    if (!persons_turn || !progress_.begin_hint()) {
        play_refusal();
        return;
    }
    // A selection in progress gives way to the hint.
    flow.deselect();
    screen.waku_kesu();
    screen.mochi_waku_kesu();
    port.refresh();

    // The upper side moves the positive codes, whoever plays it.
    const bool upper = turn.TEBAN == turn.COM_GAWA;
    const std::optional<Candidate> answer = think_in_background(upper, hint_limits_);
    if (!answer) return;  // the program is ending
    progress_.done();
    if (answer->koma == 0) {
        play_refusal();
        return;
    }
    hint_ = static_cast<const Sashite&>(*answer);
    hint_frames(MIZUIRO);
    port.refresh();
}

void Game::hint_frames(int colour) {
    const Cell from = source_cell(hint_->from_x, hint_->from_y);
    const Cell to = square_cell(hint_->to_x, hint_->to_y);
    screen.waku_hyouji(colour, from.c, from.r);
    screen.waku_hyouji(colour, to.c, to.r);
}

void Game::clear_hint() {
    if (!hint_) return;
    // Hand slots and board squares have the same plain frame colour.
    hint_frames(screen.WAKU_IRO);
    hint_.reset();
}

}  // namespace zemtori
