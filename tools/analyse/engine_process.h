// The other end of the engine protocol (protocol/engine.h): an engine run
// as a program of its own, `PATH engine`, which match's `engine:PATH` player
// starts and plays.
#pragma once

#include <sys/types.h>

#include <string>

namespace zemtori::analyse {

// An engine run as `PATH engine` with its standard input and output on a
// socket of ours.  The destructor says quit and waits a moment for it to
// end, then kills it.
class EngineProcess {
public:
    EngineProcess() = default;
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Starts it and goes through usi, setoption Hash (when it offers the
    // option), isready and usinewgame.  False when it cannot be started or
    // does not answer within 10 s.
    bool start(const std::string& path, int hash_mb);
    // Only starts it.
    bool spawn(const std::string& path);

    // Sends `position` and `go`, then reads up to the bestmove line, at most
    // `timeout_ms` (negative: no limit): the move's token, or "resign"; false
    // when no bestmove came.
    bool best_move(const std::string& position, const std::string& go, long long timeout_ms, std::string& move);

    bool send(const std::string& line);
    // The next line within `timeout_ms` (negative: no limit); false at the
    // end of its output or on the timeout.
    bool read_line(std::string& line, long long timeout_ms);

private:
    pid_t pid_ = -1;
    int fd_ = -1;
    std::string buffer_;
};

}  // namespace zemtori::analyse
