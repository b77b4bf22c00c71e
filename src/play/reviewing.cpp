// 解析: the searching player reviews the record, position by position, on
// its worker thread while the window keeps painting; the view shows how far
// it is and may ask it to stop, which keeps what was done.  Choosing a move
// of the review steps the record to the position it was made in and frames
// the better move in the hint's colour.
#include "display/move_text.h"
#include "play/game.h"
#include "rules/board.h"

namespace zemtori {

// 解析 reviews the game on the board: its record, when it has a move of this
// game (a game given up with 最初 is not reviewed).
void Game::KAISEKI_Click() {
    hide_record_controls();
    // A review needs a move: two positions at least.
    if (!kifu.moves_in_game() || kifu.kifu_saigo() < 1 || !progress_.begin_review()) {
        play_refusal();
        return;
    }
    close_review();
    const std::uint64_t revision = kifu.revision();
    review::Review review(review::from_kifu(kifu));
    // A searcher of its own: the review is the same whatever was thought
    // before it, and the same as the command line's.
    searcher::Thinker thinker;
    bool stopped = false;
    while (!review.finished() && !stopped && !progress_.ending()) {
        if (review_view) review_view->review_progress(review.done(), review.positions());
        const std::optional<searcher::CompactPosition> root = review.next_root();
        if (!root) {
            review.add(std::nullopt);
            continue;
        }
        thinker.start(*root, review_limits, review.next_history());
        while (!progress_.ending()) {
            if (thinker.wait_for(std::chrono::milliseconds(10))) {
                review.add(thinker.take());
                break;
            }
            if (review_view && review_view->review_stop_requested()) {
                thinker.stop();
                stopped = true;
                break;
            }
            port.keep_alive();
            timer_tick();
        }
    }
    if (progress_.ending()) return;  // the thinker stops as it goes
    progress_.done();
    if (review_view) review_view->review_progress(review.done(), review.positions());
    review_ = std::move(review);
    review_revision_ = revision;
    if (review_view) review_view->show_review(*review_);
}

// A move of the review steps the record to the position it was made in, as
// long as the record is the one the review was made of; a review of a record
// that has changed since closes instead.
void Game::review_chosen(int move) {
    if (!progress_.waiting()) return;
    clear_hint();
    forget_stale_review();
    if (!review_) return;
    const std::vector<review::MoveReview> moves = review_->moves();
    if (move < 1 || move > static_cast<int>(moves.size()) || move - 1 > kifu.kifu_saigo()) return;
    step_to_entry(move - 1);
    // A record read from a file does not hold the position of its first
    // move, and 戻 shows what entry 0 held before; the review knows it.
    if (move == 1) {
        restore_position(review_->record().entries.front(), pos);
        screen.mochigoma_hyouji_sita(pos);
        screen.mochigoma_hyouji_ue(pos);
        screen.ban_hyouji(pos);
    }
    const review::MoveReview& m = moves[static_cast<std::size_t>(move - 1)];
    if (m.has_best) {
        hint_ = m.best;
        hint_frames(MIZUIRO);
    }
    port.refresh();
}

void Game::forget_stale_review() {
    if (review_ && kifu.revision() != review_revision_) close_review();
}

void Game::close_review() {
    if (!review_) return;
    review_.reset();
    if (review_view) review_view->close_review();
}

}  // namespace zemtori
