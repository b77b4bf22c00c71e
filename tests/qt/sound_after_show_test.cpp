// The sound that comes in once the window shows: what the game's start-up
// asks of it is done then, in the order asked, and nothing is done twice or
// after the program ended.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/sound_after_show.h"
#include "port/headless_port.h"
#include "play/game.h"
#include "settings_folder.h"

namespace zemtori {
namespace {

// Every call, by name, in order.
struct CallLog final : SoundPort {
    std::vector<std::string> calls;
    void open_sound() override { calls.push_back("open"); }
    void load_all() override { calls.push_back("load"); }
    void play_piece() override { calls.push_back("piece"); }
    void play_refusal() override { calls.push_back("refusal"); }
    void play_other() override { calls.push_back("other"); }
    void start_music() override { calls.push_back("music"); }
    void stop_music() override { calls.push_back("stop"); }
    void close_sound() override { calls.push_back("close"); }
};

using Calls = std::vector<std::string>;

// The game started as the program starts it, with the music on: its
// start-up reaches the sound only when it arrives; a refusal before that
// is not heard, one after it is.
TEST(SoundAfterShow, TheGamesStartUpIsDoneWhenTheSoundArrives) {
    test::SettingsFolder settings;
    settings.write({"背景画=緑", "移動指導=OFF", "経過時間=OFF", "BGM=ON"});
    HeadlessPort port;
    CallLog real;
    SoundAfterShow later(real);
    Game game{port, later};
    game.settings_file = settings.file();
    game.load();
    game.mouse_down(HIDARI_BUTTON, 0, 0);  // no game yet: refused
    EXPECT_TRUE(real.calls.empty());
    later.arrive();
    EXPECT_EQ(real.calls, (Calls{"open", "load", "music"}));
    game.mouse_down(HIDARI_BUTTON, 0, 0);
    game.menu("BGM");
    game.closing();
    EXPECT_EQ(real.calls, (Calls{"open", "load", "music", "refusal", "stop", "close"}));
    later.arrive();
    EXPECT_EQ(real.calls.size(), 6u) << "arriving twice does nothing more";
}

// What happens before the sound arrives decides what it does then: music
// stopped again does not start, and a program that ended opens nothing.
TEST(SoundAfterShow, WhatWasUndoneOrEndedBeforeItArrivesIsNotDone) {
    {
        CallLog real;
        SoundAfterShow later(real);
        later.open_sound();
        later.load_all();
        later.start_music();
        later.stop_music();
        later.play_other();
        later.arrive();
        EXPECT_EQ(real.calls, (Calls{"open", "load"}));
    }
    {
        CallLog real;
        SoundAfterShow later(real);
        later.open_sound();
        later.load_all();
        later.start_music();
        later.close_sound();
        later.arrive();
        EXPECT_TRUE(real.calls.empty());
        later.play_piece();
        EXPECT_TRUE(real.calls.empty()) << "closed before it arrived: nothing after";
    }
}

}  // namespace
}  // namespace zemtori
