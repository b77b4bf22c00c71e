// The engine protocol: the limits a go line sets, what an error line shows
// of the input, the game a position line gives the searcher, and the
// server's command loop fed from a stream.
#include <gtest/gtest.h>

#include "watchdog.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sstream>
#include <thread>
#include <string>
#include <vector>

#include "protocol/commands.h"
#include "protocol/engine.h"
#include "record/entry_line.h"
#include "rules/moves.h"
#include "rules/opening.h"
#include "searcher/history.h"

namespace zemtori {
namespace {

namespace p = protocol;
namespace s = searcher;

bool starts(const std::string& line, const std::string& prefix) { return line.rfind(prefix, 0) == 0; }

using test::Watchdog;

p::GoPlan go(const std::string& line, int side) {
    p::GoPlan plan;
    EXPECT_EQ(p::read_go_line(p::words(line), side, plan), "") << line;
    return plan;
}

std::string go_error(const std::string& line, int side = -1) {
    p::GoPlan plan;
    return p::read_go_line(p::words(line), side, plan);
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream got(text);
    for (std::string l; std::getline(got, l);) lines.push_back(l);
    return lines;
}

// The server fed `input` and then the end of it: its lines.
std::vector<std::string> served(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    p::serve(in, out);
    return lines_of(out.str());
}

// The server driven as a program that drives engines drives it: each line
// sent as it is needed, the answers waited for, the end of the input only
// when the test says so.
class Session {
public:
    Session() : in_(&input_), out_(&output_), server_([this] { p::serve(in_, out_); }) {}
    ~Session() {
        input_.close();
        server_.join();
    }
    void send(const std::string& line) { input_.put(line + "\n"); }
    // Every line answered up to and with the n-th that starts with `prefix`.
    std::vector<std::string> until(const std::string& prefix, int n = 1) { return output_.until(prefix, n); }

private:
    // Lines put in by the test; the reader waits for them.
    class Input : public std::streambuf {
    public:
        void put(const std::string& text) {
            std::lock_guard<std::mutex> guard(lock_);
            waiting_ += text;
            signal_.notify_all();
        }
        void close() {
            std::lock_guard<std::mutex> guard(lock_);
            closed_ = true;
            signal_.notify_all();
        }

    protected:
        int_type underflow() override {
            std::unique_lock<std::mutex> guard(lock_);
            signal_.wait(guard, [this] { return !waiting_.empty() || closed_; });
            if (waiting_.empty()) return traits_type::eof();
            reading_.swap(waiting_);
            waiting_.clear();
            setg(reading_.data(), reading_.data(), reading_.data() + reading_.size());
            return traits_type::to_int_type(*gptr());
        }

    private:
        std::mutex lock_;
        std::condition_variable signal_;
        std::string waiting_, reading_;
        bool closed_ = false;
    };
    // What the server writes, kept for the test.
    class Output : public std::streambuf {
    public:
        std::vector<std::string> until(const std::string& prefix, int n) {
            std::unique_lock<std::mutex> guard(lock_);
            std::vector<std::string> lines;
            signal_.wait(guard, [&] {
                lines = lines_of(text_.substr(0, text_.rfind('\n') + 1));  // whole lines only
                return count_starting(lines, prefix) >= n;
            });
            return lines;
        }

    protected:
        int_type overflow(int_type c) override {
            if (c == traits_type::eof()) return traits_type::not_eof(c);
            std::lock_guard<std::mutex> guard(lock_);
            text_ += traits_type::to_char_type(c);
            signal_.notify_all();
            return c;
        }

    private:
        static int count_starting(const std::vector<std::string>& lines, const std::string& prefix) {
            return static_cast<int>(
                std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return starts(l, prefix); }));
        }
        std::mutex lock_;
        std::condition_variable signal_;
        std::string text_;
    };

    Input input_;
    Output output_;
    std::istream in_;
    std::ostream out_;
    std::thread server_;
};

int count_starting(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return starts(l, prefix); }));
}

// An info line without what the wall clock decides (nps and time).
std::string without_timing(const std::string& line) {
    std::vector<std::string> w = p::words(line), kept;
    for (std::size_t i = 0; i < w.size(); ++i) {
        if ((w[i] == "nps" || w[i] == "time") && i + 1 < w.size()) {
            ++i;
            continue;
        }
        kept.push_back(w[i]);
    }
    std::string s;
    for (const std::string& k : kept) s += k + ' ';
    return s;
}

// A game between two programs that went round in a four-ply circle from its
// 17th ply on, the upper side moving first: `turns` turns of the circle
// and three plies into the next.
std::vector<std::string> circling_game(int turns) {
    const std::string opening =
        "6,1,6,2,50 3,9,2,8,-40 8,3,8,4,10 1,7,1,6,-10 8,3,8,4,10 2,9,2,8,-20 6,1,6,2,80 6,9,5,8,-50 "
        "3,3,3,4,10 2,7,2,6,-10 5,3,5,4,10 5,8,4,8,-50 5,3,5,4,10 5,8,4,8,-50 6,2,5,3,80 5,8,4,8,-50";
    std::vector<std::string> moves = p::words(opening);
    for (int t = 0; t < turns; ++t)
        for (const char* m : {"5,3,4,2,80", "5,8,4,8,-50", "6,2,5,3,80", "5,8,4,8,-50"}) moves.push_back(m);
    for (const char* m : {"5,3,4,2,80", "5,8,4,8,-50", "6,2,5,3,80"}) moves.push_back(m);
    return moves;
}
const std::string CIRCLE_MOVE = "5,8,4,8,-50";

std::string joined(std::vector<std::string>::const_iterator from, std::vector<std::string>::const_iterator to) {
    std::string s;
    for (auto i = from; i != to; ++i) s += ' ' + *i;
    return s;
}

// The game given whole, and given from its position `at` plies in with the
// plies before it named (or not).
struct GameLines {
    std::string whole, from_entry, from_entry_without_ply;
};
GameLines game_lines(const std::vector<std::string>& moves, std::size_t at) {
    p::Game g(settled_opening(), +1, 0);
    for (std::size_t i = 0; i < at; ++i) EXPECT_EQ(g.play(moves[i]), "") << moves[i];
    const std::string entry = "position entry " + entry_line_of(g.position()) + " side " +
                              (g.side() > 0 ? "upper" : "lower");
    const std::string rest = at < moves.size() ? " moves" + joined(moves.begin() + static_cast<std::ptrdiff_t>(at), moves.end()) : "";
    return {"position startpos side upper moves" + joined(moves.begin(), moves.end()),
            entry + " ply " + std::to_string(at) + rest, entry + rest};
}

// The side to move reads its own clock and its own increment: btime and
// binc are the lower side's, wtime and winc the upper side's.
TEST(GoLine, TheSideToMoveReadsItsOwnClock) {
    const std::string clock = "go btime 1000 wtime 600000 byoyomi 0";
    const p::GoPlan lower = go(clock, -1), upper = go(clock, +1);
    EXPECT_GT(lower.hard_ms, 0);
    EXPECT_LE(lower.hard_ms, 1000) << "the lower side has a second left";
    EXPECT_LE(lower.limits.movetime, lower.hard_ms);
    EXPECT_GT(upper.hard_ms, 1000) << "the upper side has ten minutes";
    EXPECT_LE(upper.hard_ms, 600000);
    EXPECT_FALSE(lower.infinite || upper.infinite);

    const std::string increments = "go btime 1000 wtime 1000 binc 100 winc 10000";
    EXPECT_LT(go(increments, -1).limits.movetime, go(increments, +1).limits.movetime)
        << "the upper side's increment is the larger";
    EXPECT_EQ(go(increments, -1).hard_ms, go(increments, +1).hard_ms) << "the same time left";
}

// A movetime and a clock are two deadlines; the earlier one holds, both for
// the stop from outside and for the search's own aim.
TEST(GoLine, AMovetimeAndAClockObeyTheEarlierDeadline) {
    const p::GoPlan clock_first = go("go movetime 5000 btime 1000 wtime 1000", -1);
    EXPECT_GT(clock_first.hard_ms, 0);
    EXPECT_LE(clock_first.hard_ms, 1000);
    EXPECT_LE(clock_first.limits.movetime, clock_first.hard_ms);
    const p::GoPlan movetime_first = go("go btime 600000 wtime 600000 movetime 200", +1);
    EXPECT_GT(movetime_first.hard_ms, 0);
    EXPECT_LE(movetime_first.hard_ms, 200);
    EXPECT_LE(movetime_first.limits.movetime, 200);
    // Alone, each is its own deadline; nothing at all searches until stop.
    EXPECT_EQ(go("go movetime 750", -1).hard_ms, 750);
    EXPECT_EQ(go("go movetime 750", -1).limits.movetime, 750);
    const p::GoPlan endless = go("go", -1);
    EXPECT_TRUE(endless.infinite);
    EXPECT_EQ(endless.hard_ms, 0);
    EXPECT_EQ(go("go infinite movetime 100", -1).hard_ms, 0);
    EXPECT_EQ(go("go depth 4 nodes 900", +1).limits.depth, 4);
    EXPECT_EQ(go("go depth 4 nodes 900", +1).limits.nodes, 900);
}

// Every number is whole, with a sign at most in front; a time is a day at
// most.  A wrong one is an error that names it.
TEST(GoLine, NumbersAreWholeAndATimeIsADayAtMost) {
    for (const char* word : {"movetime", "btime", "wtime", "byoyomi", "binc", "winc"}) {
        const std::string w = word;
        go("go " + w + " 86400000", -1);
        for (const char* bad : {"86400001", "999999999999", "-", "+", "-5", "+5", "12a", "1e3", "0x10"}) {
            const std::string e = go_error("go " + w + " " + bad);
            EXPECT_NE(e.find("'" + std::string(bad) + "' after '" + w + "'"), std::string::npos) << w << ' ' << bad << ": " << e;
        }
        EXPECT_NE(go_error("go " + w), "") << w << " without a value";
    }
    for (const char* word : {"depth", "nodes"})
        for (const char* bad : {"-", "+", "-1", "many"})
            EXPECT_NE(go_error("go " + std::string(word) + " " + bad), "") << word << ' ' << bad;
    EXPECT_NE(go_error("go ponder"), "");
    EXPECT_NE(go_error("go sideways 3"), "");
}

// What an error line shows of a word: printable text of at most 40
// characters, each control byte or byte that is no UTF-8 text as \xNN.
TEST(ErrorLines, ShowAWordAsShortPrintableText) {
    EXPECT_EQ(p::shown("frobnicate"), "frobnicate");
    EXPECT_EQ(p::shown(std::string("a\0b\x1b[2J\r", 8)), "a\\x00b\\x1B[2J\\x0D");
    EXPECT_EQ(p::shown("\xff\xfe" "ok"), "\\xFF\\xFEok");
    EXPECT_EQ(p::shown("歩兵"), "歩兵");
    EXPECT_EQ(p::shown("\xc2\x85"), "\\xC2\\x85") << "a C1 control";
    EXPECT_EQ(p::shown("\xc0\xaf"), "\\xC0\\xAF") << "a longer form of '/'";
    EXPECT_EQ(p::shown("\xed\xa0\x80"), "\\xED\\xA0\\x80") << "a surrogate";
    EXPECT_EQ(p::shown("\xe6\xad"), "\\xE6\\xAD") << "a sequence cut short";
    EXPECT_EQ(p::shown("a\\x41"), "a\\x5Cx41") << "a backslash is shown as its byte";
    EXPECT_EQ(p::shown(std::string(1 << 20, 'x')), std::string(40, 'x') + "...");
    std::string kanji;
    for (int i = 0; i < 50; ++i) kanji += "歩";
    std::string forty;
    for (int i = 0; i < 40; ++i) forty += "歩";
    EXPECT_EQ(p::shown(kanji), forty + "...");
    EXPECT_EQ(p::shown(std::string(40, '\x1b')).size(), 40u * 4) << "forty escapes, nothing cut";

    // Through the server: no byte of the line below a blank, and short.
    const std::string hostile = std::string("\x1b]0;owned\x07\0\r", 12) + std::string(1 << 19, 'A');
    const std::vector<std::string> lines = served(hostile + "\nposition \x1b\xff\nsetoption name \x1b value 1\n");
    ASSERT_EQ(lines.size(), 3u);
    for (const std::string& l : lines) {
        EXPECT_TRUE(starts(l, "info string error: ")) << l;
        EXPECT_LT(l.size(), 200u);
        EXPECT_TRUE(std::none_of(l.begin(), l.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) << l;
    }
    EXPECT_NE(lines[0].find("\\x1B]0;owned\\x07\\x00"), std::string::npos) << lines[0];
}

// A position line names the game three ways: from the opening with every
// move, from an entry line with the plies played before it, or (as a match
// does) as the list of positions the moves were played in.  Each gives the
// searcher the same game: the same plies, the same positions to look for a
// repetition in.
TEST(PositionLine, EveryFormOfTheGameGivesTheSameHistory) {
    const std::vector<std::string> moves = circling_game(10);
    ASSERT_EQ(moves.size(), 59u);
    // The positions the moves were played in, as a match keeps them.
    std::vector<Position> before;
    Position pos = settled_opening();
    for (const std::string& token : moves) {
        s::RulesMove m{};
        ASSERT_TRUE(p::parse_move(token, m));
        before.push_back(pos);
        ASSERT_FALSE(play_and_fall(pos, m.from_x, m.from_y, m.to_x, m.to_y, m.koma).took_king());
    }
    const int root_side = moves.size() % 2 == 0 ? +1 : -1;
    const s::History played =
        s::game_history(before.size(), 0, root_side, [&before](std::size_t n, Position& p) {
            p = before[n];
            return 0;
        });
    ASSERT_EQ(played.plies, moves.size());
    ASSERT_EQ(played.keys.size(), s::GAME_KEYS_LOOKED_AT);

    for (const std::size_t at : {std::size_t{0}, std::size_t{20}, moves.size() - s::GAME_KEYS_LOOKED_AT}) {
        const GameLines lines = game_lines(moves, at);
        p::Game whole, from_entry, without_ply;
        ASSERT_EQ(p::read_position_line(lines.whole, whole), "");
        ASSERT_EQ(p::read_position_line(lines.from_entry, from_entry), "") << lines.from_entry;
        ASSERT_EQ(p::read_position_line(lines.from_entry_without_ply, without_ply), "");
        EXPECT_EQ(entry_line_of(from_entry.position()), entry_line_of(whole.position()));
        EXPECT_EQ(from_entry.side(), root_side);
        for (const p::Game* g : {&whole, &from_entry}) {
            const s::History h = g->history();
            EXPECT_EQ(h.plies, played.plies) << "from ply " << at;
            EXPECT_EQ(h.keys, played.keys) << "from ply " << at;
            EXPECT_FALSE(h.neutral);
        }
        EXPECT_EQ(without_ply.history().plies, moves.size() - at) << "no ply: the entry is the game's start";
    }
    // An entry with fewer moves after it than are looked at: the positions
    // from the entry on, the plies of the whole game.
    const GameLines late = game_lines(moves, moves.size() - 5);
    p::Game g;
    ASSERT_EQ(p::read_position_line(late.from_entry, g), "");
    const s::History h = g.history();
    EXPECT_EQ(h.plies, played.plies);
    EXPECT_EQ(h.keys, std::vector<uint64_t>(played.keys.end() - 5, played.keys.end()));

    // A ply that is no count is refused and leaves the game as it was.
    const std::string entry = "position entry " + entry_line_of(settled_opening()) + " side lower ply ";
    for (const char* bad : {"-", "+", "-1", "x", "1000000001", ""}) {
        p::Game kept;
        ASSERT_EQ(p::read_position_line("position startpos side upper moves 6,1,6,2,50 3,9,2,8,-40", kept), "");
        const std::string e = p::read_position_line(entry + bad, kept);
        EXPECT_TRUE(starts(e, "ply '")) << bad << ": " << e;
        EXPECT_EQ(kept.moves(), 2) << bad;
    }
}

// The server, fed each form of a long circling game, answers alike: the
// same depths, scores, nodes and principal variations, and the same move
// (299 plies in, going round again costs more than a pawn and it breaks the
// circle).  Told the entry without the plies before it, it takes the game
// for a young one, where going round costs little, and goes round.
TEST(Server, AnswersAlikeForEveryFormOfTheGame) {
    const std::vector<std::string> moves = circling_game(70);
    ASSERT_EQ(moves.size(), 299u);
    const GameLines lines = game_lines(moves, moves.size() - 30);
    auto answer = [](const std::string& position) {
        Session e;
        e.send(position);
        e.send("go nodes 20000");
        std::vector<std::string> got;
        for (const std::string& l : e.until("bestmove ")) got.push_back(without_timing(l));
        EXPECT_FALSE(got.empty());
        EXPECT_TRUE(!got.empty() && starts(got.back(), "bestmove ")) << position;
        EXPECT_EQ(count_starting(got, "info string"), 0) << position;
        return got;
    };
    const std::vector<std::string> whole = answer(lines.whole);
    EXPECT_NE(whole.back(), "bestmove " + CIRCLE_MOVE + ' ');
    EXPECT_EQ(answer(lines.from_entry), whole);
    EXPECT_EQ(answer(lines.from_entry_without_ply).back(), "bestmove " + CIRCLE_MOVE + ' ');
}

// The end of the input ends a search at once, however deep it was asked to
// go: it answers with what it has.  (A search that ran on to depth 60 would
// take hours: the watchdog ends it.)
TEST(Server, TheEndOfTheInputStopsTheSearch) {
    Watchdog watchdog("the end of the input did not stop the search");
    const std::vector<std::string> lines = served("position startpos\ngo depth 60\n");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(count_starting(lines, "bestmove "), 1);
    EXPECT_TRUE(starts(lines.back(), "bestmove ")) << lines.back();
    EXPECT_EQ(count_starting(lines, "info depth 30 "), 0);

    // An endless search too.
    const std::vector<std::string> endless = served("position startpos side upper\ngo infinite\n");
    EXPECT_EQ(count_starting(endless, "bestmove "), 1);
}

// A go that comes while a search with a limit runs waits for it, so lines
// are taken in order; but a stop or a quit behind it is read at once: the
// search runs no longer than the stop, the waiting go starts and is stopped
// in its turn, and what comes after the stop runs as usual.
TEST(Server, StopAndQuitAreReadWhileAGoWaits) {
    Watchdog watchdog("a stop or quit behind a waiting go was not read");
    const std::vector<std::string> stopped = served("position startpos\ngo depth 60\ngo depth 60\nstop\nd\nquit\n");
    ASSERT_EQ(count_starting(stopped, "bestmove "), 2);
    ASSERT_GE(stopped.size(), 3u);
    EXPECT_TRUE(starts(stopped.back(), "info string side lower moves 0 ply 0 entry ")) << stopped.back();
    EXPECT_TRUE(starts(stopped[stopped.size() - 2], "bestmove ")) << "both answers before the line after the stop";
    EXPECT_EQ(count_starting(stopped, "info depth 30 "), 0);

    const std::vector<std::string> quit = served("position startpos\ngo depth 60\ngo depth 60\nquit\nd\n");
    EXPECT_EQ(count_starting(quit, "bestmove "), 2);
    EXPECT_EQ(count_starting(quit, "info string"), 0) << "nothing after the quit is read";
    EXPECT_EQ(count_starting(quit, "info depth 30 "), 0);
}

// A time longer than a day is refused with an error line and starts no
// search; a day is taken.
TEST(Server, RefusesAMoveTimeOfYears) {
    const std::vector<std::string> years = served("position startpos\ngo movetime 999999999999\n");
    ASSERT_EQ(years.size(), 1u);
    EXPECT_TRUE(starts(years[0], "info string error: '999999999999' after 'movetime'")) << years[0];
    const std::vector<std::string> day = served("position startpos\ngo movetime 86400000\nstop\n");
    EXPECT_EQ(count_starting(day, "info string"), 0);
    EXPECT_EQ(count_starting(day, "bestmove "), 1);
}

}  // namespace
}  // namespace zemtori
