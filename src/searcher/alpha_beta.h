// The searching player: iterative deepening alpha-beta (principal variation
// search) over the compact position, with a transposition table, a capture
// search at the leaves and move ordering by the table's move, captures by
// value, killers and history.  There is no check rule: taking a king ends
// the game, and a side with no move loses.
//
// A Searcher owns everything a search writes (its table, killers, history),
// so two searchers run on two threads at once.  With a depth or node limit
// and no time limit a search is deterministic.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "searcher/compact_position.h"
#include "searcher/history.h"

namespace zemtori::searcher {

// Scores are from the side to move's view; a won game scores WIN minus the
// plies to the king's capture.
constexpr int WIN = 30000;
constexpr int MAX_PLY = 96;

// The evaluation stays below the range of won scores (WIN - 1000 and up),
// however much material one side has: 45 promoted rooks are not a win.
constexpr int EVAL_LIMIT = WIN - 1000 - 1;

// Captures looked at beyond the last ply of the full search.  Past the first
// QUIESCE_WIDE_PLIES of them only the QUIESCE_NARROW_WIDTH most valuable
// captures of a node are tried, and past QUIESCE_PLIES none: a board where
// every piece touches an enemy piece cannot hold the capture search.
constexpr int QUIESCE_PLIES = 8;
constexpr int QUIESCE_WIDE_PLIES = 2;
constexpr int QUIESCE_NARROW_WIDTH = 4;

// In the first QUIESCE_THREAT_PLIES plies of the capture search a side whose
// king the enemy can take does not stand pat: every move it has is tried, so
// a threat made by the last move of the full search is seen.
constexpr int QUIESCE_THREAT_PLIES = 1;

// Whether the side not to move could take the king of the side to move.
bool king_attacked(const CompactPosition& pos);

// A won or lost score found `ply` plies from the root is kept in the table
// counted from its own node, so that the same position met at another ply
// reads the right distance to the king's capture; other scores are kept as
// they are.
int score_to_table(int score, int ply);
int score_from_table(int stored, int ply);

// What a draw by repetition costs the side the search is for (the other
// side is scored as gaining it): a player who is the stronger for seeing
// further does not settle for going round in a circle when its evaluation
// is a little below even.  An analysis (History::neutral) scores it 0.
constexpr int CONTEMPT = 50;

// A long game costs more to go round in: from CONTEMPT_RAMP_FROM plies on,
// each ply played adds CONTEMPT_RAMP_STEP to what a repetition costs, up to
// CONTEMPT_MOST.  A locked position where every break costs a pawn is then
// broken before the game runs out of moves, instead of being shuffled in
// until it does.
constexpr std::size_t CONTEMPT_RAMP_FROM = 120;
constexpr std::size_t CONTEMPT_RAMP_STEP = 2;
constexpr int CONTEMPT_MOST = 400;

// What a repetition costs after `plies` plies of the game.
constexpr int contempt_after(std::size_t plies) {
    if (plies <= CONTEMPT_RAMP_FROM) return CONTEMPT;
    const std::size_t more = (plies - CONTEMPT_RAMP_FROM) * CONTEMPT_RAMP_STEP;
    return CONTEMPT + static_cast<int>(std::min(more, static_cast<std::size_t>(CONTEMPT_MOST - CONTEMPT)));
}

// Milliseconds since any fixed moment; the searcher reads it to keep to a
// movetime.  Tests hand the searcher a clock of their own.
using MillisecondClock = std::function<int64_t()>;

// The steady clock in milliseconds, the searcher's clock unless told otherwise.
int64_t steady_milliseconds();

struct SearchResult;

// Told on the searching thread, each time a depth is searched in full, the
// result so far (its nodes those counted up to then).
class DepthObserver {
public:
    virtual void depth_done(const SearchResult& so_far) = 0;

protected:
    ~DepthObserver() = default;
};

// The longest time a move may be given: a day, in milliseconds.  The
// command-line tools and the engine protocol refuse anything longer.
constexpr int64_t LONGEST_MOVETIME = 86400000;

struct Limits {
    int depth = 0;         // 0: no limit (up to MAX_PLY)
    int64_t nodes = 0;     // 0: no limit
    int64_t movetime = 0;  // milliseconds, 0: no limit
    DepthObserver* on_depth = nullptr;  // none: nobody is told
    // More than 0: every root move that scores within this much of the best
    // root move gets an exact score (SearchResult::root_scores), for a player
    // that chooses among the moves close to the best.
    int root_margin = 0;
};

// A root move and its score; exact when it lies within the root margin of
// the best, else an upper bound.
struct RootScore {
    Move move;
    int score = 0;
};

struct SearchResult {
    Move best;  // null when the side to move has no move
    int score = 0;
    int depth = 0;  // the last depth searched in full
    int64_t nodes = 0;
    std::vector<Move> pv;
    // With a root margin: every root move of the last depth searched in full
    // (of depth 1 as far as it went, when none was), in the order searched.
    std::vector<RootScore> root_scores;
};

// The evaluation, from the side to move's view: material on the board and
// in hand (promoted pieces at their own value), the shelter of each king,
// the danger to each king from the empty squares around it that the enemy
// could drop into (weighted by what the enemy holds in hand), the attack of
// each side's pieces within three squares of the enemy king (worth more the
// more that side holds in hand), and two terms of the falling rule: a king
// on the bottom row, and pieces standing on their own side's pieces.  The
// weights (eval_terms.h and the pieces' values) are fitted to the results of
// the player's own games with zemtori-tune, which made both falling terms
// costs rather than gains.
int evaluate(const CompactPosition& pos);

class Searcher {
public:
    // A table of 2^table_bits entries (16 bytes each).
    explicit Searcher(int table_bits = 20);

    // Thinks about `pos` within `limits`; `stop` (may be null) ends the
    // search at once when it becomes true.
    //
    // A king that can be taken is taken, whatever the limits or the stop
    // flag.  Otherwise the budget (nodes or movetime) holds from the first
    // root move on: until one root move has a score the capture search stops
    // widening when the budget is spent (it answers with the evaluation), and
    // once one has a score the spent budget ends the search, so a movetime
    // is used to its end.  The answer is the best move of the last depth
    // searched in full, unless the depth cut short had already found a
    // better one (each root move there is searched to the full depth before
    // it can replace the choice); when not even depth 1 was finished, the
    // best root move scored so far (the first move generated when stopped
    // before any had a score).
    SearchResult think(const CompactPosition& pos, const Limits& limits, std::atomic<bool>* stop = nullptr);

    // The game before the next root (game_history builds it).  A line that
    // comes back to one of its last positions (or to a position earlier on
    // the same line) scores as a draw, worth -contempt_after(plies) to the
    // side searched for, so a side that is ahead, or only a little behind,
    // makes progress instead of going round in a circle; the longer the
    // game, the more a repetition costs.  A neutral history scores it 0.
    void set_game(const History& history);
    // The same from the keys alone, every one a ply of the game: plies is
    // their number.
    void set_game(const std::vector<uint64_t>& keys) { set_game(History{keys, keys.size(), false}); }

    // The clock the movetime is measured on; the steady clock when empty.
    void set_clock(MillisecondClock clock) { clock_ = std::move(clock); }

    // Forgets everything earlier searches left in the table (a new game).
    // Within a game the table is kept from move to move: what was found on
    // the last move orders and cuts this one.
    //
    // A score in the table holds for the view it was found in.  Where a
    // repetition costs something, the same position scores differently for
    // a search on behalf of the upper side and one on behalf of the lower
    // side (a draw is -contempt for the one, +contempt for the other), so
    // each of those searches keeps its entries apart (the root's side is
    // folded into the key) and a searcher asked for both sides of a game
    // never reads the other side's scores.  A neutral search shares its
    // entries between the sides: its scores are the same from either.
    void clear();

    // The nodes of the search running (read from the searching thread, as a
    // test's clock does) or of the last one.
    int64_t nodes() const { return nodes_; }

private:
    struct Entry {
        uint64_t key;
        Move move;
        int16_t score;
        int8_t depth;
        uint8_t bound;
    };

    int search(const CompactPosition& pos, int depth, int alpha, int beta, int ply, bool null_ok);
    int quiesce(const CompactPosition& pos, int alpha, int beta, int ply, int qply);
    bool stopped() const;
    bool budget_spent();
    int64_t now() const { return clock_ ? clock_() : steady_milliseconds(); }
    void order(const CompactPosition& pos, MoveList& list, int* scores, Move tt_move, int ply) const;

    std::vector<Entry> table_;
    uint64_t mask_;
    Move killers_[MAX_PLY + 1][2];
    int history_[2][SQUARES][32];
    Move pv_[MAX_PLY + 1][MAX_PLY + 1];
    int pv_len_[MAX_PLY + 1];
    uint64_t path_[MAX_PLY + 1];
    std::vector<uint64_t> game_keys_;

    Limits limits_;
    std::atomic<bool>* stop_ = nullptr;
    MillisecondClock clock_;
    int64_t start_ = 0;
    int64_t nodes_ = 0;
    bool aborted_ = false;
    bool spent_ = false;        // the budget ran out (it stays spent)
    bool root_scored_ = false;  // a root move has a score
    Move root_best_;            // the best root move of the depth being searched
    int root_best_score_ = 0;
    int root_best_depth_ = 0;   // the depth root_best_ was found at
    int root_side_ = 1;  // the side the search is for
    int contempt_ = CONTEMPT;  // what a repetition costs it
    uint64_t view_key_ = 0;    // folded into the table's keys: whose scores they are
    std::vector<RootScore> root_scores_;  // the depth being searched, with a root margin
};

// One search with a table of its own.
SearchResult think(const CompactPosition& pos, const Limits& limits, std::atomic<bool>* stop = nullptr);

}  // namespace zemtori::searcher
