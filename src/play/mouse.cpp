// The mouse: one handler for every click on the window.  Two clicks select a
// piece (on the board or in a hand) and its destination; the move is checked,
// promoted by the right button where it may be, carried out, left to fall and
// written, and the turn is handed over.
#include "display/move_text.h"
#include "port/wait.h"
#include "play/game.h"
#include "rules/legality.h"
#include "rules/moves.h"

namespace zemtori {

namespace {

bool is_mover(const TurnState& turn, int koma) {
    return (koma <= -10 && turn.TEBAN == turn.MAN_GAWA) || (koma >= 10 && turn.TEBAN == turn.COM_GAWA);
}

// Repaints the frame of the move's source in `colour`.
void source_frame(Screen& screen, const Sashite& s, int colour) {
    const Cell cell = source_cell(s.from_x, s.from_y);
    screen.waku_hyouji(colour, cell.c, cell.r);
}

}  // namespace

void Game::idou_shidou(int from_x, int from_y, int colour, int koma) {
    screen.waku_kesu();
    if (!options_.IDOU_SIDOU) return;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (idou_kanou(pos, from_x, from_y, x, y, koma) == 1) {
                const Cell cell = square_cell(x, y);
                screen.waku_hyouji(colour, cell.c, cell.r);
            }
}

Game::PlayMode Game::mode() const {
    if (kifu.kifu_mode()) return PlayMode::Record;
    if (turn.SHOSHA != NASHI) return PlayMode::Finished;
    if (turn.TEBAN == NASHI) return PlayMode::NotStarted;
    return turn.COM_TAISEN ? PlayMode::AgainstComputer : PlayMode::BetweenPeople;
}

// A click reaches the game only while it waits for one.
void Game::mouse_down(int button, double X, double Y) {
    if (!progress_.waiting()) return;
    click(button, X, Y);
    forget_stale_review();
}

void Game::click(int button, double X, double Y) {
    clear_hint();
    hide_record_controls();
    switch (mode()) {
    case PlayMode::Record:
        if (ask("棋譜を '進 'で進めて下さい", "棋譜") == MsgAnswer::No && !progress_.ending()) {
            play_refusal();
            shinki_kyokumen();
        }
        return;
    case PlayMode::Finished:
        tell("新規に対局してください", "終局");
        return;
    case PlayMode::NotStarted:
        refuse("「対局」で始めて下さい", "開始");
        return;
    case PlayMode::BetweenPeople:
    case PlayMode::AgainstComputer:
        break;
    }
    const int c = cell_column(X);
    const int r = cell_row(Y);
    if (mode() == PlayMode::BetweenPeople) {
        if (turn.SAIKAI) {
            flow.resume();
            start_turn_clock();
            tell(turn.TEBAN == SENTE_GAWA ? "先手の番です" : "後手の番です", "対局");
            if (progress_.ending()) return;
        }
    } else {
        resume_against_computer();
        // The computer's resumed move may have ended the game: the click
        // that let it move selects nothing on a finished board, nor on one
        // whose window closed while the computer thought.
        if (turn.SHOSHA != NASHI || progress_.ending()) return;
    }
    // A board cell (c, r) is the square (x, y) = (r, c).
    if (on_board(r, c)) {
        if (!turn.SENTAKU) select_on_board(r, c);
        else destination_on_board(button, r, c);
        return;
    }
    select_in_hand(c, r);
}

void Game::select_on_board(int x, int y) {
    if (pos.BAN[x][y] == 0) return;
    const Sashite& s = turn.SASHITE;
    flow.aim(x, y, pos.BAN[x][y]);
    idou_shidou(x, y, sidou_iro(), s.koma);
    const Cell cell = square_cell(x, y);
    if (is_mover(turn, s.koma)) {
        screen.waku_hyouji(screen.SENTAKU_IRO, cell.c, cell.r);
        flow.select();
    } else {
        screen.waku_hyouji(sidou_iro(), cell.c, cell.r);
    }
}

void Game::destination_on_board(int button, int x, int y) {
    const Sashite& s = turn.SASHITE;
    screen.mochi_waku_kesu();
    flow.set_destination(x, y);
    if ((s.from_x == UE_TE_X && turn.TEBAN == turn.MAN_GAWA) ||
        (s.from_x == SITA_TE_X && turn.TEBAN == turn.COM_GAWA)) {
        screen.waku_kesu();
        flow.deselect();
        return;
    }
    if (is_mover(turn, pos.BAN[x][y])) {
        source_frame(screen, s, screen.KESU_IRO);
        flow.aim(x, y, pos.BAN[x][y]);
        idou_shidou(x, y, sidou_iro(), s.koma);
        const Cell cell = square_cell(x, y);
        screen.waku_hyouji(screen.SENTAKU_IRO, cell.c, cell.r);
        return;
    }
    if (idou_kanou(pos, s.from_x, s.from_y, x, y, s.koma) == 0) {
        play_refusal();
        flow.deselect();
        screen.waku_kesu();
        return;
    }
    if (funari_kanou(y, s.koma) == 0 && button != MIGI_BUTTON) {
        refuse("マウスの右をクリックして下さい", "成り");
        return;
    }
    carry_out_move(button);
}

// A hand slot is selected whatever was selected before and whoever's hand it
// is; a selection from the wrong hand is cancelled by the next board click.
void Game::select_in_hand(int c, int r) {
    const Sashite& s = turn.SASHITE;
    if (c == SITA_TE_X && r >= 3 && r <= 9 && pos.MOCHI_SITA_KAZU[r - 2] > 0) {
        nifu_keisan(pos);
        flow.aim(SITA_TE_X, r, pos.MOCHI_SITA_KOMA[r - 2]);
        flow.select();
        screen.mochi_waku_kesu();
        screen.waku_hyouji(turn.TEBAN == turn.MAN_GAWA ? screen.SENTAKU_IRO : sidou_iro(), c, r);
        idou_shidou(SITA_TE_X, r, sidou_iro(), s.koma);
    } else if (c == UE_TE_X && r >= 1 && r <= 7 && pos.MOCHI_UE_KAZU[r] > 0) {
        nifu_keisan(pos);
        flow.aim(UE_TE_X, r, pos.MOCHI_UE_KOMA[r]);
        flow.select();
        screen.mochi_waku_kesu();
        screen.waku_hyouji(turn.TEBAN == turn.COM_GAWA ? screen.SENTAKU_IRO : sidou_iro(), c, r);
        idou_shidou(UE_TE_X, r, sidou_iro(), s.koma);
    }
}

void Game::carry_out_move(int button) {
    const Sashite& s = turn.SASHITE;
    remember_settled_game();
    if (!progress_.begin_person_move()) return;
    end_turn_clock();
    kifu.kyokumen_kiroku(pos, clock.man_jikan(), clock.man_jikan() + clock.teban_jikan(), clock.com_jikan(),
                         clock.com_jikan());
    // The count shows the move being made.
    write_count(kifu.tesu() + 1);
    int promoted = 0;
    if (nari_hantei(s.from_x, s.from_y, s.to_x, s.to_y, s.koma, &promoted) == 1 && button == MIGI_BUTTON)
        flow.promote(promoted);
    flow.deselect();
    source_frame(screen, s, screen.KESU_IRO);
    const Cell to = square_cell(s.to_x, s.to_y);
    screen.waku_hyouji(screen.KESU_IRO, to.c, to.r);
    idou_shidou(s.from_x, s.from_y, screen.KESU_IRO, s.koma);
    const int captured = pos.BAN[s.to_x][s.to_y];
    flow.make_move(pos, &animation, s.from_x, s.from_y, s.to_x, s.to_y, s.koma);
    play_piece();
    port.refresh();
    if (!matsu(port, 0.4 * pace())) return;  // the program is ending
    rakka(pos, &animation);
    if (progress_.ending()) return;
    record_move(s);
    progress_.done();
    write_move_text(s.koma >= 10 ? turn.COM_GAWA : turn.MAN_GAWA, s.to_x, s.to_y, s.koma);
    hand_over(captured);
}

// The turn passes on: to the other person, or, against the computer, to the
// computer with the code that stood on the destination before the move.
void Game::hand_over(int captured) {
    if (turn.COM_TAISEN) hand_over_to_computer(captured);
    else hand_over_between_people();
}

// --- dragging ---------------------------------------------------------------

bool Game::may_drag() const {
    const PlayMode m = mode();
    return (m == PlayMode::BetweenPeople || m == PlayMode::AgainstComputer) && turn.SENTAKU && !turn.SAIKAI &&
           is_mover(turn, turn.SASHITE.koma) && progress_.waiting() && !port.program_ending();
}

std::optional<int> Game::drag_piece(double x, double y) const {
    if (!may_drag()) return std::nullopt;
    const Sashite& s = turn.SASHITE;
    if (!(source_cell(s.from_x, s.from_y) == Cell{cell_column(x), cell_row(y)})) return std::nullopt;
    return s.koma;
}

std::optional<Cell> Game::drag_landing(double x, double y) const {
    if (!may_drag()) return std::nullopt;
    const Sashite& s = turn.SASHITE;
    // A board cell (c, r) is the square (x, y) = (r, c).
    const int to_x = cell_row(y), to_y = cell_column(x);
    if (!on_board(to_x, to_y) || is_mover(turn, pos.BAN[to_x][to_y])) return std::nullopt;
    if (idou_kanou(pos, s.from_x, s.from_y, to_x, to_y, s.koma) == 0) return std::nullopt;
    // The move made on a copy, and everything let fall.
    Position after = pos;
    const Played played = play_and_fall(after, s.from_x, s.from_y, to_x, to_y, s.koma);
    return square_cell(played.rest_x, to_y);
}

void Game::drag_drop(int button, double x, double y) {
    if (!may_drag()) return;
    if (drag_landing(x, y)) {
        mouse_down(button, x, y);
        return;
    }
    // Not a move: the piece goes back where it was, unselected, as a
    // refused second click leaves it.
    clear_hint();
    screen.mochi_waku_kesu();
    play_refusal();
    flow.deselect();
    screen.waku_kesu();
}

}  // namespace zemtori
