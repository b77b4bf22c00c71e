// The attack-map pass on small hand-made positions.

#include <gtest/gtest.h>

#include <string>

#include "engine/engine.h"
#include "test_support.h"

namespace zemtori {
namespace {

// A board holding only the listed pieces.
struct Piece {
    int x, y, code;
};

Position board(std::initializer_list<Piece> pieces) {
    Position pos;
    for (const Piece& p : pieces) pos.BAN[p.x][p.y] = p.code;
    return pos;
}

// The same position seen from the other side: every code changes sign and
// column y becomes 10 - y.
Position mirrored(const Position& pos) {
    Position m;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) m.BAN[x][10 - y] = -pos.BAN[x][y];
    return m;
}

std::string sq(int x, int y) { return "(" + std::to_string(x) + "," + std::to_string(y) + ")"; }

// ---------------------------------------------------------------------------
// Rays: through the enemy king, check lines, stop at the first other piece.

TEST(AttackMapRays, LowerRookLooksThroughTheUpperKing) {
    Position pos = board({{9, 9, -HISHA}, {9, 5, OU}, {9, 3, HU}});
    Engine e(pos);
    kiki_keisan(e);
    const AttackMaps& m = e.maps;

    for (int y : {6, 7, 8}) EXPECT_EQ(m.OUTE_SITA[9][y], 1) << sq(9, y);
    EXPECT_EQ(m.OUTE_SITA[9][9], 9);
    EXPECT_EQ(m.OUTE_SITA[9][5], 0) << "the king's own square is not on the line";
    EXPECT_EQ(m.OUTE_SITA[9][4], 0) << "squares behind the king are not on the line";

    EXPECT_EQ(m.KIKI_SITA[9][4], 1) << "the ray goes on behind the king";
    EXPECT_EQ(m.KIKI_SITA[9][3], 1) << "and reaches the piece that ends it";
    EXPECT_EQ(m.KIKI_SITA[9][2], 0) << "but nothing behind that piece";
    EXPECT_EQ(m.ATARI_SITA[9][3], -HISHA);
    EXPECT_EQ(m.ATARI_SITA_X[9][3], 9);
    EXPECT_EQ(m.ATARI_SITA_Y[9][3], 9);
    EXPECT_EQ(m.ATARI_SITA[9][5], -HISHA) << "the king itself is attacked";

    // The rook's other ray, toward x = 1, runs up the whole column.
    for (int x = 1; x <= 8; ++x) EXPECT_EQ(m.KIKI_SITA[x][9], 1) << sq(x, 9);
}

TEST(AttackMapRays, UpperLanceLooksThroughTheLowerKing) {
    Position pos = board({{4, 1, KYOU}, {4, 5, -OU}, {4, 8, -HU}});
    pos.BAN[4][9] = -KIN;  // behind the pawn: out of the lance's reach
    Engine e(pos);
    kiki_keisan(e);
    const AttackMaps& m = e.maps;

    for (int y : {2, 3, 4}) EXPECT_EQ(m.OUTE_UE[4][y], 1) << sq(4, y);
    EXPECT_EQ(m.OUTE_UE[4][1], 9);
    for (int y : {6, 7, 8}) EXPECT_EQ(m.KIKI_UE[4][y], 1) << sq(4, y);
    EXPECT_EQ(m.KIKI_UE[4][9], 0);
    EXPECT_EQ(m.ATARI_UE[4][8], KYOU);
    EXPECT_EQ(m.ATARI_UE_X[4][8], 4);
    EXPECT_EQ(m.ATARI_UE_Y[4][8], 1);
    EXPECT_EQ(m.ATARI_UE[4][5], KYOU) << "the lower king is attacked like any lower piece";
    EXPECT_EQ(m.ATARI_UE[4][9], 999);
}

TEST(AttackMapRays, AnyOtherPieceEndsTheRayAfterBeingRecorded) {
    Position pos = board({{5, 9, -HISHA}, {5, 6, -GIN}, {2, 9, -KIN}, {9, 9, KIN}, {5, 1, OU}});
    Engine e(pos);
    kiki_keisan(e);
    const AttackMaps& m = e.maps;
    EXPECT_EQ(m.HIMO_SITA[5][6], -HISHA) << "own piece: defended";
    EXPECT_EQ(m.KIKI_SITA[5][5], 1) << "only the silver's step; the rook stopped at the silver";
    EXPECT_EQ(m.HIMO_SITA[2][9], -HISHA);
    EXPECT_EQ(m.KIKI_SITA[1][9], 1) << "only the gold; the rook stopped at the gold";
    EXPECT_EQ(m.ATARI_SITA[9][9], -HISHA) << "enemy piece: attacked";
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) EXPECT_EQ(m.OUTE_SITA[x][y], 0) << "the king is shielded " << sq(x, y);
}

// ---------------------------------------------------------------------------
// Check marks of one-step and knight moves.

TEST(AttackMapChecks, KnightMarksItsSquareAndTheKingsSquare) {
    Position pos = board({{9, 7, -KEI}, {8, 5, OU}});
    Engine e(pos);
    kiki_keisan(e);
    EXPECT_EQ(e.maps.OUTE_SITA[9][7], 9);
    EXPECT_EQ(e.maps.OUTE_SITA[8][5], 9);

    Position up = board({{3, 3, KEI}, {4, 5, -OU}});
    Engine f(up);
    kiki_keisan(f);
    EXPECT_EQ(f.maps.OUTE_UE[3][3], 9);
    EXPECT_EQ(f.maps.OUTE_UE[4][5], 9);
    EXPECT_EQ(f.maps.KIKI_UE[4][5], 1);
    EXPECT_EQ(f.maps.ATARI_UE[4][5], 999) << "an upper knight records no attack";
}

TEST(AttackMapChecks, MarksAreSetNotAdded) {
    // Two lower knights check the upper king at once.
    Position pos = board({{4, 7, -KEI}, {6, 7, -KEI}, {5, 5, OU}, {5, 6, -KIN}});
    Engine e(pos);
    kiki_keisan(e);
    EXPECT_EQ(e.maps.OUTE_SITA[5][5], 9);
    EXPECT_EQ(e.maps.OUTE_SITA[4][7], 9);
    EXPECT_EQ(e.maps.OUTE_SITA[6][7], 9);
    EXPECT_EQ(e.maps.OUTE_SITA[5][6], 9);
    EXPECT_EQ(e.maps.KIKI_SITA[5][5], 3);
}

TEST(AttackMapChecks, UpperPawnCheckRecordsItsCodeButNoSquare) {
    Position pos = board({{5, 4, HU}, {5, 5, -OU}});
    Engine e(pos);
    e.maps.ATARI_UE_X[5][5] = 7;
    e.maps.ATARI_UE_Y[5][5] = 7;
    kiki_keisan(e);
    EXPECT_EQ(e.maps.OUTE_UE[5][4], 9);
    EXPECT_EQ(e.maps.ATARI_UE[5][5], HU);
    EXPECT_EQ(e.maps.ATARI_UE_X[5][5], 7);
    EXPECT_EQ(e.maps.ATARI_UE_Y[5][5], 7);
}

TEST(AttackMapChecks, PiecesWithoutAMoveRecordNothing) {
    Position pos = board({{3, 1, -HU}, {3, 9, HU}, {5, 1, -KEI}, {6, 2, -KEI}, {5, 9, KEI}, {6, 8, KEI}});
    Engine e(pos);
    kiki_keisan(e);
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            EXPECT_EQ(e.maps.KIKI_SITA[x][y], 0) << sq(x, y);
            EXPECT_EQ(e.maps.KIKI_UE[x][y], 0) << sq(x, y);
        }
    }
}

TEST(AttackMapChecks, KingsSideBySide) {
    Position pos = board({{5, 5, OU}, {5, 6, -OU}});
    Engine e(pos);
    kiki_keisan(e);
    const AttackMaps& m = e.maps;
    EXPECT_EQ(pos.OU_UE_X, 5);
    EXPECT_EQ(pos.OU_UE_Y, 5);
    EXPECT_EQ(pos.OU_SITA_X, 5);
    EXPECT_EQ(pos.OU_SITA_Y, 6);
    EXPECT_EQ(m.KIKI_SITA[5][5], 1);
    EXPECT_EQ(m.KIKI_UE[5][6], 1);
    EXPECT_EQ(m.ATARI_SITA[5][5], -OU);
    EXPECT_EQ(m.ATARI_SITA_X[5][5], 5);
    EXPECT_EQ(m.ATARI_SITA_Y[5][5], 6);
    EXPECT_EQ(m.ATARI_UE[5][6], 999) << "the upper king records no attack";
    int reached = 0;
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            EXPECT_EQ(m.OUTE_SITA[x][y], 0) << "kings never mark a check " << sq(x, y);
            EXPECT_EQ(m.OUTE_UE[x][y], 0) << "kings never mark a check " << sq(x, y);
            reached += m.KIKI_SITA[x][y] + m.KIKI_UE[x][y];
        }
    }
    EXPECT_EQ(reached, 16) << "each king reaches its eight neighbours and nothing else";

    // A lower silver scanned after the king still replaces -80: -40 is nearer zero.
    pos.BAN[6][4] = -GIN;
    kiki_keisan(e);
    EXPECT_EQ(m.ATARI_SITA[5][5], -GIN);
    EXPECT_EQ(m.ATARI_SITA_X[5][5], 6);
    EXPECT_EQ(m.ATARI_SITA_Y[5][5], 4);
}

// ---------------------------------------------------------------------------
// The code each kind of move records, and whether it writes its square.

constexpr int NO_SQUARE = -1;

struct UpperCase {
    const char* what;
    Piece mover;
    int himo;      // HIMO_UE on an upper gold at (5, 5)
    int atari;     // ATARI_UE on a lower gold at (5, 5)
    bool square;   // whether the mover's square is written with the code
};

class UpperRecording : public ::testing::TestWithParam<UpperCase> {};

TEST_P(UpperRecording, DefenceAndAttack) {
    const UpperCase& c = GetParam();
    for (int target : {+KIN, -KIN}) {
        Position pos = board({c.mover, {5, 5, target}});
        Engine e(pos);
        // Squares left by an earlier pass: a kind that writes no square keeps them.
        e.maps.HIMO_UE_X[5][5] = e.maps.ATARI_UE_X[5][5] = 7;
        e.maps.HIMO_UE_Y[5][5] = e.maps.ATARI_UE_Y[5][5] = 7;
        kiki_keisan(e);
        const AttackMaps& m = e.maps;
        EXPECT_EQ(m.KIKI_UE[5][5], 1) << c.what;
        const int code = target > 0 ? m.HIMO_UE[5][5] : m.ATARI_UE[5][5];
        const int want = target > 0 ? c.himo : c.atari;
        EXPECT_EQ(code, want) << c.what << (target > 0 ? " defending" : " attacking");
        const int sx = target > 0 ? m.HIMO_UE_X[5][5] : m.ATARI_UE_X[5][5];
        const int sy = target > 0 ? m.HIMO_UE_Y[5][5] : m.ATARI_UE_Y[5][5];
        if (c.square && want != 999) {
            EXPECT_EQ(sx, c.mover.x) << c.what;
            EXPECT_EQ(sy, c.mover.y) << c.what;
        } else {
            EXPECT_EQ(sx, 7) << c.what;
            EXPECT_EQ(sy, 7) << c.what;
        }
        EXPECT_EQ(target > 0 ? m.ATARI_UE[5][5] : m.HIMO_UE[5][5], 999) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UpperRecording,
    ::testing::Values(
        UpperCase{"pawn", {5, 4, HU}, HU, HU, false},
        UpperCase{"knight", {4, 3, KEI}, KEI, 999, true},
        UpperCase{"silver forward", {5, 4, GIN}, GIN, 999, true},
        UpperCase{"silver backward", {4, 6, GIN}, GIN, 999, true},
        UpperCase{"gold", {5, 6, KIN}, KIN, 999, false},
        UpperCase{"promoted pawn", {5, 4, TO}, KIN, 999, false},
        UpperCase{"promoted lance", {4, 4, NARIKYOU}, KIN, 999, false},
        UpperCase{"promoted knight", {6, 5, NARIKEI}, KIN, 999, false},
        UpperCase{"promoted silver", {6, 4, NARIGIN}, KIN, 999, false},
        UpperCase{"promoted bishop step", {5, 4, UMA}, 999, 999, false},
        UpperCase{"promoted bishop ray", {3, 3, UMA}, UMA, UMA, true},
        UpperCase{"promoted rook diagonal step", {4, 4, RYU}, RYU, RYU, true},
        UpperCase{"promoted rook ray", {5, 1, RYU}, RYU, RYU, true},
        UpperCase{"king", {4, 5, OU}, OU, 999, false},
        UpperCase{"lance", {5, 2, KYOU}, KYOU, KYOU, true},
        UpperCase{"bishop", {2, 2, KAKU}, KAKU, KAKU, true},
        UpperCase{"rook toward x = 1", {9, 5, HISHA}, HISHA, HISHA, true}),
    [](const auto& info) { return test::case_name(info.param.what); });

struct LowerCase {
    const char* what;
    Piece mover;
    int recorded;
};

class LowerRecording : public ::testing::TestWithParam<LowerCase> {};

// Every lower move records alike: the attack on an upper piece with the
// mover's square, the defence of a lower piece, with the same code.
TEST_P(LowerRecording, DefenceAndAttack) {
    const LowerCase& c = GetParam();
    Position pos = board({c.mover, {5, 5, KIN}});
    Engine e(pos);
    kiki_keisan(e);
    EXPECT_EQ(e.maps.KIKI_SITA[5][5], 1) << c.what;
    EXPECT_EQ(e.maps.ATARI_SITA[5][5], c.recorded) << c.what;
    EXPECT_EQ(e.maps.ATARI_SITA_X[5][5], c.mover.x) << c.what;
    EXPECT_EQ(e.maps.ATARI_SITA_Y[5][5], c.mover.y) << c.what;

    pos.BAN[5][5] = -KIN;
    kiki_keisan(e);
    EXPECT_EQ(e.maps.HIMO_SITA[5][5], c.recorded) << c.what;
    EXPECT_EQ(e.maps.ATARI_SITA[5][5], -999) << c.what;
    EXPECT_EQ(e.maps.ATARI_SITA_X[5][5], 0) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, LowerRecording,
    ::testing::Values(
        LowerCase{"pawn", {5, 6, -HU}, -HU},
        LowerCase{"lance", {5, 9, -KYOU}, -KYOU},
        LowerCase{"knight", {4, 7, -KEI}, -KEI},
        LowerCase{"silver backward", {4, 4, -GIN}, -GIN},
        LowerCase{"gold", {4, 5, -KIN}, -KIN},
        LowerCase{"promoted pawn records its own code", {5, 6, -TO}, -TO},
        LowerCase{"promoted silver backward", {5, 4, -NARIGIN}, -NARIGIN},
        LowerCase{"bishop", {8, 8, -KAKU}, -KAKU},
        LowerCase{"promoted bishop step", {5, 6, -UMA}, -UMA},
        LowerCase{"promoted bishop ray records -60", {7, 7, -UMA}, -KAKU},
        LowerCase{"rook", {1, 5, -HISHA}, -HISHA},
        LowerCase{"promoted rook ray", {5, 9, -RYU}, -RYU},
        LowerCase{"promoted rook diagonal step", {6, 6, -RYU}, -RYU},
        LowerCase{"king", {6, 6, -OU}, -OU}),
    [](const auto& info) { return test::case_name(info.param.what); });

TEST(AttackMapWeakest, DefenceKeepsTheSmallestCodeAttackTheOneNearestZero) {
    // A lower gold defended by a lower pawn and a lower rook; an upper gold
    // defended by an upper pawn and an upper rook.
    Position pos = board({{2, 6, -HU}, {2, 5, -KIN}, {2, 1, -HISHA},
                          {7, 4, HU}, {7, 5, KIN}, {7, 9, HISHA}});
    Engine e(pos);
    kiki_keisan(e);
    EXPECT_EQ(e.maps.HIMO_SITA[2][5], -HISHA);
    EXPECT_EQ(e.maps.HIMO_UE[7][5], HU);
    EXPECT_EQ(e.maps.KIKI_SITA[2][5], 2);
    EXPECT_EQ(e.maps.KIKI_UE[7][5], 2);

    // An upper gold attacked by a lower rook and a lower pawn: the pawn.
    Position att = board({{4, 5, KIN}, {4, 9, -HISHA}, {4, 6, -HU}});
    Engine f(att);
    kiki_keisan(f);
    EXPECT_EQ(f.maps.ATARI_SITA[4][5], -HU);
    EXPECT_EQ(f.maps.ATARI_SITA_Y[4][5], 6);
}

TEST(AttackMapWeakest, AmongEqualCodesTheFirstScannedKeepsItsSquare) {
    Position pos = board({{5, 5, KIN}, {4, 6, -GIN}, {6, 6, -GIN}});
    Engine e(pos);
    kiki_keisan(e);
    EXPECT_EQ(e.maps.ATARI_SITA[5][5], -GIN);
    EXPECT_EQ(e.maps.ATARI_SITA_X[5][5], 4);
    EXPECT_EQ(e.maps.ATARI_SITA_Y[5][5], 6);

    Position up = board({{5, 5, KIN}, {1, 5, HISHA}, {9, 5, HISHA}});
    Engine f(up);
    kiki_keisan(f);
    EXPECT_EQ(f.maps.HIMO_UE[5][5], HISHA);
    EXPECT_EQ(f.maps.HIMO_UE_X[5][5], 1);
    EXPECT_EQ(f.maps.HIMO_UE_Y[5][5], 5);
}

TEST(AttackMapWeakest, ACodeLoweredWithoutASquareKeepsTheSquareOfAnEarlierMove) {
    // Scanned first, the upper rook on (1, 5) reaches the lower gold on (5, 5)
    // along x: ATARI_UE 70 with square (1, 5).  The upper pawn on (5, 4),
    // scanned later, lowers it to 10 without a square, so (1, 5) stays.
    // Likewise the upper rook on (7, 9) defends the upper gold on (7, 5):
    // HIMO_UE 70 with square (7, 9); the upper gold on (8, 5), scanned after
    // it, lowers it to 50 without a square.
    Position pos = board({{1, 5, HISHA}, {5, 4, HU}, {5, 5, -KIN},
                          {7, 5, KIN}, {7, 9, HISHA}, {8, 5, KIN}});
    Engine e(pos);
    kiki_keisan(e);
    EXPECT_EQ(e.maps.ATARI_UE[5][5], HU);
    EXPECT_EQ(e.maps.ATARI_UE_X[5][5], 1);
    EXPECT_EQ(e.maps.ATARI_UE_Y[5][5], 5);
    EXPECT_EQ(e.maps.HIMO_UE[7][5], KIN);
    EXPECT_EQ(e.maps.HIMO_UE_X[7][5], 7);
    EXPECT_EQ(e.maps.HIMO_UE_Y[7][5], 9);

    // The other order: the pawn on (5, 4) comes first and records 10; the
    // rook on (9, 5), scanned later, reaches (5, 5) along x with 70, does not
    // lower the code and so writes no square either: the earlier pass's stays.
    Position later = board({{5, 4, HU}, {5, 5, -KIN}, {9, 5, HISHA}});
    Engine f(later);
    f.maps.ATARI_UE_X[5][5] = 7;
    f.maps.ATARI_UE_Y[5][5] = 7;
    kiki_keisan(f);
    EXPECT_EQ(f.maps.KIKI_UE[5][5], 2);
    EXPECT_EQ(f.maps.ATARI_UE[5][5], HU);
    EXPECT_EQ(f.maps.ATARI_UE_X[5][5], 7);
    EXPECT_EQ(f.maps.ATARI_UE_Y[5][5], 7);
}

// ---------------------------------------------------------------------------
// What a pass resets and what it keeps.

TEST(AttackMapPasses, KeptSquaresSurviveAndEverythingElseIsReset) {
    Position pos = board({{5, 1, HISHA}, {5, 5, KIN}, {8, 9, HISHA}, {8, 2, -KIN},
                          {5, 6, -HU}, {1, 1, OU}, {9, 9, -OU}});
    Engine e(pos);
    kiki_keisan(e);
    ASSERT_EQ(e.maps.HIMO_UE[5][5], HISHA);
    ASSERT_EQ(e.maps.ATARI_UE[8][2], HISHA);
    ASSERT_EQ(e.maps.ATARI_SITA_X[5][5], 5);

    // The rooks, the lower pawn and the kings leave; upper pawns take over
    // the defence and the attack, recording their code without a square.
    pos = board({{5, 4, HU}, {5, 5, KIN}, {8, 1, HU}, {8, 2, -KIN}});
    kiki_keisan(e);
    const AttackMaps& m = e.maps;
    EXPECT_EQ(m.HIMO_UE[5][5], HU);
    EXPECT_EQ(m.HIMO_UE_X[5][5], 5);
    EXPECT_EQ(m.HIMO_UE_Y[5][5], 1);
    EXPECT_EQ(m.ATARI_UE[8][2], HU);
    EXPECT_EQ(m.ATARI_UE_X[8][2], 8);
    EXPECT_EQ(m.ATARI_UE_Y[8][2], 9);

    // An empty board: everything with a reset value goes back to it, the
    // kept squares stay.
    pos = Position{};
    kiki_keisan(e);
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            EXPECT_EQ(m.KIKI_SITA[x][y], 0) << sq(x, y);
            EXPECT_EQ(m.KIKI_UE[x][y], 0) << sq(x, y);
            EXPECT_EQ(m.HIMO_SITA[x][y], 999) << sq(x, y);
            EXPECT_EQ(m.HIMO_UE[x][y], 999) << sq(x, y);
            EXPECT_EQ(m.ATARI_SITA[x][y], -999) << sq(x, y);
            EXPECT_EQ(m.ATARI_SITA_X[x][y], 0) << sq(x, y);
            EXPECT_EQ(m.ATARI_SITA_Y[x][y], 0) << sq(x, y);
            EXPECT_EQ(m.ATARI_UE[x][y], 999) << sq(x, y);
            EXPECT_EQ(m.OUTE_SITA[x][y], 0) << sq(x, y);
            EXPECT_EQ(m.OUTE_UE[x][y], 0) << sq(x, y);
        }
    }
    EXPECT_EQ(m.HIMO_UE_X[5][5], 5);
    EXPECT_EQ(m.ATARI_UE_Y[8][2], 9);
}

TEST(AttackMapPasses, KingsSquaresAreOnlyWrittenWhenAKingIsMet) {
    Position pos = board({{1, 1, OU}, {9, 9, -OU}});
    Engine e(pos);
    kiki_keisan(e);
    pos.BAN[1][1] = pos.BAN[9][9] = 0;
    pos.BAN[3][3] = OU;
    kiki_keisan(e);
    EXPECT_EQ(pos.OU_UE_X, 3);
    EXPECT_EQ(pos.OU_UE_Y, 3);
    EXPECT_EQ(pos.OU_SITA_X, 9);
    EXPECT_EQ(pos.OU_SITA_Y, 9);
}

TEST(AttackMapPasses, ValuesThatAreNotPiecesMoveNothing) {
    Position pos = board({{5, 5, 51}, {5, 6, -51}, {2, 2, 5}, {8, 8, 99}});
    Engine e(pos);
    kiki_keisan(e);
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            EXPECT_EQ(e.maps.KIKI_SITA[x][y], 0) << sq(x, y);
            EXPECT_EQ(e.maps.KIKI_UE[x][y], 0) << sq(x, y);
        }
    }
}

// Both sides move alike, so the count and check maps of a position mirror
// those of the position seen from the other side.
TEST(AttackMapPasses, CountAndCheckMapsMirrorBetweenTheSides) {
    const Position cases[] = {
        test::opening_position(),
        test::board_from_text(R"(
            20  .  . . . .  .  . -20
            30 70  . . 10 . -10 . -30
            .  .  40 . . -61 . . -40
            50  .  11 . . . -10 . -50
            80  .  . 31 . . -80 . .
            50  .  . . . -21 . . -50
            40  .  10 . . . . 71 -40
            30 60  10 . . . -41 -70 -30
            20 61  10 -11 -60 . -10 . -20
        )"),
    };
    for (const Position& original : cases) {
        Position a = original;
        Position b = mirrored(original);
        Engine ea(a), eb(b);
        kiki_keisan(ea);
        kiki_keisan(eb);
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                EXPECT_EQ(ea.maps.KIKI_UE[x][y], eb.maps.KIKI_SITA[x][10 - y]) << sq(x, y);
                EXPECT_EQ(ea.maps.KIKI_SITA[x][y], eb.maps.KIKI_UE[x][10 - y]) << sq(x, y);
                EXPECT_EQ(ea.maps.OUTE_UE[x][y], eb.maps.OUTE_SITA[x][10 - y]) << sq(x, y);
                EXPECT_EQ(ea.maps.OUTE_SITA[x][y], eb.maps.OUTE_UE[x][10 - y]) << sq(x, y);
            }
        }
    }
}

}  // namespace
}  // namespace zemtori
