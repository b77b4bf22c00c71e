// zemtori-analyse best and match: the searching player at the command line.
//
// A match plays whole games from the settled opening between two players:
// the searching player (with the match's budget, or "search:MS" with MS
// milliseconds a move of its own), a searching level ("level4" to "level9",
// with the level's own budget and its choices drawn from the game's own
// seed, which the match's seed gives), an engine program ("engine:PATH", run
// as `PATH engine` and given the match's budget and the whole game at every
// move) or an exact level ("level1" to "level3"), which plays through the
// game itself exactly as `game` drives it and always takes the upper side.  The match keeps the
// position with the rules and checks every position the game reports
// against it.
//
// The two sides of the board are not alike: between equal players the upper
// side wins more of the games.  So between two searching players the games
// go in pairs that open alike, each player taking the upper side in one of
// them, and the side that moves first changes from pair to pair; two equal
// players then score exactly even.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <istream>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "commands.h"
#include "engine_process.h"
#include "protocol/commands.h"
#include "rules/legality.h"
#include "rules/moves.h"
#include "rules/opening.h"
#include "searcher/alpha_beta.h"
#include "searcher/levels.h"
#include "splitmix.h"

namespace zemtori::analyse {

namespace {

std::string move_text(const searcher::RulesMove& m) {
    return std::to_string(m.from_x) + ' ' + std::to_string(m.from_y) + ' ' + std::to_string(m.to_x) + ' ' +
           std::to_string(m.to_y) + ' ' + std::to_string(m.koma);
}

searcher::Limits limits_of(long long depth, long long nodes, long long movetime) {
    searcher::Limits l;
    l.depth = static_cast<int>(depth);
    l.nodes = nodes;
    l.movetime = movetime;
    return l;
}

}  // namespace

void best(std::istream& in, std::ostream& out, const BestLimits& limits) {
    std::string line;
    searcher::Searcher searcher;
    const searcher::Limits l = limits_of(limits.depth, limits.nodes, limits.movetime);
    while (read_line(in, line)) {
        const searcher::CompactPosition root = searcher::from_rules(read_position(line), +1);
        searcher.clear();  // each line is a position of its own
        const searcher::SearchResult r = searcher.think(root, l);
        if (r.best.is_null()) {
            out << "none\n";
        } else {
            out << "best " << move_text(searcher::to_rules_move(root, r.best)) << " score " << r.score << " depth "
                << r.depth << " nodes " << r.nodes << " pv";
            searcher::CompactPosition p = root;
            for (const searcher::Move m : r.pv) {
                out << ' ' << move_text(searcher::to_rules_move(p, m));
                searcher::make(p, m);
            }
            out << '\n';
        }
        out.flush();
    }
}

namespace {

constexpr int MOVE_LIMIT = 300;  // plies; a game that reaches it is drawn
constexpr int RANDOM_PLIES = 2;  // the opening's first move of each side
constexpr int TABLE_BITS = 18;   // the searching player's table; an engine is given as much

struct Player {
    std::string name;
    int level = 0;       // 1..3 an exact level, 0 the searching player or an engine
    int search_level = 0;  // 4..9 a searching level (with its own budget), else 0
    std::string engine;  // the engine program's path
    searcher::Limits limits;
};

bool parse_player(const std::string& name, const MatchOptions& o, Player& p) {
    p.name = name;
    if (name.size() == 6 && name.rfind("level", 0) == 0 && name[5] >= '1' && name[5] <= '9') {
        const int n = name[5] - '0';
        if (n < searcher::FIRST_SEARCH_LEVEL) {
            p.level = n;
        } else {
            p.search_level = n;  // its limits are the level's, move by move
        }
        return true;
    }
    if (name == "search") {
        p.limits = limits_of(0, o.nodes, o.nodes == 0 && o.movetime == 0 ? 100 : o.movetime);
        return true;
    }
    if (name.rfind("search:", 0) == 0 && name.size() > 7 && name.size() < 14) {
        long long ms = 0;
        for (std::size_t i = 7; i < name.size(); ++i) {
            if (name[i] < '0' || name[i] > '9') return false;
            ms = ms * 10 + (name[i] - '0');
        }
        if (ms <= 0) return false;
        p.limits = limits_of(0, 0, ms);
        return true;
    }
    if (name.rfind("engine:", 0) == 0 && name.size() > 7) {
        p.engine = name.substr(7);
        p.limits = limits_of(0, o.nodes, o.nodes == 0 && o.movetime == 0 ? 100 : o.movetime);
        return access(p.engine.c_str(), X_OK) == 0;
    }
    return false;
}

struct Outcome {
    int winner = 0;  // 0 A, 1 B, -1 a draw
    std::string how;
    int moves = 0;
    int upper = 0, first = 0;  // which player (0 A, 1 B) played the upper side, moved first
    std::string record;        // the moves played, as the engine protocol writes them
};

// What an engine is told before each of its moves: the opening, who moved
// first, and every move since.
std::string position_command(int first_side, const std::vector<searcher::RulesMove>& history) {
    std::string s = std::string("position startpos side ") + (first_side > 0 ? "upper" : "lower");
    if (!history.empty()) s += " moves";
    for (const searcher::RulesMove& m : history) s += ' ' + protocol::move_token(m);
    return s;
}

bool parse_move(const std::string& line, const char* word, searcher::RulesMove& m) {
    char w[8] = {};
    searcher::RulesMove r{};
    if (std::sscanf(line.c_str(), "%7s %d %d %d %d %d", w, &r.from_x, &r.from_y, &r.to_x, &r.to_y, &r.koma) != 6 ||
        std::string(w) != word)
        return false;
    m = r;
    return true;
}

Outcome play_game(const Player* players, int g, std::uint64_t seed) {
    Outcome o;
    // A plays first in the even games.  An exact level takes the upper side.
    // Between two searching players each pair of games (0 and 1, 2 and 3, ...)
    // opens alike with the players changing sides: in the even pairs the
    // upper side moves first, in the odd ones the lower side.
    o.first = g % 2;
    const bool exact = players[0].level != 0 || players[1].level != 0;
    const int pair = g / 2;
    if (exact) {
        o.upper = players[1].level != 0 ? 1 : 0;
    } else {
        o.upper = pair % 2 == 0 ? o.first : 1 - o.first;
    }
    const int first_side = o.first == o.upper ? +1 : -1;
    const int opening = exact ? g : pair;  // which game's random opening this plays
    auto player_of = [&](int side) { return side > 0 ? o.upper : 1 - o.upper; };
    auto end = [&](int winner_side, const char* how) {
        o.winner = winner_side == 0 ? -1 : player_of(winner_side);
        o.how = how;
        return o;
    };

    SplitMix64 rng{seed ^ (0x9e3779b97f4a7c15ULL * static_cast<std::uint64_t>(opening + 1))};
    // Each searching level's seed for this game, one for each player.
    std::uint64_t level_seeds[2];
    {
        SplitMix64 seeds{seed ^ (0xd1b54a32d192ed03ULL * static_cast<std::uint64_t>(g + 1))};
        level_seeds[0] = seeds.next();
        level_seeds[1] = seeds.next();
    }
    Position pos = settled_opening();
    int side = first_side;
    std::unique_ptr<LevelGame> level;  // the exact level's game, once begun
    std::string pending;               // the searching player's last move, for the level's game
    // One searcher (and table) for each player, as each engine has its own:
    // the table is kept from move to move.
    std::unique_ptr<searcher::Searcher> searchers[2];
    std::vector<Position> before;  // the positions a move was played in, for the searching player
    std::vector<searcher::RulesMove> history;
    std::unique_ptr<EngineProcess> engines[2];  // each engine player's program, once started
    auto played = [&](const searcher::RulesMove& mv) {
        history.push_back(mv);
        before.push_back(pos);
        if (!o.record.empty()) o.record += ' ';
        o.record += protocol::move_token(mv);
    };

    for (int ply = 0; ply < MOVE_LIMIT; ++ply, side = -side) {
        o.moves = ply;
        const int who = player_of(side);
        const Player& pl = players[who];
        searcher::RulesMove m{};
        if (pl.level != 0 && ply >= RANDOM_PLIES) {
            // The exact level answers through the game, which also plays the
            // other side's last move by the mouse first.
            std::vector<std::string> lines;
            if (!level) {
                level = std::make_unique<LevelGame>(pl.level);
                lines = level->start(entry_line(pos));
            } else {
                lines = level->man_move(pending);
            }
            bool moved = false;
            for (const std::string& l : lines) {
                if (l == "win man") return end(-side, "mate");
                if (l == "com none") return end(-side, "nomove");
                if (l == "illegal") return end(side, "illegal");
                if (parse_move(l, "com", m)) moved = true;
            }
            if (!moved) return end(-side, "nomove");
            if (lines.empty() || lines.back().rfind("pos ", 0) != 0) return end(0, "error");
            played(m);
            if (play_and_fall(pos, m.from_x, m.from_y, m.to_x, m.to_y, m.koma).took_king()) {
                o.moves = ply + 1;
                return end(side, "capture");
            }
            // The game's position after its move must be the match's.
            if (lines.back().substr(4) != entry_line(pos)) {
                o.moves = ply + 1;
                return end(0, "mismatch");
            }
            continue;
        }

        const searcher::CompactPosition sp = searcher::from_rules(pos, side);
        searcher::MoveList list;
        searcher::generate(sp, list);
        if (list.size == 0) return end(-side, "nomove");
        searcher::Move sm;
        if (ply < RANDOM_PLIES) {
            sm = list.moves[rng.below(list.size)];
        } else if (!pl.engine.empty()) {
            // The engine is told the whole game and given the same budget
            // as the searching player; it loses by failing to answer in
            // time, by resigning while it has a move, or by an illegal move.
            std::unique_ptr<EngineProcess>& e = engines[who];
            if (!e) {
                e = std::make_unique<EngineProcess>();
                if (!e->start(pl.engine, (16 << TABLE_BITS) >> 20)) return end(-side, "failed");
            }
            const std::string go = pl.limits.nodes > 0 ? "go nodes " + std::to_string(pl.limits.nodes)
                                                        : "go movetime " + std::to_string(pl.limits.movetime);
            const long long timeout = pl.limits.nodes > 0 ? -1 : 2 * pl.limits.movetime + 5000;
            std::string answer;
            if (!e->best_move(position_command(first_side, history), go, timeout, answer))
                return end(-side, "failed");
            if (answer == "resign") return end(-side, "resign");
            int found = -1;
            for (int i = 0; i < list.size && found < 0; ++i)
                if (protocol::move_token(searcher::to_rules_move(sp, list.moves[i])) == answer) found = i;
            if (found < 0) return end(-side, "illegal");
            sm = list.moves[found];
        } else {
            std::unique_ptr<searcher::Searcher>& own = searchers[who];
            if (!own) own = std::make_unique<searcher::Searcher>(TABLE_BITS);
            // The game so far, as the engine protocol tells it an engine.
            own->set_game(searcher::game_history(before.size(), 0, side, [&before](std::size_t n, Position& p) {
                p = before[n];
                return 0;  // the sides take turns
            }));
            if (pl.search_level == 0) {
                sm = own->think(sp, pl.limits).best;
            } else {
                const std::uint64_t draw = searcher::level_draw(level_seeds[who], sp.key(), ply);
                sm = searcher::choose_move(sp, own->think(sp, searcher::level_limits(pl.search_level, draw)),
                                           pl.search_level, draw);
            }
        }
        m = searcher::to_rules_move(sp, sm);
        pending = "move " + move_text(m);
        played(m);
        if (play_and_fall(pos, m.from_x, m.from_y, m.to_x, m.to_y, m.koma).took_king()) {
            o.moves = ply + 1;
            return end(side, "capture");
        }
    }
    o.moves = MOVE_LIMIT;
    return end(0, "limit");
}

// The share and its 95% Wilson interval turned into an Elo difference.
double elo(double p) { return -400.0 * std::log10(1.0 / p - 1.0); }

// Games side by side for `requested` jobs: at most one a processor, at least one.
int jobs_for_machine(int requested) {
    // Each game side by side holds a searching player's table of some
    // megabytes; more games than processors only share them.
    const int processors = static_cast<int>(std::thread::hardware_concurrency());
    return std::max(1, std::min(requested, std::max(1, processors)));
}

}  // namespace

bool match(std::ostream& out, const MatchOptions& options) {
    Player players[2];
    if (!parse_player(options.a, options, players[0]) || !parse_player(options.b, options, players[1])) return false;
    if (players[0].level != 0 && players[1].level != 0) return false;
    // A level named first still plays the upper side; the match reports A's
    // side of every result all the same.

    const int n = options.games;
    std::vector<Outcome> results(static_cast<std::size_t>(n));
    std::vector<bool> done(static_cast<std::size_t>(n), false);
    std::atomic<int> next{0};
    std::mutex lock;
    int printed = 0;
    const char* names[2] = {"A", "B"};

    auto worker = [&]() {
        for (int g = next++; g < n; g = next++) {
            const Outcome o = play_game(players, g, options.seed);
            std::lock_guard<std::mutex> guard(lock);
            results[static_cast<std::size_t>(g)] = o;
            done[static_cast<std::size_t>(g)] = true;
            // Lines go out in game order, each as soon as it can.
            while (printed < n && done[static_cast<std::size_t>(printed)]) {
                const Outcome& r = results[static_cast<std::size_t>(printed)];
                out << "game " << printed + 1 << " upper " << names[r.upper] << " first " << names[r.first]
                    << " winner " << (r.winner < 0 ? "none" : names[r.winner]) << " how " << r.how << " moves "
                    << r.moves << '\n';
                if (options.show_moves) out << "moves " << printed + 1 << ' ' << r.record << '\n';
                out.flush();
                ++printed;
            }
        }
    };
    const int jobs = jobs_for_machine(options.jobs);
    std::vector<std::thread> threads;
    for (int j = 1; j < jobs; ++j) threads.emplace_back(worker);
    worker();
    for (std::thread& t : threads) t.join();

    int w = 0, d = 0, l = 0;
    for (const Outcome& r : results) {
        if (r.winner == 0) ++w;
        else if (r.winner == 1) ++l;
        else ++d;
    }
    const double games = n > 0 ? n : 1;
    const double p = (w + 0.5 * d) / games;
    const double z = 1.96, z2 = z * z;
    const double centre = (p + z2 / (2 * games)) / (1 + z2 / games);
    const double half = z * std::sqrt(p * (1 - p) / games + z2 / (4 * games * games)) / (1 + z2 / games);
    // At a share of 0 or 1 the interval ends there exactly (and the Elo
    // bound is infinite), whatever the rounding of the sum.
    double lo = std::max(0.0, centre - half), hi = std::min(1.0, centre + half);
    if (w + d == 0 || lo < 1e-12) lo = 0.0;
    if (l + d == 0 || hi > 1.0 - 1e-12) hi = 1.0;
    char buf[256];
    std::snprintf(buf, sizeof buf, "summary: %s vs %s: %d-%d-%d score %.1f%% [%.1f%%, %.1f%%] elo %.0f [%.0f, %.0f]",
                  options.a.c_str(), options.b.c_str(), w, d, l, 100 * p, 100 * lo, 100 * hi, elo(p), elo(lo),
                  elo(hi));
    out << buf << '\n';
    out.flush();
    return true;
}

}  // namespace zemtori::analyse
