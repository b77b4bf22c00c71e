// Stepping back and forward through the record, starting over and turning
// the board.
#include "play_fixture.h"

#include <algorithm>


namespace zemtori::test {
namespace {

struct Replay : PlayTest {
    // Three moves from the opening: lower, upper, lower; each after a pause
    // of `think` seconds on the fake clock.
    void three_moves(double think = 1.0) {
        game.menu("START");
        port.now += think;
        move(5, 7, 5, 6);
        port.now += think;
        move(1, 3, 1, 4);
        port.now += think;
        move(2, 7, 2, 6);
    }
};

TEST_F(Replay, BackAtMoveZeroIsRefused) {
    game.menu("START");
    game.menu("REPLAY");
    EXPECT_EQ(last_message().text, "できません");
    EXPECT_EQ(last_message().title, "戻る");
    EXPECT_EQ(sounds(KINSHI_WAV), 1);
    EXPECT_EQ(game.view().turn.SAIKAI, 1);
}

TEST_F(Replay, ForwardNeedsAStartedGameAlsoAfterStartingOver) {
    game.menu("AFTER");
    EXPECT_EQ(last_message().text, "「対局」で始めて下さい");
    EXPECT_EQ(last_message().title, "開始");
    three_moves();
    game.menu("REPLAY");
    game.menu("CANCEL");
    const size_t before = port.messages.size();
    game.menu("AFTER");
    ASSERT_EQ(port.messages.size(), before + 1);
    EXPECT_EQ(last_message().text, "「対局」で始めて下さい");
    EXPECT_EQ(game.view().kifu.kifu_saigo(), 3);  // the entries stay in memory
}

// The record reaches the position on the board: one step back is undone by
// one step forward, which shows the latest position and its move again.
TEST_F(Replay, OneStepBackIsRedoneToTheLatestPosition) {
    three_moves();
    const Position latest = game.view().pos;
    EXPECT_EQ(game.view().kifu.kifu_saigo(), 3);
    Position before_third;
    game.view().kifu.restore(2, before_third);
    game.menu("REPLAY");
    EXPECT_EQ(board_to_text(game.view().pos), board_to_text(before_third));
    EXPECT_EQ(game.view().kifu.tesu(), 2);
    EXPECT_EQ(game.view().kifu.kifu_tesu(), 2);
    EXPECT_EQ(game.view().turn.TEBAN, 1);
    port.clear();
    game.menu("AFTER");
    EXPECT_TRUE(port.messages.empty());
    EXPECT_EQ(board_to_text(game.view().pos), board_to_text(latest));
    EXPECT_EQ(game.view().kifu.tesu(), 3);
    EXPECT_EQ(game.view().turn.TEBAN, -1);
    // The third move is written again as it was played: the lower pawn from
    // (2,7) to (2,6), though it fell onto (8,6) above the first one.
    const std::vector<std::string> t = texts();
    EXPECT_NE(std::find(t.begin(), t.end(), "４"), t.end());
    EXPECT_NE(std::find(t.begin(), t.end(), "二"), t.end());
    EXPECT_EQ(std::find(t.begin(), t.end(), "八"), t.end());
    game.menu("AFTER");
    EXPECT_EQ(last_message().text, "できません");
    EXPECT_EQ(last_message().title, "進む");
}

TEST_F(Replay, TwoStepsBackThenForwardRestoresEachPositionInTurn) {
    three_moves();
    const Position latest = game.view().pos;
    Position before_third;
    game.view().kifu.restore(2, before_third);
    game.menu("REPLAY");
    game.menu("REPLAY");
    EXPECT_EQ(game.view().kifu.tesu(), 1);
    EXPECT_EQ(game.view().pos.BAN[9][4], 0);  // the upper pawn's move is undone
    EXPECT_EQ(game.view().pos.BAN[1][3], 10);
    port.clear();
    game.menu("AFTER");
    EXPECT_EQ(board_to_text(game.view().pos), board_to_text(before_third));
    EXPECT_EQ(game.view().kifu.tesu(), 2);
    EXPECT_EQ(sounds(KOMA_WAV), 3 + 3);  // three moves, two steps back, one forward
    // The forward step names move 2 as it was played: the upper pawn to
    // (1,4), though it fell to (9,4), written for the upper side.
    const std::vector<std::string> t = texts();
    EXPECT_NE(std::find(t.begin(), t.end(), "６"), t.end());
    EXPECT_NE(std::find(t.begin(), t.end(), "一"), t.end());
    EXPECT_EQ(std::find(t.begin(), t.end(), "九"), t.end());
    game.menu("AFTER");
    EXPECT_EQ(board_to_text(game.view().pos), board_to_text(latest));
    game.menu("AFTER");
    EXPECT_EQ(last_message().text, "できません");
}

// Stepping back from the latest position compares it with this game's own
// entry, never with one an older, longer game left at that index.
TEST_F(Replay, SteppingBackNeverReadsAnOlderGamesEntry) {
    three_moves();  // entries 0..3 of a game whose third move is the lower side's
    game.menu("CANCEL");
    game.menu("START");
    move(4, 9, 4, 8);  // a lower gold, where the older game moved a pawn
    move(1, 3, 1, 4);  // the upper side made the latest move
    ASSERT_EQ(game.view().kifu.tesu(), 2);
    port.clear();
    game.menu("REPLAY");
    // The upper side's move text (left of the board, row 8) is erased, not
    // the lower side's (right of the board, row 2).
    EXPECT_TRUE(port.picture_at_twips(grid_x(-1), grid_y(8)).has_value());
    EXPECT_FALSE(port.picture_at_twips(grid_x(12), grid_y(2)).has_value());
}

TEST_F(Replay, ClocksShowBeforeTimesGoingBackAndAfterTimesGoingForward) {
    game.menu("START");
    port.now += 10;
    move(5, 7, 5, 6);  // lower side (先手) thinks 10 s
    port.now += 20;
    move(1, 3, 1, 4);  // upper side thinks 20 s
    port.now += 5;
    move(2, 7, 2, 6);  // lower side thinks 5 s
    EXPECT_NEAR(game.view().clock.man_jikan(), 15.2, 0.3);  // the opening fall counts too
    EXPECT_NEAR(game.view().clock.com_jikan(), 20, 0.1);
    game.menu("REPLAY");  // entry 2: before the third move
    EXPECT_NEAR(game.view().clock.man_jikan(), 10.2, 0.3);
    EXPECT_NEAR(game.view().clock.com_jikan(), 20, 0.1);
    EXPECT_FALSE(port.timer1_enabled());
    game.menu("REPLAY");  // entry 1: before the second move
    EXPECT_NEAR(game.view().clock.man_jikan(), 10.2, 0.3);
    EXPECT_NEAR(game.view().clock.com_jikan(), 0, 0.1);
    game.menu("AFTER");  // entry 2 after its move
    EXPECT_NEAR(game.view().clock.man_jikan(), 15.2, 0.3);
    EXPECT_NEAR(game.view().clock.com_jikan(), 20, 0.1);
    // Every mouse move, whoever makes it, is stored with the running turn
    // added to the human's after-time and none to the other player's: entry 1
    // (before the upper side's 20 s move) holds MAN 10.2 -> 10.2 + 20 = 30.2
    // and COM 0 -> 0, and stepping forward onto it shows those after-times.
    game.menu("REPLAY");  // entry 1
    game.menu("REPLAY");  // entry 0
    EXPECT_NEAR(game.view().clock.man_jikan(), 0, 0.1);
    game.menu("AFTER");   // entry 1 after its move
    EXPECT_NEAR(game.view().clock.man_jikan(), 30.2, 0.3);
    EXPECT_NEAR(game.view().clock.com_jikan(), 0, 0.1);
    // The latest position holds the totals after its move, as its snapshot
    // recorded them.
    game.menu("AFTER");   // entry 2
    game.menu("AFTER");   // entry 3, the latest
    EXPECT_EQ(game.view().kifu.tesu(), 3);
    EXPECT_NEAR(game.view().kifu.entry(3).MAN_MAE, game.view().kifu.entry(2).MAN_ATO, 1e-9);
    EXPECT_NEAR(game.view().clock.man_jikan(), 15.2, 0.3);
    EXPECT_NEAR(game.view().clock.com_jikan(), 20, 0.1);
}

TEST_F(Replay, AMoveAfterSteppingBackDropsTheLaterEntries) {
    three_moves();
    game.menu("REPLAY");
    game.menu("REPLAY");
    ASSERT_EQ(game.view().turn.TEBAN, -1);
    port.messages.clear();
    move(2, 3, 2, 4);  // the upper side plays something else
    ASSERT_GE(port.messages.size(), 1u);
    EXPECT_EQ(port.messages.front().text, "後手の番です");  // the game resumes first
    EXPECT_EQ(port.messages.front().title, "対局");
    EXPECT_EQ(game.view().kifu.tesu(), 2);
    EXPECT_EQ(game.view().kifu.kifu_saigo(), 2);  // the new latest position, and nothing after it
    EXPECT_EQ(game.view().kifu.kifu_tesu(), 2);
    game.menu("AFTER");
    EXPECT_EQ(last_message().text, "できません");
}

TEST_F(Replay, StepBackReopensAFinishedGame) {
    game.menu("START");
    edit_position([](Position& p) { p.BAN[6][6] = 80; });  // a second upper king, in front of the lower pawn on (6,7)
    move(6, 7, 6, 6);
    ASSERT_NE(game.view().turn.SHOSHA, 0);
    game.menu("REPLAY");
    EXPECT_EQ(game.view().turn.SHOSHA, 0);
    EXPECT_EQ(game.view().pos.BAN[6][6], 80);
    EXPECT_EQ(game.view().pos.BAN[6][7], -10);
}

TEST_F(Replay, TurningTheBoardKeepsTheHandsInTheirColumns) {
    game.menu("START");
    move(5, 7, 5, 6);  // the lower pawn ends on (9,6); (1,7) is left empty
    edit_position([](Position& p) {
        p.MOCHI_UE_KOMA[7] = 10;
        p.MOCHI_UE_KAZU[7] = 2;
        p.MOCHI_UE_GOKEI = 2;
        p.MOCHI_SITA_KOMA[7] = -60;
        p.MOCHI_SITA_KAZU[7] = 1;
        p.MOCHI_SITA_GOKEI = 1;
    });
    ASSERT_EQ(game.view().turn.TEBAN, -1);
    game.menu("REVERSE");
    EXPECT_EQ(game.view().pos.MOCHI_UE_KOMA[7], 10);
    EXPECT_EQ(game.view().pos.MOCHI_UE_KAZU[7], 2);
    EXPECT_EQ(game.view().pos.MOCHI_SITA_KOMA[7], -60);
    EXPECT_EQ(game.view().pos.MOCHI_SITA_KAZU[7], 1);
    EXPECT_EQ(game.view().turn.TEBAN, 1);
    EXPECT_EQ(game.view().kifu.hanten(), 1);
    EXPECT_EQ(game.view().kifu.kifu_tesu(), 0);
    EXPECT_EQ(game.view().kifu.kifu_saigo(), 0);
    // Half a turn with the colours exchanged: the lower pawns of column 7
    // become upper pawns of column 3, upside down, and fall to close the gap
    // that is now at the bottom; the lone pawn of column 6 becomes an upper
    // pawn at the top of column 4 and falls to the bottom.
    EXPECT_EQ(column(3), ". 10 10 10 10 10 10 10 10");
    EXPECT_EQ(column(4), ". . . . . . . . 10");
    EXPECT_EQ(column(6), ". . . . . . . . .");
    EXPECT_EQ(column(7), "-10 -10 -10 -10 -10 -10 -10 -10 -10");
    EXPECT_EQ(column(1), "20 30 40 50 80 50 40 30 20");
}

TEST_F(Replay, TurningTheBoardInRecordModeIsRefused) {
    read_back_record();
    game.menu("REVERSE");
    EXPECT_EQ(last_message().text, "棋譜ﾓｰﾄﾞではできません");
    EXPECT_EQ(last_message().title, "反転");
    EXPECT_EQ(game.view().kifu.hanten(), 0);
    EXPECT_EQ(column(5), ". . . . . . . . .");
}

TEST_F(Replay, RecordModeEndsWithoutTheRefusalSound) {
    three_moves();
    read_back_record();
    for (int n = 0; n < 3; ++n) game.menu("AFTER");
    const int refusals = sounds(KINSHI_WAV);
    game.menu("AFTER");
    EXPECT_EQ(last_message().text, "終わり");
    EXPECT_EQ(last_message().title, "進む");
    EXPECT_EQ(sounds(KINSHI_WAV), refusals);
}

// A click while a record is stepped asks whether to go on stepping: Yes
// leaves everything as it is, No leaves record mode for a new game.
TEST_F(Replay, ClickInRecordModeAsksAndNoStartsANewGame) {
    three_moves();
    read_back_record();
    for (int n = 0; n < 3; ++n) game.menu("AFTER");
    const Position before = game.view().pos;
    port.answers = {MsgAnswer::Yes, MsgAnswer::No};
    click(5, 7);
    EXPECT_EQ(last_message().text, "棋譜を '進 'で進めて下さい");
    EXPECT_EQ(last_message().title, "棋譜");
    EXPECT_EQ(last_message().buttons, MsgButtons::YesNo);
    EXPECT_EQ(game.view().kifu.kifu_mode(), 1);
    EXPECT_EQ(game.view().kifu.tesu(), 3);
    EXPECT_EQ(game.view().turn.SENTAKU, 0);
    EXPECT_EQ(game.view().pos.BAN[9][6], before.BAN[9][6]);

    const int refusals = sounds(KINSHI_WAV);
    port.clear();
    click(5, 7);
    EXPECT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(sounds(KINSHI_WAV), refusals + 1);
    EXPECT_EQ(game.view().kifu.kifu_mode(), 0);
    EXPECT_EQ(game.view().turn.TEBAN, 0);
    EXPECT_EQ(game.view().kifu.tesu(), 0);
    EXPECT_EQ(game.view().kifu.kifu_tesu(), 0);
    EXPECT_EQ(column(9), "-20 -30 -40 -50 -80 -50 -40 -30 -20");
    EXPECT_EQ(column(8), ". -60 . . . . . -70 .");  // the opening, before its fall
    // The new game was drawn in full, title last.
    ASSERT_FALSE(port.ops.empty());
    EXPECT_EQ(port.ops.back().kind, HeadlessPort::OpKind::Picture);
    EXPECT_EQ(port.ops.back().code, TITLE_GA);
}

TEST_F(Replay, AGameLongerThanTheRecordKeepsBeingRecorded) {
    game.menu("START");
    edit_position([](Position& p) {
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) p.BAN[x][y] = 0;
        p.BAN[9][1] = 80;
        p.BAN[9][9] = -80;
    });
    // Both kings shuffle along the bottom row: 520 moves.
    for (int i = 0; i < 260; ++i) {
        const int ly = i % 2 == 0 ? 9 : 8;
        move(9, ly, 9, 17 - ly);
        const int uy = i % 2 == 0 ? 1 : 2;
        move(9, uy, 9, 3 - uy);
    }
    ASSERT_EQ(game.view().kifu.tesu(), 520);
    EXPECT_EQ(game.view().kifu.kifu_saigo(), 520);
    EXPECT_EQ(game.view().kifu.kifu_tesu(), 520);
    game.menu("REPLAY");
    EXPECT_EQ(game.view().pos.BAN[9][2], 80);  // before the last upper move
    EXPECT_EQ(game.view().pos.BAN[9][9], -80);
    game.menu("REPLAY");
    EXPECT_EQ(game.view().pos.BAN[9][8], -80);
    game.menu("AFTER");
    EXPECT_EQ(game.view().pos.BAN[9][9], -80);
}

}  // namespace
}  // namespace zemtori::test
