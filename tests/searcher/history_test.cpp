// What a search is told of the game before its root: the history every
// caller builds with game_history, what a repetition costs with it (nothing
// for an analysis), a table that keeps each side's scores apart, and a
// thinker told the game and made to forget it.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <vector>

#include "rules/moves.h"
#include "rules/opening.h"
#include "searcher/alpha_beta.h"
#include "searcher/history.h"
#include "searcher/thinker.h"
#include "test_support.h"

namespace zemtori {
namespace {

using namespace std::chrono_literals;
using searcher::History;
using searcher::Limits;
using searcher::SearchResult;

bool same(const SearchResult& a, const SearchResult& b) {
    return a.best == b.best && a.score == b.score && a.depth == b.depth && a.nodes == b.nodes && a.pv == b.pv;
}

// A game as the rules play it: the position each move was played in, the
// side that played it, and the position now.
struct PlayedGame {
    std::vector<Position> before;
    std::vector<int> sides;
    Position now;
    int side = -1;

    void play(const searcher::RulesMove& m) {
        before.push_back(now);
        sides.push_back(side);
        play_and_fall(now, m.from_x, m.from_y, m.to_x, m.to_y, m.koma);
        side = -side;
    }
    // The history of the position now, the positions' sides told or left
    // to alternate.
    History history(bool tell_sides, std::size_t plies_before = 0, bool neutral = false) const {
        return searcher::game_history(
            before.size(), plies_before, side,
            [this, tell_sides](std::size_t n, Position& p) {
                p = before[n];
                return tell_sides ? sides[n] : 0;
            },
            neutral);
    }
};

// Seeded random play from the settled opening that takes no king.
PlayedGame random_game(uint64_t seed, int plies) {
    std::mt19937_64 rng(seed);
    PlayedGame g;
    g.now = settled_opening();
    while (static_cast<int>(g.before.size()) < plies) {
        const searcher::CompactPosition c = searcher::from_rules(g.now, g.side);
        searcher::MoveList list;
        searcher::generate(c, list);
        std::vector<searcher::Move> keeping;
        for (int i = 0; i < list.size; ++i) {
            searcher::CompactPosition next = c;
            searcher::make(next, list.moves[i]);
            if (next.winner == 0) keeping.push_back(list.moves[i]);
        }
        if (keeping.empty()) break;
        g.play(searcher::to_rules_move(c, keeping[rng() % keeping.size()]));
    }
    return g;
}

// A game that went round in a four-ply circle from its 17th ply, the upper
// side moving first: `turns` turns and three plies into the next.
PlayedGame circling_game(int turns) {
    const std::vector<searcher::RulesMove> opening = {
        {6, 1, 6, 2, 50},  {3, 9, 2, 8, -40}, {8, 3, 8, 4, 10}, {1, 7, 1, 6, -10}, {8, 3, 8, 4, 10},
        {2, 9, 2, 8, -20}, {6, 1, 6, 2, 80},  {6, 9, 5, 8, -50}, {3, 3, 3, 4, 10}, {2, 7, 2, 6, -10},
        {5, 3, 5, 4, 10},  {5, 8, 4, 8, -50}, {5, 3, 5, 4, 10}, {5, 8, 4, 8, -50}, {6, 2, 5, 3, 80},
        {5, 8, 4, 8, -50}};
    const searcher::RulesMove circle[4] = {{5, 3, 4, 2, 80}, {5, 8, 4, 8, -50}, {6, 2, 5, 3, 80}, {5, 8, 4, 8, -50}};
    PlayedGame g;
    g.now = settled_opening();
    g.side = +1;
    for (const searcher::RulesMove& m : opening) g.play(m);
    for (int t = 0; t < turns; ++t)
        for (const searcher::RulesMove& m : circle) g.play(m);
    for (int i = 0; i < 3; ++i) g.play(circle[i]);
    return g;
}

// The history is the last positions before the root, each keyed with the
// side that was to move in it, and every ply played before the root; a side
// not told alternates back from the root's; no more positions are asked for
// than a repetition is looked for in.
TEST(GameHistory, IsTheLastPositionsWithTheirOwnSidesAndEveryPly) {
    const PlayedGame g = random_game(5, 40);
    ASSERT_EQ(g.before.size(), 40u);
    std::vector<uint64_t> want;
    for (std::size_t n = 0; n < g.before.size(); ++n) want.push_back(searcher::from_rules(g.before[n], g.sides[n]).key());
    const std::vector<uint64_t> last(want.end() - searcher::GAME_KEYS_LOOKED_AT, want.end());

    const History told = g.history(true, 7);
    EXPECT_EQ(told.keys, last);
    EXPECT_EQ(told.plies, 47u);
    EXPECT_FALSE(told.neutral);
    const History alternating = g.history(false);
    EXPECT_EQ(alternating.keys, last);
    EXPECT_EQ(alternating.plies, 40u);
    EXPECT_TRUE(g.history(false, 0, true).neutral);

    // A short game: every position.
    const PlayedGame short_game = random_game(6, 9);
    const History h = short_game.history(false);
    ASSERT_EQ(h.keys.size(), 9u);
    for (std::size_t n = 0; n < 9; ++n)
        EXPECT_EQ(h.keys[n], searcher::from_rules(short_game.before[n], short_game.sides[n]).key()) << n;
    // A side that is told wins over the alternation: a record whose army
    // moved twice keys that position as it was.
    const History odd = searcher::game_history(2, 0, +1, [&](std::size_t n, Position& p) {
        p = short_game.before[n];
        return +1;
    });
    EXPECT_EQ(odd.keys[0], searcher::from_rules(short_game.before[0], +1).key());
    EXPECT_EQ(odd.keys[1], searcher::from_rules(short_game.before[1], +1).key());

    // Thirty thousand positions cost as little as twenty-four.
    std::size_t asked = 0, oldest = 30000;
    searcher::game_history(30000, 0, -1, [&](std::size_t n, Position& p) {
        ++asked;
        oldest = std::min(oldest, n);
        p = g.now;
        return 0;
    });
    EXPECT_EQ(asked, searcher::GAME_KEYS_LOOKED_AT);
    EXPECT_EQ(oldest, 30000 - searcher::GAME_KEYS_LOOKED_AT);
}

// With every position a root move leads to already in the game, the root
// scores as a draw: what a repetition costs after the plies played for the
// side searched for, either side, and nothing at all in an analysis.
TEST(GameHistory, ARepetitionCostsWhatThePliesSayAndNothingInAnAnalysis) {
    const Position board = test::board_with({{9, 1, OU}, {9, 9, -OU}});
    for (const int side : {1, -1}) {
        const searcher::CompactPosition root = searcher::from_rules(board, side);
        History h;
        searcher::MoveList list;
        searcher::generate(root, list);
        for (int i = 0; i < list.size; ++i) {
            searcher::CompactPosition next = root;
            searcher::make(next, list.moves[i]);
            h.keys.push_back(next.key());
        }
        ASSERT_LE(h.keys.size(), searcher::GAME_KEYS_LOOKED_AT);
        for (const std::size_t plies : {std::size_t{0}, std::size_t{150}, std::size_t{300}}) {
            h.plies = plies;
            h.neutral = false;
            searcher::Searcher s(14);
            s.set_game(h);
            EXPECT_EQ(s.think(root, Limits{2, 0, 0}).score, -searcher::contempt_after(plies)) << side << ' ' << plies;
            h.neutral = true;
            searcher::Searcher a(14);
            a.set_game(h);
            EXPECT_EQ(a.think(root, Limits{2, 0, 0}).score, 0) << side << ' ' << plies;
        }
    }
    ASSERT_GT(searcher::contempt_after(300), searcher::contempt_after(150));
    ASSERT_GT(searcher::contempt_after(150), searcher::contempt_after(0));
}

// One searcher asked for both sides of a game, as the engine protocol's is
// in a game between two programs: late in a circling game, where a
// repetition costs 400 for the side searched for, a search for one side
// leaves draws scored its way in the table; the other side's search of the
// next position reads none of them and answers exactly as with an empty
// table.  Two neutral searches share their entries: the second one, with
// the first one's table, finds its answer with fewer nodes.
TEST(SearchTable, AScoreStoredForOneSideIsNeverReadForTheOther) {
    PlayedGame g = circling_game(68);
    ASSERT_EQ(g.before.size(), 291u);
    const Limits budget{0, 20000, 0};
    for (int ply = 0; ply < 6; ++ply) {
        const searcher::CompactPosition a = searcher::from_rules(g.now, g.side);
        searcher::Searcher shared(18);
        shared.set_game(g.history(false));
        const SearchResult for_a = shared.think(a, budget);
        g.play(searcher::to_rules_move(a, for_a.best));

        const searcher::CompactPosition b = searcher::from_rules(g.now, g.side);
        shared.set_game(g.history(false));
        const SearchResult after_a = shared.think(b, budget);
        searcher::Searcher empty(18);
        empty.set_game(g.history(false));
        EXPECT_TRUE(same(after_a, empty.think(b, budget))) << "ply " << g.before.size();

        searcher::Searcher analysis(18), fresh(18);
        analysis.set_game(g.history(false, 0, true));
        analysis.think(a, budget);
        analysis.set_game(g.history(false, 0, true));
        fresh.set_game(g.history(false, 0, true));
        EXPECT_LT(analysis.think(b, Limits{6, 0, 0}).nodes, fresh.think(b, Limits{6, 0, 0}).nodes)
            << "ply " << g.before.size();
    }
}

// A thinker told the game answers as a searcher told the same game; clear()
// forgets what its table holds (a new game answers as a new thinker does),
// and stops a search that runs first.
TEST(ThinkerGame, IsToldTheGameAndForgetsItOnClear) {
    const PlayedGame g = circling_game(3);
    const searcher::CompactPosition root = searcher::from_rules(g.now, g.side);
    const Limits depth{5, 0, 0};
    for (const bool neutral : {false, true}) {
        searcher::Thinker thinker(18);
        searcher::Searcher direct(18);
        direct.set_game(g.history(false, 250, neutral));
        thinker.start(root, depth, g.history(false, 250, neutral));
        while (!thinker.wait_for(1s)) {
        }
        const std::optional<SearchResult> first = thinker.take();
        ASSERT_TRUE(first);
        EXPECT_TRUE(same(*first, direct.think(root, depth))) << neutral;

        thinker.start(root, depth, g.history(false, 250, neutral));
        while (!thinker.wait_for(1s)) {
        }
        const std::optional<SearchResult> again = thinker.take();
        ASSERT_TRUE(again);
        EXPECT_LT(again->nodes, first->nodes) << "the table was kept";

        thinker.clear();
        thinker.start(root, depth, g.history(false, 250, neutral));
        while (!thinker.wait_for(1s)) {
        }
        const std::optional<SearchResult> cleared = thinker.take();
        ASSERT_TRUE(cleared);
        EXPECT_TRUE(same(*cleared, *first)) << "a cleared table is an empty one";

        // While it thinks without end: the search stops, nothing is left to
        // take, and the table is empty.
        thinker.start(root, Limits{}, g.history(false, 250, neutral));
        thinker.clear();
        EXPECT_FALSE(thinker.busy());
        EXPECT_FALSE(thinker.take());
        thinker.start(root, depth, g.history(false, 250, neutral));
        while (!thinker.wait_for(1s)) {
        }
        const std::optional<SearchResult> after_stop = thinker.take();
        ASSERT_TRUE(after_stop);
        EXPECT_TRUE(same(*after_stop, *first));
    }
}

}  // namespace
}  // namespace zemtori
