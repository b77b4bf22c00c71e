// The three start commands share one start of play: what each leaves behind
// (the mode a click meets, the selection, the clock's timer, the sides, the
// first box), from a fresh game, a game in progress and a finished one.
// And the handicap ladder's own rules, apart from the board.
#include "play_fixture.h"

#include <string>

namespace zemtori::test {
namespace {

using StartOfPlay = PlayTest;
using Mode = Game::PlayMode;

TEST_F(StartOfPlay, EachCommandStartsItsOwnKindOfGame) {
    struct Case {
        const char* command;
        Mode mode;
        int man_side;
        int tesu;            // the computer has moved first after 後手
        bool timer;          // the clock is hidden in these tests' settings
        const char* message; // the first box, "" when none
    };
    const Case cases[] = {
        {"START", Mode::BetweenPeople, SENTE_GAWA, 0, false, "先手の番です"},
        {"SENTE", Mode::AgainstComputer, SENTE_GAWA, 0, true, "MANの番です"},
        {"GOTE", Mode::AgainstComputer, GOTE_GAWA, 1, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        game.menu("CANCEL");
        EXPECT_EQ(game.mode(), Mode::NotStarted);
        port.messages.clear();
        game.menu(c.command);
        EXPECT_EQ(game.mode(), c.mode);
        EXPECT_EQ(game.view().turn.MAN_GAWA, c.man_side);
        EXPECT_EQ(game.view().turn.COM_GAWA, -c.man_side);
        EXPECT_EQ(game.view().kifu.tesu(), c.tesu);
        EXPECT_EQ(game.view().turn.TEBAN, c.man_side);
        EXPECT_EQ(port.timer1_enabled(), c.timer);
        EXPECT_FALSE(game.view().turn.SAIKAI);
        const bool any_box = std::string(c.message) != "";
        ASSERT_EQ(port.messages.empty(), !any_box);
        if (any_box) {
            EXPECT_EQ(port.messages.front().text, c.message);
        }
    }
}

TEST_F(StartOfPlay, ASelectionInProgressIsDroppedWithItsFrames) {
    for (const char* command : {"START", "SENTE", "GOTE"}) {
        SCOPED_TRACE(command);
        game.menu("CANCEL");
        game.menu("START");
        click(4, 7);  // a pawn of the lower side, selected
        ASSERT_TRUE(game.view().turn.SENTAKU);
        port.clear();
        game.menu(command);
        EXPECT_FALSE(game.view().turn.SENTAKU);
        EXPECT_GT(outlines(game.view().screen.KESU_IRO), 0) << "the frames are painted over";
        EXPECT_NE(game.mode(), Mode::Record);
    }
}

TEST_F(StartOfPlay, AFinishedGameGivesWayToANewOne) {
    game.menu("START");
    const std::string pawns = column(7);  // the lower side's pawns, fallen
    game.menu("CANCEL");
    for (const char* command : {"START", "SENTE", "GOTE"}) {
        SCOPED_TRACE(command);
        game.menu("START");
        // A second upper king in front of the lower pawn on (4,7): the pawn
        // takes it and the game is won.
        edit_position([](Position& p) { p.BAN[4][6] = 80; });
        move(4, 7, 4, 6);
        ASSERT_NE(column(7), pawns);
        ASSERT_EQ(game.view().turn.SHOSHA, SENTE_GAWA);
        ASSERT_EQ(game.mode(), Mode::Finished);
        port.clear();
        game.menu(command);
        EXPECT_EQ(game.view().turn.SHOSHA, NASHI);
        EXPECT_LE(game.view().kifu.tesu(), 1) << "the new game has at most the computer's first move";
        EXPECT_EQ(game.view().kifu.kifu_tesu(), game.view().kifu.tesu());
        EXPECT_EQ(column(7), pawns) << "the pawn moved before stands in its opening square";
    }
}

// A game between people stepped back and then gone on with against the
// computer: the record ends at the position on the board, so 進 has nothing
// of the old line to step into.
TEST_F(StartOfPlay, GoingOnAgainstTheComputerCutsTheRecordAtTheBoard) {
    game.menu("START");
    move(9, 7, 9, 6);
    move(1, 3, 1, 4);
    move(8, 7, 8, 6);
    game.menu("REPLAY");
    ASSERT_EQ(game.view().kifu.kifu_tesu(), 2);
    ASSERT_EQ(game.view().turn.TEBAN, game.view().turn.MAN_GAWA) << "the person is to move: no computer move cuts it";
    game.menu("SENTE");
    ASSERT_EQ(game.mode(), Mode::AgainstComputer);
    EXPECT_EQ(game.view().kifu.kifu_saigo(), 2);
    port.messages.clear();
    game.menu("AFTER");
    ASSERT_FALSE(port.messages.empty());
    EXPECT_EQ(port.messages.back().text, "できません");
    EXPECT_EQ(game.view().kifu.kifu_tesu(), 2);
}

TEST(HandicapLadder, StepsStopAtTheEndsAndTurningNegatesOnlyASetRung) {
    HandicapLadder ladder;
    ladder.turn_over();
    EXPECT_EQ(ladder.dan(), 0);
    EXPECT_FALSE(ladder.settei());
    for (int i = 0; i < HandicapLadder::TOP_RUNG; ++i) EXPECT_TRUE(ladder.step(-1)) << i;
    EXPECT_FALSE(ladder.step(-1)) << "名人 is the last rung";
    EXPECT_EQ(ladder.dan(), -HandicapLadder::TOP_RUNG);
    EXPECT_TRUE(ladder.settei());
    ladder.turn_over();
    EXPECT_EQ(ladder.dan(), HandicapLadder::TOP_RUNG);
    EXPECT_FALSE(ladder.step(+1)) << "12級 is the last rung";
    EXPECT_TRUE(ladder.step(-1));
    EXPECT_EQ(ladder.dan(), HandicapLadder::TOP_RUNG - 1);
    ladder.reset();
    EXPECT_EQ(ladder.dan(), 0);
    EXPECT_FALSE(ladder.settei());
    // At an end the step changes nothing but still counts as set.
    HandicapLadder at_end;
    for (int i = 0; i < HandicapLadder::TOP_RUNG; ++i) at_end.step(+1);
    at_end.reset();
    EXPECT_TRUE(at_end.step(+1));
    EXPECT_TRUE(at_end.settei());
}

TEST(MenuIds, NameTheRowsOfTheMenuBarInOrder) {
    const std::vector<MenuEntry>& entries = menu_entries();
    ASSERT_EQ(entries.size(), static_cast<size_t>(MenuId::COUNT));
    for (int i = 0; i < static_cast<int>(MenuId::COUNT); ++i)
        EXPECT_STREQ(menu_name(static_cast<MenuId>(i)), entries[i].name) << i;
    EXPECT_STREQ(menu_name(MenuId::KEIKA), "KEIKA");
    EXPECT_STREQ(menu_name(MenuId::LEVEL3), "LEVEL3");
}

}  // namespace
}  // namespace zemtori::test
