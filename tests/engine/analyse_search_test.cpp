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

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string s; in >> s;) w.push_back(s);
    return w;
}

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
        } else {
            // Two searching players change sides within each pair of games;
            // the upper side moves first in the even pairs.
            EXPECT_EQ(m[2] == m[3], (g / 2) % 2 == 0) << r.lines[g];
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

// Between two searching players the games go in pairs that open alike with
// the players on the other sides, so two equal players at a fixed budget
// play each game twice, once from each side, and score exactly even.
TEST(AnalyseMatch, BetweenTwoSearchingPlayersEachPairIsOneGameFromBothSides) {
    const ToolRun r = run_tool("match search search --games 8 --nodes 300 --seed 2 --moves", "");
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), 17u);
    std::vector<std::string> games;
    std::vector<std::string> moves;
    for (std::size_t i = 0; i + 1 < r.lines.size(); ++i) (i % 2 == 0 ? games : moves).push_back(r.lines[i]);
    ToolRun plain = r;
    plain.lines = games;
    plain.lines.push_back(r.lines.back());
    check_match(plain, "search", "search", 8, 0);
    std::set<std::string> openings;
    for (int p = 0; p < 4; ++p) {
        const std::vector<std::string> one = words(games[2 * p]), two = words(games[2 * p + 1]);
        ASSERT_EQ(one.size(), 12u);
        ASSERT_EQ(two.size(), 12u);
        EXPECT_NE(one[3], two[3]) << "each player takes the upper side once";
        EXPECT_EQ(one[7] == "none", two[7] == "none");
        if (one[7] != "none") {
            EXPECT_NE(one[7], two[7]) << "the same game, won by the other name";
        }
        const std::vector<std::string> m1 = words(moves[2 * p]), m2 = words(moves[2 * p + 1]);
        EXPECT_EQ(std::vector<std::string>(m1.begin() + 2, m1.end()),
                  std::vector<std::string>(m2.begin() + 2, m2.end()));
        ASSERT_GE(m1.size(), 4u);
        openings.insert(m1[2] + ' ' + m1[3]);
    }
    EXPECT_GE(openings.size(), 3u) << "the pairs open differently";
    EXPECT_NE(r.lines.back().find("score 50.0%"), std::string::npos) << r.lines.back();
}

// The levels by name: level1-3 the exact levels (on the upper side), level4-9
// the searching levels with their own budgets, which meet each other and the
// exact levels; the match's seed gives each game its levels' choices, so the
// same seed replays the match and another plays other games.
TEST(AnalyseMatch, TheSearchingLevelsByName) {
    check_match(run_tool("match level4 level3 --games 4 --seed 5", ""), "level4", "level3", 4, 'B');
    check_match(run_tool("match level1 level5 --games 2 --seed 5", ""), "level1", "level5", 2, 'A');
    const ToolRun a = run_tool("match level5 level4 --games 6 --seed 8", "");
    check_match(a, "level5", "level4", 6, 0);
    EXPECT_EQ(run_tool("match level5 level4 --games 6 --seed 8 --jobs 2", "").lines, a.lines);
    EXPECT_NE(run_tool("match level5 level4 --games 6 --seed 9", "").lines, a.lines);
    check_match(run_tool("match level4 level4 --games 2 --seed 1", ""), "level4", "level4", 2, 0);
    check_match(run_tool("match search level6 --games 2 --nodes 500 --seed 1", ""), "search", "level6", 2, 0);
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
