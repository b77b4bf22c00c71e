// The soak in short (tools/soak): seven games at each of the nine levels
// (a hint asked for now and then) and one game
// between two people past the record's first 501 entries.
#include <gtest/gtest.h>

#include "searcher/levels.h"
#include "soak.h"

namespace zemtori::soak {

TEST(Soak, WholeGamesKeepEveryPieceAndEveryHandTotal) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const Report r = run({.games_per_level = 7, .long_games = 1, .long_game_moves = 510, .seed = 20,
                          .data_dir = ZEMTORI_TEST_DATA_DIR});
    EXPECT_TRUE(r.failures.empty()) << describe(r);
    EXPECT_EQ(r.games, 7 * searcher::LAST_LEVEL);
    EXPECT_EQ(r.long_game_moves, 510);
    EXPECT_GT(r.com_took_king, 0) << describe(r);
    EXPECT_GT(r.moves, 7 * searcher::LAST_LEVEL * 10) << describe(r);
}

}  // namespace zemtori::soak
