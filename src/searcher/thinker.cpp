#include "searcher/thinker.h"

#include <utility>

namespace zemtori::searcher {

Thinker::Thinker(int table_bits) : searcher_(table_bits) {}

Thinker::~Thinker() {
    stop_.store(true, std::memory_order_relaxed);
    join();
}

void Thinker::join() {
    if (worker_.joinable()) worker_.join();
}

void Thinker::start(const CompactPosition& pos, const Limits& limits, std::vector<uint64_t> game_keys,
                    std::function<void()> finished) {
    const std::size_t plies = game_keys.size();
    start(pos, limits, History{std::move(game_keys), plies, false}, std::move(finished));
}

void Thinker::start(const CompactPosition& pos, const Limits& limits, History history,
                    std::function<void()> finished) {
    if (busy()) {
        stop_.store(true, std::memory_order_relaxed);
        join();
    }
    stop_.store(false, std::memory_order_relaxed);
    finished_.store(false, std::memory_order_relaxed);
    // The worker alone touches the searcher until it is joined again.
    worker_ = std::thread([this, pos, limits, history = std::move(history), finished = std::move(finished)]() {
        searcher_.set_game(history);
        SearchResult r = searcher_.think(pos, limits, &stop_);
        {
            std::lock_guard<std::mutex> guard(lock_);
            result_ = std::move(r);
            finished_.store(true, std::memory_order_release);
        }
        finished_signal_.notify_all();
        if (finished) finished();
    });
}

void Thinker::clear() {
    if (busy()) {
        stop_.store(true, std::memory_order_relaxed);
        join();
        finished_.store(false, std::memory_order_relaxed);
    }
    searcher_.clear();
}

bool Thinker::wait_for(std::chrono::milliseconds timeout) {
    if (!busy()) return false;
    std::unique_lock<std::mutex> guard(lock_);
    return finished_signal_.wait_for(guard, timeout, [this] { return finished_.load(std::memory_order_acquire); });
}

std::optional<SearchResult> Thinker::take() {
    if (!busy() || !done()) return std::nullopt;
    join();
    finished_.store(false, std::memory_order_relaxed);
    return std::move(result_);
}

std::optional<SearchResult> Thinker::stop() {
    if (!busy()) return std::nullopt;
    stop_.store(true, std::memory_order_relaxed);
    join();
    finished_.store(false, std::memory_order_relaxed);
    return std::move(result_);
}

}  // namespace zemtori::searcher
