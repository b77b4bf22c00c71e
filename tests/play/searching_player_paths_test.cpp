// The searching player off its straight path: a hint asked when it is not the
// person's turn, a hint asked with a piece selected, the game's positions
// handed over with the right side to move, and the piece that blinks before
// the computer's promoting move.
#include "play_fixture.h"

#include <algorithm>

#include "rules/moves.h"
#include "searcher/compact_position.h"
#include "searcher/alpha_beta.h"

namespace zemtori::test {
namespace {

constexpr searcher::Limits BUDGET{0, 3000, 0};

struct SearchingPlayerPaths : PlayTest {
    void SetUp() override {
        PlayTest::SetUp();
        game.set_search_limits(BUDGET, BUDGET);
    }
    // The move a searching player of the game's own size finds for `side`
    // in `pos`, told of the positions `history` played before it.
    static searcher::RulesMove searched(const Position& pos, int side, const std::vector<uint64_t>& history = {}) {
        const searcher::CompactPosition sp = searcher::from_rules(pos, side);
        searcher::Searcher searcher(20);
        searcher.set_game(history);
        return searcher::to_rules_move(sp, searcher.think(sp, BUDGET).best);
    }
    static searcher::RulesMove as_move(const Sashite& s) { return {s.from_x, s.from_y, s.to_x, s.to_y, s.koma}; }
};

// It is the computer's turn after stepping back, and while it thinks: the
// hint is refused with the sound, and nobody thinks for it.
TEST_F(SearchingPlayerPaths, TheHintIsRefusedOnTheComputersTurn) {
    game.menu("GOTE");    // level 3: the computer moves first
    game.menu("REPLAY");  // and is to move again
    const auto& v = game.view();
    ASSERT_EQ(v.turn.TEBAN, v.turn.COM_GAWA);
    const Position stepped = v.pos;
    int looks = 0;
    port.on_keep_alive = [&] { looks += game.thinking(); };
    game.menu("HINT");
    EXPECT_FALSE(v.hint.has_value());
    EXPECT_EQ(sounds(KINSHI_WAV), 1);
    EXPECT_EQ(looks, 0) << "the searching player thought for the computer";
    EXPECT_EQ(board_to_text(v.pos), board_to_text(stepped));

    // At level 4 a click lets the computer move first; a hint asked while it
    // thinks (a command the window drops, should one reach the game) does
    // nothing, and the computer's own thinking goes on to its move.
    game.menu("LEVEL4");
    game.set_search_limits(searcher::Limits{0, 0, 0}, BUDGET);  // thinks until told
    bool asked = false;
    port.on_keep_alive = [&] {
        if (asked) {
            game.move_now();
            return;
        }
        if (!game.thinking()) return;
        asked = true;
        game.menu("HINT");
        EXPECT_TRUE(game.thinking());
    };
    click(5, 5);
    ASSERT_TRUE(asked);
    EXPECT_FALSE(v.hint.has_value());
    EXPECT_EQ(sounds(KINSHI_WAV), 1);
    EXPECT_EQ(v.kifu.tesu(), 1);
    EXPECT_EQ(v.turn.SHOSHA, NASHI);
    EXPECT_NE(v.com_move.koma, 0);
}

// The hint takes the place of a selection in progress: the selection's frame
// goes, and the next click starts a selection instead of ending the move.
TEST_F(SearchingPlayerPaths, AHintDropsTheSelectionInProgress) {
    game.menu("START");  // two people
    click(5, 7);         // the person's pawn: selected
    ASSERT_TRUE(game.view().turn.SENTAKU);
    const Position before = game.view().pos;
    port.ops.clear();
    game.menu("HINT");
    ASSERT_TRUE(game.view().hint.has_value());
    EXPECT_FALSE(game.view().turn.SENTAKU);
    const Cell selected = square_cell(5, 7);
    int last = -1;
    for (const auto& op : port.ops)
        if (op.kind == HeadlessPort::OpKind::Outline && op.x == grid_x(selected.c) && op.y == grid_y(selected.r))
            last = op.code;
    EXPECT_NE(last, game.view().screen.SENTAKU_IRO) << "the selection's frame is still shown";
    EXPECT_NE(last, -1);

    click(5, 6);  // where the selected pawn could have gone
    EXPECT_EQ(game.view().kifu.tesu(), 0);
    EXPECT_EQ(board_to_text(game.view().pos), board_to_text(before));
}

// The searching player is told the game's latest positions, each with the
// side that was to move in it.  A person who is behind and may return to a
// position the game has passed through takes that draw; told the positions
// with the sides the wrong way round, it would not know the position again.
TEST_F(SearchingPlayerPaths, TheGamesPositionsAreHandedOverWithTheSideToMove) {
    // The upper side is far ahead; on the bottom row each side's rook may
    // step aside and back without anything falling.
    edit_position([](Position& p) {
        p = board_with({{9, 1, OU}, {8, 1, KIN}, {7, 1, GIN}, {9, 2, KAKU}, {8, 2, KAKU}, {9, 3, HISHA},
                        {9, 5, KIN}, {9, 9, -OU}, {8, 9, -KIN}, {9, 7, -HISHA}});
    });
    game.menu("START");
    const Position start = game.view().pos;
    move(9, 7, 9, 6);  // the person's rook steps aside
    move(9, 3, 9, 4);  // the upper side's rook
    move(9, 6, 9, 7);  // and both back
    move(9, 4, 9, 3);
    const auto& v = game.view();
    ASSERT_EQ(v.kifu.tesu(), 4);
    ASSERT_EQ(board_to_text(v.pos), board_to_text(start));
    ASSERT_EQ(v.turn.TEBAN, v.turn.MAN_GAWA);

    // The keys of entries 0..3: the lower side (-1) was to move in 0 and 2,
    // the upper side in 1 and 3.
    std::vector<uint64_t> right, wrong;
    for (int n = 0; n < 4; ++n) {
        Position p;
        v.kifu.restore(n, p);
        const int side = n % 2 == 0 ? -1 : 1;
        right.push_back(searcher::from_rules(p, side).key());
        wrong.push_back(searcher::from_rules(p, -side).key());
    }
    const searcher::RulesMove draw = searched(start, -1, right);
    ASSERT_EQ(draw, (searcher::RulesMove{9, 7, 9, 6, -HISHA})) << "back to entry 1: a draw";
    ASSERT_NE(searched(start, -1, wrong), draw);
    game.menu("HINT");
    ASSERT_TRUE(v.hint.has_value());
    EXPECT_EQ(as_move(*v.hint), draw);
}

// Before a promoting move the computer blinks the piece as it stands, not
// the promoted piece it becomes; at the exact levels and at level 4.
class PromotingMoveBlinks : public SearchingPlayerPaths, public ::testing::WithParamInterface<const char*> {};

TEST_P(PromotingMoveBlinks, TheUnpromotedPiece) {
    game.menu(GetParam());
    // Its pawn takes the person's king on the last column, where it must
    // promote.
    edit_position([](Position& p) { p = board_with({{9, 1, OU}, {9, 8, HU}, {9, 9, -OU}, {8, 9, -KIN}}); });
    GameSetup::computer_to_move(game);
    port.ops.clear();
    game.com_ban();
    const Candidate& m = game.view().com_move;
    ASSERT_EQ(as_move(m), (searcher::RulesMove{9, 8, 9, 9, TO}));
    const Cell from = square_cell(9, 8);
    std::vector<int> shown;
    for (const auto& op : port.ops)
        if (op.kind == HeadlessPort::OpKind::Picture && op.x == grid_x(from.c) && op.y == grid_y(from.r))
            shown.push_back(op.code);
    ASSERT_GE(shown.size(), 5u);
    shown.resize(5);
    EXPECT_EQ(shown, (std::vector<int>{0, HU, 0, HU, 0}));
}

INSTANTIATE_TEST_SUITE_P(Levels, PromotingMoveBlinks, ::testing::Values("LEVEL3", "LEVEL4"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace zemtori::test
