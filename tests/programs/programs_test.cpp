// The built programs, run as separate processes.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Outcome {
    std::string out;  // what the command wrote to its standard output
    int status = -1;  // as waitpid reports it
};

// Runs `command` with the shell and reads all it writes.
Outcome run(const std::string& command) {
    Outcome r;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
    r.status = pclose(p);
    return r;
}

const std::string NO_DISPLAY_LINE =
    "zemtori: 画面に接続できません。このゲームはグラフィカルなデスクトップ（X11 または Wayland）の上で動きます。\n";

// With no display the game says so in one line and exits with 1, whatever
// Qt tried: the default platform, an X display nobody serves, or Wayland.
TEST(GameWithoutADisplay, SaysSoInOneLineAndExitsWithOne) {
    const char* setups[] = {
        "",
        "DISPLAY=:97",
        "QT_QPA_PLATFORM=xcb",
        "QT_QPA_PLATFORM=wayland",
    };
    // A runtime folder of the child's own, empty: Wayland finds no socket in
    // it, and neither Qt nor the Wayland library complains that there is
    // none (the library writes that line itself, past Qt's message handler).
    char runtime[] = "/tmp/zemtori-no-display-XXXXXX";
    ASSERT_NE(mkdtemp(runtime), nullptr);
    for (const char* setup : setups) {
        // Standard error is what is read; standard output is dropped.  The
        // child starts from a clean environment, so nothing of the caller's
        // session (a display, a platform, a desktop) reaches it; a program
        // that does find a display is stopped after 20 s.
        const Outcome r = run(std::string("timeout 20 env -i PATH=/usr/bin:/bin HOME=\"$HOME\" XDG_RUNTIME_DIR=") +
                              runtime + " " + setup + " '" + ZEMTORI_EXE + "' 2>&1 >/dev/null");
        ASSERT_TRUE(WIFEXITED(r.status)) << setup << ": ended by signal " << WTERMSIG(r.status);
        EXPECT_EQ(WEXITSTATUS(r.status), 1) << setup;
        EXPECT_EQ(r.out, NO_DISPLAY_LINE) << setup;
    }
    rmdir(runtime);
}

// A million lines need no more memory than one: under an address-space limit
// far below what a million positions take, the first lines come out, the
// same as a short run's.
TEST(AnalyseGen, WritesEachLineAsItIsMade) {
    const std::string exe = std::string("'") + ZEMTORI_ANALYSE_EXE + "'";
    const Outcome short_run = run(exe + " gen --seed 7 --count 300");
    ASSERT_EQ(WEXITSTATUS(short_run.status), 0);
    const Outcome long_run =
        run("(ulimit -v 262144; exec " + exe + " gen --seed 7 --count 1000000) | head -n 300");
    EXPECT_EQ(long_run.out.size(), short_run.out.size());
    EXPECT_TRUE(long_run.out == short_run.out) << "the first 300 lines differ from a run of 300";
}

}  // namespace
