// Making a move: captures into the hand, the king capture and drops.
#include <gtest/gtest.h>

#include "rules/moves.h"
#include "test_support.h"

namespace zemtori {
namespace {

TurnState human_second() {
    TurnState turn;
    turn.MAN_GAWA = GOTE_GAWA;
    turn.COM_GAWA = SENTE_GAWA;
    return turn;
}

TEST(Capture, PieceGoesDemotedToTheCapturersHand) {
    struct Case {
        int captured;    // code on the destination
        int demoted;     // the value mochigoma_tsuika leaves in its argument
        bool upper_hand; // whose hand receives it
        int stored;      // code stored in the hand
    };
    const Case cases[] = {
        {-RYU, -HISHA, true, HISHA},  {-UMA, -KAKU, true, KAKU}, {-TO, -HU, true, HU},
        {-NARIGIN, -GIN, true, GIN},  {-KIN, -KIN, true, KIN},   {-KEI, -KEI, true, KEI},
        {TO, HU, false, -HU},         {NARIKYOU, KYOU, false, -KYOU},
        {NARIKEI, KEI, false, -KEI},  {HISHA, HISHA, false, -HISHA},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.captured);
        Position pos;
        TurnState turn = human_second();
        int value = c.captured;
        mochigoma_tsuika(pos, turn, value);
        EXPECT_EQ(value, c.demoted);
        const int* koma = c.upper_hand ? pos.MOCHI_UE_KOMA : pos.MOCHI_SITA_KOMA;
        const int* kazu = c.upper_hand ? pos.MOCHI_UE_KAZU : pos.MOCHI_SITA_KAZU;
        const int* other = c.upper_hand ? pos.MOCHI_SITA_KAZU : pos.MOCHI_UE_KAZU;
        // A new kind takes the lowest free place: slot 7.
        EXPECT_EQ(koma[7], c.stored);
        EXPECT_EQ(kazu[7], 1);
        for (int k = 0; k < 7; ++k) EXPECT_EQ(kazu[k], 0) << k;
        for (int k = 0; k < 8; ++k) EXPECT_EQ(other[k], 0) << k;
        EXPECT_EQ(turn.SHOSHA, 0);
    }
}

TEST(Capture, SameKindJoinsItsSlotNewKindTakesTheLowestFreeSlot) {
    Position pos;
    TurnState turn = human_second();
    for (int code : {-HU, -KIN, -TO, -HU}) {
        int value = code;
        mochigoma_tsuika(pos, turn, value);
    }
    EXPECT_EQ(pos.MOCHI_UE_KOMA[7], HU);
    EXPECT_EQ(pos.MOCHI_UE_KAZU[7], 3);
    EXPECT_EQ(pos.MOCHI_UE_KOMA[6], KIN);
    EXPECT_EQ(pos.MOCHI_UE_KAZU[6], 1);
    for (int k = 1; k <= 5; ++k) EXPECT_EQ(pos.MOCHI_UE_KAZU[k], 0) << k;
}

TEST(Capture, EmptiedSlotStillNamingTheKindIsReusedWhereItStands) {
    Position pos;
    TurnState turn = human_second();
    // Slot 4 once held pawns and was emptied by drops; slot 7 holds a rook.
    pos.MOCHI_SITA_KOMA[4] = -HU;
    pos.MOCHI_SITA_KOMA[7] = -HISHA;
    pos.MOCHI_SITA_KAZU[7] = 1;
    int value = HU;
    mochigoma_tsuika(pos, turn, value);
    EXPECT_EQ(pos.MOCHI_SITA_KAZU[4], 1);
    EXPECT_EQ(pos.MOCHI_SITA_KAZU[6], 0);
    EXPECT_EQ(pos.MOCHI_SITA_KAZU[7], 1);
}

TEST(Capture, KingCaptureDecidesTheGameForTheCapturer) {
    for (int man : {GOTE_GAWA, SENTE_GAWA}) {
        SCOPED_TRACE(man);
        Position pos;
        TurnState turn;
        turn.MAN_GAWA = man;
        turn.COM_GAWA = -man;
        int lower_king = -OU;
        mochigoma_tsuika(pos, turn, lower_king);
        EXPECT_EQ(turn.SHOSHA, turn.COM_GAWA);
        EXPECT_EQ(pos.MOCHI_UE_KOMA[7], OU);
        EXPECT_EQ(pos.MOCHI_UE_KAZU[7], 1);

        turn.SHOSHA = 0;
        int upper_king = OU;
        mochigoma_tsuika(pos, turn, upper_king);
        EXPECT_EQ(turn.SHOSHA, turn.MAN_GAWA);
        EXPECT_EQ(pos.MOCHI_SITA_KOMA[7], -OU);
    }
}

TEST(Capture, KingTakenIntoAFullHandLeavesTheHandAsItWas) {
    // All seven droppable kinds in hand, then the lower king is taken.
    Position pos = test::board_from_text(R"(
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  . 50 -80 .
         .  .  .  .  .  .  .  .  .
    )");
    const int kinds[8] = {0, 70, 60, 50, 40, 30, 20, 10};
    for (int k = 1; k <= 7; ++k) {
        pos.MOCHI_UE_KOMA[k] = kinds[k];
        pos.MOCHI_UE_KAZU[k] = k;
        pos.MOCHI_UE_GOKEI += k;
    }
    const Position before = pos;
    TurnState turn = human_second();
    sashite_jikkou(pos, turn, nullptr, 8, 7, 8, 8, KIN);

    EXPECT_EQ(turn.SHOSHA, turn.COM_GAWA);
    EXPECT_EQ(pos.BAN[8][8], KIN);
    EXPECT_EQ(pos.BAN[8][7], KARA);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(pos.MOCHI_UE_KOMA[k], before.MOCHI_UE_KOMA[k]) << k;
        EXPECT_EQ(pos.MOCHI_UE_KAZU[k], before.MOCHI_UE_KAZU[k]) << k;
        EXPECT_EQ(pos.MOCHI_SITA_KOMA[k], 0) << k;
        EXPECT_EQ(pos.MOCHI_SITA_KAZU[k], 0) << k;
    }
    EXPECT_EQ(pos.MOCHI_UE_GOKEI, before.MOCHI_UE_GOKEI);
    EXPECT_EQ(pos.MOCHI_SITA_GOKEI, 0);
}

TEST(MakeMove, CaptureFillsTheHandAndTheDestination) {
    Position pos = test::opening_position();
    rakka(pos, nullptr);
    TurnState turn = human_second();
    // Upper pawn (5, 3) takes a lower piece put on (5, 4).
    pos.BAN[5][4] = -UMA;
    sashite_jikkou(pos, turn, nullptr, 5, 3, 5, 4, HU);
    EXPECT_EQ(pos.BAN[5][4], HU);
    EXPECT_EQ(pos.BAN[5][3], KARA);
    EXPECT_EQ(pos.MOCHI_UE_GOKEI, 1);
    EXPECT_EQ(pos.MOCHI_UE_KOMA[7], KAKU);
    EXPECT_EQ(pos.MOCHI_UE_KAZU[7], 1);
    EXPECT_EQ(pos.MOCHI_SITA_GOKEI, 0);
    EXPECT_EQ(turn.SHOSHA, 0);
}

TEST(MakeMove, TheLowerKingsSquareFollowsItsMovesOnly) {
    Position pos = test::board_from_text(R"(
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         . 80  .  .  .  .  . -80 .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
         .  .  .  .  .  .  .  .  .
    )");
    TurnState turn = human_second();
    sashite_jikkou(pos, turn, nullptr, 5, 8, 4, 7, -OU);
    EXPECT_EQ(pos.OU_SITA_X, 4);
    EXPECT_EQ(pos.OU_SITA_Y, 7);
    sashite_jikkou(pos, turn, nullptr, 5, 2, 6, 3, OU);
    EXPECT_EQ(pos.OU_UE_X, 0);
    EXPECT_EQ(pos.OU_UE_Y, 0);
    // The move itself does not let anything fall.
    EXPECT_EQ(pos.BAN[4][7], -OU);
    EXPECT_EQ(pos.BAN[6][3], OU);
}

TEST(MakeMove, PromotedCodeIsWhatStandsOnTheDestination) {
    Position pos;
    pos.BAN[5][4] = -HU;
    TurnState turn = human_second();
    sashite_jikkou(pos, turn, nullptr, 5, 4, 5, 3, -TO);
    EXPECT_EQ(pos.BAN[5][3], -TO);
    EXPECT_EQ(pos.BAN[5][4], KARA);
}

}  // namespace
}  // namespace zemtori
