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

#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

#include "search/position.h"

namespace zemtori::search {

// Scores are from the side to move's view; a won game scores WIN minus the
// plies to the king's capture.
constexpr int WIN = 30000;
constexpr int MAX_PLY = 96;

struct SearchResult;

// Told on the searching thread, each time a depth is searched in full, the
// result so far (its nodes those counted up to then).
class DepthObserver {
public:
    virtual void depth_done(const SearchResult& so_far) = 0;

protected:
    ~DepthObserver() = default;
};

struct Limits {
    int depth = 0;         // 0: no limit (up to MAX_PLY)
    int64_t nodes = 0;     // 0: no limit
    int64_t movetime = 0;  // milliseconds, 0: no limit
    DepthObserver* on_depth = nullptr;  // none: nobody is told
};

struct SearchResult {
    Move best;  // null when the side to move has no move
    int score = 0;
    int depth = 0;  // the last depth searched in full
    int64_t nodes = 0;
    std::vector<Move> pv;
};

// The evaluation, from the side to move's view: material on the board and
// in hand (promoted pieces at their own value), the shelter of each king,
// and the stability the falling rule gives: a king on the bottom row cannot
// be dropped by a capture beneath it, and a piece standing on its own side's
// piece keeps its footing.
int evaluate(const Position& pos);

class Searcher {
public:
    // A table of 2^table_bits entries (16 bytes each).
    explicit Searcher(int table_bits = 20);

    // Thinks about `pos` within `limits`; `stop` (may be null) ends the
    // search at once when it becomes true.  The best move of the last depth
    // searched in full is returned; at least depth 1 is finished unless
    // stopped from outside.
    SearchResult think(const Position& pos, const Limits& limits, std::atomic<bool>* stop = nullptr);

    // The keys of the positions played before the next root, oldest first.
    // A line that comes back to one of the last of them (or to a position
    // earlier on the same line) scores as a draw, so a side that is ahead
    // makes progress instead of going round in a circle.
    void set_game(const std::vector<uint64_t>& keys) { game_keys_ = keys; }

private:
    struct Entry {
        uint64_t key;
        Move move;
        int16_t score;
        int8_t depth;
        uint8_t bound;
    };

    int search(const Position& pos, int depth, int alpha, int beta, int ply, bool null_ok);
    int quiesce(const Position& pos, int alpha, int beta, int ply);
    bool time_up();
    void order(const Position& pos, MoveList& list, int* scores, Move tt_move, int ply) const;

    std::vector<Entry> table_;
    uint64_t mask_;
    uint64_t generation_ = 0, salt_ = 0;
    Move killers_[MAX_PLY + 1][2];
    int history_[2][SQUARES][32];
    Move pv_[MAX_PLY + 1][MAX_PLY + 1];
    int pv_len_[MAX_PLY + 1];
    uint64_t path_[MAX_PLY + 1];
    std::vector<uint64_t> game_keys_;

    Limits limits_;
    std::atomic<bool>* stop_ = nullptr;
    std::chrono::steady_clock::time_point start_;
    int64_t nodes_ = 0;
    bool aborted_ = false;
    int root_depth_ = 0;
};

// One search with a table of its own.
SearchResult think(const Position& pos, const Limits& limits, std::atomic<bool>* stop = nullptr);

}  // namespace zemtori::search
