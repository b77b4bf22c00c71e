// An option chosen in the real window is painted, written, and found again
// by the next window.
#include <gtest/gtest.h>

#include <QAction>

#include "app/game_wiring.h"
#include "platform/qt/main_window.h"
#include "play/game.h"
#include "qt_test_support.h"
#include "settings/format.h"
#include "settings_folder.h"

namespace zemtori {
namespace {

// A window with its game on the settings of `settings`, as the program starts them.
struct Started {
    explicit Started(const test::SettingsFolder& settings) {
        window.end_hook = [] {};
        EXPECT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")), QString());
        connect_game(window, game);
        game.settings_file = settings.file();
        game.load();
    }
    ~Started() { disconnect_game(window); }

    // Background cell (c, r) shows tile `code` (its last pixel row belongs to the tile below).
    bool tile_shows(int code, int c, int r) const {
        const QImage* tile = window.pictures().find(code);
        if (!tile) return false;
        for (int j = 0; j < TILE_H - 1; ++j)
            for (int i = 0; i < TILE_W; ++i)
                if (test::canvas_pixel(window.canvas_image(), to_pixels(grid_x(c)) + i, to_pixels(grid_y(r)) + j) !=
                    (tile->pixel(i, j) | 0xff000000u))
                    return false;
        return true;
    }

    MainWindow window{menu_entries()};
    Game game{window, ZEMTORI_TEST_DATA_DIR};
};

TEST(OptionsInWindow, BambooRetilesAroundTheBoardIsWrittenAndOpensTheNextWindow) {
    test::SettingsFolder settings;
    settings.write_plain();
    // Cells left of, right of and below the board, clear of labels and texts.
    const std::pair<int, int> around[] = {{-1, 11}, {5, 11}, {14, 5}, {-2, 4}};
    {
        Started first(settings);
        for (const auto& [c, r] : around) ASSERT_TRUE(first.tile_shows(HAIKEI_MIDORI, c, r)) << c << "," << r;
        ASSERT_TRUE(first.window.action("TAKE")->isEnabled());
        first.window.action("TAKE")->trigger();
        for (const auto& [c, r] : around) EXPECT_TRUE(first.tile_shows(HAIKEI_TAKE, c, r)) << c << "," << r;
        EXPECT_TRUE(first.window.action("TAKE")->isChecked());
        EXPECT_FALSE(first.window.action("MIDORI")->isChecked());
        EXPECT_EQ(settings.bytes(), settings_file_bytes({HAIKEI_TAKE, false, false, false}));
    }
    Started next(settings);
    EXPECT_TRUE(next.window.action("TAKE")->isChecked());
    for (const auto& [c, r] : around) EXPECT_TRUE(next.tile_shows(HAIKEI_TAKE, c, r)) << c << "," << r;
}

}  // namespace
}  // namespace zemtori
