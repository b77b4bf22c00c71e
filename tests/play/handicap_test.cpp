// The handicap ladder: △ and ▽ before the first move, their refusals, the
// caption, and turning the board with a handicap set.
#include "play_fixture.h"


namespace zemtori::test {
namespace {

using Handicap = PlayTest;

TEST_F(Handicap, UpElevenTimesThenDownTakesAndRestoresPiecesInTurn) {
    const int squares[10][3] = {{8, 2, 60}, {2, 2, 70}, {9, 1, 20}, {1, 1, 20}, {8, 1, 30},
                                {2, 1, 30}, {7, 1, 40}, {3, 1, 40}, {6, 1, 50}, {4, 1, 50}};
    for (const auto& [x, y, code] : squares) {
        ASSERT_EQ(game.view().pos.BAN[x][y], code);
        game.menu("LBEL_UP");
        EXPECT_EQ(game.view().pos.BAN[x][y], 0);
        EXPECT_EQ(port.picture_at_twips(grid_x(y), grid_y(x)), 0);
    }
    EXPECT_EQ(texts().back(), "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:12級");
    const std::string board = board_to_text(game.view().pos);
    port.clear();
    game.menu("LBEL_UP");  // the top rung: nothing changes
    EXPECT_EQ(game.view().handicap.dan(), 10);
    EXPECT_EQ(board_to_text(game.view().pos), board);
    EXPECT_TRUE(texts().empty());
    EXPECT_EQ(sounds(KOMA_WAV), 10);
    // Back down from rung 3: the lance on (9, 1), the rook, the bishop.
    game.menu("CANCEL");
    for (int i = 0; i < 3; ++i) game.menu("LBEL_UP");
    for (int i = 2; i >= 0; --i) {
        game.menu("LEBEL_DOWN");
        EXPECT_EQ(game.view().pos.BAN[squares[i][0]][squares[i][1]], squares[i][2]);
    }
    EXPECT_EQ(board_to_text(game.view().pos), board_to_text(opening_position()));
    game.menu("LEBEL_DOWN");  // below the even game the human's bishop goes
    EXPECT_EQ(game.view().pos.BAN[2][8], 0);
    EXPECT_EQ(texts().back(), "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:１級");
}

TEST_F(Handicap, RefusedAfterAMoveInRecordModeOnATurnedBoardAndAfterAStartCommand) {
    struct Case {
        const char* setup;
        const char* reason;
    };
    const Case cases[] = {
        {"move", "対局途中ではできません"},
        {"record", "棋譜ﾓｰﾄﾞではできません"},
        {"REVERSE", "反転後ではできません"},
        // A start command lets the opening fall: the rung table's squares no
        // longer hold its pieces, so the ladder is closed until a new game.
        {"START", "対局途中ではできません"},
        {"SENTE", "対局途中ではできません"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setup);
        game.menu("CANCEL");
        const std::string setup = c.setup;
        if (setup == "move") {
            game.menu("START");
            move(5, 7, 5, 6);
        } else if (setup == "record") {
            read_back_record();
        } else {
            game.menu(setup);
        }
        for (const char* step : {"LBEL_UP", "LEBEL_DOWN"}) {
            sound.heard.clear();
            const std::string board = board_to_text(game.view().pos);
            game.menu(step);
            EXPECT_EQ(last_message().text, std::string(c.reason) + "\r\r局面→最初にして下さい");
            EXPECT_EQ(last_message().title, "ﾊﾝﾃﾞｨｷｬｯﾌﾟ設定");
            EXPECT_EQ(sound.heard, std::vector<std::string>{KINSHI_WAV});
            EXPECT_EQ(board_to_text(game.view().pos), board);
            EXPECT_EQ(game.view().handicap.settei(), 0);
        }
    }
    // After the next new game the ladder is open again, and a rung set before
    // スタート stays set through it.
    game.menu("CANCEL");
    game.menu("LBEL_UP");
    EXPECT_EQ(game.view().pos.BAN[8][2], 0);
    game.menu("START");
    EXPECT_EQ(game.view().handicap.dan(), 1);
    EXPECT_EQ(game.view().handicap.settei(), 1);
}

TEST_F(Handicap, BlocksSavingStaysClearOfTheTitleAndFlipsWithTheBoard) {
    for (int i = 0; i < 3; ++i) game.menu("LBEL_UP");
    game.menu("KIFU_WRITE");
    EXPECT_EQ(last_message().text, "ﾊﾝﾃﾞｷｬｯﾌﾟ設定後は書き込みできません");
    EXPECT_FALSE(port.record_controls[RecordControl::SavePanel]);
    // The order in which the caption (C) and the title plate (T) are painted.
    auto order = [this](const std::string& caption) {
        std::string seq;
        for (const auto& op : port.ops) {
            if (op.kind == HeadlessPort::OpKind::Picture && op.code == 1) seq += 'T';
            if (op.kind == HeadlessPort::OpKind::Text && op.text == caption) seq += 'C';
        }
        return seq;
    };
    // The caption's cells: row 5, columns 13..15, below the plate and right
    // of the lower hand's counts; nothing is tiled inside the plate.
    port.clear();
    game.menu("LBEL_UP");
    for (int c = 11; c <= 16; ++c) EXPECT_FALSE(port.picture_at_twips(grid_x(c), grid_y(1)).has_value()) << c;
    for (int c = 13; c <= 15; ++c) EXPECT_EQ(port.picture_at_twips(grid_x(c), grid_y(5)), HAIKEI_MIDORI) << c;
    EXPECT_EQ(texts().back(), "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:６級");
    port.clear();
    game.gamen_hyouji();
    EXPECT_EQ(order("ﾊﾝﾃﾞｨｷｬｯﾌﾟ:６級"), "CCT");
    port.clear();
    game.menu("REVERSE");  // the mirror rung, shown again after the redraw
    EXPECT_EQ(game.view().handicap.dan(), -4);
    EXPECT_EQ(order("ﾊﾝﾃﾞｨｷｬｯﾌﾟ:３段"), "TCC");
}

}  // namespace
}  // namespace zemtori::test
