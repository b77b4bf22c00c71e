// The end of a game in the real window, stepped over with 戻 and 進 from the
// menu: the final position is finished again, and a step back leaves the
// move to the side whose turn it is there.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>

#include <algorithm>
#include <string>

#include "app/game_wiring.h"
#include "port/geometry.h"
#include "qt/canvas.h"
#include "qt/main_window.h"
#include "play/game.h"
#include "sound/effects.h"
#include "qt_test_support.h"
#include "test_support.h"

namespace zemtori {
namespace {

class FinishedGameInWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
        connect_game(window, game);
        game.load();
    }
    void TearDown() override { disconnect_game(window); }

    void click_square(int x, int y) {
        test::press_board_square(window.canvas(), x, y);
    }
    void move(int fx, int fy, int tx, int ty) {
        click_square(fx, fy);
        click_square(tx, ty);
    }
    // Only these pieces on the board, nothing in the hands.
    void set_board(const Position& board) {
        Position p = game.view().pos;
        std::copy(&board.BAN[0][0], &board.BAN[0][0] + 100, &p.BAN[0][0]);
        GameSetup::set_position(game, p);
    }
    // The boxes shown since the last look, and nothing more.
    std::vector<std::string> boxes() {
        QCoreApplication::processEvents();
        std::vector<std::string> seen = std::move(ok.seen);
        ok.seen.clear();
        return seen;
    }

    MainWindow window{menu_entries()};
    SoundEffects sound{window, ZEMTORI_TEST_DATA_DIR};
    Game game{window, sound};
    test::OkToEveryBox ok;
};

TEST_F(FinishedGameInWindow, AKingTakenStaysTakenWhenSteppedOntoAgain) {
    window.action("START")->trigger();
    set_board(test::board_with({{9, 1, 80}, {9, 3, -70}, {9, 9, -80}}));
    move(9, 9, 9, 8);
    move(9, 1, 9, 2);
    move(9, 3, 9, 2);  // 先手 takes 後手's king
    ASSERT_NE(game.view().turn.SHOSHA, NASHI);
    boxes();

    window.action("REPLAY")->trigger();
    window.action("AFTER")->trigger();
    EXPECT_EQ(boxes(), std::vector<std::string>{"先手の勝ちです"});
    click_square(9, 8);
    EXPECT_EQ(boxes(), std::vector<std::string>{"新規に対局してください"});
    EXPECT_EQ(game.view().pos.BAN[9][8], -OU) << "the king the click met did not move";
    EXPECT_FALSE(game.view().turn.SENTAKU);
    window.action("AFTER")->trigger();
    EXPECT_EQ(boxes(), std::vector<std::string>{"できません"});
}

TEST_F(FinishedGameInWindow, AfterAMateWinAStepBackIsThePersonsTurn) {
    set_board(test::board_with({{9, 2, 80}, {9, 4, 10}, {8, 4, -20}, {8, 6, -10}, {9, 6, -70}, {9, 7, -80}}));
    window.action("LEVEL1")->trigger();
    window.action("SENTE")->trigger();
    move(9, 6, 9, 4);
    EXPECT_EQ(boxes(), (std::vector<std::string>{"MANの番です", "あなたの勝ちです"}));

    window.action("REPLAY")->trigger();
    click_square(9, 6);
    EXPECT_EQ(boxes(), std::vector<std::string>{"MANの番です"}) << "no OKですか？: the computer does not move";
    EXPECT_EQ(game.view().kifu.tesu(), 0);
    EXPECT_EQ(game.view().pos.BAN[9][2], OU);
    EXPECT_TRUE(game.view().turn.SENTAKU);
}

}  // namespace
}  // namespace zemtori
