// The searching player's search and evaluation: whole games against a
// random mover, the same answer for the same budget, the stop flag, two
// searches side by side, and an evaluation that treats both sides alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
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

searcher::CompactPosition opening(int side) { return searcher::from_rules(test::settled_opening(), side); }

bool same(const SearchResult& a, const SearchResult& b) {
    return a.best == b.best && a.score == b.score && a.depth == b.depth && a.nodes == b.nodes && a.pv == b.pv;
}

// The position with the board turned through half a turn: the sides change
// places and colours, the hands change owners.
searcher::CompactPosition mirrored(const searcher::CompactPosition& p) {
    zemtori::Position r = searcher::to_rules_position(p), m;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) m.BAN[x][y] = -r.BAN[x][10 - y];
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        m.MOCHI_UE_KOMA[k] = -r.MOCHI_SITA_KOMA[k];
        m.MOCHI_UE_KAZU[k] = r.MOCHI_SITA_KAZU[k];
        m.MOCHI_SITA_KOMA[k] = -r.MOCHI_UE_KOMA[k];
        m.MOCHI_SITA_KAZU[k] = r.MOCHI_UE_KAZU[k];
    }
    return searcher::from_rules(m, -p.side);
}

// Plays from the opening; the searcher takes `search_side`, a seeded random
// mover the other.  Returns the winner (0 when the move limit is reached).
int play_random(int search_side, uint64_t seed, int depth) {
    std::mt19937_64 rng(seed);
    searcher::Searcher searcher(14);
    searcher::CompactPosition pos = opening(-1);
    for (int ply = 0; ply < 300; ++ply) {
        searcher::MoveList list;
        searcher::generate(pos, list);
        if (list.size == 0) return -pos.side;
        searcher::Move m;
        if (pos.side == search_side) {
            const SearchResult r = searcher.think(pos, Limits{depth, 0, 0});
            m = r.best;
            bool legal = false;
            for (int i = 0; i < list.size; ++i) legal = legal || list.moves[i] == m;
            EXPECT_TRUE(legal) << "ply " << ply;
            if (!legal) return 0;
        } else {
            m = list.moves[rng() % list.size];
        }
        searcher::make(pos, m);
        if (pos.winner != 0) return pos.winner;
    }
    return 0;
}

TEST(Search, BeatsARandomMoverOnEitherSide) {
    for (int game = 0; game < 4; ++game) {
        const int side = game % 2 == 0 ? 1 : -1;
        EXPECT_EQ(play_random(side, 100 + game, 2), side) << "game " << game;
    }
}

// A king that can be taken is taken at once (promoting or not), and the
// score says the game is won.
TEST(Search, TakesAnOpenKing) {
    const Position board = test::board_with({{9, 1, 80}, {9, 5, 70}, {9, 8, -80}, {8, 8, -10}, {9, 9, -50}});
    const searcher::CompactPosition pos = searcher::from_rules(board, 1);
    const SearchResult r = searcher::think(pos, Limits{3, 0, 0});
    const searcher::RulesMove m = searcher::to_rules_move(pos, r.best);
    EXPECT_EQ(m.from_x * 1000 + m.from_y * 100 + m.to_x * 10 + m.to_y, 9598);
    EXPECT_EQ(r.score, searcher::WIN);
}

// A threat made by the last move of the full search is seen: the lower king
// alone in its corner, the upper side with a rook in hand.  A rook dropped
// on the bottom row, out of the king's reach, leaves it no square (whatever
// it does, it falls back onto the rook's row), so one ply finds the win two
// plies deep.  The same board turned round, with the lower side to move,
// finds it too.  A king not attacked is not reported as attacked.
TEST(Search, ALastPlyThreatOnTheKingIsSeen) {
    Position board = test::board_with({{9, 1, 80}, {9, 9, -80}});
    board.MOCHI_UE_KOMA[7] = HISHA;
    board.MOCHI_UE_KAZU[7] = 1;
    board.MOCHI_UE_GOKEI = 1;
    const searcher::CompactPosition pos = searcher::from_rules(board, 1);
    EXPECT_FALSE(searcher::king_attacked(pos));
    for (const searcher::CompactPosition& p : {pos, mirrored(pos)}) {
        const SearchResult r = searcher::think(p, Limits{1, 0, 0});
        EXPECT_EQ(r.score, searcher::WIN - 2);
        ASSERT_FALSE(r.best.is_null());
        EXPECT_TRUE(r.best.is_drop());
        searcher::CompactPosition after = p;
        searcher::make(after, r.best);
        EXPECT_TRUE(searcher::king_attacked(after));
    }
}

TEST(Search, AFixedBudgetGivesTheSameAnswerEveryRun) {
    const searcher::CompactPosition pos = opening(-1);
    searcher::Searcher a(16), b(16);
    const SearchResult first = a.think(pos, Limits{0, 20000, 0});
    a.clear();  // a new game: nothing of the first search is left
    EXPECT_TRUE(same(first, a.think(pos, Limits{0, 20000, 0})));
    EXPECT_TRUE(same(first, b.think(pos, Limits{0, 20000, 0})));
    EXPECT_GE(first.nodes, 20000);
    EXPECT_LT(first.nodes, 21000);
    EXPECT_FALSE(first.pv.empty());
    EXPECT_EQ(first.pv[0], first.best);
    a.clear();
    b.clear();
    const SearchResult depth4 = a.think(pos, Limits{4, 0, 0});
    EXPECT_EQ(depth4.depth, 4);
    EXPECT_TRUE(same(depth4, b.think(pos, Limits{4, 0, 0})));
}

// The table is kept from move to move of a game: searching the same root
// again to the same depth takes fewer nodes than the first time (a cleared
// table would take exactly as many: the search is deterministic), and a game
// played twice by two searchers at fixed nodes is the same game move by move.
TEST(Search, TheTableIsKeptBetweenMovesAndTheGameStaysTheSame) {
    const searcher::CompactPosition pos = opening(-1);
    searcher::Searcher a(16);
    const SearchResult first = a.think(pos, Limits{7, 0, 0});
    const SearchResult again = a.think(pos, Limits{7, 0, 0});
    EXPECT_EQ(again.depth, 7);
    EXPECT_LT(again.nodes * 10, first.nodes * 9);
    a.clear();
    EXPECT_EQ(a.think(pos, Limits{7, 0, 0}).nodes, first.nodes);

    auto play = [](searcher::Searcher& s, std::vector<SearchResult>& out) {
        searcher::CompactPosition p = opening(-1);
        for (int ply = 0; ply < 24 && p.winner == 0; ++ply) {
            const SearchResult r = s.think(p, Limits{0, 5000, 0});
            if (r.best.is_null()) break;
            out.push_back(r);
            searcher::make(p, r.best);
        }
    };
    searcher::Searcher b(16), c(16);
    std::vector<SearchResult> game_b, game_c;
    play(b, game_b);
    play(c, game_c);
    ASSERT_EQ(game_b.size(), game_c.size());
    EXPECT_GE(game_b.size(), 10u);
    for (std::size_t i = 0; i < game_b.size(); ++i) EXPECT_TRUE(same(game_b[i], game_c[i])) << "move " << i;
    // After clear() the same searcher plays the same game again.
    b.clear();
    std::vector<SearchResult> replay;
    play(b, replay);
    ASSERT_EQ(replay.size(), game_b.size());
    for (std::size_t i = 0; i < replay.size(); ++i) EXPECT_TRUE(same(replay[i], game_b[i])) << "move " << i;
}

// Two searches on two threads at once answer as they do alone.
TEST(Search, TwoSearchesSideBySideDoNotDisturbEachOther) {
    const searcher::CompactPosition p1 = opening(-1), p2 = opening(1);
    const SearchResult alone1 = searcher::think(p1, Limits{0, 30000, 0});
    const SearchResult alone2 = searcher::think(p2, Limits{0, 30000, 0});
    SearchResult r1, r2;
    std::thread t1([&] { r1 = searcher::think(p1, Limits{0, 30000, 0}); });
    std::thread t2([&] { r2 = searcher::think(p2, Limits{0, 30000, 0}); });
    t1.join();
    t2.join();
    EXPECT_TRUE(same(alone1, r1));
    EXPECT_TRUE(same(alone2, r2));
}

TEST(Search, AStopFlagAlreadySetEndsTheSearchAtOnce) {
    std::atomic<bool> stop{true};
    const SearchResult r = searcher::think(opening(-1), Limits{}, &stop);
    EXPECT_LE(r.nodes, 1);
    EXPECT_EQ(r.depth, 0);
    EXPECT_FALSE(r.best.is_null());  // still a move to play
}

// Turning the board through half a turn changes nothing for the side to
// move, over the benchmark positions and after a few random moves.
TEST(Search, EvaluationTreatsBothSidesAlike) {
    std::mt19937_64 rng(7);
    int checked = 0;
    for (int game = 0; game < 20; ++game) {
        searcher::CompactPosition pos = opening(game % 2 == 0 ? -1 : 1);
        for (int ply = 0; ply < 60 && pos.winner == 0; ++ply) {
            EXPECT_EQ(searcher::evaluate(pos), searcher::evaluate(mirrored(pos))) << "game " << game << " ply " << ply;
            ++checked;
            searcher::MoveList list;
            searcher::generate(pos, list);
            if (list.size == 0) break;
            searcher::make(pos, list.moves[rng() % list.size]);
        }
    }
    EXPECT_GT(checked, 500);
}

// King danger: the same boards, the enemy holding pieces in hand, score
// worse for the side whose king has open squares around it, more so the
// more the enemy holds, and the same for either side turned round.
TEST(Search, AnOpenKingIsInDangerFromTheEnemyHand) {
    // The lower king in the open, the upper king walled in by its golds.
    const Position open_board =
        test::board_with({{9, 1, 80}, {8, 1, 50}, {9, 2, 50}, {8, 2, 50}, {9, 5, -80}});
    auto with_hand = [&](int golds) {
        Position b = open_board;
        if (golds > 0) {
            b.MOCHI_UE_KOMA[5] = KIN;
            b.MOCHI_UE_KAZU[5] = static_cast<int8_t>(golds);
            b.MOCHI_UE_GOKEI = golds;
        }
        return searcher::from_rules(b, -1);
    };
    int last_gap = -1;
    for (const int golds : {1, 3}) {
        const searcher::CompactPosition held = with_hand(golds), none = with_hand(0);
        // The gold in hand is material for the upper side; past that, the
        // lower side (to move) loses for its open king.
        const int material = held.material - none.material;
        const int gap = (searcher::evaluate(none) - material) - searcher::evaluate(held);
        EXPECT_GT(gap, last_gap) << golds << " golds in hand";
        last_gap = gap;
        EXPECT_EQ(searcher::evaluate(held), searcher::evaluate(mirrored(held)));
    }
    EXPECT_GT(last_gap, 0);
}

// A piece drawn toward the enemy king is an attack: a gold three squares
// from the enemy king scores better than the same gold four squares away
// (beyond the kings' shelter), by more when its side holds pieces in hand
// to follow it with, and the same for either side turned round.
TEST(Search, APieceNearTheEnemyKingCountsMoreWithPiecesInHand) {
    auto board = [](int gold_y, int golds_in_hand) {
        Position b = test::board_with({{9, 1, OU}, {9, gold_y, KIN}, {9, 9, -OU}});
        if (golds_in_hand > 0) {
            b.MOCHI_UE_KOMA[7] = KIN;
            b.MOCHI_UE_KAZU[7] = golds_in_hand;
            b.MOCHI_UE_GOKEI = golds_in_hand;
        }
        return searcher::from_rules(b, 1);
    };
    int last_gap = 0;
    for (const int golds : {0, 2}) {
        const searcher::CompactPosition far = board(5, golds), near = board(6, golds);
        const int gap = searcher::evaluate(near) - searcher::evaluate(far);
        EXPECT_GT(gap, last_gap) << golds << " golds in hand";
        last_gap = gap;
        EXPECT_EQ(searcher::evaluate(near), searcher::evaluate(mirrored(near)));
        EXPECT_EQ(searcher::evaluate(far), searcher::evaluate(mirrored(far)));
    }
}

// A side that is far ahead does not walk back into a position of the game:
// that move scores as a draw, and the search picks another.
TEST(Search, APositionOfTheGameSeenAgainScoresAsADraw) {
    Position board = test::settled_opening();
    board.MOCHI_UE_KOMA[7] = HISHA;  // the upper side has a rook more
    board.MOCHI_UE_KAZU[7] = 1;
    board.MOCHI_UE_GOKEI = 1;
    const searcher::CompactPosition root = searcher::from_rules(board, 1);
    searcher::Searcher searcher(14);
    const SearchResult free = searcher.think(root, Limits{2, 0, 0});
    ASSERT_GT(free.score, 500);
    searcher::CompactPosition after = root;
    searcher::make(after, free.best);
    searcher.set_game({after.key()});
    searcher.clear();
    const SearchResult avoiding = searcher.think(root, Limits{2, 0, 0});
    EXPECT_NE(avoiding.best, free.best);
    EXPECT_GT(avoiding.score, 500);
    // Once the game is forgotten the first answer comes back.
    searcher.set_game(searcher::History{});
    searcher.clear();
    EXPECT_TRUE(same(searcher.think(root, Limits{2, 0, 0}), free));
}

// A draw by repetition is worth -CONTEMPT to the side the search is for,
// whichever side it is and whoever walks into the repetition: with every
// position a root move leads to already in the game, the root scores
// -CONTEMPT; with every answer of the other side leading back into the
// game, the other side takes the draw gladly and the root scores the same.
// (A repetition is looked for in the full search, not in the capture
// search at its leaves, hence one ply more than the draws lie deep.)
TEST(Search, ARepetitionIsWorthLessThanNothingToTheSideSearchedFor) {
    static_assert(searcher::CONTEMPT > 0);
    // Two lone kings on the bottom row: few moves, so all fit in the game's
    // window of keys.
    const Position board = test::board_with({{9, 1, OU}, {9, 9, -OU}});
    auto children_of = [](const searcher::CompactPosition& from) {
        std::vector<searcher::CompactPosition> children;
        searcher::MoveList list;
        searcher::generate(from, list);
        for (int i = 0; i < list.size; ++i) {
            children.push_back(from);
            searcher::make(children.back(), list.moves[i]);
        }
        return children;
    };
    auto reached = [&children_of](const searcher::CompactPosition& from) {
        std::vector<uint64_t> keys;
        for (const searcher::CompactPosition& next : children_of(from)) keys.push_back(next.key());
        return keys;
    };
    for (const int side : {1, -1}) {
        const searcher::CompactPosition root = searcher::from_rules(board, side);
        searcher::Searcher searcher(14);
        const SearchResult free = searcher.think(root, Limits{2, 0, 0});
        EXPECT_GT(free.score, -searcher::CONTEMPT) << side;

        std::vector<uint64_t> children = reached(root);
        ASSERT_LE(children.size(), searcher::GAME_KEYS_LOOKED_AT);
        searcher.set_game(children);
        searcher.clear();
        EXPECT_EQ(searcher.think(root, Limits{2, 0, 0}).score, -searcher::CONTEMPT) << side;

        std::vector<uint64_t> grandchildren;
        for (const searcher::CompactPosition& next : children_of(root))
            for (const uint64_t k : reached(next))
                if (std::find(children.begin(), children.end(), k) == children.end()) grandchildren.push_back(k);
        ASSERT_LE(grandchildren.size(), searcher::GAME_KEYS_LOOKED_AT);
        searcher.set_game(grandchildren);
        searcher.clear();
        EXPECT_EQ(searcher.think(root, Limits{3, 0, 0}).score, -searcher::CONTEMPT) << side;
    }
}

// The game's history is looked at back to its 24th-last position and no
// further: the position a move leads to, met 24 positions ago, is a draw,
// met 25 ago it is not.  The same board with the other side to move is
// another position, however recent.
TEST(Search, TheGamesHistoryCountsBackToItsOldestKeyAndNoFurther) {
    constexpr std::size_t WINDOW = 24;
    EXPECT_EQ(searcher::GAME_KEYS_LOOKED_AT, WINDOW);
    Position board = test::settled_opening();
    board.MOCHI_UE_KOMA[7] = HISHA;  // the upper side has a rook more
    board.MOCHI_UE_KAZU[7] = 1;
    board.MOCHI_UE_GOKEI = 1;
    const searcher::CompactPosition root = searcher::from_rules(board, 1);
    searcher::Searcher searcher(14);
    const SearchResult free = searcher.think(root, Limits{2, 0, 0});
    searcher::CompactPosition after = root;
    searcher::make(after, free.best);

    // `key` placed `back` positions before the root, the rest keys of no
    // position the search meets.
    std::mt19937_64 rng(3);
    auto game = [&rng](uint64_t key, std::size_t back) {
        std::vector<uint64_t> keys(WINDOW + 8);
        for (uint64_t& k : keys) k = rng();
        keys[keys.size() - back] = key;
        return keys;
    };
    for (const std::size_t back : {std::size_t{1}, WINDOW - 1, WINDOW}) {
        searcher.set_game(game(after.key(), back));
        searcher.clear();
        const SearchResult r = searcher.think(root, Limits{2, 0, 0});
        EXPECT_NE(r.best, free.best) << back << " positions back";
        EXPECT_GT(r.score, 500) << back << " positions back";
    }
    for (const std::size_t back : {WINDOW + 1, WINDOW + 8}) {
        searcher.set_game(game(after.key(), back));
        searcher.clear();
        EXPECT_TRUE(same(searcher.think(root, Limits{2, 0, 0}), free)) << back << " positions back";
    }
    searcher::CompactPosition other_side = after;
    other_side.side = static_cast<int8_t>(-after.side);
    ASSERT_NE(other_side.key(), after.key());
    searcher.set_game(game(other_side.key(), 1));
    searcher.clear();
    EXPECT_TRUE(same(searcher.think(root, Limits{2, 0, 0}), free));
}

// A king taken k plies below a node is stored as k plies from that node,
// whatever ply the node was met at, and read back from any ply as that ply
// plus k; the same for the side that loses its king, and an ordinary score
// (the evaluation's largest included) is kept as it is.
TEST(Search, AWonScoreInTheTableCountsFromItsNode) {
    for (int k = 0; k <= 40; k += 5)
        for (int stored_at = 0; stored_at <= 50; stored_at += 7)
            for (int read_at = 0; read_at <= 50; read_at += 9) {
                const int won = searcher::WIN - (stored_at + k);
                EXPECT_EQ(searcher::score_to_table(won, stored_at), searcher::WIN - k);
                EXPECT_EQ(searcher::score_from_table(searcher::score_to_table(won, stored_at), read_at),
                          searcher::WIN - (read_at + k));
                EXPECT_EQ(searcher::score_to_table(-won, stored_at), -(searcher::WIN - k));
                EXPECT_EQ(searcher::score_from_table(searcher::score_to_table(-won, stored_at), read_at),
                          -(searcher::WIN - (read_at + k)));
            }
    for (const int plain : {0, 537, -537, searcher::EVAL_LIMIT, -searcher::EVAL_LIMIT})
        for (const int ply : {0, 9, 40}) {
            EXPECT_EQ(searcher::score_to_table(plain, ply), plain);
            EXPECT_EQ(searcher::score_from_table(plain, ply), plain);
        }
}

}  // namespace
}  // namespace zemtori
