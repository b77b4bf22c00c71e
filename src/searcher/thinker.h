// The searching player on a thread of its own, for a caller that must keep
// running while it thinks (a window that paints and counts its clock).
//
// start() copies the position and returns at once; the search runs on a
// worker thread with a searcher (and table) the thinker keeps from one
// search to the next.  The caller polls done() and take(), or waits with a
// timeout, or calls stop(), which raises the search's stop flag and joins
// the worker: the search ends within a node or so.  Destroying a thinker
// that is still thinking stops it the same way, so closing the window never
// waits for a search to finish.
//
// Only the thread that owns the thinker calls its members; the optional
// `finished` callback runs on the worker thread, once per search (a search
// stopped, replaced or ended by the destructor included), after the result
// is ready: a window can post itself a wake-up from it, and must not call
// the thinker from it.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "searcher/alpha_beta.h"

namespace zemtori::searcher {

class Thinker {
public:
    explicit Thinker(int table_bits = 20);
    ~Thinker();

    Thinker(const Thinker&) = delete;
    Thinker& operator=(const Thinker&) = delete;

    // Starts thinking about `pos` within `limits`, knowing the game before
    // it (`history`, see game_history).  A search still running is stopped
    // first and its result dropped.
    void start(const CompactPosition& pos, const Limits& limits, History history = {},
               std::function<void()> finished = {});
    // The same told only the keys of the positions before it, each a ply of
    // the game (Searcher::set_game).
    void start(const CompactPosition& pos, const Limits& limits, std::vector<uint64_t> game_keys,
               std::function<void()> finished = {});

    // Forgets what earlier searches left in the table: a new game.  A search
    // still running is stopped first and its result dropped.
    void clear();

    // A search was started and its result not yet taken.
    bool busy() const { return worker_.joinable(); }

    // The search has finished (by its limits or by stop()); take() answers.
    bool done() const { return finished_.load(std::memory_order_acquire); }

    // Waits at most `timeout` for the search to finish; true when it has.
    // Without a search it answers false at once.
    bool wait_for(std::chrono::milliseconds timeout);

    // The finished search's result, after which the thinker is idle; nothing
    // while no search has finished (it never blocks).
    std::optional<SearchResult> take();

    // Ends the search at once and joins the worker.  The result is the best
    // move of the last depth finished (when depth 1 was not finished, the
    // best root move scored so far, or the first move generated when none
    // had a score yet; a king that can be taken is always taken); nothing
    // when no search was running or its result was already taken.
    std::optional<SearchResult> stop();

private:
    void join();

    Searcher searcher_;
    std::thread worker_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::mutex lock_;
    std::condition_variable finished_signal_;
    SearchResult result_;  // written by the worker before finished_ is set
};

}  // namespace zemtori::searcher
