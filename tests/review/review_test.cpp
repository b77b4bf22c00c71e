// The review of a game: the searching player on every position of a record,
// at the command line and through the review itself.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "planted_game.h"
#include "record/kifu.h"
#include "record/record_file.h"
#include "review/review.h"
#include "rules/moves.h"
#include "rules/opening.h"
#include "tool_run.h"

namespace zemtori {
namespace {

namespace fs = std::filesystem;
using test::run_tool;
using test::ToolRun;

constexpr int64_t NODES = 20000;

searcher::Limits nodes(int64_t n) {
    searcher::Limits l;
    l.nodes = n;
    return l;
}

// The record written with the record writer into a folder of its own.
class RecordOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("zemtori-review-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string write(const RecordFile& file, const std::string& name) {
        std::string bytes, reason;
        int bad_line = 0;
        EXPECT_TRUE(format_record_file(file, bytes, bad_line));
        const std::string path = (dir_ / (name + ".棋譜")).string();
        EXPECT_TRUE(write_file_atomically(path, bytes, reason)) << reason;
        return path;
    }

    fs::path dir_;
};

const test::PlantedGame& planted() {
    static const test::PlantedGame game = test::planted_rook_blunder();
    return game;
}

// The rook left hanging is a blunder of the side that left it, at that move,
// with a better move named and a loss of at least a rook.
TEST_F(RecordOnDisk, APlantedRookBlunderIsMarkedAtThatMove) {
    const test::PlantedGame& g = planted();
    ASSERT_GT(g.blunder, 0) << "no move leaves the rook";
    const std::string path = write(g.file, "planted");
    const ToolRun r = run_tool("review " + path + " --nodes " + std::to_string(NODES), "");
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), g.file.entries.size() + 1);
    const std::regex line(
        R"(entry (\d+) score (-?\d+) played (-?\d+ -?\d+ -?\d+ -?\d+ -?\d+) best (-?\d+ -?\d+ -?\d+ -?\d+ -?\d+) loss (\d+)( (悪手|疑問手))?)");
    for (std::size_t i = 0; i + 1 < r.lines.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(r.lines[i], m, line)) << r.lines[i];
        const int n = std::stoi(m[1]);
        EXPECT_EQ(n, static_cast<int>(i) + 1);
        if (n == g.blunder) {
            const searcher::RulesMove& b = g.blunder_move;
            EXPECT_EQ(m[3].str(), std::to_string(b.from_x) + ' ' + std::to_string(b.from_y) + ' ' +
                                      std::to_string(b.to_x) + ' ' + std::to_string(b.to_y) + ' ' +
                                      std::to_string(b.koma));
            EXPECT_NE(m[3].str(), m[4].str()) << "the better move is another one";
            EXPECT_GE(std::stoi(m[5]), 900) << r.lines[i];
            EXPECT_EQ(m[7].str(), "悪手") << r.lines[i];
        }
    }
    // The lower side, who moved first, made the blunder: it counts there.
    std::smatch s;
    ASSERT_TRUE(std::regex_search(r.lines.back(), s, std::regex("lower 悪手 (\\d+)"))) << r.lines.back();
    EXPECT_GE(std::stoi(s[1]), 1);
}

// With a node budget the review is the same every run, the scores from the
// lower side's view: the planted blunder turns the score against it.
TEST_F(RecordOnDisk, ANodeBudgetGivesTheSameLinesTwice) {
    const std::string path = write(planted().file, "twice");
    const std::string args = "review " + path + " --nodes " + std::to_string(NODES);
    const ToolRun first = run_tool(args, "");
    const ToolRun second = run_tool(args, "");
    ASSERT_EQ(first.status, 0);
    ASSERT_FALSE(first.lines.empty());
    EXPECT_EQ(first.lines, second.lines);
    EXPECT_EQ(first.lines.back().rfind("summary entries " + std::to_string(planted().file.entries.size()), 0), 0u)
        << first.lines.back();

    // The command line and the review it is made of agree line for line.
    const review::Review done = review::run(review::from_file(planted().file), nodes(NODES));
    const std::vector<review::MoveReview> moves = done.moves();
    ASSERT_EQ(moves.size() + 1, first.lines.size());
    for (std::size_t i = 0; i < moves.size(); ++i) EXPECT_EQ(review::line_of(moves[i]), first.lines[i]);
    const review::MoveReview& blunder = moves[static_cast<std::size_t>(planted().blunder - 1)];
    EXPECT_EQ(blunder.mover, -1);
    EXPECT_LT(blunder.score, moves[static_cast<std::size_t>(planted().blunder - 2)].score - 800);
}

TEST_F(RecordOnDisk, AFileThatCannotBeReviewedIsRefusedWithAReason) {
    EXPECT_EQ(run_tool("review " + (dir_ / "missing.棋譜").string(), "").status, 1);
    RecordFile empty;
    EXPECT_EQ(run_tool("review " + write(empty, "empty"), "").status, 1);
    const std::string path = write(planted().file, "options");
    EXPECT_EQ(run_tool("review " + path + " --nodes 10 --movetime 10", "").status, 2);
    EXPECT_EQ(run_tool("review " + path + " --depth 3", "").status, 2);
    EXPECT_EQ(run_tool("review", "").status, 2);
}

// The marks by expected score: a small loss in an even game is not marked, a
// rook's worth is a blunder, and the same loss in a game long decided costs
// next to nothing.
// A loss of exactly a mark's share of the expected score earns the mark;
// the least bit less earns the one below.
TEST(ReviewMarks, ALossExactlyAtAThresholdEarnsTheMark) {
    EXPECT_EQ(review::mark_of(0.20), review::Mark::Blunder);
    EXPECT_EQ(review::mark_of(0.10), review::Mark::Dubious);
    EXPECT_EQ(review::mark_of(std::nextafter(0.20, 0.0)), review::Mark::Dubious);
    EXPECT_EQ(review::mark_of(std::nextafter(0.10, 0.0)), review::Mark::None);
    EXPECT_EQ(review::mark_of(0.0), review::Mark::None);
    EXPECT_EQ(review::mark_of(1.0), review::Mark::Blunder);
}

TEST(ReviewMarks, FollowTheExpectedScoreNotTheRawLoss) {
    const auto mark = [](int was, int now) {
        return review::mark_of(review::expected_score(was) - review::expected_score(now));
    };
    EXPECT_EQ(mark(0, -100), review::Mark::None);
    EXPECT_EQ(mark(0, -300), review::Mark::Dubious);
    EXPECT_EQ(mark(0, -1000), review::Mark::Blunder);
    EXPECT_EQ(mark(5000, 4000), review::Mark::None);
    EXPECT_EQ(mark(searcher::WIN - 3, 0), review::Mark::Blunder);
    EXPECT_STREQ(review::mark_word(review::Mark::Blunder), "悪手");
    EXPECT_STREQ(review::mark_word(review::Mark::Dubious), "疑問手");
    EXPECT_EQ(review::chart_score(searcher::WIN - 5), review::CHART_LIMIT);
    EXPECT_EQ(review::chart_score(-searcher::WIN), -review::CHART_LIMIT);
    EXPECT_EQ(review::chart_score(-1234), -1234);
}

// A promotion and the plain move between the same squares are two moves:
// when the searching player would have played the one and the game played
// the other, the move played loses what the scores say and may be marked.
TEST(ReviewOfAMove, APromotionIsNotThePlainMoveBetweenTheSameSquares) {
    // A lower silver that may step into the far zone, promoting or not;
    // both kings on the board.
    Position start;
    start.BAN[9][5] = -OU;
    start.BAN[9][9] = OU;
    start.BAN[9][4] = -GIN;
    start.BAN[8][4] = -HU;
    start.BAN[9][3] = HU;
    const searcher::CompactPosition root = searcher::from_rules(start, -1);
    searcher::MoveList list;
    searcher::generate(root, list);
    searcher::Move plain, promoting;
    for (int i = 0; i < list.size; ++i) {
        const searcher::RulesMove m = searcher::to_rules_move(root, list.moves[i]);
        if (m.from_x == 9 && m.from_y == 4 && m.to_x == 8 && m.to_y == 3) (m.koma == -GIN ? plain : promoting) = list.moves[i];
    }
    ASSERT_FALSE(plain.is_null());
    ASSERT_FALSE(promoting.is_null());

    for (const bool promotion_played : {false, true}) {
        const searcher::Move played = promotion_played ? promoting : plain;
        const searcher::Move best = promotion_played ? plain : promoting;
        const searcher::RulesMove m = searcher::to_rules_move(root, played);
        review::Record r;
        RecordEntry e;
        store_position(start, e);
        r.entries.push_back(e);
        r.moves.push_back({});
        Position after = start;
        play_and_fall(after, m.from_x, m.from_y, m.to_x, m.to_y, m.koma);
        store_position(after, e);
        r.entries.push_back(e);
        r.moves.push_back({{m.from_x, m.from_y, m.to_x, m.to_y, m.koma}, true, -1, 0});

        review::Review review(r);
        searcher::SearchResult before;
        before.best = best;
        before.score = 300;  // the best move keeps the lower side three pawns up
        review.add(before);
        searcher::SearchResult then;
        then.best = list.moves[0];  // any move: the upper side's answer is not judged here
        then.score = 100;  // from the upper side's view: the lower side is a pawn down
        ASSERT_TRUE(review.next_root());
        review.add(then);
        const review::MoveReview judged = review.move(1);
        EXPECT_EQ(judged.played.koma, m.koma);
        EXPECT_EQ(judged.best.koma, searcher::to_rules_move(root, best).koma);
        EXPECT_EQ(judged.loss, 400) << (promotion_played ? "promotion played" : "plain move played");
        EXPECT_EQ(judged.mark, review::Mark::Dubious);
    }
}

// A game that ends with a king taken: the last position needs no search and
// stands as won for the taker, whose winning move loses nothing.
TEST(ReviewOfAFinishedGame, ScoresTheLastPositionAsWonWithoutASearch) {
    // The lower king alone at the bottom of column 5 under an upper gold,
    // the upper king far away: the upper side takes it at once.
    Position p;
    p.BAN[9][5] = -OU;
    p.BAN[8][5] = KIN;
    p.BAN[9][1] = OU;
    p.BAN[9][9] = -HU;
    review::Record r;
    RecordEntry e;
    store_position(p, e);
    r.entries.push_back(e);
    r.moves.push_back({});
    Position q = test::planted::after(p, {8, 5, 9, 5, KIN});
    store_position(q, e);
    r.entries.push_back(e);
    r.moves.push_back({{8, 5, 9, 5, KIN}, true, +1, +1});
    const review::Review done = review::run(r, nodes(NODES));
    ASSERT_EQ(done.done(), 2);
    EXPECT_TRUE(done.looked()[1].decided);
    EXPECT_EQ(done.looked()[1].nodes, 0);
    const std::vector<review::MoveReview> moves = done.moves();
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].mover, +1);
    EXPECT_EQ(moves[0].score, -searcher::WIN) << "won for the upper side: the lower side's view is the loss";
    EXPECT_EQ(moves[0].loss, 0);
    EXPECT_EQ(moves[0].mark, review::Mark::None);
}

// A stop keeps what was done: the positions searched in full, and the moves
// between them.
TEST(ReviewStopped, KeepsThePositionsDoneAndTheMovesBetweenThem) {
    std::atomic<bool> stop{false};
    const review::Review done = review::run(
        review::from_file(planted().file), nodes(NODES),
        [&stop](const review::Review& r) {
            if (r.done() == 3) stop = true;
        },
        &stop);
    EXPECT_EQ(done.done(), 3);
    EXPECT_FALSE(done.finished());
    EXPECT_EQ(done.moves().size(), 2u);
}

// Each position is searched knowing the whole game before it: every ply
// played, and the last positions (each with its own side to move), as many
// as a repetition is looked for in, a repetition scoring 0 for both sides.
TEST(ReviewRecords, TellTheSearcherTheWholeGameBeforeEachPosition) {
    const review::Record r = review::from_file(test::planted_rook_blunder(20).file);
    ASSERT_GT(r.entries.size(), 40u) << "long enough to have more positions than are looked at";
    std::vector<uint64_t> want;
    for (std::size_t i = 0; i < r.entries.size(); ++i) {
        Position p;
        restore_position(r.entries[i], p);
        want.push_back(searcher::from_rules(p, i % 2 == 0 ? -1 : +1).key());
    }
    int checked = 0;
    review::run(r, nodes(300), [&](const review::Review& done) {
        const std::size_t n = static_cast<std::size_t>(done.done());
        if (done.finished()) return;
        const searcher::History told = done.next_history();
        EXPECT_EQ(told.plies, n);
        EXPECT_TRUE(told.neutral);
        ASSERT_EQ(told.keys.size(), std::min(n, searcher::GAME_KEYS_LOOKED_AT)) << "before position " << n;
        ASSERT_TRUE(std::equal(told.keys.begin(), told.keys.end(), want.begin() + static_cast<std::ptrdiff_t>(n - told.keys.size())))
            << "before position " << n;
        ++checked;
    });
    EXPECT_EQ(checked, static_cast<int>(r.entries.size()) - 1);
}

// A game that goes round in a circle, the upper side moving first: once
// the lower side's best is to go round again, its position scores an even
// game, as it would for the upper side, not a cost counted against
// whichever side the search was for.
TEST(ReviewRecords, ScoreAPositionThatGoesRoundInACircleAsEven) {
    const std::vector<searcher::RulesMove> opening = {
        {6, 1, 6, 2, 50},  {3, 9, 2, 8, -40}, {8, 3, 8, 4, 10}, {1, 7, 1, 6, -10}, {8, 3, 8, 4, 10},
        {2, 9, 2, 8, -20}, {6, 1, 6, 2, 80},  {6, 9, 5, 8, -50}, {3, 3, 3, 4, 10}, {2, 7, 2, 6, -10},
        {5, 3, 5, 4, 10},  {5, 8, 4, 8, -50}, {5, 3, 5, 4, 10}, {5, 8, 4, 8, -50}, {6, 2, 5, 3, 80},
        {5, 8, 4, 8, -50}};
    const searcher::RulesMove circle[4] = {{5, 3, 4, 2, 80}, {5, 8, 4, 8, -50}, {6, 2, 5, 3, 80}, {5, 8, 4, 8, -50}};
    std::vector<searcher::RulesMove> moves = opening;
    for (int turn = 0; turn < 10; ++turn) moves.insert(moves.end(), circle, circle + 4);
    review::Record r;
    Position p = settled_opening();
    RecordEntry e;
    store_position(p, e);
    r.entries.push_back(e);
    r.moves.push_back({});
    int side = +1;
    for (const searcher::RulesMove& m : moves) {
        play_and_fall(p, m.from_x, m.from_y, m.to_x, m.to_y, m.koma);
        store_position(p, e);
        r.entries.push_back(e);
        r.moves.push_back({{m.from_x, m.from_y, m.to_x, m.to_y, m.koma}, true, side, 0});
        side = -side;
    }
    const review::Review done = review::run(r, nodes(NODES));
    ASSERT_TRUE(done.finished());
    int even = 0;
    for (const review::MoveReview& m : done.moves()) {
        if (m.n < 24 || m.mover != +1) continue;  // two turns in, after the upper side's moves
        EXPECT_EQ(m.score, 0) << "after move " << m.n;
        ++even;
    }
    EXPECT_EQ(even, 16);
}

// A record read from a file starts from the settled opening, and a record in
// memory keeps the moves the game made.
TEST(ReviewRecords, StartFromTheSettledOpening) {
    const review::Record r = review::from_file(planted().file);
    ASSERT_EQ(r.entries.size(), planted().file.entries.size() + 1);
    Position p;
    shoki_haichi(p);
    rakka(p, nullptr);
    Position got;
    restore_position(r.entries[0], got);
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) EXPECT_EQ(got.BAN[x][y], p.BAN[x][y]) << x << ',' << y;
    EXPECT_EQ(r.moves[1].mover, -1);
    EXPECT_EQ(r.moves[2].mover, +1);
    EXPECT_EQ(r.moves[static_cast<std::size_t>(planted().blunder)].mover, -1);
}

}  // namespace
}  // namespace zemtori
