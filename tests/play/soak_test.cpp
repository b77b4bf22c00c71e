// The soak in short: seven whole games at each level and one game between
// two people past the record's first 501 entries (make soak plays a
// thousand games at each level, with the sanitizers).
#include <gtest/gtest.h>

#include <cstdlib>

#include "soak.h"

namespace zemtori::soak {
namespace {

TEST(Soak, WholeGamesKeepEveryPieceAndEveryHandTotal) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    Options options;
    options.games_per_level = 7;
    options.long_games = 1;
    options.long_game_moves = 510;
    options.seed = 20;
    options.data_dir = ZEMTORI_TEST_DATA_DIR;
    const Report r = run(options);
    EXPECT_TRUE(r.failures.empty()) << describe(r);
    EXPECT_EQ(r.games, 21);
    EXPECT_EQ(r.long_games, 1);
    EXPECT_EQ(r.long_game_moves, 510);
    EXPECT_GT(r.com_took_king, 0) << describe(r);
    EXPECT_GT(r.moves, 21 * 10) << describe(r);
}

}  // namespace
}  // namespace zemtori::soak
