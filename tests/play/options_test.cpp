// The options of the ｵﾌﾟｼｮﾝ menu and the settings file that keeps them.
#include "play_fixture.h"

#include <cstdint>

#include "picture_at.h"
#include "settings/format.h"

namespace zemtori::test {
namespace {

// Each test writes the settings file it starts from, then starts the game.
struct Options : PlayTest {
    void SetUp() override {}

    SettingsMarks marks() const {
        SettingsMarks m;
        for (const auto& [item, code] : {std::pair{"MIDORI", 2}, {"TATAMI", 3}, {"TAKE", 4}, {"UCHU", 5}, {"RENGA", 6}})
            if (port.menu_checked(item)) m.haikei = m.haikei == 0 ? code : -1;  // -1: two checked
        return {m.haikei, port.menu_checked("SIDOU"), port.menu_checked("KEIKA"), port.menu_checked("BGM")};
    }
    // The guidance state follows its check mark.
    void expect_guidance(bool on) const {
        EXPECT_EQ(port.menu_checked("SIDOU"), on);
        EXPECT_EQ(game.screen.IDOU_SIDOU, on ? 1 : 0);
        EXPECT_EQ(game.screen.SIDOU_IRO, on ? SHIRO : MIDORI_IRO);
    }
    int shown(const std::string& text) const {
        const std::vector<std::string> all = texts();
        return static_cast<int>(std::count(all.begin(), all.end(), text));
    }
    // The colour of the last frame drawn around grid cell (c, r).
    int last_frame(int c, int r) const {
        int colour = -1;
        for (const auto& op : port.ops)
            if (op.kind == HeadlessPort::OpKind::Outline && op.x == grid_x(c) && op.y == grid_y(r)) colour = op.code;
        return colour;
    }
};

TEST_F(Options, FirstRunWritesTheDefaultFileAndStartsWithItsOptions) {
    std::filesystem::remove_all(settings.dir() / "zemtori");
    game.load();
    EXPECT_EQ(settings.bytes(), settings_file_bytes(DEFAULT_SETTINGS));
    EXPECT_EQ(marks(), (SettingsMarks{HAIKEI_MIDORI, false, true, true}));
    expect_guidance(false);
    EXPECT_EQ(picture_at(port, -3, -2), HAIKEI_MIDORI);
    // Both clocks show from the start; the music is on but not heard until the next start.
    EXPECT_EQ(shown("00:00:00"), 4);
    EXPECT_EQ(sounds(BGM_WAV), 0);
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(Options, ATwoLineFileIsReadThenReplacedByTheDefaultsWithGuidanceOff) {
    settings.write({"背景画=竹", "移動指導=ON"});
    game.load();
    EXPECT_EQ(settings.bytes(), settings_file_bytes(DEFAULT_SETTINGS));
    EXPECT_EQ(marks(), (SettingsMarks{HAIKEI_MIDORI, false, true, true}));
    EXPECT_EQ(game.screen.HAIKEI, HAIKEI_MIDORI);
    EXPECT_EQ(picture_at(port, 28, 21), HAIKEI_MIDORI);
    // The menu shows guidance off, and off it is: a selection frames nothing white.
    expect_guidance(false);
    game.menu("START");
    click(5, 7);
    EXPECT_EQ(outlines(SHIRO), 0);
}

TEST_F(Options, AFirstLineNoneOfTheFiveLeavesTheBackgroundAndReadsTheRest) {
    settings.write({"背景画=青", "移動指導=ON", "経過時間=OFF", "BGM=OFF"});
    const std::string file = settings.bytes();
    game.load();
    EXPECT_EQ(settings.bytes(), file);
    EXPECT_EQ(marks(), (SettingsMarks{0, true, false, false}));
    EXPECT_EQ(game.screen.HAIKEI, HAIKEI_MIDORI);
    expect_guidance(true);
    // With no background checked the file has three lines.
    game.menu("BGM");
    EXPECT_EQ(settings.bytes(), to_cp932("移動指導=ON\r\n経過時間=OFF\r\nBGM=ON\r\n"));
}

TEST_F(Options, AWholeFileSetsEveryOptionAndStartsTheMusic) {
    settings.write({"背景画=宇宙", "移動指導=ON", "経過時間=OFF", "BGM=ON"});
    game.load();
    EXPECT_EQ(marks(), (SettingsMarks{HAIKEI_UCHU, true, false, true}));
    EXPECT_EQ(picture_at(port, 0, 5), HAIKEI_UCHU);
    expect_guidance(true);
    EXPECT_EQ(shown("00:00:00"), 0);
    EXPECT_EQ(sounds(BGM_WAV), 1);
    EXPECT_NE(game.sound.music, 0);
}

TEST_F(Options, BgmOnWithoutBgmWavStartsNothingAndShowsNoBox) {
    const std::filesystem::path data = settings.dir() / "data";
    std::filesystem::create_directories(data);
    for (const char* wav : {SONOTA_WAV, KINSHI_WAV, KOMA_WAV})
        std::filesystem::copy_file(std::filesystem::path(ZEMTORI_TEST_DATA_DIR) / wav, data / wav);
    settings.write({"背景画=緑", "移動指導=OFF", "経過時間=ON", "BGM=ON"});
    Game quiet(port, data.string());
    quiet.settings_file = settings.file();
    quiet.load();
    EXPECT_EQ(quiet.sound.music, 0);
    EXPECT_NE(quiet.sound.piece, 0);
    EXPECT_TRUE(port.menu_checked("BGM"));
    quiet.menu("BGM");
    quiet.menu("BGM");
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(Options, ChoosingABackgroundRetilesAndTheCheckedOneStillWritesAndRedraws) {
    settings.write_plain();
    game.load();
    port.clear();
    game.menu("TAKE");
    EXPECT_EQ(marks(), (SettingsMarks{HAIKEI_TAKE, false, false, false}));
    EXPECT_EQ(picture_at(port, 12, 9), HAIKEI_TAKE);
    EXPECT_EQ(port.ops.back().code, TITLE_GA);  // the full redraw ends with the title
    EXPECT_EQ(settings.bytes(), settings_file_bytes(marks()));

    settings.write({"garbage"});
    port.clear();
    game.menu("TAKE");
    EXPECT_EQ(game.screen.HAIKEI, HAIKEI_TAKE);
    EXPECT_EQ(settings.bytes(), settings_file_bytes(marks()));
    EXPECT_EQ(port.ops.back().code, TITLE_GA);
}

TEST_F(Options, GuidanceOffErasesEveryFrameOnTheBoardAndBothHands) {
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
    // On again: nothing drawn until the next selection.
    port.clear();
    game.menu("SIDOU");
    expect_guidance(true);
    EXPECT_EQ(outlines(SHIRO) + outlines(MIDORI_IRO), 0);
    EXPECT_EQ(settings.bytes(), settings_file_bytes(marks()));
}

TEST_F(Options, ClockOffClearsBothAreasAndOnShowsBothTotalsEvenBeforeAGame) {
    settings.write_plain();
    game.load();
    game.clock.MAN_JIKAN = 3725.5;
    port.clear();
    game.menu("KEIKA");
    EXPECT_TRUE(port.timer1_enabled());
    EXPECT_EQ(texts(), (std::vector<std::string>{"00:00:00", "00:00:00", "01:02:05", "01:02:05"}));
    port.clear();
    game.menu("KEIKA");
    EXPECT_FALSE(port.timer1_enabled());
    EXPECT_TRUE(texts().empty());
    for (const int c : {-2, -1, 0, 13, 14, 15}) EXPECT_EQ(picture_at(port, c, 9), HAIKEI_MIDORI) << c;
    EXPECT_EQ(settings.bytes(), settings_file_bytes(marks()));
}

// Hundreds of option clicks in any order: after each the file holds exactly
// what the menu shows, every option does what its mark says, and a new
// start finds them all again.
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
        ASSERT_EQ(game.screen.HAIKEI, m.haikei);
        ASSERT_EQ(game.screen.IDOU_SIDOU, m.sidou ? 1 : 0);
        ASSERT_EQ(port.timer1_enabled(), m.keika);
    }
    HeadlessPort again;
    Game restarted(again, ZEMTORI_TEST_DATA_DIR);
    restarted.settings_file = settings.file();
    restarted.load();
    for (const char* item : items) EXPECT_EQ(again.menu_checked(item), port.menu_checked(item)) << item;
    EXPECT_EQ(restarted.screen.HAIKEI, game.screen.HAIKEI);
}

// Where the settings cannot be written the game starts with the defaults,
// says nothing, and the options work for the rest of the run.
TEST_F(Options, AnUnwritableFolderStartsWithTheDefaultsAndTheOptionsStillWork) {
    std::ofstream(settings.dir() / "plain") << "a file where a folder should be";
    game.settings_file = settings.dir() / "plain" / "zemtori" / "Zemtori.ini";
    game.load();
    EXPECT_EQ(marks(), DEFAULT_SETTINGS);
    game.menu("TAKE");
    game.menu("SIDOU");
    game.menu("BGM");
    EXPECT_EQ(marks(), (SettingsMarks{HAIKEI_TAKE, true, true, false}));
    expect_guidance(true);
    game.menu("SIDOU");
    expect_guidance(false);
    EXPECT_TRUE(port.messages.empty());
}

TEST(OptionsPlace, TheGameKeepsItsSettingsUnderXdgConfigHome) {
    SettingsFolder folder;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", folder.dir().c_str(), 1);
    HeadlessPort port;
    Game game(port, ZEMTORI_TEST_DATA_DIR);
    if (old) setenv("XDG_CONFIG_HOME", saved.c_str(), 1); else unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(game.settings_file, folder.file());
}

}  // namespace
}  // namespace zemtori::test
