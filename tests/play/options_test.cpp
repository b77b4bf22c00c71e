// The options of the ｵﾌﾟｼｮﾝ menu and the settings file that keeps them.
#include "play_fixture.h"

#include "picture_at.h"
#include "settings/format.h"

namespace zemtori::test {
namespace {

// Each test writes the settings file it starts from, then starts the game.
struct Options : PlayTest {
    void SetUp() override {}

    SettingsMarks marks() const {
        int haikei = 0;
        for (const auto& [item, code] : {std::pair{"MIDORI", 2}, {"TATAMI", 3}, {"TAKE", 4}, {"UCHU", 5}, {"RENGA", 6}})
            if (port.menu_checked(item)) haikei = haikei == 0 ? code : -1;  // -1: two checked
        return {haikei, port.menu_checked("SIDOU"), port.menu_checked("KEIKA"), port.menu_checked("BGM")};
    }
    // Guidance does what its check mark says.
    void expect_guidance(bool on) const {
        EXPECT_EQ(port.menu_checked("SIDOU"), on);
        EXPECT_EQ(game.options().IDOU_SIDOU, on);
    }
    int shown(const std::string& text) const {
        const std::vector<std::string> all = texts();
        return static_cast<int>(std::count(all.begin(), all.end(), text));
    }
    // The default file is written and the game runs as it says, the music
    // included: what is checked is what plays.
    void expect_default_start() const {
        // 背景画=緑, 移動指導=OFF, 経過時間=ON, BGM=ON in Shift-JIS, byte for byte.
        EXPECT_EQ(settings.bytes(), "\x94\x77\x8c\x69\x89\xe6=\x97\xce\r\n\x88\xda\x93\xae\x8e\x77\x93\xb1=OFF\r\n"
                                    "\x8c\x6f\x89\xdf\x8e\x9e\x8a\xd4=ON\r\nBGM=ON\r\n");
        EXPECT_EQ(marks(), DEFAULT_SETTINGS);
        EXPECT_EQ(picture_at(port, 28, 21), HAIKEI_MIDORI);
        expect_guidance(false);
        EXPECT_EQ(shown("00:00:00"), 4);  // both clocks, shadowed
        EXPECT_EQ(sounds(BGM_WAV), 1);
        EXPECT_TRUE(sound.music_playing);
        EXPECT_TRUE(port.messages.empty());
    }
    // The colour of the last frame drawn around grid cell (c, r).
    int last_frame(int c, int r) const {
        int colour = -1;
        for (const auto& op : port.ops)
            if (op.kind == HeadlessPort::OpKind::Outline && op.x == grid_x(c) && op.y == grid_y(r)) colour = op.code;
        return colour;
    }
};

TEST_F(Options, FirstRunWritesTheDefaultFile) {
    std::filesystem::remove_all(settings.dir / "zemtori");
    game.load();
    expect_default_start();
}

TEST_F(Options, ATwoLineFileGivesWayToTheDefaultsGuidanceIncluded) {
    settings.write({"背景画=竹", "移動指導=ON"});
    game.load();
    expect_default_start();
    game.menu("START");
    click(5, 7);
    EXPECT_EQ(outlines(SHIRO), 0);
}

// A first line that names none of the five reads as green with its check
// mark; the rest is read, and the next file written keeps every option, so
// the start after it finds all four lines.
TEST_F(Options, AFirstLineNoneOfTheFiveReadsAsGreenAndTheNextFileKeepsEveryOption) {
    settings.write({"背景画=青", "移動指導=ON", "経過時間=OFF", "BGM=ON"});
    game.load();
    EXPECT_EQ(marks(), (SettingsMarks{HAIKEI_MIDORI, true, false, true}));
    EXPECT_EQ(game.view().screen.haikei(), HAIKEI_MIDORI);
    EXPECT_EQ(picture_at(port, 28, 21), HAIKEI_MIDORI);
    expect_guidance(true);
    EXPECT_EQ(shown("00:00:00"), 0);
    EXPECT_EQ(sounds(BGM_WAV), 1);
    EXPECT_TRUE(sound.music_playing);
    game.menu("KEIKA");
    EXPECT_EQ(settings.bytes(), to_cp932("背景画=緑\r\n移動指導=ON\r\n経過時間=ON\r\nBGM=ON\r\n"));

    HeadlessPort next_port;
    RecordingSound next_sound;
    Game next(next_port, next_sound);
    next.settings_file = settings.file();
    next.load();
    EXPECT_TRUE(next_port.menu_checked("MIDORI"));
    EXPECT_TRUE(next_port.menu_checked("SIDOU"));
    EXPECT_TRUE(next_port.menu_checked("KEIKA"));
    EXPECT_TRUE(next_port.menu_checked("BGM"));
}

// The music follows its check mark: on at start, off and on again.
TEST_F(Options, TheMusicPlaysExactlyWhileBgmIsChecked) {
    settings.write({"背景画=緑", "移動指導=OFF", "経過時間=ON", "BGM=ON"});
    game.load();
    EXPECT_TRUE(port.menu_checked("BGM"));
    EXPECT_TRUE(sound.music_playing);
    game.menu("BGM");
    EXPECT_FALSE(port.menu_checked("BGM"));
    EXPECT_FALSE(sound.music_playing);
    game.menu("BGM");
    EXPECT_TRUE(sound.music_playing);
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(Options, ABackgroundRetilesAndTheCheckedOneStillWritesAndRedraws) {
    settings.write_plain();
    game.load();
    for (int again = 0; again < 2; ++again) {
        settings.write({"garbage"});
        port.clear();
        game.menu("TAKE");
        EXPECT_EQ(marks(), (SettingsMarks{HAIKEI_TAKE, false, false, false}));
        EXPECT_EQ(picture_at(port, 12, 9), HAIKEI_TAKE);
        EXPECT_EQ(port.ops.back().code, TITLE_GA);  // the full redraw ends with the title
        EXPECT_EQ(settings.bytes(), settings_file_bytes(marks()));
    }
}

// A new background is painted over everything beside the board; what was
// written there (both sides' last moves, the count) and the frame of the
// computer's last move are drawn again on it, as they stood.
TEST_F(Options, ABackgroundKeepsTheMovesTheCountAndTheLastMovesFrame) {
    settings.write_plain();
    game.load();
    game.menu("LEVEL1");
    game.menu("SENTE");
    port.clear();
    move(9, 7, 9, 6);  // the computer answers
    const std::vector<std::string> written = texts();
    int white_frames = 0;
    for (const auto& op : port.ops) white_frames += op.kind == HeadlessPort::OpKind::Outline && op.code == SHIRO;
    ASSERT_GE(white_frames, 1) << "the computer's move is framed";
    const HeadlessPort::Op frame = [&] {
        HeadlessPort::Op last{};
        for (const auto& op : port.ops)
            if (op.kind == HeadlessPort::OpKind::Outline && op.code == SHIRO) last = op;
        return last;
    }();

    port.clear();
    game.menu("TATAMI");
    const std::vector<std::string> after = texts();
    // Every move text and the count printed during the two moves (not the
    // thinking notice) are printed again.
    std::vector<std::string> expected;
    for (const std::string& t : written)
        if (t != "思考中") expected.push_back(t);
    for (const std::string& t : expected) EXPECT_NE(std::find(after.begin(), after.end(), t), after.end()) << t;
    bool framed = false;
    for (const auto& op : port.ops)
        framed = framed || (op.kind == HeadlessPort::OpKind::Outline && op.code == SHIRO && op.x == frame.x &&
                            op.y == frame.y);
    EXPECT_TRUE(framed) << "the last move's frame is drawn again";
    EXPECT_EQ(picture_at(port, 12, 9), HAIKEI_TATAMI);
}

TEST_F(Options, GuidanceOffErasesEveryFrameOnTheBoardAndBothHandsAndOnDrawsNothing) {
    settings.write({"背景画=緑", "移動指導=ON", "経過時間=OFF", "BGM=OFF"});
    game.load();
    game.menu("START");
    click(5, 7);
    ASSERT_GT(outlines(SHIRO), 0);
    game.menu("SIDOU");
    expect_guidance(false);
    for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 9; ++c) EXPECT_EQ(last_frame(c, r), MIDORI_IRO) << c << "," << r;
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        EXPECT_EQ(last_frame(-1, k), MIDORI_IRO);
        EXPECT_EQ(last_frame(11, k + 2), MIDORI_IRO);
    }
    port.clear();
    game.menu("SIDOU");
    expect_guidance(true);
    EXPECT_TRUE(port.ops.empty());
}

TEST_F(Options, ClockOffClearsBothAreasAndOnShowsBothTotalsEvenBeforeAGame) {
    settings.write_plain();
    game.load();
    GameSetup::set_clock(game, {.man = 3725.5});
    port.clear();
    game.menu("KEIKA");
    EXPECT_TRUE(port.timer1_enabled());
    EXPECT_EQ(texts(), (std::vector<std::string>{"00:00:00", "00:00:00", "01:02:05", "01:02:05"}));
    port.clear();
    game.menu("KEIKA");
    EXPECT_FALSE(port.timer1_enabled());
    EXPECT_TRUE(texts().empty());
    for (const int c : {-2, -1, 0, 13, 14, 15}) EXPECT_EQ(picture_at(port, c, 9), HAIKEI_MIDORI) << c;
}

// Option clicks in any order: after each the file holds exactly what the menu
// shows, each option does what its mark says, and a new start finds them all.
TEST_F(Options, TheFileAlwaysMirrorsTheMenusAndSurvivesARestart) {
    static const char* const items[] = {"MIDORI", "TATAMI", "TAKE", "UCHU", "RENGA", "SIDOU", "KEIKA", "BGM"};
    settings.write_plain();
    game.load();
    std::uint64_t s = 7;
    for (int i = 0; i < 300; ++i) {
        s = s * 6364136223846793005ULL + 1442695040888963407ULL;
        game.menu(items[(s >> 33) % 8]);
        const SettingsMarks m = marks();
        ASSERT_EQ(settings.bytes(), settings_file_bytes(m)) << i;
        ASSERT_EQ(read_settings_lines(settings.bytes()).count, 4);
        ASSERT_EQ(game.view().screen.haikei(), m.haikei);
        ASSERT_EQ(game.options().settings_marks(), m) << "the menus show the options the game holds";
        ASSERT_EQ(port.timer1_enabled(), m.keika);
    }
    HeadlessPort again;
    RecordingSound again_sound;
    Game restarted(again, again_sound);
    restarted.settings_file = settings.file();
    restarted.load();
    for (const char* item : items) EXPECT_EQ(again.menu_checked(item), port.menu_checked(item)) << item;
    EXPECT_EQ(restarted.view().screen.haikei(), game.view().screen.haikei());
}

// Where nothing can be written the game starts with the defaults, says
// nothing, and every option goes on working for the run.
TEST_F(Options, AnUnwritableFolderStartsWithTheDefaultsAndTheOptionsStillWork) {
    std::ofstream(settings.dir / "plain") << "a file where a folder should be";
    game.settings_file = settings.dir / "plain" / "zemtori" / "Zemtori.ini";
    game.load();
    EXPECT_EQ(marks(), DEFAULT_SETTINGS);
    for (const char* item : {"TAKE", "SIDOU", "BGM", "KEIKA"}) game.menu(item);
    EXPECT_EQ(marks(), (SettingsMarks{HAIKEI_TAKE, true, false, false}));
    expect_guidance(true);
    game.menu("SIDOU");
    expect_guidance(false);
    EXPECT_TRUE(port.messages.empty());
}

}  // namespace
}  // namespace zemtori::test
