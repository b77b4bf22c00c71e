// The searching levels: the root scores the weaker levels choose from, the
// choice among the moves close to the best, the king never given away while
// another move keeps it, and LEVEL9 playing the search's own best move.
#include <algorithm>
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "searcher/alpha_beta.h"
#include "searcher/levels.h"
#include "test_support.h"

namespace zemtori {
namespace {

using searcher::CompactPosition;
using searcher::Limits;
using searcher::Move;
using searcher::SearchResult;

// Positions from seeded random play out of the opening, both kings on the
// board and a move to make.
std::vector<CompactPosition> random_positions(uint64_t seed, int count) {
    std::mt19937_64 rng(seed);
    std::vector<CompactPosition> found;
    while (static_cast<int>(found.size()) < count) {
        CompactPosition pos = searcher::from_rules(test::settled_opening(), -1);
        const int plies = 6 + static_cast<int>(rng() % 40);
        for (int ply = 0; ply < plies && pos.winner == 0; ++ply) {
            searcher::MoveList list;
            searcher::generate(pos, list);
            if (list.size == 0) break;
            searcher::make(pos, list.moves[rng() % list.size]);
        }
        searcher::MoveList list;
        searcher::generate(pos, list);
        bool takes_king = false;  // then the search takes it without a choice
        for (int i = 0; i < list.size; ++i)
            takes_king |= list.moves[i].to == pos.king[searcher::side_index(-pos.side)];
        if (pos.winner == 0 && list.size > 0 && pos.king[0] != 0 && pos.king[1] != 0 && !takes_king)
            found.push_back(pos);
    }
    return found;
}

// Whether the enemy could take our king after `m`, by trying every move it has.
bool king_lost_after(const CompactPosition& pos, Move m) {
    CompactPosition next = pos;
    searcher::make(next, m);
    const int own = next.king[searcher::side_index(pos.side)];
    if (own == 0) return true;
    searcher::MoveList replies;
    searcher::generate(next, replies);
    for (int i = 0; i < replies.size; ++i)
        if (replies.moves[i].to == own) return true;
    return false;
}

// With a root margin every root move is scored, the best of them is the
// search's answer, and at depth 1 (the capture search under each move) the
// scores within the margin are the exact ones every move gets with a margin
// wider than any score.
TEST(Levels, RootMovesWithinTheMarginGetExactScores) {
    for (const CompactPosition& pos : random_positions(11, 12)) {
        searcher::MoveList list;
        searcher::generate(pos, list);
        const int margin = 150;
        Limits narrow{1, 0, 0};
        narrow.root_margin = margin;
        Limits wide = narrow;
        wide.root_margin = 4 * searcher::WIN;
        const SearchResult a = searcher::think(pos, narrow), b = searcher::think(pos, wide);
        ASSERT_EQ(static_cast<int>(a.root_scores.size()), list.size);
        ASSERT_EQ(b.root_scores.size(), a.root_scores.size());
        std::map<uint32_t, int> exact;
        auto key = [](Move m) { return static_cast<uint32_t>(m.from) << 16 | m.to << 8 | static_cast<uint8_t>(m.placed); };
        int top = -2 * searcher::WIN;
        for (const searcher::RootScore& r : b.root_scores) {
            exact[key(r.move)] = r.score;
            top = std::max(top, r.score);
        }
        EXPECT_EQ(top, b.score);
        EXPECT_EQ(a.score, b.score);
        int close = 0;
        for (const searcher::RootScore& r : a.root_scores) {
            ASSERT_EQ(exact.count(key(r.move)), 1u) << "every move once";
            if (r.score > a.score - margin) {
                EXPECT_EQ(r.score, exact[key(r.move)]);
                ++close;
            } else {
                EXPECT_LE(exact[key(r.move)], a.score - margin) << "a bound only for a move outside the margin";
            }
        }
        EXPECT_GE(close, 1);
    }
    // Deeper, the best root score is the answer's and the answer is a root move.
    for (const CompactPosition& pos : random_positions(12, 4)) {
        Limits l{4, 0, 0};
        l.root_margin = 100;
        const SearchResult r = searcher::think(pos, l);
        ASSERT_FALSE(r.root_scores.empty());
        int top = -2 * searcher::WIN;
        bool best_listed = false;
        for (const searcher::RootScore& s : r.root_scores) {
            top = std::max(top, s.score);
            best_listed |= s.move == r.best;
        }
        EXPECT_EQ(top, r.score);
        EXPECT_TRUE(best_listed);
    }
}

// The king-safety test agrees with trying every reply, over many positions
// and every move in them.
TEST(Levels, GivingTheKingAwayIsSeenAsEveryReplyWouldSeeIt) {
    int given = 0, kept = 0;
    for (const CompactPosition& pos : random_positions(21, 60)) {
        searcher::MoveList list;
        searcher::generate(pos, list);
        for (int i = 0; i < list.size; ++i) {
            const bool lost = king_lost_after(pos, list.moves[i]);
            EXPECT_EQ(searcher::gives_king_away(pos, list.moves[i]), lost);
            (lost ? given : kept)++;
        }
    }
    EXPECT_GT(given, 20);
    EXPECT_GT(kept, 1000);
}

// A position with moves that give the king away and moves that keep it.
CompactPosition position_with_a_king_giving_move(std::vector<Move>& giving, std::vector<Move>& keeping) {
    for (const CompactPosition& pos : random_positions(31, 200)) {
        giving.clear();
        keeping.clear();
        searcher::MoveList list;
        searcher::generate(pos, list);
        for (int i = 0; i < list.size; ++i)
            (king_lost_after(pos, list.moves[i]) ? giving : keeping).push_back(list.moves[i]);
        if (giving.size() >= 2 && keeping.size() >= 3) return pos;
    }
    ADD_FAILURE() << "no such position";
    return {};
}

// The choice: only moves within the level's margin, more often the better
// ones, more often the best at a higher level, never a move that gives the
// king away while one keeps it (even scored best), and the same draw the
// same move.
TEST(Levels, TheChoiceKeepsNearTheBestAndNeverGivesTheKingAway) {
    std::vector<Move> giving, keeping;
    const CompactPosition pos = position_with_a_king_giving_move(giving, keeping);
    ASSERT_FALSE(keeping.empty());
    SearchResult r;
    r.best = giving[0];
    r.score = 100;
    const int m4 = searcher::level(4).margin;
    ASSERT_GT(m4, 20);
    int widest = 0;  // the widest margin of the levels that choose
    for (int level = 4; level <= 8; ++level) widest = std::max(widest, searcher::level(level).margin);
    r.root_scores = {{giving[0], 100}, {keeping[0], 90}, {keeping[1], 90 - m4 / 2}, {giving[1], 95},
                     {keeping[2], 100 - widest}};
    std::map<int, std::map<int, int>> picked;  // level, index in root_scores -> times
    std::map<int, int> kept;
    for (int level = 4; level <= 8; ++level)
        for (int i = 0; i < 2000; ++i) {
            const uint64_t draw = searcher::level_draw(77, pos.key(), i);
            const Move m = searcher::choose_move(pos, r, level, draw);
            EXPECT_EQ(searcher::choose_move(pos, r, level, draw), m) << "the same draw, the same move";
            // A draw that keeps the best move searches without a margin and
            // plays the search's answer (which a real search never makes a
            // king-giving move while another keeps it).
            EXPECT_EQ(searcher::level_limits(level, draw).root_margin,
                      searcher::keeps_best(level, draw) ? 0 : searcher::level(level).margin);
            if (searcher::keeps_best(level, draw)) {
                EXPECT_EQ(m, r.best);
                ++kept[level];
                continue;
            }
            int index = -1;
            for (std::size_t k = 0; k < r.root_scores.size(); ++k)
                if (r.root_scores[k].move == m) index = static_cast<int>(k);
            ASSERT_GE(index, 0);
            ++picked[level][index];
        }
    for (int level = 4; level <= 8; ++level) {
        EXPECT_EQ(picked[level][0] + picked[level][3], 0) << "the king given away, level " << level;
        EXPECT_EQ(picked[level][4], 0) << "a move at the margin, level " << level;
        EXPECT_GT(picked[level][1], picked[level][2]) << "level " << level;
    }
    for (int level = 4; level <= 8; ++level)
        EXPECT_NEAR(kept[level], 2 * searcher::level(level).keep_best, 90) << "the best outright, level " << level;
    EXPECT_GT(picked[4][2], 100) << "LEVEL4 plays a move half its margin below the best now and then";
    EXPECT_GT(picked[8][1] * (2000 - kept[4]), picked[4][1] * (2000 - kept[8])) << "a higher level keeps closer to the best";

    // Only king-giving moves close to the best: the best safe move.
    SearchResult far = r;
    far.root_scores = {{giving[0], 100}, {giving[1], 99}, {keeping[0], -2000}, {keeping[1], -2500}};
    for (int i = 0; i < 50; ++i) {
        const uint64_t draw = searcher::level_draw(5, pos.key(), i);
        if (!searcher::keeps_best(4, draw)) EXPECT_EQ(searcher::choose_move(pos, far, 4, draw), keeping[0]);
    }
    // No safe move at all: the search's answer.
    SearchResult lost = r;
    lost.root_scores = {{giving[0], 100}, {giving[1], 99}};
    lost.best = giving[1];
    for (int i = 0; i < 20; ++i) EXPECT_EQ(searcher::choose_move(pos, lost, 4, searcher::level_draw(6, 0, i)), giving[1]);
    // LEVEL9 always plays the search's answer, king or no king.
    for (int i = 0; i < 50; ++i) EXPECT_EQ(searcher::choose_move(pos, r, 9, searcher::level_draw(1, 2, i)), giving[0]);
}

// The share of a level's moves that play the best outright is its
// keep_best in a thousand, measured over twenty million draws as games make
// them (seeded position keys, plies up to 300).  A share one in a thousand
// off moves the count by 20000; the draws stray from the exact share by a
// few thousand at most (the standard deviation is below 2300).
TEST(Levels, TheShareThatKeepsTheBestIsExactlyTheLevelsOwn) {
    constexpr int64_t DRAWS = 20000000;
    constexpr int64_t TOLERANCE = 8000;
    std::mt19937_64 rng(2024);
    int64_t kept[searcher::LAST_LEVEL + 1] = {};
    for (int64_t i = 0; i < DRAWS; ++i) {
        const uint64_t draw = searcher::level_draw(rng(), rng(), static_cast<int>(i % 300));
        for (int level = searcher::FIRST_SEARCH_LEVEL; level <= searcher::LAST_LEVEL; ++level)
            kept[level] += searcher::keeps_best(level, draw);
    }
    for (int level = searcher::FIRST_SEARCH_LEVEL; level <= searcher::LAST_LEVEL; ++level) {
        const int64_t expected = DRAWS / 1000 * searcher::level(level).keep_best;
        EXPECT_NEAR(static_cast<double>(kept[level]), static_cast<double>(expected), TOLERANCE) << "LEVEL" << level;
    }
    EXPECT_EQ(kept[searcher::FIRST_SEARCH_LEVEL], 0) << "LEVEL4 always chooses";
    EXPECT_EQ(kept[searcher::LAST_LEVEL], DRAWS) << "LEVEL9 always plays the best";
}

// LEVEL9 is the full searching player: its move is the one a search with its
// budget answers, and the draw makes no difference.  A weaker level's
// search gives its choice root scores, the same move for the same draw.
TEST(Levels, LevelNinePlaysTheSearchsBestMove) {
    for (const CompactPosition& pos : random_positions(41, 3)) {
        searcher::Searcher plain(18), level9(18), again(18);
        const Move best = plain.think(pos, searcher::level_limits(9, 1)).best;
        EXPECT_EQ(searcher::play_level(level9, pos, 9, 1), best);
        EXPECT_EQ(searcher::play_level(again, pos, 9, 999), best);
        EXPECT_EQ(searcher::level_limits(9, 999).root_margin, 0);
        EXPECT_TRUE(searcher::keeps_best(9, 999));

        // A draw with which LEVEL5 chooses.
        uint64_t draw = 0;
        for (int i = 0; searcher::keeps_best(5, draw); ++i) draw = searcher::level_draw(3, pos.key(), i);
        searcher::Searcher a(16), b(16);
        const SearchResult r = a.think(pos, searcher::level_limits(5, draw));
        EXPECT_FALSE(r.root_scores.empty());
        EXPECT_EQ(searcher::play_level(b, pos, 5, draw), searcher::choose_move(pos, r, 5, draw));
    }
}

// Each level above the next has the larger budget and keeps closer to the
// best move: a lower temperature, and the best move outright no less often.
// Each level plays the best move outright at least as often as the one
// below it, every level below LEVEL9 makes choices, and LEVEL9, which makes
// none, searches the most.  (Budgets and temperatures are not in order at
// the bottom: LEVEL5 searches more than LEVEL6 and strays more, since a
// shallow search that strays little draws its games; the ladder measures
// that each level is above the one below.)
TEST(Levels, EachLevelKeepsTheBestMoreAndLevelNineSearchesTheMost) {
    for (int n = searcher::FIRST_SEARCH_LEVEL + 1; n <= searcher::LAST_LEVEL; ++n)
        EXPECT_GE(searcher::level(n).keep_best, searcher::level(n - 1).keep_best) << n;
    for (int n = searcher::FIRST_SEARCH_LEVEL; n < searcher::LAST_LEVEL; ++n) {
        EXPECT_GT(searcher::level(n).temperature, 0) << n;
        EXPECT_LT(searcher::level(n).keep_best, 1000) << n;
        EXPECT_LT(searcher::level(n).nodes, searcher::level(searcher::LAST_LEVEL).nodes) << n;
    }
    EXPECT_EQ(searcher::level(searcher::LAST_LEVEL).temperature, 0);
}

}  // namespace
}  // namespace zemtori
