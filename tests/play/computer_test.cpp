// One person against the computer: the start commands, the computer's turn
// inside the person's click, the announcements, the end of the game, the
// level, resuming after stepping back, and what the engine carries over.
#include "play_fixture.h"

#include <algorithm>
#include <optional>
#include <type_traits>
#include <utility>

#include "record/entry.h"
#include "rules/moves.h"

namespace zemtori::test {
namespace {

// The game's view of the engine reads the board and cannot change it.
static_assert(std::is_same_v<decltype(*std::declval<const Engine&>().pos), const Position&>);
static_assert(std::is_same_v<decltype(std::declval<const Engine&>().pos.operator->()), const Position*>);

// The computer (upper side, 先手) to move on `game`'s board, after the
// hand-over's maps and mate test, as when the person has just moved.
void computer_turn(Game& game) {
    GameSetup::computer_to_move(game);
    game.com_ban();
}

struct Computer : PlayTest {
    void set_board(const Position& p) {
        Position q = game.view().pos;
        std::copy(&p.BAN[0][0], &p.BAN[0][0] + 100, &q.BAN[0][0]);
        GameSetup::set_position(game, q);
    }
    std::vector<std::string> shown() const {
        std::vector<std::string> t;
        for (const auto& m : port.messages) t.push_back(m.text);
        return t;
    }
    // The last text printed with its top-left at grid position (c, r).
    std::string text_at(double c, double r) const {
        for (auto it = port.ops.rbegin(); it != port.ops.rend(); ++it)
            if (it->kind == HeadlessPort::OpKind::Text && it->x == grid_x(c) && it->y == grid_y(r)) return it->text;
        return {};
    }
    const Candidate& best() const { return game.view().engine.work.best; }
};

// The record reaches the position after the computer's move too: stepping
// back over both moves and forward again returns to it, with the totals after
// the computer's move.
TEST_F(Computer, TheRecordHoldsThePositionAfterTheComputersMove) {
    game.menu("SENTE");
    port.now += 3;
    click(9, 7);
    click(9, 6);
    ASSERT_EQ(game.view().kifu.tesu(), 2);
    ASSERT_EQ(game.view().kifu.kifu_saigo(), 2);
    const Position latest = game.view().pos;
    Position stored;
    game.view().kifu.restore(2, stored);
    EXPECT_EQ(board_to_text(stored), board_to_text(latest));
    EXPECT_EQ(game.view().kifu.entry(2).COM_MAE, game.view().kifu.entry(1).COM_ATO);
    game.menu("REPLAY");
    game.menu("REPLAY");
    game.menu("AFTER");
    game.menu("AFTER");
    EXPECT_EQ(board_to_text(game.view().pos), board_to_text(latest));
    EXPECT_EQ(game.view().kifu.tesu(), 2);
    EXPECT_NEAR(game.view().clock.man_jikan(), game.view().kifu.entry(0).MAN_ATO, 1e-9);
    EXPECT_NEAR(game.view().clock.com_jikan(), game.view().kifu.entry(1).COM_ATO, 1e-9);
}

TEST_F(Computer, GoteOnAFreshBoardTheComputerMovesAtOnce) {
    const double started = port.now;
    port.clear();
    game.menu("GOTE");
    EXPECT_TRUE(port.messages.empty()) << "no box before the computer's first move";
    EXPECT_EQ(game.view().turn.TEBAN, -1);
    EXPECT_EQ(game.view().kifu.tesu(), 1);
    EXPECT_EQ(game.view().kifu.entry(0).BAN[9][8], -HISHA) << "the record holds the settled opening";
    EXPECT_EQ(sounds(KOMA_WAV), 1);
    EXPECT_EQ(text_at(-1.5, 0.1), "LEVEL");
    EXPECT_EQ(text_at(0, 0), " 3 ");
    // It shows that it thinks, then blinks the piece twice where it stands.
    auto op = std::find_if(port.ops.begin(), port.ops.end(), [](const auto& o) { return o.text == "思考中"; });
    const Cell from = square_cell(best().from_x, best().from_y);
    std::vector<int> blink;
    for (; op != port.ops.end() && blink.size() < 5; ++op)
        if (op->kind == HeadlessPort::OpKind::Picture && op->x == grid_x(from.c) && op->y == grid_y(from.r))
            blink.push_back(op->code);
    const int m = best().moto_koma;
    EXPECT_EQ(blink, (std::vector<int>{0, m, 0, m, 0}));
    EXPECT_GE(port.now - started, 4 * 0.2 + 0.5 + 0.4) << "the blink and the pauses around the move";
}

TEST_F(Computer, SenteThenAMoveIsAnsweredInsideTheSameClick) {
    game.menu("SENTE");
    EXPECT_EQ(shown(), std::vector<std::string>{"MANの番です"});
    EXPECT_EQ(last_message().title, " ");
    port.clear();
    move(5, 7, 5, 6);
    EXPECT_TRUE(port.messages.empty());
    EXPECT_EQ(game.view().kifu.tesu(), 2);
    EXPECT_EQ(game.view().turn.TEBAN, game.view().turn.MAN_GAWA);
    EXPECT_EQ(game.view().kifu.entry(1).BAN[9][6], -HU) << "it thought about the position after the pawn fell";
    // The person's move text before 思考中; last, in white, the square where
    // the computer's piece came to rest: its move made on the position it
    // thought about, the piece marked, and everything let fall.
    const std::vector<std::string> t = texts();
    EXPECT_LT(std::find(t.begin(), t.end(), "４"), std::find(t.begin(), t.end(), "思考中"));
    Position after;
    game.view().kifu.restore(1, after);
    after.BAN[best().from_x][best().from_y] = 0;
    after.BAN[best().to_x][best().to_y] = 99;
    rakka(after, nullptr);
    Cell to;
    for (int x = 1; x <= 9; ++x)
        if (after.BAN[x][best().to_y] == 99) to = square_cell(x, best().to_y);
    ASSERT_NE(to, square_cell(best().to_x, best().to_y)) << "the piece fell";
    const auto frame = std::find_if(port.ops.rbegin(), port.ops.rend(),
                                    [](const auto& o) { return o.kind == HeadlessPort::OpKind::Outline; });
    EXPECT_EQ(frame->code, SHIRO);
    EXPECT_EQ(frame->x, grid_x(to.c));
    EXPECT_EQ(frame->y, grid_y(to.r));
}

TEST_F(Computer, AMoveThatMatesTheComputersKingWinsWithoutTakingIt) {
    set_board(board_with({{9, 2, 80}, {9, 4, 10}, {8, 4, -20}, {8, 6, -10}, {9, 6, -70}, {9, 7, -80}}));
    game.menu("SENTE");
    port.messages.clear();
    move(9, 6, 9, 4);  // check along the row; the lance covers the row above the king
    EXPECT_EQ(shown(), std::vector<std::string>{"あなたの勝ちです"});
    EXPECT_EQ(last_message().title, "終了");
    EXPECT_EQ(game.view().turn.SHOSHA, game.view().turn.MAN_GAWA);
    EXPECT_EQ(game.view().pos.BAN[9][2], OU) << "the king was not taken";
    EXPECT_EQ(game.view().kifu.tesu(), 1);
    click(9, 4);
    EXPECT_EQ(last_message().text, "新規に対局してください");
    EXPECT_EQ(game.view().turn.SENTAKU, 0);
}

// Which announcement a computer move shows: the first that applies of a
// taken king, mate, check; and a search without any move.
struct Ending {
    const char* name;
    Position board;
    const char* text;
    const char* title;
};

class Endings : public Computer, public ::testing::WithParamInterface<Ending> {};

TEST_P(Endings, OnlyTheFirstThatAppliesIsShown) {
    set_board(GetParam().board);
    computer_turn(game);
    EXPECT_EQ(shown(), std::vector<std::string>{GetParam().text});
    EXPECT_EQ(last_message().title, GetParam().title);
    const std::string name = GetParam().name;
    if (name == "king taken") {
        EXPECT_EQ(tsumi_hantei(game.view().engine), 1) << "the taken king's old square reads as mated";
        EXPECT_EQ(game.view().turn.SHOSHA, game.view().turn.COM_GAWA);
        EXPECT_EQ(game.view().turn.TEBAN, game.view().turn.MAN_GAWA);
        const std::vector<std::string> t = texts();
        EXPECT_EQ(std::find(t.begin(), t.end(), "飛"), t.end()) << "no move text for the move that took the king";
        game.com_ban();
        EXPECT_EQ(game.view().kifu.tesu(), 1) << "after the end the computer does not move";
    } else if (name == "no move") {
        EXPECT_EQ(game.view().turn.SHOSHA, game.view().turn.MAN_GAWA);
        EXPECT_EQ(game.view().kifu.tesu(), 0);
    } else {
        EXPECT_GT(game.view().engine.maps.KIKI_UE[game.view().pos.OU_SITA_X][game.view().pos.OU_SITA_Y], 0) << "the king is attacked";
        EXPECT_EQ(game.view().turn.SHOSHA, 0) << "the game goes on";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Computer, Endings,
    ::testing::Values(
        Ending{"king taken", board_with({{9, 1, 80}, {9, 4, -10}, {9, 6, 60}, {8, 8, 50}, {9, 8, 70}, {9, 9, -80}}),
               "ｺﾝﾋﾟｭｰﾀの勝ちです", "終了"},
        Ending{"mate and check", board_with({{9, 3, 80}, {6, 8, 40}, {7, 8, 60}, {8, 8, 40}, {9, 8, -80}}),
               "よし！!", "詰め ?"},
        Ending{"check", board_with({{9, 2, 80}, {8, 8, 60}, {9, 8, -80}, {9, 9, -50}}), "   ** 王手 **", ""},
        Ending{"no move", board_with({{9, 9, -80}}), "あなたの勝ちです", "終了"}),
    [](const ::testing::TestParamInfo<Ending>& info) { return case_name(info.param.name); });

TEST_F(Computer, Level2DuringAGameBetweenTwoPeopleShowsNothing) {
    game.menu("START");
    port.clear();
    game.menu("LEVEL2");
    EXPECT_TRUE(port.menu_checked("LEVEL2"));
    EXPECT_FALSE(port.menu_checked("LEVEL3"));
    EXPECT_EQ(game.view().engine.COM_LEVEL, 2);
    EXPECT_TRUE(texts().empty());
    EXPECT_EQ(port.picture_at_twips(grid_x(-1), grid_y(0)), game.view().screen.haikei()) << "the label is erased";
    // Against the computer the label shows, also after a full redraw, and
    // the next turn thinks at that level.
    game.menu("GOTE");
    game.menu("LEVEL1");
    EXPECT_EQ(text_at(0, 0), " 1 ");
    port.clear();
    game.gamen_hyouji();
    EXPECT_EQ(text_at(0, 0), " 1 ");
    move(5, 7, 5, 6);
    ASSERT_EQ(game.view().kifu.tesu(), 3);
    EXPECT_EQ(game.view().engine.COM_LEVEL, 1);
}

TEST_F(Computer, AfterSteppingBackAClickOrAStartCommandLetsTheComputerMove) {
    game.menu("SENTE");
    move(5, 7, 5, 6);
    game.menu("REPLAY");
    ASSERT_EQ(game.view().turn.TEBAN, game.view().turn.COM_GAWA);
    port.messages.clear();
    click(3, 9);  // a lower silver
    EXPECT_EQ(shown(), std::vector<std::string>{"OKですか？"});
    EXPECT_EQ(last_message().title, "再開(COM)");
    EXPECT_EQ(game.view().kifu.tesu(), 2) << "the computer moved again";
    EXPECT_EQ(game.view().turn.SENTAKU, 1) << "then the same click selected the silver";

    game.menu("REPLAY");
    port.messages.clear();
    game.menu("SENTE");  // the computer to move: it moves, with no box but the question before it
    EXPECT_EQ(shown(), std::vector<std::string>{"対局中です。この局面からコンピュータとの対局として続けますか？"});
    EXPECT_EQ(game.view().kifu.tesu(), 2);
    game.menu("REPLAY");
    game.menu("REPLAY");  // the person to move: a click resumes with a box
    port.messages.clear();
    click(3, 9);
    EXPECT_EQ(shown(), std::vector<std::string>{"MANの番です"});
    EXPECT_EQ(last_message().title, "対局");
    EXPECT_EQ(game.view().kifu.tesu(), 0);
}

// A port that remembers every switch of Timer1.
struct TimerLogPort : HeadlessPort {
    std::vector<bool> switches;
    void set_timer1(bool on) override {
        switches.push_back(on);
        HeadlessPort::set_timer1(on);
    }
};

TEST(ComputerClock, Timer1StaysOffThroughTheTurnWhileTheClockIsHidden) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    for (const bool keika : {false, true}) {
        TimerLogPort port;
        SilentSound sound;
        SettingsFolder settings;
        Game game(port, sound);
        game.settings_file = settings.file();
        game.load();
        if (game.options().KEIKA != keika) game.menu("KEIKA");
        game.menu("SENTE");
        port.switches.clear();
        game.mouse_down(HIDARI_BUTTON, grid_x(7) + 300, grid_y(5) + 200);
        game.mouse_down(HIDARI_BUTTON, grid_x(6) + 300, grid_y(5) + 200);
        ASSERT_EQ(game.view().kifu.tesu(), 2);
        // The hand-over stops it; it runs while the computer thinks and
        // again for the person only while the clock is shown.
        const std::vector<bool> want = keika ? std::vector<bool>{false, true, false, true}
                                             : std::vector<bool>{false, false};
        EXPECT_EQ(port.switches, want);
    }
}

// Every upper piece but the silver is boxed in, so once the silver is taken
// the computer can only drop the rooks, and a drop is scored with the king
// distance of the last board move tried: the silver's, a turn earlier.
TEST_F(Computer, TheSecondTurnCarriesWhatTheFirstLeft) {
    Position boxed = board_with({{7, 2, -80}, {7, 7, 40}, {7, 8, -70}, {7, 9, -40}, {8, 9, 20}, {9, 1, 80}, {9, 9, 20}});
    for (int y = 1; y <= 8; ++y) boxed.BAN[8][y] = HU;
    for (int y = 2; y <= 8; ++y) boxed.BAN[9][y] = HU;
    set_board(boxed);
    Position with_rook = game.view().pos;
    with_rook.MOCHI_UE_KOMA[7] = HISHA;
    with_rook.MOCHI_UE_KAZU[7] = with_rook.MOCHI_UE_GOKEI = 1;
    GameSetup::set_position(game, with_rook);
    game.menu("GOTE");  // the silver takes the rook...
    move(7, 9, 7, 8);   // ...and is taken
    ASSERT_EQ(game.view().kifu.tesu(), 3);
    EXPECT_EQ(best().from_x, UE_TE_X);
    EXPECT_EQ(game.view().engine.work.MOTO_KYORI, 5) << "the silver stood five columns from the king";
    EXPECT_DOUBLE_EQ(game.view().engine.work.SAIZEN_TEN, 60.2);

    // The same turn in a freshly started program scores 0.1 less...
    const RecordEntry before = game.view().kifu.entry(2);
    HeadlessPort fresh_port;
    SilentSound fresh_sound;
    Game fresh(fresh_port, fresh_sound);
    Position p = fresh.view().pos;
    restore_position(before, p);
    GameSetup::set_position(fresh, p);
    computer_turn(fresh);
    EXPECT_EQ(fresh.view().engine.work.best.to_y, best().to_y);
    EXPECT_DOUBLE_EQ(fresh.view().engine.work.SAIZEN_TEN, 60.1);
    // ...and a new game does not reset what the engine keeps.
    game.menu("CANCEL");
    Position q = game.view().pos;
    restore_position(before, q);
    GameSetup::set_position(game, q);
    computer_turn(game);
    EXPECT_DOUBLE_EQ(game.view().engine.work.SAIZEN_TEN, 60.2);
}

// Esc while the person's move falls: the program ends there, without
// waiting out the fall, and the computer never answers.
TEST_F(Computer, EscWhileThePersonsMoveFallsEndsTheTurnThere) {
    game.menu("SENTE");
    const Position before = game.view().pos;
    Position moved = before;
    TurnState turn = game.view().turn;
    sashite_jikkou(moved, turn, nullptr, 5, 7, 5, 6, -HU);
    std::optional<double> esc_at;
    port.on_keep_alive = [&] {
        const std::string now = board_to_text(game.view().pos);
        if (esc_at || now == board_to_text(before) || now == board_to_text(moved)) return;
        esc_at = port.now;  // the pieces have begun to fall
        game.key_press(ESC_KEY);
    };
    port.clear();
    move(5, 7, 5, 6);
    ASSERT_TRUE(esc_at.has_value()) << "no look at the window while the pieces fell";
    EXPECT_TRUE(port.ended);
    EXPECT_EQ(port.now, *esc_at) << "no wait after the Esc";
    // The move is counted once everything has fallen, which never happened.
    EXPECT_EQ(game.view().kifu.tesu(), 0);
    EXPECT_EQ(game.view().com_move.to_x, 0) << "the computer chose a move";
    const std::vector<std::string> t = texts();
    EXPECT_EQ(std::find(t.begin(), t.end(), "思考中"), t.end());
    EXPECT_TRUE(port.messages.empty());
}

}  // namespace
}  // namespace zemtori::test
