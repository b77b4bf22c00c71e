// An option chosen in the real window is painted, written, and found again
// by the next window.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "app/game_wiring.h"
#include "qt/main_window.h"
#include "play/game.h"
#include "sound/effects.h"
#include "qt_test_support.h"
#include "settings/format.h"
#include "settings_folder.h"

namespace zemtori {
namespace {

// A window and its game started on the settings in `settings`, as the program starts them.
struct Started {
    explicit Started(const test::SettingsFolder& settings) {
        window.end_hook = [] {};
        EXPECT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
        connect_game(window, game);
        game.settings_file = settings.file();
        game.load();
    }
    ~Started() { disconnect_game(window); }

    // Cells left of, right of and below the board, clear of labels and texts,
    // show tile `code` (whose last pixel row belongs to the tile below).
    ::testing::AssertionResult tiled_with(int code) const {
        const QImage* tile = window.pictures().find(code);
        for (const auto& [c, r] : {std::pair{-1, 11}, {5, 11}, {14, 5}, {-2, 4}})
            for (int j = 0; j < TILE_H - 1; ++j)
                for (int i = 0; i < TILE_W; ++i)
                    if (test::canvas_pixel(window.canvas_image(), to_pixels(grid_x(c)) + i, to_pixels(grid_y(r)) + j) !=
                        (tile->pixel(i, j) | 0xff000000u))
                        return ::testing::AssertionFailure() << "cell " << c << "," << r;
        return ::testing::AssertionSuccess();
    }

    MainWindow window{menu_entries()};
    SoundEffects sound{window, ZEMTORI_TEST_DATA_DIR};
    Game game{window, sound};
};

TEST(OptionsInWindow, BambooRetilesAroundTheBoardIsWrittenAndOpensTheNextWindow) {
    test::SettingsFolder settings;
    settings.write_plain();
    {
        Started first(settings);
        ASSERT_TRUE(first.tiled_with(HAIKEI_MIDORI));
        ASSERT_TRUE(first.window.action("TAKE")->isEnabled());
        first.window.action("TAKE")->trigger();
        EXPECT_TRUE(first.tiled_with(HAIKEI_TAKE));
        EXPECT_TRUE(first.window.action("TAKE")->isChecked());
        EXPECT_FALSE(first.window.action("MIDORI")->isChecked());
        EXPECT_EQ(settings.bytes(), settings_file_bytes({HAIKEI_TAKE, false, false, false}));
    }
    Started next(settings);
    EXPECT_TRUE(next.window.action("TAKE")->isChecked());
    EXPECT_TRUE(next.tiled_with(HAIKEI_TAKE));
}

TEST(OptionsInWindow, PaceAndEffectsCarryTheirMarksAndOpenTheNextWindowSoTheSettingsFileKeepsItsLines) {
    test::SettingsFolder settings;
    settings.write_plain();
    const std::string four_lines = settings.bytes();
    {
        Started first(settings);
        EXPECT_TRUE(first.window.action("FUTSUU")->isChecked());
        EXPECT_FALSE(first.window.action("HAYAI")->isChecked());
        EXPECT_TRUE(first.window.action("KOUKAON")->isChecked());
        ASSERT_TRUE(first.window.submenu("SOKUDO") != nullptr);
        EXPECT_TRUE(first.window.submenu("SOKUDO")->actions().contains(first.window.action("HAYAI")));
        first.window.action("HAYAI")->trigger();
        first.window.action("KOUKAON")->trigger();
        EXPECT_TRUE(first.window.action("HAYAI")->isChecked());
        EXPECT_FALSE(first.window.action("FUTSUU")->isChecked());
        EXPECT_FALSE(first.window.action("KOUKAON")->isChecked());
    }
    EXPECT_EQ(settings.bytes(), four_lines);
    Started next(settings);
    EXPECT_TRUE(next.window.action("HAYAI")->isChecked());
    EXPECT_FALSE(next.window.action("KOUKAON")->isChecked());
    EXPECT_TRUE(next.game.options().HAYAI);
}

}  // namespace
}  // namespace zemtori
