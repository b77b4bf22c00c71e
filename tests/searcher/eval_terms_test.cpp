// The evaluation's terms, weighted by evaluate()'s own weights, must give
// evaluate()'s score: the weights fitted to game results are fitted on these
// terms, so a term counted differently from the evaluation would fit the
// wrong thing.  Checked over seeded random games from the opening, where
// hands fill, kings wander and promoted pieces appear, from both sides.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "searcher/alpha_beta.h"
#include "searcher/eval_terms.h"
#include "test_support.h"

namespace zemtori {
namespace {

using namespace searcher;

int weighted_sum(const CompactPosition& pos) {
    const EvalTerms t = eval_terms(pos), w = eval_weights();
    long long s = 0;
    for (int i = 0; i < TERM_COUNT; ++i) s += static_cast<long long>(t[i]) * w[i];
    s = std::clamp<long long>(s, -EVAL_LIMIT, EVAL_LIMIT);
    return static_cast<int>(pos.side > 0 ? s : -s);
}

TEST(EvalTerms, WeightedTermsGiveTheEvaluationThroughRandomGames) {
    std::mt19937 rng(20261208);
    int compared = 0, with_hands = 0, with_promoted = 0;
    for (int game = 0; game < 60; ++game) {
        CompactPosition pos = from_rules(test::settled_opening(), game % 2 ? 1 : -1);
        for (int ply = 0; ply < 160 && pos.winner == 0 && pos.king[0] != 0 && pos.king[1] != 0; ++ply) {
            ASSERT_EQ(weighted_sum(pos), evaluate(pos)) << "game " << game << " ply " << ply;
            ++compared;
            const EvalTerms t = eval_terms(pos);
            if (std::any_of(t.begin() + TERM_HAND, t.begin() + TERM_HAND + 7, [](int v) { return v != 0; }))
                ++with_hands;
            if (std::any_of(t.begin() + TERM_PROMOTED, t.begin() + TERM_PROMOTED + 7, [](int v) { return v != 0; }))
                ++with_promoted;
            MoveList list;
            generate(pos, list);
            if (list.size == 0) break;
            make(pos, list.moves[std::uniform_int_distribution<int>(0, list.size - 1)(rng)]);
        }
    }
    // The games reach the terms that matter, not only the opening.
    EXPECT_GT(compared, 3000);
    EXPECT_GT(with_hands, 1000);
    EXPECT_GT(with_promoted, 100);
}

}  // namespace
}  // namespace zemtori
