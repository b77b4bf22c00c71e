// The searching player's position against the rules: over the benchmark
// positions and over seeded random games, for both sides, the moves it
// generates must be exactly the moves the movement rules allow (with every
// promotion choice), and the position after each of them, falls included,
// must be the one the rules' own move and falling pass give.
//
// The run is short by default; ZEMTORI_MOVEGEN_POSITIONS=N makes the random
// games cover N positions (the long proof run).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "rules/legality.h"
#include "rules/moves.h"
#include "searcher/compact_position.h"
#include "test_support.h"

namespace zemtori {
namespace {

using searcher::RulesMove;

int field(const std::string& line, std::size_t at, std::size_t width) {
    if (at >= line.size()) return 0;
    const std::string f = line.substr(at, width);
    try {
        return std::stoi(f);
    } catch (...) {
        return 0;
    }
}

// An entry line as the tools write it: 81 board codes of 3 columns, then per
// hand slot the lower code, the upper code, the lower and the upper count.
Position parse_line(const std::string& line) {
    Position p;
    for (int i = 0; i < 81; ++i) p.BAN[i / 9 + 1][i % 9 + 1] = field(line, 3 * i, 3);
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        const std::size_t at = 243 + (k - 1) * 10;
        p.MOCHI_SITA_KOMA[k] = field(line, at, 3);
        p.MOCHI_UE_KOMA[k] = field(line, at + 3, 3);
        p.MOCHI_SITA_KAZU[k] = field(line, at + 6, 2);
        p.MOCHI_UE_KAZU[k] = field(line, at + 8, 2);
        p.MOCHI_SITA_GOKEI += p.MOCHI_SITA_KAZU[k];
        p.MOCHI_UE_GOKEI += p.MOCHI_UE_KAZU[k];
    }
    return p;
}

// Every move the rules allow `side`, each promotion choice separately.
std::vector<RulesMove> rules_moves(Position pos, int side) {
    nifu_keisan(pos);
    std::vector<RulesMove> list;
    auto add = [&list](int fx, int fy, int tx, int ty, int koma) {
        int promoted = 0;
        if (nari_hantei(fx, fy, tx, ty, koma, &promoted) == 1) list.push_back({fx, fy, tx, ty, promoted});
        if (funari_kanou(ty, koma) == 1) list.push_back({fx, fy, tx, ty, koma});
    };
    for (int fx = 1; fx <= 9; ++fx)
        for (int fy = 1; fy <= 9; ++fy) {
            const int koma = pos.BAN[fx][fy];
            if (koma * side < 10) continue;
            for (int tx = 1; tx <= 9; ++tx)
                for (int ty = 1; ty <= 9; ++ty)
                    if (idou_kanou(pos, fx, fy, tx, ty, koma) == 1) add(fx, fy, tx, ty, koma);
        }
    const int* koma = side > 0 ? pos.MOCHI_UE_KOMA : pos.MOCHI_SITA_KOMA;
    const int* kazu = side > 0 ? pos.MOCHI_UE_KAZU : pos.MOCHI_SITA_KAZU;
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        if (kazu[k] <= 0) continue;
        const int fx = side > 0 ? UE_TE_X : SITA_TE_X, fy = side > 0 ? k : k + 2;
        for (int tx = 1; tx <= 9; ++tx)
            for (int ty = 1; ty <= 9; ++ty)
                if (idou_kanou(pos, fx, fy, tx, ty, koma[k]) == 1) add(fx, fy, tx, ty, koma[k]);
    }
    return list;
}

std::string text(const RulesMove& m) {
    return std::to_string(m.from_x) + " " + std::to_string(m.from_y) + " " + std::to_string(m.to_x) + " " +
           std::to_string(m.to_y) + " " + std::to_string(m.koma);
}

// The position after `m` as the game makes it: the move, then the fall.
Position rules_after(Position pos, const RulesMove& m, int& winner) {
    TurnState turn;
    turn.COM_GAWA = 1;
    turn.MAN_GAWA = -1;
    sashite_jikkou(pos, turn, nullptr, m.from_x, m.from_y, m.to_x, m.to_y, m.koma);
    rakka(pos, nullptr);
    winner = turn.SHOSHA;
    return pos;
}

// What one comparison covered.
struct Tally {
    long lists = 0, moves = 0;  // move lists compared (one per side), moves made
};

// Compares moves and positions after every move for `side`; returns false
// at the first difference (after reporting it).
bool compare(const Position& pos, int side, Tally& tally) {
    const searcher::CompactPosition sp = searcher::from_rules(pos, side);
    searcher::MoveList list;
    searcher::generate(sp, list);
    std::vector<RulesMove> got;
    for (int i = 0; i < list.size; ++i) got.push_back(searcher::to_rules_move(sp, list.moves[i]));
    std::vector<RulesMove> want = rules_moves(pos, side);
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    ++tally.lists;
    if (got != want) {
        std::vector<RulesMove> extra, missing;
        std::set_difference(got.begin(), got.end(), want.begin(), want.end(), std::back_inserter(extra));
        std::set_difference(want.begin(), want.end(), got.begin(), got.end(), std::back_inserter(missing));
        ADD_FAILURE() << "side " << side << ": " << extra.size() << " extra (first "
                      << (extra.empty() ? "-" : text(extra[0])) << "), " << missing.size() << " missing (first "
                      << (missing.empty() ? "-" : text(missing[0])) << ")\n"
                      << test::board_to_text(pos);
        return false;
    }

    // The captures alone are exactly the moves onto an enemy piece.
    searcher::MoveList caps;
    searcher::generate_captures(sp, caps);
    int captures = 0;
    for (int i = 0; i < list.size; ++i)
        if (sp.board[list.moves[i].to] != 0) ++captures;
    EXPECT_EQ(caps.size, captures);

    for (int i = 0; i < list.size; ++i) {
        const RulesMove rm = searcher::to_rules_move(sp, list.moves[i]);
        int winner = 0;
        const Position want_after = rules_after(pos, rm, winner);
        searcher::CompactPosition after = sp;
        searcher::make(after, list.moves[i]);
        ++tally.moves;
        const Position got_after = searcher::to_rules_position(after);
        bool same = after.winner == winner && after.side == -side && after.settled;
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) same = same && got_after.BAN[x][y] == want_after.BAN[x][y];
        for (int k = 1; k <= MOCHI_SLOTS; ++k)
            same = same && got_after.MOCHI_UE_KOMA[k] == want_after.MOCHI_UE_KOMA[k] &&
                   got_after.MOCHI_UE_KAZU[k] == want_after.MOCHI_UE_KAZU[k] &&
                   got_after.MOCHI_SITA_KOMA[k] == want_after.MOCHI_SITA_KOMA[k] &&
                   got_after.MOCHI_SITA_KAZU[k] == want_after.MOCHI_SITA_KAZU[k];
        same = same && got_after.MOCHI_UE_GOKEI == want_after.MOCHI_UE_GOKEI &&
               got_after.MOCHI_SITA_GOKEI == want_after.MOCHI_SITA_GOKEI;
        // What make keeps up to date move by move equals what a fresh read
        // of the same position computes.
        const searcher::CompactPosition fresh = searcher::from_rules(want_after, -side);
        same = same && fresh.key() == after.key() && fresh.material == after.material &&
               std::equal(&fresh.kinds[0][0], &fresh.kinds[0][0] + 18, &after.kinds[0][0]) &&
               fresh.king[0] == after.king[0] && fresh.king[1] == after.king[1];
        if (!same) {
            ADD_FAILURE() << "after " << text(rm) << " (side " << side << ", winner " << int(after.winner)
                          << " want " << winner << ")\nbefore:\n"
                          << test::board_to_text(pos) << "got:\n"
                          << test::board_to_text(got_after) << "want:\n"
                          << test::board_to_text(want_after);
            return false;
        }
    }
    return true;
}

std::vector<Position> bench_positions() {
    std::ifstream in(std::string(ZEMTORI_BENCH_DIR) + "/positions_seed1.txt");
    std::vector<Position> list;
    for (std::string line; std::getline(in, line);) list.push_back(parse_line(line));
    return list;
}

TEST(SearchPosition, MovesAndFallsMatchTheRulesOnTheBenchmarkPositions) {
    const std::vector<Position> positions = bench_positions();
    ASSERT_EQ(positions.size(), 50u);
    Tally tally;
    for (const Position& pos : positions)
        for (int side : {+1, -1}) ASSERT_TRUE(compare(pos, side, tally));
    EXPECT_GT(tally.moves, 3000);
}

// A board that has not yet fallen (the opening as it is set up) falls whole
// after the first move, as the game's falling pass does.
TEST(SearchPosition, AnUnsettledBoardFallsWholeAfterTheFirstMove) {
    Tally tally;
    for (int side : {+1, -1}) ASSERT_TRUE(compare(test::opening_position(), side, tally));
    EXPECT_FALSE(searcher::from_rules(test::opening_position(), 1).settled);
    EXPECT_TRUE(searcher::from_rules(test::settled_opening(), 1).settled);
}

// Hands whose slots hold emptied codes above and below live ones: a capture
// must reuse the slot naming its kind, a drop must let the slots above fall.
TEST(SearchPosition, HandSlotsAreReusedAndFallAsTheRulesLayThemOut) {
    Position pos = test::board_with({{9, 1, 80}, {9, 9, -80}, {9, 5, -40}, {8, 5, 10}, {9, 4, 40}, {8, 4, -10},
                                     {9, 3, 50}, {9, 6, -50}});
    // Upper hand: a stale pawn code in slot 3, a gold in 5, a lance in 7.
    pos.MOCHI_UE_KOMA[3] = HU;
    pos.MOCHI_UE_KOMA[5] = KIN;
    pos.MOCHI_UE_KAZU[5] = 1;
    pos.MOCHI_UE_KOMA[6] = KEI;
    pos.MOCHI_UE_KOMA[7] = KYOU;
    pos.MOCHI_UE_KAZU[7] = 2;
    pos.MOCHI_SITA_KOMA[2] = -GIN;
    pos.MOCHI_SITA_KAZU[2] = 1;
    pos.MOCHI_SITA_KOMA[7] = -HU;
    pos.MOCHI_SITA_KAZU[7] = 3;
    pos.MOCHI_UE_GOKEI = 3;
    pos.MOCHI_SITA_GOKEI = 4;
    Tally tally;
    for (int side : {+1, -1}) ASSERT_TRUE(compare(pos, side, tally));
}

// Random games from the settled opening, both sides compared at every
// position, the moves chosen at random among the rules' own.
TEST(SearchPosition, MovesAndFallsMatchTheRulesOverRandomGames) {
    long target = 2000;
    if (const char* env = std::getenv("ZEMTORI_MOVEGEN_POSITIONS")) target = std::atol(env);
    std::mt19937_64 rng(20261207);
    Tally tally;
    long games = 0, positions = 0;
    while (positions < target) {
        Position pos = test::settled_opening();
        int side = -1;
        ++games;
        for (int ply = 0; ply < 400 && positions < target; ++ply) {
            ++positions;
            ASSERT_TRUE(compare(pos, side, tally));
            ASSERT_TRUE(compare(pos, -side, tally));
            const std::vector<RulesMove> moves = rules_moves(pos, side);
            if (moves.empty()) break;
            int winner = 0;
            pos = rules_after(pos, moves[rng() % moves.size()], winner);
            if (winner != 0) break;
            side = -side;
        }
    }
    std::printf("random games: %ld games, %ld positions, %ld move lists, %ld moves made and compared\n", games,
                positions, tally.lists, tally.moves);
    EXPECT_GE(positions, target);
}

}  // namespace
}  // namespace zemtori
