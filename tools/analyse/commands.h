// The commands of zemtori-analyse.  Each reads positions (entry lines of a
// record file) from `in`, one per line, and writes its answers to `out`.
// Every line starts from a freshly started program: new maps, new working
// values, kings' squares and two-pawn flags all 0.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "protocol/lines.h"
#include "rules/state.h"

namespace zemtori::analyse {

// Every command reads its lines as the engine protocol does.
using protocol::read_line;

// A position from an entry line, as every command reads it
// (position_from_entry_line), and the board and hands of `pos` as an entry
// line, times 0 (entry_line_of).
Position read_position(const std::string& line);
std::string entry_line(const Position& pos);

// The computer's choice for the upper side at `level` (1..3); with `all`,
// first every candidate scored, in scan order.
void think(std::istream& in, std::ostream& out, int level, bool all);

// The falling passes of the board and both hands; the settled position as an
// entry line, a blank and the number of board steps.
void fall(std::istream& in, std::ostream& out);

// The three mate tests after one attack-map pass.
void mate(std::istream& in, std::ostream& out);

// Every move and drop the movement rules allow the given side (+1 upper,
// -1 lower), then "end".
void moves(std::istream& in, std::ostream& out, int side);

// Every (from, to, koma) the movement rules allow `side` in `pos`, in board
// scan order then hand slot order; the two-pawn flags must be current.
struct Move {
    int from_x, from_y, to_x, to_y, koma;
};
void legal_moves(const Position& pos, int side, std::vector<Move>& list);

// Whole games of the computer (upper side, at `level`) against the moves of
// the lower side given in the input, played by the game itself on a window
// that shows nothing: every position line starts a game with the computer to
// move, every "move FX FY TX TY KOMA" line is the person's next move.  At
// the searching levels (4..9) the searching player thinks within `budget`
// (the level's own node budget when it gives nothing) and makes the level's
// choices from `seed`: the same seed, the same games.
struct BestLimits {
    int depth = 0;
    long long nodes = 0, movetime = 0;
};
void game(std::istream& in, std::ostream& out, int level, const BestLimits& budget, std::uint64_t seed = 1);

// One game of `game` driven from a program: the lines it would print for a
// position line (the computer moves first) and for each of the person's
// "move" lines.  False from open() once the game has ended.
class Match;
class LevelGame {
public:
    // `level` 1..3: the exact levels.
    explicit LevelGame(int level);
    ~LevelGame();
    std::vector<std::string> start(const std::string& position_line);
    std::vector<std::string> man_move(const std::string& move_line);
    bool open() const { return open_; }

private:
    std::vector<std::string> take_lines();
    std::ostringstream out_;
    std::unique_ptr<Match> match_;
    bool open_ = false;
};

// The searching player's best move for the upper side of each position
// line: "best FX FY TX TY KOMA score S depth D nodes N pv ...", the pv as
// five numbers a move, or "none".
void best(std::istream& in, std::ostream& out, const BestLimits& limits);

// The record file at `path` reviewed by the searching player within
// `budget` (review::DEFAULT_NODES a position without one): one line per
// entry, then a summary.  1, with the reason on `err`, when the file cannot
// be read or holds no entry line.
int review_file(const std::string& path, std::ostream& out, std::ostream& err, const BestLimits& budget);

// Games between two players from the opening; see match.cpp.
struct MatchOptions {
    std::string a, b;
    int games = 0;
    long long nodes = 0, movetime = 0;
    std::uint64_t seed = 1;
    int jobs = 1;
    bool show_moves = false;  // after each game's line, "moves G" and its moves
};
// False (with nothing played) when a player's name is not known (or names
// an engine program that cannot be run) or both are exact levels.
bool match(std::ostream& out, const MatchOptions& options);

// `count` positions with the upper side to move and both kings on the board,
// reached by seeded random play from the settled opening, handed to `take`
// one by one as they are found.
void random_positions(std::uint64_t seed, int count, const std::function<void(const Position&)>& take);
void gen(std::ostream& out, std::uint64_t seed, int count);

}  // namespace zemtori::analyse
