// How a move and the falling passes look on the window: what is painted at
// each stage, in which order, and how long each falling step stays up.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "display/animation.h"
#include "port/geometry.h"
#include "display/screen.h"
#include "picture_at.h"
#include "port/headless_port.h"
#include "rules/moves.h"
#include "test_support.h"

namespace zemtori {
namespace {

using test::expect_same_board;
using test::settled_opening;

TurnState human_second() {
    TurnState turn;
    turn.MAN_GAWA = GOTE_GAWA;
    turn.COM_GAWA = SENTE_GAWA;
    return turn;
}

// A headless window that notes the fake clock at every refresh.
class StampingPort : public HeadlessPort {
public:
    void refresh() override {
        HeadlessPort::refresh();
        stamps.push_back(now);
    }
    std::vector<double> stamps;
};

// What was painted between two refreshes.
struct Frame {
    int board[10][10] = {};  // picture painted on each board cell, -1 when none
    int board_pictures = 0;  // pictures painted on board cells
    int other_pictures = 0;  // pictures painted elsewhere
};

std::vector<Frame> frames(const HeadlessPort& port) {
    std::vector<Frame> out;
    Frame f;
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y) f.board[x][y] = -1;
    const Frame blank = f;
    for (const HeadlessPort::Op& op : port.ops) {
        if (op.kind == HeadlessPort::OpKind::Refresh) {
            out.push_back(f);
            f = blank;
        } else if (op.kind == HeadlessPort::OpKind::Picture) {
            const int c = cell_column(op.x), r = cell_row(op.y);
            if (c >= 1 && c <= 9 && r >= 1 && r <= 9) {
                f.board[r][c] = op.code;
                ++f.board_pictures;
            } else {
                ++f.other_pictures;
            }
        }
    }
    return out;
}

TEST(BoardFallShown, SettledPositionDoesNotMoveAndDrawsNothing) {
    Position pos = settled_opening();
    const Position before = pos;
    StampingPort port;
    Screen screen(port);
    MoveAnimation anim(screen);
    const double t0 = port.now;
    EXPECT_EQ(rakka(pos, &anim), 0);
    expect_same_board(pos, before);
    EXPECT_TRUE(port.ops.empty());
    EXPECT_EQ(port.now, t0);
}


TEST(BoardFallShown, StackEmptiesTheGapFromBelow) {
    // Three pieces at the top of a column: the lowest falls first, each one
    // above starts a step later, so the pass takes 6 + 2 steps.
    Position pos;
    pos.BAN[1][4] = HISHA;
    pos.BAN[2][4] = -KIN;
    pos.BAN[3][4] = HU;
    StampingPort port;
    Screen screen(port);
    MoveAnimation anim(screen);
    EXPECT_EQ(rakka(pos, &anim), 8);
    EXPECT_EQ(pos.BAN[7][4], HISHA);
    EXPECT_EQ(pos.BAN[8][4], -KIN);
    EXPECT_EQ(pos.BAN[9][4], HU);
    for (int x = 1; x <= 6; ++x) EXPECT_EQ(pos.BAN[x][4], KARA) << x;

    // After the first step only the bottom piece has moved.
    const std::vector<Frame> shown = frames(port);
    ASSERT_EQ(shown.size(), 8u);
    EXPECT_EQ(shown[0].board[1][4], HISHA);
    EXPECT_EQ(shown[0].board[2][4], -KIN);
    EXPECT_EQ(shown[0].board[3][4], KARA);
    EXPECT_EQ(shown[0].board[4][4], HU);
    // After the second the one above it follows; the top piece still waits.
    EXPECT_EQ(shown[1].board[1][4], HISHA);
    EXPECT_EQ(shown[1].board[2][4], KARA);
    EXPECT_EQ(shown[1].board[3][4], -KIN);
    EXPECT_EQ(shown[1].board[5][4], HU);
}


TEST(BoardFallShown, EachStepRedrawsTheBoardOnceAndStaysOnScreen) {
    Position pos = test::opening_position();
    StampingPort port;
    Screen screen(port);
    MoveAnimation anim(screen);
    const double t0 = port.now;
    ASSERT_EQ(rakka(pos, &anim), 6);

    EXPECT_EQ(port.refreshes, 6);
    const std::vector<Frame> shown = frames(port);
    ASSERT_EQ(shown.size(), 6u);
    for (int step = 0; step < 6; ++step) {
        EXPECT_EQ(shown[step].board_pictures, 81) << "step " << step + 1;
        EXPECT_EQ(shown[step].other_pictures, 0) << "step " << step + 1;
        // The upper rook is shown one square lower at each step.
        EXPECT_EQ(shown[step].board[3 + step][2], HISHA) << "step " << step + 1;
    }
    // The last frame shows the settled board.
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) EXPECT_EQ(shown[5].board[x][y], pos.BAN[x][y]);

    // Every step stays up long enough to be seen.
    ASSERT_EQ(port.stamps.size(), 6u);
    for (size_t i = 1; i < port.stamps.size(); ++i)
        EXPECT_GE(port.stamps[i] - port.stamps[i - 1], RAKKA_STEP_SECONDS - 1e-9) << i;
    EXPECT_GE(port.now - port.stamps.back(), RAKKA_STEP_SECONDS - 1e-9);
    EXPECT_GE(port.now - t0, 6 * RAKKA_STEP_SECONDS - 1e-9);
}


TEST(HandFallShown, EmptySlotsBelowAnEmptiedSlotStayPut) {
    // Only slots with pieces fall: an emptied slot (count 0, stale code) at
    // the bottom with nothing above stays as it is.
    Position pos;
    pos.MOCHI_UE_KOMA[5] = KAKU;
    pos.MOCHI_UE_KOMA[7] = HU;
    pos.MOCHI_UE_KAZU[7] = 3;
    const Position before = pos;
    StampingPort port;
    Screen screen(port);
    MoveAnimation anim(screen);
    EXPECT_EQ(mochigoma_rakka(pos, SENTE_GAWA, &anim), 0);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(pos.MOCHI_UE_KOMA[k], before.MOCHI_UE_KOMA[k]);
        EXPECT_EQ(pos.MOCHI_UE_KAZU[k], before.MOCHI_UE_KAZU[k]);
    }
    EXPECT_TRUE(port.ops.empty());
    EXPECT_EQ(port.stamps.size(), 0u);
}


TEST(HandFallShown, EachStepRedrawsThatHandOnly) {
    Position pos;
    pos.MOCHI_SITA_KOMA[1] = -GIN;
    pos.MOCHI_SITA_KAZU[1] = 1;
    StampingPort port;
    Screen screen(port);
    MoveAnimation anim(screen);
    const double t0 = port.now;
    EXPECT_EQ(mochigoma_rakka(pos, GOTE_GAWA, &anim), 6);
    EXPECT_EQ(pos.MOCHI_SITA_KOMA[7], -GIN);
    EXPECT_EQ(pos.MOCHI_SITA_KAZU[7], 1);
    EXPECT_EQ(port.refreshes, 6);
    // The silver is shown in the lower hand column (grid column 11, slot k in
    // row k + 2), one slot lower each step; nothing on the board is painted.
    const std::vector<Frame> shown = frames(port);
    ASSERT_EQ(shown.size(), 6u);
    for (const Frame& f : shown) EXPECT_EQ(f.board_pictures, 0);
    ASSERT_EQ(port.stamps.size(), 6u);
    for (size_t i = 1; i < port.stamps.size(); ++i)
        EXPECT_GE(port.stamps[i] - port.stamps[i - 1], RAKKA_STEP_SECONDS - 1e-9);
    EXPECT_GE(port.now - t0, 6 * RAKKA_STEP_SECONDS - 1e-9);
    EXPECT_EQ(test::picture_at(port, 11, 9), -GIN);
}


struct Painted {
    int code;
    double c, r;
};

// The pictures painted, in order, with their grid positions.
std::vector<Painted> pictures(const HeadlessPort& port) {
    std::vector<Painted> out;
    for (const HeadlessPort::Op& op : port.ops)
        if (op.kind == HeadlessPort::OpKind::Picture)
            out.push_back({op.code, (op.x - BAN_X0) / MASU_HABA, (op.y - BAN_Y0) / MASU_TAKASA});
    return out;
}

bool same_cell(const Painted& p, int code, double c, double r) {
    return p.code == code && std::fabs(p.c - c) < 1e-6 && std::fabs(p.r - r) < 1e-6;
}

TEST(MoveShown, BoardMovePaintsTheSourceEmptyThenTheDestination) {
    Position pos;
    pos.BAN[3][4] = GIN;
    TurnState turn = human_second();
    HeadlessPort port;
    Screen screen(port);
    MoveAnimation anim(screen);
    sashite_jikkou(pos, turn, &anim, 3, 4, 4, 5, GIN);
    // Source square (3, 4) is grid cell (4, 3); destination (4, 5) is (5, 4).
    const std::vector<Painted> pics = pictures(port);
    ASSERT_EQ(pics.size(), 2u);
    EXPECT_TRUE(same_cell(pics[0], KARA, 4, 3));
    EXPECT_TRUE(same_cell(pics[1], GIN, 5, 4));
    ASSERT_EQ(port.ops.size(), 4u);
    EXPECT_EQ(port.ops[1].kind, HeadlessPort::OpKind::Outline);
    EXPECT_EQ(port.ops[1].code, screen.WAKU_IRO);
    EXPECT_EQ(port.ops[3].kind, HeadlessPort::OpKind::Outline);
    // The move does not refresh; the caller does after its pause.
    EXPECT_EQ(port.refreshes, 0);
}

TEST(MoveShown, DropFromTheLowerHandEmptiesItsSlotAndThePiecesAboveFall) {
    Position pos;
    // Lower hand: gold in slot 7 (screen row 9), pawns in slot 6.
    pos.MOCHI_SITA_KOMA[6] = -HU;
    pos.MOCHI_SITA_KAZU[6] = 2;
    pos.MOCHI_SITA_KOMA[7] = -KIN;
    pos.MOCHI_SITA_KAZU[7] = 1;
    pos.MOCHI_SITA_GOKEI = 3;
    TurnState turn = human_second();
    HeadlessPort port;
    Screen screen(port);
    MoveAnimation anim(screen);
    sashite_jikkou(pos, turn, &anim, SITA_TE_X, 9, 5, 5, -KIN);

    EXPECT_EQ(pos.BAN[5][5], -KIN);
    EXPECT_EQ(pos.MOCHI_SITA_GOKEI, 2);
    EXPECT_EQ(pos.MOCHI_SITA_KOMA[7], -HU);
    EXPECT_EQ(pos.MOCHI_SITA_KAZU[7], 2);
    EXPECT_EQ(pos.MOCHI_SITA_KAZU[6], 0);

    const std::vector<Painted> pics = pictures(port);
    ASSERT_GE(pics.size(), 3u);
    // The slot's cell (11, 9) is painted empty first, the dropped piece last.
    EXPECT_TRUE(same_cell(pics.front(), KARA, 11, 9));
    EXPECT_TRUE(same_cell(pics.back(), -KIN, 5, 5));
    // The hand fell one step (shown once) and was redrawn: the pawns are now
    // shown in the bottom slot.
    EXPECT_EQ(port.refreshes, 1);
    EXPECT_EQ(test::picture_at(port, 11, 9), -HU);
}

TEST(MoveShown, DropFromTheUpperHandUsesTheSlotNumberAsItsRow) {
    Position pos;
    pos.MOCHI_UE_KOMA[3] = KAKU;
    pos.MOCHI_UE_KAZU[3] = 1;
    pos.MOCHI_UE_KOMA[7] = HU;
    pos.MOCHI_UE_KAZU[7] = 1;
    pos.MOCHI_UE_GOKEI = 2;
    TurnState turn = human_second();
    HeadlessPort port;
    Screen screen(port);
    MoveAnimation anim(screen);
    sashite_jikkou(pos, turn, &anim, UE_TE_X, 7, 2, 8, HU);

    EXPECT_EQ(pos.BAN[2][8], HU);
    EXPECT_EQ(pos.MOCHI_UE_GOKEI, 1);
    EXPECT_EQ(pos.MOCHI_UE_KAZU[7], 1);   // the bishop fell into the emptied slot
    EXPECT_EQ(pos.MOCHI_UE_KOMA[7], KAKU);
    EXPECT_EQ(pos.MOCHI_UE_KAZU[3], 0);
    const std::vector<Painted> pics = pictures(port);
    ASSERT_FALSE(pics.empty());
    EXPECT_TRUE(same_cell(pics.front(), KARA, -1, 7));
    EXPECT_TRUE(same_cell(pics.back(), HU, 8, 2));
    EXPECT_EQ(port.refreshes, 4);  // slot 3 to slot 7
}

}  // namespace
}  // namespace zemtori
