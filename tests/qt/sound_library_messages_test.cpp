// Without a sound device the sound system's libraries stay off the terminal:
// what they say goes to the start-up log, heard only when it is asked for.
// The sound library is opened in a child process of its own (this program,
// started again with OPEN_SOUND_LIBRARY_ALONE), with no device to open, as
// the program opens it: the messages routed from the thread that loads the
// libraries, before the device is opened.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/sound_library_messages.h"
#include "mixer_library.h"
#include "qt_test_support.h"
#include "zemtori_ds.h"

namespace zemtori {

namespace test {

int open_sound_library_alone() {
    mixer_library::start_loading(route_sound_library_messages);
    const int32_t device = dsInitialize(0);
    if (device != 0) dsTerminate(device);
    return device != 0 ? 3 : 0;
}

}  // namespace test

namespace {

struct Child {
    std::string err;  // its standard error
    int status = -1;
};

// This test program again, opening the sound library alone, through ALSA on
// a card that no machine has; `log_rules` as QT_LOGGING_RULES.
Child open_sound_library_in_a_child(const std::string& log_rules) {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return {};
    self[n] = '\0';
    const std::string command = "env -i PATH=/usr/bin:/bin SDL_AUDIODRIVER=alsa AUDIODEV=hw:97 QT_LOGGING_RULES='" +
                                log_rules + "' '" + self + "' " + test::OPEN_SOUND_LIBRARY_ALONE + " 2>&1 >/dev/null";
    Child c;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return c;
    char buf[4096];
    for (size_t got; (got = fread(buf, 1, sizeof buf, p)) > 0;) c.err.append(buf, got);
    c.status = pclose(p);
    return c;
}

TEST(SoundLibraryMessages, TerminalStaysQuietUnlessTheStartUpLogIsAskedFor) {
    const Child quiet = open_sound_library_in_a_child("");
    ASSERT_TRUE(WIFEXITED(quiet.status));
    ASSERT_EQ(WEXITSTATUS(quiet.status), 0) << "a device was opened; the test needs none";
    EXPECT_EQ(quiet.err, "");

    const Child logged = open_sound_library_in_a_child("zemtori.startup.info=true");
    ASSERT_TRUE(WIFEXITED(logged.status));
    EXPECT_EQ(WEXITSTATUS(logged.status), 0);
    EXPECT_NE(logged.err.find("zemtori.startup: sound system: ALSA"), std::string::npos) << logged.err;
    EXPECT_NE(logged.err.find("97"), std::string::npos) << "names the card it could not find: " << logged.err;
}

}  // namespace
}  // namespace zemtori
