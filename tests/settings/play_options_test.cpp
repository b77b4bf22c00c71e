// The file of the pace and the sound effects: its two lines, read back from
// whatever bytes are there.
#include <gtest/gtest.h>

#include "settings/kept_state.h"
#include "settings/play_options.h"

namespace zemtori {
namespace {

TEST(PlayOptionsFile, EveryChoiceReadsBackAndOtherBytesReadAsTheDefaults) {
    for (bool fast : {false, true})
        for (bool effects : {false, true}) {
            const PlayOptions options{fast, effects};
            EXPECT_EQ(read_play_options(play_options_bytes(options)), options);
        }
    EXPECT_EQ(play_options_bytes({}), "速度=普通\n効果音=ON\n");
    // CR LF, a missing last end and the lines in either order read the same.
    EXPECT_EQ(read_play_options("効果音=OFF\r\n速度=速い"), (PlayOptions{true, false}));
    // A line that is none of the four is passed over; its option keeps its default.
    EXPECT_EQ(read_play_options("速度=速い \n効果音=off\n速度=\n"), PlayOptions{});
    EXPECT_EQ(read_play_options(std::string("\0\xff速度=速い", 15)), PlayOptions{});
    EXPECT_EQ(read_play_options(""), PlayOptions{});
    EXPECT_EQ(read_play_options("\n\n\r\r効果音=OFF"), (PlayOptions{false, false}));
}

TEST(PlayOptionsFile, LivesBesideTheSettingsFile) {
    EXPECT_EQ(play_options_path("/home/u/.config/zemtori/Zemtori.ini"), "/home/u/.config/zemtori/Zemtori-play.ini");
    EXPECT_TRUE(play_options_path("").empty());
}

// The level file names any level of one or two digits, as it was written;
// whether the game has that level is the game's to say.
TEST(LevelFile, EveryLevelNumberReadsBackAndNothingElse) {
    for (int level = 1; level <= 99; ++level) EXPECT_EQ(read_level_file(level_file_bytes(level)), level);
    EXPECT_EQ(read_level_file("LEVEL=12\r\n"), 12);
    EXPECT_EQ(read_level_file("LEVEL=7"), 7);
    for (const char* bad : {"LEVEL=0\n", "LEVEL=05\n", "LEVEL=100\n", "LEVEL=\n", "LEVEL=1x\n", "LEVEL= 1\n",
                            "level=1\n", "LEVEL=-1\n", ""})
        EXPECT_FALSE(read_level_file(bad).has_value()) << bad;
}

}  // namespace
}  // namespace zemtori
