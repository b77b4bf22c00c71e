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
    jikan_kaishi(clock, port);
    if (port.menu_checked("KEIKA")) port.set_timer1(true);
}

// The running turn ends now: its time comes from the clock, not from the
// last tick, which is stale (or never came) while the clock is hidden.
void Game::end_turn_clock() { clock.TEBAN_JIKAN = keika_byou(clock.KAISHI_JIKOKU, port.time_of_day()); }

void Game::START_Click() {
    if (turn.SHOSHA != NASHI) {
        shinki_kyokumen();
        port.refresh();
    }
    turn.KIFU_MODE = false;
    screen.ban_shita_kesu();
    for (int c = -2; c <= 0; ++c) screen.gazou_hyouji(screen.HAIKEI, c, 0);
    // The highlight frames go, on the board and in both hands, and with them
    // any selection they showed.
    screen.waku_kesu();
    screen.mochi_waku_kesu();
    turn.SENTAKU = false;
    start_turn_clock();
    rakka(pos, &animation);
    turn.COM_TAISEN = false;
    if (turn.TESU == 0 || turn.TEBAN == NASHI) {
        turn.MAN_GAWA = SENTE_GAWA;
        turn.COM_GAWA = GOTE_GAWA;
        turn.TEBAN = SENTE_GAWA;
        port.message_box("先手の番です", " ", MsgIcon::None, MsgButtons::Ok);
    } else {
        port.message_box(turn.TEBAN == SENTE_GAWA ? "先手の番です" : "後手の番です", " ", MsgIcon::None,
                         MsgButtons::Ok);
    }
    turn.SAIKAI = false;
}

// Between two people the turn passes to the other side, the mover's time is
// added to that player's total, and a captured king is announced.
void Game::hand_over_between_people() {
    if (turn.TEBAN == SENTE_GAWA) {
        turn.TEBAN = GOTE_GAWA;
        clock.MAN_JIKAN += clock.TEBAN_JIKAN;
    } else if (turn.TEBAN == GOTE_GAWA) {
        turn.TEBAN = SENTE_GAWA;
        clock.COM_JIKAN += clock.TEBAN_JIKAN;
    }
    jikan_kaishi(clock, port);
    if (turn.SHOSHA == turn.MAN_GAWA)
        port.message_box("先手の勝ちです", "終了", MsgIcon::None, MsgButtons::Ok);
    else if (turn.SHOSHA == turn.COM_GAWA)
        port.message_box("後手の勝ちです", "終了", MsgIcon::None, MsgButtons::Ok);
}

}  // namespace zemtori
