// The searching player in the real window: the window paints while the
// computer thinks at level 4 and drops what the player does meanwhile,
// closing it ends the search at once, and the hint's frames on the canvas.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTimer>

#include <functional>

#include "app/game_wiring.h"
#include "port/geometry.h"
#include "qt/canvas.h"
#include "qt/main_window.h"
#include "play/game.h"
#include "rules/board.h"
#include "rules/moves.h"
#include "sound/effects.h"
#include "qt_test_support.h"

namespace zemtori {
namespace {

constexpr search::Limits UNTIL_TOLD{0, 0, 0};
constexpr search::Limits SMALL{0, 3000, 0};

// Runs `on_paint` for every paint of the canvas while the game thinks.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* canvas, const Game& game, std::function<void()> on_paint)
        : game_(game), on_paint_(std::move(on_paint)) {
        canvas->installEventFilter(this);
    }
    int paints_while_thinking = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && game_.thinking()) {
            ++paints_while_thinking;
            if (on_paint_) on_paint_();
        }
        return false;
    }

private:
    const Game& game_;
    std::function<void()> on_paint_;
};

class SearchingPlayerInWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window.end_hook = [this] { ++ends; };
        ASSERT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
        connect_game(window, game);
        game.load();
        window.show();
    }
    void TearDown() override { disconnect_game(window); }

    void press_square(int x, int y) {
        const QPointF at(to_pixels(grid_x(y + 0.5)), to_pixels(grid_y(x + 0.5)));
        QMouseEvent press(QEvent::MouseButtonPress, at, window.canvas()->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.canvas(), &press);
    }
    // The middle of the top edge of grid cell `cell`, where its frame runs.
    QRgb frame_pixel(Cell cell) const {
        return test::canvas_pixel(window.canvas_image(), to_pixels(grid_x(cell.c + 0.5)), to_pixels(grid_y(cell.r)));
    }

    MainWindow window{menu_entries()};
    SoundEffects sound{window, ZEMTORI_TEST_DATA_DIR};
    Game game{window, sound};
    test::OkToEveryBox boxes;
    int ends = 0;
};

// The computer thinks until the test has seen the window paint and has
// clicked and chosen a command meanwhile; neither reaches the game, and the
// move then made shows on the canvas with its white frame.
TEST_F(SearchingPlayerInWindow, TheWindowPaintsWhileLevelFourThinksAndDropsInput) {
    window.action("LEVEL4")->trigger();
    game.set_search_limits(UNTIL_TOLD, SMALL);
    bool acted = false;
    PaintWatch watch(window.canvas(), game, [&] {
        if (!acted) {
            acted = true;
            press_square(7, 7);                  // would resume the game for the computer
            window.action("CANCEL")->trigger();  // would start a new game
        }
        game.move_now();
    });
    // Something uncovers the window while the computer thinks.
    QTimer::singleShot(0, window.canvas(), [this] { window.canvas()->update(); });
    window.action("GOTE")->trigger();

    EXPECT_GE(watch.paints_while_thinking, 1);
    EXPECT_FALSE(game.thinking());
    const auto& v = game.view();
    ASSERT_EQ(v.kifu.tesu(), 1) << "one move, and no new game";
    EXPECT_EQ(v.turn.TEBAN, v.turn.MAN_GAWA);
    EXPECT_FALSE(v.turn.SENTAKU);
    EXPECT_TRUE(boxes.seen.empty()) << boxes.seen.front();
    // The white frame stands where the moved piece came to rest.
    const Candidate& m = v.com_move;
    Position after;
    v.kifu.restore(0, after);
    after.BAN[m.from_x][m.from_y] = 0;
    after.BAN[m.to_x][m.to_y] = 99;  // the moved piece, marked
    rakka(after, nullptr);
    int rest_x = 0;
    for (int x = 1; x <= 9; ++x)
        if (after.BAN[x][m.to_y] == 99) rest_x = x;
    EXPECT_EQ(frame_pixel(square_cell(rest_x, m.to_y)), test::palette_rgb(SHIRO));
    EXPECT_EQ(ends, 0);
}

// Closing the window while the computer thinks without a limit ends the
// program at once, with the board as it stood.
TEST_F(SearchingPlayerInWindow, ClosingTheWindowWhileItThinksEndsAtOnce) {
    window.action("LEVEL4")->trigger();
    game.set_search_limits(UNTIL_TOLD, SMALL);
    QTimer::singleShot(0, &window, [this] { window.close(); });
    window.action("GOTE")->trigger();
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(game.thinking());
    EXPECT_EQ(game.view().kifu.tesu(), 0);
}

// The hint frames the piece and its destination in light blue on the
// canvas; the next click paints them back.
TEST_F(SearchingPlayerInWindow, TheHintsFramesShowOnTheCanvasUntilTheNextClick) {
    game.set_search_limits(SMALL, SMALL);
    window.action("START")->trigger();  // two people
    window.action("HINT")->trigger();
    ASSERT_TRUE(game.view().hint.has_value());
    const Sashite h = *game.view().hint;
    const Cell from = source_cell(h.from_x, h.from_y), to = square_cell(h.to_x, h.to_y);
    EXPECT_EQ(frame_pixel(from), test::palette_rgb(MIZUIRO));
    EXPECT_EQ(frame_pixel(to), test::palette_rgb(MIZUIRO));

    press_square(5, 5);  // an empty square: selects nothing
    EXPECT_FALSE(game.view().hint.has_value());
    EXPECT_EQ(frame_pixel(to), test::palette_rgb(MIDORI_IRO));
}

}  // namespace
}  // namespace zemtori
