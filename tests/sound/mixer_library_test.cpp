// SDL2 and SDL2_mixer loaded at run time: what happens when they cannot be
// found, and the order the libraries they need are loaded in.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <SDL_mixer.h>

#include "mixer_library.h"
#include "port/headless_port.h"
#include "sound/effects.h"
#include "zemtori_ds.h"

namespace zemtori {
namespace {

std::string file_name(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// The folder this test's own copy of SDL2_mixer was loaded from.
std::string mixer_folder() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&Mix_OpenAudio), &info) || !info.dli_fname) return {};
    const std::string path = info.dli_fname;
    return path.substr(0, path.rfind('/'));
}

// Loads the real libraries again when a test has named others.
struct LoaderTest : ::testing::Test {
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void TearDown() override {
        EXPECT_TRUE(mixer_library::load_for_testing(mixer_library::MIXER_SONAME, mixer_library::SDL_SONAME));
    }
};

TEST_F(LoaderTest, WithoutTheLibrariesTheGameHasNoDeviceAndStaysSilent) {
    struct Case {
        const char* what;
        const char* mixer;
        const char* sdl;
    } cases[] = {
        {"mixer missing", "libzemtori-no-such-mixer.so.0", mixer_library::SDL_SONAME},
        {"SDL missing", mixer_library::MIXER_SONAME, "libzemtori-no-such-sdl.so.0"},
        // A library that loads but has none of SDL's calls.
        {"a call missing", mixer_library::MIXER_SONAME, "libz.so.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(mixer_library::load_for_testing(c.mixer, c.sdl));
        EXPECT_EQ(dsInitialize(0), 0);

        HeadlessPort port;
        SoundEffects sound(port, ZEMTORI_TEST_DATA_DIR);
        sound.open_sound();
        EXPECT_EQ(sound.sound_handle(), 0);
        ASSERT_EQ(port.messages.size(), 1u);
        EXPECT_EQ(port.messages[0].text, NO_DEVICE_TEXT);
        EXPECT_EQ(port.messages[0].title, SOUND_BOX_TITLE);
        sound.load_all();
        EXPECT_EQ(sound.other, 0);
        EXPECT_EQ(sound.refusal, 0);
        EXPECT_EQ(sound.piece, 0);
        EXPECT_EQ(sound.music, 0);
        sound.play_piece();
        sound.play_refusal();
        sound.play_other();
        sound.start_music();
        sound.stop_music();
        sound.close_sound();
        EXPECT_EQ(port.messages.size(), 1u);
    }

    // Found again, the device opens and the sounds load.
    ASSERT_TRUE(mixer_library::load_for_testing(mixer_library::MIXER_SONAME, mixer_library::SDL_SONAME));
    HeadlessPort port;
    SoundEffects sound(port, ZEMTORI_TEST_DATA_DIR);
    sound.open_sound();
    EXPECT_NE(sound.sound_handle(), 0);
    sound.load_all();
    EXPECT_NE(sound.piece, 0);
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(LoaderTest, LoadingStartedAheadIsWaitedForByTheFirstCall) {
    // As main() does: the device call waits for the loading thread.
    mixer_library::start_loading();
    mixer_library::start_loading();
    const int32_t sound = dsInitialize(0);
    EXPECT_NE(sound, 0);
    EXPECT_EQ(dsTerminate(sound), 1);
}

// What is to run once the libraries are loaded (routing ALSA's messages)
// runs at once when a call has loaded them already, and only once.
TEST_F(LoaderTest, WhatFollowsTheLoadingRunsAtOnceWhenTheLibrariesAreThere) {
    ASSERT_TRUE(mixer_library::load_for_testing(mixer_library::MIXER_SONAME, mixer_library::SDL_SONAME));
    static int runs;
    runs = 0;
    mixer_library::start_loading([] { ++runs; });
    EXPECT_EQ(runs, 1);
    const int32_t sound = dsInitialize(0);
    EXPECT_NE(sound, 0);
    EXPECT_EQ(dsTerminate(sound), 1);
    EXPECT_EQ(runs, 1);
}

TEST(LoadOrder, EveryLibraryComesAfterTheOnesItNeedsAndTheMixerLast) {
    const std::string folder = mixer_folder();
    ASSERT_FALSE(folder.empty());
    const std::vector<std::string> order = mixer_library::load_order(folder, mixer_library::MIXER_SONAME, {});
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order.back(), folder + "/" + mixer_library::MIXER_SONAME);

    std::set<std::string> before;
    for (const std::string& path : order) {
        SCOPED_TRACE(path);
        EXPECT_TRUE(before.insert(file_name(path)).second) << "listed twice";
        // What it needs is either listed earlier or not found in any folder
        // the order looks in (left to the loader).
        const mixer_library::Needs needs = mixer_library::needed_libraries(path);
        for (const std::string& need : needs.libraries) {
            const bool listed = std::any_of(order.begin(), order.end(),
                                            [&](const std::string& p) { return file_name(p) == need; });
            if (listed) {
                EXPECT_TRUE(before.count(need)) << need << " comes after it";
            }
        }
    }
    // SDL2 is needed by the mixer, so it is in the order.
    EXPECT_TRUE(before.count(mixer_library::SDL_SONAME));

    // What is loaded already is not loaded again, nor what only it needs.
    const std::vector<std::string> without_sdl =
        mixer_library::load_order(folder, mixer_library::MIXER_SONAME, {mixer_library::SDL_SONAME});
    EXPECT_LT(without_sdl.size(), order.size());
    for (const std::string& path : without_sdl) EXPECT_NE(file_name(path), mixer_library::SDL_SONAME);

    // A library that is not in the folder gives nothing to load.
    EXPECT_TRUE(mixer_library::load_order(folder, "libzemtori-no-such-mixer.so.0", {}).empty());
}

TEST(LoadOrder, TheNeedsOfALibraryAreReadFromItsFile) {
    const std::string folder = mixer_folder();
    const mixer_library::Needs mixer = mixer_library::needed_libraries(folder + "/" + mixer_library::MIXER_SONAME);
    EXPECT_NE(std::find(mixer.libraries.begin(), mixer.libraries.end(), mixer_library::SDL_SONAME),
              mixer.libraries.end());
    EXPECT_NE(std::find(mixer.libraries.begin(), mixer.libraries.end(), "libc.so.6"), mixer.libraries.end());

    // Not an ELF file, or no file at all: nothing.
    const std::string text = ::testing::TempDir() + "zemtori_not_a_library.so";
    std::ofstream(text) << "not a library\n";
    EXPECT_TRUE(mixer_library::needed_libraries(text).libraries.empty());
    EXPECT_TRUE(mixer_library::needed_libraries(folder + "/libzemtori-no-such.so").libraries.empty());
    std::remove(text.c_str());
}

// What the loader probe printed: whether every call was found, and the
// libraries of SDL2's loaded, in the dynamic loader's order.
struct Probe {
    bool found = false;
    std::vector<std::string> loaded;
};

// Runs the probe with LD_LIBRARY_PATH set to `library_path`, or unset when
// it is null; the rest of the environment is this test's.
Probe probe(const char* library_path) {
    int out[2];
    if (pipe(out) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        if (library_path) setenv("LD_LIBRARY_PATH", library_path, 1);
        else unsetenv("LD_LIBRARY_PATH");
        execl(ZEMTORI_LOADER_PROBE, ZEMTORI_LOADER_PROBE, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    Probe p;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line == "found 1") p.found = true;
        if (line.rfind("loaded ", 0) == 0) p.loaded.push_back(line.substr(7));
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text;
    return p;
}

std::string folder_of(const std::string& path) { return path.substr(0, path.rfind('/')); }

// Without a library path of the user's, the libraries the mixer needs are
// loaded one by one from the system's folder before the mixer itself, so
// SDL2 is loaded before the mixer; with one, the loader alone finds them,
// and copies in the user's folders are the ones loaded — none of the
// system's beside them.
TEST(LoadOrder, ALibraryPathOfTheUsersDecidesWhichCopiesLoad) {
    namespace fs = std::filesystem;
    std::string name = fs::temp_directory_path() / "zemtori-libs-XXXXXX";
    ASSERT_NE(mkdtemp(name.data()), nullptr);
    const fs::path own = name;
    fs::copy_file(ZEMTORI_STANDIN_SDL, own / mixer_library::SDL_SONAME);
    fs::copy_file(ZEMTORI_STANDIN_MIXER, own / mixer_library::MIXER_SONAME);

    const Probe system = probe(nullptr);
    EXPECT_TRUE(system.found);
    ASSERT_EQ(system.loaded.size(), 2u);
    EXPECT_EQ(file_name(system.loaded[0]), mixer_library::SDL_SONAME);
    EXPECT_EQ(file_name(system.loaded[1]), mixer_library::MIXER_SONAME);
    EXPECT_EQ(folder_of(system.loaded[0]), mixer_folder());
    EXPECT_EQ(folder_of(system.loaded[1]), mixer_folder());

    // The user's folder first, the system's after it: the stand-ins win, and
    // the mixer is loaded first, bringing the SDL2 it needs.
    for (const std::string& path : {own.string(), own.string() + ":" + mixer_folder()}) {
        SCOPED_TRACE(path);
        const Probe user = probe(path.c_str());
        EXPECT_TRUE(user.found);
        ASSERT_EQ(user.loaded.size(), 2u);
        EXPECT_EQ(user.loaded[0], (own / mixer_library::MIXER_SONAME).string());
        EXPECT_EQ(user.loaded[1], (own / mixer_library::SDL_SONAME).string());
    }

    // A path that holds neither leaves the loader to the system's copies.
    const Probe elsewhere = probe(fs::temp_directory_path().c_str());
    EXPECT_TRUE(elsewhere.found);
    ASSERT_EQ(elsewhere.loaded.size(), 2u);
    for (const std::string& path : elsewhere.loaded) EXPECT_EQ(folder_of(path), mixer_folder());
    fs::remove_all(own);
}

}  // namespace
}  // namespace zemtori
