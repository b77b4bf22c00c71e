// zemtori-analyse best and match, run as a program: the searching player's
// answers over the benchmark positions, and short matches against an exact
// level and between two searching players.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tool_run.h"

namespace zemtori {
namespace {

using test::run_tool;
using test::ToolRun;

std::string bench_input() {
    std::ifstream in(std::string(ZEMTORI_BENCH_DIR) + "/positions_seed1.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> list;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) list.push_back(l);
    return list;
}

// The best move of every position is one the movement rules allow the upper
// side (its placed code the piece's own or its promoted code), the pv starts
// with it, and the same depth gives the same answers every run.
TEST(AnalyseBest, PlaysAMoveTheRulesAllowWithItsPrincipalVariation) {
    const std::string input = bench_input();
    const ToolRun r = run_tool("best --depth 3", input + "\n");
    ASSERT_EQ(r.status, 0);
    const std::vector<std::string> positions = lines_of(input);
    ASSERT_EQ(r.lines.size(), positions.size() + 1);
    EXPECT_EQ(r.lines.back(), "none");  // an empty board: no move

    const ToolRun moves = run_tool("moves ue", input);
    std::vector<std::set<std::string>> allowed(1);
    for (const std::string& l : moves.lines) {
        if (l == "end") allowed.emplace_back();
        else allowed.back().insert(l.substr(5));
    }
    const std::regex form(
        R"(best (-?\d+ -?\d+ -?\d+ -?\d+) (-?\d+) score (-?\d+) depth (\d+) nodes (\d+) pv ((?:-?\d+ ?)+))");
    for (std::size_t i = 0; i < positions.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(r.lines[i], m, form)) << r.lines[i];
        const int placed = std::stoi(m[2]);
        const std::string square = m[1];
        const bool plain = allowed[i].count(square + " " + std::to_string(placed)) == 1;
        const bool promoted = allowed[i].count(square + " " + std::to_string(placed - 1)) == 1 && placed % 10 == 1;
        EXPECT_TRUE(plain || promoted) << "position " << i + 1 << ": " << r.lines[i];
        // A search stops deepening once it sees the game won or lost.
        const int score = std::stoi(m[3]), depth = std::stoi(m[4]);
        EXPECT_TRUE(depth == 3 || (depth >= 1 && depth < 3 && (score > 29000 || score < -29000))) << r.lines[i];
        EXPECT_EQ(m[6].str().rfind(square + " " + m[2].str(), 0), 0u) << r.lines[i];
        std::istringstream pv(m[6].str());
        int n = 0;
        for (int v; pv >> v;) ++n;
        EXPECT_EQ(n % 5, 0) << r.lines[i];
    }
    const ToolRun again = run_tool("best --depth 3", input + "\n");
    EXPECT_EQ(again.lines, r.lines);
}

TEST(AnalyseBest, RefusesMoreThanOneBudget) {
    EXPECT_EQ(run_tool("best --depth 3 --nodes 100", "").status, 2);
    EXPECT_EQ(run_tool("best --depth", "").status, 2);
    EXPECT_EQ(run_tool("best --moves 3", "").status, 2);
}

const std::regex SUMMARY(
    R"(summary: (\S+) vs (\S+): (\d+)-(\d+)-(\d+) score (\d+\.\d)% \[(\d+\.\d)%, (\d+\.\d)%\] elo (-?\d+|-?inf) \[(-?\d+|-?inf), (-?\d+|-?inf)\])");
const std::regex GAME(R"(game (\d+) upper ([AB]) first ([AB]) winner (A|B|none) how (capture|mate|nomove|limit) moves (\d+))");

// Checks a match's lines: one per game in order, then the summary, whose
// counts are those of the game lines.
void check_match(const ToolRun& r, const std::string& a, const std::string& b, int games, char level_side) {
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), static_cast<std::size_t>(games + 1));
    int w = 0, d = 0, l = 0;
    for (int g = 0; g < games; ++g) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(r.lines[g], m, GAME)) << r.lines[g];
        EXPECT_EQ(std::stoi(m[1]), g + 1);
        EXPECT_EQ(m[3].str(), g % 2 == 0 ? "A" : "B");  // who moves first alternates
        if (level_side != 0) {
            EXPECT_EQ(m[2].str()[0], level_side);
        }
        if (m[4] == "A") ++w;
        else if (m[4] == "B") ++l;
        else ++d;
        EXPECT_EQ(m[4] == "none", m[5] == "limit") << r.lines[g];
    }
    std::smatch s;
    ASSERT_TRUE(std::regex_match(r.lines.back(), s, SUMMARY)) << r.lines.back();
    EXPECT_EQ(s[1].str(), a);
    EXPECT_EQ(s[2].str(), b);
    EXPECT_EQ(std::stoi(s[3]), w);
    EXPECT_EQ(std::stoi(s[4]), d);
    EXPECT_EQ(std::stoi(s[5]), l);
    const double score = std::stod(s[6]), lo = std::stod(s[7]), hi = std::stod(s[8]);
    EXPECT_NEAR(score, 100.0 * (w + 0.5 * d) / games, 0.051);
    EXPECT_LE(lo, score);
    EXPECT_GE(hi, score);
}

// A short match against an exact level, which plays the upper side through
// the game; the same seed and budget give the same games on one thread or
// on two.
TEST(AnalyseMatch, AgainstAnExactLevelTheCountsAddUp) {
    const ToolRun one = run_tool("match search level1 --games 4 --nodes 400 --seed 5", "");
    check_match(one, "search", "level1", 4, 'B');
    const ToolRun two = run_tool("match search level1 --games 4 --nodes 400 --seed 5 --jobs 2", "");
    EXPECT_EQ(two.lines, one.lines);
    // The level named first still takes the upper side, now player A.
    check_match(run_tool("match level2 search --games 2 --nodes 300 --seed 6", ""), "level2", "search", 2, 'A');
}

TEST(AnalyseMatch, BetweenTwoSearchingPlayersTheCountsAddUp) {
    check_match(run_tool("match search search --games 2 --nodes 300 --seed 2", ""), "search", "search", 2, 'A');
}

// The levels by name: level1-3 the exact levels (on the upper side), level4-9
// the searching levels with their own budgets, which meet each other and the
// exact levels; the match's seed gives each game its levels' choices, so the
// same seed replays the match and another plays other games.
TEST(AnalyseMatch, TheSearchingLevelsByName) {
    check_match(run_tool("match level4 level3 --games 4 --seed 5", ""), "level4", "level3", 4, 'B');
    check_match(run_tool("match level1 level5 --games 2 --seed 5", ""), "level1", "level5", 2, 'A');
    const ToolRun a = run_tool("match level5 level4 --games 6 --seed 8", "");
    check_match(a, "level5", "level4", 6, 'A');
    EXPECT_EQ(run_tool("match level5 level4 --games 6 --seed 8 --jobs 2", "").lines, a.lines);
    EXPECT_NE(run_tool("match level5 level4 --games 6 --seed 9", "").lines, a.lines);
    check_match(run_tool("match level4 level4 --games 2 --seed 1", ""), "level4", "level4", 2, 'A');
    check_match(run_tool("match search level6 --games 2 --nodes 500 --seed 1", ""), "search", "level6", 2, 'A');
}

TEST(AnalyseMatch, RefusesWhatItCannotPlay) {
    EXPECT_EQ(run_tool("match level1 level3 --games 2", "").status, 2);  // both want the upper side
    EXPECT_EQ(run_tool("match search level3", "").status, 2);           // no number of games
    EXPECT_EQ(run_tool("match search level10 --games 2", "").status, 2);
    EXPECT_EQ(run_tool("match search level0 --games 2", "").status, 2);
    EXPECT_EQ(run_tool("match search levelx --games 2", "").status, 2);
    EXPECT_EQ(run_tool("match search search:0 --games 2", "").status, 2);
    EXPECT_EQ(run_tool("match search level1 --games 2 --nodes 5 --movetime 5", "").status, 2);
}

}  // namespace
}  // namespace zemtori
