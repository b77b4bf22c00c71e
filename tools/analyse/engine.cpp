#include "engine.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <istream>
#include <memory>
#include <mutex>
#include <new>
#include <ostream>
#include <thread>

#include "commands.h"
#include "rules/legality.h"
#include "rules/moves.h"
#include "rules/opening.h"
#include "searcher/alpha_beta.h"

extern char** environ;

namespace zemtori::analyse {

bool play_move(zemtori::Position& pos, const searcher::RulesMove& m) {
    TurnState turn;
    turn.COM_GAWA = SENTE_GAWA;  // the upper side's value
    turn.MAN_GAWA = GOTE_GAWA;
    sashite_jikkou(pos, turn, nullptr, m.from_x, m.from_y, m.to_x, m.to_y, m.koma);
    rakka(pos, nullptr);
    return turn.SHOSHA != NASHI;
}

std::string move_token(const searcher::RulesMove& m) {
    return std::to_string(m.from_x) + ',' + std::to_string(m.from_y) + ',' + std::to_string(m.to_x) + ',' +
           std::to_string(m.to_y) + ',' + std::to_string(m.koma);
}

MoveTime time_for_move(long long remaining, long long byoyomi, long long increment) {
    remaining = std::max(0LL, remaining);
    byoyomi = std::max(0LL, byoyomi);
    increment = std::max(0LL, increment);
    // The increment comes after the move; the byoyomi is this move's too.
    const long long can_use = remaining + byoyomi;
    // Room for the answer to reach the other end and for a busy machine: a
    // fifth of a short allowance, 50 ms of a long one.
    const long long margin = std::min(50LL, can_use * 2 / 5);
    MoveTime t;
    t.hard = std::max(1LL, can_use - margin);
    long long target;
    if (byoyomi > 0) target = remaining / 25 + byoyomi;
    else if (increment > 0) target = remaining / 25 + increment * 3 / 4;
    else target = remaining / 30;
    // The search uses its aim to the end, so the aim keeps a quarter of the
    // hard stop free for the answer's way back on a busy machine.
    t.target = std::clamp(target, 1LL, std::max(1LL, t.hard * 3 / 4));
    return t;
}

namespace {

using Clock = std::chrono::steady_clock;

constexpr int DEFAULT_HASH_MB = 16;
constexpr int MIN_HASH_MB = 1;
constexpr int MAX_HASH_MB = 1024;
constexpr std::size_t LONGEST_LINE = 1 << 20;
constexpr std::size_t ENTRY_COLUMNS = 333;

// A table of `mb` megabytes, its entries 16 bytes each: 2^bits entries with
// the largest bits that fit.
int table_bits(int mb) {
    int bits = 16;  // 1 MB
    while ((std::int64_t{16} << (bits + 1)) <= std::int64_t{mb} << 20) ++bits;
    return bits;
}

std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        const std::size_t from = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
        if (i > from) words.push_back(text.substr(from, i - from));
    }
    return words;
}

// A whole decimal number, optionally negative, within [lo, hi].
bool parse_number(const std::string& text, long long lo, long long hi, long long& value) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) ++i;
    if (i == text.size() || text.size() - i > 15) return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
    }
    if (negative) v = -v;
    if (v < lo || v > hi) return false;
    value = v;
    return true;
}

// Five integers joined by commas.
bool parse_move(const std::string& token, searcher::RulesMove& m) {
    long long v[5];
    std::size_t from = 0;
    for (int k = 0; k < 5; ++k) {
        const std::size_t comma = k < 4 ? token.find(',', from) : token.size();
        if (comma == std::string::npos) return false;
        if (!parse_number(token.substr(from, comma - from), -1000, 1000, v[k])) return false;
        from = comma + 1;
    }
    m = searcher::RulesMove{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                          static_cast<int>(v[3]), static_cast<int>(v[4])};
    return true;
}

// The game as the last position command gave it: the position now, whose
// move it is, and the keys of every position so far, the current one last,
// which the searcher is told as match tells it.
struct Game {
    zemtori::Position pos;
    int side = -1;
    int moves = 0;
    bool ended = false;  // a king was taken
    std::vector<std::uint64_t> keys;
};

Game game_from(const zemtori::Position& start, int side) {
    Game g;
    g.pos = start;
    g.side = side;
    g.keys.push_back(searcher::from_rules(start, side).key());
    return g;
}

zemtori::Position settled_opening() {
    zemtori::Position pos;
    shoki_haichi(pos);
    rakka(pos, nullptr);
    return pos;
}

// Plays one move token; an error text naming it when it cannot be played.
std::string play_token(Game& g, const std::string& token) {
    searcher::RulesMove m{};
    if (!parse_move(token, m)) return "malformed move '" + token + "'";
    if (g.ended) return "move '" + token + "' after a king was taken";
    const searcher::CompactPosition sp = searcher::from_rules(g.pos, g.side);
    searcher::MoveList list;
    searcher::generate(sp, list);
    bool legal = false;
    for (int i = 0; i < list.size && !legal; ++i) legal = searcher::to_rules_move(sp, list.moves[i]) == m;
    if (!legal)
        return "illegal move '" + token + "' for the " + (g.side > 0 ? "upper" : "lower") + " side at move " +
               std::to_string(g.moves + 1);
    g.ended = play_move(g.pos, m);
    g.side = -g.side;
    ++g.moves;
    g.keys.push_back(searcher::from_rules(g.pos, g.side).key());
    return {};
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

class Engine {
public:
    Engine(std::istream& in, std::ostream& out) : in_(in), out_(out), game_(game_from(settled_opening(), -1)) {}
    ~Engine() { stop(); }

    void run() {
        std::string line;
        bool cut = false;
        while (read_line(in_, line, LONGEST_LINE, &cut)) {
            if (cut) {
                error("line longer than " + std::to_string(LONGEST_LINE) + " characters");
                continue;
            }
            if (!command(line)) return;
        }
        // The end of the input: a search with a limit finishes and answers,
        // an endless one is stopped.
        if (infinite_) stop();
        else finish();
    }

private:
    void error(const std::string& text) { out_.line("info string error: " + text); }

    // False on quit.
    bool command(const std::string& line) {
        const std::vector<std::string> words = split(line);
        if (words.empty()) return true;
        const std::string& w = words[0];
        if (w == "usi") {
            out_.line("id name Zemtori " ZEMTORI_VERSION);
            out_.line("id author the Zemtori developers");
            out_.line("option name Hash type spin default " + std::to_string(DEFAULT_HASH_MB) + " min " +
                      std::to_string(MIN_HASH_MB) + " max " + std::to_string(MAX_HASH_MB));
            out_.line("usiok");
        } else if (w == "isready") {
            if (!thinking()) make_searcher();
            out_.line("readyok");
        } else if (w == "setoption") {
            setoption(words);
        } else if (w == "usinewgame" || w == "gameover") {
            if (w == "gameover") stop();
            // A new game starts with an empty table; within a game the
            // table is kept from move to move.
            if (w == "usinewgame" && searcher_ && !thinking()) {
                finish();
                searcher_->clear();
            }
        } else if (w == "position") {
            position(line, words);
        } else if (w == "go") {
            go(words);
        } else if (w == "stop") {
            stop();
        } else if (w == "ponderhit") {
            error("'ponderhit': this engine does not ponder");
        } else if (w == "quit") {
            stop();
            return false;
        } else if (w == "d") {
            out_.line(std::string("info string side ") + (game_.side > 0 ? "upper" : "lower") + " moves " +
                      std::to_string(game_.moves) + (game_.ended ? " ended" : "") + " entry " +
                      entry_line(game_.pos));
        } else {
            error("unknown command '" + w + "'");
        }
        return true;
    }

    void setoption(const std::vector<std::string>& words) {
        if (words.size() != 5 || words[1] != "name" || words[3] != "value") {
            error("'setoption' takes: name NAME value VALUE");
            return;
        }
        if (words[2] != "Hash" && words[2] != "USI_Hash") {
            error("unknown option '" + words[2] + "'");
            return;
        }
        long long mb = 0;
        if (!parse_number(words[4], MIN_HASH_MB, MAX_HASH_MB, mb)) {
            error("Hash value '" + words[4] + "' is not a number of MB from " + std::to_string(MIN_HASH_MB) +
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

    // The whole line is read into a game of its own, which replaces the
    // current one only when every part of it is right.
    void position(const std::string& line, const std::vector<std::string>& words) {
        if (words.size() < 2) {
            error("'position' takes startpos or entry");
            return;
        }
        std::vector<std::string> rest;
        zemtori::Position start;
        bool side_needed = false;
        if (words[1] == "startpos") {
            start = settled_opening();
            rest.assign(words.begin() + 2, words.end());
        } else if (words[1] == "entry") {
            // The entry line has blanks of its own: its 333 columns follow
            // the word and one blank.
            std::size_t at = line.find("entry");
            at += 6;
            if (at > line.size() || line.size() - at < ENTRY_COLUMNS) {
                error("the entry line after 'entry' is shorter than " + std::to_string(ENTRY_COLUMNS) + " columns");
                return;
            }
            const std::string entry = line.substr(at, ENTRY_COLUMNS);
            for (std::size_t i = 0; i < entry.size(); ++i) {
                const char c = entry[i];
                if (c != ' ' && c != '-' && (c < '0' || c > '9')) {
                    error("entry line: '" + std::string(1, c) + "' at column " + std::to_string(i + 1));
                    return;
                }
            }
            const std::string after = line.substr(at + ENTRY_COLUMNS);
            if (!after.empty() && after[0] != ' ' && after[0] != '\t') {
                error("entry line longer than " + std::to_string(ENTRY_COLUMNS) + " columns: '" +
                      split(after)[0] + "'");
                return;
            }
            start = read_position(entry);
            rest = split(after);
            side_needed = true;
        } else {
            error("unknown position '" + words[1] + "' (startpos or entry)");
            return;
        }

        std::size_t i = 0;
        int side = -1;
        if (i < rest.size() && rest[i] == "side") {
            if (i + 1 >= rest.size() || (rest[i + 1] != "upper" && rest[i + 1] != "lower")) {
                error("side '" + (i + 1 < rest.size() ? rest[i + 1] : std::string()) + "' (upper or lower)");
                return;
            }
            side = rest[i + 1] == "upper" ? +1 : -1;
            i += 2;
            side_needed = false;
        }
        if (side_needed) {
            error("'side upper' or 'side lower' must follow the entry line");
            return;
        }
        Game g = game_from(start, side);
        if (i < rest.size()) {
            if (rest[i] != "moves") {
                error("unexpected '" + rest[i] + "' (moves expected)");
                return;
            }
            for (++i; i < rest.size(); ++i) {
                const std::string problem = play_token(g, rest[i]);
                if (!problem.empty()) {
                    error(problem);
                    return;
                }
            }
        }
        game_ = std::move(g);
    }

    void go(const std::vector<std::string>& words) {
        // A search with a limit is waited for, so lines piped in are taken
        // in order; an endless one must be stopped first.
        if (thinking() && infinite_) {
            error("'go' while thinking without end (stop first)");
            return;
        }
        finish();
        searcher::Limits limits;
        long long movetime = 0, time[2] = {-1, -1}, byoyomi = 0, inc[2] = {0, 0};
        bool infinite = false, clock = false;
        for (std::size_t i = 1; i < words.size(); ++i) {
            const std::string& w = words[i];
            if (w == "infinite") {
                infinite = true;
                continue;
            }
            if (w == "ponder" || w == "mate") {
                error("'go " + w + "' is not supported");
                return;
            }
            long long v = 0;
            const bool known = w == "depth" || w == "nodes" || w == "movetime" || w == "btime" || w == "wtime" ||
                               w == "byoyomi" || w == "binc" || w == "winc";
            if (!known) {
                error("unknown go parameter '" + w + "'");
                return;
            }
            if (i + 1 >= words.size() || !parse_number(words[i + 1], 0, 1000000000000LL, v)) {
                error("'" + (i + 1 < words.size() ? words[i + 1] : std::string()) + "' after '" + w +
                      "' is not a number");
                return;
            }
            ++i;
            if (w == "depth") limits.depth = static_cast<int>(std::clamp(v, 1LL, 1000LL));
            else if (w == "nodes") limits.nodes = std::max(1LL, v);
            else if (w == "movetime") movetime = std::max(1LL, v);
            else {
                clock = true;
                if (w == "btime") time[0] = v;
                else if (w == "wtime") time[1] = v;
                else if (w == "byoyomi") byoyomi = v;
                else if (w == "binc") inc[0] = v;
                else inc[1] = v;
            }
        }
        if (limits.depth == 0 && limits.nodes == 0 && movetime == 0 && !clock) infinite = true;

        const Clock::time_point begun = Clock::now();
        if (game_.ended) {
            out_.line("bestmove resign");
            return;
        }
        long long hard = 0;  // 0: no deadline of our own
        if (movetime > 0) hard = movetime;
        if (clock) {
            const int me = game_.side < 0 ? 0 : 1;  // the lower side holds btime
            const MoveTime t = time_for_move(std::max(0LL, time[me]), byoyomi, inc[me]);
            movetime = movetime > 0 ? std::min(movetime, t.target) : t.target;
            hard = hard > 0 ? std::min(hard, t.hard) : t.hard;
        }
        if (infinite) {
            movetime = 0;
            hard = 0;
        }
        limits.movetime = movetime;

        make_searcher();
        const searcher::CompactPosition root = searcher::from_rules(game_.pos, game_.side);
        reporter_.root = root;
        reporter_.begun = begun;
        limits.on_depth = &reporter_;
        searcher_->set_game(game_.keys);
        stop_flag_.store(false);
        finished_ = false;
        stop_asked_ = false;
        infinite_ = infinite;
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
        if (hard > 0) {
            // Our own deadline: whatever the search does, it is stopped here.
            const Clock::time_point deadline = begun + std::chrono::milliseconds(hard);
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
        }
        stop_flag_.store(true);
        signal_.notify_all();
        finish();
    }

    // Waits for the search to end by itself.
    void finish() {
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

    std::thread worker_, timer_;
    std::atomic<bool> stop_flag_{false};
    std::mutex lock_;
    std::condition_variable signal_;
    bool finished_ = false, stop_asked_ = false, infinite_ = false;
};

}  // namespace

void engine(std::istream& in, std::ostream& out) {
    Engine e(in, out);
    e.run();
}

// ---------------------------------------------------------------------------
// The other end: an engine as a program of its own.

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
            const std::vector<std::string> words = split(line);
            if (words.size() < 2) return false;
            move = words[1];
            return true;
        }
    }
}

}  // namespace zemtori::analyse
