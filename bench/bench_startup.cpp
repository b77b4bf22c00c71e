// Start-up, side by side: the real game and a bare Qt window of the same
// size, each started as a child process until it reports its window open.
// Both run with the same environment (offscreen, or on the display), in
// alternating order, so a
// busy machine slows both alike; the counters are the medians and their
// ratio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Sets the environment both programs start in, once: offscreen, no sound
// device, settings and state in a folder of their own, and the game's start-up log on.
void prepare_environment() {
    static const bool done = [] {
        char folder[] = "/tmp/zemtori-bench-startup-XXXXXX";
        if (!mkdtemp(folder)) return false;
        const std::string base = folder;
        const std::string config = base + "/config", runtime = base + "/runtime";
        mkdir(config.c_str(), 0700);
        mkdir(runtime.c_str(), 0700);
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("XDG_STATE_HOME", (base + "/state").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("QT_LOGGING_RULES", "zemtori.startup.info=true", 1);
        return true;
    }();
    (void)done;
}

// Starts `program` and returns the seconds until it writes "window open" on
// stderr, or a negative value when it ends or stays silent for ten seconds.
// The child is ended as soon as the line is seen.
double seconds_to_window(const char* program) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return -1;
    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        close(pipe_fds[0]);
        close(pipe_fds[1]);
        return -1;
    }
    if (pid == 0) {
        dup2(pipe_fds[1], STDERR_FILENO);
        const int null_fd = open("/dev/null", O_WRONLY);
        if (null_fd >= 0) dup2(null_fd, STDOUT_FILENO);
        close(pipe_fds[0]);
        close(pipe_fds[1]);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipe_fds[1]);

    double seconds = -1;
    std::string seen;
    const Clock::time_point give_up = start + std::chrono::seconds(10);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(give_up - Clock::now()).count();
        if (left <= 0) break;
        pollfd p{pipe_fds[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) break;
        char buffer[4096];
        const ssize_t got = read(pipe_fds[0], buffer, sizeof buffer);
        if (got <= 0) break;
        seen.append(buffer, static_cast<size_t>(got));
        if (seen.find("window open") != std::string::npos) {
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
            break;
        }
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    close(pipe_fds[0]);
    return seconds;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Each iteration starts both programs once, the order alternating; the
// iteration's time is the game's.  With the argument 1 both open on the
// display (X11, as a player sees them) instead of offscreen, when there is
// one.
void BM_StartupToWindowOpen(benchmark::State& state) {
    prepare_environment();
    const bool on_display = state.range(0) == 1;
    if (on_display) {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) {
            state.SkipWithError("no display (DISPLAY is not set)");
            return;
        }
    }
    setenv("QT_QPA_PLATFORM", on_display ? "xcb" : "offscreen", 1);
    // One untimed start of each first, so both find their files in the cache
    // and the game's settings file already written.
    if (seconds_to_window(ZEMTORI_GAME_EXE) < 0 || seconds_to_window(ZEMTORI_BARE_WINDOW_EXE) < 0) {
        state.SkipWithError("a program did not report its window open");
        return;
    }
    std::vector<double> game, bare;
    bool game_first = true;
    for (auto _ : state) {
        double g = 0, b = 0;
        if (game_first) {
            g = seconds_to_window(ZEMTORI_GAME_EXE);
            b = seconds_to_window(ZEMTORI_BARE_WINDOW_EXE);
        } else {
            b = seconds_to_window(ZEMTORI_BARE_WINDOW_EXE);
            g = seconds_to_window(ZEMTORI_GAME_EXE);
        }
        game_first = !game_first;
        if (g < 0 || b < 0) {
            state.SkipWithError("a program did not report its window open");
            return;
        }
        state.SetIterationTime(g);
        game.push_back(g);
        bare.push_back(b);
    }
    const double g = median(game), b = median(bare);
    state.counters["game_ms"] = g * 1000;
    state.counters["bare_qt_ms"] = b * 1000;
    state.counters["ratio"] = g / b;
}
BENCHMARK(BM_StartupToWindowOpen)
    ->ArgName("display")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(21);

}  // namespace
