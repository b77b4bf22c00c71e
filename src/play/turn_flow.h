// The turn flow: whose turn it is, who plays which side, whether the game is
// against the computer and who won, and the move being entered with the
// mouse.  How many moves have been played is the record's to say (Kifu), and
// the computer's level the engine's.  The game reads it through
// state(), which the rules and the display take as it is; every change goes
// through one of the named calls below.
#pragma once

#include "rules/moves.h"
#include "rules/state.h"

namespace zemtori {

class TurnFlow {
public:
    // Everything there is to read, under the names the rules use.
    const TurnState& state() const { return turn_; }

    // The program starts: no game, the computer on the upper side as 先手.
    void program_start() {
        turn_.TEBAN = NASHI;
        turn_.COM_GAWA = SENTE_GAWA;
        turn_.MAN_GAWA = GOTE_GAWA;
    }
    // A new game in the opening position: no game started, between people,
    // no winner, nothing selected, nothing to resume.  The sides stay.
    void new_game() {
        turn_.COM_TAISEN = false;
        turn_.SHOSHA = NASHI;
        turn_.TEBAN = NASHI;
        turn_.SAIKAI = false;
        turn_.SENTAKU = false;
    }
    // Play goes on against the computer, or between two people.
    void play_against_computer(bool on) { turn_.COM_TAISEN = on; }
    // A fresh game: the person is on side `man`, the upper side's player on
    // the other, and 先手 moves.
    void take_sides(int man) {
        turn_.MAN_GAWA = man;
        turn_.COM_GAWA = -man;
        turn_.TEBAN = SENTE_GAWA;
    }
    // A game from the position on the board, nothing played yet and no
    // winner: against the computer or not, the person on side `man`, 先手
    // to move.
    void start_game(bool against_computer, int man) {
        play_against_computer(against_computer);
        take_sides(man);
        turn_.SHOSHA = NASHI;
    }
    // A record read from a file is at its start, 先手 to move: the person's
    // side is `man`, 先手 when the lower side's army made the first move.
    void record_opened(int man) { take_sides(man); }

    // A game kept over the end of the program comes back as it stood: the
    // person on side `man`, against the computer or not, `to_move` to move,
    // `winner` (NASHI while open), paused after stepping the record or not;
    // nothing selected.
    void bring_back(int man, bool against_computer, int to_move, int winner, bool paused) {
        turn_.MAN_GAWA = man;
        turn_.COM_GAWA = -man;
        turn_.COM_TAISEN = against_computer;
        turn_.TEBAN = to_move;
        turn_.SHOSHA = winner;
        turn_.SAIKAI = paused;
        turn_.SENTAKU = false;
    }

    // The turn passes to the other side (no game stays no game).
    void pass_turn() { turn_.TEBAN = -turn_.TEBAN; }
    // The turn goes to `side`.
    void hand_turn_to(int side) { turn_.TEBAN = side; }

    // The game is over and `side` has won.
    void end_with_winner(int side) { turn_.SHOSHA = side; }
    // Stepping back reopens a finished game.
    void reopen() { turn_.SHOSHA = NASHI; }
    // The record was stepped onto a position: `side` is to move in it, and
    // `winner` had won there (NASHI while the game was open in it).
    void step_onto(int side, int winner) {
        turn_.TEBAN = side;
        turn_.SHOSHA = winner;
    }

    // The record was stepped through: the next click resumes play first.
    void pause() { turn_.SAIKAI = true; }
    // Play resumed.
    void resume() { turn_.SAIKAI = false; }

    // The move being entered.  aim() notes the piece a click met, selected or
    // not; select() makes that piece the selected one; deselect() drops the
    // selection and keeps what was noted.
    void aim(int from_x, int from_y, int koma) {
        turn_.SASHITE.from_x = from_x;
        turn_.SASHITE.from_y = from_y;
        turn_.SASHITE.koma = koma;
    }
    void select() { turn_.SENTAKU = true; }
    void deselect() { turn_.SENTAKU = false; }
    void set_destination(int to_x, int to_y) {
        turn_.SASHITE.to_x = to_x;
        turn_.SASHITE.to_y = to_y;
    }
    // The piece placed becomes `promoted`.
    void promote(int promoted) { turn_.SASHITE.koma = promoted; }

    // Carries out a move on `pos` (see sashite_jikkou); a king it captures
    // ends the game with the capturer as winner.
    void make_move(Position& pos, MoveObserver* observer, int from_x, int from_y, int to_x, int to_y,
                   int koma) {
        sashite_jikkou(pos, turn_, observer, from_x, from_y, to_x, to_y, koma);
    }

private:
    TurnState turn_;
};

}  // namespace zemtori
