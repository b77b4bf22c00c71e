// `zemtori-analyse engine` run as a program through a socket, as a program
// that drives engines runs it, and match's `engine:` player.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "engine_process.h"
#include "protocol/commands.h"
#include "rules/moves.h"
#include "rules/opening.h"
#include "searcher/alpha_beta.h"

namespace {

namespace a = zemtori::analyse;
namespace p = zemtori::protocol;
namespace s = zemtori::searcher;
using Clock = std::chrono::steady_clock;

long long ms_since(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

bool starts(const std::string& line, const std::string& prefix) { return line.rfind(prefix, 0) == 0; }

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string x; in >> x;) w.push_back(x);
    return w;
}

// One engine program; every wait for a line ends after 20 s.
class Session {
public:
    Session() { EXPECT_TRUE(engine_.spawn(ZEMTORI_ANALYSE_EXE)); }
    void send(const std::string& line) { EXPECT_TRUE(engine_.send(line)) << line; }
    std::string line() {
        std::string l;
        if (!engine_.read_line(l, 20000)) ADD_FAILURE() << "no line from the engine";
        return l;
    }
    // Every line up to and with the first that starts with `prefix`.
    std::vector<std::string> until(const std::string& prefix) {
        std::vector<std::string> got;
        for (std::string l; engine_.read_line(l, 20000);) {
            got.push_back(l);
            if (starts(l, prefix)) return got;
        }
        ADD_FAILURE() << "no '" << prefix << "' line";
        return got;
    }
    // Whether a line comes within `ms`.
    bool quiet_for(long long ms) {
        std::string l;
        if (!engine_.read_line(l, ms)) return true;
        ADD_FAILURE() << "unexpected line: " << l;
        return false;
    }

private:
    a::EngineProcess engine_;
};

// The game as the test keeps it, with the rules.
struct Game {
    zemtori::Position pos;
    int side = -1;
    bool ended = false;
    std::vector<zemtori::Position> before;  // the positions a move was played in
    std::string moves;                      // " M1 M2 ..."

    Game() : pos(zemtori::settled_opening()) {}
    std::vector<std::string> legal() const {
        const s::CompactPosition sp = s::from_rules(pos, side);
        s::MoveList list;
        s::generate(sp, list);
        std::vector<std::string> tokens;
        for (int i = 0; i < list.size; ++i) tokens.push_back(p::move_token(s::to_rules_move(sp, list.moves[i])));
        return tokens;
    }
    // Plays a move given as a token; false when it is not legal here.
    bool play(const std::string& token) {
        const s::CompactPosition sp = s::from_rules(pos, side);
        s::MoveList list;
        s::generate(sp, list);
        for (int i = 0; i < list.size; ++i) {
            const s::RulesMove m = s::to_rules_move(sp, list.moves[i]);
            if (p::move_token(m) != token) continue;
            before.push_back(pos);
            ended = zemtori::play_and_fall(pos, m.from_x, m.from_y, m.to_x, m.to_y, m.koma).took_king();
            side = -side;
            moves += ' ' + token;
            return true;
        }
        return false;
    }
    std::string position() const { return "position startpos" + (moves.empty() ? "" : " moves" + moves); }
    s::History history() const {
        return s::game_history(before.size(), 0, side, [this](std::size_t n, zemtori::Position& p) {
            p = before[n];
            return 0;
        });
    }
};

// The whole exchange a program that drives engines goes through: the
// handshake, a position with moves, a search that reports each depth and
// answers with a legal move, the move the searching player chooses when
// told the same game; lines sent at once are taken in order.
TEST(EngineProtocol, WholeExchange) {
    Session e;
    e.send("usi");
    const std::vector<std::string> hello = e.until("usiok");
    ASSERT_GE(hello.size(), 4u);
    EXPECT_EQ(hello[0], "id name Zemtori " ZEMTORI_VERSION);
    EXPECT_TRUE(starts(hello[1], "id author ")) << hello[1];
    EXPECT_EQ(hello[2], "option name Hash type spin default 16 min 1 max 1024");
    e.send("isready");
    EXPECT_EQ(e.line(), "readyok");
    e.send("usinewgame");

    Game g;
    ASSERT_TRUE(g.play(g.legal()[3]));
    ASSERT_TRUE(g.play(g.legal()[5]));
    ASSERT_TRUE(g.play(g.legal()[7]));  // the upper side to move
    e.send(g.position());
    e.send("go nodes 30000");
    const std::vector<std::string> lines = e.until("bestmove ");
    ASSERT_GE(lines.size(), 3u);

    int depth = 0;
    long long nodes = 0;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        const std::vector<std::string> w = words(lines[i]);
        ASSERT_GE(w.size(), 12u) << lines[i];
        EXPECT_EQ(w[0], "info");
        EXPECT_EQ(w[1], "depth");
        EXPECT_EQ(std::stoi(w[2]), ++depth) << "one line for every depth, in order: " << lines[i];
        EXPECT_EQ(w[3], "score");
        EXPECT_TRUE(w[4] == "cp" || w[4] == "mate") << lines[i];
        EXPECT_EQ(w[6], "nodes");
        EXPECT_GE(std::stoll(w[7]), nodes) << lines[i];
        nodes = std::stoll(w[7]);
        EXPECT_EQ(w[8], "nps");
        EXPECT_EQ(w[10], "time");
        // The principal variation is a line of legal moves.
        const auto pv = std::find(w.begin(), w.end(), "pv");
        ASSERT_NE(pv, w.end()) << lines[i];
        Game line = g;
        for (auto m = pv + 1; m != w.end() && !line.ended; ++m) EXPECT_TRUE(line.play(*m)) << *m << " in " << lines[i];
    }
    EXPECT_GE(depth, 3);

    const std::vector<std::string> best = words(lines.back());
    ASSERT_EQ(best.size(), 2u) << lines.back();
    const std::vector<std::string> legal = g.legal();
    EXPECT_NE(std::find(legal.begin(), legal.end(), best[1]), legal.end()) << best[1] << " is not legal";

    // The searching player with the same table (16 MB), budget and history.
    s::Searcher searcher(20);
    searcher.set_game(g.history());
    const s::CompactPosition root = s::from_rules(g.pos, g.side);
    const s::SearchResult r = searcher.think(root, s::Limits{0, 30000, 0});
    EXPECT_EQ(best[1], p::move_token(s::to_rules_move(root, r.best)));
    EXPECT_EQ(words(lines[lines.size() - 2])[2], std::to_string(r.depth));

    // Lines sent at once are taken in order: a go that comes while a search
    // with a limit runs waits for its answer.
    e.send("go depth 3");
    e.send("go depth 2");
    for (const char* last : {"info depth 3 ", "info depth 2 "}) {
        const std::vector<std::string> answer = e.until("bestmove ");
        ASSERT_GE(answer.size(), 2u);
        EXPECT_TRUE(starts(answer[answer.size() - 2], last)) << answer[answer.size() - 2];
    }
    e.send("quit");
}

// A wrong line is answered by an error that names what is wrong, and the
// position stays as the last good line left it (the program's own print of
// it, and its move at depth 2, are those of before).
TEST(EngineProtocol, BadInputLeavesThePositionAsItWas) {
    Session e;
    Game g;
    ASSERT_TRUE(g.play(g.legal()[2]));
    ASSERT_TRUE(g.play(g.legal()[4]));
    e.send(g.position());
    e.send("d");
    const std::string before = e.line();
    ASSERT_TRUE(starts(before, "info string side lower moves 2 ply 2 entry ")) << before;
    e.send("go depth 2");
    const std::string move_before = e.until("bestmove ").back();

    // An entry line names the same position.
    e.send("position entry " + a::entry_line(g.pos) + " side lower");
    e.send("d");
    const std::string entry = e.line();
    EXPECT_EQ(entry.substr(entry.find(" entry ")), before.substr(before.find(" entry ")));
    e.send(g.position());

    const std::string first = g.legal()[0];
    Game after_first = g;
    ASSERT_TRUE(after_first.play(first));
    const std::string bad_entry(333, 'x');
    const struct {
        std::string line, named;
    } cases[] = {
        {g.position() + " 5,5,5,5,10", "'5,5,5,5,10'"},      // a piece that is not there
        {g.position() + " " + first + " " + first, "'" + first + "'"},  // the same move twice
        {g.position() + " 1,2,3,4", "'1,2,3,4'"},
        {g.position() + " 1,2,3,4,5,6", "'1,2,3,4,5,6'"},
        {g.position() + " 1,2,x,4,5", "'1,2,x,4,5'"},
        {"position startpos side middle", "'middle'"},
        {"position startpos moved " + first, "'moved'"},
        {"position nowhere", "'nowhere'"},
        {"position entry 1 2 3 side lower", "333"},
        {"position entry " + bad_entry + " side lower", "'x' at column 1"},
        {"position entry " + a::entry_line(g.pos) + "7 side lower", "'7'"},
        {"position entry " + a::entry_line(g.pos), "side"},
        {"go nodes many", "'many'"},
        {"go sideways 3", "'sideways'"},
        {"setoption name Hash value 0", "'0'"},
        {"setoption name Colour value red", "'Colour'"},
        {"frobnicate", "'frobnicate'"},
    };
    for (const auto& c : cases) {
        e.send(c.line);
        const std::string answer = e.line();
        EXPECT_TRUE(starts(answer, "info string error: ")) << c.line << " -> " << answer;
        EXPECT_NE(answer.find(c.named), std::string::npos) << c.line << " -> " << answer;
        e.send("d");
        EXPECT_EQ(e.line(), before) << "after " << c.line;
    }
    e.send("go depth 2");
    EXPECT_EQ(e.until("bestmove ").back(), move_before);

    // The good part of a line is not kept either: a legal first move
    // followed by a bad one leaves the position before both.
    e.send(g.position() + " " + first + " 9,9,9,9,-10");
    EXPECT_TRUE(starts(e.line(), "info string error: illegal move '9,9,9,9,-10'"));
    e.send("d");
    EXPECT_EQ(e.line(), before);
    e.send(after_first.position());
    e.send("d");
    EXPECT_TRUE(starts(e.line(), "info string side upper moves 3 ply 3 entry ")) << "a good line is taken";
}

// `stop` during `go infinite` answers with a legal move at once, and an
// endless search that has seen the end keeps its answer until told to stop;
// a side whose king was taken resigns.
TEST(EngineProtocol, StopEndsAnEndlessSearch) {
    Session e;
    Game g;
    e.send("position startpos");
    e.send("go infinite");
    const std::string first = e.line();
    ASSERT_TRUE(starts(first, "info depth 1 ")) << first;
    const Clock::time_point asked = Clock::now();
    e.send("stop");
    const std::vector<std::string> rest = e.until("bestmove ");
    EXPECT_LT(ms_since(asked), 2000);
    for (std::size_t i = 0; i + 1 < rest.size(); ++i) EXPECT_TRUE(starts(rest[i], "info depth ")) << rest[i];
    const std::vector<std::string> legal = g.legal();
    const std::string move = words(rest.back()).at(1);
    EXPECT_NE(std::find(legal.begin(), legal.end(), move), legal.end()) << move;

    // A king that can be taken: the search sees it at depth 1 and ends by
    // itself, but answers only after stop.
    Game near_end;
    zemtori::Position pos{};
    pos.BAN[9][1] = zemtori::OU;
    pos.BAN[9][9] = -zemtori::OU;
    pos.BAN[9][2] = -zemtori::HISHA;
    e.send("position entry " + a::entry_line(pos) + " side lower");
    e.send("go infinite");
    const std::string seen = e.line();
    EXPECT_TRUE(starts(seen, "info depth 1 score mate 1 ")) << seen;
    EXPECT_TRUE(e.quiet_for(200)) << "no bestmove before stop";
    e.send("stop");
    EXPECT_TRUE(starts(e.until("bestmove ").back(), "bestmove 9,2,9,1,-7"));  // promoted or not
    // Once the king is taken the game is over: no move follows, and the
    // side without its king resigns.
    const std::string entry = "position entry " + a::entry_line(pos) + " side lower moves 9,2,9,1,-70";
    e.send(entry + " 1,1,1,2,80");
    const std::string after = e.line();
    EXPECT_TRUE(starts(after, "info string error: move '1,1,1,2,80' after a king was taken")) << after;
    e.send(entry);
    e.send("go depth 3");
    EXPECT_EQ(e.line(), "bestmove resign");
    // The upper side may move first.
    e.send("position startpos side upper");
    e.send("d");
    EXPECT_TRUE(starts(e.line(), "info string side upper moves 0 ply 0 entry "));
    // Stop without a search does nothing; the program still answers.
    e.send("stop");
    e.send("isready");
    EXPECT_EQ(e.line(), "readyok");
}

// On a clock of 1 s and 100 ms a move, 60 moves of the engine against
// itself, each timed here from the go to the bestmove: no move takes more
// than the time left on the mover's clock plus the byoyomi, and the engine
// does use its time.
TEST(EngineProtocol, NeverOverstepsItsClock) {
    Session e;
    constexpr long long BYOYOMI = 100;
    long long left[2] = {1000, 1000};  // the lower side's, the upper side's
    long long spent = 0;
    Game g;
    for (int move = 0; move < 60; ++move) {
        if (g.ended) g = Game();
        const int me = g.side < 0 ? 0 : 1;
        e.send(g.position());
        const Clock::time_point asked = Clock::now();
        e.send("go btime " + std::to_string(left[0]) + " wtime " + std::to_string(left[1]) + " byoyomi " +
               std::to_string(BYOYOMI));
        const std::string answer = e.until("bestmove ").back();
        const long long used = ms_since(asked);
        ASSERT_LE(used, left[me] + BYOYOMI) << "move " << move + 1 << " with " << left[me] << " ms left";
        left[me] -= std::max(0LL, used - BYOYOMI);
        spent += used;
        const std::string m = words(answer).at(1);
        if (m == "resign") g = Game();
        else ASSERT_TRUE(g.play(m)) << m;
    }
    EXPECT_GE(spent, 60 * 30) << "the engine answers without using its time";

    // The allowance itself, over many clocks: the aim never past the hard
    // stop, the hard stop inside the clock with a margin.
    for (long long remaining : {0LL, 1LL, 50LL, 999LL, 1000LL, 60000LL, 3600000LL})
        for (long long byoyomi : {0LL, 100LL, 1000LL, 10000LL})
            for (long long inc : {0LL, 10LL, 5000LL}) {
                const p::MoveTime t = p::time_for_move(remaining, byoyomi, inc);
                const long long allowed = remaining + byoyomi;
                EXPECT_GE(t.target, 1);
                EXPECT_LE(t.target, t.hard);
                if (allowed >= 100) {
                    EXPECT_LE(t.hard, allowed - 40) << remaining << ' ' << byoyomi << ' ' << inc;
                }
                if (byoyomi >= 100) {
                    EXPECT_GE(t.target, byoyomi * 2 / 5) << "the byoyomi is there to be used";
                }
            }
}

// A game against the exact level that went round in a four-ply circle from
// its 17th ply until it ran out of moves.  Two turns of the circle in, the
// engine keeps going round: the repetition is worth -CONTEMPT and every way
// out costs more.  At the same position 299 plies in, going round costs it
// more than a pawn and it takes another way.
TEST(EngineProtocol, ALongGameCostsMoreToGoRoundIn) {
    const std::string opening =
        "6,1,6,2,50 3,9,2,8,-40 8,3,8,4,10 1,7,1,6,-10 8,3,8,4,10 2,9,2,8,-20 6,1,6,2,80 6,9,5,8,-50 "
        "3,3,3,4,10 2,7,2,6,-10 5,3,5,4,10 5,8,4,8,-50 5,3,5,4,10 5,8,4,8,-50 6,2,5,3,80 5,8,4,8,-50";
    const std::string circle_move = "5,8,4,8,-50";
    const std::string circle = " 5,3,4,2,80 " + circle_move + " 6,2,5,3,80 " + circle_move;
    const std::string into_the_next_turn = " 5,3,4,2,80 " + circle_move + " 6,2,5,3,80";
    auto game = [&](int turns) {
        std::string moves = "position startpos side upper moves " + opening;
        for (int t = 0; t < turns; ++t) moves += circle;
        return moves + into_the_next_turn;
    };

    Session e;
    e.send("usi");
    e.until("usiok");
    auto answer = [&e](const std::string& position) {
        e.send("usinewgame");
        e.send(position);
        e.send("go nodes 30000");
        const std::vector<std::string> lines = e.until("bestmove");
        int score = 0;
        for (const std::string& l : lines) {
            const std::vector<std::string> w = words(l);
            EXPECT_FALSE(starts(l, "info string error")) << l;
            for (std::size_t i = 0; i + 2 < w.size(); ++i)
                if (w[i] == "score" && w[i + 1] == "cp") score = std::stoi(w[i + 2]);
        }
        return std::make_pair(words(lines.back()).at(1), score);
    };
    ASSERT_EQ(words(game(70)).size(), 5u + 299u);
    const auto early = answer(game(2));
    EXPECT_EQ(early.first, circle_move);
    EXPECT_EQ(early.second, -s::CONTEMPT);

    ASSERT_GT(s::contempt_after(300), s::CONTEMPT + 200);
    const auto late = answer(game(70));
    EXPECT_NE(late.first, circle_move);
    EXPECT_GT(late.second, -s::contempt_after(300));
    EXPECT_LT(late.second, -s::CONTEMPT) << "the way out costs something";
}

// Match's engine player against the searching player of the same build, at
// a fixed node count, plays exactly the games of two searching players:
// the engine is told the same history and has the same table.
TEST(EngineProtocol, MatchEngineAgainstSearchIsSearchAgainstSearch) {
    auto run = [](const std::string& a_name, const std::string& b_name) {
        a::MatchOptions o;
        o.a = a_name;
        o.b = b_name;
        o.games = 2;
        o.nodes = 2000;
        o.seed = 5;
        o.show_moves = true;
        std::ostringstream out;
        EXPECT_TRUE(a::match(out, o));
        std::vector<std::string> lines;
        std::istringstream in(out.str());
        for (std::string l; std::getline(in, l);)
            if (!starts(l, "summary: ")) lines.push_back(l);
        return lines;
    };
    const std::string engine = std::string("engine:") + ZEMTORI_ANALYSE_EXE;
    const std::vector<std::string> searchers = run("search", "search");
    ASSERT_EQ(searchers.size(), 4u);
    EXPECT_GT(words(searchers[1]).size(), 20u) << "games of some length";
    EXPECT_EQ(run("search", engine), searchers);  // the engine on the lower side
    EXPECT_EQ(run(engine, "search"), searchers);  // and on the upper side

    a::MatchOptions o;
    o.a = "search";
    o.b = "engine:/nonexistent/zemtori-analyse";
    o.games = 1;
    std::ostringstream out;
    EXPECT_FALSE(a::match(out, o)) << "an engine that cannot be run is refused";
}

}  // namespace
