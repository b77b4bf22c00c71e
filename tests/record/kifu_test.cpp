// The in-memory record: what a game's moves store, and what the record keeps
// and gives up as it is stepped through, turned, started again and loaded.
#include <gtest/gtest.h>

#include <vector>

#include "record/kifu.h"
#include "test_support.h"

namespace zemtori {
using test::board_with;
namespace {

// Entry n of `kifu` as a short text: the code on (5, 5) and the four times.
std::string brief(const Kifu& kifu, int n) {
    const RecordEntry& e = kifu.entry(n);
    return std::to_string(e.BAN[5][5]) + " " + std::to_string(static_cast<int>(e.MAN_MAE)) + " " +
           std::to_string(static_cast<int>(e.MAN_ATO)) + " " + std::to_string(static_cast<int>(e.COM_MAE)) + " " +
           std::to_string(static_cast<int>(e.COM_ATO));
}

// Two moves as the game stores them: a snapshot before each move, the move,
// and the position after it with the totals after it.
Kifu two_moves() {
    Kifu kifu;
    kifu.kyokumen_kiroku(board_with({{5, 5, 10}}), 0, 4, 0, 0);
    kifu.move_made(board_with({{5, 5, 20}}), Sashite{5, 6, 5, 5, -20});
    kifu.kyokumen_kiroku(board_with({{5, 5, 20}}), 4, 4, 0, 7);
    kifu.move_made(board_with({{5, 5, 30}}), Sashite{5, 4, 5, 5, 30});
    return kifu;
}

TEST(Kifu, EachMoveStoresItsSnapshotAndThePositionAfterIt) {
    const Kifu kifu = two_moves();
    EXPECT_EQ(kifu.kifu_tesu(), 2);
    EXPECT_EQ(kifu.kifu_saigo(), 2);
    EXPECT_EQ(brief(kifu, 0), "10 0 4 0 0");
    EXPECT_EQ(brief(kifu, 1), "20 4 4 0 7");
    // The latest position carries the totals after the move that led to it.
    EXPECT_EQ(brief(kifu, 2), "30 4 4 7 7");
    const Ugoki u = kifu.ugoki_kensaku(2);
    EXPECT_EQ(u.x, 5);
    EXPECT_EQ(u.y, 5);
    EXPECT_EQ(u.code, 30);
}

TEST(Kifu, SteppingStopsAtBothEndsAndANewMoveCutsWhatFollowed) {
    Kifu kifu = two_moves();
    EXPECT_FALSE(kifu.can_step_forward());
    ASSERT_TRUE(kifu.can_step_back());
    kifu.step_back();
    kifu.step_back();
    EXPECT_EQ(kifu.kifu_tesu(), 0);
    EXPECT_FALSE(kifu.can_step_back());
    ASSERT_TRUE(kifu.can_step_forward());
    kifu.step_forward();
    EXPECT_EQ(kifu.kifu_tesu(), 1);
    // A move made here stores over entry 1 and ends the record there.
    kifu.kyokumen_kiroku(board_with({{5, 5, 40}}), 9, 9, 9, 9);
    EXPECT_EQ(kifu.kifu_saigo(), 1);
    EXPECT_FALSE(kifu.can_step_forward());
    kifu.end_at(0);
    EXPECT_EQ(kifu.kifu_saigo(), 0);
}

// A new game goes back to the start and clears the turned mark and record
// mode, but the stored entries stay until a move stores over them; turning
// the board gives the record up.
TEST(Kifu, NewGameTurningAndLoadingKeepOrGiveUpTheRightParts) {
    Kifu kifu = two_moves();
    kifu.turn_board();
    EXPECT_TRUE(kifu.hanten());
    EXPECT_EQ(kifu.kifu_tesu(), 0);
    EXPECT_EQ(kifu.kifu_saigo(), 0);
    kifu.shinki();
    EXPECT_FALSE(kifu.hanten());

    kifu = two_moves();
    kifu.shinki();
    EXPECT_EQ(kifu.kifu_tesu(), 0);
    EXPECT_EQ(kifu.kifu_saigo(), 2);
    EXPECT_EQ(brief(kifu, 2), "30 4 4 7 7");

    std::vector<RecordEntry> read(3);
    for (int i = 0; i < 3; ++i) read[static_cast<std::size_t>(i)].BAN[5][5] = 50 + i;
    kifu.load(read);
    EXPECT_TRUE(kifu.kifu_mode());
    EXPECT_EQ(kifu.kifu_tesu(), 0);
    EXPECT_EQ(kifu.kifu_saigo(), 3);
    EXPECT_EQ(brief(kifu, 0), "10 0 4 0 0") << "entry 0 is not part of a file";
    EXPECT_EQ(brief(kifu, 1), "50 0 0 0 0");
    EXPECT_EQ(brief(kifu, 3), "52 0 0 0 0");
    kifu.end_browsing();
    EXPECT_FALSE(kifu.kifu_mode());
    kifu.load(read);
    kifu.shinki();
    EXPECT_FALSE(kifu.kifu_mode());

    // A loaded record longer than the room the record starts with.
    kifu.load(std::vector<RecordEntry>(Kifu::INITIAL_ENTRIES + 10));
    EXPECT_EQ(kifu.kifu_saigo(), Kifu::INITIAL_ENTRIES + 10);
    EXPECT_GE(kifu.capacity(), Kifu::INITIAL_ENTRIES + 11);
}

}  // namespace
}  // namespace zemtori
