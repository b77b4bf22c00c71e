// The 局面 menu: stepping back and forward through the record, a new game in
// the opening position, and turning the board through half a turn.
#include "display/move_text.h"
#include "play/game.h"
#include "rules/moves.h"

namespace zemtori {

void Game::STOP_Click() { hide_record_controls(); }

// Puts entry n on the board with the given totals and shows it: both clocks,
// both hands, the board.
void Game::show_entry(int n, double com_jikan, double man_jikan) {
    kifu.restore(n, pos);
    clock.restore({.man = man_jikan, .com = com_jikan});
    jikan_hyouji(screen, turn, turn.COM_GAWA, clock.com_jikan(), options_.KEIKA);
    jikan_hyouji(screen, turn, turn.MAN_GAWA, clock.man_jikan(), options_.KEIKA);
    screen.mochigoma_hyouji_sita(pos);
    screen.mochigoma_hyouji_ue(pos);
    screen.ban_hyouji(pos);
}

// The turn of the entry stepped onto is the record's to say: the side to
// move in it (never the side that has just moved into it), and the winner
// when its game had ended there.  A record that does not know passes the
// turn as a step does.
void Game::turn_of_entry(int n) {
    const int army = kifu.to_move(n);
    flow.step_onto(army != 0 ? side_of(army) : -turn.TEBAN, side_of(kifu.winner(n)));
}

// The message the game gave when it ended: the person's or the computer's
// win against the computer, 先手's or 後手's between two people and in a
// record read from a file.
void Game::announce_winner() {
    const char* text = nullptr;
    if (turn.COM_TAISEN && !kifu.kifu_mode())
        text = turn.SHOSHA == turn.MAN_GAWA ? "あなたの勝ちです" : "ｺﾝﾋﾟｭｰﾀの勝ちです";
    else
        text = turn.SHOSHA == turn.MAN_GAWA ? "先手の勝ちです" : "後手の勝ちです";
    tell(text, "終了");
}

void Game::REPLAY_Click() {
    hide_record_controls();
    flow.pause();
    flow.reopen();
    if (!kifu.can_step_back()) {
        refuse("できません", "戻る");
        return;
    }
    flow.deselect();
    port.set_timer1(false);
    screen.waku_kesu();
    // The position before the last move, with the totals before it.
    const int n = kifu.kifu_tesu() - 1;
    show_entry(n, kifu.entry(n).COM_MAE, kifu.entry(n).MAN_MAE);
    const Ugoki u = kifu.ugoki(kifu.kifu_tesu());
    play_piece();
    erase_move_text(u.code > 0 ? turn.COM_GAWA : turn.MAN_GAWA);
    kifu.step_back();
    turn_of_entry(n);
    write_count(kifu.tesu());
}

void Game::AFTER_Click() {
    hide_record_controls();
    if (turn.TEBAN == NASHI) {
        refuse("「対局」で始めて下さい", "開始");
        return;
    }
    flow.pause();
    if (!kifu.can_step_forward()) {
        if (kifu.kifu_mode()) tell("終わり", "進む");
        else refuse("できません", "進む");
        return;
    }
    flow.deselect();
    port.set_timer1(false);
    screen.waku_kesu();
    kifu.step_forward();
    write_count(kifu.tesu());
    // The next stored position, with the totals after the move made in it.
    const int n = kifu.kifu_tesu();
    show_entry(n, kifu.entry(n).COM_ATO, kifu.entry(n).MAN_ATO);
    const Ugoki u = kifu.ugoki(n);
    play_piece();
    write_move_text(u.code > 0 ? turn.COM_GAWA : turn.MAN_GAWA, u.x, u.y, u.code);
    turn_of_entry(n);
    write_count(kifu.tesu());
    // The final position of a finished game is finished again.
    if (turn.SHOSHA != NASHI) announce_winner();
}

// The record's entry n on the board, with the move that led to it written
// beside the board as 進 writes it, and the side to move in it to play.
void Game::step_to_entry(int n) {
    hide_record_controls();
    flow.pause();
    flow.deselect();
    port.set_timer1(false);
    screen.waku_kesu();
    while (kifu.kifu_tesu() > n && kifu.can_step_back()) kifu.step_back();
    while (kifu.kifu_tesu() < n && kifu.can_step_forward()) kifu.step_forward();
    show_entry(n, kifu.entry(n).COM_ATO, kifu.entry(n).MAN_ATO);
    erase_move_text(turn.COM_GAWA);
    erase_move_text(turn.MAN_GAWA);
    if (n >= 1) {
        const Ugoki u = kifu.ugoki(n);
        write_move_text(u.code > 0 ? turn.COM_GAWA : turn.MAN_GAWA, u.x, u.y, u.code);
    }
    play_piece();
    turn_of_entry(n);
    write_count(kifu.tesu());
}

void Game::CANCEL_Click() {
    if (!may_leave_game(NEW_GAME_QUESTION)) return;
    shinki_kyokumen();
    play_piece();
}

// The board turns through half a turn and its pieces fall; the record starts
// again from the turned board, which becomes its first position.
void Game::REVERSE_Click() {
    if (kifu.kifu_mode()) {
        refuse("棋譜ﾓｰﾄﾞではできません", "反転");
        return;
    }
    if (!may_leave_game(TURN_QUESTION)) return;
    remember_settled_game();
    if (!progress_.begin_settling()) return;
    kifu.turn_board();
    flow.deselect();
    int copy[10][10];
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) copy[x][y] = pos.BAN[x][y];
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) pos.BAN[10 - x][10 - y] = -copy[x][y];
    gamen_hyouji();
    write_count(kifu.tesu());
    if (handicap.settei()) {
        handicap.turn_over();
        handicap_hyouji(handicap.dan());
    }
    play_piece();
    rakka(pos, &animation);
    if (progress_.ending()) return;
    flow.pass_turn();
    kifu.kyokumen_kiroku(pos, clock.man_jikan(), clock.man_jikan(), clock.com_jikan(), clock.com_jikan());
    progress_.done();
}

}  // namespace zemtori
