// The in-memory record: what a game's moves store, and what the record keeps
// and gives up as it is stepped through, turned, started again and loaded.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "record/kifu.h"
#include "rules/moves.h"
#include "rules/opening.h"
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

RecordEntry entry_of(const Position& p) {
    RecordEntry e;
    store_position(p, e);
    return e;
}

// The move that turns one entry into the next, found again from the two
// positions alone: one move gives it, several that name different squares
// give it, or none does.
TEST(PlayedMove, IsFoundWhenOneMoveGivesThePositionAndOnlyThen) {
    // A lower silver takes an upper gold and promotes; unpromoted, or onto
    // the empty square above the gold, it would leave another position.
    const RecordEntry before = entry_of(board_with({{9, 1, 80}, {9, 3, 50}, {9, 4, -40}, {9, 9, -80}}));
    Position p = board_with({{9, 1, 80}, {9, 3, -41}, {9, 9, -80}});
    p.MOCHI_SITA_KOMA[7] = -50;
    p.MOCHI_SITA_KAZU[7] = 1;
    const RecordEntry after = entry_of(p);
    EntryMove m = find_played_move(before, after, -1);
    EXPECT_TRUE(m.known);
    EXPECT_EQ(m.mover, -1);
    EXPECT_EQ((std::array{m.move.from_x, m.move.from_y, m.move.to_x, m.move.to_y, m.move.koma}),
              (std::array{9, 4, 9, 3, -41}));
    EXPECT_EQ(find_played_move(before, after, +1).mover, 0) << "the upper side has no such move";

    // Either of two stacked pawns stepping into the empty column falls to
    // its bottom and leaves the other at the bottom of its own.
    const RecordEntry pawns = entry_of(board_with({{9, 1, 80}, {8, 2, 10}, {9, 2, 10}, {9, 9, -80}}));
    const RecordEntry stepped = entry_of(board_with({{9, 1, 80}, {9, 2, 10}, {9, 3, 10}, {9, 9, -80}}));
    m = find_played_move(pawns, stepped, +1);
    EXPECT_FALSE(m.known) << "two moves, two squares";
    EXPECT_EQ(m.mover, 1);

    // A piece from nowhere is no move.
    const RecordEntry grown = entry_of(board_with({{9, 1, 80}, {8, 2, 10}, {9, 2, 10}, {9, 5, 10}, {9, 9, -80}}));
    m = find_played_move(pawns, grown, +1);
    EXPECT_FALSE(m.known);
    EXPECT_EQ(m.mover, 0);
}

// In memory each move keeps itself and its side; the side to move in an
// entry is the other one, and a won game is marked where it ended, until a
// move is made from there again.
TEST(Kifu, KnowsTheMovesTheSideToMoveAndTheWinner) {
    Kifu kifu = two_moves();
    EXPECT_EQ(kifu.to_move(0), -1) << "the lower side made move 1";
    EXPECT_EQ(kifu.to_move(1), +1);
    EXPECT_EQ(kifu.to_move(2), -1);
    const Ugoki u = kifu.ugoki(1);
    EXPECT_EQ((std::array{u.x, u.y, u.code}), (std::array{5, 5, -20}));
    EXPECT_EQ(kifu.winner(2), 0);
    kifu.game_over(+1);
    EXPECT_EQ(kifu.winner(2), +1);
    kifu.step_back();
    kifu.kyokumen_kiroku(board_with({{5, 5, 20}}), 4, 4, 0, 7);
    kifu.move_made(board_with({{5, 5, 60}}), Sashite{5, 4, 5, 5, 60});
    EXPECT_EQ(kifu.winner(2), 0) << "a new move 2 has not ended the game";
    // The count goes on over a turned board, where the record starts again.
    kifu.turn_board();
    EXPECT_EQ(kifu.kifu_tesu(), 0);
    EXPECT_EQ(kifu.tesu(), 2);
    kifu.shinki();
    EXPECT_EQ(kifu.tesu(), 0);
}

// A record read from a file: the side of each move is found from the
// positions (the first from the opening after its fall), a move no side can
// have made takes the side whose turn it is, and an entry without one of the
// kings is where the other side won.
TEST(Kifu, ALoadedRecordFindsItsSidesAndItsWinner) {
    Position p;
    shoki_haichi(p);
    rakka(p, nullptr);
    TurnState turn;
    std::vector<RecordEntry> read;
    const auto play = [&](int fx, int fy, int tx, int ty, int koma) {
        sashite_jikkou(p, turn, nullptr, fx, fy, tx, ty, koma);
        rakka(p, nullptr);
        read.push_back(entry_of(p));
    };
    play(1, 3, 1, 4, HU);    // the upper side first
    play(9, 7, 9, 6, -HU);
    play(9, 4, 9, 5, HU);
    // Then the lower king is gone, by no move the rules allow.
    for (int x = 1; x <= 9; ++x) p.BAN[x][9] = p.BAN[x][9] == -OU ? 0 : p.BAN[x][9];
    read.push_back(entry_of(p));

    Kifu kifu;
    kifu.load(read);
    EXPECT_EQ(kifu.entry_move(1).mover, +1);
    EXPECT_EQ(kifu.entry_move(2).mover, -1);
    EXPECT_EQ(kifu.entry_move(3).mover, +1);
    EXPECT_TRUE(kifu.entry_move(3).known) << "one pawn could step there";
    EXPECT_EQ(kifu.entry_move(4).mover, -1) << "the lower side's turn";
    EXPECT_FALSE(kifu.entry_move(4).known);
    EXPECT_EQ(kifu.to_move(0), +1);
    EXPECT_EQ(kifu.to_move(3), -1);
    for (int n = 0; n <= 3; ++n) EXPECT_EQ(kifu.winner(n), 0) << n;
    EXPECT_EQ(kifu.winner(4), +1);
}

}  // namespace
}  // namespace zemtori
