// The save form of 棋譜 › 書込 in the real window: where the caret starts and
// where Tab takes it, Enter and Esc in its fields, and how the captions and
// the fields look.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <string>
#include <vector>

#include "app/game_wiring.h"
#include "qt/canvas.h"
#include "qt/main_window.h"
#include "qt/record_controls.h"
#include "play/game.h"
#include "sound/effects.h"
#include "qt_test_support.h"

namespace zemtori {
namespace {

const QRgb YELLOW = qRgb(255, 255, 192);
constexpr RecordText TOP_TO_BOTTOM[] = {RecordText::Text2, RecordText::Text3, RecordText::Text4, RecordText::Text1};

class SaveForm : public ::testing::Test {
protected:
    void SetUp() override {
        window.end_hook = [this] { ++ends; };
        ASSERT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
        connect_game(window, game);
        game.load();
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        window.action("KIFU_WRITE")->trigger();
        ASSERT_TRUE(window.record_control_visible(RecordControl::SavePanel));
    }
    void TearDown() override { disconnect_game(window); }

    QLineEdit* field(RecordText f) const { return window.record_controls()->text_field(f); }

    MainWindow window{menu_entries()};
    SoundEffects sound{window, ZEMTORI_TEST_DATA_DIR};
    Game game{window, sound};
    // Every box is answered with OK and written down.
    test::OkToEveryBox boxes;
    std::vector<std::string>& seen = boxes.seen;
    int ends = 0;
};

// The fields stand where the table puts them, each beside its caption, and
// the caret goes through them top to bottom, from the title to RETURN.
TEST_F(SaveForm, CaretStartsInTheTitleAndTabGoesTopToBottom) {
    const RecordControls& rc = *window.record_controls();
    const int tops[] = {160, 176, 192, 208};  // 2400, 2640, 2880, 3120 twips
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(field(TOP_TO_BOTTOM[i])->geometry(), QRect(64, tops[i], 153, 18)) << "field " << i;
        EXPECT_EQ(rc.caption(i)->geometry(), QRect(8, tops[i], 57, 17)) << "caption " << i;
    }
    EXPECT_EQ(QApplication::focusWidget(), field(RecordText::Text2));
    const QWidget* want[] = {field(RecordText::Text3), field(RecordText::Text4), field(RecordText::Text1),
                             rc.command1()};
    for (const QWidget* next : want) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
}

TEST_F(SaveForm, EnterInEveryFieldDoesWhatReturnDoes) {
    window.record_controls()->command1()->click();
    ASSERT_EQ(seen, std::vector<std::string>{"ﾌｧｲﾙ名が入力されていません"});
    for (const RecordText f : TOP_TO_BOTTOM) {
        seen.clear();
        field(f)->setFocus();
        QTest::keyClick(field(f), Qt::Key_Return);
        EXPECT_EQ(seen, std::vector<std::string>{"ﾌｧｲﾙ名が入力されていません"}) << static_cast<int>(f);
    }
    // And with a name typed, Enter writes the file as RETURN would, here
    // refused since the game has no moves to keep.
    seen.clear();
    QTest::keyClicks(field(RecordText::Text1), QStringLiteral("kifu"));
    QTest::keyClick(field(RecordText::Text1), Qt::Key_Enter);
    EXPECT_EQ(seen, std::vector<std::string>{"保存するデータがありません"});
}

TEST_F(SaveForm, EscapeWhileTypingKeepsTheProgramAndTheBoardStillEndsIt) {
    for (const RecordText f : TOP_TO_BOTTOM) {
        field(f)->setFocus();
        QTest::keyClicks(field(f), QStringLiteral("Ab"));
        QTest::keyClick(field(f), Qt::Key_Escape);
        EXPECT_EQ(ends, 0) << "Esc in field " << static_cast<int>(f);
        EXPECT_EQ(field(f)->text(), QStringLiteral("Ab"));
        // The keys of 戻, 進 and 最初 move the caret here, as in any field.
        QTest::keyClick(field(f), Qt::Key_Left);
        EXPECT_EQ(field(f)->cursorPosition(), 1);
        QTest::keyClick(field(f), Qt::Key_Home);
        QTest::keyClick(field(f), Qt::Key_Right);
        EXPECT_EQ(field(f)->cursorPosition(), 1);
    }
    EXPECT_TRUE(seen.empty()) << "a key of the 局面 menu ran its command: " << seen.front();
    EXPECT_FALSE(window.ended());
    EXPECT_TRUE(window.record_control_visible(RecordControl::SavePanel));
    QTest::keyClick(window.canvas(), Qt::Key_Escape);
    EXPECT_EQ(ends, 1);
}

// Captions on a label's own background, fields light yellow inside a frame:
// a player sees where to type.
TEST_F(SaveForm, CaptionsOnTheLabelBackgroundAndFieldsFramed) {
    const QImage form = window.canvas()->grab().toImage();
    auto at = [&](int x, int y) { return test::canvas_pixel(form, x, y); };
    const RecordControls& rc = *window.record_controls();
    const QRgb label_background = QApplication::palette(rc.caption(0)).color(QPalette::Window).rgb() | 0xff000000u;
    ASSERT_NE(label_background, YELLOW);
    int yellow_in_form = 0;
    for (int y = 160; y < 226; ++y)
        for (int x = 8; x < 217; ++x) yellow_in_form += at(x, y) == YELLOW;
    for (int i = 0; i < 4; ++i) {
        const QRect caption = rc.caption(i)->geometry();
        // The caption's text is at its left; its right end is background.
        EXPECT_EQ(at(caption.right() - 1, caption.center().y()), label_background) << "caption " << i;
        const QRect f = field(TOP_TO_BOTTOM[i])->geometry();
        EXPECT_EQ(at(f.right() - 5, f.center().y()), YELLOW) << "inside field " << i;
        // The frame is inside the field's rectangle.  The rectangles overlap
        // by two pixels, each field lying on the one above: the top of every
        // frame shows, and the bottom of the lowest.
        std::vector<QPoint> edges = {QPoint(f.left(), f.center().y()), QPoint(f.right(), f.center().y()),
                                     QPoint(f.center().x(), f.top())};
        if (i == 3) edges.push_back(QPoint(f.center().x(), f.bottom()));
        for (const QPoint edge : edges)
            EXPECT_NE(at(edge.x(), edge.y()), YELLOW) << "edge of field " << i << " at " << edge.x() << "," << edge.y();
    }
    // The four fields' insides are yellow and little else is (the whole form
    // was one yellow block).
    EXPECT_LT(yellow_in_form, 4 * 153 * 18);
    EXPECT_GT(yellow_in_form, 4 * 140 * 12);
}

}  // namespace
}  // namespace zemtori
