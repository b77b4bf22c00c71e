// その他 › 遊び方 in the real window: a window of its own beside the board,
// not modal, with the rules in sections and pictures made from the game's
// own; the game goes on while it is open and is as it was once it closes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include <cstring>

#include "app/game_wiring.h"
#include "port/geometry.h"
#include "qt/canvas.h"
#include "qt/main_window.h"
#include "qt/rules_window.h"
#include "play/game.h"
#include "sound/effects.h"
#include "qt_test_support.h"

namespace zemtori {
namespace {

bool same_position(const Position& a, const Position& b) { return std::memcmp(&a, &b, sizeof(Position)) == 0; }

class RulesInWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window.end_hook = [this] { ++ends; };
        ASSERT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
        connect_game(window, game);
        game.load();
    }
    void TearDown() override { disconnect_game(window); }

    void click_square(int x, int y) {
        test::press_board_square(window.canvas(), x, y);
    }
    void start_between_people() {
        test::when_message_box([](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
        window.action("START")->trigger();
    }
    // The picture `name` of the rules' text, as the text holds it.
    QImage shown(const QString& name) const {
        return window.rules_window()->browser()->document()->resource(QTextDocument::ImageResource, QUrl(name))
            .value<QImage>();
    }
    // The part of `image` at cell `i` from the top is the game's picture of `code`.
    bool cell_is(const QImage& image, int i, int code) const {
        const QImage* picture = window.pictures().find(code);
        if (picture == nullptr || image.width() != picture->width()) return false;
        const int h = picture->height();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < picture->width(); ++x)
                if ((image.pixel(x, i * h + y) | 0xff000000u) != (picture->pixel(x, y) | 0xff000000u)) return false;
        return true;
    }

    MainWindow window{menu_entries()};
    SoundEffects sound{window, ZEMTORI_TEST_DATA_DIR};
    Game game{window, sound};
    int ends = 0;
};

TEST_F(RulesInWindow, OpensBesideTheBoardWithEverySectionAndTheGamesOwnPictures) {
    // その他 is a menu of two items now: the version box and the rules.
    ASSERT_NE(window.submenu("SONOTA"), nullptr);
    EXPECT_TRUE(window.submenu("SONOTA")->actions().contains(window.action("VER")));
    EXPECT_TRUE(window.submenu("SONOTA")->actions().contains(window.action("ASOBIKATA")));
    EXPECT_EQ(window.rules_window(), nullptr) << "made on first use";

    window.action("ASOBIKATA")->trigger();
    RulesWindow* rules = window.rules_window();
    ASSERT_NE(rules, nullptr);
    EXPECT_TRUE(rules->isVisible());
    EXPECT_TRUE(rules->isWindow());
    EXPECT_FALSE(rules->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(rules->windowTitle(), QStringLiteral("遊び方"));

    EXPECT_EQ(rules->sections(), (QStringList{"盤と駒", "駒の動き", "落下のルール", "持ち駒を打つ", "成り", "勝ち負け",
                                              "レベルとヒント", "キー"}));
    const QString text = rules->browser()->toPlainText();
    for (const char* words : {"■ 駒の動き", "下へ落ち", "右ボタン", "王を取った方の勝ち", "LEVEL1〜LEVEL3", "LEVEL4〜LEVEL9",
                              "ヒント", "Left", "Right", "Home", "Esc", "二歩"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(words))) << words;

    // Every piece of the right-hand army, plain and promoted, and both kings,
    // painted from the very pictures the board shows.
    for (int code : {-10, -11, -20, -21, -30, -31, -40, -41, -50, -60, -61, -70, -71, -80, 80}) {
        const QString name = RulesWindow::cells_name({code});
        ASSERT_TRUE(rules->picture_names().contains(name)) << code;
        EXPECT_TRUE(cell_is(shown(name), 0, code)) << code;
    }
    // The falling rule before and after: a gold and a pawn over empty squares
    // end at the bottom of their column.
    const QImage before = shown(RulesWindow::cells_name({-50, 0, -10, 0, 0}));
    const QImage after = shown(RulesWindow::cells_name({0, 0, 0, -50, -10}));
    for (auto [image, codes] : {std::pair{before, QList<int>{-50, 0, -10, 0, 0}}, {after, {0, 0, 0, -50, -10}}})
        for (int i = 0; i < codes.size(); ++i) EXPECT_TRUE(cell_is(image, i, codes[i])) << i;
    EXPECT_EQ(ends, 0);
}

TEST_F(RulesInWindow, TheGameGoesOnWhileItIsOpenAndIsAsItWasOnceItCloses) {
    start_between_people();
    click_square(9, 7);
    click_square(9, 6);
    ASSERT_EQ(game.view().kifu.tesu(), 1);
    const Position pos = game.view().pos;
    const QImage canvas = window.canvas_image().copy();

    window.action("ASOBIKATA")->trigger();
    RulesWindow* rules = window.rules_window();
    ASSERT_NE(rules, nullptr);
    rules->close();
    EXPECT_FALSE(rules->isVisible());
    EXPECT_TRUE(same_position(game.view().pos, pos));
    EXPECT_EQ(game.view().kifu.tesu(), 1);
    EXPECT_EQ(game.view().turn.TEBAN, game.view().turn.COM_GAWA) << "the upper side is still to move";
    EXPECT_EQ(window.canvas_image(), canvas);
    EXPECT_EQ(ends, 0);

    // Open again (the same window): the board still takes clicks, and Esc in
    // the rules window closes it alone.
    window.action("ASOBIKATA")->trigger();
    EXPECT_EQ(window.rules_window(), rules);
    EXPECT_TRUE(rules->isVisible());
    click_square(1, 3);
    click_square(1, 4);
    EXPECT_EQ(game.view().kifu.tesu(), 2) << "a move made with the rules open";
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(rules, &esc);
    EXPECT_FALSE(rules->isVisible());
    EXPECT_EQ(ends, 0);
    EXPECT_FALSE(window.ended());
    EXPECT_EQ(game.view().kifu.tesu(), 2);
}

}  // namespace
}  // namespace zemtori
