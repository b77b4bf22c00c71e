#include "protocol/engine.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <istream>
#include <memory>
#include <mutex>
#include <new>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "protocol/commands.h"
#include "protocol/lines.h"
#include "record/entry_line.h"
#include "searcher/alpha_beta.h"

namespace zemtori::protocol {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int DEFAULT_HASH_MB = 16;
constexpr int MIN_HASH_MB = 1;
constexpr int MAX_HASH_MB = 1024;
constexpr std::size_t LONGEST_LINE = 1 << 20;
// How far the input is read ahead of the commands taken: a go waiting for
// the search before it lets this much more come in, a stop among it.
constexpr std::size_t MOST_LINES_AHEAD = 1024;
constexpr std::size_t MOST_BYTES_AHEAD = std::size_t{16} << 20;

// A table of `mb` megabytes, its entries 16 bytes each: 2^bits entries with
// the largest bits that fit.
int table_bits(int mb) {
    int bits = 16;  // 1 MB
    while ((std::int64_t{16} << (bits + 1)) <= std::int64_t{mb} << 20) ++bits;
    return bits;
}

class Output {
public:
    explicit Output(std::ostream& out) : out_(out) {}
    void line(const std::string& text) {
        std::lock_guard<std::mutex> guard(lock_);
        out_ << text << '\n';
        out_.flush();
    }

private:
    std::ostream& out_;
    std::mutex lock_;
};

std::string info_line(const searcher::CompactPosition& root, const searcher::SearchResult& r, long long ms) {
    std::string s = "info depth " + std::to_string(r.depth) + " score ";
    // A won score is WIN less the ply at which the king is taken; a mate is
    // written as the plies up to and with that capture.
    const int a = r.score < 0 ? -r.score : r.score;
    if (a > searcher::WIN - 1000)
        s += "mate " + std::string(r.score < 0 ? "-" : "") + std::to_string(searcher::WIN - a + 1);
    else s += "cp " + std::to_string(r.score);
    const long long nps = r.nodes * 1000 / std::max(1LL, ms);
    s += " nodes " + std::to_string(r.nodes) + " nps " + std::to_string(nps) + " time " + std::to_string(ms);
    if (!r.pv.empty()) {
        s += " pv";
        searcher::CompactPosition p = root;
        for (const searcher::Move m : r.pv) {
            s += ' ' + move_token(searcher::to_rules_move(p, m));
            searcher::make(p, m);
        }
    }
    return s;
}

// An info line for every depth searched in full.
struct Reporter final : searcher::DepthObserver {
    explicit Reporter(Output& o) : out(o) {}
    void depth_done(const searcher::SearchResult& r) override {
        const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - begun).count();
        out.line(info_line(root, r, ms));
    }
    Output& out;
    searcher::CompactPosition root{};
    Clock::time_point begun;
};

// A line of the input as the reader hands it over.
struct Line {
    std::string text;
    bool cut = false;        // longer than LONGEST_LINE
    bool end = false;        // the end of the input
    bool interrupt = false;  // stop, quit or the end: a search waited for stops
};

class Engine {
public:
    Engine(std::istream& in, std::ostream& out) : in_(in), out_(out) {}
    ~Engine() {
        stop();
        // The reader has read up to the quit or the end of the input by the
        // time the commands end.
        if (reader_.joinable()) reader_.join();
    }

    void run() {
        reader_ = std::thread([this] { read_input(); });
        for (;;) {
            const Line line = next_line();
            if (line.end) {
                // The end of the input: a search, endless or not, stops now.
                stop();
                return;
            }
            if (line.cut) {
                error("line longer than " + std::to_string(LONGEST_LINE) + " characters");
                continue;
            }
            if (!command(line.text)) return;
        }
    }

private:
    // The reader's thread: every line into the queue, up to the quit or the
    // end of the input.
    void read_input() {
        for (;;) {
            Line line;
            line.end = !read_line(in_, line.text, LONGEST_LINE, &line.cut);
            bool quit = false;
            if (!line.end && !line.cut) {
                const std::vector<std::string> w = words(line.text);
                quit = !w.empty() && w[0] == "quit";
                line.interrupt = quit || (!w.empty() && w[0] == "stop");
            }
            line.interrupt = line.interrupt || line.end;
            std::unique_lock<std::mutex> guard(lock_);
            signal_.wait(guard, [this] {
                return queue_.empty() || (queue_.size() < MOST_LINES_AHEAD && queued_bytes_ < MOST_BYTES_AHEAD);
            });
            const bool last = line.end || quit;
            queued_bytes_ += line.text.size();
            interrupts_queued_ += line.interrupt;
            queue_.push_back(std::move(line));
            signal_.notify_all();
            if (last) return;
        }
    }

    Line next_line() {
        std::unique_lock<std::mutex> guard(lock_);
        signal_.wait(guard, [this] { return !queue_.empty(); });
        Line line = std::move(queue_.front());
        queue_.pop_front();
        queued_bytes_ -= line.text.size();
        interrupts_queued_ -= line.interrupt;
        signal_.notify_all();
        return line;
    }

    void error(const std::string& text) { out_.line("info string error: " + text); }

    // False on quit.
    bool command(const std::string& line) {
        const std::vector<std::string> w = words(line);
        if (w.empty()) return true;
        const std::string& word = w[0];
        if (word == "usi") {
            out_.line("id name Zemtori " ZEMTORI_VERSION);
            out_.line("id author the Zemtori developers");
            out_.line("option name Hash type spin default " + std::to_string(DEFAULT_HASH_MB) + " min " +
                      std::to_string(MIN_HASH_MB) + " max " + std::to_string(MAX_HASH_MB));
            out_.line("usiok");
        } else if (word == "isready") {
            if (!thinking()) make_searcher();
            out_.line("readyok");
        } else if (word == "setoption") {
            setoption(w);
        } else if (word == "usinewgame" || word == "gameover") {
            if (word == "gameover") stop();
            // A new game starts with an empty table; within a game the
            // table is kept from move to move.
            if (word == "usinewgame" && searcher_ && !thinking()) {
                finish();
                searcher_->clear();
            }
        } else if (word == "position") {
            const std::string problem = read_position_line(line, game_);
            if (!problem.empty()) error(problem);
        } else if (word == "go") {
            go(w);
        } else if (word == "stop") {
            stop();
        } else if (word == "ponderhit") {
            error("'ponderhit': this engine does not ponder");
        } else if (word == "quit") {
            stop();
            return false;
        } else if (word == "d") {
            out_.line(std::string("info string side ") + (game_.side() > 0 ? "upper" : "lower") + " moves " +
                      std::to_string(game_.moves()) + " ply " + std::to_string(game_.plies()) +
                      (game_.ended() ? " ended" : "") + " entry " + entry_line_of(game_.position()));
        } else {
            error("unknown command '" + shown(word) + "'");
        }
        return true;
    }

    void setoption(const std::vector<std::string>& w) {
        if (w.size() != 5 || w[1] != "name" || w[3] != "value") {
            error("'setoption' takes: name NAME value VALUE");
            return;
        }
        if (w[2] != "Hash" && w[2] != "USI_Hash") {
            error("unknown option '" + shown(w[2]) + "'");
            return;
        }
        long long mb = 0;
        if (!parse_number(w[4], MIN_HASH_MB, MAX_HASH_MB, mb)) {
            error("Hash value '" + shown(w[4]) + "' is not a number of MB from " + std::to_string(MIN_HASH_MB) +
                  " to " + std::to_string(MAX_HASH_MB));
            return;
        }
        if (thinking() && infinite_) {
            error("'setoption' while thinking without end (stop first)");
            return;
        }
        finish();
        hash_mb_ = static_cast<int>(mb);
    }

    void make_searcher() {
        const int bits = table_bits(hash_mb_);
        if (!searcher_ || bits != searcher_bits_) {
            searcher_.reset();
            try {
                searcher_ = std::make_unique<searcher::Searcher>(bits);
                searcher_bits_ = bits;
            } catch (const std::bad_alloc&) {
                error("no memory for a Hash of " + std::to_string(hash_mb_) + " MB; it is " +
                      std::to_string(MIN_HASH_MB) + " MB");
                hash_mb_ = MIN_HASH_MB;
                searcher_ = std::make_unique<searcher::Searcher>(table_bits(MIN_HASH_MB));
                searcher_bits_ = table_bits(MIN_HASH_MB);
            }
        }
    }

    void go(const std::vector<std::string>& w) {
        // A search with a limit is waited for, so lines piped in are taken
        // in order; an endless one must be stopped first.
        if (thinking() && infinite_) {
            error("'go' while thinking without end (stop first)");
            return;
        }
        finish();
        GoPlan plan;
        const std::string problem = read_go_line(w, game_.side(), plan);
        if (!problem.empty()) {
            error(problem);
            return;
        }
        const Clock::time_point begun = Clock::now();
        if (game_.ended()) {
            out_.line("bestmove resign");
            return;
        }

        make_searcher();
        const searcher::CompactPosition root = searcher::from_rules(game_.position(), game_.side());
        reporter_.root = root;
        reporter_.begun = begun;
        searcher::Limits limits = plan.limits;
        limits.on_depth = &reporter_;
        searcher_->set_game(game_.history());
        const bool infinite = plan.infinite;
        {
            std::lock_guard<std::mutex> guard(lock_);
            stop_flag_.store(false);
            finished_ = false;
            stop_asked_ = false;
            infinite_ = infinite;
        }
        worker_ = std::thread([this, root, limits, infinite]() {
            const searcher::SearchResult r = searcher_->think(root, limits, &stop_flag_);
            {
                std::unique_lock<std::mutex> guard(lock_);
                finished_ = true;
                signal_.notify_all();
                // An endless search answers only when told to stop.
                if (infinite) signal_.wait(guard, [this] { return stop_asked_; });
            }
            out_.line(r.best.is_null() ? std::string("bestmove resign")
                                       : "bestmove " + move_token(searcher::to_rules_move(root, r.best)));
        });
        if (plan.hard_ms > 0) {
            // Our own deadline: whatever the search does, it is stopped here.
            const Clock::time_point deadline = begun + std::chrono::milliseconds(plan.hard_ms);
            timer_ = std::thread([this, deadline]() {
                std::unique_lock<std::mutex> guard(lock_);
                if (!signal_.wait_until(guard, deadline, [this] { return finished_ || stop_asked_; }))
                    stop_flag_.store(true);
            });
        }
    }

    bool thinking() {
        std::lock_guard<std::mutex> guard(lock_);
        return worker_.joinable() && !(finished_ && !infinite_);
    }

    // Ends the search at once; it answers with its best move so far.
    void stop() {
        {
            std::lock_guard<std::mutex> guard(lock_);
            stop_asked_ = true;
            stop_flag_.store(true);
        }
        signal_.notify_all();
        finish();
    }

    // Waits for the search to end by itself, or, when a stop, a quit or the
    // end of the input is among the lines read meanwhile, ends it at once.
    void finish() {
        if (worker_.joinable()) {
            std::unique_lock<std::mutex> guard(lock_);
            signal_.wait(guard, [this] { return finished_ || interrupts_queued_ > 0; });
            if (!finished_) stop_flag_.store(true);
        }
        if (worker_.joinable()) worker_.join();
        if (timer_.joinable()) timer_.join();
    }

    std::istream& in_;
    Output out_;
    Reporter reporter_{out_};  // set before each search, read by it alone
    int hash_mb_ = DEFAULT_HASH_MB;
    int searcher_bits_ = 0;
    std::unique_ptr<searcher::Searcher> searcher_;
    Game game_;

    std::thread reader_, worker_, timer_;
    std::atomic<bool> stop_flag_{false};
    // One lock and one signal for the queue of lines and the search's state.
    std::mutex lock_;
    std::condition_variable signal_;
    std::deque<Line> queue_;
    std::size_t queued_bytes_ = 0;
    int interrupts_queued_ = 0;
    bool finished_ = false, stop_asked_ = false, infinite_ = false;
};

}  // namespace

void serve(std::istream& in, std::ostream& out) {
    Engine e(in, out);
    e.run();
}

}  // namespace zemtori::protocol
