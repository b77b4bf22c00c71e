// The game in the real window, wired as the program wires it: menu commands
// and clicks travel from Qt to the game, and the game's answers come back as
// message boxes and pixels.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QTest>

#include <string>
#include <vector>

#include "app/game_wiring.h"
#include "port/geometry.h"
#include "qt/canvas.h"
#include "qt/main_window.h"
#include "play/game.h"
#include "sound/effects.h"
#include "qt_test_support.h"

namespace zemtori {
namespace {

struct Seen {
    std::string text, title;
};

class GameInWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window.end_hook = [this] { ++ends; };
        ASSERT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
        connect_game(window, game);
        game.load();
    }
    void TearDown() override { disconnect_game(window); }

    // Arms an OK for the next message box and writes down what it said.
    void answer_next_box() {
        test::when_message_box([this](QMessageBox& box) {
            seen.push_back({box.text().toStdString(), box.windowTitle().toStdString()});
            box.button(box.standardButtons() & QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::Ok)->click();
        });
    }

    // A press of `button` in the middle of board square (x, y).
    void click_square(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        test::press_board_square(window.canvas(), x, y, button);
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
    SoundEffects sound{window, ZEMTORI_TEST_DATA_DIR};
    Game game{window, sound};
    std::vector<Seen> seen;
    int ends = 0;
};

TEST_F(GameInWindow, ClickBeforeAnyGameIsRefusedWithAMessage) {
    answer_next_box();
    click_square(5, 5);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "「対局」で始めて下さい");
    EXPECT_EQ(seen[0].title, "開始");
}

TEST_F(GameInWindow, StartAndMoveAPawnShowsItOnItsNewSquare) {
    ASSERT_TRUE(window.action("START")->isEnabled());
    answer_next_box();
    window.action("START")->trigger();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "先手の番です");

    // The lower side moves first: its pawn on the bottom row steps left.
    ASSERT_EQ(game.view().pos.BAN[9][7], -HU);
    click_square(9, 7);
    click_square(9, 6);
    EXPECT_EQ(game.view().pos.BAN[9][6], -HU);
    EXPECT_TRUE(square_shows(9, 6, -HU));
    // The pawns above fell one square into the gap; the top of the column is empty.
    EXPECT_EQ(game.view().pos.BAN[1][7], KARA);
    EXPECT_TRUE(square_shows(1, 7, KARA));
    for (int x = 2; x <= 9; ++x) EXPECT_TRUE(square_shows(x, 7, -HU)) << x;
    // The opening fall put the upper rook and bishop at the bottom of column 2.
    EXPECT_TRUE(square_shows(8, 2, HISHA));
    EXPECT_TRUE(square_shows(9, 2, KAKU));
    EXPECT_EQ(seen.size(), 1u) << "no further message for an ordinary move";
}

TEST_F(GameInWindow, TheComputerAnswersInsideThePersonsClick) {
    window.action("LEVEL1")->trigger();
    EXPECT_TRUE(window.action("LEVEL1")->isChecked());
    EXPECT_FALSE(window.action("LEVEL3")->isChecked());
    answer_next_box();
    window.action("SENTE")->trigger();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "MANの番です");
    click_square(9, 7);
    click_square(9, 6);
    ASSERT_EQ(game.view().kifu.tesu(), 2) << "the person's move and the computer's answer";
    EXPECT_EQ(game.view().engine.COM_LEVEL, 1);
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) EXPECT_TRUE(square_shows(x, y, game.view().pos.BAN[x][y])) << x << "," << y;
}

// Left, Right and Home are 戻, 進 and 最初, shown beside those items alone.
TEST_F(GameInWindow, LeftRightAndHomeStepThroughTheGame) {
    const std::pair<const char*, Qt::Key> keys[] = {{"REPLAY", Qt::Key_Left}, {"AFTER", Qt::Key_Right},
                                                    {"CANCEL", Qt::Key_Home}};
    for (const MenuEntry& item : menu_entries()) {
        QKeySequence want;
        for (const auto& [name, key] : keys)
            if (std::string(item.name) == name) want = QKeySequence(key);
        EXPECT_EQ(window.action(item.name)->shortcut(), want) << item.name;
    }
    window.show();
    // A key as a player presses it on the window, which a box may have
    // left inactive.
    auto press = [this](Qt::Key key) {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, key);
    };
    answer_next_box();
    window.action("START")->trigger();
    ASSERT_EQ(seen.size(), 1u);
    // 先手 moves the pawn at the bottom of column 7 left; 後手 answers with
    // the pawn at the top of column 3, which falls to the bottom of column 4.
    click_square(9, 7);
    click_square(9, 6);
    click_square(1, 3);
    click_square(1, 4);
    ASSERT_TRUE(square_shows(9, 6, -HU));
    ASSERT_TRUE(square_shows(9, 4, HU));
    ASSERT_TRUE(square_shows(1, 3, KARA));
    // Two steps back: the opening position, as it settled.
    press(Qt::Key_Left);
    press(Qt::Key_Left);
    EXPECT_TRUE(square_shows(9, 7, -HU));
    EXPECT_TRUE(square_shows(9, 6, KARA));
    EXPECT_TRUE(square_shows(1, 3, HU));
    // One forward: 先手's move again, the column fallen behind it.
    press(Qt::Key_Right);
    EXPECT_TRUE(square_shows(9, 6, -HU));
    EXPECT_TRUE(square_shows(1, 7, KARA));
    EXPECT_TRUE(square_shows(1, 3, HU));
    EXPECT_TRUE(square_shows(9, 4, KARA));
    EXPECT_EQ(seen.size(), 1u) << "no box: the keys ran 戻 and 進 as the menu does";
    // Home sets up a new game, as 最初 does (asking first, as a game with
    // moves is given up), and a key of a disabled item does nothing.
    answer_next_box();
    press(Qt::Key_Home);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].text, "対局中です。新しく始めますか？");
    EXPECT_TRUE(square_shows(9, 7, -HU));
    EXPECT_TRUE(square_shows(9, 6, KARA));
    // (進 would refuse here with a box; the answer is armed for this test
    // alone, so that it cannot outlive it.)
    window.set_menu_enabled("AFTER", false);
    int boxes = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++boxes;
            box->button(QMessageBox::Ok)->click();
        }
    });
    answer.start(10);
    press(Qt::Key_Right);
    EXPECT_EQ(boxes, 0) << "a disabled 進 was run by its key";
    window.set_menu_enabled("AFTER", true);
    press(Qt::Key_Right);
    EXPECT_EQ(boxes, 1) << "進 at the start of a new game refuses";
}

TEST_F(GameInWindow, EscapeEndsTheProgram) {
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &esc);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(window.ended());
}

}  // namespace
}  // namespace zemtori
