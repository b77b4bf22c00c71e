// The falling rule: pieces with an empty square below them drop one square
// per step, on the board and inside the hands.
#include <gtest/gtest.h>

#include <vector>

#include "rules/moves.h"
#include "test_support.h"

namespace zemtori {
namespace {

using test::expect_same_board;
using test::settled_opening;

TEST(BoardFall, OpeningSettlesInSixSteps) {
    const Position start = test::opening_position();
    Position pos = start;
    EXPECT_EQ(rakka(pos, nullptr), 6);

    Position want = start;
    for (int x = 1; x <= 9; ++x) want.BAN[x][2] = want.BAN[x][8] = KARA;
    want.BAN[8][2] = HISHA;
    want.BAN[9][2] = KAKU;
    want.BAN[8][8] = -KAKU;
    want.BAN[9][8] = -HISHA;
    expect_same_board(pos, want);
}

TEST(BoardFall, VacatedSquareLetsThePawnsAboveItFall) {
    // The lower pawn (5, 7) steps to (5, 6) and falls to the bottom; the four
    // pawns above the square it left each drop one square.
    Position pos = settled_opening();
    const Position before = pos;
    TurnState turn;
    sashite_jikkou(pos, turn, nullptr, 5, 7, 5, 6, -HU);
    EXPECT_EQ(rakka(pos, nullptr), 4);

    Position want = before;
    want.BAN[1][7] = KARA;
    for (int x = 2; x <= 5; ++x) want.BAN[x][7] = -HU;
    want.BAN[9][6] = -HU;
    expect_same_board(pos, want);
}

TEST(BoardFall, CaptureFillsTheTakenSquareOnlyTheCapturersGapFalls) {
    // The lower rook on (8, 6) takes the upper silver on (8, 5): the silver's
    // square is filled at once, so the pawn above it stays; the pawn above
    // the rook's old square falls into it.
    Position pos = test::board_from_text(R"(
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  . 10 -10 .  .  .
         .  .  .  . 40 -70 .  .  .
         .  .  .  . 50 -50 .  .  .
    )");
    TurnState turn;
    sashite_jikkou(pos, turn, nullptr, 8, 6, 8, 5, -HISHA);
    EXPECT_EQ(rakka(pos, nullptr), 1);
    EXPECT_EQ(pos.BAN[7][5], HU);
    EXPECT_EQ(pos.BAN[8][5], -HISHA);
    EXPECT_EQ(pos.BAN[7][6], KARA);
    EXPECT_EQ(pos.BAN[8][6], -HU);
    EXPECT_EQ(pos.BAN[9][6], -KIN);
    EXPECT_EQ(pos.MOCHI_SITA_KOMA[7], -GIN);
}

TEST(BoardFall, PieceDroppedIntoTheAirFallsToTheBottom) {
    Position pos = settled_opening();
    pos.MOCHI_SITA_KOMA[7] = -KIN;
    pos.MOCHI_SITA_KAZU[7] = 1;
    pos.MOCHI_SITA_GOKEI = 1;
    TurnState turn;
    sashite_jikkou(pos, turn, nullptr, SITA_TE_X, 9, 2, 5, -KIN);
    EXPECT_EQ(pos.BAN[2][5], -KIN);  // drawn where it was put
    EXPECT_EQ(rakka(pos, nullptr), 7);
    EXPECT_EQ(pos.BAN[9][5], -KIN);
    EXPECT_EQ(pos.BAN[2][5], KARA);
    EXPECT_EQ(pos.MOCHI_SITA_GOKEI, 0);
}

TEST(BoardFall, PiecesNeverLeaveTheirColumnOrOverlap) {
    Position pos = test::board_from_text(R"(
         .  .  30  . -71  .  .  .  .
        10  .   .  .   .  . 80  .  .
         .  .  50  .   .  .  .  .  .
         . -80  .  .   .  .  .  . -20
         .  .   .  .   .  .  .  .  .
        40  .   .  .  61  .  .  .  .
         .  .   .  .   .  . -10 .  .
         .  .   .  .   .  .  .  .  .
         .  .   .  .   .  .  . -40 .
    )");
    Position want;
    // Each column keeps its pieces in their order, packed at the bottom.
    want.BAN[8][1] = HU;   want.BAN[9][1] = GIN;
    want.BAN[9][2] = -OU;
    want.BAN[8][3] = KEI;  want.BAN[9][3] = KIN;
    want.BAN[8][5] = -RYU; want.BAN[9][5] = UMA;
    want.BAN[8][7] = OU;   want.BAN[9][7] = -HU;
    want.BAN[9][8] = -GIN;
    want.BAN[9][9] = -KYOU;
    const int steps = rakka(pos, nullptr);
    expect_same_board(pos, want);
    // The longest fall is the knight's and the promoted rook's, from x = 1 to
    // x = 8 with a gap below them from the start.
    EXPECT_EQ(steps, 7);
}

struct Hand {
    int koma[8];
    int kazu[8];
};

void set_hand(Position& pos, int side, const Hand& h) {
    for (int k = 0; k < 8; ++k) {
        (side > 0 ? pos.MOCHI_UE_KOMA : pos.MOCHI_SITA_KOMA)[k] = h.koma[k];
        (side > 0 ? pos.MOCHI_UE_KAZU : pos.MOCHI_SITA_KAZU)[k] = h.kazu[k];
    }
}

TEST(HandFall, SlotsPackAtTheBottomInTheirOrder) {
    for (int side : {SENTE_GAWA, GOTE_GAWA}) {
        SCOPED_TRACE(side);
        Position pos;
        set_hand(pos, side, {{0, side * 10, 0, side * 50, 0, side * 70, 0, 0},
                             {0, 2, 0, 1, 0, 1, 0, 0}});
        EXPECT_EQ(mochigoma_rakka(pos, side, nullptr), 4);
        const int* koma = side > 0 ? pos.MOCHI_UE_KOMA : pos.MOCHI_SITA_KOMA;
        const int* kazu = side > 0 ? pos.MOCHI_UE_KAZU : pos.MOCHI_SITA_KAZU;
        for (int k = 1; k <= 4; ++k) EXPECT_EQ(kazu[k], 0) << k;
        EXPECT_EQ(koma[5], side * 10);
        EXPECT_EQ(kazu[5], 2);
        EXPECT_EQ(koma[6], side * 50);
        EXPECT_EQ(kazu[6], 1);
        EXPECT_EQ(koma[7], side * 70);
        EXPECT_EQ(kazu[7], 1);
        // Slot 0 is no slot and the other hand is untouched.
        EXPECT_EQ(koma[0], 0);
        EXPECT_EQ(kazu[0], 0);
        const int* other = side > 0 ? pos.MOCHI_SITA_KAZU : pos.MOCHI_UE_KAZU;
        for (int k = 0; k < 8; ++k) EXPECT_EQ(other[k], 0);
    }
}

TEST(HandFall, WithoutAScreenNobodyWaits) {
    Position pos = test::opening_position();
    set_hand(pos, SENTE_GAWA, {{0, 10, 0, 0, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0, 0, 0}});
    EXPECT_EQ(rakka(pos, nullptr), 6);
    EXPECT_EQ(mochigoma_rakka(pos, SENTE_GAWA, nullptr), 6);
    EXPECT_EQ(pos.MOCHI_UE_KAZU[7], 1);
    // A side value that names no hand moves nothing.
    EXPECT_EQ(mochigoma_rakka(pos, NASHI, nullptr), 0);
}

}  // namespace
}  // namespace zemtori
