// The kept game on the headless window: a move the end of the program cut
// off on its way is not kept, and 読込's click on a file asks before a game
// in progress gives way to it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "play_fixture.h"
#include "record/record_file.h"

namespace zemtori {
namespace {

struct KeptGamePlay : test::PlayTest {
    KeptGamePlay() { game.state_folder = settings.dir / "state"; }
};

// The window closes while the person's pawn falls: the kept game is the
// position before that move with the person to move, and the move can be
// made again once it is back.
TEST_F(KeptGamePlay, AMoveCutOffByTheEndIsNotKept) {
    game.menu("START");
    move(9, 7, 9, 6);
    const Position before = game.view().pos;
    int steps = 0;
    port.on_keep_alive = [&] {
        if (++steps == 3) game.closing();
    };
    move(1, 3, 1, 4);  // 後手's pawn steps into the empty column 4, then falls
    port.on_keep_alive = nullptr;
    ASSERT_TRUE(port.ended);
    ASSERT_EQ(before.BAN[1][4], KARA);
    ASSERT_NE(game.view().pos.BAN[1][3], before.BAN[1][3]) << "the move was under way";

    test::SettingsFolder other_settings;
    other_settings.write_plain();
    HeadlessPort next_port;
    test::RecordingSound next_sound;
    Game next{next_port, next_sound};
    next.settings_file = other_settings.file();
    next.state_folder = game.state_folder;
    next.load();
    ASSERT_EQ(next.offer_kept_game(), Game::KeptGameOffer::BroughtBack);
    const auto& v = next.view();
    EXPECT_EQ(v.kifu.tesu(), 1);
    EXPECT_EQ(v.turn.TEBAN, GOTE_GAWA) << "後手 is to move again";
    EXPECT_EQ(next.mode(), Game::PlayMode::BetweenPeople);
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) ASSERT_EQ(v.pos.BAN[x][y], before.BAN[x][y]) << x << "," << y;
}

// A game on a handicap rung with its board turned comes back turned, on its
// rung, with the moves before the turn still counted, and the clock as it
// stood: the totals, and the turn that ran at the end running on.
TEST_F(KeptGamePlay, AHandicapAndATurnedBoardComeBack) {
    game.menu("LBEL_UP");
    game.menu("LBEL_UP");
    game.menu("START");
    move(9, 7, 9, 6);
    port.now += 12.5;
    move(1, 3, 1, 4);
    game.menu("REVERSE");
    port.now += 7.25;
    const double running = game.view().clock.running(port.now);
    ASSERT_GE(running, 7.25);
    const Position before = game.view().pos;
    const int tesu = game.view().kifu.tesu();
    const double man = game.view().clock.man_jikan(), com = game.view().clock.com_jikan();
    ASSERT_TRUE(game.view().kifu.hanten());
    game.menu("OWARI");

    test::SettingsFolder other_settings;
    other_settings.write_plain();
    HeadlessPort next_port;
    next_port.now = 50000;
    test::RecordingSound next_sound;
    Game next{next_port, next_sound};
    next.settings_file = other_settings.file();
    next.state_folder = game.state_folder;
    next.load();
    ASSERT_EQ(next.offer_kept_game(), Game::KeptGameOffer::BroughtBack);
    const auto& v = next.view();
    EXPECT_TRUE(v.kifu.hanten());
    EXPECT_EQ(v.kifu.tesu(), tesu);
    EXPECT_EQ(v.handicap.dan(), game.view().handicap.dan());
    EXPECT_TRUE(v.handicap.settei());
    EXPECT_EQ(v.turn.TEBAN, game.view().turn.TEBAN);
    EXPECT_EQ(v.clock.man_jikan(), man);
    EXPECT_EQ(v.clock.com_jikan(), com);
    EXPECT_DOUBLE_EQ(v.clock.running(next_port.now), running);
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) ASSERT_EQ(v.pos.BAN[x][y], before.BAN[x][y]) << x << "," << y;
    next.menu("KIFU_WRITE");
    EXPECT_EQ(next_port.messages.back().text, "反転後は書き込みできません");
}

TEST_F(KeptGamePlay, ReadingAFileAsksBeforeTheGameGivesWay) {
    RecordFile file;
    file.title = "読む棋譜";
    Position p = test::settled_opening();
    RecordEntry e;
    store_position(p, e);
    file.entries = {e, e};
    std::string bytes;
    int bad = 0;
    ASSERT_TRUE(format_record_file(file, bytes, bad));
    std::ofstream(settings.dir / "a.棋譜", std::ios::binary) << bytes;
    port.file_folder = settings.dir.string();
    port.selections[RecordControl::FileList] = "a.棋譜";

    game.menu("START");
    move(9, 7, 9, 6);
    port.messages.clear();
    port.answers = {MsgAnswer::No};
    game.record_control_used(RecordControl::FileList);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].text, "対局中です。新しく始めますか？");
    EXPECT_EQ(port.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(game.mode(), Game::PlayMode::BetweenPeople);
    EXPECT_EQ(game.view().kifu.tesu(), 1);

    port.answers = {MsgAnswer::Yes};
    game.record_control_used(RecordControl::FileList);
    EXPECT_EQ(game.mode(), Game::PlayMode::Record);
    // A record being stepped through is not a game in progress: the next file is read at once.
    port.messages.clear();
    game.record_control_used(RecordControl::FileList);
    ASSERT_FALSE(port.messages.empty());
    EXPECT_EQ(port.messages[0].text, " 読み込みました");
}

}  // namespace
}  // namespace zemtori
