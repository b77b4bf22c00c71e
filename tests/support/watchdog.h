// A guard for a test that waits on another thread: nothing here is timed,
// but a wait that never ends (a search that ignores its stop flag, a join
// that never returns) would hang the run for hours.  A watchdog far beyond
// any wait a working program needs turns that into a failure that says what
// hung.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace zemtori::test {

class Watchdog {
public:
    static constexpr auto HANG_GUARD = std::chrono::minutes(5);

    explicit Watchdog(const char* what) : what_(what), thread_([this] {
        std::unique_lock<std::mutex> guard(lock_);
        if (!signal_.wait_for(guard, HANG_GUARD, [this] { return over_; })) {
            std::fprintf(stderr, "hung: %s\n", what_);
            std::abort();
        }
    }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> guard(lock_);
            over_ = true;
        }
        signal_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    const char* what_;
    std::mutex lock_;
    std::condition_variable signal_;
    bool over_ = false;
    std::thread thread_;
};

}  // namespace zemtori::test
