// The thinker: a search on a worker thread answers exactly as the same search
// run directly, a search with no limits ends when stopped, and a thinker
// destroyed while it thinks neither hangs nor crashes.
//
// Nothing here is timed.  A search that never ends by itself must end by
// stop() or the destructor; a watchdog turns a hang there into a failure
// with a message instead of a suite that never returns.
#include <gtest/gtest.h>

#include "watchdog.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "searcher/thinker.h"
#include "test_support.h"

namespace zemtori {
namespace {

using namespace std::chrono_literals;
using searcher::Limits;
using searcher::SearchResult;
using searcher::Thinker;

using test::Watchdog;

bool same(const SearchResult& a, const SearchResult& b) {
    return a.best == b.best && a.score == b.score && a.depth == b.depth && a.nodes == b.nodes && a.pv == b.pv;
}

bool legal(const searcher::CompactPosition& pos, searcher::Move m) {
    searcher::MoveList list;
    searcher::generate(pos, list);
    for (int i = 0; i < list.size; ++i)
        if (list.moves[i] == m) return true;
    return false;
}

// Waits for a search bounded by its own limits; the guard only catches a
// thinker that never reports its end.
SearchResult finish(Thinker& t) {
    EXPECT_TRUE(t.wait_for(Watchdog::HANG_GUARD));
    EXPECT_TRUE(t.done());
    std::optional<SearchResult> r = t.take();
    EXPECT_TRUE(r.has_value());
    return r.value_or(SearchResult{});
}

// Positions from random play, both sides to move, with the keys of the
// positions before each.
struct GamePosition {
    searcher::CompactPosition pos;
    std::vector<uint64_t> keys;
    bool keys_matter = false;  // the answer differs without them
};

std::vector<GamePosition> game_positions() {
    std::vector<GamePosition> out;
    std::mt19937_64 rng(19);
    for (int game = 0; game < 3; ++game) {
        searcher::CompactPosition pos = searcher::from_rules(test::settled_opening(), game % 2 == 0 ? -1 : 1);
        std::vector<uint64_t> keys;
        for (int ply = 0; ply < 24 && pos.winner == 0; ++ply) {
            if (ply % 8 == 0) out.push_back({pos, keys, false});
            searcher::MoveList list;
            searcher::generate(pos, list);
            if (list.size == 0) break;
            keys.push_back(pos.key());
            searcher::make(pos, list.moves[rng() % list.size]);
        }
    }
    // A side a rook ahead that must not walk back into a position of the
    // game: without the game's keys it would play `free`'s move.
    Position board = test::settled_opening();
    board.MOCHI_UE_KOMA[7] = HISHA;
    board.MOCHI_UE_KAZU[7] = 1;
    board.MOCHI_UE_GOKEI = 1;
    const searcher::CompactPosition root = searcher::from_rules(board, 1);
    searcher::CompactPosition after = root;
    searcher::make(after, searcher::Searcher(14).think(root, Limits{3, 0, 0}).best);
    out.push_back({root, {after.key()}, true});
    return out;
}

// A node or depth budget on the worker thread gives the same result, to
// the node, as the same search run directly; one thinker serves search
// after search, and the game's positions reach its searcher.
TEST(Thinker, AFixedBudgetAnswersAsADirectSearch) {
    Watchdog dog("fixed budget");
    Thinker thinker(16);
    searcher::Searcher direct(16);
    int calls = 0;
    std::atomic<int> finished_calls{0};
    for (const GamePosition& g : game_positions()) {
        for (const Limits limits : {Limits{0, 15000, 0}, Limits{3, 0, 0}}) {
            thinker.start(g.pos, limits, g.keys, [&] { ++finished_calls; });
            ++calls;
            const SearchResult threaded = finish(thinker);
            // Both keep their tables from search to search; the check
            // without the game's keys is made on a copy of the table.
            searcher::Searcher without_keys = direct;
            direct.set_game(g.keys);
            const SearchResult expected = direct.think(g.pos, limits);
            EXPECT_TRUE(same(threaded, expected)) << "position " << calls;
            if (g.keys_matter) {
                // The game's keys change this answer, so they reached the worker.
                without_keys.set_game(searcher::History{});
                EXPECT_FALSE(same(threaded, without_keys.think(g.pos, limits))) << "position " << calls;
            }
            EXPECT_TRUE(legal(g.pos, threaded.best));
            EXPECT_FALSE(thinker.busy());
            EXPECT_FALSE(thinker.done());
            EXPECT_FALSE(thinker.take().has_value());  // taken once only
        }
    }
    EXPECT_GE(calls, 8);
    EXPECT_EQ(finished_calls.load(), calls);  // the callback once per search
}

// With no search there is nothing to wait for, take or stop.
TEST(Thinker, AnIdleThinkerAnswersNothing) {
    Thinker thinker(10);
    EXPECT_FALSE(thinker.busy());
    EXPECT_FALSE(thinker.done());
    EXPECT_FALSE(thinker.wait_for(0ms));
    EXPECT_FALSE(thinker.take().has_value());
    EXPECT_FALSE(thinker.stop().has_value());
}

// A search with no limits never ends by itself on the opening; stop() ends
// it, joins the worker and hands over a legal move.  A search started over
// a running one replaces it: the answer is the new search's alone.
TEST(Thinker, StopEndsASearchWithNoLimits) {
    Watchdog dog("stop");
    const searcher::CompactPosition pos = searcher::from_rules(test::settled_opening(), -1);
    Thinker thinker(16);
    std::atomic<int> finished_calls{0};
    thinker.start(pos, Limits{}, searcher::History{}, [&] { ++finished_calls; });
    EXPECT_TRUE(thinker.busy());
    EXPECT_FALSE(thinker.wait_for(200ms));  // cannot have finished: it has no limit
    EXPECT_FALSE(thinker.take().has_value());
    const std::optional<SearchResult> stopped = thinker.stop();
    ASSERT_TRUE(stopped.has_value());
    EXPECT_TRUE(legal(pos, stopped->best));
    EXPECT_FALSE(thinker.busy());
    EXPECT_EQ(finished_calls.load(), 1);
    EXPECT_FALSE(thinker.stop().has_value());

    const searcher::CompactPosition other = searcher::from_rules(test::settled_opening(), 1);
    thinker.start(pos, Limits{});
    thinker.start(other, Limits{0, 12000, 0});
    const SearchResult replaced = finish(thinker);
    // The table keeps what the stopped search found, so the answer is the
    // new search's by its position and budget: a legal move there, searched
    // to the node budget.
    EXPECT_TRUE(legal(other, replaced.best));
    EXPECT_FALSE(legal(pos, replaced.best));
    EXPECT_GE(replaced.nodes, 12000);
    EXPECT_LT(replaced.nodes, 12100);
}

// Closing the window while the computer thinks: the destructor stops and
// joins, at once after start or in the middle of a search.
TEST(Thinker, DestroyingAThinkingThinkerStopsIt) {
    Watchdog dog("destroy");
    const searcher::CompactPosition pos = searcher::from_rules(test::settled_opening(), 1);
    for (const auto pause : {0ms, 100ms}) {
        std::atomic<int> finished_calls{0};
        {
            Thinker thinker(16);
            thinker.start(pos, Limits{}, searcher::History{}, [&] { ++finished_calls; });
            EXPECT_FALSE(thinker.wait_for(pause));
        }
        EXPECT_EQ(finished_calls.load(), 1);  // the worker ran to its end before the thinker went
    }
}

}  // namespace
}  // namespace zemtori
