// The computer's one-ply search: scan order, promotion choice, early stops,
// tie-break, clock ticks, and whole candidate lists worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/engine.h"
#include "test_support.h"

namespace zemtori {
namespace {

using test::board_from_text;

struct Recorder : CandidateSink {
    std::vector<Candidate> list;
    void scored(const Candidate& c) override { list.push_back(c); }
};

struct TickCounter : ClockTick {
    int n = 0;
    void tick() override { ++n; }
};

// Runs a whole computer turn's thinking on `pos`: the maps as the hand-over
// leaves them, then the preparation and the search.
struct Search {
    Position pos;
    Engine e{pos};
    Recorder rec;
    TickCounter ticks;
    bool found = false;

    explicit Search(const Position& p, int level = 3) : pos(p) {
        e.COM_LEVEL = level;
        e.sink = &rec;
        e.clock_tick = &ticks;
    }
    Search& run() {
        kiki_keisan(e);
        com_junbi(e);
        found = com_search(e);
        return *this;
    }
    const Candidate* find(int fx, int fy, int tx, int ty) const {
        for (const auto& c : rec.list)
            if (c.from_x == fx && c.from_y == fy && c.to_x == tx && c.to_y == ty) return &c;
        return nullptr;
    }
};

void give_ue(Position& p, int slot, int code, int count) {
    p.MOCHI_UE_KOMA[slot] = code;
    p.MOCHI_UE_KAZU[slot] = count;
    p.MOCHI_UE_GOKEI += count;
}

struct Expected {
    int fx, fy, tx, ty, koma, moto;
    double score;
};

void expect_list(const std::vector<Candidate>& got, const std::vector<Expected>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].from_x, want[i].fx);
        EXPECT_EQ(got[i].from_y, want[i].fy);
        EXPECT_EQ(got[i].to_x, want[i].tx);
        EXPECT_EQ(got[i].to_y, want[i].ty);
        EXPECT_EQ(got[i].koma, want[i].koma);
        EXPECT_EQ(got[i].moto_koma, want[i].moto);
        EXPECT_NEAR(got[i].score, want[i].score, 1e-9);
    }
}

// ---------------------------------------------------------------------------
// Whole candidate lists computed by hand.

// The upper king alone in the bottom-left corner, the lower king in the
// top-right one.  Before the move the king on (9,1) reaches (8,1), (8,2),
// (9,2); the lower king reaches (1,8), (2,8), (2,9); nobody is pinned.
// MOTO_KYORI = max(|9-1|, |1-9|) = 8 for every king move.
//
// (9,1)->(8,1): one step toward x = 1: -50.  Approach: dx 7, dy 8, dx <= dy,
//   8 > 8 fails.  Safety: 27 squares with y <= 3, minus the king, minus the
//   five it now reaches ((7,1),(7,2),(8,2),(9,1),(9,2)) = 21 empty unreached
//   squares at -0.1 = -2.1.  King term: tx != 5 +1; KIKI_UE on (8,1) is now 0,
//   before 1: no bonus; five safe steps.  -50 - 2.1 + 1 = -51.1
// (9,1)->(8,2): approach dx 7, dy 7, 8 > 7: +0.1.  The king reaches all eight
//   neighbours, all with y <= 3: 27 - 1 - 8 = 18 -> -1.8.  King +1.  -0.7
// (9,1)->(9,2): dx 8 > dy 7, 8 > 8 fails.  Reaches five squares: 21 -> -2.1.
//   King +1.  -1.1
TEST(SearchByHand, LoneKingsCandidateList) {
    Search s(board_from_text(R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        80 .  .  .  .  .  .  .  .
    )"));
    s.run();
    expect_list(s.rec.list, {
        {9, 1, 8, 1, 80, 80, -51.1},
        {9, 1, 8, 2, 80, 80, -0.7},
        {9, 1, 9, 2, 80, 80, -1.1},
    });
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.e.work.best.to_x, 8);
    EXPECT_EQ(s.e.work.best.to_y, 2);
    EXPECT_NEAR(s.e.work.SAIZEN_TEN, -0.7, 1e-9);
    EXPECT_EQ(s.e.work.NIGEBA_KIJUN, 3);
}

// The lone kings again with a gold in hand (slot 7).  The drops are scored
// with MOTO_KYORI 8, left by the last king move.
//   (5,5): drop -5; dx 4 = dy 4 and 8 > 4: +0.1; safety: the gold reaches no
//     square with y <= 3: 23 -> -2.3; safe destination: kaku_ryouto finds
//     the fork square (2,8) but no lower bishop: 0; gold term: 5 > 7 fails.
//     = -7.2
//   (2,8): gives check but the king takes the gold (not mate); diagonally
//     next to K, but no promoted rook behind it; the attacked, undefended
//     gold: -50 in the safety (total -52.3), and -50 - 50 for dropping into
//     an attack; gold term: column 8 > slot 7 and x differs: -0.5.
//     = -5 + 0.1 - 52.3 - 100 - 0.5 = -157.7
TEST(SearchByHand, GoldDropsAfterTheKingMoves) {
    Position p = board_from_text(R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        80 .  .  .  .  .  .  .  .
    )");
    give_ue(p, 7, 50, 1);
    Search s(p);
    s.run();
    ASSERT_EQ(s.rec.list.size(), 3u + 79u);
    const Candidate* centre = s.find(-1, 7, 5, 5);
    const Candidate* beside = s.find(-1, 7, 2, 8);
    ASSERT_NE(centre, nullptr);
    ASSERT_NE(beside, nullptr);
    EXPECT_NEAR(centre->score, -7.2, 1e-9);
    EXPECT_NEAR(beside->score, -157.7, 1e-9);
    EXPECT_EQ(centre->koma, 50);
    EXPECT_EQ(centre->moto_koma, 50);
}

// As above plus an upper pawn on (5,6) facing a lower pawn on (5,7).
// Before the move: the upper pawn reaches (5,7); the lower pawn attacks (5,6)
// (ATARI_SITA -10 from (5,7)).  KAKU_UCHI_SITA marks the empty diagonal
// (7,3) .. (2,8) toward the upper king ((8,2) is reached by the king).
//
// (5,6)x(5,7), MOTO_KYORI max(4, 3) = 4, optional promotion:
//   unpromoted 10: no check; approach dx 4 > dy 2, 4 > 4 fails; safety: 23
//     empty unreached squares with y <= 3 -> -2.3; destination safe, no
//     kaku_ryouto for a pawn; capture of an unattacked-after piece +10; pawn
//     term -0.1 (origin (5,6) is no longer reached, no front piece).
//     = -2.3 + 10 - 0.1 = 7.6
//   promoted 11: +10 for promoting; safety -2.3; kaku_ryouto: the first fork
//     square a bishop on (5,7) reaches is (4,6), but no lower bishop exists:
//     0; capture +10; promoted pawn: KIKI_UE 0 >= KIKI_SITA 0: +1.
//     = 10 - 2.3 + 10 + 1 = 18.7
//   The candidate is 18.7, placed 11.
// King moves (MOTO_KYORI 8), each also with the upper pawn on (5,6) attacked
// by the lower pawn and undefended: -10.
//   (8,1): -50 - 2.1 - 10 + 1 = -61.1
//   (8,2): 0.1 - 1.8 - 10 + 1 = -10.7
//   (9,2): -2.1 - 10 + 1 = -11.1
TEST(SearchByHand, PawnCaptureAndKingMovesCandidateList) {
    Search s(board_from_text(R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  . 10 -10  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        80 .  .  .  .  .  .  .  .
    )"));
    s.run();
    expect_list(s.rec.list, {
        {5, 6, 5, 7, 11, 10, 18.7},
        {9, 1, 8, 1, 80, 80, -61.1},
        {9, 1, 8, 2, 80, 80, -10.7},
        {9, 1, 9, 2, 80, 80, -11.1},
    });
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.e.work.best.koma, 11);
    EXPECT_EQ(s.e.work.best.moto_koma, 10);
}

// ---------------------------------------------------------------------------
// Early stops.

TEST(SearchStops, KingCaptureIsChosenAndNoDropIsTried) {
    // The upper rook on (3,5) sees the lower king on (3,9) along y.
    Position p = board_from_text(R"(
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  . 70  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        80 .  .  .  .  .  .  .  .
    )");
    give_ue(p, 1, 50, 1);
    give_ue(p, 2, 40, 1);
    Search s(p);
    s.run();
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.e.work.best.to_x, 3);
    EXPECT_EQ(s.e.work.best.to_y, 9);
    EXPECT_EQ(s.e.work.SAIZEN_TEN, 9999);
    // The capture is the last candidate scored; the king on x = 9 and the
    // hand were never looked at (3 ticks: origins x = 1, 2, 3).
    EXPECT_EQ(s.rec.list.back().to_y, 9);
    EXPECT_EQ(s.rec.list.back().score, 9999);
    for (const auto& c : s.rec.list) EXPECT_NE(c.from_x, -1);
    EXPECT_EQ(s.ticks.n, 3);
}

// Lower king in the corner (9,9) with a lower pawn above it on (8,9); the
// upper gold on (9,7) covers (9,8) and (8,8).
const char* kCornerMate = R"(
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  .  .
    .  .  .  .  .  .  .  . -10
   80  .  .  .  .  . 50  . -80
)";

TEST(SearchStops, MatingDropEndsTheScanButAPawnDropMateScoresMinus9998) {
    Position p = board_from_text(kCornerMate);
    give_ue(p, 1, 10, 1);  // the pawn is tried first
    give_ue(p, 2, 50, 1);
    Search s(p);
    s.run();
    const Candidate* pawn = s.find(-1, 1, 9, 8);
    ASSERT_NE(pawn, nullptr);
    EXPECT_EQ(pawn->score, -9998);
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.e.work.best.from_x, -1);
    EXPECT_EQ(s.e.work.best.from_y, 2);
    EXPECT_EQ(s.e.work.best.to_x, 9);
    EXPECT_EQ(s.e.work.best.to_y, 8);
    EXPECT_EQ(s.e.work.best.koma, 50);
    EXPECT_EQ(s.e.work.SAIZEN_TEN, 9998);
    // The gold drop on (9,8) is the last candidate: the scan stopped there.
    const Candidate& last = s.rec.list.back();
    EXPECT_EQ(last.from_y, 2);
    EXPECT_EQ(last.to_x, 9);
    EXPECT_EQ(last.to_y, 8);
}

TEST(SearchStops, MatingBoardMoveDoesNotSkipTheDrops) {
    // The gold on (8,7) steps to (9,8), defended by the silver on (9,7).
    Position p = board_from_text(R"(
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  . 50  . -10
       80  .  .  .  .  . 40  . -80
    )");
    give_ue(p, 1, 20, 1);
    Search s(p);
    s.run();
    const Candidate* mate = s.find(8, 7, 9, 8);
    ASSERT_NE(mate, nullptr);
    EXPECT_EQ(mate->score, 9998);
    EXPECT_EQ(s.e.work.best.from_x, 8);
    EXPECT_EQ(s.e.work.best.from_y, 7);
    EXPECT_EQ(s.e.work.SAIZEN_TEN, 9998);
    const bool drops_tried = std::any_of(s.rec.list.begin(), s.rec.list.end(),
                                         [](const Candidate& c) { return c.from_x == -1; });
    EXPECT_TRUE(drops_tried);
    EXPECT_EQ(s.ticks.n, 9 + 7);
}

TEST(SearchStops, MovesThatLeaveTheKingAttackedScoreMinus9998) {
    // The lower rook on (1,9) attacks the upper king on (1,1) along x = 1.
    Search s(board_from_text(R"(
        80 .  .  .  .  .  .  . -70
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  . 10  .  . -10 .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  . -80
    )"));
    s.run();
    const Candidate* push = s.find(5, 4, 5, 5);
    ASSERT_NE(push, nullptr);
    EXPECT_EQ(push->score, -9998);
    // Stepping off the file escapes; staying on it does not.
    const Candidate* along = s.find(1, 1, 1, 2);
    ASSERT_NE(along, nullptr);
    EXPECT_EQ(along->score, -9998);
    const Candidate* off = s.find(1, 1, 2, 1);
    ASSERT_NE(off, nullptr);
    EXPECT_GT(off->score, -9998);
    EXPECT_GT(s.e.work.SAIZEN_TEN, -9998);
}

// ---------------------------------------------------------------------------
// Promotion.

TEST(SearchPromotion, ForcedSquaresAreTriedOnlyPromoted) {
    // Upper pawn to (2,9), lance to (4,9), knight to (6,8) must promote.
    Search s(board_from_text(R"(
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  . 10  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  . 20  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  . 30  .  .  .
        .  .  .  .  .  .  .  .  .
       80  .  .  .  .  .  .  . -80
    )"));
    s.run();
    struct Case { int fx, fy, tx, ty, koma; };
    for (const Case c : {Case{2, 8, 2, 9, 11}, Case{4, 8, 4, 9, 21}, Case{7, 6, 6, 8, 31},
                         Case{7, 6, 8, 8, 31}}) {
        SCOPED_TRACE(testing::Message() << c.fx << c.fy << c.tx << c.ty);
        const Candidate* got = s.find(c.fx, c.fy, c.tx, c.ty);
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(got->koma, c.koma);
        EXPECT_EQ(got->moto_koma, c.koma - 1);
    }
    // Each origin-destination pair is scored once.
    for (size_t i = 0; i < s.rec.list.size(); ++i)
        for (size_t j = i + 1; j < s.rec.list.size(); ++j) {
            const Candidate &a = s.rec.list[i], &b = s.rec.list[j];
            EXPECT_FALSE(a.from_x == b.from_x && a.from_y == b.from_y && a.to_x == b.to_x &&
                         a.to_y == b.to_y);
        }
}

// The silver (or pawn) on (5,6) steps to (5,7).  Lower golds on (4,6) and
// (6,6) are undefended and not reached by the gold-like promoted forms: only
// the plain silver forks them, which is worth more than promoting.  For the
// pawn the lower knight on (5,8), which has nowhere to go, is worth its
// value only to the unpromoted pawn.
TEST(SearchPromotion, PawnIsPlacedPromotedEvenWhenPlainScoresBetterSilverIsNot) {
    const char* silver_board = R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  . -50 .  .  .
        .  .  .  .  . 40  .  .  .
        .  .  .  .  . -50 .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
       80  .  .  .  .  .  .  .  .
    )";
    const char* pawn_board = R"(
        .  .  .  .  .  .  .  . -80
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  . -10 .  .  .
        .  .  .  .  . 10  . -30 .
        .  .  .  .  . -10 .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
       80  .  .  .  .  .  .  .  .
    )";
    struct Case { const char* board; int code; int expected_koma; };
    for (const Case c : {Case{silver_board, 40, 40}, Case{pawn_board, 10, 11}}) {
        SCOPED_TRACE(c.code);
        // Score both forms of the trial on their own.
        double plain = 0, raised = 0;
        for (int form = 0; form < 2; ++form) {
            Search t(board_from_text(c.board));
            kiki_keisan(t.e);
            com_junbi(t.e);
            t.e.work.UGOKI_KOMA = c.code;
            t.e.work.MOTO_KYORI = 4;  // max(|5-1|, |6-9|)
            t.pos.BAN[5][6] = 0;
            t.pos.BAN[5][7] = c.code + form;
            kiki_keisan(t.e);
            (form == 0 ? plain : raised) = te_hyoka(t.e, 0, c.code + form, 5, 6, 5, 7);
        }
        ASSERT_GT(plain, raised) << "the position must favour the plain form";

        Search s(board_from_text(c.board));
        s.run();
        const Candidate* got = s.find(5, 6, 5, 7);
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(got->koma, c.expected_koma);
        EXPECT_DOUBLE_EQ(got->score, plain);
    }
}

// ---------------------------------------------------------------------------
// Scan order, state, ticks.

TEST(SearchOrder, FirstOfEqualScoresStaysBest) {
    // The opening position without bishops and rooks is symmetric in x, so
    // moves mirrored about x = 5 tie; the first one met must be kept.
    Position p = test::opening_position();
    p.BAN[2][2] = p.BAN[8][2] = p.BAN[2][8] = p.BAN[8][8] = 0;
    Search s(p);
    s.run();
    ASSERT_TRUE(s.found);
    const double top = s.e.work.SAIZEN_TEN;
    size_t first = s.rec.list.size(), count = 0;
    for (size_t i = 0; i < s.rec.list.size(); ++i) {
        if (s.rec.list[i].score == top) {
            if (count++ == 0) first = i;
        }
        EXPECT_LE(s.rec.list[i].score, top);
    }
    ASSERT_GE(count, 2u) << "the position must hold a tie at the top";
    const Candidate& f = s.rec.list[first];
    const Candidate& b = s.e.work.best;
    EXPECT_EQ(b.from_x, f.from_x);
    EXPECT_EQ(b.from_y, f.from_y);
    EXPECT_EQ(b.to_x, f.to_x);
    EXPECT_EQ(b.to_y, f.to_y);
}

TEST(SearchOrder, BoardMovesComeBeforeDropsInScanOrder) {
    Position p = test::opening_position();
    give_ue(p, 3, 10, 2);
    give_ue(p, 5, 30, 1);
    Search s(p);
    s.run();
    ASSERT_FALSE(s.rec.list.empty());
    auto key = [](const Candidate& c) {
        // board moves by origin then destination, then drops by slot then destination
        const int group = c.from_x == -1 ? 1 : 0;
        return ((((group * 10 + (c.from_x == -1 ? 0 : c.from_x)) * 10 + c.from_y) * 10 + c.to_x) *
                    10 + c.to_y);
    };
    for (size_t i = 1; i < s.rec.list.size(); ++i)
        EXPECT_LT(key(s.rec.list[i - 1]), key(s.rec.list[i])) << i;
    EXPECT_TRUE(s.find(-1, 3, 5, 5) == nullptr) << "two pawns on file 5";
    EXPECT_TRUE(s.find(-1, 5, 5, 8) == nullptr) << "a dropped knight needs room to move";
    EXPECT_TRUE(s.find(-1, 5, 5, 7) == nullptr) << "occupied";
    EXPECT_TRUE(s.find(-1, 5, 5, 6) != nullptr);
}

TEST(SearchState, BoardAndHandsAreLeftAsFound) {
    Position p = test::opening_position();
    p.BAN[4][3] = 0;
    p.BAN[4][6] = 10;  // a pawn that can capture and promote
    give_ue(p, 7, 40, 1);
    give_ue(p, 6, 10, 1);
    Search s(p);
    const Position before = s.pos;
    s.run();
    EXPECT_EQ(std::memcmp(before.BAN, s.pos.BAN, sizeof before.BAN), 0)
        << test::board_to_text(s.pos);
    EXPECT_EQ(std::memcmp(before.MOCHI_UE_KAZU, s.pos.MOCHI_UE_KAZU, sizeof before.MOCHI_UE_KAZU), 0);
    EXPECT_EQ(std::memcmp(before.MOCHI_UE_KOMA, s.pos.MOCHI_UE_KOMA, sizeof before.MOCHI_UE_KOMA), 0);
    EXPECT_EQ(before.MOCHI_UE_GOKEI, s.pos.MOCHI_UE_GOKEI);
    EXPECT_EQ(std::memcmp(s.e.work.BAN_MAE, before.BAN, sizeof before.BAN), 0);
}

TEST(SearchState, NoLegalCandidateGivesFalse) {
    // The upper pawn is stopped by its own lance, which stands on the last
    // column; there is nothing in hand.
    Search s(board_from_text(R"(
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  . 10 20
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
       -80 .  .  .  .  .  .  .  .
    )"));
    s.run();
    EXPECT_FALSE(s.found);
    EXPECT_FALSE(s.e.work.has_best);
    EXPECT_EQ(s.e.work.SAIZEN_TEN, -99999);
    EXPECT_TRUE(s.rec.list.empty());
}

TEST(SearchState, ClockTicksOncePerOriginRowAndOncePerHandSlot) {
    Search empty_hand(test::opening_position());
    empty_hand.run();
    EXPECT_EQ(empty_hand.ticks.n, 9);

    Position p = test::opening_position();
    give_ue(p, 7, 10, 1);
    Search with_hand(p);
    with_hand.run();
    EXPECT_EQ(with_hand.ticks.n, 9 + 7);
}

TEST(SearchState, DropsKeepTheKingDistanceOfTheLastBoardMove) {
    // No board move is legal (pawn stopped by its lance), so drops are scored
    // with the distance left by an earlier turn.  From (5,5) the lower king on
    // (9,9) is dx 4 = dy 4 away: the approach term is +0.1 only when that
    // distance exceeds 4.
    const char* board = R"(
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  . 10 20
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        80 .  .  .  .  .  .  . -80
    )";
    double with_far = 0, with_near = 0;
    for (int kyori : {9, 1}) {
        Position p = board_from_text(board);
        give_ue(p, 1, 40, 1);
        Search s(p);
        s.e.work.MOTO_KYORI = kyori;
        s.run();
        // The only board moves are the king's; they reset MOTO_KYORI to 8.
        EXPECT_EQ(s.e.work.MOTO_KYORI, 8);
        const Candidate* d = s.find(-1, 1, 5, 5);
        ASSERT_NE(d, nullptr);
        (kyori == 9 ? with_far : with_near) = d->score;
    }
    // Both runs overwrite the preset with the king's moves: same scores.
    EXPECT_DOUBLE_EQ(with_far, with_near);

    // Without the king no board move at all: the preset survives.
    for (int kyori : {9, 1}) {
        Position p = board_from_text(board);
        p.BAN[9][1] = 0;
        give_ue(p, 1, 40, 1);
        Search s(p);
        s.e.work.MOTO_KYORI = kyori;
        s.run();
        EXPECT_EQ(s.e.work.MOTO_KYORI, kyori);
        const Candidate* d = s.find(-1, 1, 5, 5);
        ASSERT_NE(d, nullptr);
        (kyori == 9 ? with_far : with_near) = d->score;
    }
    EXPECT_NEAR(with_far - with_near, 0.1, 1e-9);
}

}  // namespace
}  // namespace zemtori
