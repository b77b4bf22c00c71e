// `zemtori-analyse engine`: the searching player behind a line protocol in
// the manner of the shogi engines' USI, with this game's own positions and
// moves, and the other end of it, which starts such an engine as a program
// of its own and plays it (match's `engine:PATH` player).
//
// A move is written as five integers joined by commas, FX,FY,TX,TY,KOMA, as
// `moves` and `best` write them for the side that makes it: a drop from the
// upper hand has FX -1 and the slot as FY, one from the lower hand FX 11 and
// the slot + 2; KOMA is the code that stands on the destination afterwards
// (negative for the lower side).
//
// The commands it reads, one a line:
//   usi                       id name, id author, its options, usiok
//   isready                   readyok (the table is made here)
//   setoption name Hash value MB
//   usinewgame, gameover ...  accepted
//   position startpos [side upper|lower] [moves M ...]
//   position entry <the 333 columns of an entry line> side upper|lower [moves M ...]
//   go [depth D] [nodes N] [movetime MS] [btime MS] [wtime MS] [byoyomi MS]
//      [binc MS] [winc MS] [infinite]
//   stop, quit, d (the position as an info string)
// The lower side (先手) holds btime and binc, the upper side wtime and winc.
#pragma once

#include <sys/types.h>

#include <iosfwd>
#include <string>
#include <vector>

#include "rules/state.h"
#include "searcher/compact_position.h"

namespace zemtori::analyse {

// Reads commands from `in` until `quit` or the end of the input (a search
// with a limit still running then finishes first; an endless one is
// stopped), writing and flushing every answer line on `out`.
void engine(std::istream& in, std::ostream& out);

// Plays the rules' move (with the code placed) on `pos` and lets everything
// fall, as the game does after a move; true when it took a king.
bool play_move(zemtori::Position& pos, const searcher::RulesMove& m);

// The move as the protocol writes it, "FX,FY,TX,TY,KOMA".
std::string move_token(const searcher::RulesMove& m);

// How long one move may think on a clock: `remaining` the side's time left,
// then either `byoyomi` (time for every move once the rest is spent) or
// `increment` (added after each move), all in milliseconds.  The search
// aims at `target` and is stopped from outside at `hard`, which keeps a
// margin below what the clock allows for the answer to travel.
struct MoveTime {
    long long target = 0, hard = 0;
};
MoveTime time_for_move(long long remaining, long long byoyomi, long long increment);

// An engine run as `PATH engine` with its standard input and output on a
// socket of ours.  The destructor says quit and waits a moment for it to
// end, then kills it.
class EngineProcess {
public:
    EngineProcess() = default;
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Starts it and goes through usi, setoption Hash (when it offers the
    // option), isready and usinewgame.  False when it cannot be started or
    // does not answer within 10 s.
    bool start(const std::string& path, int hash_mb);
    // Only starts it.
    bool spawn(const std::string& path);

    // Sends `position` and `go`, then reads up to the bestmove line, at most
    // `timeout_ms` (negative: no limit): the move's token, or "resign"; false
    // when no bestmove came.
    bool best_move(const std::string& position, const std::string& go, long long timeout_ms, std::string& move);

    bool send(const std::string& line);
    // The next line within `timeout_ms` (negative: no limit); false at the
    // end of its output or on the timeout.
    bool read_line(std::string& line, long long timeout_ms);

private:
    pid_t pid_ = -1;
    int fd_ = -1;
    std::string buffer_;
};

}  // namespace zemtori::analyse
