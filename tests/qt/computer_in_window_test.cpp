// A game against the computer in the real window, wired as the program wires
// it: the level and start commands from the menu bar, the person's move as
// mouse presses, the computer's answer on the canvas.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QMouseEvent>

#include <string>
#include <vector>

#include "app/game_wiring.h"
#include "display/geometry.h"
#include "platform/qt/canvas.h"
#include "platform/qt/main_window.h"
#include "play/game.h"
#include "qt_test_support.h"

namespace zemtori {
namespace {

class ComputerInWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")), QString());
        connect_game(window, game);
        game.load();
    }
    void TearDown() override { disconnect_game(window); }

    void click_square(int x, int y) {
        const QPointF at(to_pixels(grid_x(y + 0.5)), to_pixels(grid_y(x + 0.5)));
        QMouseEvent press(QEvent::MouseButtonPress, at, window.canvas()->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.canvas(), &press);
    }

    bool square_shows(int x, int y, int code) const {
        const QImage* picture = window.pictures().find(code);
        if (!picture) return false;
        const QImage& canvas = window.canvas_image();
        const int left = to_pixels(grid_x(y)), top = to_pixels(grid_y(x));
        for (int j = 1; j < PIECE_H; ++j)
            for (int i = 1; i < PIECE_W; ++i)
                if (test::canvas_pixel(canvas, left + i, top + j) != (picture->pixel(i, j) | 0xff000000u))
                    return false;
        return true;
    }

    MainWindow window{menu_entries()};
    Game game{window, ZEMTORI_TEST_DATA_DIR};
};

TEST_F(ComputerInWindow, TheComputerAnswersInsideThePersonsClick) {
    for (const char* item : {"SENTE", "GOTE", "LEVEL1", "LEVEL2", "LEVEL3"})
        EXPECT_TRUE(window.action(item)->isEnabled()) << item;
    window.action("LEVEL1")->trigger();
    EXPECT_TRUE(window.action("LEVEL1")->isChecked());
    EXPECT_FALSE(window.action("LEVEL3")->isChecked());

    std::string said;
    test::when_message_box([&](QMessageBox& box) {
        said = box.text().toStdString();
        box.button(QMessageBox::Ok)->click();
    });
    window.action("SENTE")->trigger();
    EXPECT_EQ(said, "MANの番です");

    click_square(9, 7);
    click_square(9, 6);
    ASSERT_EQ(game.turn.TESU, 2) << "the person's move and the computer's answer";
    EXPECT_EQ(game.engine.COM_LEVEL, 1);
    // The canvas shows the board after the computer's move has fallen.
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) EXPECT_TRUE(square_shows(x, y, game.pos.BAN[x][y])) << x << "," << y;
}

}  // namespace
}  // namespace zemtori
