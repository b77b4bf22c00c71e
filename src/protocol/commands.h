// The engine protocol's lines, read and written: words, numbers, moves, the
// game a `position` line gives, the limits a `go` line gives.  The server
// (protocol/engine.h) runs them; match's engine player writes them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "rules/state.h"
#include "searcher/alpha_beta.h"
#include "searcher/compact_position.h"
#include "searcher/history.h"

namespace zemtori::protocol {

// The most plies a position line may say were played before its entry.
constexpr long long MOST_PLIES_BEFORE = 1000000000;

// The words of a line, split at blanks and tabs.
std::vector<std::string> words(const std::string& text);

// A whole decimal number, optionally signed, within [lo, hi]; a sign alone
// is no number.
bool parse_number(const std::string& text, long long lo, long long hi, long long& value);

// A word of the input as an error line shows it: at most 40 characters,
// a control byte or a byte that is not part of UTF-8 text as \xNN, and
// "..." after a word that was cut.
std::string shown(const std::string& word);

// A move as the protocol writes it, "FX,FY,TX,TY,KOMA", and read back.
std::string move_token(const searcher::RulesMove& m);
bool parse_move(const std::string& token, searcher::RulesMove& m);

// How long one move may think on a clock: `remaining` the side's time left,
// then either `byoyomi` (time for every move once the rest is spent) or
// `increment` (added after each move), all in milliseconds.  The search
// aims at `target` and is stopped from outside at `hard`, which keeps a
// margin below what the clock allows for the answer to travel.
struct MoveTime {
    long long target = 0, hard = 0;
};
MoveTime time_for_move(long long remaining, long long byoyomi, long long increment);

// A game as a position line gives it: where it started, the moves played
// since, checked against the rules, and what the searcher is told of it.
class Game {
public:
    // The settled opening, the lower side (先手) to move.
    Game();
    // `start` with `side` to move, `plies_before` plies into its game.
    Game(const Position& start, int side, std::size_t plies_before);

    // Plays a move token; an error text naming it when it cannot be played
    // (the game is then as it was).
    std::string play(const std::string& token);

    const Position& position() const { return pos_; }
    int side() const { return side_; }
    // Moves played since the start, and plies played in the whole game.
    int moves() const { return moves_; }
    std::size_t plies() const { return plies_before_ + static_cast<std::size_t>(moves_); }
    bool ended() const { return ended_; }  // a king was taken

    // The game before the position now, as the searcher is told it.
    searcher::History history() const;

private:
    Position pos_;
    int side_ = -1;
    int moves_ = 0;
    std::size_t plies_before_ = 0;
    bool ended_ = false;
    // The positions the last moves were played in, oldest first: as many as
    // a repetition is looked for in.
    std::vector<Position> recent_;
};

// Reads a whole `position` line into `game`: an error text naming what is
// wrong (and `game` left as it was), else empty.
std::string read_position_line(const std::string& line, Game& game);

// What a `go` line asks for.
struct GoPlan {
    searcher::Limits limits;  // depth, nodes and the movetime the search aims at
    long long hard_ms = 0;    // stopped from outside this long after the go; 0: never
    bool infinite = false;    // searches until stop
};

// Reads the words of a `go` line for `side` (+1 upper, -1 lower) to move:
// an error text naming the word that is wrong, else empty.  A time (movetime,
// btime, wtime, byoyomi, binc, winc) is at most searcher::LONGEST_MOVETIME.
std::string read_go_line(const std::vector<std::string>& words, int side, GoPlan& plan);

}  // namespace zemtori::protocol
