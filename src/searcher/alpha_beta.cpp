#include "searcher/alpha_beta.h"

#include "searcher/eval_terms.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>

namespace zemtori::searcher {

namespace {

constexpr int iabs(int v) { return v < 0 ? -v : v; }

// The clock is read once in this many nodes.
constexpr int64_t CLOCK_EVERY = 256;

// A table entry keeps its score in 16 bits: every score a search returns,
// won games included, fits.
static_assert(WIN + MAX_PLY <= std::numeric_limits<int16_t>::max());

enum : uint8_t { BOUND_NONE, BOUND_UPPER, BOUND_LOWER, BOUND_EXACT };

// Folded into the table's keys by a search whose repetitions cost the side
// it is for something: the scores it stores hold for that side's view only.
constexpr uint64_t UPPER_VIEW_KEY = 0x6a09e667f3bcc909ULL;
constexpr uint64_t LOWER_VIEW_KEY = 0xbb67ae8584caa73bULL;

constexpr int kind_index(int code) { return (iabs(code) / 10) * 2 + iabs(code) % 10; }

// Shelter and stability of one king, from its own side's view.
int king_terms(const CompactPosition& pos, int king_sq, int side) {
    if (king_sq == 0) return -2000;
    int s = 0;
    const int kx = sq_x(king_sq), ky = sq_y(king_sq);
    if (kx == 9) s += KING_BOTTOM_WEIGHT;
    // King danger: each empty square next to the king is a square the enemy
    // can drop on, worth as much as what the enemy holds in hand.
    {
        const int enemy = side_index(-side);
        int hand = 0;
        for (int kind = 1; kind <= 7; ++kind) hand += pos.kinds[enemy][kind] * DANGER_WEIGHT[kind];
        hand = std::min(hand, DANGER_CAP);
        int open = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = kx + dx, y = ky + dy;
                if (x < 1 || x > 9 || y < 1 || y > 9 || (dx == 0 && dy == 0)) continue;
                if (pos.board[sq(x, y)] == 0) ++open;
            }
        s -= open * hand * DANGER_PER_SQUARE;
    }
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const int x = kx + dx, y = ky + dy;
            if (x < 1 || x > 9 || y < 1 || y > 9 || (dx == 0 && dy == 0)) continue;
            const int c = pos.board[sq(x, y)];
            if (c == 0) continue;
            const bool near = iabs(dx) <= 1 && iabs(dy) <= 1;
            if (c * side >= 10) s += near ? SHELTER_NEAR_WEIGHT : SHELTER_FAR_WEIGHT;
            else s -= near ? INTRUDER_NEAR_WEIGHT : INTRUDER_FAR_WEIGHT;
        }
    return s;
}

}  // namespace

int evaluate(const CompactPosition& pos) {
    int s = pos.material;
    s += king_terms(pos, pos.king[0], 1) - king_terms(pos, pos.king[1], -1);
    // The enemy king's square for each side's attackers (upper, lower); a
    // taken king is far from everything.
    const int tx[2] = {pos.king[1] ? sq_x(pos.king[1]) : -9, pos.king[0] ? sq_x(pos.king[0]) : -9};
    const int ty[2] = {pos.king[1] ? sq_y(pos.king[1]) : -9, pos.king[0] ? sq_y(pos.king[0]) : -9};
    int near[2] = {0, 0};
    for (int y = 1; y <= 9; ++y) {
        const int base = sq(0, y);
        for (int x = 1; x <= 9; ++x) {
            const int c = pos.board[base + x];
            if (c == 0) continue;
            const int si = c > 0 ? 0 : 1;
            // A piece standing on its own side's piece (the footing term;
            // its fitted weight is a cost).
            if (x < 9) {
                const int below = pos.board[base + x + 1];
                if ((c > 0) == (below > 0)) s += c > 0 ? FOOTING_WEIGHT : -FOOTING_WEIGHT;
            }
            const int d = std::max(iabs(x - tx[si]), iabs(y - ty[si]));
            if (d <= ATTACK_REACH && iabs(c) != OU) near[si] += ATTACK_NEAR[d];
        }
    }
    // Pieces close to the enemy king are an attack, the more so the more the
    // attacker holds in hand to follow them with: a side that is ahead in
    // pieces is drawn toward the king instead of waiting.
    for (int si = 0; si < 2; ++si) {
        int hand = 0;
        for (int kind = 1; kind <= 7; ++kind) hand += pos.kinds[si][kind] * DANGER_WEIGHT[kind];
        const int attack = ATTACK_WEIGHT * attack_value(near[si], hand);
        s += si == 0 ? attack : -attack;
    }
    s = std::clamp(s, -EVAL_LIMIT, EVAL_LIMIT);
    return pos.side > 0 ? s : -s;
}

int score_to_table(int score, int ply) {
    return score > WIN - 1000 ? score + ply : score < -WIN + 1000 ? score - ply : score;
}

int score_from_table(int stored, int ply) {
    return stored > WIN - 1000 ? stored - ply : stored < -WIN + 1000 ? stored + ply : stored;
}

int64_t steady_milliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Searcher::Searcher(int table_bits) : table_(std::size_t{1} << table_bits), mask_((uint64_t{1} << table_bits) - 1) {}

void Searcher::clear() { std::fill(table_.begin(), table_.end(), Entry{}); }

void Searcher::set_game(const History& history) {
    game_keys_ = history.keys;
    contempt_ = history.neutral ? 0 : contempt_after(history.plies);
}

bool Searcher::stopped() const { return stop_ != nullptr && stop_->load(std::memory_order_relaxed); }

bool Searcher::budget_spent() {
    if (spent_) return true;
    if (limits_.nodes > 0 && nodes_ >= limits_.nodes) spent_ = true;
    else if (limits_.movetime > 0 && nodes_ % CLOCK_EVERY == 0 && now() - start_ >= limits_.movetime) spent_ = true;
    return spent_;
}

void Searcher::order(const CompactPosition& pos, MoveList& list, int* scores, Move tt_move, int ply) const {
    const int si = side_index(pos.side);
    for (int i = 0; i < list.size; ++i) {
        const Move m = list.moves[i];
        const int victim = pos.board[m.to];
        int s;
        if (m == tt_move) s = 1 << 30;
        else if (victim != 0) s = (1 << 28) + iabs(board_value(victim)) * 16 - iabs(board_value(m.piece)) / 16;
        else if (m.placed != m.piece) s = (1 << 27);
        else if (m == killers_[ply][0]) s = (1 << 26) + 1;
        else if (m == killers_[ply][1]) s = (1 << 26);
        else s = history_[si][m.to][kind_index(m.placed)];
        scores[i] = s;
    }
}

namespace {

// Picks the best-scored move left into place i.
inline void pick(MoveList& list, int* scores, int i) {
    int best = i;
    for (int j = i + 1; j < list.size; ++j)
        if (scores[j] > scores[best]) best = j;
    std::swap(list.moves[i], list.moves[best]);
    std::swap(scores[i], scores[best]);
}

// The index of a move that takes the king, or -1.
inline int takes_king(const CompactPosition& pos, const MoveList& list) {
    for (int i = 0; i < list.size; ++i)
        if (iabs(pos.board[list.moves[i].to]) == OU) return i;
    return -1;
}

}  // namespace

bool king_attacked(const CompactPosition& pos) {
    const int own = pos.king[side_index(pos.side)];
    if (own == 0) return false;
    CompactPosition other = pos;
    other.side = static_cast<int8_t>(-pos.side);
    MoveList list;
    generate_captures(other, list);
    for (int i = 0; i < list.size; ++i)
        if (list.moves[i].to == own) return true;
    return false;
}

int Searcher::quiesce(const CompactPosition& pos, int alpha, int beta, int ply, int qply) {
    ++nodes_;
    if (stopped() || (budget_spent() && root_scored_)) {
        aborted_ = true;
        return 0;
    }
    MoveList list;
    generate_captures(pos, list);
    if (takes_king(pos, list) >= 0) return WIN - ply;
    if (qply < QUIESCE_THREAT_PLIES && ply + 2 < MAX_PLY && !spent_ && king_attacked(pos)) {
        // The king can be taken: standing pat would not see it.  Every move
        // is tried, each answered by the capture search.
        generate(pos, list);
        if (list.size == 0) return -(WIN - ply);
        int scores[MAX_MOVES];
        order(pos, list, scores, Move{}, ply);
        int best = -(WIN - ply - 1);  // every move loses the king
        for (int i = 0; i < list.size; ++i) {
            pick(list, scores, i);
            CompactPosition next = pos;
            make(next, list.moves[i]);
            const int v = -quiesce(next, -beta, -std::max(alpha, best), ply + 1, qply + 1);
            if (aborted_) return 0;
            if (v > best) {
                best = v;
                if (v >= beta) break;
            }
            if (spent_) break;
        }
        return best;
    }
    int stand = evaluate(pos);
    // With the budget spent before any root move has a score, the capture
    // search stops widening, so that the first root move gets its score.
    if (stand >= beta || ply >= MAX_PLY || qply >= QUIESCE_PLIES || spent_) return stand;
    if (stand > alpha) alpha = stand;
    int scores[MAX_MOVES];
    order(pos, list, scores, Move{}, ply);
    const int width = qply >= QUIESCE_WIDE_PLIES ? std::min(list.size, QUIESCE_NARROW_WIDTH) : list.size;
    for (int i = 0; i < width; ++i) {
        pick(list, scores, i);
        CompactPosition next = pos;
        make(next, list.moves[i]);
        const int v = -quiesce(next, -beta, -alpha, ply + 1, qply + 1);
        if (aborted_) return 0;
        if (v > alpha) {
            alpha = v;
            if (v >= beta) break;
        }
        if (spent_) break;
    }
    return alpha;
}

int Searcher::search(const CompactPosition& pos, int depth, int alpha, int beta, int ply, bool null_ok) {
    pv_len_[ply] = ply;
    if (depth <= 0 || ply >= MAX_PLY) return quiesce(pos, alpha, beta, ply, 0);
    ++nodes_;
    if (stopped() || (budget_spent() && root_scored_)) {
        aborted_ = true;
        return 0;
    }
    const bool pv_node = beta - alpha > 1;

    // A position met before on this line, or lately in the game, is a draw.
    const uint64_t plain_key = pos.key();
    path_[ply] = plain_key;
    if (ply > 0) {
        const int draw = pos.side == root_side_ ? -contempt_ : contempt_;
        for (int i = ply - 2; i >= 0; i -= 2)
            if (path_[i] == plain_key) return draw;
        const std::size_t n = game_keys_.size(), from = n > GAME_KEYS_LOOKED_AT ? n - GAME_KEYS_LOOKED_AT : 0;
        for (std::size_t i = from; i < n; ++i)
            if (game_keys_[i] == plain_key) return draw;
    }

    // The table: a cut where its bound allows, else its move first.
    const uint64_t key = plain_key ^ view_key_;
    Entry& e = table_[key & mask_];
    Move tt_move{};
    if (e.key == key) {
        tt_move = e.move;
        if (!pv_node && ply > 0 && e.depth >= depth) {
            const int v = score_from_table(e.score, ply);
            if (e.bound == BOUND_EXACT || (e.bound == BOUND_LOWER && v >= beta) ||
                (e.bound == BOUND_UPPER && v <= alpha))
                return v;
        }
    }

    MoveList list;
    generate(pos, list);
    if (list.size == 0) return -(WIN - ply);  // no move: lost
    if (const int k = takes_king(pos, list); k >= 0) {
        pv_[ply][ply] = list.moves[k];
        pv_len_[ply] = ply + 1;
        return WIN - ply;
    }

    // Passing the move: when even that holds beta, the position is good
    // enough to cut without a full search.
    if (null_ok && !pv_node && depth >= 3 && ply > 0 && evaluate(pos) >= beta) {
        CompactPosition passed = pos;
        passed.side = static_cast<int8_t>(-pos.side);
        const int v = -search(passed, depth - 3, -beta, -beta + 1, ply + 1, false);
        if (aborted_) return 0;
        if (v >= beta && v < WIN - 1000) return v;
    }

    int scores[MAX_MOVES];
    order(pos, list, scores, tt_move, ply);
    const int si = side_index(pos.side);
    const int alpha0 = alpha;
    int best = -WIN - 1;
    Move best_move{};
    for (int i = 0; i < list.size; ++i) {
        pick(list, scores, i);
        const Move m = list.moves[i];
        const bool quiet = pos.board[m.to] == 0 && m.placed == m.piece;
        CompactPosition next = pos;
        make(next, m);
        int v;
        if (i == 0) {
            v = -search(next, depth - 1, -beta, -alpha, ply + 1, true);
        } else if (ply == 0 && limits_.root_margin > 0) {
            // The margin below the best: a move that fails to rise above it
            // is dropped at a null window's cost, the others get exact scores.
            const int low = std::max(alpha - limits_.root_margin, -WIN - 1);
            v = -search(next, depth - 1, -low - 1, -low, ply + 1, true);
            if (!aborted_ && v > low) v = -search(next, depth - 1, -beta, -low, ply + 1, true);
        } else {
            // Late quiet moves are looked at less deeply first.
            const int r = (quiet && depth >= 3 && i >= 4 && m != killers_[ply][0] && m != killers_[ply][1])
                              ? (i >= 12 && depth >= 5 ? 2 : 1)
                              : 0;
            v = -search(next, depth - 1 - r, -alpha - 1, -alpha, ply + 1, true);
            if (!aborted_ && v > alpha && r > 0) v = -search(next, depth - 1, -alpha - 1, -alpha, ply + 1, true);
            if (!aborted_ && v > alpha && v < beta) v = -search(next, depth - 1, -beta, -alpha, ply + 1, true);
        }
        if (aborted_) return 0;
        if (ply == 0) root_scored_ = true;
        if (ply == 0 && limits_.root_margin > 0) root_scores_.push_back({m, v});
        if (v > best) {
            best = v;
            best_move = m;
            if (ply == 0) {
                root_best_ = m;
                root_best_score_ = v;
                root_best_depth_ = depth;
            }
            if (v > alpha) {
                alpha = v;
                pv_[ply][ply] = m;
                for (int k = ply + 1; k < pv_len_[ply + 1]; ++k) pv_[ply][k] = pv_[ply + 1][k];
                pv_len_[ply] = std::max(pv_len_[ply + 1], ply + 1);
                if (v >= beta) {
                    if (quiet) {
                        if (killers_[ply][0] != m) {
                            killers_[ply][1] = killers_[ply][0];
                            killers_[ply][0] = m;
                        }
                        int& h = history_[si][m.to][kind_index(m.placed)];
                        h = std::min(h + depth * depth, 1 << 20);
                    }
                    break;
                }
            }
        }
    }
    e.key = key;
    e.move = best_move;
    e.score = static_cast<int16_t>(score_to_table(best, ply));
    e.depth = static_cast<int8_t>(depth);
    e.bound = best >= beta ? BOUND_LOWER : best > alpha0 ? BOUND_EXACT : BOUND_UPPER;
    return best;
}

SearchResult Searcher::think(const CompactPosition& pos, const Limits& limits, std::atomic<bool>* stop) {
    limits_ = limits;
    stop_ = stop;
    nodes_ = 0;  // first: a test's clock may count the nodes
    start_ = now();
    aborted_ = false;
    spent_ = false;
    root_scored_ = false;
    root_side_ = pos.side;
    // Scores with a repetition's cost in them are the root side's alone.
    view_key_ = contempt_ == 0 ? 0 : pos.side > 0 ? UPPER_VIEW_KEY : LOWER_VIEW_KEY;
    std::memset(killers_, 0, sizeof killers_);
    std::memset(history_, 0, sizeof history_);

    SearchResult result;
    MoveList list;
    generate(pos, list);
    if (list.size == 0) {
        result.score = -WIN;
        return result;
    }
    // A king that can be taken is taken, before any limit is looked at.
    if (const int k = takes_king(pos, list); k >= 0) {
        result.best = list.moves[k];
        result.score = WIN;
        result.depth = 1;
        result.nodes = nodes_ = 1;
        result.pv = {result.best};
        if (limits.on_depth != nullptr) limits.on_depth->depth_done(result);
        return result;
    }
    result.best = list.moves[0];
    const int max_depth = limits.depth > 0 ? std::min(limits.depth, MAX_PLY - 1) : MAX_PLY - 1;
    for (int depth = 1; depth <= max_depth; ++depth) {
        root_scores_.clear();
        const int v = search(pos, depth, -WIN - 1, WIN + 1, 0, false);
        if (aborted_) {
            if (result.depth == 0) result.root_scores = root_scores_;
            // A depth cut short still counts where it found something: its
            // best root move so far was searched to the full depth with a
            // full window, so it stands above the last depth's choice when it
            // is another move (and is the only choice when depth 1 was cut).
            if (root_scored_ && root_best_depth_ == depth && (result.depth == 0 || root_best_ != result.best)) {
                result.best = root_best_;
                result.score = root_best_score_;
                result.pv.assign(pv_[0], pv_[0] + pv_len_[0]);
                if (result.pv.empty() || result.pv[0] != root_best_) result.pv = {root_best_};
            }
            break;
        }
        result.score = v;
        result.depth = depth;
        result.root_scores = root_scores_;
        result.pv.assign(pv_[0], pv_[0] + pv_len_[0]);
        if (!result.pv.empty()) result.best = result.pv[0];
        if (limits.on_depth != nullptr) {
            result.nodes = nodes_;
            limits.on_depth->depth_done(result);
        }
        if (iabs(v) > WIN - 1000) break;  // the end is in sight
    }
    result.nodes = nodes_;
    return result;
}

SearchResult think(const CompactPosition& pos, const Limits& limits, std::atomic<bool>* stop) {
    Searcher searcher(18);
    return searcher.think(pos, limits, stop);
}

}  // namespace zemtori::searcher
