// zemtori-analyse: the computer player's analysis at the command line.
// Positions come from standard input, one record-file entry line per line.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "commands.h"
#include "protocol/engine.h"
#include "searcher/alpha_beta.h"
#include "standard_streams.h"

namespace {

// A move's time at most, for every command that takes --movetime: one day,
// as the engine protocol allows.
constexpr std::uint64_t MAX_MOVETIME_MS = zemtori::searcher::LONGEST_MOVETIME;

constexpr const char* USAGE =
    "usage: zemtori-analyse think [--level N] [--all]   (N = 1, 2 or 3; default 3)\n"
    "       zemtori-analyse fall\n"
    "       zemtori-analyse mate\n"
    "       zemtori-analyse moves ue|sita\n"
    "       zemtori-analyse gen --seed S --count N\n"
    "       zemtori-analyse game [--level N] [--seed S] [--movetime MS | --nodes N]\n"
    "         (N = 1..9; 4..9 the searching levels, whose choices come from S, default 1;\n"
    "          a budget, in place of the level's own, with levels 4..9 only)\n"
    "       zemtori-analyse best [--movetime MS | --nodes N | --depth D]\n"
    "       zemtori-analyse match A B --games N [--movetime MS | --nodes N] [--seed S] [--jobs J] [--moves]\n"
    "         (A, B: level1 .. level9, search, search:MS, engine:PATH;\n"
    "          J at most the machine's processors)\n"
    "       zemtori-analyse review FILE.棋譜 [--movetime MS | --nodes N]   (200000 nodes a position without one)\n"
    "       zemtori-analyse engine   (the searching player behind a line protocol, as USI engines)\n"
    "A move's time MS is at most a day (86400000).\n"
    "Positions are read from standard input, one record-file entry line per line.\n";

int usage() {
    std::fputs(USAGE, stderr);
    return 2;
}

// A whole decimal number within [lo, hi], or false.
bool parse_number(const char* text, std::uint64_t lo, std::uint64_t hi, std::uint64_t& value) {
    if (text == nullptr || *text < '0' || *text > '9') return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    value = v;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    namespace a = zemtori::analyse;
    std::ios::sync_with_stdio(false);
    a::guard_standard_streams();
    if (argc < 2) return usage();
    const std::string_view cmd = argv[1];

    if (cmd == "think") {
        std::uint64_t level = 3;
        bool all = false;
        for (int i = 2; i < argc; ++i) {
            const std::string_view arg = argv[i];
            if (arg == "--all") {
                all = true;
            } else if (arg == "--level" && i + 1 < argc) {
                if (!parse_number(argv[++i], 1, 3, level)) return usage();
            } else {
                return usage();
            }
        }
        a::think(std::cin, std::cout, static_cast<int>(level), all);
    } else if (cmd == "game") {
        std::uint64_t level = 3, seed = 1;
        a::BestLimits budget;
        int budgets = 0;
        for (int i = 2; i < argc; ++i) {
            const std::string_view arg = argv[i];
            std::uint64_t v = 0;
            if (arg == "--level" && i + 1 < argc) {
                if (!parse_number(argv[++i], 1, 9, level)) return usage();
            } else if (arg == "--seed" && i + 1 < argc) {
                if (!parse_number(argv[++i], 0, UINT64_MAX, seed)) return usage();
            } else if (arg == "--movetime" && i + 1 < argc && parse_number(argv[i + 1], 1, MAX_MOVETIME_MS, v)) {
                budget.movetime = static_cast<long long>(v);
                ++budgets, ++i;
            } else if (arg == "--nodes" && i + 1 < argc && parse_number(argv[i + 1], 1, 1000000000000ULL, v)) {
                budget.nodes = static_cast<long long>(v);
                ++budgets, ++i;
            } else {
                return usage();
            }
        }
        // A budget is the searching player's: it needs a searching level, and one of them.
        if (budgets > 1 || (budgets == 1 && level < 4)) return usage();
        a::game(std::cin, std::cout, static_cast<int>(level), budget, seed);
    } else if (cmd == "best") {
        a::BestLimits limits;
        int given = 0;
        for (int i = 2; i < argc; ++i) {
            const std::string_view arg = argv[i];
            std::uint64_t v = 0;
            if (i + 1 >= argc || !parse_number(argv[i + 1], 1, 1000000000000ULL, v)) return usage();
            ++i;
            ++given;
            if (arg == "--movetime" && v <= MAX_MOVETIME_MS) limits.movetime = static_cast<long long>(v);
            else if (arg == "--nodes") limits.nodes = static_cast<long long>(v);
            else if (arg == "--depth" && v <= 64) limits.depth = static_cast<int>(v);
            else return usage();
        }
        if (given > 1) return usage();
        if (given == 0) limits.movetime = 1000;
        a::best(std::cin, std::cout, limits);
    } else if (cmd == "match") {
        if (argc < 4) return usage();
        a::MatchOptions options;
        options.a = argv[2];
        options.b = argv[3];
        bool have_games = false;
        int budgets = 0;
        for (int i = 4; i < argc; ++i) {
            const std::string_view arg = argv[i];
            std::uint64_t v = 0;
            if (arg == "--moves") {
                options.show_moves = true;
                continue;
            }
            if (i + 1 >= argc) return usage();
            const char* value = argv[++i];
            if (arg == "--games" && parse_number(value, 1, 1000000, v)) {
                options.games = static_cast<int>(v);
                have_games = true;
            } else if (arg == "--movetime" && parse_number(value, 1, MAX_MOVETIME_MS, v)) {
                options.movetime = static_cast<long long>(v);
                ++budgets;
            } else if (arg == "--nodes" && parse_number(value, 1, 1000000000000ULL, v)) {
                options.nodes = static_cast<long long>(v);
                ++budgets;
            } else if (arg == "--seed" && parse_number(value, 0, UINT64_MAX, v)) {
                options.seed = v;
            } else if (arg == "--jobs" && parse_number(value, 1, 256, v)) {
                options.jobs = static_cast<int>(v);
            } else {
                return usage();
            }
        }
        if (!have_games || budgets > 1) return usage();
        if (!a::match(std::cout, options)) return usage();
    } else if (cmd == "review") {
        if (argc < 3) return usage();
        a::BestLimits budget;
        int given = 0;
        for (int i = 3; i < argc; ++i) {
            const std::string_view arg = argv[i];
            std::uint64_t v = 0;
            if (i + 1 >= argc || !parse_number(argv[i + 1], 1, 1000000000000ULL, v)) return usage();
            ++i;
            ++given;
            if (arg == "--movetime" && v <= MAX_MOVETIME_MS) budget.movetime = static_cast<long long>(v);
            else if (arg == "--nodes") budget.nodes = static_cast<long long>(v);
            else return usage();
        }
        if (given > 1) return usage();
        return a::review_file(argv[2], std::cout, std::cerr, budget);
    } else if (cmd == "engine" && argc == 2) {
        zemtori::protocol::serve(std::cin, std::cout);
    } else if (cmd == "fall" && argc == 2) {
        a::fall(std::cin, std::cout);
    } else if (cmd == "mate" && argc == 2) {
        a::mate(std::cin, std::cout);
    } else if (cmd == "moves" && argc == 3) {
        const std::string_view side = argv[2];
        if (side == "ue") a::moves(std::cin, std::cout, +1);
        else if (side == "sita") a::moves(std::cin, std::cout, -1);
        else return usage();
    } else if (cmd == "gen") {
        std::uint64_t seed = 0, count = 0;
        bool have_seed = false, have_count = false;
        for (int i = 2; i < argc; ++i) {
            const std::string_view arg = argv[i];
            if (arg == "--seed" && i + 1 < argc) {
                have_seed = parse_number(argv[++i], 0, UINT64_MAX, seed);
                if (!have_seed) return usage();
            } else if (arg == "--count" && i + 1 < argc) {
                have_count = parse_number(argv[++i], 0, 1000000, count);
                if (!have_count) return usage();
            } else {
                return usage();
            }
        }
        if (!have_seed || !have_count) return usage();
        a::gen(std::cout, seed, static_cast<int>(count));
    } else {
        return usage();
    }
    std::cout.flush();
    return 0;
}
