// The real window, offscreen: what the canvas holds after drawing, how the
// menus, message boxes, mouse, keys, Timer1 and closing reach the game.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLibraryInfo>
#include <QTranslator>
#include <QMenu>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QTimer>
#include <QStyle>

#include <malloc.h>

#include <algorithm>

#include <string>
#include <tuple>
#include <vector>

#include "app/game_wiring.h"
#include "port/geometry.h"
#include "qt/canvas.h"
#include "qt/main_window.h"
#include "qt/record_controls.h"
#include "qt/qt_translation.h"
#include "play/game.h"
#include "sound/effects.h"
#include "qt_test_support.h"

namespace zemtori {
namespace {

using test::canvas_pixel;
using test::palette_rgb;

const QString PICTURES = QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures");

// A window whose events are written down instead of going to a game.
struct RecordingWindow {
    MainWindow window{menu_entries()};
    std::vector<std::string> menus;
    std::vector<std::tuple<int, double, double>> presses;
    std::vector<int> keys;
    int ticks = 0, closings = 0, ends = 0;

    RecordingWindow() {
        EXPECT_EQ(window.load_pictures(PICTURES).message(), QString());
        window.events.menu = [this](const std::string& item) { menus.push_back(item); };
        window.events.mouse_down = [this](int b, double x, double y) { presses.emplace_back(b, x, y); };
        window.events.key_press = [this](int key) { keys.push_back(key); };
        window.events.timer_tick = [this] { ++ticks; };
        window.events.closing = [this] { ++closings; };
        window.end_hook = [this] { ++ends; };
    }
};

// Every pixel of the rectangle of `picture`'s size at logical (x, y), except
// its first row and column where frames are drawn, equals the picture where
// the picture is opaque.
::testing::AssertionResult shows_picture(const QImage& canvas, const QImage& picture, int x, int y) {
    const int w = picture.width() / picture.devicePixelRatio();
    const int h = picture.height() / picture.devicePixelRatio();
    for (int j = 1; j < h; ++j)
        for (int i = 1; i < w; ++i) {
            if (qAlpha(picture.pixel(i, j)) != 255) continue;
            const QRgb want = picture.pixel(i, j);
            const QRgb got = canvas_pixel(canvas, x + i, y + j);
            if (got != want)
                return ::testing::AssertionFailure()
                       << "pixel (" << i << ", " << j << ") is " << std::hex << got << ", picture has " << want;
        }
    return ::testing::AssertionSuccess();
}

TEST(QtWindowStartUp, CanvasShowsTheOpeningBoardTitleAndGreenFrames) {
    MainWindow window{menu_entries()};
    window.end_hook = [] {};
    ASSERT_EQ(window.load_pictures(PICTURES).message(), QString());
    SoundEffects sound(window, ZEMTORI_TEST_DATA_DIR);
    Game game(window, sound);
    game.load();
    const QImage& canvas = window.canvas_image();

    for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 9; ++c) {
            const int code = game.view().pos.BAN[r][c];
            const QImage* picture = window.pictures().find(code);
            ASSERT_NE(picture, nullptr) << "code " << code;
            EXPECT_TRUE(shows_picture(canvas, *picture, to_pixels(grid_x(c)), to_pixels(grid_y(r))))
                << "cell (" << c << ", " << r << ") code " << code;
            // Neighbouring cells share their outline, so each cell's top-left
            // corner is on a green line.
            EXPECT_EQ(canvas_pixel(canvas, to_pixels(grid_x(c)), to_pixels(grid_y(r))), palette_rgb(MIDORI_IRO));
        }
    // The outline of the last cell includes its bottom-right end point.
    EXPECT_EQ(canvas_pixel(canvas, to_pixels(grid_x(10)), to_pixels(grid_y(10))), palette_rgb(MIDORI_IRO));

    // The title is painted last, whole, at its fractional row.
    const QImage* title = window.pictures().find(1);
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(shows_picture(canvas, *title, to_pixels(grid_x(11)), to_pixels(grid_y(-0.2))));
    // Both hands start empty: the upper hand's first slot shows the empty square.
    EXPECT_TRUE(shows_picture(canvas, *window.pictures().find(0), to_pixels(grid_x(-1)), to_pixels(grid_y(1))));
}

// Starting a game makes none of the hidden record-file controls: hiding
// them and emptying the save form's fields need none.  The first command that
// uses them makes them, and they then behave as if they had always been there.
TEST(QtWindowStartUp, RecordControlsAreMadeOnTheirFirstUse) {
    MainWindow window{menu_entries()};
    window.end_hook = [] {};
    ASSERT_EQ(window.load_pictures(PICTURES).message(), QString());
    SoundEffects sound(window, ZEMTORI_TEST_DATA_DIR);
    Game game(window, sound);
    connect_game(window, game);
    game.load();
    window.action("TAIKYOKU")->trigger();  // a menu that hides them again
    EXPECT_FALSE(window.record_controls_made());
    const RecordControl all[] = {RecordControl::DriveList, RecordControl::DirList, RecordControl::FileList,
                                 RecordControl::SavePanel};
    for (const RecordControl c : all) EXPECT_FALSE(window.record_control_visible(c));
    EXPECT_EQ(window.record_text(RecordText::Text2), "");
    EXPECT_FALSE(window.record_controls_made()) << "asking about them makes none";

    window.action("KIFU_WRITE")->trigger();
    ASSERT_TRUE(window.record_controls_made());
    EXPECT_TRUE(window.record_control_visible(RecordControl::SavePanel));
    EXPECT_EQ(window.record_text(RecordText::Text2), "");
    window.set_record_text(RecordText::Text2, "名人戦");
    EXPECT_EQ(window.record_controls()->text_field(RecordText::Text2)->text(), QStringLiteral("名人戦"));
    // The menu's other item swaps the form for the lists, and the form's
    // fields are emptied as they always were.
    window.action("KIFU_READ")->trigger();
    EXPECT_FALSE(window.record_control_visible(RecordControl::SavePanel));
    EXPECT_TRUE(window.record_control_visible(RecordControl::FileList));
    EXPECT_EQ(window.record_text(RecordText::Text2), "");
    disconnect_game(window);
}

TEST(QtWindowPainting, OutlineCoversBothEndPointsAndLeavesTheInsideAlone) {
    RecordingWindow w;
    MainWindow& window = w.window;
    window.paint_picture(0, grid_x(2), grid_y(2));
    const QImage before = window.canvas_image().copy();
    window.draw_outline(AKA, grid_x(2), grid_y(2), grid_x(3), grid_y(3));
    const QImage& canvas = window.canvas_image();
    const int x1 = to_pixels(grid_x(2)), y1 = to_pixels(grid_y(2));
    const int x2 = to_pixels(grid_x(3)), y2 = to_pixels(grid_y(3));
    const QRgb red = palette_rgb(AKA);
    for (const auto& [x, y] : {std::pair{x1, y1}, {x2, y1}, {x1, y2}, {x2, y2}, {(x1 + x2) / 2, y1},
                                {x1, (y1 + y2) / 2}, {x2, (y1 + y2) / 2}, {(x1 + x2) / 2, y2}})
        EXPECT_EQ(canvas_pixel(canvas, x, y), red) << x << "," << y;
    // One pixel wide, not filled.
    for (const auto& [x, y] : {std::pair{x1 + 1, y1 + 1}, {(x1 + x2) / 2, (y1 + y2) / 2}, {x2 - 1, y2 - 1},
                                {x2 + 1, y2}, {x2, y2 + 1}, {x1 - 1, y1}})
        EXPECT_EQ(canvas_pixel(canvas, x, y), canvas_pixel(before, x, y)) << x << "," << y;
}

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST(QtWindowPainting, DrawingShowsOnceTheEventIsHandledWithoutARefresh) {
    RecordingWindow w;
    w.window.show();
    QCoreApplication::processEvents();
    PaintCounter counter;
    w.window.canvas()->installEventFilter(&counter);
    for (int kind = 0; kind < 3; ++kind) {
        counter.paints = 0;
        if (kind == 0) w.window.paint_picture(-10, grid_x(3), grid_y(3));
        if (kind == 1) w.window.draw_outline(15, grid_x(3), grid_y(3), grid_x(4), grid_y(4));
        if (kind == 2) w.window.print_text(grid_x(3), grid_y(3), "歩", 15, 12, true);
        QCoreApplication::processEvents();
        EXPECT_GE(counter.paints, 1) << "drawing kind " << kind;
    }
    w.window.canvas()->removeEventFilter(&counter);
}

TEST(QtWindowPainting, UnknownCodePaintsNothing) {
    RecordingWindow w;
    const QImage before = w.window.canvas_image().copy();
    for (int code : {51, -51, 7, 99, -1})
        w.window.paint_picture(code, grid_x(1), grid_y(1));
    EXPECT_EQ(w.window.canvas_image(), before);
}

TEST(QtWindowPainting, TextHangsFromItsTopLeftAndIsTransparent) {
    RecordingWindow w;
    MainWindow& window = w.window;
    for (int c = 1; c <= 4; ++c) window.paint_picture(0, grid_x(c), grid_y(3));
    const QImage before = window.canvas_image().copy();
    const double x = grid_x(1), y = grid_y(3);
    window.print_text(x, y, "王手", AKA, 16, true);
    const QImage& canvas = window.canvas_image();
    const int px = to_pixels(x), py = to_pixels(y);
    const int em = 16 * 96 / 72;

    int changed = 0, changed_outside = 0, reddish = 0;
    for (int j = py - 20; j < py + 2 * em; ++j)
        for (int i = px - 20; i < px + 4 * em; ++i) {
            const QRgb now = canvas_pixel(canvas, i, j);
            if (now == canvas_pixel(before, i, j)) continue;
            const bool inside = i >= px && i < px + 2 * em + 4 && j >= py && j < py + em + 6;
            ++(inside ? changed : changed_outside);
            if (qRed(now) > 180 && qGreen(now) < 90 && qBlue(now) < 90) ++reddish;
        }
    EXPECT_GT(reddish, 20) << "the glyphs are drawn in the palette colour";
    EXPECT_EQ(changed_outside, 0) << "text drawn above or left of its position (baseline placement?)";
    // Only the glyphs are painted: most of the text's box keeps the cells.
    EXPECT_LT(changed, (2 * em) * em / 2);
}

TEST(QtWindowPainting, HighDensityCanvasIsSharp) {
    MainWindow window(menu_entries(), nullptr, 2.0);
    ASSERT_EQ(window.load_pictures(PICTURES).message(), QString());
    window.paint_picture(-80, grid_x(2), grid_y(2));
    window.draw_outline(AKA, grid_x(2), grid_y(2), grid_x(3), grid_y(3));
    const QImage& canvas = window.canvas_image();
    const QImage sharp = QImage(PICTURES + "/SITA_OU@2x.png").convertToFormat(QImage::Format_RGB32);
    const int x0 = 2 * to_pixels(grid_x(2)), y0 = 2 * to_pixels(grid_y(2));
    // The double-size picture is copied device pixel for device pixel.
    for (int j = 2; j < sharp.height(); ++j)
        for (int i = 2; i < sharp.width(); ++i)
            ASSERT_EQ(canvas.pixel(x0 + i, y0 + j), sharp.pixel(i, j)) << i << "," << j;
    // A one-pixel outline is two device pixels wide, and no wider.
    const QRgb red = palette_rgb(AKA);
    EXPECT_EQ(canvas.pixel(x0, y0 + 10), red);
    EXPECT_EQ(canvas.pixel(x0 + 1, y0 + 10), red);
    EXPECT_NE(canvas.pixel(x0 + 2, y0 + 10), red);
}

TEST(QtWindowMenus, BarFollowsTheMenuTableWithExactCaptions) {
    RecordingWindow w;
    for (const MenuEntry& item : menu_entries()) {
        QAction* a = w.window.action(item.name);
        ASSERT_NE(a, nullptr) << item.name;
        EXPECT_EQ(a->text().toStdString(), item.caption) << item.name;
        if (item.parent) {
            QMenu* parent = w.window.submenu(item.parent);
            ASSERT_NE(parent, nullptr) << item.parent;
            EXPECT_TRUE(parent->actions().contains(a)) << item.name << " in " << item.parent;
        }
    }
    EXPECT_EQ(w.window.action("NO_SUCH_ITEM"), nullptr);
}

TEST(QtWindowMenus, CheckMarksBelongToTheGame) {
    RecordingWindow w;
    MainWindow& window = w.window;
    window.set_menu_checked("SIDOU", true);
    EXPECT_TRUE(window.menu_checked("SIDOU"));
    EXPECT_TRUE(window.action("SIDOU")->isChecked());
    // Choosing the item tells the game and leaves the mark for the game to change.
    window.action("SIDOU")->trigger();
    EXPECT_EQ(w.menus, std::vector<std::string>{"SIDOU"});
    EXPECT_TRUE(window.menu_checked("SIDOU"));
    window.set_menu_checked("SIDOU", false);
    EXPECT_FALSE(window.menu_checked("SIDOU"));
    window.action("KEIKA")->trigger();
    EXPECT_FALSE(window.menu_checked("KEIKA"));
    // A command in the bar itself can carry a mark too.
    window.set_menu_checked("VER", true);
    EXPECT_TRUE(window.menu_checked("VER"));
    EXPECT_FALSE(window.menu_checked("NO_SUCH_ITEM"));
}

TEST(QtWindowMenus, EnabledStateAndCaptionByName) {
    RecordingWindow w;
    MainWindow& window = w.window;
    window.set_menu_enabled("REPLAY", false);
    EXPECT_FALSE(window.action("REPLAY")->isEnabled());
    window.set_menu_enabled("REPLAY", true);
    EXPECT_TRUE(window.action("REPLAY")->isEnabled());
    window.set_menu_caption("LEVEL2", "LEVEL2 ✓");
    EXPECT_EQ(window.action("LEVEL2")->text().toStdString(), "LEVEL2 ✓");
    // An ampersand is shown as itself, not taken as an accelerator mark.
    window.set_menu_caption("LEVEL1", "A&B");
    EXPECT_EQ(window.action("LEVEL1")->text(), QStringLiteral("A&&B"));
    // A disabled item does not reach the game.
    window.set_menu_enabled("AFTER", false);
    window.action("AFTER")->trigger();
    EXPECT_TRUE(w.menus.empty());
}

TEST(QtWindowMenus, OpeningAMenuIsACommand) {
    RecordingWindow w;
    w.window.show();
    for (const char* name : {"TAIKYOKU", "STOP", "OPTION"}) {
        QMenu* m = w.window.submenu(name);
        ASSERT_NE(m, nullptr) << name;
        m->popup(QPoint(10, 10));
        QCoreApplication::processEvents();
        m->hide();
    }
    EXPECT_EQ(w.menus, (std::vector<std::string>{"TAIKYOKU", "STOP", "OPTION"}));
}

TEST(QtWindowMessageBox, AnswersAndLooks) {
    struct Case {
        MsgButtons buttons;
        QMessageBox::StandardButton click;
        MsgAnswer want;
        MsgIcon icon;
    };
    const Case cases[] = {
        {MsgButtons::YesNo, QMessageBox::Yes, MsgAnswer::Yes, MsgIcon::None},
        {MsgButtons::YesNo, QMessageBox::No, MsgAnswer::No, MsgIcon::Exclamation},
        {MsgButtons::Ok, QMessageBox::Ok, MsgAnswer::Ok, MsgIcon::Exclamation},
    };
    RecordingWindow w;
    for (const Case& c : cases) {
        QString text, title;
        bool has_sign = false;
        bool has_yes = false, has_ok = false;
        test::when_message_box([&](QMessageBox& box) {
            text = box.text();
            title = box.windowTitle();
            has_sign = !box.iconPixmap().isNull();
            has_yes = box.button(QMessageBox::Yes) != nullptr;
            has_ok = box.button(QMessageBox::Ok) != nullptr;
            box.button(c.click)->click();
        });
        const MsgAnswer got = w.window.message_box("棋譜を '進 'で進めて下さい", "棋譜", c.icon, c.buttons);
        EXPECT_EQ(got, c.want);
        EXPECT_EQ(text.toStdString(), "棋譜を '進 'で進めて下さい");
        EXPECT_EQ(title.toStdString(), "棋譜");
        EXPECT_EQ(has_sign, c.icon == MsgIcon::Exclamation) << "the warning sign, and only with the exclamation icon";
        EXPECT_EQ(has_yes, c.buttons == MsgButtons::YesNo);
        EXPECT_EQ(has_ok, c.buttons == MsgButtons::Ok);
    }
}

// The boxes' buttons speak Japanese once Qt's own translation is installed,
// as the program installs it at start.
TEST(QtWindowMessageBox, ButtonsReadHaiIieAndOkInJapanese) {
    const QString file = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm");
    if (!QFile::exists(file)) GTEST_SKIP() << file.toStdString() << " is not installed";
    QTranslator* translator = install_qt_translation();
    ASSERT_NE(translator, nullptr);
    RecordingWindow w;
    QStringList yes_no, ok;
    test::when_message_box([&](QMessageBox& box) {
        yes_no << box.button(QMessageBox::Yes)->text() << box.button(QMessageBox::No)->text();
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(w.window.message_box("棋譜を '進 'で進めて下さい", "棋譜", MsgIcon::None, MsgButtons::YesNo), MsgAnswer::No);
    test::when_message_box([&](QMessageBox& box) {
        ok << box.button(QMessageBox::Ok)->text();
        box.button(QMessageBox::Ok)->click();
    });
    w.window.message_box("終わり", "進む", MsgIcon::None, MsgButtons::Ok);
    QCoreApplication::removeTranslator(translator);
    delete translator;
    ASSERT_EQ(yes_no.size(), 2);
    EXPECT_TRUE(yes_no[0].startsWith(QStringLiteral("はい"))) << yes_no[0].toStdString();
    EXPECT_TRUE(yes_no[1].startsWith(QStringLiteral("いいえ"))) << yes_no[1].toStdString();
    EXPECT_EQ(ok, QStringList{QStringLiteral("OK")});
}

TEST(QtWindowMessageBox, CarriageReturnsBreakLines) {
    RecordingWindow w;
    QString text;
    test::when_message_box([&](QMessageBox& box) {
        text = box.text();
        box.button(QMessageBox::Ok)->click();
    });
    w.window.message_box("Zemtori\r\rHome page\r\nend", " ", MsgIcon::None, MsgButtons::Ok);
    EXPECT_EQ(text.toStdString(), "Zemtori\n\nHome page\nend");
}

// A style that puts icons on dialog buttons, as desktop themes do.
struct ButtonsWithIcons : QProxyStyle {
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 1;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

int descendants(const QObject* o) {
    int n = 0;
    for (const QObject* c : o->children()) n += 1 + descendants(c);
    return n;
}

// Bytes the allocator has handed out and not had back.
size_t heap_in_use() { return mallinfo2().uordblks; }

TEST(QtWindowMessageBox, ManyBoxesLeaveNothingBehind) {
    const QString app_style = QApplication::style()->name();
    QApplication::setStyle(new ButtonsWithIcons);
    RecordingWindow w;
    w.window.show();
    // One answering timer for every box, so that the test itself allocates
    // nothing per box.
    bool had_icons = true;
    QTimer answer;
    answer.setInterval(1);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        box->grab();  // painted as a player would see it, icons included
        const QList<QAbstractButton*> buttons = box->buttons();
        had_icons = had_icons && !buttons.isEmpty() && !buttons.front()->icon().isNull();
        box->button(box->standardButtons() & QMessageBox::No ? QMessageBox::No : QMessageBox::Ok)->click();
    });
    answer.start();
    auto show_boxes = [&](int n) {
        for (int i = 0; i < n; ++i) {
            if (i % 2) w.window.message_box("「対局」で始めて下さい", "開始", MsgIcon::None, MsgButtons::Ok);
            else w.window.message_box("棋譜を '進 'で進めて下さい", "棋譜", MsgIcon::Exclamation, MsgButtons::YesNo);
        }
    };
    // The first few hundred boxes fill the fonts, the style's own caches and
    // the allocator's free lists.  After them a box that leaves something
    // behind grows the heap by the same amount in every round, while what
    // the allocator and Qt's queues do on a busy machine (a list doubling
    // its room, a free block split) lands in one round now and then: the
    // median round is the box's own share.
    show_boxes(300);
    const int children = descendants(&w.window);
    constexpr int ROUNDS = 7, BOXES = 60;
    std::vector<long> growth;
    for (int round = 0; round < ROUNDS; ++round) {
        const size_t heap = heap_in_use();
        show_boxes(BOXES);
        growth.push_back(static_cast<long>(heap_in_use()) - static_cast<long>(heap));
    }
    EXPECT_EQ(descendants(&w.window), children);
    std::vector<long> sorted = growth;
    std::sort(sorted.begin(), sorted.end());
    std::string rounds;
    for (const long g : growth) rounds += std::to_string(g) + " ";
    // A busy machine's median round was measured at up to 13 bytes a box;
    // the icons the style made anew for each box kept about 1.2 KB a box.
    EXPECT_LT(sorted[ROUNDS / 2], BOXES * 200) << "bytes kept per round of " << BOXES << " boxes: " << rounds;
    EXPECT_TRUE(had_icons) << "the buttons carried icons, as on a desktop";
    QApplication::setStyle(app_style);
}

TEST(QtWindowInput, MousePressOnABoardCellGivesButtonAndTwips) {
    const std::pair<Qt::MouseButton, int> buttons[] = {
        {Qt::LeftButton, 1}, {Qt::RightButton, 2}, {Qt::MiddleButton, 4}};
    RecordingWindow w;
    Canvas* canvas = w.window.canvas();
    // The middle of board cell (column 3, row 5), in canvas pixels.
    const int px = to_pixels(grid_x(3.5)), py = to_pixels(grid_y(5.5));
    for (const auto& [qt_button, want] : buttons) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(px, py), canvas->mapToGlobal(QPointF(px, py)),
                          qt_button, qt_button, Qt::NoModifier);
        QCoreApplication::sendEvent(canvas, &press);
        ASSERT_FALSE(w.presses.empty());
        const auto [button, x, y] = w.presses.back();
        EXPECT_EQ(button, want);
        EXPECT_DOUBLE_EQ(x, px * 15.0);
        EXPECT_DOUBLE_EQ(y, py * 15.0);
        EXPECT_EQ(cell_column(x), 3);
        EXPECT_EQ(cell_row(y), 5);
    }
    EXPECT_EQ(w.presses.size(), 3u);
}

TEST(QtWindowInput, EscapeClosingAndEnd) {
    RecordingWindow w;
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(&w.window, &other);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&w.window, &esc);
    EXPECT_EQ(w.keys, std::vector<int>{27});

    QCloseEvent close;
    QCoreApplication::sendEvent(&w.window, &close);
    EXPECT_EQ(w.closings, 1);
    EXPECT_TRUE(close.isAccepted());

    EXPECT_FALSE(w.window.ended());
    w.window.end_program();
    EXPECT_EQ(w.ends, 1);
    EXPECT_TRUE(w.window.ended());
    // Once ended, the closing window does not call the game again.
    QCloseEvent again;
    QCoreApplication::sendEvent(&w.window, &again);
    EXPECT_EQ(w.closings, 1);
}

TEST(QtWindowTime, Timer1TicksOnlyWhileEnabled) {
    RecordingWindow w;
    EXPECT_FALSE(w.window.timer1_enabled());
    w.window.set_timer1(true);
    EXPECT_TRUE(w.window.timer1_enabled());
    QEventLoop loop;
    QElapsedTimer guard;
    guard.start();
    while (w.ticks < 2 && guard.elapsed() < 5000) loop.processEvents(QEventLoop::WaitForMoreEvents, 100);
    EXPECT_GE(w.ticks, 2);
    w.window.set_timer1(false);
    EXPECT_FALSE(w.window.timer1_enabled());
    const int ticks = w.ticks;
    w.window.sleep(0.12);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.ticks, ticks);
}

}  // namespace
}  // namespace zemtori
