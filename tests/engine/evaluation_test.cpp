// The candidate evaluation and its probes, on small positions worked out by
// hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "engine/engine.h"
#include "test_support.h"

namespace zemtori {
namespace {

using test::board_from_text;

// A position prepared as at the start of a computer turn; move() or drop()
// then puts one candidate on the board and rebuilds the maps.
struct Trial {
    Position pos;
    Engine e{pos};
    int captured = 0, placed = 0, fx = 0, fy = 0, tx = 0, ty = 0;

    explicit Trial(const std::string& before, int level = 3) : pos(board_from_text(before)) {
        e.COM_LEVEL = level;
        kiki_keisan(e);
        com_junbi(e);
    }
    Trial& move(int from_x, int from_y, int to_x, int to_y) {
        const int koma = pos.BAN[from_x][from_y];
        captured = pos.BAN[to_x][to_y];
        placed = koma;
        fx = from_x; fy = from_y; tx = to_x; ty = to_y;
        e.work.UGOKI_KOMA = koma;
        e.work.MOTO_KYORI = std::max(std::abs(from_x - pos.OU_SITA_X), std::abs(from_y - pos.OU_SITA_Y));
        pos.BAN[from_x][from_y] = 0;
        pos.BAN[to_x][to_y] = koma;
        kiki_keisan(e);
        return *this;
    }
    Trial& drop(int slot, int code, int to_x, int to_y) {
        captured = 0; placed = code;
        fx = UE_TE_X; fy = slot; tx = to_x; ty = to_y;
        e.work.UGOKI_KOMA = code;
        pos.BAN[to_x][to_y] = code;
        kiki_keisan(e);
        return *this;
    }
    double score() { return te_hyoka(e, captured, placed, fx, fy, tx, ty); }
};

std::string with(std::string text, const char* mark, const char* code) {
    text.replace(text.find(mark), 2, code);
    return text;
}

TEST(Probes, EscapeSquaresOfTheLowerKing) {
    // K on (5,5): (4,4) holds a lower piece, (6,5) an upper pawn which also
    // reaches (6,6): 8 - 3 = 5.  K in the corner (9,9): 3.
    Position p = board_from_text(R"(
        80 .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  . -10 .  .  .  .  .
        .  .  .  . -80 .  .  .  .
        .  .  .  . 10  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
    )");
    Engine e(p);
    kiki_keisan(e);
    EXPECT_EQ(nigeba_kazu(e), 5);
    p.BAN[5][5] = 0;
    p.BAN[9][9] = -80;
    kiki_keisan(e);
    EXPECT_EQ(nigeba_kazu(e), 3);
}

TEST(Probes, SafeMovesCountSquaresTheOtherSideDoesNotReach) {
    // Upper rook on (5,5): 15 legal squares, (5,7) is attacked by the lower
    // pawn on (5,8), which itself stands undefended: 14.  The pawn's only
    // move, to (5,7), is reached by the rook: 0.
    Position p = board_from_text(R"(
        80 .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  . 70  .  . -10 .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
    )");
    Engine e(p);
    kiki_keisan(e);
    EXPECT_EQ(anzen_idou_kazu(e, 5, 5, 70), 14);
    EXPECT_EQ(anzen_idou_kazu(e, 5, 8, -10), 0);
}

TEST(Probes, PinsOnEitherKing) {
    // The upper rook on (5,1) pins the lower gold on (5,5) to the king on
    // (5,9); the gold on (3,3) is free; the king itself is not marked while
    // the gold stands between.  The lower rook on (9,7) pins the upper
    // silver on (9,3) to the upper king on (9,1).
    const std::string board = R"(
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  . -50 .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        70 .  .  . -50 .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        80 . 40  .  .  . RR  .  .
    )";
    Trial pinned(with(board, "RR", "-70"));
    EXPECT_EQ(pinned.e.work.KUGI_SITA[5][5], 1);
    EXPECT_EQ(pinned.e.work.KUGI_SITA[3][3], 0);
    EXPECT_EQ(pinned.e.work.KUGI_SITA[5][9], 0);
    EXPECT_EQ(pinned.e.work.KUGI_UE_ARI, 1);

    Trial free_silver(with(board, "RR", "."));
    EXPECT_EQ(free_silver.e.work.KUGI_UE_ARI, 0);
    EXPECT_EQ(free_silver.e.work.KUGI_SITA[5][5], 1);

    // A king already in check: lifting any lower piece, the king included,
    // leaves the rook reaching the king's square.
    Trial check(R"(
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  . -50 .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        70 .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        80 .  .  .  .  .  .  .  .
    )");
    EXPECT_EQ(check.e.work.KUGI_SITA[3][3], 1);
    EXPECT_EQ(check.e.work.KUGI_SITA[5][9], 1);
    EXPECT_EQ(check.e.work.KUGI_SITA[5][1], 0);
}

// Upper king on (9,1), an upper pawn on (7,2) reaching (7,3), a lower pawn
// on (4,6).  Along the king's diagonal: (8,2) is reached by the king, (7,3)
// by the pawn, (4,6) is occupied and blocks (3,7) and beyond.  Only (6,4)
// and (5,5) are bishop-drop squares.
const char* kBishopDrop = R"(
    .  .  .  . -80 .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  . BB  .  .  .  .  .  .
    .  .  .  .  . -10 .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    . 10  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
   80  .  .  .  .  .  .  .  .
)";

TEST(Probes, BishopDropSquaresAgainstTheUpperKing) {
    Trial t(with(kBishopDrop, "BB", "."));
    int marked = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) marked += t.e.work.KAKU_UCHI_SITA[x][y];
    EXPECT_EQ(marked, 2);
    EXPECT_EQ(t.e.work.KAKU_UCHI_SITA[6][4], 1);
    EXPECT_EQ(t.e.work.KAKU_UCHI_SITA[5][5], 1);
}

TEST(Probes, BishopForkNeedsALowerBishopThatReachesTheDropSquare) {
    // A piece on (6,6) stands next to the drop square (5,5).  A lower bishop
    // on (3,3) reaches (5,5): the fork costs the placed code.
    Trial fork(with(kBishopDrop, "BB", "-60"));
    EXPECT_EQ(kaku_ryouto(fork.e, 6, 6, 40), 40);
    // From (1,1) no drop square is reached.
    EXPECT_EQ(kaku_ryouto(fork.e, 1, 1, 40), 0);
    // A lower promoted bishop does as well; without one there is no fork.
    Trial horse(with(kBishopDrop, "BB", "-61"));
    EXPECT_EQ(kaku_ryouto(horse.e, 6, 6, 50), 50);
    Trial none(with(kBishopDrop, "BB", "-50"));
    EXPECT_EQ(kaku_ryouto(none.e, 6, 6, 50), 0);
}

// Gold moved (5,4) -> (5,5).  It now reaches the lower knight on (4,6) and
// the lower lance on (6,6), both undefended.  Worked out square by square:
//   (6,3), (6,2), (6,1): empty, reached by the lance only, y <= 3:
//     -0.1 each and the file probe finds the lance behind: -10 each = -30.3
//   empty squares with y <= 3 that we do not reach: 27 minus the king on
//     (9,1) and the three it reaches = 23 -> -2.3
//   threats of the gold: knight and lance, +0.1 each; a fork: + min(30, 20)
//   total -30.3 - 2.3 + 0.2 + 20 = -12.4
TEST(BoardSafety, HandWorkedTotalWithFork) {
    Trial t(R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  . -30 .  .  .
        .  .  . 50  .  .  .  .  .
        .  .  .  .  . -20 .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
       80  .  .  .  .  .  .  .  .
    )");
    t.move(5, 4, 5, 5);
    EXPECT_NEAR(ban_anzen_hyoka(t.e, 50, 5, 5), -12.4, 1e-9);
}

// Our king on the edge column (9,1) with the square in front of it, (9,2),
// reached by the lower gold on (9,3) as often as we defend it (once, by the
// king): -50 for the attacked square and -250 because we do not outnumber.
// The rest, square by square:
//   (8,3): empty, reached by the gold only, y <= 3, no slider behind: -0.1
//   empty squares with y <= 3 that we do not reach: 27 minus the king, the
//     gold and the three squares the king reaches = 22 -> -2.2
//   no upper piece is attacked, the gold is no threat of a king on (9,1).
//   total -300 - 0.1 - 2.2 = -302.3
//
// An upper gold on (8,1) defends (9,2) a second time: only the -50 stays.  It
// also reaches (7,1) and (7,2), so 20 empty squares with y <= 3 are left
// unreached: -50 - 0.1 - 2.0 = -52.1.
TEST(BoardSafety, KingOnTheEdgeColumnWithTheSquareInFrontAttacked) {
    const std::string board = R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        GG .  .  .  .  .  .  .  .
       80  .  -50 .  .  .  .  .  .
    )";
    Trial held(with(board, "GG", " ."));
    EXPECT_NEAR(ban_anzen_hyoka(held.e, OU, 9, 1), -302.3, 1e-9) << "not outnumbered";

    Trial defended(with(board, "GG", "50"));
    EXPECT_NEAR(ban_anzen_hyoka(defended.e, OU, 9, 1), -52.1, 1e-9) << "outnumbered";
}

TEST(MoveScore, KingCaptureComesBeforeTheOwnKingsSafety) {
    // The lower rook on (9,9) attacks the upper king on (9,1).
    const std::string board = R"(
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  . 70  .  . XX  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        80 .  .  .  .  .  .  . -70
    )";
    Trial king(with(board, "XX", "-80"));
    EXPECT_EQ(king.move(5, 5, 5, 8).score(), 9999);
    // Taking a gold instead leaves the king attacked.
    Trial gold(with(board, "XX", "-50"));
    gold.pos.BAN[1][9] = -80;
    EXPECT_EQ(gold.move(5, 5, 5, 8).score(), -9998);
}

TEST(MoveScore, MateIsWorth9998ExceptWithAPawn) {
    // Pawn (9,7) -> (9,8) checks the king in the corner; the gold on (8,7)
    // guards (9,8) and (8,8), the lower pawn on (8,9) blocks the last square.
    Trial t(R"(
        80 .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  . 50  . -10
        .  .  .  .  .  . 10  . -80
    )");
    t.move(9, 7, 9, 8);
    EXPECT_EQ(t.score(), -9998);
    // The same square promoted mates as well, and that counts.
    t.pos.BAN[9][8] = 11;
    t.placed = 11;
    kiki_keisan(t.e);
    EXPECT_EQ(t.score(), 9998);
}

TEST(MoveScore, StepTowardTheTopCostsFifty) {
    // Mirror-symmetric about x = 5: the two sideways steps of the gold differ
    // by the -50 of the step toward x = 1 only.
    const std::string board = R"(
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        80 .  .  . 50  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
    )";
    const double up = Trial(board).move(5, 5, 4, 5).score();
    const double down = Trial(board).move(5, 5, 6, 5).score();
    EXPECT_NEAR(up - down, -50, 1e-9);
}

TEST(MoveScore, LevelsCutTheSequence) {
    // Lance (5,1) -> (5,3) without a capture; lance (5,1) x (5,6) taking an
    // undefended lower lance.
    const std::string board = R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
       20  .  .  .  . -20  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
       80  .  .  .  .  .  .  .  .
    )";
    double quiet[4], take[4];
    for (int level = 1; level <= 3; ++level) {
        quiet[level] = Trial(board, level).move(5, 1, 5, 3).score();
        take[level] = Trial(board, level).move(5, 1, 5, 6).score();
    }
    // Quiet move: levels 1 and 3 add the lance's -0.9, level 2 does not.
    EXPECT_DOUBLE_EQ(quiet[1], quiet[3]);
    EXPECT_NEAR(quiet[2] - quiet[3], 0.9, 1e-9);
    // Capture: level 1 gets no material; level 2 adds the 20 of the lance;
    // level 3 adds the lance-takes-lance term, +10.
    EXPECT_NEAR(take[2] - take[1], 20, 1e-9);
    EXPECT_NEAR(take[3] - take[2], 10, 1e-9);
}

TEST(MoveScore, TakingABigPieceWithASmallOneCountsAtEveryLevel) {
    // Gold (5,5) x (5,6): a rook rather than a silver is worth 70 more at
    // level 1 (the big-piece bonus) and 70 + 30 more at level 3.
    const std::string board = R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  . 50 XX  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
       80  .  .  .  .  .  .  .  .
    )";
    for (int level : {1, 3}) {
        const double rook = Trial(with(board, "XX", "-70"), level).move(5, 5, 5, 6).score();
        const double silver = Trial(with(board, "XX", "-40"), level).move(5, 5, 5, 6).score();
        EXPECT_NEAR(rook - silver, level == 1 ? 70 : 100, 1e-9) << level;
    }
}

// The lower silver on (5,6) is pinned to its king on (5,9) by the upper rook
// on (5,1) and defended by the lower gold on (4,7).  A gold dropped on (4,5)
// is attacked by that silver only and could take it: +40.  Lifting the pin
// also frees the silver as an attacker in the board safety: the gold (50)
// exposed to a silver (40) loses 10 more.
TEST(MoveScore, PinnedAttackerCanBeTaken) {
    const char* board = R"(
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  . -50 .  .
        70 .  .  .  . -40 .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
       80  .  .  .  .  .  .  .  .
    )";
    Trial pinned(board);
    ASSERT_EQ(pinned.e.work.KUGI_SITA[5][6], 1);
    const double with_pin = pinned.drop(1, 50, 4, 5).score();
    Trial unpinned(board);
    unpinned.e.work.KUGI_SITA[5][6] = 0;
    const double without_pin = unpinned.drop(1, 50, 4, 5).score();
    EXPECT_NEAR(with_pin - without_pin, 40 + 10, 1e-9);
}

TEST(MoveScore, DropIntoAnAttackCostsTheExchangeOrThePieceAndFifty) {
    // A silver dropped from slot 1 on (5,5), attacked by the lower pawn on
    // (5,6).  Common to both: drop -5; approach dx 4 = dy 4 and MOTO_KYORI 0
    // add nothing; the pawn is undefended so no pin bonus; the silver term
    // adds nothing for a drop.  Guarded by an upper gold on (4,4): the
    // exchange of 40 for 10 costs 30.  Unguarded: 40 + 50.
    const std::string board = R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  . GG  .  .  .  .  .
        .  .  .  .  . -10  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
       80  .  .  .  .  .  .  .  .
    )";
    struct Case { const char* guard; double step; };
    for (const Case c : {Case{"50", -30}, Case{".", -90}}) {
        Trial t(with(board, "GG", c.guard));
        t.drop(1, 40, 5, 5);
        const double safety = ban_anzen_hyoka(t.e, 40, 5, 5);
        EXPECT_NEAR(t.score(), -5 + safety + c.step, 1e-9) << c.guard;
    }
}

}  // namespace
}  // namespace zemtori
