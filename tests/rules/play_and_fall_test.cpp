// The settled opening every game starts from, and a move made and let fall
// on a copy, as everything outside the window does it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "rules/legality.h"
#include "rules/moves.h"
#include "rules/opening.h"
#include "test_support.h"

namespace zemtori {
namespace {

bool same_position(const Position& a, const Position& b) {
    return test::same_board_and_hands(a, b) && a.MOCHI_UE_GOKEI == b.MOCHI_UE_GOKEI &&
           a.MOCHI_SITA_GOKEI == b.MOCHI_SITA_GOKEI;
}

// The opening as the board shows it once a game starts: each lone rook and
// bishop at the bottom of its column, nothing left to fall, no hands.
TEST(SettledOpening, IsTheOpeningAfterItsFirstFall) {
    const Position pos = settled_opening();
    test::expect_same_board(pos, test::settled_opening());
    EXPECT_EQ(pos.BAN[9][2], KAKU);
    EXPECT_EQ(pos.BAN[8][2], HISHA);
    EXPECT_EQ(pos.BAN[9][8], -HISHA);
    EXPECT_EQ(pos.BAN[8][8], -KAKU);
    Position again = pos;
    EXPECT_EQ(rakka(again, nullptr), 0);
    EXPECT_EQ(pos.MOCHI_UE_GOKEI + pos.MOCHI_SITA_GOKEI, 0);
}

// Seeded random games, every move the movement rules allow equally likely:
// after each move the board has settled, the moved piece stands where the
// result says it came to rest, the result names what was taken, and the
// position is the one the game's own move and fall give.
TEST(PlayAndFall, SettlesTheBoardAndTellsWhereThePieceCameToRest) {
    std::mt19937_64 rng(17);
    int moves = 0, captures = 0, drops = 0, kings = 0, fallen = 0;
    while (moves < 3000) {
        Position pos = settled_opening();
        int side = -1;
        for (int ply = 0; ply < 150; ++ply) {
            nifu_keisan(pos);
            struct M {
                int fx, fy, tx, ty, koma;
            };
            std::vector<M> list;
            for (int fx = 1; fx <= 9; ++fx)
                for (int fy = 1; fy <= 9; ++fy) {
                    const int code = pos.BAN[fx][fy];
                    if (code * side < 10) continue;
                    for (int tx = 1; tx <= 9; ++tx)
                        for (int ty = 1; ty <= 9; ++ty)
                            if (idou_kanou(pos, fx, fy, tx, ty, code) == 1) {
                                int promoted = 0;
                                const bool may = nari_hantei(fx, fy, tx, ty, code, &promoted) == 1;
                                if (!may || funari_kanou(ty, code) == 1) list.push_back({fx, fy, tx, ty, code});
                                if (may) list.push_back({fx, fy, tx, ty, promoted});
                            }
                }
            const int* koma = side > 0 ? pos.MOCHI_UE_KOMA : pos.MOCHI_SITA_KOMA;
            const int* kazu = side > 0 ? pos.MOCHI_UE_KAZU : pos.MOCHI_SITA_KAZU;
            for (int k = 1; k <= MOCHI_SLOTS; ++k) {
                if (kazu[k] <= 0) continue;
                const int fx = side > 0 ? UE_TE_X : SITA_TE_X, fy = side > 0 ? k : k + 2;
                for (int tx = 1; tx <= 9; ++tx)
                    for (int ty = 1; ty <= 9; ++ty)
                        if (idou_kanou(pos, fx, fy, tx, ty, koma[k]) == 1) list.push_back({fx, fy, tx, ty, koma[k]});
            }
            if (list.empty()) break;
            const M m = list[rng() % list.size()];
            const int there = pos.BAN[m.tx][m.ty];

            Position by_hand = pos;
            TurnState turn;
            sashite_jikkou(by_hand, turn, nullptr, m.fx, m.fy, m.tx, m.ty, m.koma);
            fallen += rakka(by_hand, nullptr) > 0;

            const Played played = play_and_fall(pos, m.fx, m.fy, m.tx, m.ty, m.koma);
            ++moves;
            ASSERT_TRUE(same_position(pos, by_hand)) << "move " << moves;
            Position settled = pos;
            ASSERT_EQ(rakka(settled, nullptr), 0) << "move " << moves;
            EXPECT_EQ(played.captured, there) << "move " << moves;
            ASSERT_GE(played.rest_x, m.tx) << "a piece never rises";
            ASSERT_LE(played.rest_x, 9);
            EXPECT_EQ(pos.BAN[played.rest_x][m.ty], m.koma) << "move " << moves;
            // Everything below the piece at rest is filled: it fell as far as
            // it could and no further.
            for (int x = played.rest_x + 1; x <= 9; ++x) EXPECT_NE(pos.BAN[x][m.ty], KARA);
            captures += there != KARA;
            drops += is_drop(m.fx);
            EXPECT_EQ(played.took_king(), std::abs(there) == OU);
            if (played.took_king()) {
                ++kings;
                break;
            }
            side = -side;
        }
    }
    EXPECT_GT(captures, 100);
    EXPECT_GT(drops, 100);
    EXPECT_GT(kings, 5);
    EXPECT_GT(fallen, 300);
}

}  // namespace
}  // namespace zemtori
