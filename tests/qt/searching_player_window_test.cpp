// The searching player in the real window: the window paints while the
// computer thinks at level 4 and drops what the player does meanwhile,
// closing it ends the search at once, and the hint's frames on the canvas.
// Esc ends the program as promptly while the computer's piece blinks and
// while the pieces fall.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <functional>
#include <optional>

#include "app/game_wiring.h"
#include "port/geometry.h"
#include "qt/canvas.h"
#include "qt/main_window.h"
#include "play/game.h"
#include "rules/board.h"
#include "rules/moves.h"
#include "searcher/compact_position.h"
#include "searcher/levels.h"
#include "sound/effects.h"
#include "looking_window.h"
#include "qt_test_support.h"
#include "test_support.h"

namespace zemtori {
namespace {

constexpr searcher::Limits UNTIL_TOLD{0, 0, 0};
constexpr searcher::Limits SMALL{0, 3000, 0};

using TestWindow = test::LookingWindow;
using test::PaintWatch;

class SearchingPlayerInWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window.end_hook = [this] { ++ends; };
        ASSERT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
        connect_game(window, game);
        game.load();
        window.show();
    }
    void TearDown() override {
        window.look = nullptr;
        disconnect_game(window);
    }

    void press_square(int x, int y) {
        test::press_board_square(window.canvas(), x, y);
    }
    // The middle of the top edge of grid cell `cell`, where its frame runs.
    QRgb frame_pixel(Cell cell) const {
        return test::canvas_pixel(window.canvas_image(), to_pixels(grid_x(cell.c + 0.5)), to_pixels(grid_y(cell.r)));
    }

    TestWindow window{menu_entries()};
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
    PaintWatch watch(window.canvas(), game);
    window.look = [&] {
        if (!game.thinking()) return;  // the opening still falling
        if (!acted) {
            acted = true;
            press_square(7, 7);                  // would resume the game for the computer
            window.action("CANCEL")->trigger();  // would start a new game
            window.canvas()->update();           // something uncovers the window
        } else if (watch.paints_while_thinking >= 1) {
            game.move_now();
        }
    };
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
    bool closed_while_thinking = false;
    window.look = [&] {
        if (!game.thinking() || closed_while_thinking) return;
        closed_while_thinking = true;
        window.close();
    };
    window.action("GOTE")->trigger();
    EXPECT_TRUE(closed_while_thinking);
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(game.thinking());
    EXPECT_EQ(game.view().kifu.tesu(), 0);
}

// The ladder in the window's menu: a level is checked alone when chosen, and
// plays its move through the worker thread: LEVEL5
// its choice among the moves close to the best, drawn from the game's seed
// (fixed here), LEVEL9 the full searching player's best move, each with the
// level's own node budget.
class LevelInWindow : public SearchingPlayerInWindow {
protected:
    void plays_its_move(int level) {
        // What the level plays in the opening: its search on a table of the
        // game's size, then its choice with the game's draw for move 0.
        Position opening = game.view().pos;
        rakka(opening, nullptr);  // a start command lets the opening fall first
        const searcher::CompactPosition root = searcher::from_rules(opening, 1);
        auto choice = [&](uint64_t seed, searcher::SearchResult& r) {
            searcher::Searcher own(20);
            const uint64_t draw = searcher::level_draw(seed, root.key(), 0);
            r = own.think(root, searcher::level_limits(level, draw));
            return searcher::choose_move(root, r, level, draw);
        };
        // The first seed with which a choosing level strays from the best.
        uint64_t SEED = 1;
        searcher::SearchResult r;
        searcher::Move want = choice(SEED, r);
        while (level != searcher::LAST_LEVEL && want == r.best && SEED < 64) want = choice(++SEED, r);
        game.fix_level_seed(SEED);
        window.action("LEVEL" + std::to_string(level))->trigger();
        for (int other = 1; other <= 9; ++other)
            EXPECT_EQ(window.action("LEVEL" + std::to_string(other))->isChecked(), other == level) << other;

        // LEVEL9 plays the best move; with this seed LEVEL5 plays another.
        EXPECT_EQ(want == r.best, level == searcher::LAST_LEVEL);

        // (The window painting while a level thinks is the LEVEL4 test's,
        // which thinks until told: with a level's own small budget the search
        // may end before the window first looks.)
        window.action("GOTE")->trigger();  // the computer moves first
        EXPECT_FALSE(game.thinking());
        const auto& v = game.view();
        ASSERT_EQ(v.kifu.tesu(), 1);
        EXPECT_EQ(v.turn.TEBAN, v.turn.MAN_GAWA);
        const Candidate& c = v.com_move;
        EXPECT_EQ((searcher::RulesMove{c.from_x, c.from_y, c.to_x, c.to_y, c.koma}), searcher::to_rules_move(root, want));
        EXPECT_TRUE(boxes.seen.empty());
    }
};

TEST_F(LevelInWindow, LevelFivePlaysItsChoice) { plays_its_move(5); }
TEST_F(LevelInWindow, LevelNinePlaysTheBestMove) { plays_its_move(9); }

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

// Esc while the computer's move is shown: the program ends at the first look
// the window takes at its events, as when it is closed while the computer
// thinks, and the rest of the turn never happens.
struct EndingInWindow : SearchingPlayerInWindow {
    EndingInWindow() { window.test_clock = true; }
};

// The window hears of the Esc as it would from the keyboard: through its
// event queue, while the game waits.
void press_esc(QWidget& window) {
    QCoreApplication::postEvent(&window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
}

// The game waits no longer after the Esc than one look of the level-4 wait
// at its worker (10 ms).
constexpr double PROMPT_SECONDS = 0.010;

TEST_F(EndingInWindow, EscWhileTheComputersPieceBlinksEndsTheProgramAtOnce) {
    std::optional<Position> blinking;  // the board while the chosen piece blinks
    double esc_at = 0;
    window.look = [&] {
        // The computer has chosen its move and not yet made it.
        const auto& v = game.view();
        if (blinking || v.com_move.to_x == 0 || v.kifu.tesu() != 0) return;
        blinking = game.view().pos;
        esc_at = window.now;
        press_esc(window);
    };
    window.action("GOTE")->trigger();  // level 3: the computer answers at once

    ASSERT_TRUE(blinking.has_value()) << "the window took no events while the piece blinked";
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(ends, 1);
    EXPECT_LT(window.now - esc_at, PROMPT_SECONDS);
    EXPECT_EQ(test::board_to_text(game.view().pos), test::board_to_text(*blinking)) << "the move was not made";
    EXPECT_TRUE(boxes.seen.empty());
}

TEST_F(EndingInWindow, EscWhileThePiecesFallEndsTheProgramAtOnce) {
    std::optional<Position> before, moved;  // the board before the move, and with it made
    bool falling = false;
    double esc_at = 0;
    window.look = [&] {
        const auto& v = game.view();
        if (falling || v.com_move.to_x == 0 || v.kifu.tesu() != 0) return;
        if (!before) {
            // The computer's move has been chosen; nothing has fallen yet.
            before = v.pos;
            moved = v.pos;
            TurnState turn = v.turn;
            const Candidate& m = v.com_move;
            sashite_jikkou(*moved, turn, nullptr, m.from_x, m.from_y, m.to_x, m.to_y, m.koma);
        }
        const std::string now = test::board_to_text(v.pos);
        if (now == test::board_to_text(*before) || now == test::board_to_text(*moved)) return;
        falling = true;  // neither the blink nor the pauses around the move
        esc_at = window.now;
        press_esc(window);
    };
    window.action("GOTE")->trigger();

    ASSERT_TRUE(falling) << "the window took no events while the pieces fell";
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(ends, 1);
    EXPECT_LT(window.now - esc_at, PROMPT_SECONDS);
    const auto& v = game.view();
    EXPECT_EQ(v.turn.TEBAN, v.turn.COM_GAWA) << "the turn was not handed back";
    const Cell to = square_cell(v.com_move.to_x, v.com_move.to_y);
    EXPECT_NE(frame_pixel(to), test::palette_rgb(SHIRO)) << "no frame on its destination";
    EXPECT_TRUE(boxes.seen.empty());
}

}  // namespace
}  // namespace zemtori
