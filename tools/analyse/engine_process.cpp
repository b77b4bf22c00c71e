#include "engine_process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "protocol/commands.h"

extern char** environ;

namespace zemtori::analyse {

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

EngineProcess::~EngineProcess() {
    if (fd_ >= 0) {
        send("quit");
        close(fd_);
    }
    if (pid_ > 0) {
        int status = 0;
        for (int i = 0; i < 200; ++i) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
}

bool EngineProcess::spawn(const std::string& path) {
    if (pid_ > 0) return false;
    int sv[2];
    // Close-on-exec, so an engine started by another game at the same time
    // does not keep this one's end open.
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, sv[1], 0);
    posix_spawn_file_actions_adddup2(&actions, sv[1], 1);
    std::string program = path, word = "engine";
    char* argv[] = {program.data(), word.data(), nullptr};
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(sv[1]);
    if (failed != 0) {
        close(sv[0]);
        return false;
    }
    pid_ = pid;
    fd_ = sv[0];
    return true;
}

bool EngineProcess::start(const std::string& path, int hash_mb) {
    if (!spawn(path)) return false;
    constexpr long long HANDSHAKE_MS = 10000;
    std::string line;
    if (!send("usi")) return false;
    bool hash = false;
    do {
        if (!read_line(line, HANDSHAKE_MS)) return false;
        hash = hash || line.rfind("option name Hash ", 0) == 0;
    } while (line != "usiok");
    if (hash && !send("setoption name Hash value " + std::to_string(hash_mb))) return false;
    if (!send("isready")) return false;
    do {
        if (!read_line(line, HANDSHAKE_MS)) return false;
    } while (line != "readyok");
    return send("usinewgame");
}

bool EngineProcess::send(const std::string& line) {
    if (fd_ < 0) return false;
    const std::string text = line + '\n';
    std::size_t done = 0;
    while (done < text.size()) {
        // No SIGPIPE when the engine has gone: the send fails instead.
        const ssize_t n = ::send(fd_, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool EngineProcess::read_line(std::string& line, long long timeout_ms) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(0LL, timeout_ms));
    for (;;) {
        const std::size_t nl = buffer_.find('\n');
        if (nl != std::string::npos) {
            line = buffer_.substr(0, nl);
            buffer_.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
        if (fd_ < 0) return false;
        int wait = -1;
        if (timeout_ms >= 0) {
            const long long left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left < 0) return false;
            wait = static_cast<int>(std::min(left + 1, 1LL << 30));
        }
        pollfd p{fd_, POLLIN, 0};
        const int ready = poll(&p, 1, wait);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char buf[4096];
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        buffer_.append(buf, static_cast<std::size_t>(n));
    }
}

bool EngineProcess::best_move(const std::string& position, const std::string& go, long long timeout_ms,
                              std::string& move) {
    if (!send(position) || !send(go)) return false;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(0LL, timeout_ms));
    std::string line;
    for (;;) {
        long long left = -1;
        if (timeout_ms >= 0)
            left = std::max(0LL, static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                            deadline - Clock::now())
                                                            .count()));
        if (!read_line(line, left)) return false;
        if (line.rfind("bestmove ", 0) == 0) {
            const std::vector<std::string> w = protocol::words(line);
            if (w.size() < 2) return false;
            move = w[1];
            return true;
        }
    }
}

}  // namespace zemtori::analyse
