// The searching player at six strengths, LEVEL4 to LEVEL9.
//
// A level is four numbers: a node budget, a share of its moves (in a
// thousand) that play the search's best move outright, a margin and a
// temperature.  The budget is counted in nodes, so a level plays the same on
// a fast machine and a slow one.  On a move that does not keep the best,
// every root move that scores within the margin of the best is a candidate,
// one of them drawn with a weight that falls off with its distance from the
// best (exp(-distance / temperature)), the way a weaker player sometimes
// prefers a move that is nearly as good.  A move that lets its own king be
// taken at once is never drawn while another move does not.  LEVEL9 is the
// full searching player: it plays the search's best move.
//
// No one of the four numbers orders the levels.  The share that keeps the
// best rises at every step (0, 140, 195, 358, 600, 1000 in a thousand); the
// budgets do not (LEVEL5 searches 1500 nodes a move, LEVEL6 600), nor do the
// margin and the temperature (LEVEL5 strays further than LEVEL4, since a
// shallow search that strays little only shuffles and draws its games).
// What makes each level stronger than the one below is the four together,
// as the ladder (make strength) measures each step.
//
// The draw is made from a number the caller gives each move (level_draw of
// the game's seed), so a game replays from its seed.
#pragma once

#include <cstdint>

#include "searcher/alpha_beta.h"

namespace zemtori::searcher {

constexpr int FIRST_SEARCH_LEVEL = 4;
constexpr int LAST_LEVEL = 9;

struct Level {
    int64_t nodes;    // the search's budget a move
    int temperature;  // the softmax temperature of the choice; 0: the best move
    int margin;       // how far below the best a candidate may score
    int keep_best;    // in a thousand moves, how many play the search's best move outright
};

// The level `n` (FIRST_SEARCH_LEVEL..LAST_LEVEL).
const Level& level(int n);

// Whether level `n` plays the search's best move outright for the move
// that `draw` decides (always at LEVEL9).
bool keeps_best(int n, uint64_t draw);

// The search limits of level `n` for the move that `draw` decides: its
// budget and, when the level will choose, a root margin wide enough for its
// choice (none when it keeps the best move: a plain search, as deep as the
// budget goes).
Limits level_limits(int n, uint64_t draw);

// The same with another budget (a test's or a tool's): the depth, nodes and
// movetime of `budget`.
Limits level_limits(int n, const Limits& budget, uint64_t draw);

// Whether `m` lets the side to move in `pos` have its king taken at once.
bool gives_king_away(const CompactPosition& pos, Move m);

// The number that decides the choice of a move: from the game's seed, the
// position and the ply, so that the same game makes the same choices.
uint64_t level_draw(uint64_t game_seed, uint64_t position_key, int ply);

// The move level `n` plays in `pos` after a search with level_limits(n,
// draw): the search's best move when the level keeps it for this draw or
// when the search gave no root scores;
// else one of the safe root moves within the level's margin of the best,
// drawn by `draw` with the level's temperature (the best safe move when no
// safe move is that close; the search's best when none is safe).
Move choose_move(const CompactPosition& pos, const SearchResult& result, int n, uint64_t draw);

// A search of `pos` at level `n` and its choice, on `searcher` (the game's
// keys set already).
Move play_level(Searcher& searcher, const CompactPosition& pos, int n, uint64_t draw,
                std::atomic<bool>* stop = nullptr);

}  // namespace zemtori::searcher
