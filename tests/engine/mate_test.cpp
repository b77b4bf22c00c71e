// The mate tests of both kings and the test whether the lower king can be taken.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/engine.h"
#include "test_support.h"

namespace zemtori {
namespace {

struct Piece {
    int x, y, code;
};

// A position seen from the lower king's side, with or without a piece in the
// defender's hand (the kind does not matter to the tests).
Position lower_view(const std::vector<Piece>& pieces, bool hand) {
    Position pos;
    for (const Piece& p : pieces) pos.BAN[p.x][p.y] = p.code;
    if (hand) {
        pos.MOCHI_SITA_KOMA[7] = -KIN;
        pos.MOCHI_SITA_KAZU[7] = 1;
        pos.MOCHI_SITA_GOKEI = 1;
    }
    return pos;
}

// The same position for the upper king: codes change sign, column y becomes
// 10 - y, and the hands change sides.
Position upper_view(const std::vector<Piece>& pieces, bool hand) {
    Position pos;
    for (const Piece& p : pieces) pos.BAN[p.x][10 - p.y] = -p.code;
    if (hand) {
        pos.MOCHI_UE_KOMA[7] = KIN;
        pos.MOCHI_UE_KAZU[7] = 1;
        pos.MOCHI_UE_GOKEI = 1;
    }
    return pos;
}

bool same_board(const Position& a, const Position& b) {
    return std::memcmp(a.BAN, b.BAN, sizeof a.BAN) == 0;
}

struct MateCase {
    const char* what;
    std::vector<Piece> pieces;  // seen from the lower king
    bool hand;
    int mated;
};

class MateTests : public ::testing::TestWithParam<MateCase> {};

TEST_P(MateTests, LowerKing) {
    const MateCase& c = GetParam();
    Position pos = lower_view(c.pieces, c.hand);
    const Position before = pos;
    Engine e(pos);
    kiki_keisan(e);
    EXPECT_EQ(tsumi_hantei(e), c.mated) << c.what << "\n" << test::board_to_text(before);
    EXPECT_TRUE(same_board(pos, before)) << c.what << "\n" << test::board_to_text(pos);
}

TEST_P(MateTests, UpperKingMirrored) {
    const MateCase& c = GetParam();
    Position pos = upper_view(c.pieces, c.hand);
    const Position before = pos;
    Engine e(pos);
    kiki_keisan(e);
    EXPECT_EQ(tsumi_hantei_ue(e), c.mated) << c.what << "\n" << test::board_to_text(before);
    EXPECT_TRUE(same_board(pos, before)) << c.what << "\n" << test::board_to_text(pos);
    EXPECT_EQ(pos.MOCHI_UE_GOKEI, before.MOCHI_UE_GOKEI);
}

// The lower king stands on (9, 9), the bottom-right corner, unless said otherwise.
INSTANTIATE_TEST_SUITE_P(
    Positions, MateTests,
    ::testing::Values(
        MateCase{"not in check, boxed in by its own pieces",
                 {{9, 9, -OU}, {8, 9, -KIN}, {8, 8, -KIN}, {9, 8, -KIN}, {1, 1, HISHA}}, false, 0},
        MateCase{"adjacent gold defended by a pawn",
                 {{9, 9, -OU}, {9, 8, KIN}, {9, 7, HU}}, false, 1},
        MateCase{"adjacent checker: a piece in hand does not help",
                 {{9, 9, -OU}, {9, 8, KIN}, {9, 7, HU}}, true, 1},
        MateCase{"undefended adjacent gold: the king takes it",
                 {{9, 9, -OU}, {9, 8, KIN}}, false, 0},
        MateCase{"a silver takes the checking gold",
                 {{9, 9, -OU}, {9, 8, KIN}, {9, 7, HU}, {8, 7, -GIN}}, false, 0},
        MateCase{"taking the checker opens a rook's line to the king",
                 {{9, 9, -OU}, {9, 8, KIN}, {9, 7, HU}, {8, 9, -KIN}, {1, 9, HISHA}}, false, 1},
        MateCase{"distant rook, escapes covered, empty hand",
                 {{9, 9, -OU}, {9, 1, HISHA}, {7, 8, KIN}}, false, 1},
        MateCase{"distant rook: a pawn dropped on the line would block it",
                 {{9, 9, -OU}, {9, 1, HISHA}, {7, 8, KIN}}, true, 0},
        MateCase{"distant rook: a silver steps onto the line",
                 {{9, 9, -OU}, {9, 1, HISHA}, {7, 8, KIN}, {8, 4, -GIN}}, false, 0},
        MateCase{"lance two squares off, escapes covered, empty hand",
                 {{9, 9, -OU}, {9, 7, KYOU}, {7, 8, KIN}}, false, 1},
        MateCase{"lance two squares off is no adjacent checker: a pawn dropped between "
                 "blocks it",
                 {{9, 9, -OU}, {9, 7, KYOU}, {7, 8, KIN}}, true, 0},
        MateCase{"bishop two squares off on the diagonal, escapes covered, empty hand",
                 {{9, 9, -OU}, {7, 7, KAKU}, {8, 7, KIN}, {7, 9, KIN}}, false, 1},
        MateCase{"bishop two squares off on the diagonal: a pawn dropped between blocks it",
                 {{9, 9, -OU}, {7, 7, KAKU}, {8, 7, KIN}, {7, 9, KIN}}, true, 0},
        MateCase{"rook and bishop: no single pawn blocks both",
                 {{9, 9, -OU}, {9, 1, HISHA}, {3, 3, KAKU}, {7, 8, KIN}}, true, 1},
        MateCase{"stepping away from a rook along its line is no escape",
                 {{9, 5, -OU}, {9, 1, HISHA}, {8, 9, HISHA}}, false, 1},
        MateCase{"knight check: its mark on the king's square skips the drop",
                 {{9, 9, -OU}, {8, 7, KEI}, {7, 8, KIN}, {9, 7, HU}}, true, 1},
        MateCase{"only the enemy king attacks: boxed in, empty hand",
                 {{9, 9, -OU}, {8, 8, OU}, {8, 7, HU}}, false, 1},
        MateCase{"only the enemy king attacks: with a piece in hand no check line is "
                 "marked, so the drop step answers no mate",
                 {{9, 9, -OU}, {8, 8, OU}, {8, 7, HU}}, true, 0}),
    [](const auto& info) { return test::case_name(info.param.what); });

TEST(MateTestsUpperKing, MapsDescribeTheLastTrialPosition) {
    // Upper king on (9, 1) checked by a lower gold on (9, 2) that a lower pawn
    // defends; the only trial is the upper silver taking the gold.
    Position pos = upper_view({{9, 9, -OU}, {9, 8, KIN}, {9, 7, HU}, {8, 7, -GIN}}, false);
    Engine e(pos);
    kiki_keisan(e);
    ASSERT_EQ(tsumi_hantei_ue(e), 0);

    Position trial = pos;
    trial.BAN[9][2] = GIN;
    trial.BAN[8][3] = 0;
    Engine t(trial);
    kiki_keisan(t);
    EXPECT_EQ(std::memcmp(e.maps.KIKI_SITA, t.maps.KIKI_SITA, sizeof e.maps.KIKI_SITA), 0);
    EXPECT_EQ(std::memcmp(e.maps.KIKI_UE, t.maps.KIKI_UE, sizeof e.maps.KIKI_UE), 0);
    EXPECT_EQ(std::memcmp(e.maps.OUTE_SITA, t.maps.OUTE_SITA, sizeof e.maps.OUTE_SITA), 0);
    EXPECT_EQ(e.maps.HIMO_UE[9][2], OU) << "the silver that took the gold, defended by its king";
}

TEST(MateTestsUpperKing, LaterTargetsAreJudgedByTheLastTrialsMaps) {
    // The upper king on (9, 1) is checked by a lower lance on (9, 5).  The
    // upper bishop on (5, 1) may take the lance but is pinned by the lower
    // rook on (1, 1); that trial fails and its maps no longer mark the lance's
    // line, so the gold on (8, 3), scanned later, never tries to block it.
    Position pos;
    pos.BAN[9][1] = OU;
    pos.BAN[9][5] = -KYOU;
    pos.BAN[5][1] = KAKU;
    pos.BAN[1][1] = -HISHA;
    pos.BAN[8][3] = KIN;
    pos.BAN[7][2] = -KIN;  // covers (8, 1) and (8, 2)
    Engine e(pos);
    kiki_keisan(e);
    ASSERT_EQ(e.maps.OUTE_SITA[9][3], 1);
    EXPECT_EQ(tsumi_hantei_ue(e), 1);

    // Without the pinned bishop the gold's block is tried and answers it.
    pos.BAN[5][1] = 0;
    pos.BAN[1][1] = 0;
    kiki_keisan(e);
    EXPECT_EQ(tsumi_hantei_ue(e), 0);
}

TEST(MateTestsUpperKing, ReadsTheUpperHandNotTheLowerOne) {
    const std::vector<Piece> rook_check = {{9, 9, -OU}, {9, 1, HISHA}, {7, 8, KIN}};
    Position pos = upper_view(rook_check, false);
    pos.MOCHI_SITA_KOMA[7] = -KIN;
    pos.MOCHI_SITA_KAZU[7] = 1;
    pos.MOCHI_SITA_GOKEI = 1;
    Engine e(pos);
    kiki_keisan(e);
    EXPECT_EQ(tsumi_hantei_ue(e), 1);
}

TEST(CanTakeTheLowerKing, AnyUpperPieceThatMayMoveThere) {
    Position pos = lower_view({{5, 5, -OU}, {5, 1, HISHA}}, false);
    Engine e(pos);
    kiki_keisan(e);
    EXPECT_EQ(oute_hantei(e), 1);

    pos.BAN[5][3] = -HU;  // blocks the rook
    EXPECT_EQ(oute_hantei(e), 0);

    pos.BAN[4][4] = GIN;  // an upper silver steps on diagonally forward
    EXPECT_EQ(oute_hantei(e), 1);
}

TEST(CanTakeTheLowerKing, NoKingNoCapture) {
    Position pos = lower_view({{5, 1, HISHA}, {1, 1, OU}}, false);
    Engine e(pos);
    kiki_keisan(e);
    EXPECT_EQ(oute_hantei(e), 0);
    EXPECT_EQ(tsumi_hantei(e), 0);
    EXPECT_EQ(tsumi_hantei_ue(e), 0);
}

}  // namespace
}  // namespace zemtori
