// The title plate as a player sees it: a lower move repaints the background
// beside the plate for its move text, and the plate looks the same after it,
// at normal and double density.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QMouseEvent>

#include "app/game_wiring.h"
#include "port/geometry.h"
#include "qt/canvas.h"
#include "qt/main_window.h"
#include "play/game.h"
#include "sound/effects.h"
#include "qt_test_support.h"

namespace zemtori {
namespace {

class TitlePlate : public ::testing::TestWithParam<qreal> {
protected:
    void SetUp() override {
        window.end_hook = [] {};
        ASSERT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
        connect_game(window, game);
        game.load();
    }
    void TearDown() override { disconnect_game(window); }

    void click_square(int x, int y) {
        test::press_board_square(window.canvas(), x, y);
    }

    // The title's rectangle on the canvas, in device pixels.
    QImage plate() const {
        const QImage& canvas = window.canvas_image();
        const qreal dpr = canvas.devicePixelRatio();
        const QRect r(QPoint(to_pixels(grid_x(11)), to_pixels(grid_y(-0.2))) * dpr, QSize(TITLE_W, TITLE_H) * dpr);
        return canvas.copy(r);
    }

    MainWindow window{menu_entries(), nullptr, GetParam()};
    SoundEffects sound{window, ZEMTORI_TEST_DATA_DIR};
    Game game{window, sound};
};

TEST_P(TitlePlate, LooksTheSameBeforeAndAfterALowerMove) {
    test::when_message_box([](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
    window.action("START")->trigger();
    const QImage before = plate();
    ASSERT_EQ(before.width(), qRound(TITLE_W * GetParam()));

    // The lower side's pawn steps left; its move text is written beside the
    // plate, over freshly painted background cells of grid row 2.
    ASSERT_EQ(game.view().pos.BAN[9][7], -HU);
    click_square(9, 7);
    click_square(9, 6);
    ASSERT_EQ(game.view().pos.BAN[9][6], -HU) << "the move was made";

    const QImage after = plate();
    int differ = 0, first_x = -1, first_y = -1;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y) && differ++ == 0) first_x = x, first_y = y;
    EXPECT_EQ(differ, 0) << "first changed pixel at (" << first_x << ", " << first_y << ") of the plate";
}

// A handicap step leaves the plate whole, and its caption, below the plate,
// is still there, pixel for pixel, after a full redraw.
TEST_P(TitlePlate, AHandicapStepLeavesThePlateWholeAndItsCaptionSurvivesAFullRedraw) {
    const QImage before = plate();
    const auto caption_area = [this] {
        const QImage& canvas = window.canvas_image();
        const qreal dpr = canvas.devicePixelRatio();
        const QRect r(QPoint(to_pixels(grid_x(13)), to_pixels(grid_y(5))) * dpr,
                      QSize(3 * PIECE_W, PIECE_H) * dpr);
        return canvas.copy(r);
    };
    // The caption is white on a dark green cloth: its glyphs are the bright pixels.
    const auto white_pixels = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += c.red() >= 200 && c.green() >= 200 && c.blue() >= 200;
            }
        return n;
    };
    const int white_before = white_pixels(caption_area());

    window.action("LBEL_UP")->trigger();
    ASSERT_EQ(game.view().handicap.dan(), 1);
    EXPECT_TRUE(plate() == before) << "the plate changed";
    const QImage caption = caption_area();
    EXPECT_GT(white_pixels(caption), white_before + 50) << "no caption below the plate";

    game.gamen_hyouji();
    window.refresh();
    EXPECT_TRUE(caption_area() == caption) << "the full redraw lost the caption";
    EXPECT_TRUE(plate() == before);
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatio, TitlePlate, ::testing::Values(1.0, 2.0),
                         [](const auto& info) { return info.param == 1.0 ? "Normal" : "Double"; });

}  // namespace
}  // namespace zemtori
