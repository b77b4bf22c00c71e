// The engine's wide signature: 3000 positions of random play (gen --seed 1),
// each searched at the three levels and put to the mate tests.  Per position
// and level the committed file holds the move chosen, as `think` prints it,
// and a digest of every candidate line `think --all` prints for it, so a
// change to any score of any candidate shows, with the position's number and
// the two lines.  A fourth file holds the three answers of `mate` per
// position as three digits.
//
// Random play seldom builds the few shapes some terms look for, so nine
// positions made by hand follow the generated ones (rare_term_positions.txt,
// one per shape): a pawn dropped before a lower bishop on (2,8); a bishop
// leaving (7,3) beside a rook-defended pawn on (8,5); a rook dropped on a
// file end before a silver flanked by a gold; a rook to (3,4) facing a pawn
// and a bishop; a rook leaving (9,2) beside a rook-defended pawn on (8,3); a
// promoted rook stepping before and leaving from beside a silver flanked by
// golds; a promoted rook to (7,9) behind a pawn and a lance; a gold checking
// diagonally, defended by a promoted rook on the king's row.  With them every
// line of the evaluation, the terms and the mate tests runs.
//
// After a deliberate change to the engine, rewrite the files with
//   ZEMTORI_WRITE_SIGNATURE=1 ./zemtori_engine_tests --gtest_filter='*WideSignature*'
// and read the diff before committing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tool_run.h"

namespace zemtori {
namespace {

constexpr int GENERATED_POSITIONS = 3000;
constexpr int RARE_POSITIONS = 9;
constexpr int WIDE_POSITIONS = GENERATED_POSITIONS + RARE_POSITIONS;

std::string signature_path(int level) {
    return std::string(ZEMTORI_TEST_SOURCE_DIR) + "/engine/signature/wide_level" +
           std::to_string(level) + ".txt";
}

// FNV-1a, 32 bits: enough to tell two candidate lists apart.
std::uint32_t digest(const std::string& text) {
    std::uint32_t h = 2166136261u;
    for (const unsigned char c : text) {
        h ^= c;
        h *= 16777619u;
    }
    return h;
}

// One line per position: the `best` (or `none`) line and the digest of the
// candidate lines before it.
std::vector<std::string> signature_lines(const std::vector<std::string>& out) {
    std::vector<std::string> lines;
    std::string cands;
    for (const std::string& l : out) {
        if (l.rfind("cand ", 0) == 0) {
            cands += l;
            cands += '\n';
            continue;
        }
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08x", digest(cands));
        lines.push_back(l + " #" + hex);
        cands.clear();
    }
    return lines;
}

std::string wide_position_lines() {
    const test::ToolRun gen =
        test::run_tool("gen --seed 1 --count " + std::to_string(GENERATED_POSITIONS), "");
    EXPECT_EQ(gen.status, 0);
    std::string text;
    for (const std::string& l : gen.lines) text += l + "\n";
    std::ifstream rare(std::string(ZEMTORI_TEST_SOURCE_DIR) +
                       "/engine/signature/rare_term_positions.txt");
    for (std::string l; std::getline(rare, l);) text += l + "\n";
    return text;
}

// Where position i (from 0) of the wide set comes from.
std::string position_name(std::size_t i) {
    if (i < GENERATED_POSITIONS) return "position " + std::to_string(i + 1) + " of gen --seed 1";
    return "line " + std::to_string(i - GENERATED_POSITIONS + 1) + " of rare_term_positions.txt";
}

// Compares `got` with the committed file `path` line by line, or rewrites the
// file when ZEMTORI_WRITE_SIGNATURE is set.
void expect_as_committed(const std::vector<std::string>& got, const std::string& path) {
    if (std::getenv("ZEMTORI_WRITE_SIGNATURE") != nullptr) {
        std::ofstream out(path, std::ios::binary);
        for (const std::string& l : got) out << l << '\n';
        GTEST_SKIP() << "wrote " << path;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::vector<std::string> want;
    for (std::string line; std::getline(in, line);) want.push_back(line);
    ASSERT_EQ(want.size(), got.size()) << path;
    for (std::size_t i = 0; i < want.size(); ++i)
        ASSERT_EQ(got[i], want[i]) << position_name(i) << " (line " << i + 1 << " of " << path
                                   << ")";
}

const std::string& wide_positions() {
    static const std::string positions = wide_position_lines();
    return positions;
}

class WideSignature : public ::testing::TestWithParam<int> {};

TEST_P(WideSignature, EveryPositionScoresAsCommitted) {
    const int level = GetParam();
    const std::string& positions = wide_positions();
    ASSERT_EQ(std::count(positions.begin(), positions.end(), '\n'), WIDE_POSITIONS);

    const test::ToolRun r =
        test::run_tool("think --all --level " + std::to_string(level), positions);
    ASSERT_EQ(r.status, 0);
    const std::vector<std::string> got = signature_lines(r.lines);
    ASSERT_EQ(got.size(), static_cast<std::size_t>(WIDE_POSITIONS));
    expect_as_committed(got, signature_path(level));
}

INSTANTIATE_TEST_SUITE_P(Level, WideSignature, ::testing::Values(1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Level" + std::to_string(info.param);
                         });

TEST(WideSignatureMate, EveryPositionAnswersAsCommitted) {
    const std::string& positions = wide_positions();
    const test::ToolRun r = test::run_tool("mate", positions);
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), static_cast<std::size_t>(WIDE_POSITIONS));
    std::vector<std::string> got;
    for (const std::string& l : r.lines) {
        int t = -1, o = -1, u = -1;
        ASSERT_EQ(std::sscanf(l.c_str(), "tsumi %d oute %d tsumi_ue %d", &t, &o, &u), 3) << l;
        got.push_back(std::to_string(t) + std::to_string(o) + std::to_string(u));
    }
    expect_as_committed(got, std::string(ZEMTORI_TEST_SOURCE_DIR) + "/engine/signature/wide_mate.txt");
}

}  // namespace
}  // namespace zemtori
