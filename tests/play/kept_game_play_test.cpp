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

// The game as the state folder holds it, brought back (or not) by a fresh
// start of the program.
struct NextStart {
    explicit NextStart(const std::filesystem::path& state) {
        settings.write_plain();
        game.settings_file = settings.file();
        game.state_folder = state;
        game.load();
    }
    test::SettingsFolder settings;
    HeadlessPort port;
    test::RecordingSound sound;
    Game game{port, sound};
};

std::string bytes_of(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

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

    NextStart next_start(game.state_folder);
    Game& next = next_start.game;
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

// A game brought back is played at its own level from then on, the level
// file says so, and its searching levels draw their choices afresh.
TEST_F(KeptGamePlay, ABroughtBackGameTakesItsLevelAndAFreshSeed) {
    game.menu("LEVEL5");
    game.menu("SENTE");
    move(9, 7, 9, 6);  // LEVEL5 answers
    game.closing();
    {
        NextStart other(game.state_folder);
        other.game.menu("LEVEL2");  // chosen at another start, before the offer
    }
    NextStart next(game.state_folder);
    ASSERT_EQ(next.game.view().engine.COM_LEVEL, 2);
    ASSERT_EQ(next.game.offer_kept_game(), Game::KeptGameOffer::BroughtBack);
    EXPECT_EQ(next.game.view().engine.COM_LEVEL, 5);
    EXPECT_EQ(bytes_of(next.game.level_file()), "LEVEL=5\n");
    EXPECT_NE(next.game.level_seed(), 0u) << "a seed is drawn as for a new game";
}

// A click on board square (x, y): grid column y, row x.
void click_square(Game& g, int x, int y) {
    g.mouse_down(HIDARI_BUTTON, grid_x(y) + MASU_HABA / 2.0, grid_y(x) + MASU_TAKASA / 2.0);
}

// The turn that ran at the close runs on for the player whose turn it was:
// against the computer the person's, between people 後手's.
TEST_F(KeptGamePlay, TheRunningTurnGoesOnForItsOwnPlayer) {
    for (const char* start : {"SENTE", "START"}) {
        SCOPED_TRACE(start);
        test::SettingsFolder folder;
        NextStart first(folder.dir / "state");
        first.game.menu("LEVEL1");
        first.game.menu(start);
        click_square(first.game, 9, 7);
        click_square(first.game, 9, 6);  // the computer answers, or 後手 is to move
        const double man = first.game.view().clock.man_jikan(), com = first.game.view().clock.com_jikan();
        first.port.now += 20;
        first.game.closing();

        NextStart next(folder.dir / "state");
        next.port.now = 1000;
        ASSERT_EQ(next.game.offer_kept_game(), Game::KeptGameOffer::BroughtBack);
        next.port.now += 5;
        const TurnState& t = next.game.view().turn;
        if (t.TEBAN == t.MAN_GAWA) {
            click_square(next.game, 5, 7);
            click_square(next.game, 5, 6);
        } else {
            click_square(next.game, 5, 3);
            click_square(next.game, 5, 4);
        }
        ASSERT_GT(next.game.view().kifu.tesu(), first.game.view().kifu.tesu()) << "the move was made";
        const Clock& clock = next.game.view().clock;
        if (std::string(start) == "SENTE") {
            EXPECT_NEAR(clock.man_jikan(), man + 25, 1e-6);
        } else {
            EXPECT_NEAR(clock.com_jikan(), com + 25, 1e-6) << "後手's total";
            EXPECT_NEAR(clock.man_jikan(), man, 1e-6);
        }
    }
}

// A kept game of another version of the game is left where it is, said once,
// and never written over; a damaged one goes without a word.
TEST_F(KeptGamePlay, AnotherVersionsGameIsLeftAndSaidOnce) {
    std::filesystem::create_directories(game.state_folder);
    const std::string theirs = "zemtori kept game 2\nwhat a later version keeps\nend 0\n";
    std::ofstream(game.kept_game_file(), std::ios::binary) << theirs;
    const std::string told = "前回の対局は別の版のゼムトリで残されたため、この版では続けられません。";
    {
        NextStart first(game.state_folder);
        EXPECT_EQ(first.game.offer_kept_game(), Game::KeptGameOffer::OtherVersion);
        ASSERT_EQ(first.port.messages.size(), 1u);
        EXPECT_EQ(first.port.messages[0].text, told);
        EXPECT_EQ(first.port.messages[0].buttons, MsgButtons::Ok);
    }
    {
        NextStart second(game.state_folder);
        EXPECT_EQ(second.game.offer_kept_game(), Game::KeptGameOffer::OtherVersion);
        EXPECT_TRUE(second.port.messages.empty()) << "said once";
        // A game played and closed here cannot take its place: the player
        // hears why, and the other version's game stays.
        second.game.menu("START");
        second.game.mouse_down(HIDARI_BUTTON, grid_x(7) + 10, grid_y(9) + 10);
        second.game.mouse_down(HIDARI_BUTTON, grid_x(6) + 10, grid_y(9) + 10);
        ASSERT_EQ(second.game.view().kifu.tesu(), 1);
        second.port.messages.clear();
        second.game.closing();
        ASSERT_EQ(second.port.messages.size(), 1u);
        EXPECT_EQ(second.port.messages[0].text,
                  "別の版のゼムトリの対局が残っているため、この対局は次の起動に残せませんでした。");
    }
    EXPECT_EQ(bytes_of(game.kept_game_file()), theirs);

    // The same first line on a file of this version's format that does not
    // hold a whole game: damaged, removed without a question.
    std::ofstream(game.kept_game_file(), std::ios::binary) << "zemtori kept game 1\nlevel 3\n";
    NextStart third(game.state_folder);
    EXPECT_EQ(third.game.offer_kept_game(), Game::KeptGameOffer::Removed);
    EXPECT_TRUE(third.port.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(game.kept_game_file()));
}

// A state folder that cannot be written: the player who closes the window is
// told once that the game could not be kept.
TEST_F(KeptGamePlay, AGameThatCannotBeKeptIsSaidAtTheClose) {
    std::ofstream(settings.dir / "not-a-folder") << "a file where the state folder's parent should be";
    game.state_folder = settings.dir / "not-a-folder" / "state";
    game.menu("START");
    move(9, 7, 9, 6);
    port.messages.clear();
    game.closing();
    ASSERT_TRUE(port.ended);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].text, "状態フォルダに書き込めないため、この対局を次の起動に残せませんでした。");
    // A signal or the end of the session ends it without a box.
    HeadlessPort quiet_port;
    test::RecordingSound quiet_sound;
    Game quiet{quiet_port, quiet_sound};
    quiet.settings_file = settings.file();
    quiet.state_folder = game.state_folder;
    quiet.load();
    quiet.menu("START");
    quiet.mouse_down(HIDARI_BUTTON, grid_x(7) + 10, grid_y(9) + 10);
    quiet.mouse_down(HIDARI_BUTTON, grid_x(6) + 10, grid_y(9) + 10);
    quiet_port.messages.clear();
    quiet.end_quietly();
    EXPECT_TRUE(quiet_port.ended);
    EXPECT_TRUE(quiet_port.messages.empty());
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
