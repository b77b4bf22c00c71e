// Two people at one mouse: a whole game, refusals, promotion and drops.
#include <functional>
#include "play_fixture.h"

#include <algorithm>


namespace zemtori::test {
namespace {

using TwoPlayers = PlayTest;

TEST_F(TwoPlayers, NewGameHoldsTheOpeningPositionAndNoGameIsRunning) {
    int upper = 0, lower = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const int c = game.view().pos.BAN[x][y];
            upper += c >= 10;
            lower += c <= -10;
            EXPECT_NE(c % 10, 1) << "promoted piece at " << x << "," << y;
        }
    EXPECT_EQ(upper, 20);
    EXPECT_EQ(lower, 20);
    EXPECT_EQ(game.view().pos.MOCHI_UE_GOKEI + game.view().pos.MOCHI_SITA_GOKEI, 0);
    EXPECT_EQ(game.view().turn.TEBAN, 0);
    EXPECT_EQ(game.view().kifu.tesu(), 0);
    EXPECT_TRUE(port.menu_checked("LEVEL3"));
    EXPECT_TRUE(port.menu_checked("MIDORI"));
    // The full redraw paints the title last.
    ASSERT_FALSE(port.ops.empty());
    EXPECT_EQ(port.ops.back().kind, HeadlessPort::OpKind::Picture);
    EXPECT_EQ(port.ops.back().code, TITLE_GA);
    EXPECT_DOUBLE_EQ(port.ops.back().y, grid_y(-0.2));
}

TEST_F(TwoPlayers, NewGameInTheMiddleOfAGameKeepsLevelAndSidesButStopsPlay) {
    game.menu("START");
    move(5, 7, 5, 6);
    game.menu("LEVEL2");
    game.menu("CANCEL");
    EXPECT_EQ(game.view().turn.TEBAN, 0);
    EXPECT_EQ(game.view().turn.COM_TAISEN, 0);
    EXPECT_EQ(game.view().engine.COM_LEVEL, 2);
    EXPECT_EQ(game.view().turn.MAN_GAWA, 1);
    EXPECT_EQ(game.view().turn.COM_GAWA, -1);
    EXPECT_EQ(game.view().pos.BAN[5][7], -10);
    click(5, 7);
    EXPECT_EQ(last_message().text, "「対局」で始めて下さい");
}

// A whole game from the start command to a captured king, each board checked
// after its fall.
TEST_F(TwoPlayers, ScriptedGameEndsWithAKingCapture) {
    game.menu("START");
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(last_message().text, "先手の番です");
    EXPECT_EQ(last_message().title, " ");
    EXPECT_EQ(game.view().turn.TEBAN, 1);
    EXPECT_EQ(game.view().turn.MAN_GAWA, 1);
    // The opening fall: the lone pieces of columns 2 and 8 drop to the bottom.
    EXPECT_EQ(column(1), "20 30 40 50 80 50 40 30 20");
    EXPECT_EQ(column(2), ". . . . . . . 70 60");
    EXPECT_EQ(column(8), ". . . . . . . -60 -70");
    EXPECT_EQ(column(9), "-20 -30 -40 -50 -80 -50 -40 -30 -20");

    // 1. The lower pawn (5,7) steps to (5,6) and falls to the bottom; the
    //    pawns above its old square close the gap.
    port.clear();
    move(5, 7, 5, 6);
    EXPECT_EQ(column(6), ". . . . . . . . -10");
    EXPECT_EQ(column(7), ". -10 -10 -10 -10 -10 -10 -10 -10");
    EXPECT_EQ(game.view().kifu.tesu(), 1);
    EXPECT_EQ(game.view().turn.TEBAN, -1);
    EXPECT_EQ(sounds(KOMA_WAV), 1);
    std::vector<std::string> t = texts();
    ASSERT_GE(t.size(), 6u);
    // The move is written where it was made, before the fall: ４五歩.
    EXPECT_EQ(std::vector<std::string>(t.end() - 6, t.end()),
              (std::vector<std::string>{"４", "４", "五", "五", "歩", "歩"}));
    EXPECT_NE(std::find(t.begin(), t.end(), " 1 "), t.end());

    // 2. Upper pawn (1,3) to (1,4), falls to (9,4).
    port.clear();
    move(1, 3, 1, 4);
    EXPECT_EQ(column(3), ". 10 10 10 10 10 10 10 10");
    EXPECT_EQ(column(4), ". . . . . . . . 10");
    t = texts();
    EXPECT_EQ(std::vector<std::string>(t.end() - 6, t.end()),
              (std::vector<std::string>{"６", "６", "一", "一", "歩", "歩"}));
    EXPECT_EQ(game.view().turn.TEBAN, 1);

    // 3. Lower pawn along the bottom row: nothing falls.
    move(9, 6, 9, 5);
    EXPECT_EQ(column(5), ". . . . . . . . -10");
    EXPECT_EQ(column(6), ". . . . . . . . .");

    // 4. Upper knight jumps to the emptied top of column 3; the lance above
    //    the knight's old square falls into it.
    move(2, 1, 1, 3);
    EXPECT_EQ(column(1), ". 20 40 50 80 50 40 30 20");
    EXPECT_EQ(column(3), "30 10 10 10 10 10 10 10 10");

    // 5. Lower pawn (2,7) to (2,6), falls to the bottom of column 6.
    move(2, 7, 2, 6);
    EXPECT_EQ(column(6), ". . . . . . . . -10");
    EXPECT_EQ(column(7), ". . -10 -10 -10 -10 -10 -10 -10");

    // 6. The knight jumps into column 5 and lands on the lower pawn there.
    move(1, 3, 2, 5);
    EXPECT_EQ(column(5), ". . . . . . . 30 -10");
    EXPECT_EQ(column(3), ". 10 10 10 10 10 10 10 10");

    // 7. Lower pawn (3,7) to (3,6), lands on the pawn in column 6.
    move(3, 7, 3, 6);
    EXPECT_EQ(column(6), ". . . . . . . -10 -10");

    // 8. The knight takes the pawn on (7,7): a pawn for the upper hand.
    move(8, 5, 7, 7);
    EXPECT_EQ(column(5), ". . . . . . . . -10");
    EXPECT_EQ(column(7), ". . . -10 -10 -10 30 -10 -10");
    EXPECT_EQ(game.view().pos.MOCHI_UE_KOMA[7], 10);
    EXPECT_EQ(game.view().pos.MOCHI_UE_KAZU[7], 1);
    EXPECT_EQ(game.view().pos.MOCHI_UE_GOKEI, 1);

    // 9. The lower gold steps out of column 9; the king falls into its place,
    //    right where the knight attacks.
    move(6, 9, 6, 8);
    EXPECT_EQ(column(8), ". . . . . . -50 -60 -70");
    EXPECT_EQ(column(9), ". -20 -30 -40 -50 -80 -40 -30 -20");
    EXPECT_EQ(game.view().turn.SHOSHA, 0);

    // 10. The knight takes the king on the last column, where it must
    //     promote: the right button.  The upper side (後手) has won.
    port.messages.clear();
    move(7, 7, 6, 9, MIGI_BUTTON);
    EXPECT_EQ(game.view().turn.SHOSHA, -1);
    EXPECT_EQ(column(9), ". -20 -30 -40 -50 31 -40 -30 -20");
    EXPECT_EQ(column(7), ". . . . -10 -10 -10 -10 -10");
    EXPECT_EQ(game.view().pos.MOCHI_UE_KOMA[6], 80);
    EXPECT_EQ(game.view().pos.MOCHI_UE_KAZU[6], 1);
    EXPECT_EQ(game.view().kifu.tesu(), 10);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(last_message().text, "後手の勝ちです");
    EXPECT_EQ(last_message().title, "終了");

    // Every click afterwards asks for a new game and selects nothing.
    for (int i = 0; i < 3; ++i) {
        click(9, 5);
        EXPECT_EQ(last_message().text, "新規に対局してください");
        EXPECT_EQ(last_message().title, "終局");
        EXPECT_EQ(game.view().turn.SENTAKU, 0);
    }
    // A new start command sets up a fresh game first.
    game.menu("START");
    EXPECT_EQ(game.view().turn.SHOSHA, 0);
    EXPECT_EQ(game.view().kifu.tesu(), 0);
    EXPECT_EQ(column(9), "-20 -30 -40 -50 -80 -50 -40 -30 -20");
}

TEST_F(TwoPlayers, StartInTheMiddleOfAGameContinuesWithoutTheOldSelection) {
    game.menu("START");
    move(5, 7, 5, 6);
    click(5, 3);  // the upper side selects a pawn...
    ASSERT_EQ(game.view().turn.SENTAKU, 1);
    port.messages.clear();
    game.menu("START");  // ...and the game is continued from the menu, after a question
    ASSERT_EQ(port.messages.size(), 2u);
    EXPECT_EQ(port.messages[0].text, "対局中です。この局面から二人の対局として続けますか？");
    EXPECT_EQ(last_message().text, "後手の番です");
    EXPECT_EQ(game.view().turn.SENTAKU, 0);
    EXPECT_EQ(game.view().kifu.tesu(), 1);
    EXPECT_EQ(game.view().pos.BAN[9][6], -10);
    click(5, 4);  // where the old selection could have gone: nothing happens
    EXPECT_EQ(game.view().turn.SENTAKU, 0);
    EXPECT_EQ(game.view().kifu.tesu(), 1);
    EXPECT_EQ(game.view().pos.BAN[5][3], 10);
}

// The colour of the last outline drawn around grid cell (c, r), or -1.
int last_frame(const HeadlessPort& port, int c, int r) {
    for (auto it = port.ops.rbegin(); it != port.ops.rend(); ++it)
        if (it->kind == HeadlessPort::OpKind::Outline && it->x == grid_x(c) && it->y == grid_y(r))
            return it->code;
    return -1;
}

TEST_F(TwoPlayers, StartClearsAHandSelectionWithItsFrame) {
    game.menu("START");
    edit_position([](Position& p) {
        p.MOCHI_SITA_KOMA[7] = -40;
        p.MOCHI_SITA_KAZU[7] = 1;
        p.MOCHI_SITA_GOKEI = 1;
    });
    click_cell(11, 9);  // the lower hand's bottom slot
    ASSERT_EQ(game.view().turn.SENTAKU, 1);
    ASSERT_EQ(last_frame(port, 11, 9), game.view().screen.SENTAKU_IRO);
    game.menu("START");
    EXPECT_EQ(game.view().turn.SENTAKU, 0);
    EXPECT_EQ(last_frame(port, 11, 9), game.view().screen.WAKU_IRO);
    // The next board click selects afresh, with its frame.
    click(5, 7);
    EXPECT_EQ(game.view().turn.SENTAKU, 1);
    EXPECT_EQ(last_frame(port, 7, 5), game.view().screen.SENTAKU_IRO);
}

// A click waiting in the queue is handled an instant after the other side's
// turn ended: that move takes no time, at any reading of the clock, also just
// before midnight.
TEST_F(TwoPlayers, AMoveMadeAsItsTurnBeginsTakesNoTime) {
    for (const double reading : {36000.1, 0.3, 43210.987654, 86399.99, 86399.9999}) {
        SCOPED_TRACE(reading);
        game.menu("CANCEL");
        game.menu("START");
        move(5, 7, 5, 6);
        ASSERT_EQ(game.view().turn.TEBAN, -1);
        port.now = reading;
        game.menu("START");  // the upper side's turn starts now
        move(1, 3, 1, 4);
        ASSERT_EQ(game.view().kifu.tesu(), 2);
        EXPECT_LT(game.view().clock.com_jikan(), 0.01);
        const RecordEntry& e = game.view().kifu.entry(1);
        EXPECT_LT(e.MAN_ATO - e.MAN_MAE, 0.01);
    }
}

// Esc while the opening falls after スタート: the program ends there, and no
// box asks for the first move.
TEST_F(TwoPlayers, EscWhileTheOpeningFallsEndsTheStartThere) {
    int looks = 0;
    port.on_keep_alive = [&] {
        if (++looks == 1) game.key_press(ESC_KEY);
    };
    game.menu("START");
    EXPECT_EQ(looks, 1);
    EXPECT_TRUE(port.ended);
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(TwoPlayers, ClickBeforeAnyGameIsRefused) {
    click(5, 7);
    EXPECT_EQ(sounds(KINSHI_WAV), 1);
    EXPECT_EQ(last_message().text, "「対局」で始めて下さい");
    EXPECT_EQ(last_message().title, "開始");
    EXPECT_EQ(game.view().turn.SENTAKU, 0);
}

TEST_F(TwoPlayers, IllegalDestinationPlaysRefusalAndClearsHighlights) {
    game.menu("START");
    click(5, 7);
    EXPECT_EQ(game.view().turn.SENTAKU, 1);
    port.clear();
    click(5, 5);
    EXPECT_EQ(sounds(KINSHI_WAV), 1);
    EXPECT_EQ(game.view().turn.SENTAKU, 0);
    EXPECT_EQ(game.view().pos.BAN[5][7], -10);
    EXPECT_GE(outlines(game.view().screen.KESU_IRO), 81);
}

TEST_F(TwoPlayers, SelectingTheOpponentsPieceSelectsNothing) {
    game.menu("START");
    click(5, 3);  // upper pawn while the lower side is to move
    EXPECT_EQ(game.view().turn.SENTAKU, 0);
    click(5, 5);  // an empty square: nothing happens
    EXPECT_EQ(game.view().turn.SENTAKU, 0);
    EXPECT_EQ(sounds(KINSHI_WAV), 0);
    EXPECT_EQ(game.view().kifu.tesu(), 0);
}

TEST_F(TwoPlayers, ClickingAnotherOwnPieceMovesTheSelection) {
    game.menu("START");
    click(5, 7);
    click(4, 7);
    EXPECT_EQ(game.view().turn.SENTAKU, 1);
    EXPECT_EQ(game.view().turn.SASHITE.from_x, 4);
    click(4, 6);
    EXPECT_EQ(game.view().kifu.tesu(), 1);
    EXPECT_EQ(game.view().pos.BAN[5][7], -10);
}

TEST_F(TwoPlayers, GuidanceFramesEveryReachableSquare) {
    game.menu("START");
    game.menu("SIDOU");
    ASSERT_TRUE(game.options().IDOU_SIDOU);
    port.clear();
    click(9, 8);  // lower rook on the bottom row, blocked by its own pawn
    // Only (8,8) is reachable and it holds the own bishop: no square framed.
    EXPECT_EQ(outlines(SHIRO), 0);
    port.clear();
    click(8, 8);  // lower bishop: diagonals (7,7), (9,7), (7,9), (9,9) hold own pieces
    EXPECT_EQ(outlines(SHIRO), 0);
    port.clear();
    click(5, 7);  // a pawn: exactly one square ahead
    int guidance = 0;
    for (const auto& op : port.ops)
        if (op.kind == HeadlessPort::OpKind::Outline && op.code == SHIRO) {
            ++guidance;
            EXPECT_DOUBLE_EQ(op.x, grid_x(6));
            EXPECT_DOUBLE_EQ(op.y, grid_y(5));
        }
    EXPECT_EQ(guidance, 1);
}

TEST_F(TwoPlayers, CompulsoryPromotionNeedsTheRightButton) {
    game.menu("START");
    edit_position([](Position& p) { p.BAN[4][2] = -10; });  // a lower pawn one step from the last column
    click(4, 2);
    ASSERT_EQ(game.view().turn.SENTAKU, 1);
    for (int button : {HIDARI_BUTTON, NAKA_BUTTON}) {
        const size_t before = port.messages.size();
        click(4, 1, button);
        ASSERT_EQ(port.messages.size(), before + 1);
        EXPECT_EQ(last_message().text, "マウスの右をクリックして下さい");
        EXPECT_EQ(last_message().title, "成り");
        EXPECT_EQ(game.view().turn.SENTAKU, 1);
        EXPECT_EQ(game.view().pos.BAN[4][1], 50);
    }
    EXPECT_EQ(sounds(KINSHI_WAV), 2);
    click(4, 1, MIGI_BUTTON);
    EXPECT_EQ(game.view().pos.BAN[4][1], -11);
    EXPECT_EQ(game.view().pos.MOCHI_SITA_KOMA[7], -50);  // the captured gold
    EXPECT_EQ(game.view().kifu.tesu(), 1);
}

TEST_F(TwoPlayers, RightButtonPromotesOnlyWhereAllowedLeftNever) {
    game.menu("START");
    // The right button on a move that cannot promote simply moves.
    move(9, 7, 9, 6, MIGI_BUTTON);
    EXPECT_EQ(game.view().pos.BAN[9][6], -10);
    move(1, 3, 1, 4);  // upper pawn, falls to (9,4)
    ASSERT_EQ(game.view().pos.BAN[9][4], 10);
    // A lower silver on the bottom row enters the zone with the left button:
    // it stays a silver.
    edit_position([](Position& p) { p.BAN[9][6] = -40; });
    move(9, 6, 8, 5);  // nothing under (8,5): it falls to the bottom row
    EXPECT_EQ(game.view().pos.BAN[9][5], -40);
    move(2, 3, 1, 3);  // not an upper move: a pawn cannot go up; refused
    EXPECT_EQ(game.view().turn.TEBAN, -1);
    move(9, 4, 9, 5);  // the upper pawn takes the silver
    ASSERT_EQ(game.view().pos.MOCHI_UE_KOMA[7], 40);
    // The lower side plays its silver from the hand into the zone, then moves
    // it out of the zone with the right button: a silver leaving the zone
    // promotes.
    edit_position([](Position& p) {
        p.MOCHI_SITA_KOMA[7] = -40;
        p.MOCHI_SITA_KAZU[7] = 1;
        p.MOCHI_SITA_GOKEI = 1;
    });
    drop_sita(7, 9, 4);
    ASSERT_EQ(game.view().pos.BAN[9][4], -40);
    move(1, 1, 1, 2);  // upper lance steps forward and falls
    ASSERT_EQ(game.view().turn.TEBAN, 1);
    click(9, 4);
    click(8, 3, HIDARI_BUTTON);  // into the zone by the left button: no promotion
    EXPECT_EQ(game.view().pos.BAN[8][3], -40);
    move(5, 1, 5, 2);  // the upper king steps out and falls onto its lance
    ASSERT_EQ(game.view().turn.TEBAN, 1);
    click(8, 3);
    click(7, 4, MIGI_BUTTON);  // leaving the zone (source y = 3) with the right button
    EXPECT_EQ(game.view().pos.BAN[9][4], -41);  // fell onto the bottom row
}

TEST_F(TwoPlayers, DropOnAFileWithAnOwnPawnIsRefusedAndFlagsFollowFallenPawns) {
    // A bare position: two kings, a lower pawn high up in an empty column.
    game.menu("START");
    edit_position([](Position& p) {
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) p.BAN[x][y] = 0;
        p.BAN[9][1] = 80;
        p.BAN[9][9] = -80;
        p.BAN[3][5] = -10;
        p.BAN[9][5] = 50;  // holds column 5 up... at the bottom
        p.BAN[8][5] = 50;
        p.BAN[7][5] = 50;
        p.BAN[6][5] = 50;
        p.BAN[5][5] = 50;
        p.BAN[4][5] = 50;
        p.MOCHI_SITA_KOMA[7] = -10;
        p.MOCHI_SITA_KAZU[7] = 1;
        p.MOCHI_SITA_GOKEI = 1;
    });
    const Position& p = game.view().pos;
    // The pawn steps into empty column 4 and falls from file 3 to file 9.
    move(3, 5, 3, 4);
    ASSERT_EQ(p.BAN[9][4], -10);
    move(9, 1, 8, 1);  // the upper king moves up... and falls back: any upper move
    ASSERT_EQ(game.view().turn.TEBAN, 1);
    // File 9 now holds the pawn: a drop there is refused.
    drop_sita(7, 9, 3);
    EXPECT_EQ(sounds(KINSHI_WAV), 1);
    EXPECT_EQ(p.BAN[9][3], 0);
    EXPECT_EQ(p.MOCHI_SITA_KAZU[7], 1);
    // File 3, which the pawn left, takes the drop.
    drop_sita(7, 3, 3);
    EXPECT_EQ(p.MOCHI_SITA_KAZU[7], 0);
    EXPECT_EQ(p.MOCHI_SITA_GOKEI, 0);
    EXPECT_EQ(game.view().kifu.tesu(), 3);
}

TEST_F(TwoPlayers, SelectionFromTheOtherSidesHandIsCancelledAtTheNextBoardClick) {
    game.menu("START");
    edit_position([](Position& p) {
        p.MOCHI_UE_KOMA[7] = 40;
        p.MOCHI_UE_KAZU[7] = 1;
        p.MOCHI_UE_GOKEI = 1;
    });
    click_cell(-1, 7);  // upper hand while the lower side is to move
    EXPECT_EQ(game.view().turn.SENTAKU, 1);
    click(5, 5);
    EXPECT_EQ(game.view().turn.SENTAKU, 0);
    EXPECT_EQ(game.view().pos.BAN[5][5], 0);
    EXPECT_EQ(game.view().pos.MOCHI_UE_KAZU[7], 1);
    EXPECT_EQ(game.view().kifu.tesu(), 0);
    EXPECT_EQ(sounds(KINSHI_WAV), 0);
}

TEST_F(TwoPlayers, EscClosingAndOwariEndTheProgram) {
    const std::function<void(Game&)> ways[] = {
        [](Game& g) { g.key_press(ESC_KEY); },
        [](Game& g) { g.closing(); },
        [](Game& g) { g.menu("OWARI"); },
    };
    for (const auto& end : ways) {
        HeadlessPort p;
        RecordingSound s;
        Game g{p, s};
        g.settings_file = settings.file();
        g.load();
        end(g);
        EXPECT_TRUE(p.ended);
        // Once it is ending the program stays ending, and nothing starts.
        g.menu("START");
        EXPECT_EQ(g.view().turn.TEBAN, NASHI);
    }
}

}  // namespace
}  // namespace zemtori::test
