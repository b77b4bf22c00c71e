// Dragging a piece against clicking it: one game played twice side by side,
// once with two clicks a move and once by drags, must stay the same position
// for position; the landing a drag shows is where the piece comes to rest;
// a drag let go where no move is allowed puts the piece back with the buzz.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "port/geometry.h"
#include "port/headless_port.h"
#include "play/game.h"
#include "rules/board.h"
#include "rules/moves.h"
#include "recording_sound.h"
#include "settings_folder.h"
#include "test_support.h"

namespace zemtori {
namespace {

using test::RecordingSound;
using test::SettingsFolder;
using test::KINSHI_WAV;
using test::KOMA_WAV;

double cell_x(int c) { return grid_x(c) + MASU_HABA / 2.0; }
double cell_y(int r) { return grid_y(r) + MASU_TAKASA / 2.0; }

bool mover_piece(const TurnState& turn, int koma) {
    return (koma <= -10 && turn.TEBAN == turn.MAN_GAWA) || (koma >= 10 && turn.TEBAN == turn.COM_GAWA);
}

bool same_position(const Position& a, const Position& b) { return test::same_board_and_hands(a, b); }

struct Side {
    HeadlessPort port;
    RecordingSound sound;
    Game game{port, sound};
    explicit Side(const SettingsFolder& settings) {
        game.settings_file = settings.file();
        game.load();
    }
    const Game::View& view() const { return game.view(); }
};

class DragAgainstClicks : public ::testing::Test {
protected:
    DragAgainstClicks() { settings.write_plain(); }
    SettingsFolder settings;
};

// The grid cells a piece may be lifted from: the mover's board squares and
// its hand's slots that hold pieces.
std::vector<Cell> sources(const Game::View& v) {
    std::vector<Cell> out;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (mover_piece(v.turn, v.pos.BAN[x][y])) out.push_back(square_cell(x, y));
    const bool lower = v.turn.TEBAN == v.turn.MAN_GAWA;
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        if (lower && k <= 7 && v.pos.MOCHI_SITA_KAZU[k] > 0) out.push_back({SITA_TE_X, k + 2});
        if (!lower && k <= 7 && v.pos.MOCHI_UE_KAZU[k] > 0) out.push_back({UE_TE_X, k});
    }
    return out;
}

TEST_F(DragAgainstClicks, AGameByDragsIsTheGameByClicksAndEachPieceRestsWhereItsLandingWasShown) {
    Side clicks(settings), drags(settings);
    clicks.game.menu("START");
    drags.game.menu("START");
    std::mt19937 rng(20261208);
    int moves = 0, refused = 0, falls = 0, drops = 0, promotions = 0;
    for (int ply = 0; ply < 160 && drags.view().turn.SHOSHA == NASHI; ++ply) {
        ASSERT_TRUE(same_position(clicks.view().pos, drags.view().pos)) << "ply " << ply;
        const std::vector<Cell> from = sources(drags.view());
        ASSERT_FALSE(from.empty());
        // A source with somewhere to go: lifted, with every cell of the
        // window looked at as a place to let it go.
        Cell src;
        std::vector<std::pair<Cell, Cell>> allowed;  // destination, landing
        std::vector<Cell> not_allowed;
        for (int tries = 0; allowed.empty(); ++tries) {
            ASSERT_LT(tries, 200);
            src = from[rng() % from.size()];
            drags.game.mouse_down(HIDARI_BUTTON, cell_x(src.c), cell_y(src.r));
            ASSERT_EQ(drags.game.drag_piece(cell_x(src.c), cell_y(src.r)),
                      std::optional<int>(drags.view().turn.SASHITE.koma));
            // Anywhere but the source cell carries nothing: the drag starts
            // where the piece is.
            ASSERT_FALSE(drags.game.drag_piece(cell_x(src.c == 5 ? 4 : 5), cell_y(5)));
            not_allowed.clear();
            for (int c = -2; c <= 13; ++c)
                for (int r = 0; r <= 10; ++r) {
                    if (Cell{c, r} == src) continue;
                    if (const std::optional<Cell> landing = drags.game.drag_landing(cell_x(c), cell_y(r)))
                        allowed.push_back({{c, r}, *landing});
                    else
                        not_allowed.push_back({c, r});
                }
            if (allowed.empty()) drags.game.drag_drop(HIDARI_BUTTON, cell_x(not_allowed[0].c), cell_y(not_allowed[0].r));
        }
        // Now and then first let go where no move is allowed: the piece goes
        // back unselected with the buzz, and nothing else changes.
        if (rng() % 4 == 0) {
            const Cell wrong = not_allowed[rng() % not_allowed.size()];
            const Position before = drags.view().pos;
            const int buzz = drags.sound.count(KINSHI_WAV);
            drags.game.drag_drop(HIDARI_BUTTON, cell_x(wrong.c), cell_y(wrong.r));
            EXPECT_EQ(drags.sound.count(KINSHI_WAV), buzz + 1) << wrong.c << "," << wrong.r;
            EXPECT_FALSE(drags.view().turn.SENTAKU);
            EXPECT_FALSE(drags.game.drag_piece(cell_x(src.c), cell_y(src.r)));
            EXPECT_TRUE(same_position(before, drags.view().pos));
            ++refused;
            drags.game.mouse_down(HIDARI_BUTTON, cell_x(src.c), cell_y(src.r));
        }
        const auto [to, landing] = allowed[rng() % allowed.size()];
        const int koma = drags.view().turn.SASHITE.koma;
        // The right button where the move must promote, else either.
        const int to_y = to.c;
        int button = rng() % 3 == 0 ? MIGI_BUTTON : HIDARI_BUTTON;
        if (!is_drop(drags.view().turn.SASHITE.from_x) && funari_kanou(to_y, koma) == 0) button = MIGI_BUTTON;
        int promoted = 0;
        const bool promotes = !is_drop(drags.view().turn.SASHITE.from_x) && button == MIGI_BUTTON &&
                              nari_hantei(drags.view().turn.SASHITE.from_x, drags.view().turn.SASHITE.from_y, to.r,
                                          to.c, koma, &promoted) == 1;
        drags.game.drag_drop(button, cell_x(to.c), cell_y(to.r));
        clicks.game.mouse_down(HIDARI_BUTTON, cell_x(src.c), cell_y(src.r));
        clicks.game.mouse_down(button, cell_x(to.c), cell_y(to.r));

        ASSERT_TRUE(same_position(clicks.view().pos, drags.view().pos)) << "ply " << ply;
        ASSERT_EQ(clicks.view().kifu.tesu(), drags.view().kifu.tesu());
        ASSERT_EQ(drags.view().kifu.tesu(), ++moves);
        EXPECT_EQ(clicks.view().turn.TEBAN, drags.view().turn.TEBAN);
        EXPECT_EQ(clicks.view().turn.SHOSHA, drags.view().turn.SHOSHA);
        EXPECT_EQ(clicks.sound.count(KOMA_WAV), drags.sound.count(KOMA_WAV));
        EXPECT_EQ(clicks.sound.count(KINSHI_WAV), 0);
        // The landing: the same column, and the moved piece stands there.
        EXPECT_EQ(landing.c, to.c);
        EXPECT_GE(landing.r, to.r);
        EXPECT_EQ(drags.view().pos.BAN[landing.r][landing.c], promotes ? promoted : koma)
            << "ply " << ply << " to " << to.c << "," << to.r << " landing " << landing.c << "," << landing.r;
        falls += landing.r > to.r;
        drops += src.c == SITA_TE_X || src.c == UE_TE_X;
        promotions += promotes;
    }
    EXPECT_GT(moves, 40);
    // The game went through what a drag must get right.
    EXPECT_GT(refused, 5);
    EXPECT_GT(falls, 10);
    EXPECT_GT(drops, 0);
    EXPECT_GT(promotions, 0);
}

TEST_F(DragAgainstClicks, NothingIsCarriedWithoutAGameOrFromTheOpponent) {
    Side side(settings);
    // Before any game: the press is refused, nothing is lifted.
    side.game.mouse_down(HIDARI_BUTTON, cell_x(7), cell_y(9));
    EXPECT_FALSE(side.game.drag_piece(cell_x(7), cell_y(9)));
    side.game.menu("START");
    // The upper side's pawn while the lower side is to move.
    side.game.mouse_down(HIDARI_BUTTON, cell_x(3), cell_y(5));
    EXPECT_FALSE(side.game.drag_piece(cell_x(3), cell_y(5)));
    EXPECT_FALSE(side.game.drag_landing(cell_x(4), cell_y(5)));
    // A drop with nothing lifted does nothing, not even the buzz.
    const int buzz = side.sound.count(KINSHI_WAV);
    side.game.drag_drop(HIDARI_BUTTON, cell_x(4), cell_y(5));
    EXPECT_EQ(side.sound.count(KINSHI_WAV), buzz);
    EXPECT_EQ(side.view().kifu.tesu(), 0);
}

}  // namespace
}  // namespace zemtori
