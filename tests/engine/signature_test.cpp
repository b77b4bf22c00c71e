// The engine's wide signature: 3000 positions of random play (gen --seed 1),
// each searched at the three levels.  Per position and level the committed
// file holds the move chosen, as `think` prints it, and a digest of every
// candidate line `think --all` prints for it, so a change to any score of any
// candidate shows, with the position's number and the two lines.
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

constexpr int WIDE_POSITIONS = 3000;

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

std::string generated_positions() {
    const test::ToolRun gen =
        test::run_tool("gen --seed 1 --count " + std::to_string(WIDE_POSITIONS), "");
    EXPECT_EQ(gen.status, 0);
    std::string text;
    for (const std::string& l : gen.lines) text += l + "\n";
    return text;
}

class WideSignature : public ::testing::TestWithParam<int> {};

TEST_P(WideSignature, EveryPositionScoresAsCommitted) {
    const int level = GetParam();
    static const std::string positions = generated_positions();
    ASSERT_EQ(std::count(positions.begin(), positions.end(), '\n'), WIDE_POSITIONS);

    const test::ToolRun r =
        test::run_tool("think --all --level " + std::to_string(level), positions);
    ASSERT_EQ(r.status, 0);
    const std::vector<std::string> got = signature_lines(r.lines);
    ASSERT_EQ(got.size(), static_cast<std::size_t>(WIDE_POSITIONS));

    if (std::getenv("ZEMTORI_WRITE_SIGNATURE") != nullptr) {
        std::ofstream out(signature_path(level), std::ios::binary);
        for (const std::string& l : got) out << l << '\n';
        GTEST_SKIP() << "wrote " << signature_path(level);
    }

    std::ifstream in(signature_path(level), std::ios::binary);
    ASSERT_TRUE(in) << signature_path(level);
    std::vector<std::string> want;
    for (std::string line; std::getline(in, line);) want.push_back(line);
    ASSERT_EQ(want.size(), got.size());
    for (std::size_t i = 0; i < want.size(); ++i)
        ASSERT_EQ(got[i], want[i]) << "position " << i + 1 << " of gen --seed 1 (line " << i + 1
                                   << " of " << signature_path(level) << ")";
}

INSTANTIATE_TEST_SUITE_P(Level, WideSignature, ::testing::Values(1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Level" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace zemtori
