// Starting a game between two people, whose turn it is, the thinking-time
// clock of a turn, and ending the program from the menu.
#include "display/move_text.h"
#include "play/game.h"
#include "rules/moves.h"

namespace zemtori {

void Game::TAIKYOKU_Click() { hide_record_controls(); }

void Game::MATCH_MAN_Click() {}

void Game::OWARI_Click() { owari(); }

void Game::start_turn_clock() {
    clock.start_turn(port.time_of_day());
    if (options_.KEIKA) port.set_timer1(true);
}

// The running turn ends now.
void Game::end_turn_clock() { clock.end_turn(port.time_of_day()); }

// What every start command does before the first turn is handed out: a
// finished game gives way to a new one, the record mode ends, the area below
// the board and every highlight frame go, the clock starts as the command
// wants it, and the pieces fall.  False when the program ended while they
// fell (or nothing could start now).
bool Game::start_of_play(PlayStart how) {
    remember_settled_game();
    if (!progress_.begin_settling()) return false;
    const bool against_computer = how != PlayStart::People;
    if (turn.SHOSHA != NASHI) {
        shinki_kyokumen();
        if (!against_computer) port.refresh();
    }
    kifu.end_browsing();
    screen.ban_shita_kesu();
    if (against_computer) {
        level_hyouji(engine.COM_LEVEL);
        draw_level_seed();
    }
    else for (int c = -2; c <= 0; ++c) screen.gazou_hyouji(screen.haikei(), c, 0);
    // The highlight frames go, on the board and in both hands, and with them
    // any selection they showed.
    screen.waku_kesu();
    screen.mochi_waku_kesu();
    // The computer's first move starts its own clock; only the timer runs.
    if (how == PlayStart::ComputerFirst) port.set_timer1(true);
    flow.deselect();
    flow.play_against_computer(against_computer);
    // Against the computer the record ends at the position on the board.
    if (against_computer) kifu.end_at(kifu.kifu_tesu());
    if (how == PlayStart::People) {
        start_turn_clock();
    } else if (how == PlayStart::PersonFirst) {
        clock.start_turn(port.time_of_day());
        port.set_timer1(true);
    }
    rakka(pos, &animation);
    if (progress_.ending()) return false;
    progress_.done();
    return true;
}

void Game::START_Click() {
    if (!may_leave_game(GO_ON_PEOPLE_QUESTION)) return;
    if (!start_of_play(PlayStart::People)) return;  // Esc while the opening fell
    if (kifu.tesu() == 0 || turn.TEBAN == NASHI) {
        flow.take_sides(SENTE_GAWA);
        record_from_here();
        flow.resume();
        tell("先手の番です", " ");
    } else {
        flow.resume();
        tell(turn.TEBAN == SENTE_GAWA ? "先手の番です" : "後手の番です", " ");
    }
}

void Game::record_from_here() {
    const int army = kifu.to_move(kifu.kifu_tesu());
    if (army != 0 && army != army_of(turn.TEBAN)) kifu.end_at(kifu.kifu_tesu());
}

// Between two people the turn passes to the other side, the mover's time is
// added to that player's total, and a captured king is announced.
void Game::hand_over_between_people() {
    if (turn.TEBAN == SENTE_GAWA) clock.add_turn(Clock::Player::Man);
    else if (turn.TEBAN == GOTE_GAWA) clock.add_turn(Clock::Player::Com);
    flow.pass_turn();
    clock.start_turn(port.time_of_day());
    if (turn.SHOSHA == turn.MAN_GAWA) tell("先手の勝ちです", "終了");
    else if (turn.SHOSHA == turn.COM_GAWA) tell("後手の勝ちです", "終了");
}

}  // namespace zemtori
