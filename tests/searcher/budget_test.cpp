// The searching player's budget on the worst boards we can make: 81
// promoted rooks in three layouts, dense boards where nearly every piece
// touches an enemy piece, boards with full hands on both sides, and
// positions of seeded random play, each with either side to move.
//
// Nothing here reads the real clock.  The searcher is handed a clock that
// reads its own node count at a fixed cost per node, so "how long did the
// move take" is a number of nodes, the same on every machine and every run.
// The budgets are the game's: LEVEL4 thinks for 1000 ms and the hint for
// 300 ms (the game's level-4 and hint limits).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "searcher/alpha_beta.h"
#include "test_support.h"

namespace zemtori {
namespace {

using searcher::Limits;
using searcher::SearchResult;

constexpr int64_t LEVEL4_MS = 1000;
constexpr int64_t HINT_MS = 300;
// What one node costs on the fake clock.  The slowest boards below run at
// about 300,000 nodes a second on a loaded two-core machine (3 us a node);
// a dearer node gives a budget fewer nodes, which keeps the test quick and
// makes an overrun of a given number of nodes weigh more.
constexpr int64_t MICROSECONDS_PER_NODE = 20;

struct Board {
    std::string name;
    Position pos;
};

// Packs every column toward x = 9, as the falling pass leaves it.
void settle(Position& p) {
    for (int y = 1; y <= 9; ++y) {
        int w = 9;
        for (int x = 9; x >= 1; --x) {
            const int c = p.BAN[x][y];
            if (c == 0) continue;
            p.BAN[x][y] = 0;
            p.BAN[w--][y] = c;
        }
    }
}

void fill_hands(Position& p, int count) {
    const int kinds[MOCHI_SLOTS + 1] = {0, HU, KYOU, KEI, GIN, KIN, KAKU, HISHA};
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        p.MOCHI_UE_KOMA[k] = kinds[k];
        p.MOCHI_UE_KAZU[k] = count;
        p.MOCHI_SITA_KOMA[k] = -kinds[k];
        p.MOCHI_SITA_KAZU[k] = count;
    }
    p.MOCHI_UE_GOKEI = p.MOCHI_SITA_GOKEI = MOCHI_SLOTS * count;
}

// Whether either side could take a king at once.
bool king_in_reach(const Position& p) {
    for (const int side : {1, -1}) {
        const searcher::CompactPosition pos = searcher::from_rules(p, side);
        searcher::MoveList list;
        searcher::generate_captures(pos, list);
        for (int i = 0; i < list.size; ++i)
            if (std::abs(pos.board[list.moves[i].to]) == OU) return true;
    }
    return false;
}

std::vector<Board> worst_boards() {
    std::vector<Board> out;
    auto rooks = [](const char* name, auto upper) {
        Position p;
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) p.BAN[x][y] = upper(x, y) ? RYU : -RYU;
        return Board{name, p};
    };
    out.push_back(rooks("rooks in a checkerboard", [](int x, int y) { return (x + y) % 2 == 1; }));
    out.push_back(rooks("rooks in rows", [](int x, int) { return x % 2 == 1; }));
    out.push_back(rooks("rooks in halves", [](int, int y) { return y > 5; }));

    // Dense boards of every kind of piece and the hands full, a few squares
    // left empty so that the drops have somewhere to go.  Each king sits in
    // a box of its own pieces, so that no king can be taken at once and the
    // search has to think.
    std::mt19937_64 rng(23);
    const int codes[] = {HU, TO, KYOU, NARIKYOU, KEI, NARIKEI, GIN, NARIGIN, KIN, KAKU, UMA, HISHA, RYU};
    for (int b = 0; b < 4;) {
        Position p;
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) {
                if (rng() % 100 < 8) continue;
                const int code = codes[rng() % std::size(codes)];
                p.BAN[x][y] = rng() % 2 == 0 ? code : -code;
            }
        for (int x = 7; x <= 9; ++x)
            for (int y = 1; y <= 4; ++y) {
                p.BAN[x][y] = rng() % 2 == 0 ? KIN : GIN;
                p.BAN[x][10 - y] = rng() % 2 == 0 ? -KIN : -GIN;
            }
        p.BAN[9][2] = OU;
        p.BAN[9][8] = -OU;
        fill_hands(p, b % 2 == 0 ? 9 : 2);
        settle(p);
        if (king_in_reach(p)) continue;
        out.push_back({"dense board " + std::to_string(b++), p});
    }

    // Bare boards but for the kings and a few pieces, every kind in hand:
    // hundreds of drops at every node.
    for (int b = 0; b < 2; ++b) {
        Position p;
        p.BAN[9][1] = OU;
        p.BAN[9][9] = -OU;
        for (int i = 0; i < 6; ++i) {
            const int code = codes[rng() % std::size(codes)];
            p.BAN[9][2 + i] = i % 2 == 0 ? code : -code;
        }
        fill_hands(p, 18);
        out.push_back({"full hands " + std::to_string(b), p});
    }

    // Seeded random play from the opening, stopped at random lengths.
    for (int g = 0; g < 4; ++g) {
        searcher::CompactPosition pos = searcher::from_rules(test::settled_opening(), g % 2 == 0 ? -1 : 1);
        const int plies = 30 + static_cast<int>(rng() % 90);
        for (int ply = 0; ply < plies; ++ply) {
            searcher::MoveList list;
            searcher::generate(pos, list);
            if (list.size == 0) break;
            searcher::CompactPosition next = pos;
            searcher::make(next, list.moves[rng() % list.size]);
            if (king_in_reach(searcher::to_rules_position(next))) continue;  // keep both kings out of reach
            pos = next;
        }
        out.push_back({"random play " + std::to_string(g), searcher::to_rules_position(pos)});
    }
    return out;
}

bool legal(const searcher::CompactPosition& pos, searcher::Move m) {
    searcher::MoveList list;
    searcher::generate(pos, list);
    for (int i = 0; i < list.size; ++i)
        if (list.moves[i] == m) return true;
    return false;
}

// A search that ignores its budget may never end (81 promoted rooks once
// held depth 1 for good): a guard raises the stop flag after a minute of real
// time, which only such a search reaches, and the test then fails on the
// node count instead of never returning.
class Guard {
public:
    Guard() : thread_([this] {
        std::unique_lock<std::mutex> lock(lock_);
        if (!signal_.wait_for(lock, std::chrono::minutes(1), [this] { return over_; })) stop.store(true);
    }) {}
    ~Guard() {
        {
            std::lock_guard<std::mutex> lock(lock_);
            over_ = true;
        }
        signal_.notify_all();
        thread_.join();
    }
    std::atomic<bool> stop{false};

private:
    std::mutex lock_;
    std::condition_variable signal_;
    bool over_ = false;
    std::thread thread_;
};

// A searcher whose clock is its own node count at the fixed cost.
struct FakeTimedSearcher {
    searcher::Searcher searcher{16};
    FakeTimedSearcher() {
        searcher.set_clock([this] { return searcher.nodes() * MICROSECONDS_PER_NODE / 1000; });
    }
    static int64_t ms(const SearchResult& r) { return r.nodes * MICROSECONDS_PER_NODE / 1000; }
};

// Every board, either side to move, at the game's two budgets: the move
// comes within 1.5 times LEVEL4's budget and within 0.5 s for a hint, and
// (unless the game's end is in sight) not before nine tenths of it: the
// budget is used to its end, and a clock read in the wrong unit would miss
// either way.  A node cap three
// times the budget's worth turns a search that ignores its clock into a
// failure instead of a test that never ends.
TEST(SearchBudget, EveryMoveOfTheWorstBoardsKeepsToTheGamesBudgets) {
    FakeTimedSearcher t;
    int searched = 0;
    for (const Board& b : worst_boards()) {
        for (const int side : {1, -1}) {
            const searcher::CompactPosition pos = searcher::from_rules(b.pos, side);
            searcher::MoveList list;
            searcher::generate(pos, list);
            ASSERT_GT(list.size, 0) << b.name;
            for (const int64_t budget : {LEVEL4_MS, HINT_MS}) {
                const int64_t cap = budget * 3 * 1000 / MICROSECONDS_PER_NODE;
                Guard guard;
                const SearchResult r = t.searcher.think(pos, Limits{0, cap, budget}, &guard.stop);
                const std::string what = b.name + (side > 0 ? ", upper" : ", lower") + " side, " +
                                         std::to_string(budget) + " ms";
                const int64_t took = FakeTimedSearcher::ms(r);
                EXPECT_TRUE(legal(pos, r.best)) << what;
                if (budget == LEVEL4_MS) EXPECT_LE(took * 2, budget * 3) << what;
                else EXPECT_LE(took, 500) << what;
                if (std::abs(r.score) < searcher::WIN - 1000) EXPECT_GE(took * 10, budget * 9) << what;
                ++searched;
            }
        }
    }
    EXPECT_EQ(searched, 2 * 2 * 13);
}

// A node budget holds from the first root move on: even on the densest
// boards the search stops within a few nodes of it, with a legal move.
// With no budget at all, depth 1 still ends: the capture search is bounded.
TEST(SearchBudget, ANodeBudgetHoldsAtDepthOneAndDepthOneEnds) {
    searcher::Searcher searcher(16);
    for (const Board& b : worst_boards()) {
        for (const int side : {1, -1}) {
            const searcher::CompactPosition pos = searcher::from_rules(b.pos, side);
            const std::string what = b.name + (side > 0 ? ", upper" : ", lower") + " side";
            for (const int64_t nodes : {1, 50, 2000}) {
                Guard guard;
                const SearchResult r = searcher.think(pos, Limits{0, nodes, 0}, &guard.stop);
                EXPECT_TRUE(legal(pos, r.best)) << what << ", " << nodes << " nodes";
                EXPECT_LE(r.nodes, nodes + 2) << what << ", " << nodes << " nodes";
            }
            // A guard a thousand times what depth 1 takes here: reaching it
            // means the capture search is no longer bounded.
            Guard guard;
            const SearchResult d1 = searcher.think(pos, Limits{1, 5'000'000, 0}, &guard.stop);
            EXPECT_EQ(d1.depth, 1) << what;
            EXPECT_TRUE(legal(pos, d1.best)) << what;
        }
    }
}

// When the budget ends depth 1 early, the answer is the best root move
// scored so far: with room for a few root moves on a board where a rook can
// be taken, the search takes it (captures come first) rather than answering
// with the first move generated.
TEST(SearchBudget, DepthOneCutShortAnswersWithTheBestMoveScored) {
    const Position board = test::board_with(
        {{9, 1, OU}, {9, 2, KIN}, {9, 5, HU}, {9, 6, -HISHA}, {9, 8, -KIN}, {9, 9, -OU}});
    const searcher::CompactPosition pos = searcher::from_rules(board, 1);
    searcher::MoveList list;
    searcher::generate(pos, list);
    const SearchResult full = searcher::think(pos, Limits{1, 0, 0});
    const searcher::RulesMove took = searcher::to_rules_move(pos, full.best);
    ASSERT_EQ(took.to_x * 10 + took.to_y, 96);  // the pawn takes the rook
    ASSERT_NE(list.moves[0], full.best);
    searcher::Searcher searcher(12);
    const SearchResult cut = searcher.think(pos, Limits{0, 3, 0});
    EXPECT_EQ(cut.depth, 0);
    EXPECT_EQ(cut.best, full.best);
    EXPECT_GT(cut.score, 500);
}

// A king that can be taken is taken even with the stop flag already up.
TEST(SearchBudget, AKingThatCanBeTakenIsTakenWhateverTheLimits) {
    const Position board = test::board_with({{9, 1, OU}, {9, 5, HISHA}, {9, 8, -OU}, {8, 8, -HU}});
    const searcher::CompactPosition pos = searcher::from_rules(board, 1);
    std::atomic<bool> stop{true};
    for (const Limits limits : {Limits{}, Limits{0, 1, 0}, Limits{0, 0, 1}}) {
        const SearchResult r = searcher::think(pos, limits, &stop);
        const searcher::RulesMove m = searcher::to_rules_move(pos, r.best);
        EXPECT_EQ(m.to_x * 10 + m.to_y, 98);
        EXPECT_EQ(r.score, searcher::WIN);
    }
}

// However much material one side has, the evaluation stays below the won
// scores, and so does a search that finds no king to take.
TEST(SearchBudget, MaterialNeverScoresAsAWin) {
    Position p;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 5; ++y) p.BAN[x][y] = RYU;  // 45 promoted rooks
    p.BAN[9][9] = -HU;
    fill_hands(p, 9);
    for (const int side : {1, -1}) {
        const searcher::CompactPosition pos = searcher::from_rules(p, side);
        EXPECT_EQ(searcher::evaluate(pos), side * searcher::EVAL_LIMIT);
        const SearchResult r = searcher::think(pos, Limits{2, 0, 0});
        EXPECT_LT(std::abs(r.score), searcher::WIN - 1000) << "side " << side;
    }
}

// The default clock counts milliseconds.
TEST(SearchBudget, TheSteadyClockCountsMilliseconds) {
    const int64_t before = searcher::steady_milliseconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const int64_t after = searcher::steady_milliseconds();
    EXPECT_GE(after - before, 30);
    EXPECT_LT(after - before, 30 * 1000);  // not microseconds
}

}  // namespace
}  // namespace zemtori
