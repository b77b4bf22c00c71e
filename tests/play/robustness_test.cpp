// Thousands of random clicks and menu commands: the game never breaks its
// own invariants, whatever order a player does things in.
#include "play_fixture.h"

#include <algorithm>
#include <cstdint>

#include "rules/legality.h"
#include "splitmix.h"

namespace zemtori::test {
namespace {

using Rng = SplitMix64;

::testing::AssertionResult sound_position(const Position& p) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (p.BAN[x][y] != 0 && !is_piece(p.BAN[x][y]))
                return ::testing::AssertionFailure() << "code " << p.BAN[x][y] << " on " << x << "," << y;
    int ue = 0, sita = 0;
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        if (p.MOCHI_UE_KAZU[k] < 0 || p.MOCHI_SITA_KAZU[k] < 0)
            return ::testing::AssertionFailure() << "negative count in slot " << k;
        if (p.MOCHI_UE_KAZU[k] > 0 && p.MOCHI_UE_KOMA[k] <= 0)
            return ::testing::AssertionFailure() << "upper slot " << k << " holds " << p.MOCHI_UE_KOMA[k];
        if (p.MOCHI_SITA_KAZU[k] > 0 && p.MOCHI_SITA_KOMA[k] >= 0)
            return ::testing::AssertionFailure() << "lower slot " << k << " holds " << p.MOCHI_SITA_KOMA[k];
        ue += p.MOCHI_UE_KAZU[k];
        sita += p.MOCHI_SITA_KAZU[k];
    }
    if (ue != p.MOCHI_UE_GOKEI || sita != p.MOCHI_SITA_GOKEI)
        return ::testing::AssertionFailure() << "hand totals " << p.MOCHI_UE_GOKEI << "/" << p.MOCHI_SITA_GOKEI
                                             << " but counts " << ue << "/" << sita;
    // Pieces are never created or lost: the board and hands always hold 40.
    int pieces = ue + sita;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) pieces += p.BAN[x][y] != 0;
    if (pieces != 40) return ::testing::AssertionFailure() << pieces << " pieces in play";
    return ::testing::AssertionSuccess();
}

TEST_F(PlayTest, RandomClicksAndCommandsKeepThePositionSound) {
    static const char* const commands[] = {"START", "REPLAY", "AFTER", "CANCEL", "REVERSE",
                                           "TAIKYOKU", "STOP", "MATCH_MAN", "VER"};
    static const int buttons[] = {HIDARI_BUTTON, MIGI_BUTTON, NAKA_BUTTON};
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        Rng rng{seed};
        game.menu("CANCEL");
        game.menu("START");
        int moves = 0;
        for (int event = 0; event < 5000; ++event) {
            port.answers.push_back(rng.below(2) ? MsgAnswer::Yes : MsgAnswer::No);
            const int kind = rng.below(100);
            if (kind < 2) {
                game.menu(commands[rng.below(9)]);
            } else if (kind < 20) {
                // Anywhere on or off the window, also far outside it.
                game.mouse_down(buttons[rng.below(3)], rng.below(24000) - 4000.0, rng.below(16000) - 4000.0);
            } else if (game.view().turn.SENTAKU == 1 && rng.below(10) < 7) {
                // A square the selected piece may go to, so that real games get played.
                const Sashite& s = game.view().turn.SASHITE;
                int targets[81][2], n = 0;
                for (int x = 1; x <= 9; ++x)
                    for (int y = 1; y <= 9; ++y)
                        if (idou_kanou(game.view().pos, s.from_x, s.from_y, x, y, s.koma) == 1) {
                            targets[n][0] = x;
                            targets[n][1] = y;
                            ++n;
                        }
                if (n > 0) {
                    const int t = rng.below(n);
                    click(targets[t][0], targets[t][1], buttons[rng.below(3)]);
                }
            } else {
                // A board square or a hand slot.
                const int c = rng.below(13) - 1, r = rng.below(10);
                game.mouse_down(buttons[rng.below(3)], grid_x(c) + 300, grid_y(r) + 200);
            }
            if (game.view().turn.SHOSHA != 0 && rng.below(4) == 0) game.menu("START");
            moves = std::max(moves, game.view().kifu.tesu());
            ASSERT_TRUE(sound_position(game.view().pos)) << "seed " << seed << " event " << event;
            ASSERT_GE(game.view().kifu.tesu(), 0);
            ASSERT_GE(game.view().kifu.kifu_tesu(), 0);
            ASSERT_TRUE(game.view().turn.SENTAKU == 0 || game.view().turn.SENTAKU == 1);
            port.ops.clear();
        }
        EXPECT_GT(moves, 10) << "the random player should get real games going (seed " << seed << ")";
    }
    EXPECT_FALSE(port.ended);
}

}  // namespace
}  // namespace zemtori::test
