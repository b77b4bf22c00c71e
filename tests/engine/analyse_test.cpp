// The analysis tool run as a program.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "record/entry_line.h"
#include "test_support.h"
#include "tool_run.h"

namespace zemtori {
namespace {

// ---------------------------------------------------------------------------
// The tool, run as a program on standard input.

using test::run_tool;
using test::ToolRun;

std::string line_of(const Position& pos) {
    RecordEntry e;
    store_position(pos, e);
    return format_entry_line(e);
}

Position position_of(const std::string& line) {
    Position pos;
    restore_position(parse_entry_line(line), pos);
    return pos;
}

Position settled_opening() {
    Position pos = test::opening_position();
    pos.BAN[2][2] = pos.BAN[8][2] = pos.BAN[2][8] = pos.BAN[8][8] = 0;
    pos.BAN[8][2] = HISHA;
    pos.BAN[9][2] = KAKU;
    pos.BAN[8][8] = -KAKU;
    pos.BAN[9][8] = -HISHA;
    return pos;
}

TEST(AnalyseFall, SettlesTheBoardAndBothHands) {
    Position pos = test::opening_position();
    pos.MOCHI_UE_KOMA[1] = HU;
    pos.MOCHI_UE_KAZU[1] = 2;
    pos.MOCHI_SITA_KOMA[3] = -KIN;
    pos.MOCHI_SITA_KAZU[3] = 1;
    const ToolRun r = run_tool("fall", line_of(pos) + "\n");
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), 1u);

    Position want = settled_opening();
    want.MOCHI_UE_KOMA[7] = HU;
    want.MOCHI_UE_KAZU[7] = 2;
    want.MOCHI_SITA_KOMA[7] = -KIN;
    want.MOCHI_SITA_KAZU[7] = 1;
    EXPECT_EQ(r.lines[0], line_of(want) + " 6") << "the upper rook falls six squares";
    EXPECT_EQ(r.lines[0].substr(313, 20), "    0    0    0    0");
}

TEST(AnalyseFall, ItsOutputReadsBackAsASettledPosition) {
    Position pos = settled_opening();
    pos.BAN[5][7] = 0;
    pos.BAN[5][6] = -HU;  // a pawn pushed into the air
    const ToolRun first = run_tool("fall", line_of(pos) + "\n");
    ASSERT_EQ(first.status, 0);
    ASSERT_EQ(first.lines.size(), 1u);
    const std::string& out = first.lines[0];
    ASSERT_EQ(out.size(), static_cast<std::size_t>(ENTRY_LINE_LENGTH) + 2);
    EXPECT_EQ(out.substr(ENTRY_LINE_LENGTH), " 4");

    const Position fallen = position_of(out);
    EXPECT_EQ(fallen.BAN[9][6], -HU);
    EXPECT_EQ(fallen.BAN[1][7], 0);
    EXPECT_EQ(fallen.BAN[5][7], -HU);

    // The whole output line, step count and all, is read again as a position
    // that no longer falls.
    const ToolRun again = run_tool("fall", out + "\n");
    ASSERT_EQ(again.lines.size(), 1u);
    EXPECT_EQ(again.lines[0], out.substr(0, ENTRY_LINE_LENGTH) + " 0");
}

TEST(AnalyseMoves, OpeningPositionLowerSide) {
    const ToolRun r = run_tool("moves sita", line_of(settled_opening()) + "\n");
    ASSERT_EQ(r.status, 0);
    ASSERT_FALSE(r.lines.empty());
    EXPECT_EQ(r.lines.back(), "end");
    // Nine pawn pushes, one lance step, silvers 3 + 2, golds 3 + 3, king 3;
    // knights, bishop, rook and the lance under the rook cannot move.
    EXPECT_EQ(r.lines.size(), 24u + 1u);
    EXPECT_EQ(r.lines.front(), "move 1 7 1 6 -10");
    const auto has = [&](const std::string& m) {
        for (const auto& l : r.lines)
            if (l == m) return true;
        return false;
    };
    EXPECT_TRUE(has("move 1 9 1 8 -20"));
    EXPECT_TRUE(has("move 3 9 2 8 -40"));
    EXPECT_TRUE(has("move 5 9 6 8 -80"));
    EXPECT_FALSE(has("move 7 9 8 8 -40")) << "the bishop stands there";
    EXPECT_FALSE(has("move 9 9 9 8 -20")) << "the rook stands there";
    EXPECT_FALSE(has("move 2 9 1 7 -30")) << "own pawn on the knight's square";
}

TEST(AnalyseMoves, DropsFollowTheBoardMovesWithTheirHandSource) {
    Position pos = settled_opening();
    pos.MOCHI_SITA_KOMA[7] = -HU;
    pos.MOCHI_SITA_KAZU[7] = 1;
    pos.MOCHI_UE_KOMA[2] = KIN;
    pos.MOCHI_UE_KAZU[2] = 1;
    pos.BAN[4][7] = 0;  // file 4 has no lower pawn now
    const ToolRun sita = run_tool("moves sita", line_of(pos) + "\n");
    std::vector<std::string> drops;
    for (const auto& l : sita.lines)
        if (l.rfind("move 11 ", 0) == 0) drops.push_back(l);
    // A pawn may only go to file 4, on its empty squares other than y = 1.
    EXPECT_EQ(drops, (std::vector<std::string>{"move 11 9 4 2 -10", "move 11 9 4 4 -10",
                                               "move 11 9 4 5 -10",
                                               "move 11 9 4 6 -10", "move 11 9 4 7 -10",
                                               "move 11 9 4 8 -10"}));
    EXPECT_EQ(sita.lines.back(), "end");

    const ToolRun ue = run_tool("moves ue", line_of(pos) + "\n");
    int gold_drops = 0;
    for (const auto& l : ue.lines)
        if (l.rfind("move -1 2 ", 0) == 0 && l.substr(l.size() - 3) == " 50") ++gold_drops;
    EXPECT_EQ(gold_drops, 81 - 39) << "a gold may be dropped on every empty square";
}

TEST(AnalyseMate, PrintsTheThreeAnswers) {
    Position pos;
    pos.BAN[9][9] = -OU;
    pos.BAN[9][8] = KIN;
    pos.BAN[9][7] = HU;
    pos.BAN[1][1] = OU;
    Position safe = pos;
    safe.BAN[8][7] = -GIN;  // can take the gold
    const ToolRun r = run_tool("mate", line_of(pos) + "\n" + line_of(safe) + "\n");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.lines, (std::vector<std::string>{"tsumi 1 oute 1 tsumi_ue 0",
                                                 "tsumi 0 oute 1 tsumi_ue 0"}));
}

std::vector<std::string> gen_lines(const std::string& args) { return run_tool("gen " + args, "").lines; }

TEST(AnalyseGen, ReproducibleForASeed) {
    const auto a = gen_lines("--seed 7 --count 12");
    const auto b = gen_lines("--seed 7 --count 12");
    const auto c = gen_lines("--seed 8 --count 12");
    ASSERT_EQ(a.size(), 12u);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_TRUE(gen_lines("--seed 7 --count 0").empty());
}

TEST(AnalyseGen, PositionsHaveBothKingsAndHaveSettled) {
    const auto lines = gen_lines("--seed 1 --count 40");
    ASSERT_EQ(lines.size(), 40u);
    bool any_hand = false;
    for (const std::string& l : lines) {
        ASSERT_EQ(l.size(), static_cast<std::size_t>(ENTRY_LINE_LENGTH));
        const Position pos = position_of(l);
        int ue = 0, sita = 0;
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                ue += pos.BAN[x][y] == OU;
                sita += pos.BAN[x][y] == -OU;
                if (x < 9 && pos.BAN[x][y] != 0) {
                    EXPECT_NE(pos.BAN[x + 1][y], 0) << "a piece in the air at " << x << "," << y << "\n" << l;
                }
            }
        }
        EXPECT_EQ(ue, 1) << l;
        EXPECT_EQ(sita, 1) << l;
        any_hand = any_hand || pos.MOCHI_UE_GOKEI + pos.MOCHI_SITA_GOKEI > 0;
    }
    EXPECT_TRUE(any_hand) << "forty positions of random play include a capture";
}

TEST(AnalyseInput, BadLinesNeverStopTheTool) {
    const std::string bad = std::string("\n") + "abc\n" + " 20 30\n" + "999 51-51-99\n" +
                            std::string(200000, '7') + "\n" + std::string(400, '-') + "\r\n" +
                            line_of(settled_opening()) + "\n";
    for (const char* cmd : {"mate", "fall", "moves ue", "moves sita", "think --level 1"}) {
        const ToolRun r = run_tool(cmd, bad);
        EXPECT_EQ(r.status, 0) << cmd;
        EXPECT_FALSE(r.lines.empty()) << cmd;
    }
    const ToolRun mate = run_tool("mate", bad);
    EXPECT_EQ(mate.lines.size(), 7u) << "one answer per line";
    const ToolRun fall = run_tool("fall", bad);
    ASSERT_EQ(fall.lines.size(), 7u);
    EXPECT_EQ(fall.lines[3], line_of(Position{}) + " 0") << "codes that are not pieces read as empty";
}

TEST(AnalyseInput, UsageErrorsExitWithTwo) {
    for (const char* args : {"", "bogus", "think --level 4", "think --level", "think --fast",
                             "fall extra", "moves", "moves both", "gen --seed 1",
                             "gen --count 5", "gen --seed x --count 5", "gen --seed 1 --count -3"}) {
        EXPECT_EQ(run_tool(args, "").status, 2) << '"' << args << '"';
    }
}

TEST(AnalyseThink, BestIsTheFirstHighestCandidate) {
    Position pos;
    pos.BAN[9][5] = OU;
    pos.BAN[9][9] = -OU;
    pos.BAN[9][1] = HU;
    const ToolRun r = run_tool("think --all", line_of(pos) + "\n" + "\n");
    ASSERT_EQ(r.status, 0);
    ASSERT_GE(r.lines.size(), 3u);
    EXPECT_EQ(r.lines.back(), "none") << "an empty board has no candidate";

    std::vector<std::string> cands;
    double top = -1e9;
    std::string first_top;
    for (std::size_t i = 0; i + 2 < r.lines.size(); ++i) {
        const std::string& l = r.lines[i];
        ASSERT_EQ(l.rfind("cand ", 0), 0u) << l;
        const double score = std::strtod(l.substr(l.rfind(' ') + 1).c_str(), nullptr);
        if (score > top) {
            top = score;
            first_top = l.substr(5);
        }
        cands.push_back(l.substr(5, l.rfind(' ') - 5));
    }
    // The pawn's push and the king's five steps, in scan order.
    EXPECT_EQ(cands, (std::vector<std::string>{"9 1 9 2 10", "9 5 8 4 80", "9 5 8 5 80",
                                               "9 5 8 6 80", "9 5 9 4 80", "9 5 9 6 80"}));
    EXPECT_EQ(r.lines[r.lines.size() - 2], "best " + first_top);
}

// The engine's signature: every candidate the search scores, with its score,
// and the move chosen, at each level over the benchmark suite of 50 positions,
// exactly as committed.  Any change that moves one score shows here, with the
// first line that differs.
std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class EngineSignature : public ::testing::TestWithParam<int> {};

TEST_P(EngineSignature, EveryCandidateScoresAsCommitted) {
    const int level = GetParam();
    const std::string positions = slurp(ZEMTORI_BENCH_DIR "/positions_seed1.txt");
    ASSERT_FALSE(positions.empty());
    std::istringstream want_in(slurp(std::string(ZEMTORI_TEST_SOURCE_DIR) +
                                     "/engine/signature/think_all_level" + std::to_string(level) +
                                     ".txt"));
    std::vector<std::string> want;
    for (std::string line; std::getline(want_in, line);) want.push_back(line);
    ASSERT_GT(want.size(), 50u);

    const ToolRun r = run_tool("think --all --level " + std::to_string(level), positions);
    ASSERT_EQ(r.status, 0);
    for (std::size_t i = 0; i < want.size() && i < r.lines.size(); ++i)
        ASSERT_EQ(r.lines[i], want[i]) << "first difference at line " << i + 1;
    EXPECT_EQ(r.lines.size(), want.size());
}

INSTANTIATE_TEST_SUITE_P(Level, EngineSignature, ::testing::Values(1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Level" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace zemtori
