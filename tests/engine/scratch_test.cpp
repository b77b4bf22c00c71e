// The engine's shortcuts checked against their definitions on random boards:
// the box of squares a piece can reach, the pin markers, and the guard that
// puts a square back.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>

#include "engine/engine.h"
#include "engine/scratch.h"
#include "rules/legality.h"
#include "test_support.h"

namespace zemtori {
namespace {

constexpr int ALL_CODES[] = {HU, TO, KYOU, NARIKYOU, KEI, NARIKEI, GIN, NARIGIN, KIN,
                             KAKU, UMA, HISHA, RYU, OU};

// A board with about `percent` of its squares filled with random pieces of
// both sides, kings included or not; the same seed gives the same board.
Position random_board(std::mt19937& rng, unsigned percent) {
    Position p;
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            if (rng() % 100 >= percent) continue;
            const int code = ALL_CODES[rng() % 14];
            p.BAN[x][y] = rng() % 2 == 0 ? code : -code;
        }
    }
    return p;
}

TEST(ReachBox, HoldsEveryDestinationAPieceMayMoveTo) {
    std::mt19937 rng(20261207);
    int inside = 0;
    for (int round = 0; round < 200; ++round) {
        Position p = random_board(rng, 10 + round % 60);
        for (int sign : {1, -1}) {
            for (int code : ALL_CODES) {
                const int koma = sign * code;
                for (int x = 1; x <= 9; ++x) {
                    for (int y = 1; y <= 9; ++y) {
                        const int moto = p.BAN[x][y];
                        p.BAN[x][y] = koma;
                        const ReachBox b = reach_box(koma, x, y);
                        for (int tx = 1; tx <= 9; ++tx) {
                            for (int ty = 1; ty <= 9; ++ty) {
                                if (idou_kanou(p, x, y, tx, ty, koma) != 1) continue;
                                ASSERT_TRUE(tx >= b.x0 && tx <= b.x1 && ty >= b.y0 && ty <= b.y1)
                                    << koma << " on (" << x << "," << y << ") reaches (" << tx
                                    << "," << ty << ") outside the box";
                                ++inside;
                            }
                        }
                        p.BAN[x][y] = moto;
                    }
                }
            }
        }
    }
    EXPECT_GT(inside, 100000);  // the boards give the pieces room to move
}

TEST(ReachBox, IsTightForTheSteppingPieces) {
    struct Case { int koma, x, y; ReachBox want; };
    const Case cases[] = {
        {HU, 5, 5, {5, 5, 6, 6}},
        {-HU, 5, 5, {5, 5, 4, 4}},
        {KEI, 5, 5, {4, 6, 7, 7}},
        {-KEI, 1, 3, {1, 2, 1, 1}},       // clipped at the top row
        {GIN, 9, 9, {8, 9, 8, 9}},        // clipped in the corner
        {-KIN, 5, 1, {4, 6, 1, 2}},
        {KYOU, 3, 4, {3, 3, 5, 9}},
        {-KYOU, 3, 4, {3, 3, 1, 3}},
        {HU, 5, 9, {5, 5, 10, 9}},        // nothing ahead: an empty box
        {KAKU, 5, 5, {1, 9, 1, 9}},
        {-RYU, 2, 2, {1, 9, 1, 9}},
        {7, 5, 5, {1, 9, 1, 9}},          // not a piece: the whole board
    };
    for (const Case& c : cases) {
        const ReachBox b = reach_box(c.koma, c.x, c.y);
        EXPECT_EQ(b.x0, c.want.x0) << c.koma << " on " << c.x << "," << c.y;
        EXPECT_EQ(b.x1, c.want.x1) << c.koma << " on " << c.x << "," << c.y;
        EXPECT_EQ(b.y0, c.want.y0) << c.koma << " on " << c.x << "," << c.y;
        EXPECT_EQ(b.y1, c.want.y1) << c.koma << " on " << c.x << "," << c.y;
    }
}

// The definition of the pin markers: a lower piece is pinned when, with it
// lifted, an upper lance, bishop, rook or promoted one may move onto the
// lower king's square; the upper side has a pinned piece when the same holds
// for one of its pieces and the upper king.
void pins_by_definition(Position& p, int (&kugi)[10][10], int& kugi_ue_ari) {
    auto slider_reaches = [&](int sign, int gx, int gy) {
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) {
                const int c = p.BAN[x][y];
                if (c * sign > 0 && is_slider(c) && idou_kanou(p, x, y, gx, gy, c) == 1)
                    return true;
            }
        return false;
    };
    std::memset(kugi, 0, sizeof kugi);
    kugi_ue_ari = 0;
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            const int c = p.BAN[x][y];
            if (c == KARA) continue;
            p.BAN[x][y] = KARA;
            if (is_sita(c) && slider_reaches(+1, p.OU_SITA_X, p.OU_SITA_Y)) kugi[x][y] = 1;
            if (is_ue(c) && slider_reaches(-1, p.OU_UE_X, p.OU_UE_Y)) kugi_ue_ari = 1;
            p.BAN[x][y] = c;
        }
    }
}

TEST(PinKeisan, AgreesWithTheDefinitionOnRandomBoards) {
    std::mt19937 rng(7);
    int pinned = 0, ue_pinned = 0;
    for (int round = 0; round < 3000; ++round) {
        Position p = random_board(rng, 15 + round % 50);
        Engine e(p);
        kiki_keisan(e);  // finds the kings, if there are any
        if (round % 3 == 0) {
            // King squares that hold anything at all, as a square kept from
            // an earlier turn may.
            p.OU_SITA_X = 1 + static_cast<int>(rng() % 9);
            p.OU_SITA_Y = 1 + static_cast<int>(rng() % 9);
            p.OU_UE_X = static_cast<int>(rng() % 10);  // 0: no king on the board
            p.OU_UE_Y = 1 + static_cast<int>(rng() % 9);
        }
        const Position before = p;
        pin_keisan(e);
        ASSERT_EQ(std::memcmp(before.BAN, p.BAN, sizeof p.BAN), 0) << "round " << round;

        int kugi[10][10];
        int kugi_ue_ari = 0;
        pins_by_definition(p, kugi, kugi_ue_ari);
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) {
                ASSERT_EQ(e.work.KUGI_SITA[x][y], kugi[x][y])
                    << "round " << round << " square (" << x << "," << y << ")\n"
                    << test::board_to_text(p);
                pinned += kugi[x][y];
            }
        ASSERT_EQ(e.work.KUGI_UE_ARI, kugi_ue_ari) << "round " << round << "\n"
                                                   << test::board_to_text(p);
        ue_pinned += kugi_ue_ari;
    }
    // Both answers occur often enough for the comparison to mean something.
    EXPECT_GT(pinned, 1000);
    EXPECT_GT(ue_pinned, 300);
    EXPECT_LT(ue_pinned, 2700);
}

TEST(KariOki, PutsTheSquareBackOnEveryWayOut) {
    Position p;
    p.BAN[5][5] = -KIN;
    auto probe = [&](bool early) {
        const KariOki lifted(p, 5, 5, KARA);
        if (p.BAN[5][5] != KARA) return -1;
        if (early) return 1;
        const KariOki put(p, 5, 5, RYU);  // nested: the inner one undoes first
        return p.BAN[5][5] == RYU ? 2 : -2;
    };
    EXPECT_EQ(probe(true), 1);
    EXPECT_EQ(p.BAN[5][5], -KIN);
    EXPECT_EQ(probe(false), 2);
    EXPECT_EQ(p.BAN[5][5], -KIN);
}

}  // namespace
}  // namespace zemtori
