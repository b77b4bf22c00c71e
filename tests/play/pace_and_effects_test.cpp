// ｵﾌﾟｼｮﾝ › 速度 and 効果音: the fast pace shortens every pause and step of the
// animations and changes nothing else, the effects fall silent apart from the
// music, and both are kept in their own file beside the four-line settings
// file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "port/geometry.h"
#include "port/headless_port.h"
#include "play/game.h"
#include "recording_sound.h"
#include "settings/play_options.h"
#include "settings_folder.h"

namespace zemtori::test {
namespace {

// The headless window, remembering the fake clock's reading at every refresh:
// the time between two of them is one pause or one step of an animation.
struct TimedPort final : HeadlessPort {
    void refresh() override {
        HeadlessPort::refresh();
        shown_at.push_back(now);
    }
    std::vector<double> steps() const {
        std::vector<double> out;
        for (std::size_t i = 1; i < shown_at.size(); ++i) out.push_back(shown_at[i] - shown_at[i - 1]);
        return out;
    }
    std::vector<double> shown_at;
};

// The board, the hands and what goes with them, all plain numbers.
bool same_position(const Position& a, const Position& b) { return std::memcmp(&a, &b, sizeof(Position)) == 0; }

// A game started on its own settings folder.
struct Started {
    explicit Started(const SettingsFolder& folder) {
        game.settings_file = folder.file();
        game.load();
    }
    void click(int x, int y, int button = HIDARI_BUTTON) {
        game.mouse_down(button, grid_x(y) + MASU_HABA / 2.0, grid_y(x) + MASU_TAKASA / 2.0);
    }
    TimedPort port;
    RecordingSound sound;
    Game game{port, sound};
};

struct PaceAndEffects : ::testing::Test {
    PaceAndEffects() { settings.write_plain(); }
    std::string play_file_bytes() const {
        std::ifstream in(play_options_path(settings.file()), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void write_play_file(const std::string& bytes) const {
        std::ofstream(play_options_path(settings.file()), std::ios::binary) << bytes;
    }
    SettingsFolder settings;
};

// 先手 against LEVEL3 (the opening falls), then one move of the person's that
// the computer answers inside the same click: its blink, pauses and fall.
std::vector<double> opening_and_one_reply(Started& s) {
    s.port.shown_at.clear();
    s.game.menu("SENTE");
    s.click(5, 7);
    s.click(5, 6);
    EXPECT_EQ(s.game.view().kifu.tesu(), 2) << "the computer has answered";
    return s.port.steps();
}

TEST_F(PaceAndEffects, TheFastPaceShowsTheSameFramesInAThirdOrLessOfEveryPause) {
    std::vector<double> normal, fast;
    Position normal_end, fast_end;
    {
        Started s(settings);
        EXPECT_TRUE(s.port.menu_checked("FUTSUU"));
        EXPECT_FALSE(s.port.menu_checked("HAYAI"));
        normal = opening_and_one_reply(s);
        normal_end = s.game.view().pos;
    }
    {
        Started s(settings);
        s.game.menu("HAYAI");
        EXPECT_TRUE(s.port.menu_checked("HAYAI"));
        EXPECT_FALSE(s.port.menu_checked("FUTSUU"));
        fast = opening_and_one_reply(s);
        fast_end = s.game.view().pos;
    }
    // The same pictures in the same order: only the time between them changes.
    ASSERT_EQ(fast.size(), normal.size());
    EXPECT_TRUE(same_position(fast_end, normal_end));
    double normal_total = 0, fast_total = 0, longest = 0;
    int fall_steps = 0;
    for (std::size_t i = 0; i < normal.size(); ++i) {
        EXPECT_LE(fast[i], normal[i] / 3 + 1e-6) << "step " << i << " of " << normal[i] << " s";
        normal_total += normal[i];
        fast_total += fast[i];
        longest = std::max(longest, normal[i]);
        fall_steps += std::abs(normal[i] - RAKKA_STEP_SECONDS) < 1e-9;
    }
    // Today's pace: the 0.4 s of the person's move, 0.8 s of blinking, the
    // 0.5 and 0.4 s pauses and the falls, the longest pause the blink's last
    // 0.2 s with the 0.5 s after it.
    EXPECT_GE(normal_total, 0.4 + 0.8 + 0.5 + 0.4 + 10 * RAKKA_STEP_SECONDS);
    EXPECT_NEAR(longest, 0.7, 1e-5);
    EXPECT_GE(fall_steps, 10) << "the opening's and both moves' falls";
    EXPECT_GT(fast_total, 0);
    EXPECT_LE(fast_total, normal_total / 3);
}

TEST_F(PaceAndEffects, TheChoicesAreKeptInTheirOwnFileAndTheSettingsFileKeepsItsFourLines) {
    const std::string four_lines = settings.bytes();
    {
        Started s(settings);
        EXPECT_FALSE(std::filesystem::exists(play_options_path(settings.file())))
            << "nothing is written until the player chooses";
        EXPECT_TRUE(s.port.menu_checked("KOUKAON"));
        s.game.menu("HAYAI");
        s.game.menu("KOUKAON");
        EXPECT_FALSE(s.port.menu_checked("KOUKAON"));
        EXPECT_EQ(play_file_bytes(), "速度=速い\n効果音=OFF\n");
        EXPECT_EQ(settings.bytes(), four_lines);
    }
    {
        Started s(settings);
        EXPECT_TRUE(s.game.options().HAYAI);
        EXPECT_FALSE(s.game.options().KOUKAON);
        EXPECT_TRUE(s.port.menu_checked("HAYAI"));
        EXPECT_FALSE(s.port.menu_checked("FUTSUU"));
        EXPECT_FALSE(s.port.menu_checked("KOUKAON"));
        s.game.menu("FUTSUU");
        s.game.menu("KOUKAON");
        EXPECT_EQ(play_file_bytes(), "速度=普通\n効果音=ON\n");
        EXPECT_EQ(settings.bytes(), four_lines);
    }
}

TEST_F(PaceAndEffects, ADamagedFileReadsAsTheDefaults) {
    for (const std::string& bytes : {std::string("\xff\xfe\x00garbage\r\n速度=", 16), std::string("速度=速い速い\n"),
                                     std::string(200000, '\n'), std::string()}) {
        write_play_file(bytes);
        Started s(settings);
        EXPECT_EQ(s.game.options().play_options(), PlayOptions{});
        EXPECT_TRUE(s.port.menu_checked("FUTSUU"));
        EXPECT_FALSE(s.port.menu_checked("HAYAI"));
        EXPECT_TRUE(s.port.menu_checked("KOUKAON"));
    }
    // A folder in the file's place: the defaults, and choosing leaves it be.
    std::filesystem::remove(play_options_path(settings.file()));
    std::filesystem::create_directory(play_options_path(settings.file()));
    Started s(settings);
    EXPECT_EQ(s.game.options().play_options(), PlayOptions{});
    s.game.menu("HAYAI");
    EXPECT_TRUE(s.game.options().HAYAI) << "kept for this run";
    EXPECT_TRUE(std::filesystem::is_directory(play_options_path(settings.file())));
}

TEST_F(PaceAndEffects, WithTheEffectsOffOnlyTheMusicIsHeard) {
    Started s(settings);
    s.game.menu("KOUKAON");
    s.game.menu("VER");           // the other sound
    s.game.menu("MATCH_MAN");
    s.game.menu("START");
    s.click(5, 7);
    s.click(5, 6);                // a piece put down
    s.click(5, 3);
    s.click(5, 2);                // backwards: refused
    s.game.menu("BGM");           // the music on
    EXPECT_EQ(s.game.view().kifu.tesu(), 1) << "the move was made, the refused one not";
    EXPECT_EQ(s.sound.heard, std::vector<std::string>{BGM_WAV});
    // On again, every effect is heard as before.
    s.game.menu("KOUKAON");
    s.game.menu("VER");
    s.click(5, 3);
    s.click(5, 2);
    s.click(5, 3);
    s.click(5, 4);
    EXPECT_EQ(s.sound.heard, (std::vector<std::string>{BGM_WAV, SONOTA_WAV, KINSHI_WAV, KOMA_WAV}));
}

}  // namespace
}  // namespace zemtori::test
