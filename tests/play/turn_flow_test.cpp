// The turn flow's own calls: what a new game keeps, how the turn passes, what
// a selection keeps when dropped, and who wins when a king is taken.
#include <gtest/gtest.h>

#include <array>

#include "play/turn_flow.h"
#include "test_support.h"

namespace zemtori::test {
namespace {

TEST(TurnFlow, SidesTheTurnAndANewGame) {
    TurnFlow flow;
    EXPECT_EQ(flow.state().TEBAN, NASHI);
    flow.pass_turn();  // no game stays no game
    EXPECT_EQ(flow.state().TEBAN, NASHI);

    flow.take_sides(SENTE_GAWA);
    EXPECT_EQ(flow.state().MAN_GAWA, SENTE_GAWA);
    EXPECT_EQ(flow.state().COM_GAWA, GOTE_GAWA);
    EXPECT_EQ(flow.state().TEBAN, SENTE_GAWA);
    flow.pass_turn();
    EXPECT_EQ(flow.state().TEBAN, GOTE_GAWA);

    // Everything a game changes, then a new game: the sides stay, the rest
    // starts again.
    flow.play_against_computer(true);
    flow.pause();
    flow.select();
    flow.end_with_winner(GOTE_GAWA);
    flow.new_game();
    const TurnState& t = flow.state();
    EXPECT_EQ(t.TEBAN, NASHI);
    EXPECT_EQ(t.SHOSHA, NASHI);
    EXPECT_FALSE(t.COM_TAISEN);
    EXPECT_FALSE(t.SAIKAI);
    EXPECT_FALSE(t.SENTAKU);
    EXPECT_EQ(t.MAN_GAWA, SENTE_GAWA);
}

TEST(TurnFlow, ADroppedSelectionKeepsTheMoveItNoted) {
    TurnFlow flow;
    flow.aim(7, 7, -HU);
    EXPECT_FALSE(flow.state().SENTAKU);  // noting a piece does not select it
    flow.select();
    flow.set_destination(7, 6);
    flow.promote(-TO);
    flow.deselect();
    const Sashite& s = flow.state().SASHITE;
    EXPECT_FALSE(flow.state().SENTAKU);
    EXPECT_EQ((std::array{s.from_x, s.from_y, s.to_x, s.to_y, s.koma}), (std::array{7, 7, 7, 6, -TO}));
}

// Whoever takes a king wins, whichever side value the person plays.
TEST(TurnFlow, TakingAKingEndsTheGameForTheTaker) {
    for (const int man : {SENTE_GAWA, GOTE_GAWA}) {
        SCOPED_TRACE(man);
        TurnFlow flow;
        flow.take_sides(man);
        Position pos = board_with({{5, 5, -HISHA}, {5, 4, OU}, {5, 8, -OU}, {1, 1, HISHA}});
        flow.make_move(pos, nullptr, 5, 5, 5, 4, -HISHA);
        EXPECT_EQ(flow.state().SHOSHA, man);
        EXPECT_EQ(pos.BAN[5][4], -HISHA);

        flow.reopen();
        flow.make_move(pos, nullptr, 1, 1, 5, 8, HISHA);
        EXPECT_EQ(flow.state().SHOSHA, -man);
    }
}

}  // namespace
}  // namespace zemtori::test
