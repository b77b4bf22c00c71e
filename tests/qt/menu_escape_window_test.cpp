// Esc in the real window, typed as a player types it: an Esc that closes a
// menu or leaves the menu bar is the menus' and never also ends the program;
// on the board it ends the program at once.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWindow>

#include "app/game_wiring.h"
#include "play/game.h"
#include "qt/main_window.h"
#include "sound/effects.h"

namespace zemtori {
namespace {

class MenuEscape : public ::testing::Test {
protected:
    void SetUp() override {
        window.end_hook = [this] { ++ends; };
        ASSERT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
        connect_game(window, game);
        game.load();
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void TearDown() override { disconnect_game(window); }

    // A key as the window system delivers it: to the open menu, if one is
    // open, else to the window, whose focus widget takes it.
    void type(Qt::Key key) {
        QWidget* popup = QApplication::activePopupWidget();
        QTest::keyClick(popup ? popup->windowHandle() : window.windowHandle(), key);
    }
    // A menu opened from the keyboard: Alt lights the first title, Down opens it.
    void open_menu_with_keys() {
        type(Qt::Key_Alt);
        ASSERT_NE(window.menuBar()->activeAction(), nullptr) << "Alt lights the menu bar";
        type(Qt::Key_Down);
        ASSERT_NE(qobject_cast<QMenu*>(QApplication::activePopupWidget()), nullptr) << "Down opens the menu";
    }
    // Esc on the board ends the program (once), as it always did.
    void expect_esc_on_the_board_ends() {
        EXPECT_EQ(ends, 0);
        EXPECT_EQ(window.menuBar()->activeAction(), nullptr);
        type(Qt::Key_Escape);
        EXPECT_EQ(ends, 1);
    }

    MainWindow window{menu_entries()};
    SoundEffects sound{window, ZEMTORI_TEST_DATA_DIR};
    Game game{window, sound};
    int ends = 0;
};

TEST_F(MenuEscape, TheFirstEscClosesTheMenuAndTheSecondLeavesTheMenuBar) {
    open_menu_with_keys();
    type(Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_NE(window.menuBar()->activeAction(), nullptr) << "the title stays lit";
    EXPECT_EQ(ends, 0);
    type(Qt::Key_Escape);
    EXPECT_EQ(ends, 0);
    expect_esc_on_the_board_ends();
}

// A window system may hand the Esc after the menu closed to the window
// itself, the menu bar still lit: it only leaves the menu bar.
TEST_F(MenuEscape, AnEscDeliveredToTheWindowWhileTheMenuBarIsLitLeavesIt) {
    open_menu_with_keys();
    type(Qt::Key_Escape);
    ASSERT_NE(window.menuBar()->activeAction(), nullptr);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &esc);
    EXPECT_EQ(ends, 0);
    expect_esc_on_the_board_ends();
}

// The menu bar holding the keyboard with no title lit passes Esc on to its
// window: that Esc too was pressed in the menus.
TEST_F(MenuEscape, AnEscTheMenuBarPassesOnGivesTheFocusBack) {
    window.menuBar()->setFocus(Qt::MenuBarFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), window.menuBar());
    ASSERT_EQ(window.menuBar()->activeAction(), nullptr);
    type(Qt::Key_Escape);
    EXPECT_EQ(ends, 0);
    EXPECT_NE(QApplication::focusWidget(), window.menuBar());
    expect_esc_on_the_board_ends();
}

}  // namespace
}  // namespace zemtori
