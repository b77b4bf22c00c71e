// Stepping through the end of a game and back: the final position of a
// finished game is finished again when stepped onto, every other entry is
// played by the side whose turn it is there, and a record of its own starts
// after the board is turned.
#include "play_fixture.h"

#include <algorithm>

namespace zemtori::test {
namespace {

struct FinishedGame : PlayTest {
    std::vector<std::string> shown() const {
        std::vector<std::string> t;
        for (const auto& m : port.messages) t.push_back(m.text);
        return t;
    }
    // Only the pieces given, nothing in either hand.
    void set_board(const Position& p) {
        Position q = game.view().pos;
        std::copy(&p.BAN[0][0], &p.BAN[0][0] + 100, &q.BAN[0][0]);
        GameSetup::set_position(game, q);
    }
    const TurnState& turn() const { return game.view().turn; }

    // What the end of a game leaves: clicks ask for a new game and select
    // nothing, 進 has nothing more to show.
    void expect_refused_as_after_the_end() {
        const int tesu = game.view().kifu.tesu();
        click(9, 9);
        EXPECT_EQ(last_message().text, "新規に対局してください");
        EXPECT_FALSE(turn().SENTAKU);
        game.menu("AFTER");
        EXPECT_EQ(last_message().text, "できません");
        EXPECT_EQ(last_message().title, "進む");
        EXPECT_EQ(game.view().kifu.tesu(), tesu);
    }
};

// The computer takes the person's king; 戻 reopens the game, and 進 returns
// to the computer's win.
TEST_F(FinishedGame, TheComputersWinComesBackWithTheFinalPosition) {
    set_board(board_with({{9, 1, 80}, {9, 4, -10}, {9, 6, 60}, {8, 8, 50}, {9, 8, 70}, {9, 9, -80}}));
    GameSetup::computer_to_move(game);
    game.com_ban();
    ASSERT_EQ(turn().SHOSHA, turn().COM_GAWA);
    const Position final_position = game.view().pos;

    game.menu("REPLAY");
    EXPECT_EQ(turn().SHOSHA, NASHI);
    EXPECT_EQ(turn().TEBAN, turn().COM_GAWA) << "the computer was to move before its winning move";
    port.messages.clear();
    game.menu("AFTER");
    EXPECT_EQ(board_to_text(game.view().pos), board_to_text(final_position));
    EXPECT_EQ(turn().SHOSHA, turn().COM_GAWA);
    EXPECT_EQ(shown(), std::vector<std::string>{"ｺﾝﾋﾟｭｰﾀの勝ちです"});
    EXPECT_EQ(last_message().title, "終了");
    expect_refused_as_after_the_end();
    EXPECT_EQ(game.view().pos.BAN[9][9], final_position.BAN[9][9]) << "no piece of the person moved";

    // 戻 steps back as usual, and the computer plays its move once more.
    game.menu("REPLAY");
    port.messages.clear();
    click(9, 4);
    EXPECT_EQ(shown().front(), "OKですか？");
    EXPECT_EQ(game.view().kifu.tesu(), 1);
    EXPECT_EQ(turn().SHOSHA, turn().COM_GAWA);
}

// Between two people the capture of a king ends the game; stepping back and
// forth over the capture ends it again, and stepping back gives the turn to
// the side to move there.
TEST_F(FinishedGame, AKingTakenBetweenTwoPeopleStaysTaken) {
    game.menu("START");
    set_board(board_with({{9, 1, 80}, {9, 3, -70}, {9, 9, -80}}));
    move(9, 9, 9, 8);  // 先手 (the lower side)
    move(9, 1, 9, 2);  // 後手 steps its king next to the rook
    move(9, 3, 9, 2);  // 先手 takes it
    ASSERT_EQ(turn().SHOSHA, turn().MAN_GAWA);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        game.menu("REPLAY");
        EXPECT_EQ(turn().SHOSHA, NASHI);
        EXPECT_EQ(turn().TEBAN, SENTE_GAWA) << "先手 was to move before taking the king";
        game.menu("REPLAY");
        EXPECT_EQ(turn().TEBAN, GOTE_GAWA);
        game.menu("AFTER");
        EXPECT_EQ(turn().TEBAN, SENTE_GAWA);
        port.messages.clear();
        game.menu("AFTER");
        EXPECT_EQ(turn().SHOSHA, turn().MAN_GAWA);
        EXPECT_EQ(shown(), std::vector<std::string>{"先手の勝ちです"});
        expect_refused_as_after_the_end();
    }
    // A start command after the end begins a new game.
    game.menu("START");
    EXPECT_EQ(game.view().kifu.tesu(), 0);
    EXPECT_EQ(game.view().pos.BAN[5][9], -OU);
}

// A file whose last entry has lost a king: stepping onto that entry ends the
// game, and 先手 there starts a new one instead of playing on without a king.
TEST_F(FinishedGame, AFileThatEndsWithoutAKingEndsItsGame) {
    game.menu("START");
    set_board(board_with({{9, 1, 80}, {9, 3, -70}, {9, 9, -80}}));
    move(9, 9, 9, 8);
    move(9, 1, 9, 2);
    move(9, 3, 9, 2);
    read_back_record();
    game.menu("AFTER");
    game.menu("AFTER");
    EXPECT_EQ(turn().SHOSHA, NASHI);
    port.messages.clear();
    game.menu("AFTER");
    EXPECT_NE(turn().SHOSHA, NASHI);
    EXPECT_EQ(shown(), std::vector<std::string>{"先手の勝ちです"});
    game.menu("AFTER");
    EXPECT_EQ(last_message().text, "終わり");

    port.messages.clear();
    game.menu("SENTE");
    EXPECT_EQ(shown(), std::vector<std::string>{"MANの番です"});
    EXPECT_EQ(last_message().title, " ") << "a new game, not the old one continued";
    EXPECT_EQ(game.view().kifu.tesu(), 0);
    EXPECT_EQ(turn().SHOSHA, NASHI);
    EXPECT_EQ(game.view().pos.BAN[5][9], -OU);
    EXPECT_EQ(game.view().pos.BAN[9][1], 20) << "the opening, fallen";
}

// After the person mates the computer's king, 戻 gives the turn back to the
// person, who was to move there: the computer never moves twice in a row.
TEST_F(FinishedGame, StepBackAfterAMateWinIsThePersonsTurn) {
    set_board(board_with({{9, 2, 80}, {9, 4, 10}, {8, 4, -20}, {8, 6, -10}, {9, 6, -70}, {9, 7, -80}}));
    game.menu("SENTE");
    move(9, 6, 9, 4);
    ASSERT_EQ(turn().SHOSHA, turn().MAN_GAWA);
    ASSERT_EQ(game.view().kifu.tesu(), 1);

    game.menu("REPLAY");
    EXPECT_EQ(turn().TEBAN, turn().MAN_GAWA);
    port.messages.clear();
    click(9, 6);
    EXPECT_EQ(shown(), std::vector<std::string>{"MANの番です"});
    EXPECT_EQ(game.view().kifu.tesu(), 0) << "the computer did not move";
    EXPECT_TRUE(turn().SENTAKU) << "the click selected the person's rook";

    // Forward again: the mate is the end of the game once more.
    port.messages.clear();
    game.menu("AFTER");
    EXPECT_EQ(turn().SHOSHA, turn().MAN_GAWA);
    EXPECT_EQ(shown(), std::vector<std::string>{"あなたの勝ちです"});
    expect_refused_as_after_the_end();
}

// After 反転 a start command starts a record of its own: 進 has nothing to
// show, while the move count goes on from the moves played before.
TEST_F(FinishedGame, AStartAfterTurningTheBoardStartsItsOwnRecord) {
    for (const char* command : {"START", "SENTE", "GOTE"}) {
        SCOPED_TRACE(command);
        game.menu("CANCEL");
        game.menu("START");
        move(5, 7, 5, 6);
        move(1, 3, 1, 4);
        move(2, 7, 2, 6);
        game.menu("REVERSE");
        EXPECT_EQ(game.view().kifu.tesu(), 3);
        game.menu(command);
        EXPECT_EQ(game.view().kifu.kifu_saigo(), 0);
        const Position turned = game.view().pos;
        game.menu("AFTER");
        EXPECT_EQ(last_message().text, "できません");
        EXPECT_EQ(last_message().title, "進む");
        EXPECT_EQ(board_to_text(game.view().pos), board_to_text(turned));
        EXPECT_EQ(game.view().kifu.tesu(), 3);
        game.menu("REPLAY");
        EXPECT_EQ(last_message().text, "できません");
        EXPECT_EQ(last_message().title, "戻る");
    }
}

}  // namespace
}  // namespace zemtori::test
