// The strength report (tools/strength/strength.py): the table and the chart
// from canned match summaries, the pairings it plays (with a stand-in for
// zemtori-analyse that answers at once), and the refusal of lines that are
// not summaries.  No match is played here.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace zemtori {
namespace {

const std::string SCRIPT = std::string(ZEMTORI_TEST_SOURCE_DIR) + "/../tools/strength/strength.py";

struct Folder {
    fs::path path;
    Folder() {
        char name[] = "/tmp/zemtori-strength-test-XXXXXX";
        path = mkdtemp(name);
    }
    ~Folder() { fs::remove_all(path); }
    std::string operator/(const std::string& f) const { return (path / f).string(); }
};

int run(const std::string& command) {
    const int st = std::system((command + " 2>/dev/null").c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

std::string read(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void write(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

std::vector<std::string> table_rows(const std::string& md) {
    std::vector<std::string> rows;
    std::istringstream in(md);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("| ", 0) == 0 && line.rfind("| pairing", 0) != 0) rows.push_back(line);
    return rows;
}

std::vector<std::string> cells(const std::string& row) {
    std::vector<std::string> out;
    std::size_t start = 1;
    for (std::size_t bar; (bar = row.find(" |", start)) != std::string::npos; start = bar + 2) {
        std::string c = row.substr(start, bar - start);
        out.push_back(c.substr(c.find_first_not_of(' ')));
    }
    return out;
}

double attr(const std::string& element, const std::string& name) {
    std::smatch m;
    const std::regex re(" " + name + "=\"([-0-9.]+)\"");
    if (!std::regex_search(element, m, re)) return NAN;
    return std::stod(m[1]);
}

const char* CANNED =
    "zemtori-analyse match search level1 --movetime 100 --games 20 --seed 1 --jobs 1\t"
    "summary: search vs level1: 20-0-0 score 100.0% [83.9%, 100.0%] elo inf [283, inf]\n"
    "\n"
    "zemtori-analyse match search level3 --nodes 5000 --games 40 --seed 1 --jobs 1\t"
    "summary: search vs level3: 25-10-5 score 75.0% [59.8%, 85.8%] elo 191 [69, 313]\n"
    "zemtori-analyse match level2 search --movetime 30 --games 8 --seed 2 --jobs 2\t"
    "summary: level2 vs search: 0-0-8 score 0.0% [0.0%, 32.4%] elo -inf [-inf, -127]\n"
    "zemtori-analyse match search:1000 search:100 --games 10 --seed 1 --jobs 1\t"
    "summary: search:1000 vs search:100: 4-2-4 score 50.0% [23.7%, 76.3%] elo 0 [-202, 202]\n";

// The table keeps the results' order and names each searching player by
// its budget; the chart draws one bar per pairing on the same scale as its
// grid, the whisker spanning the interval.
TEST(StrengthReport, TableAndChartFromCannedSummaries) {
    Folder dir;
    write(dir / "results.txt", CANNED);
    ASSERT_EQ(run("python3 " + SCRIPT + " report --results " + (dir / "results.txt") + " --out-dir " + (dir / "out")),
              0);

    const std::vector<std::string> rows = table_rows(read(dir / "out/strength.md"));
    ASSERT_EQ(rows.size(), 4u);
    const std::vector<std::vector<std::string>> expected = {
        {"search (100 ms) vs level1", "20", "20-0-0", "100.0% [83.9%, 100.0%]", "+∞ [283, +∞]",
         "`zemtori-analyse match search level1 --movetime 100 --games 20 --seed 1 --jobs 1`"},
        {"search (5000 nodes) vs level3", "40", "25-10-5", "75.0% [59.8%, 85.8%]", "191 [69, 313]",
         "`zemtori-analyse match search level3 --nodes 5000 --games 40 --seed 1 --jobs 1`"},
        {"level2 vs search (30 ms)", "8", "0-0-8", "0.0% [0.0%, 32.4%]", "−∞ [−∞, −127]",
         "`zemtori-analyse match level2 search --movetime 30 --games 8 --seed 2 --jobs 2`"},
        {"search (1000 ms) vs search (100 ms)", "10", "4-2-4", "50.0% [23.7%, 76.3%]", "0 [−202, 202]",
         "`zemtori-analyse match search:1000 search:100 --games 10 --seed 1 --jobs 1`"},
    };
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(cells(rows[i]), expected[i]) << rows[i];

    const std::string svg_path = dir / "out/strength.svg";
    EXPECT_EQ(run("python3 -c 'import sys, xml.etree.ElementTree as E; E.parse(sys.argv[1])' " + svg_path), 0)
        << "not well-formed";
    const std::string svg = read(svg_path);

    // The grid: 0, 25, 50, 75 and 100%, the 50% line dashed.
    std::map<int, double> grid;
    const std::regex grid_re("<line class=\"grid\"[^>]*>");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), grid_re); it != std::sregex_iterator(); ++it) {
        const std::string line = it->str();
        grid[static_cast<int>(grid.size()) * 25] = attr(line, "x1");
        EXPECT_EQ(line.find("stroke-dasharray") != std::string::npos, grid.size() == 3) << line;
    }
    ASSERT_EQ(grid.size(), 5u);
    const double x0 = grid[0], full = grid[100] - grid[0];
    ASSERT_GT(full, 100.0);
    EXPECT_NEAR(grid[50] - x0, full / 2, 0.2);

    const double shares[4][3] = {{100.0, 83.9, 100.0}, {75.0, 59.8, 85.8}, {0.0, 0.0, 32.4}, {50.0, 23.7, 76.3}};
    const std::regex group_re("<g class=\"pairing\"[^>]*>([\\s\\S]*?)</g>");
    const std::regex whisker_re("d=\"M([-0-9.]+) ([-0-9.]+)H([-0-9.]+)");
    int n = 0;
    double last_y = -1;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), group_re); it != std::sregex_iterator(); ++it, ++n) {
        ASSERT_LT(n, 4);
        const std::string g = it->str();
        const double* s = shares[n];
        EXPECT_NE(g.find(expected[static_cast<std::size_t>(n)][0].substr(0, 12)), std::string::npos) << g;
        const std::size_t rect = g.find("<rect class=\"bar\"");
        ASSERT_NE(rect, std::string::npos);
        const std::string bar = g.substr(rect, g.find('>', rect) - rect);
        EXPECT_NEAR(attr(bar, "x"), x0, 0.2);
        EXPECT_NEAR(attr(bar, "width"), full * s[0] / 100, 0.2) << bar;
        EXPECT_GT(attr(bar, "y"), last_y);  // one row below the other
        last_y = attr(bar, "y");
        std::smatch w;
        ASSERT_TRUE(std::regex_search(g, w, whisker_re)) << g;
        EXPECT_NEAR(std::stod(w[1]), x0 + full * s[1] / 100, 0.2);
        EXPECT_NEAR(std::stod(w[3]), x0 + full * s[2] / 100, 0.2);
        // The whisker crosses the bar's middle.
        EXPECT_NEAR(std::stod(w[2]), attr(bar, "y") + attr(bar, "height") / 2, 0.2);
    }
    EXPECT_EQ(n, 4);
}

// `run` plays each budget against each exact level and then the two
// self-play budgets, records every command with its summary and writes the
// report from them; a match that fails stops it.  The stand-in answers each
// match at once with a summary naming its own arguments.
TEST(StrengthReport, RunPlaysEveryPairingAndStopsOnAFailedMatch) {
    Folder dir;
    const std::string fake = dir / "zemtori-analyse";
    write(fake,
          "#!/bin/sh\n"
          "echo \"$*\" >> \"$(dirname \"$0\")/calls.txt\"\n"
          "[ -e \"$(dirname \"$0\")/fail\" ] && exit 3\n"
          "echo 'game 1 upper B first A winner A how capture moves 20'\n"
          "echo \"summary: $2 vs $3: 2-1-0 score 83.3% [43.6%, 97.0%] elo 280 [-45, 604]\"\n");
    ASSERT_EQ(run("chmod +x " + fake), 0);
    const std::string args = " run --analyse " + fake + " --games 3 --budgets '5 70' --self '40 4' --seed 9 --jobs 2" +
                             " --results " + (dir / "r/results.txt") + " --out-dir " + (dir / "out");
    ASSERT_EQ(run("python3 " + SCRIPT + args), 0);

    const std::string calls = read(dir / "calls.txt");
    EXPECT_EQ(calls,
              "match search level1 --movetime 5 --games 3 --seed 9 --jobs 2\n"
              "match search level2 --movetime 5 --games 3 --seed 9 --jobs 2\n"
              "match search level3 --movetime 5 --games 3 --seed 9 --jobs 2\n"
              "match search level1 --movetime 70 --games 3 --seed 9 --jobs 2\n"
              "match search level2 --movetime 70 --games 3 --seed 9 --jobs 2\n"
              "match search level3 --movetime 70 --games 3 --seed 9 --jobs 2\n"
              "match search:40 search:4 --games 3 --seed 9 --jobs 2\n");
    const std::string results = read(dir / "r/results.txt");
    EXPECT_NE(results.find("zemtori-analyse match search:40 search:4 --games 3 --seed 9 --jobs 2\t"
                           "summary: search:40 vs search:4: 2-1-0 score 83.3%"),
              std::string::npos)
        << results;
    EXPECT_EQ(read(dir / "r/strength-search40_search4.log"),
              "game 1 upper B first A winner A how capture moves 20\n"
              "summary: search:40 vs search:4: 2-1-0 score 83.3% [43.6%, 97.0%] elo 280 [-45, 604]\n");
    EXPECT_TRUE(fs::exists(dir / "r/strength-search_level2_movetime_70.log"));
    const std::vector<std::string> rows = table_rows(read(dir / "out/strength.md"));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(cells(rows[3])[0], "search (70 ms) vs level1");
    EXPECT_EQ(cells(rows[6])[0], "search (40 ms) vs search (4 ms)");
    EXPECT_EQ(cells(rows[6])[1], "3");

    write(dir / "fail", "");
    fs::remove_all(dir / "out");
    EXPECT_NE(run("python3 " + SCRIPT + args), 0);
    EXPECT_FALSE(fs::exists(dir / "out/strength.md"));
}

// With a base build, the last pairing is the searching player against that
// build's, driven as an engine at the base's own budget and game count; the
// table names it by the base's name, and a base that is not a program stops
// the run before any match.
TEST(StrengthReport, RunAddsTheBasePairingLast) {
    Folder dir;
    const std::string fake = dir / "zemtori-analyse";
    write(fake,
          "#!/bin/sh\n"
          "echo \"$*\" >> \"$(dirname \"$0\")/calls.txt\"\n"
          "echo \"summary: $2 vs $3: 5-0-3 score 62.5% [30.6%, 86.3%] elo 89 [-143, 319]\"\n");
    ASSERT_EQ(run("chmod +x " + fake), 0);
    const std::string base = dir / "base-analyse";
    write(base, "#!/bin/sh\n");
    ASSERT_EQ(run("chmod +x " + base), 0);
    const std::string args = " run --analyse " + fake + " --games 3 --budgets '5' --self '' --seed 9 --jobs 2" +
                             " --base " + base + " --base-name 'base(abc)' --base-budget 30 --base-games 8" +
                             " --results " + (dir / "r/results.txt") + " --out-dir " + (dir / "out");
    ASSERT_EQ(run("python3 " + SCRIPT + args), 0);
    EXPECT_EQ(read(dir / "calls.txt"),
              "match search level1 --movetime 5 --games 3 --seed 9 --jobs 2\n"
              "match search level2 --movetime 5 --games 3 --seed 9 --jobs 2\n"
              "match search level3 --movetime 5 --games 3 --seed 9 --jobs 2\n"
              "match search engine:" + base + " --movetime 30 --games 8 --seed 9 --jobs 2\n");
    EXPECT_TRUE(fs::exists(dir / "r/strength-search_base_movetime_30.log"));
    const std::vector<std::string> rows = table_rows(read(dir / "out/strength.md"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(cells(rows[3])[0], "search (30 ms) vs base build (30 ms)");
    EXPECT_EQ(cells(rows[3])[1], "8");
    EXPECT_NE(rows[3].find("engine:base(abc)"), std::string::npos) << rows[3];

    fs::remove(dir / "calls.txt");
    EXPECT_NE(run("python3 " + SCRIPT + " run --analyse " + fake + " --budgets '5' --self '' --base " +
                  (dir / "missing") + " --results " + (dir / "r2/results.txt") + " --out-dir " + (dir / "out2")),
              0);
    EXPECT_FALSE(fs::exists(dir / "calls.txt"));
}

// Lines that are not a match's summary, or whose figures contradict each
// other, are refused and no report is written.
TEST(StrengthReport, RefusesWhatIsNotASummary) {
    const char* bad[] = {
        "zemtori-analyse match search level1\tgame 1 upper B first A winner A how capture moves 20\n",
        "zemtori-analyse match search level1 summary: search vs level1: 1-0-0 score 100.0% [20.7%, 100.0%] elo inf "
        "[-234, inf]\n",  // no tab
        "x\tsummary: search vs level1: 1-0-0 score 100.0% [20.7%, 90.0%] elo inf [-234, 382]\n",  // outside
        "x\tsummary: search vs level1: 1-0-0 score 100.0% [20.7%, 100.0%] elo inf\n",
        "",
    };
    for (const char* text : bad) {
        Folder dir;
        write(dir / "results.txt", text);
        EXPECT_NE(run("python3 " + SCRIPT + " report --results " + (dir / "results.txt") + " --out-dir " +
                      (dir / "out")),
                  0)
            << text;
        EXPECT_FALSE(fs::exists(dir / "out/strength.md")) << text;
    }
}

// `ladder` plays LEVEL4 against the three exact levels and then each level
// against the one below it, counts each match's games at the move limit,
// and writes the step table, the levels' Elo against LEVEL1 (the steps
// summed, their intervals in quadrature) and the chart; the README's and
// strength.md's ladder sections are replaced in place, the text around them
// kept, and the searching player's report leaves the ladder where it was.
TEST(StrengthReport, LadderPlaysEveryStepAndPlacesEveryLevel) {
    Folder dir;
    const std::string fake = dir / "zemtori-analyse";
    write(fake,
          "#!/bin/sh\n"
          "echo \"$*\" >> \"$(dirname \"$0\")/calls.txt\"\n"
          "echo 'game 1 upper B first A winner none how limit moves 300'\n"
          "echo 'game 2 upper B first B winner A how capture moves 70'\n"
          "if [ \"$3\" = level2 ]; then\n"
          "  echo \"summary: $2 vs $3: 17-2-1 score 90.0% [69.9%, 97.2%] elo 382 [147, 617]\"\n"
          "else\n"
          "  echo \"summary: $2 vs $3: 14-2-4 score 75.0% [53.1%, 88.8%] elo 191 [22, 360]\"\n"
          "fi\n");
    ASSERT_EQ(run("chmod +x " + fake), 0);
    write(dir / "README.md", "# Title\n\nbefore\n<!-- ladder: made by make strength -->\nold table\n<!-- /ladder -->\nafter\n");
    const std::string args = " ladder --analyse " + fake + " --games 20 --seed 4 --jobs 2 --results " +
                             (dir / "r/ladder.txt") + " --out-dir " + (dir / "out") + " --readme " + (dir / "README.md");
    ASSERT_EQ(run("python3 " + SCRIPT + args), 0);
    std::string want_calls;
    for (const char* pair : {"level4 level1", "level4 level2", "level4 level3", "level5 level4", "level6 level5",
                             "level7 level6", "level8 level7", "level9 level8"})
        want_calls += std::string("match ") + pair + " --games 20 --seed 4 --jobs 2\n";
    EXPECT_EQ(read(dir / "calls.txt"), want_calls);
    EXPECT_TRUE(fs::exists(dir / "r/ladder-level9_level8.log"));
    EXPECT_NE(read(dir / "r/ladder.txt").find("match level6 level5 --games 20 --seed 4 --jobs 2\tsummary: level6 vs "
                                               "level5: 14-2-4 score 75.0% [53.1%, 88.8%] elo 191 [22, 360]\tlimit 1\n"),
              std::string::npos);

    const std::string md = read(dir / "out/strength.md");
    std::vector<std::string> steps, levels;
    for (const std::string& row : table_rows(md)) {
        if (row.rfind("| step ", 0) == 0 || row.rfind("| level ", 0) == 0) continue;  // the headings
        (row.find(" vs ") == std::string::npos ? levels : steps).push_back(row);
    }
    ASSERT_EQ(steps.size(), 8u);
    EXPECT_EQ(cells(steps[1]), (std::vector<std::string>{"LEVEL4 vs LEVEL2", "20", "17-2-1", "90.0% [69.9%, 97.2%]",
                                                         "382 [147, 617]", "1 (5.0%)"}));
    EXPECT_EQ(cells(steps[7])[0], "LEVEL9 vs LEVEL8");
    // LEVEL2 is 191 - 382 below LEVEL4's 191: the first step's low side
    // (169) and the second's high side (235) in quadrature, each way round.
    const std::vector<std::vector<std::string>> want_levels = {
        {"LEVEL1", "0"},
        {"LEVEL2", "−191 [−480, +98]"},
        {"LEVEL3", "0 [−239, +239]"},
        {"LEVEL4", "+191 [+22, +360]"},
        {"LEVEL5", "+382 [+143, +621]"},
        {"LEVEL9", "+1146 [+732, +1560]"},
    };
    ASSERT_EQ(levels.size(), 9u);
    for (const auto& w : want_levels) {
        const int n = w[0].back() - '0';
        EXPECT_EQ(cells(levels[static_cast<std::size_t>(n - 1)]), w);
    }

    const std::string svg_path = dir / "out/ladder.svg";
    EXPECT_EQ(run("python3 -c 'import sys, xml.etree.ElementTree as E; E.parse(sys.argv[1])' " + svg_path), 0);
    const std::string svg = read(svg_path);
    const std::regex group_re("<g class=\"level\"[^>]*>([\\s\\S]*?)</g>");
    std::vector<double> dots;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), group_re); it != std::sregex_iterator(); ++it) {
        const std::string g = it->str();
        const std::size_t c = g.find("<circle");
        ASSERT_NE(c, std::string::npos);
        dots.push_back(attr(g.substr(c), "cx"));
        std::smatch w;
        ASSERT_TRUE(std::regex_search(g, w, std::regex("d=\"M([-0-9.]+) [-0-9.]+H([-0-9.]+)")));
        EXPECT_LE(std::stod(w[1]), dots.back());
        EXPECT_GE(std::stod(w[2]), dots.back());
    }
    ASSERT_EQ(dots.size(), 9u);
    // Equal steps from LEVEL4 up: equal distances on the chart.
    for (int n = 5; n <= 9; ++n) EXPECT_NEAR(dots[n - 1] - dots[n - 2], dots[4] - dots[3], 0.2) << n;
    EXPECT_NEAR(dots[2], dots[0], 0.2) << "LEVEL3 at LEVEL1's Elo";

    // The README: the section replaced, the rest as it was, once again the same.
    const std::string readme = read(dir / "README.md");
    EXPECT_EQ(readme.find("old table"), std::string::npos);
    EXPECT_EQ(readme.rfind("# Title\n\nbefore\n<!-- ladder: made by make strength -->\n", 0), 0u);
    EXPECT_NE(readme.find("| LEVEL9 vs LEVEL8 |"), std::string::npos);
    EXPECT_NE(readme.find("](out/ladder.svg)"), std::string::npos);
    EXPECT_EQ(readme.substr(readme.size() - 23), "<!-- /ladder -->\nafter\n");
    ASSERT_EQ(run("python3 " + SCRIPT + " ladder-report --results " + (dir / "r/ladder.txt") + " --out-dir " +
                  (dir / "out") + " --readme " + (dir / "README.md")),
              0);
    EXPECT_EQ(read(dir / "README.md"), readme);
    EXPECT_EQ(read(dir / "out/strength.md"), md);

    // The searching player's report keeps the ladder below its own table.
    write(dir / "results.txt", CANNED);
    ASSERT_EQ(run("python3 " + SCRIPT + " report --results " + (dir / "results.txt") + " --out-dir " + (dir / "out")), 0);
    const std::string both = read(dir / "out/strength.md");
    EXPECT_NE(both.find("| search (100 ms) vs level1 |"), std::string::npos);
    EXPECT_NE(both.find("| LEVEL9 vs LEVEL8 |"), std::string::npos);

    // Results that are not the ladder's pairings in order are refused.
    write(dir / "bad.txt", read(dir / "r/ladder.txt").substr(read(dir / "r/ladder.txt").find('\n') + 1));
    EXPECT_NE(run("python3 " + SCRIPT + " ladder-report --results " + (dir / "bad.txt") + " --out-dir " + (dir / "o3")), 0);
}

}  // namespace
}  // namespace zemtori
