// The handicap ladder: △ and ▽ before the first move, their refusals, the
// caption, and turning the board with a handicap set.
#include "play_fixture.h"

#include "sound/effects.h"

namespace zemtori::test {
namespace {

struct Handicap : PlayTest {
    // The captions printed, in order, since the log was last cleared.
    std::vector<std::string> captions() const {
        std::vector<std::string> out;
        for (const std::string& t : texts())
            if (t.rfind("ﾊﾝﾃﾞｨｷｬｯﾌﾟ:", 0) == 0) out.push_back(t);
        return out;
    }
    // The index in the log of the first text `text`, or of the title picture.
    long index_of_text(const std::string& text) const {
        for (std::size_t i = 0; i < port.ops.size(); ++i)
            if (port.ops[i].kind == HeadlessPort::OpKind::Text && port.ops[i].text == text) return static_cast<long>(i);
        return -1;
    }
    long index_of_title() const {
        for (std::size_t i = 0; i < port.ops.size(); ++i)
            if (port.ops[i].kind == HeadlessPort::OpKind::Picture && port.ops[i].code == 1) return static_cast<long>(i);
        return -1;
    }
};

struct Step {
    int x, y, before, after;  // the square that changes, and its codes
};

TEST_F(Handicap, UpElevenTimesTakesTheUpperPiecesInTurn) {
    const Step steps[] = {{8, 2, 60, 0}, {2, 2, 70, 0}, {9, 1, 20, 0}, {1, 1, 20, 0}, {8, 1, 30, 0},
                          {2, 1, 30, 0}, {7, 1, 40, 0}, {3, 1, 40, 0}, {6, 1, 50, 0}, {4, 1, 50, 0}};
    const char* const names[] = {"３級", "４級", "５級", "６級", "７級", "８級", "９級", "10級", "11級", "12級"};
    for (int i = 0; i < 10; ++i) {
        const Step& s = steps[i];
        ASSERT_EQ(game.pos.BAN[s.x][s.y], s.before) << "rung " << i + 1;
        port.clear();
        game.menu("LBEL_UP");
        EXPECT_EQ(game.HANDE_DAN, i + 1);
        EXPECT_EQ(game.pos.BAN[s.x][s.y], s.after) << "rung " << i + 1;
        EXPECT_EQ(port.picture_at_twips(grid_x(s.y), grid_y(s.x)), s.after);
        EXPECT_EQ(captions(), (std::vector<std::string>{std::string("ﾊﾝﾃﾞｨｷｬｯﾌﾟ:") + names[i],
                                                        std::string("ﾊﾝﾃﾞｨｷｬｯﾌﾟ:") + names[i]}));
    }
    EXPECT_EQ(sounds(KOMA_WAV), 10);
    // The eleventh press changes nothing, but the ladder stays set.
    const std::string board = board_to_text(game.pos);
    port.clear();
    game.menu("LBEL_UP");
    EXPECT_EQ(game.HANDE_DAN, 10);
    EXPECT_EQ(board_to_text(game.pos), board);
    EXPECT_TRUE(captions().empty());
    EXPECT_EQ(sounds(KOMA_WAV), 10);
    EXPECT_EQ(game.HANDE_SETTEI, 1);
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(Handicap, DownFromThreeBackToTheEvenGameRestoresLanceRookBishop) {
    for (int i = 0; i < 3; ++i) game.menu("LBEL_UP");
    const Step steps[] = {{9, 1, 0, 20}, {2, 2, 0, 70}, {8, 2, 0, 60}};
    for (const Step& s : steps) {
        game.menu("LEBEL_DOWN");
        EXPECT_EQ(game.pos.BAN[s.x][s.y], s.after);
    }
    EXPECT_EQ(game.HANDE_DAN, 0);
    EXPECT_EQ(board_to_text(game.pos), board_to_text(opening_position()));
    // Below the even game the human's pieces go, the mirror of the upper ones.
    game.menu("LEBEL_DOWN");
    EXPECT_EQ(game.pos.BAN[2][8], 0);
    game.menu("LEBEL_DOWN");
    EXPECT_EQ(game.pos.BAN[8][8], 0);
    for (int i = 0; i < 9; ++i) game.menu("LEBEL_DOWN");
    EXPECT_EQ(game.HANDE_DAN, -10);
    for (const auto& [x, y] : {std::pair{1, 9}, {9, 9}, {2, 9}, {8, 9}, {3, 9}, {7, 9}, {4, 9}, {6, 9}})
        EXPECT_EQ(game.pos.BAN[x][y], 0) << x << "," << y;
    EXPECT_EQ(game.pos.BAN[5][9], -80);
    port.clear();
    game.menu("LBEL_UP");  // back to ８段: the gold of (6, 9) returns
    EXPECT_EQ(game.pos.BAN[6][9], -50);
    EXPECT_EQ(captions().front(), "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:８段");
}

TEST_F(Handicap, RefusedInRecordModeDuringAGameAndOnATurnedBoard) {
    struct Case {
        const char* what;
        const char* reason;
    };
    const Case cases[] = {{"a move", "対局途中ではできません"},
                          {"record mode", "棋譜ﾓｰﾄﾞではできません"},
                          {"turned", "反転後ではできません"}};
    for (const Case& c : cases) {
        game.menu("CANCEL");
        const std::string what = c.what;
        if (what == "a move") {
            game.menu("START");
            move(5, 7, 5, 6);
        } else if (what == "record mode") {
            game.turn.KIFU_MODE = 1;
        } else {
            game.menu("REVERSE");
        }
        for (const char* cmd : {"LBEL_UP", "LEBEL_DOWN"}) {
            game.sound_log.clear();
            port.clear();
            const std::string board = board_to_text(game.pos);
            const int saigo = game.kifu.KIFU_SAIGO;
            game.menu(cmd);
            ASSERT_EQ(port.messages.size(), 1u) << what;
            EXPECT_EQ(last_message().text, std::string(c.reason) + "\r\r局面→最初にして下さい") << what;
            EXPECT_EQ(last_message().title, "ﾊﾝﾃﾞｨｷｬｯﾌﾟ設定");
            EXPECT_EQ(game.sound_log, std::vector<std::string>{KINSHI_WAV}) << what;
            EXPECT_EQ(board_to_text(game.pos), board);
            EXPECT_EQ(game.kifu.KIFU_SAIGO, saigo);
            EXPECT_EQ(game.HANDE_SETTEI, 0);
        }
    }
    // After a start command, before the first move, the ladder still works.
    game.menu("CANCEL");
    game.menu("START");
    game.menu("LBEL_UP");
    EXPECT_EQ(game.HANDE_DAN, 1);
}

TEST_F(Handicap, ASetHandicapBlocksSavingAndGivesUpTheRecord) {
    game.menu("START");
    move(5, 7, 5, 6);
    move(1, 3, 1, 4);
    game.menu("CANCEL");
    ASSERT_EQ(game.kifu.KIFU_SAIGO, 1);
    game.menu("LEBEL_DOWN");
    EXPECT_EQ(game.kifu.KIFU_SAIGO, 0);
    game.menu("KIFU_WRITE");
    EXPECT_EQ(last_message().text, "ﾊﾝﾃﾞｷｬｯﾌﾟ設定後は書き込みできません");
    EXPECT_EQ(last_message().title, "棋譜書込");
    EXPECT_FALSE(port.record_controls[RecordControl::SavePanel]);
    // A new game takes the handicap away.
    game.menu("CANCEL");
    EXPECT_EQ(game.HANDE_DAN, 0);
    EXPECT_EQ(game.HANDE_SETTEI, 0);
    EXPECT_EQ(board_to_text(game.pos), board_to_text(opening_position()));
}

TEST_F(Handicap, TheCaptionLiesUnderTheTitleAndTurningTheBoardFlipsTheRung) {
    for (int i = 0; i < 3; ++i) game.menu("LBEL_UP");
    // The full redraw paints the caption, then the title plate over it.
    port.clear();
    game.gamen_hyouji();
    ASSERT_GE(index_of_text("ﾊﾝﾃﾞｨｷｬｯﾌﾟ:５級"), 0);
    EXPECT_LT(index_of_text("ﾊﾝﾃﾞｨｷｬｯﾌﾟ:５級"), index_of_title());
    const HeadlessPort::Op& shadow = port.ops[static_cast<std::size_t>(index_of_text("ﾊﾝﾃﾞｨｷｬｯﾌﾟ:５級"))];
    EXPECT_DOUBLE_EQ(shadow.x, grid_x(11.1) + 120);
    EXPECT_DOUBLE_EQ(shadow.y, grid_y(1.1) + 160);
    EXPECT_EQ(shadow.code, 0);
    EXPECT_EQ(shadow.size, 10);
    // Turning: the mirror rung, and its caption shown after the redraw.
    port.clear();
    game.menu("REVERSE");
    EXPECT_EQ(game.HANDE_DAN, -3);
    EXPECT_EQ(captions().back(), "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:２段");
    EXPECT_GT(index_of_text("ﾊﾝﾃﾞｨｷｬｯﾌﾟ:２段"), index_of_title());
    // No handicap, no caption.
    game.menu("CANCEL");
    port.clear();
    game.menu("REVERSE");
    EXPECT_TRUE(captions().empty());
    EXPECT_EQ(game.HANDE_DAN, 0);
}

}  // namespace
}  // namespace zemtori::test
