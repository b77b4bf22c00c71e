#include "searcher/levels.h"

#include <cmath>
#include <vector>

namespace zemtori::searcher {

namespace {

// Tuned together so that each level wins about three games in four
// against the one below (make strength).  Each level keeps the best move
// outright more often than the one below it.  The budgets, margins and
// temperatures are not in order: LEVEL5 searches more nodes than LEVEL6 and
// LEVEL7, and strays further (a wider margin, a higher temperature) than
// LEVEL4, because the lowest levels stray far on budgets large enough to see
// captures coming (a shallow search that strays little only shuffles and
// draws its games); from LEVEL6 up each level strays less than the one
// below.  LEVEL9's budget is what keeps its step in the ladder.  Budgets
// are nodes a move; keep_best is in a thousand moves.
constexpr Level LEVELS[LAST_LEVEL - FIRST_SEARCH_LEVEL + 1] = {
    {350, 240, 720, 0},       // LEVEL4
    {1500, 300, 900, 140},    // LEVEL5
    {600, 130, 390, 195},     // LEVEL6
    {850, 85, 255, 358},      // LEVEL7
    {1800, 48, 144, 600},     // LEVEL8
    {3000, 0, 0, 1000},       // LEVEL9: the full searching player
};

uint64_t mix(uint64_t z) {
    z += 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

}  // namespace

const Level& level(int n) {
    if (n < FIRST_SEARCH_LEVEL) n = FIRST_SEARCH_LEVEL;
    if (n > LAST_LEVEL) n = LAST_LEVEL;
    return LEVELS[n - FIRST_SEARCH_LEVEL];
}

bool keeps_best(int n, uint64_t draw) {
    const Level& lv = level(n);
    return lv.temperature <= 0 || static_cast<int>(draw % 1000) < lv.keep_best;
}

Limits level_limits(int n, uint64_t draw) {
    Limits l;
    l.nodes = level(n).nodes;
    return level_limits(n, l, draw);
}

Limits level_limits(int n, const Limits& budget, uint64_t draw) {
    Limits l = budget;
    l.root_margin = keeps_best(n, draw) ? 0 : level(n).margin;
    return l;
}

bool gives_king_away(const CompactPosition& pos, Move m) {
    CompactPosition next = pos;
    make(next, m);
    // The enemy is to move in `next`; asked from our side, whether it could
    // take our king.
    next.side = pos.side;
    return king_attacked(next);
}

uint64_t level_draw(uint64_t game_seed, uint64_t position_key, int ply) {
    return mix(mix(game_seed ^ position_key) + static_cast<uint64_t>(ply));
}

Move choose_move(const CompactPosition& pos, const SearchResult& result, int n, uint64_t draw) {
    const Level& lv = level(n);
    if (keeps_best(n, draw) || result.root_scores.empty()) return result.best;

    // The safe moves; the best of them.
    std::vector<RootScore> safe;
    for (const RootScore& r : result.root_scores)
        if (!gives_king_away(pos, r.move)) safe.push_back(r);
    if (safe.empty()) return result.best;
    int top = safe[0].score;
    for (const RootScore& r : safe) top = std::max(top, r.score);
    // The candidates: within the margin of the best root move, the best safe
    // move at least.
    int best_all = top;
    for (const RootScore& r : result.root_scores) best_all = std::max(best_all, r.score);
    std::vector<RootScore> near;
    std::vector<double> weight;
    double total = 0;
    for (const RootScore& r : safe) {
        // Scores at or below the margin are bounds only.
        if (r.score <= best_all - lv.margin && r.score < top) continue;
        // A won line is not thrown away for another: once the king's
        // capture is in sight only the fastest such moves are candidates.
        if (top > WIN - 1000 && r.score < top) continue;
        near.push_back(r);
        const double w = std::exp(static_cast<double>(r.score - top) / lv.temperature);
        weight.push_back(w);
        total += w;
    }
    // A point in [0, total) from the draw's upper 53 bits.
    const double u = static_cast<double>(draw >> 11) * (1.0 / 9007199254740992.0) * total;
    double sum = 0;
    for (std::size_t i = 0; i < near.size(); ++i) {
        sum += weight[i];
        if (u < sum) {
            return near[i].move;
        }
    }
    return near.back().move;
}

Move play_level(Searcher& searcher, const CompactPosition& pos, int n, uint64_t draw, std::atomic<bool>* stop) {
    return choose_move(pos, searcher.think(pos, level_limits(n, draw), stop), n, draw);
}

}  // namespace zemtori::searcher
