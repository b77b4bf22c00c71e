// One person against the computer: the start commands, the computer's turn
// inside the person's click, the announcements, the end of the game, the
// level, resuming after stepping back, and what the engine carries over.
#include "play_fixture.h"

#include <algorithm>

#include "record/entry.h"
#include "sound/effects.h"

namespace zemtori::test {
namespace {

// The computer to move (upper side, 先手) on the board as it stands, after
// the hand-over's maps and mate test, as when the person has just moved.
void computer_turn(Game& game) {
    TurnState& t = game.turn;
    t.COM_TAISEN = 1;
    t.MAN_GAWA = -1;
    t.COM_GAWA = 1;
    t.TEBAN = t.COM_GAWA;
    kiki_keisan(game.engine);
    tsumi_hantei_ue(game.engine);
    game.com_ban();
}

struct Computer : PlayTest {
    // Puts the board of `text` (and the given hands) on the game's board.
    void set_board(const std::string& text, int ue_hand = 0, int sita_hand = 0) {
        const Position p = board_from_text(text);
        std::copy(&p.BAN[0][0], &p.BAN[0][0] + 100, &game.pos.BAN[0][0]);
        for (int k = 1; k <= MOCHI_SLOTS; ++k) game.pos.MOCHI_UE_KAZU[k] = game.pos.MOCHI_SITA_KAZU[k] = 0;
        game.pos.MOCHI_UE_KOMA[7] = ue_hand;
        game.pos.MOCHI_UE_KAZU[7] = ue_hand != 0;
        game.pos.MOCHI_SITA_KOMA[7] = sita_hand;
        game.pos.MOCHI_SITA_KAZU[7] = sita_hand != 0;
        game.pos.MOCHI_UE_GOKEI = ue_hand != 0;
        game.pos.MOCHI_SITA_GOKEI = sita_hand != 0;
    }
    std::vector<std::string> message_texts() const {
        std::vector<std::string> t;
        for (const auto& m : port.messages) t.push_back(m.text);
        return t;
    }
    bool printed(const std::string& text) const {
        const std::vector<std::string> t = texts();
        return std::find(t.begin(), t.end(), text) != t.end();
    }
    // The last text printed with its top-left at grid position (c, r).
    std::string text_at(double c, double r) const {
        for (auto it = port.ops.rbegin(); it != port.ops.rend(); ++it)
            if (it->kind == HeadlessPort::OpKind::Text && it->x == grid_x(c) && it->y == grid_y(r))
                return it->text;
        return {};
    }
    const Candidate& best() const { return game.engine.work.best; }

};

// The opening position after the start command's fall.
Position settled_opening() {
    Position p = opening_position();
    p.BAN[2][2] = p.BAN[8][2] = p.BAN[2][8] = p.BAN[8][8] = 0;
    p.BAN[8][2] = HISHA;
    p.BAN[9][2] = KAKU;
    p.BAN[8][8] = -KAKU;
    p.BAN[9][8] = -HISHA;
    return p;
}

bool same_board(const int (&a)[10][10], const int (&b)[10][10]) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (a[x][y] != b[x][y]) return false;
    return true;
}

TEST_F(Computer, GoteOnAFreshBoardTheComputerMovesAtOnce) {
    const double started = port.now;
    port.clear();
    game.menu("GOTE");
    EXPECT_TRUE(port.messages.empty()) << "no box before the computer's first move";
    EXPECT_EQ(game.turn.COM_GAWA, 1);
    EXPECT_EQ(game.turn.MAN_GAWA, -1);
    EXPECT_EQ(game.turn.TEBAN, -1);
    EXPECT_EQ(game.turn.TESU, 1);
    EXPECT_EQ(game.kifu.KIFU_TESU, 1);
    EXPECT_TRUE(same_board(game.kifu.entry(0).BAN, settled_opening().BAN))
        << "the record holds the settled opening, before the computer's move";
    EXPECT_FALSE(same_board(game.pos.BAN, settled_opening().BAN));
    EXPECT_EQ(sounds(KOMA_WAV), 1);
    EXPECT_EQ(text_at(-1.5, 0.1), "LEVEL") << "the level label";
    EXPECT_EQ(text_at(0, 0), " 3 ");

    // It shows that it thinks, then blinks the piece twice where it stands
    // before the piece leaves.
    const auto think = std::find_if(port.ops.begin(), port.ops.end(),
                                    [](const auto& op) { return op.text == "思考中"; });
    ASSERT_NE(think, port.ops.end());
    const Cell from = square_cell(best().from_x, best().from_y);
    std::vector<int> shown;
    for (auto it = think; it != port.ops.end() && shown.size() < 5; ++it)
        if (it->kind == HeadlessPort::OpKind::Picture && it->x == grid_x(from.c) && it->y == grid_y(from.r))
            shown.push_back(it->code);
    const int m = best().moto_koma;
    EXPECT_EQ(shown, (std::vector<int>{0, m, 0, m, 0}));
    EXPECT_GE(port.now - started, 4 * 0.2 + 0.5 + 0.4) << "the blink and the pauses around the move";
}

TEST_F(Computer, SenteThenAMoveIsAnsweredInsideTheSameClick) {
    game.menu("SENTE");
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(last_message().text, "MANの番です");
    EXPECT_EQ(last_message().title, " ");
    EXPECT_EQ(game.turn.TEBAN, 1);
    EXPECT_EQ(game.turn.MAN_GAWA, 1);

    port.clear();
    move(5, 7, 5, 6);
    EXPECT_TRUE(port.messages.empty());
    EXPECT_EQ(game.turn.TESU, 2);
    EXPECT_EQ(game.turn.TEBAN, 1) << "the person is to move again";
    // The computer thought about the position after the person's pawn fell.
    Position after_man = settled_opening();
    after_man.BAN[5][7] = 0;
    for (int x = 5; x > 1; --x) after_man.BAN[x][7] = after_man.BAN[x - 1][7];
    after_man.BAN[1][7] = 0;
    after_man.BAN[9][6] = -HU;
    EXPECT_TRUE(same_board(game.kifu.entry(1).BAN, after_man.BAN))
        << board_to_text(game.pos);
    // The person's move text comes first, the computer's last, with its
    // destination framed in white.
    const std::vector<std::string> t = texts();
    const auto man_text = std::find(t.begin(), t.end(), "４");
    const auto thinking = std::find(t.begin(), t.end(), "思考中");
    EXPECT_LT(man_text, thinking);
    const Cell to = square_cell(best().to_x, best().to_y);
    const auto frame = std::find_if(port.ops.rbegin(), port.ops.rend(), [](const auto& op) {
        return op.kind == HeadlessPort::OpKind::Outline;
    });
    ASSERT_NE(frame, port.ops.rend());
    EXPECT_EQ(frame->code, SHIRO);
    EXPECT_EQ(frame->x, grid_x(to.c));
    EXPECT_EQ(frame->y, grid_y(to.r));
}

TEST_F(Computer, AMoveThatMatesTheComputersKingWinsWithoutTakingIt) {
    set_board(R"(
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  .  .  .  .  .  .  .
        .  .  . -20 . -10 .  .  .
        . 80  . 10  . -70 -80 . .
    )");
    game.menu("SENTE");
    port.messages.clear();
    // The rook takes the pawn: check along the bottom row; the lance above
    // covers every square of the row above the king.
    move(9, 6, 9, 4);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(last_message().text, "あなたの勝ちです");
    EXPECT_EQ(last_message().title, "終了");
    EXPECT_EQ(game.turn.SHOSHA, game.turn.MAN_GAWA);
    EXPECT_EQ(game.pos.BAN[9][2], OU) << "the king was not taken";
    EXPECT_EQ(game.turn.TESU, 1) << "the computer did not move";

    click(9, 4);
    EXPECT_EQ(last_message().text, "新規に対局してください");
    EXPECT_EQ(game.turn.SENTAKU, 0);
}

// Which announcement a computer move shows: taking the king before mate,
// mate before check.
struct Announcement {
    const char* name;
    const char* board;
    const char* text;
    const char* title;
};

class Announcements : public Computer, public ::testing::WithParamInterface<Announcement> {};

TEST_P(Announcements, OnlyTheFirstThatAppliesIsShown) {
    const Announcement& a = GetParam();
    set_board(a.board);
    computer_turn(game);
    ASSERT_EQ(game.turn.TESU, 1);
    EXPECT_EQ(message_texts(), std::vector<std::string>{a.text});
    EXPECT_EQ(last_message().title, a.title);
    const int kx = game.pos.OU_SITA_X, ky = game.pos.OU_SITA_Y;
    if (std::string(a.name) == "king taken") {
        // The king's old square still counts as mated: taking it had to come first.
        EXPECT_EQ(tsumi_hantei(game.engine), 1);
        EXPECT_EQ(game.turn.SHOSHA, game.turn.COM_GAWA);
        EXPECT_EQ(game.turn.TEBAN, game.turn.MAN_GAWA);
        EXPECT_FALSE(printed("飛")) << "no move text for the move that took the king";
        port.messages.clear();
        game.com_ban();
        EXPECT_EQ(game.turn.TESU, 1) << "a finished game: the computer does not move";
        click(5, 5);
        EXPECT_EQ(message_texts(), std::vector<std::string>{"新規に対局してください"});
    } else {
        EXPECT_GT(game.engine.maps.KIKI_UE[kx][ky], 0) << "the king is attacked";
        EXPECT_EQ(game.turn.SHOSHA, 0) << "the game goes on";
        EXPECT_EQ(game.turn.TEBAN, game.turn.MAN_GAWA);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Computer, Announcements,
    ::testing::Values(
        Announcement{"king taken", R"(
            . . . .  . .  . .  .
            . . . .  . .  . .  .
            . . . .  . .  . .  .
            . . . .  . .  . .  .
            . . . .  . .  . .  .
            . . . .  . .  . .  .
            . . . .  . .  . .  .
            . . . .  . .  . 50 .
           80 . . -10 . 60 . 70 -80
        )", "ｺﾝﾋﾟｭｰﾀの勝ちです", "終了"},
        Announcement{"mate and check", R"(
            . . . .  . .  . .  .
            . . . .  . .  . .  .
            . . . .  . .  . .  .
            . . . .  . .  . .  .
            . . . .  . .  . .  .
            . . . .  . .  . 40 .
            . . . .  . .  . 60 .
            . . . .  . .  . 40 .
            . . 80 . . .  . -80 .
        )", "よし！!", "詰め ?"},
        Announcement{"check", R"(
            . .  . . . . . .  .
            . .  . . . . . .  .
            . .  . . . . . .  .
            . .  . . . . . .  .
            . .  . . . . . .  .
            . .  . . . . . .  .
            . .  . . . . . .  .
            . .  . . . . . 60 .
            . 80 . . . . . -80 -50
        )", "   ** 王手 **", ""}),
    [](const ::testing::TestParamInfo<Announcement>& info) { return case_name(info.param.name); });

TEST_F(Computer, Level2DuringAGameBetweenTwoPeopleShowsNothing) {
    game.menu("START");
    port.clear();
    game.menu("LEVEL2");
    EXPECT_TRUE(port.menu_checked("LEVEL2"));
    EXPECT_FALSE(port.menu_checked("LEVEL1"));
    EXPECT_FALSE(port.menu_checked("LEVEL3"));
    EXPECT_EQ(game.turn.COM_LEVEL, 2);
    EXPECT_TRUE(texts().empty());
    for (int c = -2; c <= 0; ++c)
        EXPECT_EQ(port.picture_at_twips(grid_x(c), grid_y(0)), game.screen.HAIKEI) << "label erased at " << c;

    // Against the computer the label shows the level, also after a full
    // redraw, and the next search runs at that level.
    game.menu("GOTE");
    port.clear();
    game.menu("LEVEL1");
    EXPECT_EQ(text_at(-1.5, 0.1), "LEVEL");
    EXPECT_EQ(text_at(0, 0), " 1 ");
    port.clear();
    game.gamen_hyouji();
    EXPECT_EQ(text_at(0, 0), " 1 ");
    move(5, 7, 5, 6);
    ASSERT_EQ(game.turn.TESU, 3);
    EXPECT_EQ(game.engine.COM_LEVEL, 1);
}

TEST_F(Computer, AClickWhileTheComputerIsToMoveLetsItMoveThenCounts) {
    game.menu("SENTE");
    move(5, 7, 5, 6);
    ASSERT_EQ(game.turn.TESU, 2);
    game.menu("REPLAY");
    ASSERT_EQ(game.turn.TESU, 1);
    ASSERT_EQ(game.turn.TEBAN, game.turn.COM_GAWA);
    port.messages.clear();
    click(3, 9);  // a lower silver
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(last_message().text, "OKですか？");
    EXPECT_EQ(last_message().title, "再開(COM)");
    EXPECT_EQ(game.turn.TESU, 2) << "the computer moved again";
    EXPECT_EQ(game.turn.TEBAN, game.turn.MAN_GAWA);
    EXPECT_EQ(game.turn.SAIKAI, 0);
    EXPECT_EQ(game.turn.SENTAKU, 1) << "the same click then selected the silver";

    // Stepped back to the person's turn: the next click resumes with a box.
    game.menu("REPLAY");
    game.menu("REPLAY");
    ASSERT_EQ(game.turn.TEBAN, game.turn.MAN_GAWA);
    port.messages.clear();
    click(3, 9);
    EXPECT_EQ(message_texts(), std::vector<std::string>{"MANの番です"});
    EXPECT_EQ(last_message().title, "対局");
    EXPECT_EQ(game.turn.TESU, 0);
}

TEST_F(Computer, StartCommandsContinueAnOpenGame) {
    game.menu("GOTE");
    move(5, 7, 5, 6);
    ASSERT_EQ(game.turn.TESU, 3);
    game.menu("REPLAY");
    ASSERT_EQ(game.turn.TEBAN, game.turn.COM_GAWA);
    // The computer is to move: 先手 lets it, without a box.
    port.messages.clear();
    game.menu("SENTE");
    EXPECT_TRUE(port.messages.empty());
    EXPECT_EQ(game.turn.TESU, 3);
    EXPECT_EQ(game.turn.TEBAN, game.turn.MAN_GAWA);
    // The person is to move: 後手 says so.
    game.menu("GOTE");
    EXPECT_EQ(message_texts(), std::vector<std::string>{"MANの番です"});
    EXPECT_EQ(last_message().title, "対局");
    EXPECT_EQ(game.turn.TESU, 3);
    // スタート goes on between two people, without the level label.
    port.clear();
    game.menu("START");
    EXPECT_EQ(game.turn.COM_TAISEN, 0);
    EXPECT_EQ(port.picture_at_twips(grid_x(0), grid_y(0)), game.screen.HAIKEI);
    EXPECT_EQ(text_at(0, 0), "");
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
        Game game(port, ZEMTORI_TEST_DATA_DIR);
        game.load();
        port.set_menu_checked("KEIKA", keika);
        game.menu("SENTE");
        port.switches.clear();
        game.mouse_down(HIDARI_BUTTON, grid_x(7) + 300, grid_y(5) + 200);
        game.mouse_down(HIDARI_BUTTON, grid_x(6) + 300, grid_y(5) + 200);
        ASSERT_EQ(game.turn.TESU, 2);
        if (keika) {
            // Off for the hand-over; on while it thinks; off for the fall;
            // on again for the person.
            EXPECT_EQ(port.switches, (std::vector<bool>{false, true, false, true}));
        } else {
            EXPECT_EQ(port.switches, (std::vector<bool>{false, false}));
        }
        EXPECT_EQ(port.timer1_enabled(), keika);
    }
}

// The working values the engine keeps between turns.  Every upper piece but
// the silver is boxed in, so after the silver is taken the computer can only
// drop the rooks; a drop is scored with the king distance of the last board
// move tried, which here is the silver's, one turn earlier.
constexpr const char* BOXED_IN = R"(
    .  .  .  .  .  .  .  .   .
    .  .  .  .  .  .  .  .   .
    .  .  .  .  .  .  .  .   .
    .  .  .  .  .  .  .  .   .
    .  .  .  .  .  .  .  .   .
    .  .  .  .  .  .  .  .   .
    . -80 .  .  .  . 40 -70 -40
   10 10 10 10 10 10 10 10  20
   80 10 10 10 10 10 10 10  20
)";

TEST_F(Computer, TheSecondTurnCarriesWhatTheFirstLeft) {
    set_board(BOXED_IN, HISHA);
    game.menu("GOTE");
    ASSERT_EQ(best().from_x, 7);  // the silver takes the rook, promoting
    ASSERT_EQ(best().to_y, 8);
    move(7, 9, 7, 8);  // and is taken by the other silver
    ASSERT_EQ(game.turn.TESU, 3);
    EXPECT_EQ(best().from_x, UE_TE_X);
    EXPECT_EQ(best().to_x, 7);
    EXPECT_EQ(best().to_y, 4);
    EXPECT_DOUBLE_EQ(game.engine.work.SAIZEN_TEN, 60.2);
    EXPECT_EQ(game.engine.work.MOTO_KYORI, 5) << "the silver stood five columns from the king";

    // The same turn from a freshly started program: the drop is 0.1 lower.
    const RecordEntry before = game.kifu.entry(2);
    HeadlessPort fresh_port;
    Game fresh(fresh_port, "");
    restore_position(before, fresh.pos);
    computer_turn(fresh);
    EXPECT_EQ(fresh.engine.work.best.to_y, 4);
    EXPECT_DOUBLE_EQ(fresh.engine.work.SAIZEN_TEN, 60.1);

    // A new game does not reset what the engine keeps.
    game.menu("CANCEL");
    restore_position(before, game.pos);
    computer_turn(game);
    EXPECT_DOUBLE_EQ(game.engine.work.SAIZEN_TEN, 60.2);
}

TEST_F(Computer, NoLegalMoveLosesTheGame) {
    set_board(R"(
        . . . . . . . . .
        . . . . . . . . .
        . . . . . . . . .
        . . . . . . . . .
        . . . . . . . . .
        . . . . . . . . .
        . . . . . . . . .
        . . . . . . . . .
        . . . . . . . . -80
    )");
    computer_turn(game);
    EXPECT_EQ(message_texts(), std::vector<std::string>{"あなたの勝ちです"});
    EXPECT_EQ(last_message().title, "終了");
    EXPECT_EQ(game.turn.SHOSHA, game.turn.MAN_GAWA);
    EXPECT_EQ(game.turn.TESU, 0);
    // The thinking label is gone.
    const auto label = std::find_if(port.ops.rbegin(), port.ops.rend(),
                                    [](const auto& op) { return op.text == "思考中"; });
    ASSERT_NE(label, port.ops.rend());
    EXPECT_NE(std::find_if(port.ops.rbegin(), label, [](const auto& op) {
                  return op.kind == HeadlessPort::OpKind::Picture && op.x == grid_x(-2) && op.y == grid_y(8);
              }),
              label);
}

}  // namespace
}  // namespace zemtori::test
