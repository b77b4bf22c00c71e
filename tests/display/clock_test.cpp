// The thinking-time clocks: the text of a time, midnight, and what the timer
// tick paints as the fake clock of the headless port moves on.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "display/clock.h"
#include "port/headless_port.h"

namespace zemtori {
namespace {

using Op = HeadlessPort::Op;
using Kind = HeadlessPort::OpKind;

TEST(ClockText, SecondsBecomeHoursMinutesSeconds) {
    const struct { double t; const char* text; } cases[] = {
        {0, "00:00:00"},
        {59.9, "00:00:59"},
        {60, "00:01:00"},
        {3599.99, "00:59:59"},
        {3600, "01:00:00"},
        {3725.4, "01:02:05"},  // one hour, two minutes, 5.4 seconds
        {36000, "10:00:00"},
        {359999.5, "99:59:59"},
        // From 100 hours on the hour field is left empty.
        {360000, ":00:00"},
        {360061, ":01:01"},
        {3600000, ":00:00"},
    };
    for (const auto& c : cases) EXPECT_EQ(jikan_mojiretsu(c.t), c.text) << c.t;
}

TEST(ClockText, TwoDigitFields) {
    EXPECT_EQ(niketa(0), "00");
    EXPECT_EQ(niketa(7), "07");
    EXPECT_EQ(niketa(42), "42");
    EXPECT_EQ(niketa(100), "");
    EXPECT_EQ(niketa(12345), "");
}

TEST(ClockText, ElapsedTimeCarriesOnPastMidnight) {
    EXPECT_DOUBLE_EQ(keika_byou(100, 130.5), 30.5);
    EXPECT_DOUBLE_EQ(keika_byou(500, 500), 0);
    EXPECT_DOUBLE_EQ(keika_byou(86399, 1), 2);
    EXPECT_DOUBLE_EQ(keika_byou(86000, 0), 400);
}

// A turn's time goes to the player who took it, from the start to the end
// of the turn, across midnight too; a new game clears both totals.
TEST(ClockTotalsTest, EachTurnIsAddedToItsPlayer) {
    Clock clock;
    clock.start_turn(100);
    clock.end_turn(130.5);
    EXPECT_DOUBLE_EQ(clock.teban_jikan(), 30.5);
    clock.add_turn(Clock::Player::Man);
    EXPECT_DOUBLE_EQ(clock.man_jikan(), 30.5);
    EXPECT_DOUBLE_EQ(clock.com_jikan(), 0);

    clock.start_turn(86390);
    clock.end_turn(5);
    clock.add_turn(Clock::Player::Com);
    EXPECT_DOUBLE_EQ(clock.man_jikan(), 30.5);
    EXPECT_DOUBLE_EQ(clock.com_jikan(), 15);

    // A tick between the two readings does not change what the turn took.
    clock.start_turn(200);
    EXPECT_TRUE(clock.tick(202.5));
    EXPECT_FALSE(clock.tick(202.9));
    clock.end_turn(204);
    clock.add_turn(Clock::Player::Man);
    EXPECT_DOUBLE_EQ(clock.man_jikan(), 34.5);

    clock.restore({.man = 12, .com = 34});
    EXPECT_DOUBLE_EQ(clock.man_jikan(), 12);
    EXPECT_DOUBLE_EQ(clock.com_jikan(), 34);

    clock.reset();
    EXPECT_EQ(clock.man_jikan(), 0);
    EXPECT_EQ(clock.com_jikan(), 0);
    EXPECT_EQ(clock.hyouji_byou(), 0);
}

struct ClockTest : ::testing::Test {
    HeadlessPort port;
    int haikei = HAIKEI_UCHU;  // the background the options hold
    Screen screen{port, haikei};
    TurnState turn;  // COM_GAWA +1, MAN_GAWA -1
    Clock clock;
    bool shown = true;  // the 経過時間 option

    void SetUp() override {
        port.set_timer1(true);
        turn.TEBAN = turn.MAN_GAWA;
        clock.start_turn(port.time_of_day());
    }

    // Lets `seconds` pass on the fake clock, then fires the timer.
    void tick_after(double seconds) {
        port.sleep(seconds);
        jikan_tick(screen, clock, turn, shown);
    }

    std::vector<const Op*> texts() const {
        std::vector<const Op*> out;
        for (const Op& op : port.ops)
            if (op.kind == Kind::Text) out.push_back(&op);
        return out;
    }
};

TEST_F(ClockTest, RedrawsOnlyWhenTheWholeSecondChanges) {
    for (int i = 0; i < 19; ++i) tick_after(0.05);  // 0.95 s: still second 0
    EXPECT_TRUE(port.ops.empty());
    EXPECT_NEAR(clock.teban_jikan(), 0.95, 0.01);

    tick_after(0.07);  // 1.02 s
    ASSERT_EQ(texts().size(), 2u);
    EXPECT_EQ(texts()[0]->text, "00:00:01");
    EXPECT_EQ(port.refreshes, 1);
    EXPECT_EQ(clock.hyouji_byou(), 1);

    port.clear();
    for (int i = 0; i < 18; ++i) tick_after(0.05);  // up to 1.92 s
    EXPECT_TRUE(port.ops.empty());
    tick_after(0.1);
    ASSERT_EQ(texts().size(), 2u);
    EXPECT_EQ(texts()[0]->text, "00:00:02");
    EXPECT_EQ(port.refreshes, 1);
    EXPECT_EQ(port.ops.back().kind, Kind::Refresh);
}

TEST_F(ClockTest, HumansClockShowsTotalPlusRunningTurnAtTheBottomRight) {
    clock.restore({.man = 3600, .com = 7});
    tick_after(5.5);
    // Three tiles, then shadow and white text.
    ASSERT_EQ(port.ops.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(port.ops[i].kind, Kind::Picture);
        EXPECT_EQ(port.ops[i].code, HAIKEI_UCHU);
        EXPECT_DOUBLE_EQ(port.ops[i].x, grid_x(13 + i));
        EXPECT_DOUBLE_EQ(port.ops[i].y, grid_y(9));
    }
    const Op& shadow = port.ops[3];
    const Op& white = port.ops[4];
    EXPECT_EQ(shadow.text, "01:00:05");
    EXPECT_EQ(shadow.code, 0);
    EXPECT_DOUBLE_EQ(shadow.x, grid_x(13.1));
    EXPECT_DOUBLE_EQ(shadow.y, grid_y(9.3));
    EXPECT_EQ(white.text, "01:00:05");
    EXPECT_EQ(white.code, 15);
    EXPECT_EQ(white.size, 12);
    EXPECT_DOUBLE_EQ(white.x, grid_x(13));
    EXPECT_DOUBLE_EQ(white.y, grid_y(9.2));
    EXPECT_EQ(port.ops[5].kind, Kind::Refresh);
}

TEST_F(ClockTest, UpperPlayersClockIsAtTheBottomLeftAndRestoresTheBoardFrame) {
    turn.TEBAN = turn.COM_GAWA;
    clock.restore({.man = 9999, .com = 125});
    tick_after(2.2);
    const auto t = texts();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0]->text, "00:02:07");
    EXPECT_DOUBLE_EQ(t[0]->x, grid_x(-1.5));
    EXPECT_DOUBLE_EQ(t[0]->y, grid_y(9.3));
    EXPECT_DOUBLE_EQ(t[1]->x, grid_x(-1.6));
    EXPECT_DOUBLE_EQ(t[1]->y, grid_y(9.2));
    EXPECT_DOUBLE_EQ(port.ops[0].x, grid_x(-2));
    EXPECT_DOUBLE_EQ(port.ops[2].x, grid_x(0));
    // After the texts: the frame of board cell (1, 9), then the refresh.
    const Op& frame = port.ops[port.ops.size() - 2];
    EXPECT_EQ(frame.kind, Kind::Outline);
    EXPECT_EQ(frame.code, screen.WAKU_IRO);
    EXPECT_DOUBLE_EQ(frame.x, grid_x(1));
    EXPECT_DOUBLE_EQ(frame.y, grid_y(9));
}

TEST_F(ClockTest, ATurnAcrossMidnightKeepsCounting) {
    port.now = 86399.5;
    clock.start_turn(port.time_of_day());
    tick_after(1.0);  // the fake clock reads 0.5 now
    EXPECT_LT(port.now, 1.0);
    EXPECT_NEAR(clock.teban_jikan(), 1.0, 0.01);
    ASSERT_EQ(texts().size(), 2u);
    EXPECT_EQ(texts()[0]->text, "00:00:01");
}

TEST_F(ClockTest, ClockFreezesWithTheTimerOffOrTheGameOver) {
    port.set_timer1(false);
    tick_after(3);
    EXPECT_TRUE(port.ops.empty());
    EXPECT_EQ(clock.teban_jikan(), 0);

    port.set_timer1(true);
    turn.SHOSHA = turn.MAN_GAWA;
    tick_after(3);
    EXPECT_TRUE(port.ops.empty());
    EXPECT_EQ(clock.teban_jikan(), 0);
    EXPECT_EQ(clock.hyouji_byou(), 0);
}

TEST_F(ClockTest, NothingIsDrawnWhileTheElapsedTimeOptionIsOff) {
    shown = false;
    tick_after(4);
    for (const Op& op : port.ops) EXPECT_EQ(op.kind, Kind::Refresh);
    // The running turn is still counted.
    EXPECT_EQ(clock.hyouji_byou(), 4);

    port.clear();
    jikan_hyouji(screen, turn, turn.MAN_GAWA, 10, shown);
    jikan_hyouji(screen, turn, turn.COM_GAWA, 10, shown);
    EXPECT_TRUE(port.ops.empty());
}

TEST_F(ClockTest, NoSideToMoveRedrawsNoClock) {
    turn.TEBAN = 0;
    tick_after(2);
    EXPECT_TRUE(texts().empty());
}

TEST_F(ClockTest, ClearingTilesOnlyTheSidesCells) {
    jikan_kesu(screen, turn, turn.MAN_GAWA);
    jikan_kesu(screen, turn, 0);
    jikan_kesu(screen, turn, turn.COM_GAWA);
    ASSERT_EQ(port.ops.size(), 6u);
    const double columns[] = {13, 14, 15, -2, -1, 0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(port.ops[i].kind, Kind::Picture);
        EXPECT_EQ(port.ops[i].code, HAIKEI_UCHU);
        EXPECT_DOUBLE_EQ(port.ops[i].x, grid_x(columns[i]));
        EXPECT_DOUBLE_EQ(port.ops[i].y, grid_y(9));
    }
}

TEST_F(ClockTest, HundredHoursOrMoreStartsWithTheFirstColon) {
    jikan_hyouji(screen, turn, turn.MAN_GAWA, 100 * 3600 + 59, true);
    const auto t = texts();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0]->text, ":00:59");
}

}  // namespace
}  // namespace zemtori
