// Which moves and drops the movement rules allow: geometry and occupancy.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "rules/legality.h"
#include "test_support.h"

namespace zemtori {
namespace {

struct Sq {
    int x, y;
};

struct Placed {
    int x, y, code;
};

Position with_pieces(std::initializer_list<Placed> pieces) {
    Position pos;
    for (const Placed& p : pieces) pos.BAN[p.x][p.y] = p.code;
    nifu_keisan(pos);
    return pos;
}

// Every destination in `allowed` is allowed, every one in `refused` refused.
void expect_moves(const Position& pos, int fx, int fy, int koma, std::initializer_list<Sq> allowed,
                  std::initializer_list<Sq> refused) {
    for (const Sq& to : allowed)
        EXPECT_EQ(idou_kanou(pos, fx, fy, to.x, to.y, koma), 1)
            << koma << " from (" << fx << "," << fy << ") to (" << to.x << "," << to.y << ")\n"
            << test::board_to_text(pos);
    for (const Sq& to : refused)
        EXPECT_EQ(idou_kanou(pos, fx, fy, to.x, to.y, koma), 0)
            << koma << " from (" << fx << "," << fy << ") to (" << to.x << "," << to.y << ")\n"
            << test::board_to_text(pos);
}

// How many of the 81 squares the piece may reach.
int count_destinations(const Position& pos, int fx, int fy, int koma) {
    int n = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) n += idou_kanou(pos, fx, fy, x, y, koma);
    return n;
}

TEST(MoveLegality, DestinationOffTheBoardOrOnTheSourceIsRefused) {
    const Position pos = with_pieces({{5, 5, OU}, {1, 1, -OU}, {9, 9, -RYU}});
    expect_moves(pos, 5, 5, OU, {}, {{5, 5}});
    expect_moves(pos, 1, 1, -OU, {}, {{0, 1}, {1, 0}, {0, 0}, {1, 1}});
    expect_moves(pos, 9, 9, -RYU, {}, {{10, 9}, {9, 10}, {10, 10}, {-1, 9}, {9, 11}});
    // A drop aimed off the board is refused as well.
    expect_moves(pos, UE_TE_X, 1, KIN, {}, {{0, 5}, {10, 5}, {5, 0}, {5, 10}});
}

TEST(MoveLegality, OwnPiecesBlockTheDestinationEnemyPiecesAreCaptured) {
    const Position pos = with_pieces({{5, 5, KIN}, {4, 6, 10}, {5, 6, -10}, {6, 6, -OU},
                                      {5, 4, -KIN}, {4, 5, OU}});
    expect_moves(pos, 5, 5, KIN, {{5, 6}, {6, 6}, {5, 4}, {6, 5}}, {{4, 6}, {4, 5}});
    // The lower side sees it the other way round.
    expect_moves(pos, 5, 4, -KIN, {{5, 5}, {4, 4}, {6, 4}}, {});
    expect_moves(pos, 5, 6, -HU, {{5, 5}}, {});
}

TEST(MoveLegality, PawnStepsOneSquareForwardOnly) {
    const Position pos = with_pieces({{5, 3, HU}, {5, 7, -HU}});
    expect_moves(pos, 5, 3, HU, {{5, 4}}, {{4, 4}, {6, 4}, {5, 2}, {5, 5}, {4, 3}, {6, 3}});
    expect_moves(pos, 5, 7, -HU, {{5, 6}}, {{5, 8}, {5, 5}, {4, 6}, {6, 6}, {4, 7}});
    EXPECT_EQ(count_destinations(pos, 5, 3, HU), 1);
    EXPECT_EQ(count_destinations(pos, 5, 7, -HU), 1);
}

TEST(MoveLegality, LanceRunsAlongItsFileUpToTheFirstPiece) {
    // Upper lance with an open file up to a lower piece on (3, 7).
    Position pos = with_pieces({{3, 1, KYOU}, {3, 7, -KIN}});
    expect_moves(pos, 3, 1, KYOU, {{3, 2}, {3, 3}, {3, 4}, {3, 5}, {3, 6}, {3, 7}},
                 {{3, 8}, {3, 9}, {2, 2}, {4, 1}, {2, 1}});
    // A piece of its own side stops it one square earlier.
    pos.BAN[3][7] = KIN;
    expect_moves(pos, 3, 1, KYOU, {{3, 6}}, {{3, 7}, {3, 8}});

    // The lower lance runs toward y = 1 and never backward.
    pos = with_pieces({{3, 9, -KYOU}, {3, 3, HU}, {6, 5, -KYOU}});
    expect_moves(pos, 3, 9, -KYOU, {{3, 8}, {3, 4}, {3, 3}}, {{3, 2}, {3, 1}, {4, 8}});
    expect_moves(pos, 6, 5, -KYOU, {{6, 4}, {6, 1}}, {{6, 6}, {6, 9}});
}

TEST(MoveLegality, KnightJumpsOverWhateverIsInTheWay) {
    const Position pos = with_pieces({{2, 1, KEI}, {2, 2, GIN}, {1, 2, HU}, {3, 2, -HU},
                                      {2, 9, -KEI}, {2, 8, -GIN}, {1, 8, -HU}});
    expect_moves(pos, 2, 1, KEI, {{1, 3}, {3, 3}}, {{2, 3}, {4, 2}, {0, 3}, {1, 2}, {3, 2}});
    expect_moves(pos, 2, 9, -KEI, {{1, 7}, {3, 7}}, {{2, 7}, {1, 8}, {3, 8}});
    EXPECT_EQ(count_destinations(pos, 2, 1, KEI), 2);
    EXPECT_EQ(count_destinations(pos, 2, 9, -KEI), 2);
    // Never backward.
    const Position mid = with_pieces({{5, 5, KEI}, {5, 6, -KEI}});
    expect_moves(mid, 5, 5, KEI, {{4, 7}, {6, 7}}, {{4, 3}, {6, 3}});
    expect_moves(mid, 5, 6, -KEI, {{4, 4}, {6, 4}}, {{4, 8}, {6, 8}});
}

TEST(MoveLegality, SilverHasNoStepSidewaysOrStraightBack) {
    const Position pos = with_pieces({{5, 5, GIN}, {5, 2, -GIN}});
    expect_moves(pos, 5, 5, GIN, {{4, 6}, {5, 6}, {6, 6}, {4, 4}, {6, 4}},
                 {{5, 4}, {4, 5}, {6, 5}, {5, 7}, {3, 7}});
    expect_moves(pos, 5, 2, -GIN, {{4, 1}, {5, 1}, {6, 1}, {4, 3}, {6, 3}},
                 {{5, 3}, {4, 2}, {6, 2}});
}

TEST(MoveLegality, GoldAndPromotedMinorPiecesMoveAlike) {
    for (int kind : {KIN, TO, NARIKYOU, NARIKEI, NARIGIN}) {
        SCOPED_TRACE(kind);
        const Position up = with_pieces({{5, 5, kind}});
        expect_moves(up, 5, 5, kind, {{4, 6}, {5, 6}, {6, 6}, {4, 5}, {6, 5}, {5, 4}},
                     {{4, 4}, {6, 4}, {5, 7}, {3, 5}});
        EXPECT_EQ(count_destinations(up, 5, 5, kind), 6);
        const Position down = with_pieces({{5, 5, -kind}});
        expect_moves(down, 5, 5, -kind, {{4, 4}, {5, 4}, {6, 4}, {4, 5}, {6, 5}, {5, 6}},
                     {{4, 6}, {6, 6}, {5, 3}});
        EXPECT_EQ(count_destinations(down, 5, 5, -kind), 6);
    }
}

TEST(MoveLegality, RookLinesStopAtTheFirstPiece) {
    // Rook on (8, 2) with its own piece on (8, 3): nothing to the right along
    // x = 8, but it still runs along y = 2 up to the first occupied square.
    const Position pos = with_pieces({{8, 2, HISHA}, {8, 3, KIN}, {4, 2, -HU}, {9, 2, KAKU}});
    expect_moves(pos, 8, 2, HISHA, {{8, 1}, {7, 2}, {6, 2}, {5, 2}, {4, 2}},
                 {{8, 3}, {8, 4}, {8, 9}, {3, 2}, {1, 2}, {9, 2}, {7, 3}, {9, 1}});
    EXPECT_EQ(count_destinations(pos, 8, 2, HISHA), 5);
    // The lower rook alike.
    const Position low = with_pieces({{2, 8, -HISHA}, {2, 5, HU}, {5, 8, -HU}});
    expect_moves(low, 2, 8, -HISHA, {{2, 9}, {2, 7}, {2, 6}, {2, 5}, {1, 8}, {3, 8}, {4, 8}},
                 {{2, 4}, {5, 8}, {6, 8}, {3, 9}});
}

TEST(MoveLegality, BishopLinesStopAtTheFirstPiece) {
    const Position pos = with_pieces({{5, 5, KAKU}, {3, 3, -KIN}, {7, 3, GIN}});
    expect_moves(pos, 5, 5, KAKU, {{4, 4}, {3, 3}, {6, 6}, {9, 9}, {1, 9}, {6, 4}},
                 {{2, 2}, {1, 1}, {7, 3}, {8, 2}, {5, 6}, {4, 5}, {6, 7}, {5, 9}});
    const Position low = with_pieces({{5, 5, -KAKU}, {7, 7, HU}});
    expect_moves(low, 5, 5, -KAKU, {{6, 6}, {7, 7}, {1, 1}}, {{8, 8}, {5, 4}});
}

TEST(MoveLegality, PromotedSlidersAlsoStepOneSquareAnyWay) {
    // Boxed in by pieces on every neighbouring square but the ones we test.
    const Position uma = with_pieces({{5, 5, UMA}, {4, 4, -HU}, {3, 3, -HU}, {6, 6, HU}});
    expect_moves(uma, 5, 5, UMA, {{5, 6}, {5, 4}, {4, 5}, {6, 5}, {4, 4}, {6, 4}, {4, 6}, {1, 9}},
                 {{3, 3}, {6, 6}, {7, 7}, {5, 7}, {3, 5}});
    const Position ryu = with_pieces({{5, 5, -RYU}, {5, 4, HU}, {3, 5, -HU}});
    expect_moves(ryu, 5, 5, -RYU, {{4, 4}, {6, 6}, {4, 6}, {6, 4}, {5, 4}, {4, 5}, {9, 5}, {5, 9}},
                 {{5, 3}, {3, 5}, {2, 5}, {7, 7}, {3, 3}});
}

TEST(MoveLegality, KingStepsOneSquareInEveryDirection) {
    const Position pos = with_pieces({{5, 5, OU}, {1, 1, -OU}});
    expect_moves(pos, 5, 5, OU, {{4, 4}, {4, 5}, {4, 6}, {5, 4}, {5, 6}, {6, 4}, {6, 5}, {6, 6}},
                 {{5, 7}, {3, 3}, {7, 5}});
    EXPECT_EQ(count_destinations(pos, 5, 5, OU), 8);
    EXPECT_EQ(count_destinations(pos, 1, 1, -OU), 3);
}

TEST(DropLegality, OccupiedSquaresAreRefusedWhateverHoldsThem) {
    const Position pos = with_pieces({{5, 5, HU}, {6, 6, -HU}, {7, 7, -OU}});
    for (int kind : {HU, KYOU, KEI, GIN, KIN, KAKU, HISHA}) {
        SCOPED_TRACE(kind);
        expect_moves(pos, UE_TE_X, 1, kind, {{4, 4}}, {{5, 5}, {6, 6}, {7, 7}});
        expect_moves(pos, SITA_TE_X, 9, -kind, {{4, 4}}, {{5, 5}, {6, 6}, {7, 7}});
    }
}

TEST(DropLegality, SecondPawnOnAFileIsRefusedPromotedPawnsDoNotCount) {
    Position pos = with_pieces({{4, 2, HU}, {6, 8, -HU}, {7, 3, TO}, {8, 7, -TO}});
    expect_moves(pos, UE_TE_X, 1, HU, {{5, 5}, {6, 5}, {7, 5}, {8, 5}}, {{4, 5}, {4, 8}});
    expect_moves(pos, SITA_TE_X, 3, -HU, {{4, 5}, {7, 5}, {8, 5}}, {{6, 5}, {6, 2}});
    // Other kinds ignore the flags.
    expect_moves(pos, UE_TE_X, 1, KYOU, {{4, 5}}, {});

    // The flags are read as they were last computed: after the pawn leaves
    // the file and the flags are recomputed, the drop is allowed.
    pos.BAN[4][2] = KARA;
    pos.BAN[5][2] = HU;
    EXPECT_EQ(idou_kanou(pos, UE_TE_X, 1, 4, 5, HU), 0);
    nifu_keisan(pos);
    EXPECT_EQ(idou_kanou(pos, UE_TE_X, 1, 4, 5, HU), 1);
    EXPECT_EQ(idou_kanou(pos, UE_TE_X, 1, 5, 5, HU), 0);
}

TEST(DropLegality, PawnLanceKnightNeedARowToMoveOn) {
    struct Case {
        int koma, to_y, expected;
    };
    const Case cases[] = {
        {HU, 9, 0},    {HU, 8, 1},    {HU, 1, 1},    {KYOU, 9, 0},  {KYOU, 8, 1},
        {KEI, 9, 0},   {KEI, 8, 0},   {KEI, 7, 1},   {KEI, 1, 1},   {-HU, 1, 0},
        {-HU, 2, 1},   {-HU, 9, 1},   {-KYOU, 1, 0}, {-KYOU, 2, 1}, {-KEI, 1, 0},
        {-KEI, 2, 0},  {-KEI, 3, 1},  {-KEI, 9, 1},
    };
    const Position pos;
    for (const Case& c : cases) {
        const int from_x = c.koma > 0 ? UE_TE_X : SITA_TE_X;
        EXPECT_EQ(idou_kanou(pos, from_x, 3, 5, c.to_y, c.koma), c.expected)
            << "drop " << c.koma << " on y = " << c.to_y;
    }
}

TEST(DropLegality, OtherKindsGoOnAnyEmptySquare) {
    const Position pos;
    for (int kind : {GIN, KIN, KAKU, HISHA}) {
        EXPECT_EQ(count_destinations(pos, UE_TE_X, 4, kind), 81) << kind;
        EXPECT_EQ(count_destinations(pos, SITA_TE_X, 6, -kind), 81) << -kind;
    }
}

TEST(DropLegality, APieceCannotComeOutOfTheOtherSidesHand) {
    const Position pos;
    // A pawn, lance or knight taken from the wrong hand column is judged as a
    // board move from a non-square and goes nowhere.
    for (int kind : {HU, KYOU, KEI}) {
        EXPECT_EQ(count_destinations(pos, SITA_TE_X, 5, kind), 0) << kind;
        EXPECT_EQ(count_destinations(pos, UE_TE_X, 5, -kind), 0) << -kind;
    }
}

TEST(LineTests, AHandSlotIsNoSourceForALine) {
    // (x = -1 / 11 is not a square: without the guard these would walk
    // outside the board.)
    const Position pos;
    EXPECT_EQ(kakudo_michi(pos, UE_TE_X, 1, 2, 4), 0);
    EXPECT_EQ(kakudo_michi(pos, UE_TE_X, 7, 5, 1), 0);
    EXPECT_EQ(kakudo_michi(pos, SITA_TE_X, 9, 9, 7), 0);
    EXPECT_EQ(kakudo_michi(pos, SITA_TE_X, 3, 1, 1), 0);
    EXPECT_EQ(hisha_michi(pos, UE_TE_X, 5, 9, 5), 0);
    EXPECT_EQ(hisha_michi(pos, SITA_TE_X, 5, 1, 5), 0);
    // On the board the tests judge the squares strictly between.
    const Position b = with_pieces({{3, 3, HU}, {5, 3, HU}});
    EXPECT_EQ(kakudo_michi(b, 1, 1, 3, 3), 1);
    EXPECT_EQ(kakudo_michi(b, 1, 1, 4, 4), 0);
    EXPECT_EQ(kakudo_michi(b, 1, 1, 2, 3), 0);
    EXPECT_EQ(hisha_michi(b, 3, 1, 3, 3), 1);
    EXPECT_EQ(hisha_michi(b, 3, 1, 3, 4), 0);
    EXPECT_EQ(hisha_michi(b, 9, 3, 6, 3), 1);
    EXPECT_EQ(hisha_michi(b, 9, 3, 4, 3), 0);
    EXPECT_EQ(hisha_michi(b, 1, 1, 2, 2), 0);
}

TEST(TwoPawnFlags, CountOnlyUnpromotedPawnsPerFile) {
    Position pos = test::board_from_text(R"(
        10  .  .  .  .  .  .  .  .
         . 11  .  .  .  . -11 .  .
         .  .  .  .  .  .  .  . -10
        10  .  .  .  .  . -10 .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  . 10
    )");
    // Stale flags from an earlier board are cleared.
    for (int x = 1; x <= 9; ++x) pos.NIFU_UE[x] = pos.NIFU_SITA[x] = 1;
    nifu_keisan(pos);
    const int ue[10] = {0, 1, 0, 0, 1, 0, 0, 0, 0, 1};
    const int sita[10] = {0, 0, 0, 1, 1, 0, 0, 0, 0, 0};
    for (int x = 1; x <= 9; ++x) {
        EXPECT_EQ(pos.NIFU_UE[x], ue[x]) << "x = " << x;
        EXPECT_EQ(pos.NIFU_SITA[x], sita[x]) << "x = " << x;
    }
}

TEST(MoveLegality, OpeningPositionGivesTheExpectedMoveCounts) {
    Position pos = test::opening_position();
    nifu_keisan(pos);
    int upper = 0, lower = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const int code = pos.BAN[x][y];
            if (code >= 10) upper += count_destinations(pos, x, y, code);
            if (code <= -10) lower += count_destinations(pos, x, y, code);
        }
    // Upper side, counted by hand: 9 pawn steps; lances 1 each; knights
    // none (their squares hold own pawns); silvers 2 each; golds 3 each;
    // king 3; rook 6 along y = 2 (x = 1 and 3..7, stopped by its bishop);
    // bishop none.  The lower side is the same turned half round.
    EXPECT_EQ(upper, 9 + 2 + 0 + 4 + 6 + 3 + 6 + 0);
    EXPECT_EQ(lower, upper);
}

}  // namespace
}  // namespace zemtori
