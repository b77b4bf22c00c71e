// Per-kind terms of the evaluation, each on a small position worked out by
// hand: the position before the move gives the snapshots, the move is then put
// on the board and the maps rebuilt, as the search does.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/engine.h"
#include "engine/terms.h"
#include "test_support.h"

namespace zemtori {
namespace {

using test::board_from_text;

struct Trial {
    Position pos;
    Engine e{pos};
    TermInput in;

    explicit Trial(const char* before) : pos(board_from_text(before)) {
        kiki_keisan(e);
        com_junbi(e);
    }
    Trial& move(int fx, int fy, int tx, int ty, int placed, int moving = 0) {
        in = {{fx, fy, tx, ty, placed}, pos.BAN[tx][ty]};
        e.work.UGOKI_KOMA = moving ? moving : placed;
        pos.BAN[fx][fy] = 0;
        pos.BAN[tx][ty] = placed;
        kiki_keisan(e);
        return *this;
    }
    Trial& drop(int slot, int code, int tx, int ty) {
        in = {{UE_TE_X, slot, tx, ty, code}, 0};
        e.work.UGOKI_KOMA = code;
        pos.BAN[tx][ty] = code;
        kiki_keisan(e);
        return *this;
    }
    double terms(double s = 0.0) { return koma_betsu_hyoka(e, in, s); }
};

TEST(Probes, KinbouOmomiCountsHeavyUpperNeighboursOnTheBoard) {
    Position p = board_from_text(R"(
        70 .  .  .  .  .  .  .  .
        61 .  .  .  .  .  .  .  .
        .  .  . 70 60  .  .  .  .
        .  .  . -70 . 50 .  .  .
        .  .  .  . 80  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  . 71
    )");
    Engine e(p);
    struct Case { int x, y, want; };
    for (const Case c : {Case{4, 5, -3},   // rook, bishop, king; not the gold or the lower rook
                         Case{1, 1, -1},   // off-board neighbours are skipped
                         Case{2, 2, -2},   // rook (1,1) and promoted bishop (2,1)
                         Case{9, 9, 0}}) {  // itself does not count
        EXPECT_EQ(kinbou_omomi(p, c.x, c.y), c.want) << c.x << "," << c.y;
    }
}

TEST(Probes, FileProbeFindsALowerSliderBehindTheSquare) {
    struct Case { const char* row; int y; int want; };
    // One file x = 5; the probed square is (5, y).
    const Case cases[] = {
        {"10 .  .  .  .  .  .  . -20", 1, 1},    // lance sees through the lifted pawn
        {"10 .  .  . 40  .  .  . -20", 1, 0},    // an upper piece shields it
        {"10 .  . -50 .  .  .  . -70", 1, 0},    // walk passes the gold, the rook is blocked
        {" . .  .  .  .  . -71 .  .",  3, 1},    // promoted rook, empty square probed
        {" . .  . -30 .  .  .  .  .",  1, 0},    // no slider at all
        {" . .  .  .  .  .  . -20 .",  9, 0},    // nothing behind the last column
        {"-10 . .  .  .  .  .  . -20", 1, 1},    // the probed square's own lower piece is lifted
        {" . -70 . .  .  .  .  .  .",  1, 1},    // rook right behind: nothing in between
        {" . . 40 -70 . .  .  .  .",   1, 0},    // the walk ends at the upper piece
    };
    for (const Case& c : cases) {
        std::string text;
        for (int x = 1; x <= 9; ++x) text += x == 5 ? std::string(c.row) + "\n" : ". . . . . . . . .\n";
        Position p = board_from_text(text);
        EXPECT_EQ(file_probe(p, 5, c.y), c.want) << c.row;
    }
}

// Upper pawn pushed (5,4) -> (5,5) in front of a lower pawn on (5,6) that a
// lower gold on (5,7) defends; the lower pawn attacks (5,5).
//   no defender: -0.1, then ty < 7: front pawn defended -5, then front is a
//     lower pawn and KIKI_UE 0 is not > KIKI_SITA 1: return -5   -> -10.1
//   gold on (4,4) defends: HIMO_UE 50 +0.6; 1 is not > 1: -5      -> -9.5
//   golds on (4,4) and (6,4): 2 > 1: return +1                   -> -3.5
TEST(PawnTerms, PushInFrontOfADefendedPawn) {
    const char* base = R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  . G1  .  .  .  .  .
        .  .  . 10  . -10 -50 .  .
        .  .  . G2  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        80 .  .  .  .  .  .  .  .
    )";
    struct Row { const char* g1; const char* g2; double want; };
    for (const Row r : {Row{".", ".", -10.1}, Row{"50", ".", -9.5}, Row{"50", "50", -3.5}}) {
        std::string text = base;
        text.replace(text.find("G1"), 2, r.g1);
        text.replace(text.find("G2"), 2, r.g2);
        Trial t(text.c_str());
        t.move(5, 4, 5, 5, 10);
        EXPECT_NEAR(t.terms(), r.want, 1e-9) << r.g1 << " " << r.g2;
    }
}

// A pawn dropped on (5,5), defended by a gold on (4,4), stops a lower lance
// on (5,8) that attacks it along the file: +120, unless the lance stands
// undefended on a square we already reached before the drop.
TEST(PawnTerms, DropThatBlocksALanceOnItsFile) {
    const char* before = R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  . 50  .  .  .  .  .
        .  .  .  .  .  .  . -20 .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        80 .  .  .  .  .  .  .  .
    )";
    Trial t(before);
    t.drop(1, 10, 5, 5);
    EXPECT_NEAR(t.terms(), 120, 1e-9);

    Trial reached(before);
    reached.e.work.KIKI_UE_MAE[5][8] = 1;
    reached.drop(1, 10, 5, 5);
    EXPECT_NEAR(reached.terms(), 0, 1e-9);
}

TEST(LanceTerms, BoardMovesAndCaptures) {
    const char* before = R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
       20  .  .  .  . -20 -50 .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        80 .  .  .  .  .  .  .  .
    )";
    // A non-capture always ends with -0.9.
    EXPECT_NEAR(Trial(before).move(5, 1, 5, 3, 20).terms(3.0), 2.1, 1e-9);
    // Taking the lower lance on (5,6), defended by the gold on (5,7): +10 +10.
    EXPECT_NEAR(Trial(before).move(5, 1, 5, 6, 20).terms(), 20, 1e-9);
    // Without the gold the lance is undefended: only +10.
    std::string open = before;
    open.replace(open.find("-50"), 3, "  .");
    EXPECT_NEAR(Trial(open.c_str()).move(5, 1, 5, 6, 20).terms(), 10, 1e-9);
}

// A lance dropped on (5,3) in front of an undefended lower rook on (5,4):
// the first piece behind, on (5,r), is worth its value when it is a lower
// piece stronger than a lance.
TEST(LanceTerms, DropSkewersThePieceBehind) {
    struct Case { const char* behind; double want; };
    for (const Case c : {Case{"-50", 50}, Case{"-10", 0}, Case{"-20", 0}, Case{"40", 0}}) {
        std::string text = R"(
            .  .  .  .  .  .  .  . -80
            .  .  .  .  .  .  .  .  .
            .  .  .  .  .  .  .  .  .
            .  .  .  .  .  .  .  .  .
            .  .  . -70 .  . BB  .  .
            .  .  .  .  .  .  .  .  .
            .  .  .  .  .  .  .  .  .
            .  .  .  .  .  .  .  .  .
            80 .  .  .  .  .  .  .  .
        )";
        text.replace(text.find("BB"), 2, c.behind);
        Trial t(text.c_str());
        t.drop(1, 20, 5, 3);
        EXPECT_NEAR(t.terms(), c.want, 1e-9) << c.behind;
    }
}

// Knight moved (5,3) -> (4,5): -0.1; (4,6) attacked by the lower pawn on
// (4,7): -1; (3,7) and (5,7) both attacked (pawns on (3,8), (5,8)): -1.
TEST(KnightTerms, SquaresAheadUnderAttack) {
    Trial t(R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  . -10 .
        .  .  .  .  .  . -10 . .
        .  . 30  .  .  .  . -10 .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        80 .  .  .  .  .  .  .  .
    )");
    t.move(5, 3, 4, 5, 30);
    EXPECT_NEAR(t.terms(), -2.1, 1e-9);
}

TEST(SilverAndGoldTerms, AdvancesAndDrops) {
    const char* board = R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  . 40  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  SS .  .  .  .
        80 .  .  .  .  .  .  .  .
    )";
    std::string plain = board, faced = board;
    plain.replace(plain.find("SS"), 2, ".");
    faced.replace(faced.find("SS"), 2, "-40");  // lower silver on (8,5)
    EXPECT_NEAR(Trial(plain.c_str()).move(5, 4, 5, 5, 40).terms(), -0.1, 1e-9);
    EXPECT_NEAR(Trial(faced.c_str()).move(5, 4, 5, 5, 40).terms(), 5, 1e-9);
    EXPECT_NEAR(Trial(plain.c_str()).move(5, 4, 4, 5, 40).terms(), 0, 1e-9);

    // A drop compares the column with the slot number: slot 2 < column 5.
    EXPECT_NEAR(Trial(plain.c_str()).drop(2, 50, 6, 5).terms(), -0.5, 1e-9);
    EXPECT_NEAR(Trial(plain.c_str()).drop(7, 50, 6, 5).terms(), 0, 1e-9);
    // Gold: a diagonal advance costs 0.5, a straight one nothing.
    EXPECT_NEAR(Trial(plain.c_str()).drop(7, 50, 6, 5).move(6, 5, 7, 6, 50).terms(), -0.5, 1e-9);
    EXPECT_NEAR(Trial(plain.c_str()).drop(7, 50, 6, 5).move(6, 5, 6, 6, 50).terms(), 0, 1e-9);
}

// Bishop dropped on (9,4) from slot 1, a lower pawn on (9,6) attacking the
// square in front of it.  With upper pawns on (8,3) and (8,5) it has no move
// at all: -100, and the pawn two squares ahead costs 1 more.  Without the pawn
// on (8,5) the long diagonal is open and safe: only the -1.
TEST(BishopTerms, TrappedInFrontOfAnAttackedSquare) {
    struct Case { const char* wall; double want; };
    for (const Case c : {Case{"10", -101}, Case{".", -1}}) {
        std::string text = R"(
            80 .  .  .  .  .  .  . -80
            .  .  .  .  .  .  .  .  .
            .  .  .  .  .  .  .  .  .
            .  .  .  .  .  .  .  .  .
            .  .  .  .  .  .  .  .  .
            .  .  .  .  .  .  .  .  .
            .  .  .  .  .  .  .  .  .
            .  . 10  . WW  .  .  .  .
            .  .  .  .  . -10 .  .  .
        )";
        text.replace(text.find("WW"), 2, c.wall);
        Trial t(text.c_str());
        t.drop(1, 60, 9, 4);
        EXPECT_NEAR(t.terms(), c.want, 1e-9) << c.wall;
    }
}

// Bishop dropped deep on (5,8).  Own pawns on (4,7) and (6,7) leave it only
// (4,9) and (6,9): at most three safe squares -> -20.  Without them it has
// ten safe squares and gets nothing.
TEST(BishopTerms, DeepDropWithFewSafeSquares) {
    struct Case { const char* a; const char* b; int safe; double want; };
    for (const Case c : {Case{"10", "10", 2, -20}, Case{".", ".", 10, 0}}) {
        std::string text = R"(
            80 .  .  .  .  .  .  . -80
            .  .  .  .  .  .  .  .  .
            .  .  .  .  .  .  .  .  .
            .  .  .  .  .  . AA  .  .
            .  .  .  .  .  .  .  .  .
            .  .  .  .  .  . BB  .  .
            .  .  .  .  .  .  .  .  .
            .  .  .  .  .  .  .  .  .
            .  .  .  .  .  .  .  .  .
        )";
        text.replace(text.find("AA"), 2, c.a);
        text.replace(text.find("BB"), 2, c.b);
        Trial t(text.c_str());
        t.drop(1, 60, 5, 8);
        EXPECT_EQ(anzen_idou_kazu(t.e, 5, 8, 60), c.safe);
        EXPECT_NEAR(t.terms(), c.want, 1e-9);
    }
}

// Rook moved (1,5) -> (3,5) on the file of the lower king on (3,7): the
// destination is not attacked and the rook keeps many safe squares: +100.
// Boxed in on (9,9) by own pieces it has at most one safe square: -35.
TEST(RookTerms, NearTheKingOrBoxedIn) {
    Trial near(R"(
        .  .  .  . 70  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  . -80 .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        80 .  .  .  .  .  .  .  .
    )");
    near.move(1, 5, 3, 5, 70);
    // KIKI_SITA at (3,6) > 0 (the king): -1; then +100.
    EXPECT_NEAR(near.terms(), 99, 1e-9);

    Trial boxed(R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  . 10
        .  .  .  .  .  .  .  . 70
        80 .  .  .  .  .  . 50  .
    )");
    boxed.move(8, 9, 9, 9, 70);
    // Neighbours: gold (9,8) counts nothing (code 50); safe moves: (8,9)
    // only, since (9,8) and (7,9) hold own pieces: -35.
    EXPECT_EQ(anzen_idou_kazu(boxed.e, 9, 9, 70), 1);
    EXPECT_NEAR(boxed.terms(), -35, 1e-9);
}

TEST(KingTerms, LeavingHomeCosts) {
    const char* home = R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  . 80  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
    )";
    // (5,3) -> (5,4): -15 - 4; x is 5; the new square was reached before.
    EXPECT_NEAR(Trial(home).move(5, 3, 5, 4, 80).terms(), -19, 1e-9);
    // (5,3) -> (4,4): -15 - 4 + 1 (x not 5).
    EXPECT_NEAR(Trial(home).move(5, 3, 4, 4, 80).terms(), -18, 1e-9);
    // (5,3) -> (4,3): +1 only.
    EXPECT_NEAR(Trial(home).move(5, 3, 4, 3, 80).terms(), 1, 1e-9);
    // An upper piece pinned to the king: +10.
    Trial pinned(home);
    pinned.e.work.KUGI_UE_ARI = 1;
    EXPECT_NEAR(pinned.move(5, 3, 4, 3, 80).terms(), 11, 1e-9);
}

TEST(KingTerms, CorneredKingEndsWithMinus20) {
    // King steps (9,2) -> (9,1); own pieces on (8,1), (8,2) leave only (9,2),
    // so fewer than two safe squares.
    Trial t(R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
       40 10  .  .  .  .  .  .  .
        . 80  .  .  .  .  .  .  .
    )");
    t.move(9, 2, 9, 1, 80);
    // x 9 is not 5: +1; KIKI_UE on (9,1) is now 0 (the silver does not reach
    // it), before 1: no bonus; one safe square: -20.
    EXPECT_NEAR(t.terms(), -19, 1e-9);
}

}  // namespace
}  // namespace zemtori
