// The built programs, run as separate processes.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
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

// Reads `fd` into `got` until `done(got)` holds, the writer closes it, or
// nothing comes for a minute; whether `done` held.
template <class Done>
bool read_until(int fd, std::string& got, Done done) {
    while (!done(got)) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 60000) <= 0) return false;
        char buf[4096];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) return false;
        got.append(buf, static_cast<size_t>(n));
    }
    return true;
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

// A program plays `game` move by move through a pipe: the answer to each
// line comes out before the next line is written, with standard input
// still open.  (A hang guard of 60 s ends the wait if it never does.)
TEST(AnalyseGame, AnswersEachLineBeforeTheNextIsWritten) {
    const Outcome gen = run(std::string("'") + ZEMTORI_ANALYSE_EXE + "' gen --seed 3 --count 1");
    ASSERT_EQ(WEXITSTATUS(gen.status), 0);
    int to_child[2], from_child[2];
    ASSERT_EQ(pipe(to_child), 0);
    ASSERT_EQ(pipe(from_child), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(to_child[0], 0);
        dup2(from_child[1], 1);
        close(to_child[1]);
        close(from_child[0]);
        execl(ZEMTORI_ANALYSE_EXE, ZEMTORI_ANALYSE_EXE, "game", "--level", "1", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(to_child[0]);
    close(from_child[1]);
    ASSERT_EQ(write(to_child[1], gen.out.data(), gen.out.size()), static_cast<ssize_t>(gen.out.size()));

    // The computer's move and the position after it, while input is open.
    std::string got;
    const bool seen_pos = read_until(from_child[0], got, [](const std::string& g) {
        return g.find("\npos ") != std::string::npos && g.back() == '\n';
    });
    close(to_child[1]);
    char buf[4096];
    while (read(from_child[0], buf, sizeof buf) > 0) {
    }
    close(from_child[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(seen_pos) << "before end of input the program wrote: " << got;
    EXPECT_EQ(got.rfind("com ", 0), 0u) << got;
}

// Start-up reads its pictures and icons as the PNG files they are: no image
// plugin of Qt's is loaded on the way to the window (each would bring its
// own libraries, the JPEG one among them).  Qt names every plugin it loads
// when asked to; the game is stopped once its window is open.
TEST(GameStartUp, LoadsNoImagePluginOnTheWayToTheWindow) {
    char folder[] = "/tmp/zemtori-start-up-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    int from_child[2];
    ASSERT_EQ(pipe(from_child), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(from_child[1], 2);
        close(from_child[0]);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("XDG_CONFIG_HOME", folder, 1);
        setenv("XDG_RUNTIME_DIR", folder, 1);
        setenv("QT_DEBUG_PLUGINS", "1", 1);
        setenv("QT_LOGGING_RULES", "zemtori.startup.info=true", 1);
        execl(ZEMTORI_EXE, ZEMTORI_EXE, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(from_child[1]);
    std::string got;
    const bool open = read_until(from_child[0], got, [](const std::string& g) {
        return g.find("window open") != std::string::npos;
    });
    kill(pid, SIGKILL);
    close(from_child[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(open) << got;
    EXPECT_NE(got.find("platforms/libqoffscreen.so\" loaded library"), std::string::npos)
        << "Qt names the plugins it loads";
    std::istringstream lines(got);
    for (std::string line; std::getline(lines, line);)
        EXPECT_FALSE(line.find("imageformats/") != std::string::npos && line.find("loaded library") != std::string::npos)
            << line;
    EXPECT_EQ(std::system((std::string("rm -rf ") + folder).c_str()), 0);
}

}  // namespace
