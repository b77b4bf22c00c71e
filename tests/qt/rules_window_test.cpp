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
#include "rules/board.h"
#include "rules/legality.h"
#include "rules/moves.h"
#include "test_support.h"

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

// What the text says of the sides, dragging, the promoted rook, the two-pawn
// rule and the levels is what the game does.
TEST_F(RulesInWindow, SaysWhichSideThePlayerHasHowToDragWhereTheTwoPawnRuleLooksAndWhatSetsTheLevelsApart) {
    window.action("ASOBIKATA")->trigger();
    const QString text = window.rules_window()->browser()->toPlainText();
    const auto says = [&text](const char* words) { return text.contains(QString::fromUtf8(words)); };

    // The person has the right-hand army in every game; 先手 and 後手 say who
    // moves first (the computer, after 後手).
    EXPECT_FALSE(says("あなた（先手）"));
    EXPECT_TRUE(says("あなたはいつも右側の軍"));
    EXPECT_TRUE(says("後手 ではコンピュータが先に指します"));
    // Dragging, with the right button for promotion.
    EXPECT_TRUE(says("ドラッグ"));
    EXPECT_TRUE(says("右ボタンでドラッグすると成ります"));
    // The promoted rook as its picture writes it.
    EXPECT_FALSE(says("竜"));
    EXPECT_TRUE(says("成ると龍になり"));
    // The levels: not depth, but how often the best move is kept.
    EXPECT_FALSE(says("読みが浅く"));
    EXPECT_TRUE(says("最善と見た手をそのまま指すことが多く"));
    EXPECT_TRUE(says("LEVEL9がいちばん強い相手で、いつも最善と見た手を指します"));

    // The two-pawn rule looks at the row of the square dropped on, before
    // the pawn falls, and the rules agree both ways.
    EXPECT_TRUE(says("落ちる前の列"));
    EXPECT_TRUE(says("ほかの列へ行くとしても打てません"));
    EXPECT_TRUE(says("自分の歩のある列に入ることはかまいません"));
    // A pawn in the bottom row; one dropped high in an empty column is
    // allowed, and falls into that row beside it.
    Position low = test::board_with({{9, 5, -HU}});
    nifu_keisan(low);
    EXPECT_EQ(idou_kanou(low, SITA_TE_X, 1, 3, 2, -HU), 1);
    low.BAN[3][2] = -HU;
    rakka(low, nullptr);
    EXPECT_EQ(low.BAN[9][2], -HU);
    EXPECT_EQ(low.BAN[9][5], -HU) << "two of the side's pawns in one row";
    // A pawn standing in row 5 on a full column: a pawn dropped in row 5 is
    // refused, though it would fall out of the row.
    Position mid = test::board_with({{5, 5, -HU}, {6, 5, -KIN}, {7, 5, -KIN}, {8, 5, -GIN}, {9, 5, -GIN}});
    nifu_keisan(mid);
    EXPECT_EQ(idou_kanou(mid, SITA_TE_X, 1, 5, 2, -HU), 0);
    EXPECT_EQ(idou_kanou(mid, SITA_TE_X, 1, 4, 2, -HU), 1) << "the row above is free";
}

}  // namespace
}  // namespace zemtori
