// The searching player's signature: over the 50 benchmark positions
// (bench/positions_seed1.txt), each with either side to move, a search to a
// fixed depth and one to a fixed node budget, and per search the move, the
// score, the depth finished, the node count and the principal line.  Any
// change to the move generation, the falls, the hash, the table, the
// ordering, the pruning, the capture search or the evaluation shows here as
// a changed line, with the position and the two lines.
//
// After a deliberate change to the search, rewrite the file with
//   ZEMTORI_WRITE_SIGNATURE=1 ./zemtori_searcher_tests --gtest_filter='SearchSignature*'
// (from the build folder) and read the diff before committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "record/entry.h"
#include "record/entry_line.h"
#include "searcher/alpha_beta.h"

namespace zemtori {
namespace {

using searcher::Limits;

constexpr int DEPTH = 4;
constexpr int64_t NODES = 20000;

std::vector<Position> bench_positions() {
    std::vector<Position> out;
    std::ifstream in(ZEMTORI_BENCH_DIR "/positions_seed1.txt");
    for (std::string line; std::getline(in, line);) {
        RecordEntry e = parse_entry_line(line);
        keep_only_pieces(e);
        Position pos;
        restore_position(e, pos);
        out.push_back(pos);
    }
    return out;
}

std::string move_text(const searcher::CompactPosition& pos, searcher::Move m) {
    const searcher::RulesMove r = searcher::to_rules_move(pos, m);
    std::ostringstream s;
    s << r.from_x << ',' << r.from_y << '-' << r.to_x << ',' << r.to_y << '=' << r.koma;
    return s.str();
}

std::string result_line(const searcher::CompactPosition& root, const searcher::SearchResult& r) {
    std::ostringstream s;
    s << (r.best.is_null() ? std::string("none") : move_text(root, r.best)) << " score " << r.score << " depth "
      << r.depth << " nodes " << r.nodes << " pv";
    searcher::CompactPosition p = root;
    for (const searcher::Move m : r.pv) {
        s << ' ' << move_text(p, m);
        searcher::make(p, m);
    }
    return s.str();
}

TEST(SearchSignature, TheBenchmarkPositionsSearchAsCommitted) {
    const std::vector<Position> positions = bench_positions();
    ASSERT_EQ(positions.size(), 50u);
    searcher::Searcher searcher(18);
    std::vector<std::string> got;
    for (std::size_t i = 0; i < positions.size(); ++i)
        for (const int side : {1, -1}) {
            const searcher::CompactPosition root = searcher::from_rules(positions[i], side);
            const std::string where = std::to_string(i + 1) + (side > 0 ? " upper" : " lower");
            searcher.clear();  // each line stands on its own
            got.push_back(where + " depth " + result_line(root, searcher.think(root, Limits{DEPTH, 0, 0})));
            searcher.clear();
            got.push_back(where + " nodes " + result_line(root, searcher.think(root, Limits{0, NODES, 0})));
        }

    const std::string path = std::string(ZEMTORI_TEST_SOURCE_DIR) + "/searcher/signature/bench_positions.txt";
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
    int differ = 0;
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i], want[i]) << "line " << i + 1 << " of " << path;
        differ += got[i] != want[i];
        if (differ == 5) break;  // the first few tell the story
    }
}

}  // namespace
}  // namespace zemtori
