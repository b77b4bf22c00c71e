#include "searcher/eval_terms.h"

#include <algorithm>

namespace zemtori::searcher {

namespace {

constexpr int iabs(int v) { return v < 0 ? -v : v; }

// One king's terms, added with `sign` (+1 for the upper king).
void add_king_terms(const CompactPosition& pos, int king_sq, int side, int sign, EvalTerms& t) {
    const int kx = sq_x(king_sq), ky = sq_y(king_sq);
    if (kx == 9) t[TERM_KING_BOTTOM] += sign;
    const int enemy = side_index(-side);
    int hand = 0;
    for (int kind = 1; kind <= 7; ++kind) hand += pos.kinds[enemy][kind] * DANGER_WEIGHT[kind];
    hand = std::min(hand, DANGER_CAP);
    int open = 0;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const int x = kx + dx, y = ky + dy;
            if (x < 1 || x > 9 || y < 1 || y > 9 || (dx == 0 && dy == 0)) continue;
            const int c = pos.board[sq(x, y)];
            const bool near = iabs(dx) <= 1 && iabs(dy) <= 1;
            if (c == 0) {
                if (near) ++open;
                continue;
            }
            if (c * side >= 10) t[near ? TERM_SHELTER_NEAR : TERM_SHELTER_FAR] += sign;
            else t[near ? TERM_INTRUDER_NEAR : TERM_INTRUDER_FAR] -= sign;
        }
    t[TERM_KING_DANGER] -= sign * open * hand;
}

}  // namespace

EvalTerms eval_terms(const CompactPosition& pos) {
    EvalTerms t{};
    // Each side's pieces near the enemy king (upper's, lower's).
    int near[2] = {0, 0};
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const int c = pos.board[sq(x, y)];
            if (c == 0) continue;
            const int kind = iabs(c) / 10, promoted = iabs(c) % 10;
            const int sign = c > 0 ? 1 : -1;
            if (kind >= 1 && kind <= 7) t[(promoted ? TERM_PROMOTED : TERM_BOARD) + kind - 1] += sign;
            if (x <= 8) {
                const int below = pos.board[sq(x + 1, y)];
                if ((c > 0) == (below > 0)) t[TERM_FOOTING] += sign;
            }
            const int target = pos.king[c > 0 ? 1 : 0];
            const int d = std::max(iabs(x - sq_x(target)), iabs(y - sq_y(target)));
            if (d <= ATTACK_REACH && iabs(c) != OU) near[c > 0 ? 0 : 1] += ATTACK_NEAR[d];
        }
    for (int si = 0; si < 2; ++si) {
        int hand = 0;
        for (int kind = 1; kind <= 7; ++kind) hand += pos.kinds[si][kind] * DANGER_WEIGHT[kind];
        t[TERM_ATTACK] += (si == 0 ? 1 : -1) * attack_value(near[si], hand);
    }
    for (int kind = 1; kind <= 7; ++kind) t[TERM_HAND + kind - 1] += pos.kinds[0][kind] - pos.kinds[1][kind];
    add_king_terms(pos, pos.king[0], 1, 1, t);
    add_king_terms(pos, pos.king[1], -1, -1, t);
    return t;
}

EvalTerms eval_weights() {
    EvalTerms w{};
    for (int kind = 1; kind <= 7; ++kind) {
        w[TERM_BOARD + kind - 1] = board_value(kind * 10);
        w[TERM_PROMOTED + kind - 1] = board_value(kind * 10 + 1);
        w[TERM_HAND + kind - 1] = hand_value(kind);
    }
    w[TERM_KING_BOTTOM] = KING_BOTTOM_WEIGHT;
    w[TERM_KING_DANGER] = DANGER_PER_SQUARE;
    w[TERM_SHELTER_NEAR] = SHELTER_NEAR_WEIGHT;
    w[TERM_SHELTER_FAR] = SHELTER_FAR_WEIGHT;
    w[TERM_INTRUDER_NEAR] = INTRUDER_NEAR_WEIGHT;
    w[TERM_INTRUDER_FAR] = INTRUDER_FAR_WEIGHT;
    w[TERM_FOOTING] = FOOTING_WEIGHT;
    w[TERM_ATTACK] = ATTACK_WEIGHT;
    return w;
}

}  // namespace zemtori::searcher
