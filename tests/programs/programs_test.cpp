// The built programs, run as separate processes.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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

// match --moves follows each game's line with its moves, as many as the
// line counts; without it there are only the games' lines and the summary.
TEST(AnalyseMatch, MovesFollowEachGameWhenAsked) {
    const std::string exe = std::string("'") + ZEMTORI_ANALYSE_EXE + "'";
    const Outcome with = run(exe + " match search level1 --games 3 --nodes 300 --moves");
    ASSERT_EQ(WEXITSTATUS(with.status), 0);
    std::istringstream lines(with.out);
    std::string line;
    int games = 0;
    while (std::getline(lines, line) && line.rfind("game ", 0) == 0) {
        ++games;
        std::istringstream game(line);
        std::string word, count;
        while (game >> word)
            if (word == "moves") game >> count;
        std::string next;
        ASSERT_TRUE(std::getline(lines, next)) << line;
        std::istringstream moves(next);
        int n = -2;  // "moves" and the game's number
        while (moves >> word) ++n;
        EXPECT_EQ(next.rfind("moves " + std::to_string(games) + " ", 0), 0u) << next;
        EXPECT_EQ(std::to_string(n), count) << line;
    }
    EXPECT_EQ(games, 3);
    EXPECT_EQ(line.rfind("summary: ", 0), 0u) << line;
    const Outcome without = run(exe + " match search level1 --games 3 --nodes 300");
    EXPECT_EQ(without.out.find("\nmoves "), std::string::npos);
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

// The real program started offscreen with no sound device, its settings,
// runtime and state in `folder` (state in `state`, when given), its
// start-up log on (and Qt naming the plugins it loads, when asked) and its
// standard error on the returned pipe's read end.
struct StartedGame {
    pid_t pid = -1;
    int from_child = -1;
};
StartedGame start_game(const char* folder, const std::string& state, bool name_plugins = false) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return {};
    const pid_t pid = fork();
    if (pid < 0) return {};
    if (pid == 0) {
        dup2(pipe_fds[1], 2);
        close(pipe_fds[0]);
        close(pipe_fds[1]);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("XDG_CONFIG_HOME", folder, 1);
        if (!state.empty()) setenv("XDG_STATE_HOME", state.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folder, 1);
        setenv("QT_LOGGING_RULES", "zemtori.startup.info=true", 1);
        if (name_plugins) setenv("QT_DEBUG_PLUGINS", "1", 1);
        execl(ZEMTORI_EXE, ZEMTORI_EXE, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipe_fds[1]);
    return {pid, pipe_fds[0]};
}

// The start-up log has said what became of a kept game: the start is over.
bool start_over(const std::string& g) {
    const std::size_t at = g.find("kept game:");
    return at != std::string::npos && g.find('\n', at) != std::string::npos;
}

// Start-up reads its pictures and icons as the PNG files they are: no image
// plugin of Qt's is loaded on the way to the window (each would bring its
// own libraries, the JPEG one among them).  Qt names every plugin it loads
// when asked to; the game is stopped once its window is open.
TEST(GameStartUp, LoadsNoImagePluginOnTheWayToTheWindow) {
    char folder[] = "/tmp/zemtori-start-up-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const StartedGame game = start_game(folder, "", true);
    ASSERT_GE(game.pid, 0);
    std::string got;
    const bool open = read_until(game.from_child, got, [](const std::string& g) {
        return g.find("window open") != std::string::npos;
    });
    kill(game.pid, SIGKILL);
    close(game.from_child);
    int status = 0;
    waitpid(game.pid, &status, 0);
    ASSERT_TRUE(open) << got;
    EXPECT_NE(got.find("platforms/libqoffscreen.so\" loaded library"), std::string::npos)
        << "Qt names the plugins it loads";
    std::istringstream lines(got);
    for (std::string line; std::getline(lines, line);)
        EXPECT_FALSE(line.find("imageformats/") != std::string::npos && line.find("loaded library") != std::string::npos)
            << line;
    EXPECT_EQ(std::system((std::string("rm -rf ") + folder).c_str()), 0);
}

// The program keeps its game in the user's state folder: a damaged kept
// game found there at start is removed without a question, and the start
// carries on as always.
TEST(GameStartUp, RemovesADamagedKeptGameFromTheStateFolder) {
    char folder[] = "/tmp/zemtori-kept-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string state = std::string(folder) + "/state", kept = state + "/zemtori/Zemtori-game.txt";
    ASSERT_EQ(std::system(("mkdir -p '" + state + "/zemtori'").c_str()), 0);
    std::ofstream(kept) << "zemtori kept game 1\nlevel 3\n";  // cut short
    const StartedGame game = start_game(folder, state);
    ASSERT_GE(game.pid, 0);
    std::string got;
    const bool said = read_until(game.from_child, got, [](const std::string& g) {
        return start_over(g) && g.find("sounds: ") != std::string::npos;
    });
    kill(game.pid, SIGKILL);
    close(game.from_child);
    int status = 0;
    waitpid(game.pid, &status, 0);
    ASSERT_TRUE(said) << got;
    EXPECT_NE(got.find("zemtori.startup: kept game: removed"), std::string::npos) << got;
    // The window opens first; the kept game is looked for once it shows,
    // and the sound comes in once it shows too.
    const std::size_t window_open = got.find("window open"), sounds = got.find("sounds: "),
                      kept_game = got.find("kept game:");
    ASSERT_NE(window_open, std::string::npos) << got;
    EXPECT_LT(window_open, sounds) << got;
    EXPECT_LT(window_open, kept_game) << got;
    EXPECT_FALSE(std::ifstream(kept).good()) << "the damaged file is still there";
    EXPECT_EQ(std::system((std::string("rm -rf ") + folder).c_str()), 0);
}

// SIGTERM or SIGHUP ends the program as closing its window does: it says so
// in its start-up log, its standard error closes, and it exits with 0 (not
// killed by the signal).  A program that never ends is stopped after a
// minute's silence and fails.
TEST(GameEnds, OnSigtermAndSighupWithStatusZero) {
    for (const int signal : {SIGTERM, SIGHUP}) {
        char folder[] = "/tmp/zemtori-signal-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        const StartedGame game = start_game(folder, std::string(folder) + "/state");
        ASSERT_GE(game.pid, 0);
        std::string got;
        const bool started = read_until(game.from_child, got, start_over);
        ASSERT_EQ(kill(game.pid, signal), 0);
        // Everything it writes until it closes its end of the pipe.
        const bool closed = !read_until(game.from_child, got, [](const std::string&) { return false; });
        if (!closed) kill(game.pid, SIGKILL);
        close(game.from_child);
        int status = 0;
        waitpid(game.pid, &status, 0);
        EXPECT_TRUE(started) << got;
        ASSERT_TRUE(WIFEXITED(status)) << "signal " << signal << " ended it by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 0) << got;
        EXPECT_NE(got.find("ending on signal " + std::to_string(signal)), std::string::npos) << got;
        EXPECT_EQ(std::system((std::string("rm -rf ") + folder).c_str()), 0);
    }
}

// zemtori-analyse under hostile standard streams.
struct AnalyseStreams : ::testing::Test {
    std::string exe = std::string("'") + ZEMTORI_ANALYSE_EXE + "'";
    std::string positions;  // a file of five positions

    void SetUp() override {
        positions = ::testing::TempDir() + "zemtori-streams-" + std::to_string(getpid()) + ".txt";
        const Outcome gen = run(exe + " gen --seed 5 --count 5 > '" + positions + "'");
        ASSERT_EQ(WEXITSTATUS(gen.status), 0);
    }
    void TearDown() override { std::remove(positions.c_str()); }
};

// A closed standard input is an empty one: no answer, and no abort.
TEST_F(AnalyseStreams, AClosedStandardInputReadsAsAnEmptyOne) {
    for (const char* command : {"best --depth 1", "game --level 1", "game --level 4 --nodes 100", "think", "fall",
                                "mate", "moves ue"}) {
        const Outcome r = run(exe + " " + command + " <&- 2>&1");
        ASSERT_TRUE(WIFEXITED(r.status)) << command << ": ended by signal " << WTERMSIG(r.status);
        EXPECT_EQ(WEXITSTATUS(r.status), 0) << command;
        EXPECT_EQ(r.out, "") << command;
    }
    // A folder in its place cannot be read: said, and the status 1.
    const Outcome r = run(exe + " best --depth 1 < /tmp 2>&1");
    ASSERT_TRUE(WIFEXITED(r.status));
    EXPECT_EQ(WEXITSTATUS(r.status), 1);
    EXPECT_EQ(r.out.rfind("zemtori-analyse: reading standard input: ", 0), 0u) << r.out;
}

// Output that cannot be written (a full disk, a closed standard output)
// ends every command at once with a line on standard error and the status
// 1; nothing is thrown away in silence.
TEST_F(AnalyseStreams, AWriteThatFailsEndsTheProgramWithAReason) {
    const std::string commands[] = {
        "gen --seed 1 --count 3000",
        "best --depth 1 < '" + positions + "'",
        "game --level 1 < '" + positions + "'",
        "think --all < '" + positions + "'",
        "match level1 search --games 3 --nodes 100",
    };
    for (const std::string& command : commands) {
        for (const char* output : {">/dev/full", ">&-"}) {
            // Standard error goes to the pipe read here, standard output
            // where `output` says.
            const Outcome r = run(exe + " " + command + " 2>&1 " + output);
            ASSERT_TRUE(WIFEXITED(r.status)) << command << output << ": ended by signal " << WTERMSIG(r.status);
            EXPECT_EQ(WEXITSTATUS(r.status), 1) << command << output;
            EXPECT_EQ(r.out.rfind("zemtori-analyse: writing standard output: ", 0), 0u) << command << output << ": "
                                                                                        << r.out;
            EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << command << output << ": " << r.out;
        }
    }
}

// With SIGPIPE ignored, as some shells and services start programs, `best`
// stops at the first answer its reader is no longer there for, instead of
// thinking through the rest of its input.  Standard input stays open, so the
// program ends only by that failed write.
TEST_F(AnalyseStreams, BestEndsAtTheFirstAnswerNobodyReads) {
    std::ifstream in(positions);
    std::string first, second;
    ASSERT_TRUE(std::getline(in, first) && std::getline(in, second));
    int to_child[2], from_child[2], err_child[2];
    ASSERT_EQ(pipe(to_child), 0);
    ASSERT_EQ(pipe(from_child), 0);
    ASSERT_EQ(pipe(err_child), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        signal(SIGPIPE, SIG_IGN);
        dup2(to_child[0], 0);
        dup2(from_child[1], 1);
        dup2(err_child[1], 2);
        close(to_child[1]);
        close(from_child[0]);
        close(err_child[0]);
        execl(ZEMTORI_ANALYSE_EXE, ZEMTORI_ANALYSE_EXE, "best", "--depth", "1", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(to_child[0]);
    close(from_child[1]);
    close(err_child[1]);
    // The first answer is read, as `head -1` reads it; then the reader goes.
    const std::string line1 = first + "\n", line2 = second + "\n";
    ASSERT_EQ(write(to_child[1], line1.data(), line1.size()), static_cast<ssize_t>(line1.size()));
    std::string got;
    EXPECT_TRUE(read_until(from_child[0], got, [](const std::string& g) { return g.find('\n') != std::string::npos; }));
    EXPECT_EQ(got.rfind("best ", 0), 0u) << got;
    close(from_child[0]);
    ASSERT_EQ(write(to_child[1], line2.data(), line2.size()), static_cast<ssize_t>(line2.size()));

    // The program's message, then the end of its standard error as it exits.
    std::string err;
    read_until(err_child[0], err, [](const std::string&) { return false; });
    const bool ended = !err.empty();
    if (!ended) kill(pid, SIGKILL);
    close(to_child[1]);
    close(err_child[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(ended) << "best went on after its reader had gone";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(err.rfind("zemtori-analyse: writing standard output: ", 0), 0u) << err;
}

// A move's time is at most a day for every command that takes one.
TEST_F(AnalyseStreams, AMovesTimeIsAtMostADayEverywhere) {
    for (const char* command : {"best --movetime ", "game --level 4 --movetime ", "match search level1 --games 1 --movetime "}) {
        const Outcome over = run(exe + " " + command + "86400001 </dev/null 2>/dev/null");
        EXPECT_EQ(WEXITSTATUS(over.status), 2) << command;
        EXPECT_EQ(over.out, "") << command;
    }
    for (const char* command : {"best --movetime ", "game --level 4 --movetime "}) {
        const Outcome day = run(exe + " " + command + "86400000 </dev/null 2>&1");
        EXPECT_EQ(WEXITSTATUS(day.status), 0) << command << day.out;
    }
}

// The peak memory (KB) of `args` run as a child, or -1.
long peak_memory_kb(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        freopen("/dev/null", "w", stdout);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return usage.ru_maxrss;
}

// Every game played side by side holds a searching player's table of some
// megabytes, so `--jobs` beyond the machine's processors plays as many as
// it has: 256 asked for take no more memory than that.
TEST(AnalyseMatch, PlaysNoMoreGamesSideBySideThanTheMachineHasProcessors) {
    const auto match = [](const char* jobs) {
        return peak_memory_kb({ZEMTORI_ANALYSE_EXE, "match", "search", "search", "--games", "16", "--nodes", "200",
                               "--jobs", jobs});
    };
    const long one = match("1");
    const long many = match("256");
    ASSERT_GT(one, 0);
    ASSERT_GT(many, 0);
    const long processors = std::max(1u, std::thread::hardware_concurrency());
    // Measured: 8 MB more for each game side by side (two searching players,
    // a 4 MB table each).
    EXPECT_LT(many, one + (processors - 1) * 10 * 1024 + 2048) << "with " << processors << " processors";
}

}  // namespace
