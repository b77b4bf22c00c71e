// The real window made larger than its first size, and pieces dragged in it:
// the picture grows with the canvas and is drawn again at its scale (every
// piece exactly as the art generator draws it at that scale), a click lands
// on the cell shown under it, and a drag makes the move two clicks make.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QMouseEvent>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/game_wiring.h"
#include "art/art.h"
#include "art/picture_names.h"
#include "port/geometry.h"
#include "qt/canvas.h"
#include "qt/main_window.h"
#include "qt/record_controls.h"
#include "qt/scaled_view.h"
#include "play/game.h"
#include "recording_sound.h"
#include "qt_test_support.h"

namespace zemtori {
namespace {

constexpr int WAIT_MS = 60000;

// Holds the worker inside a picture until it is told to stop (or, should it
// never be, for a minute, so that a fault fails the test instead of hanging it).
void hold_until_stopped(const ScaledView& view) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!view.stop_requested() && std::chrono::steady_clock::now() < give_up) std::this_thread::yield();
}

// A plain picture of the right size for `code` at scale `d`.
QImage plain_picture(int code, double d) {
    QImage image(art::device_pixels(picture_width(code), d), art::device_pixels(picture_height(code), d),
                 QImage::Format_RGB32);
    image.fill(Qt::darkYellow);
    return image;
}

void send_mouse(QWidget* canvas, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, at, canvas->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &e);
}

class ScaledWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window.end_hook = [] {};
        ASSERT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
        connect_game(window, game);
        game.load();
        window.show();
        window.place_on_screen();
        ASSERT_TRUE(QTest::qWaitFor([this] { return window.placed() && canvas()->size() == canvas()->base_size(); },
                                    WAIT_MS));
    }
    void TearDown() override { disconnect_game(window); }

    Canvas* canvas() const { return window.canvas(); }

    // The window made `k` times its first size (the menu bar keeps its
    // height), and waited for until its picture is drawn at that scale.
    void scale_window(double k) {
        const QSize base = canvas()->base_size();
        const int bar = window.height() - canvas()->height();
        window.resize(static_cast<int>(std::ceil(base.width() * k)), static_cast<int>(std::ceil(base.height() * k)) + bar);
        ASSERT_TRUE(QTest::qWaitFor([this, k] { return canvas()->view_scale() == k && canvas()->sharp(); }, WAIT_MS))
            << "scale " << canvas()->view_scale();
    }

    void start_between_people() {
        test::when_message_box([](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
        window.action("START")->trigger();
    }

    // The middle of grid cell (c, r) as shown, in the canvas's coordinates.
    QPointF cell_centre(int c, int r) const { return shown_cell(c, r).center(); }
    QRectF shown_cell(int c, int r) const {
        const int left = to_pixels(grid_x(c)), top = to_pixels(grid_y(r));
        return canvas()->shown_rect(QRect(left, top, to_pixels(grid_x(c + 1)) - left, to_pixels(grid_y(r + 1)) - top));
    }
    QPointF square_centre(int x, int y) const { return cell_centre(y, x); }

    test::RecordingSound sound;
    MainWindow window{menu_entries(), nullptr, 1.0};
    Game game{window, sound};
};

TEST_F(ScaledWindow, FirstSizeIsTheSmallestAndShowsThePictureAsItWasDrawn) {
    const QSize frame = window.frameGeometry().size() - window.geometry().size();
    EXPECT_EQ(window.minimumSize() + frame, QSize(WINDOW_WIDTH / TWIPS_PER_PIXEL, WINDOW_HEIGHT / TWIPS_PER_PIXEL));
    EXPECT_EQ(canvas()->view_scale(), 1.0);
    const QImage shown = canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage drawn = window.canvas_image().copy(QRect(QPoint(0, 0), shown.size()));
    EXPECT_TRUE(shown == drawn) << "the first size shows the canvas image pixel for pixel";
    // A window made a little larger, but less than a step of the scale,
    // shows the same picture.
    window.resize(window.size() + QSize(5, 5));
    ASSERT_TRUE(QTest::qWaitFor([this] { return canvas()->width() == canvas()->base_size().width() + 5; }, WAIT_MS));
    EXPECT_EQ(canvas()->view_scale(), 1.0);
}

// Everything the game drew, kept (what later pictures hid forgotten) and
// drawn again at scale 1 with the generator's pictures, is the canvas image.
TEST_F(ScaledWindow, WhatIsKeptDrawsTheSamePictureAgain) {
    start_between_people();
    test::press_board_square(canvas(), 5, 7);
    test::press_board_square(canvas(), 5, 6);
    ASSERT_EQ(game.view().kifu.tesu(), 1);
    for (int i = 0; i < 5; ++i) game.gamen_hyouji();
    // Five full redraws are several thousand drawings; what the last one
    // hid is forgotten.
    canvas()->scaled().forget_hidden();
    EXPECT_LT(canvas()->scaled().kept(), 1500u);
    const QImage again = canvas()->scaled().render(ScaledPictures::draw(1.0));
    const QImage drawn = window.canvas_image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(again.size(), drawn.size());
    int differ = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) differ += again.pixel(x, y) != drawn.pixel(x, y);
    EXPECT_EQ(differ, 0);
}

// Drawn again at twice its size, the picture is the one a high-density
// screen's canvas holds, text and outlines included: the glyphs are drawn at
// the scale, not stretched.
TEST(ScaledPicture, AtTwiceItsSizeIsTheHighDensityCanvasPixelForPixel) {
    test::RecordingSound sound1, sound2;
    MainWindow plain{menu_entries(), nullptr, 1.0}, dense{menu_entries(), nullptr, 2.0};
    Game on_plain{plain, sound1}, on_dense{dense, sound2};
    for (MainWindow* w : {&plain, &dense}) {
        w->end_hook = [] {};
        ASSERT_EQ(w->load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
    }
    for (Game* g : {&on_plain, &on_dense}) {
        g->load();
        g->menu("LEVEL2");  // the level's label, text beside the board
    }
    const QImage again = plain.canvas()->scaled().render(ScaledPictures::draw(2.0));
    const QImage held = dense.canvas_image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(again.size(), held.size());
    int differ = 0;
    for (int y = 0; y < held.height(); ++y)
        for (int x = 0; x < held.width(); ++x) differ += again.pixel(x, y) != held.pixel(x, y);
    EXPECT_EQ(differ, 0);
}

class ScaledWindowAt : public ScaledWindow, public ::testing::WithParamInterface<double> {};

TEST_P(ScaledWindowAt, PiecesAreTheGeneratorsPicturesAtThatScaleAndClicksFindTheirCells) {
    const double k = GetParam();
    start_between_people();
    scale_window(k);
    const QImage shown = canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_GE(shown.width(), static_cast<int>(canvas()->base_size().width() * k) - 1);

    // Every board square shows its picture as drawn at this scale, device
    // pixel for device pixel, inside the frames.
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const QImage art = art::picture(game.view().pos.BAN[x][y], k).convertToFormat(QImage::Format_RGB32);
            const int left = to_pixels(grid_x(y)), top = to_pixels(grid_y(x));
            const int x0 = device_position(left, k), y0 = device_position(top, k);
            const int w = device_position(left + PIECE_W, k) - x0, h = device_position(top + PIECE_H, k) - y0;
            ASSERT_LE(w, art.width());
            ASSERT_LE(h, art.height());
            int differ = 0;
            for (int j = device_position(top + 1, k) - y0; j < h; ++j)
                for (int i = device_position(left + 1, k) - x0; i < w; ++i)
                    differ += shown.pixel(x0 + i, y0 + j) != art.pixel(i, j);
            EXPECT_EQ(differ, 0) << "square " << x << "," << y << " code " << game.view().pos.BAN[x][y];
        }
    // The frame between two cells is a line as thick as a pixel at this scale.
    const int edge = to_pixels(grid_x(5));
    for (int dx = device_position(edge, k); dx < device_position(edge + 1, k); ++dx)
        EXPECT_EQ(shown.pixel(dx, static_cast<int>(cell_centre(5, 5).y())), test::palette_rgb(MIDORI_IRO));

    // Across the board, every pixel of the widget belongs to the cell shown there.
    for (int c = -1; c <= 11; ++c) {
        const QRectF cell = shown_cell(c, 5);
        for (int px = static_cast<int>(cell.left()); px < static_cast<int>(cell.right()); ++px) {
            const QPoint pixel = canvas()->picture_pixel(QPointF(px + 0.5, cell.center().y()));
            ASSERT_EQ(cell_column(pixel.x() * TWIPS_PER_PIXEL), c) << "widget x " << px;
            ASSERT_EQ(cell_row(pixel.y() * TWIPS_PER_PIXEL), 5);
        }
    }
    // A click picks the piece shown under it, the next one moves it.
    send_mouse(canvas(), QEvent::MouseButtonPress, square_centre(9, 7), Qt::LeftButton, Qt::LeftButton);
    send_mouse(canvas(), QEvent::MouseButtonRelease, square_centre(9, 7), Qt::LeftButton, Qt::NoButton);
    ASSERT_TRUE(game.view().turn.SENTAKU);
    EXPECT_EQ(game.view().turn.SASHITE.from_x, 9);
    EXPECT_EQ(game.view().turn.SASHITE.from_y, 7);
    // The last pixel of square (9, 6) as shown, at its bottom-right corner.
    const QRectF to = shown_cell(6, 9);
    send_mouse(canvas(), QEvent::MouseButtonPress, QPointF(to.right() - 0.5, to.bottom() - 0.5), Qt::LeftButton,
               Qt::LeftButton);
    EXPECT_EQ(game.view().kifu.tesu(), 1);
    EXPECT_EQ(game.view().pos.BAN[9][6], -HU);
}

// A drag at this scale: the piece follows the pointer, the square it will
// come to rest on after falling is washed light, letting go moves it.
TEST_P(ScaledWindowAt, DragMovesThePieceWhereItWasLetGoAndShowsWhereItFalls) {
    const double k = GetParam();
    start_between_people();
    if (k != 1) scale_window(k);
    // The lower pawn (5, 7) to (5, 6): the column below is empty, so it
    // falls to the bottom, square (9, 6).
    send_mouse(canvas(), QEvent::MouseButtonPress, square_centre(5, 7), Qt::LeftButton, Qt::LeftButton);
    ASSERT_TRUE(game.view().turn.SENTAKU);
    EXPECT_FALSE(canvas()->dragging());
    const QImage before = canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    send_mouse(canvas(), QEvent::MouseMove, square_centre(5, 6), Qt::NoButton, Qt::LeftButton);
    ASSERT_TRUE(canvas()->dragging());
    EXPECT_EQ(canvas()->landing(), std::optional<QPoint>(QPoint(6, 9)));
    const QImage during = canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The landing square is washed light: each channel a little nearer white.
    const QPoint mark = square_centre(9, 6).toPoint() + QPoint(3, 3);
    const QColor was(before.pixel(mark)), now(during.pixel(mark));
    EXPECT_NEAR(now.red(), (was.red() * 145 + 255 * 110) / 255.0, 1.5);
    EXPECT_NEAR(now.green(), (was.green() * 145 + 255 * 110) / 255.0, 1.5);
    // The piece is drawn under the pointer.
    const QPoint pointer = square_centre(5, 6).toPoint();
    EXPECT_NE(before.pixel(pointer), during.pixel(pointer));
    EXPECT_EQ(game.view().kifu.tesu(), 0) << "nothing moves before the piece is let go";

    send_mouse(canvas(), QEvent::MouseButtonRelease, square_centre(5, 6), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(canvas()->dragging());
    EXPECT_EQ(game.view().kifu.tesu(), 1);
    EXPECT_EQ(game.view().pos.BAN[9][6], -HU);
    EXPECT_EQ(game.view().pos.BAN[5][7], -HU) << "the pawns above fell into the gap";
    EXPECT_EQ(sound.count(test::KINSHI_WAV), 0);
}

// On a high-density screen (device pixel ratio 2) a window 1.5 times its
// first size is drawn at device scale 3, and a point still finds its cell.
TEST(ScaledHighDensityWindow, PiecesAreDrawnAtTheScreensRatioTimesTheWindowsScale) {
    test::RecordingSound sound;
    MainWindow window{menu_entries(), nullptr, 2.0};
    Game game{window, sound};
    window.end_hook = [] {};
    ASSERT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
    connect_game(window, game);
    game.load();
    window.show();
    Canvas* canvas = window.canvas();
    const int bar = window.height() - canvas->height();
    canvas->set_base_size(QSize(400, 250));
    window.resize(600, 375 + bar);
    ASSERT_TRUE(QTest::qWaitFor([canvas] { return canvas->view_scale() == 1.5 && canvas->sharp(); }, WAIT_MS));
    const QImage* image = canvas->scaled().image();
    ASSERT_NE(image, nullptr);
    constexpr double D = 3;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const QImage art = art::picture(game.view().pos.BAN[x][y], D).convertToFormat(QImage::Format_RGB32);
            const int left = to_pixels(grid_x(y)), top = to_pixels(grid_y(x));
            const int x0 = device_position(left, D), y0 = device_position(top, D);
            int differ = 0;
            for (int j = 3; j < PIECE_H * 3; ++j)
                for (int i = 3; i < PIECE_W * 3; ++i) differ += image->pixel(x0 + i, y0 + j) != art.pixel(i, j);
            EXPECT_EQ(differ, 0) << "square " << x << "," << y;
            const QPointF middle = canvas->shown_rect(QRect(left, top, PIECE_W, PIECE_H)).center();
            const QPoint pixel = canvas->picture_pixel(middle);
            EXPECT_EQ(cell_column(pixel.x() * TWIPS_PER_PIXEL), y);
            EXPECT_EQ(cell_row(pixel.y() * TWIPS_PER_PIXEL), x);
        }
    disconnect_game(window);
}

// A window far larger than any screen (16000 x 10000) is drawn at the scale
// limit, not at twenty times its first size, and closing it while the worker
// draws that scale's pictures stops the worker after the picture it is on.
TEST(ScaledWindowLimit, AHugeWindowIsDrawnAtTheLimitAndClosesBetweenTwoPictures) {
    auto window = std::make_unique<MainWindow>(menu_entries(), nullptr, 1.0);
    window->end_hook = [] {};
    ASSERT_EQ(window->load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
    window->show();
    window->place_on_screen();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->placed(); }, WAIT_MS));
    Canvas* canvas = window->canvas();
    ScaledView& view = canvas->scaled();
    view.debounce_ms = 0;
    std::mutex mutex;
    std::vector<double> asked;  // the scale of each picture the worker drew
    view.make_picture = [&](int code, double d) {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            asked.push_back(d);
        }
        hold_until_stopped(view);
        return plain_picture(code, d);
    };
    window->resize(16000, 10000);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const std::lock_guard<std::mutex> lock(mutex);
            return !asked.empty();
        },
        WAIT_MS));
    const double limit = canvas->scale_limit();
    EXPECT_EQ(limit, 4) << "the offscreen screen is smaller than four times the first size";
    EXPECT_GT(16000.0 / canvas->base_size().width(), 20) << "the window itself asks for more";
    EXPECT_EQ(canvas->view_scale(), limit);
    EXPECT_EQ(view.scale(), limit);
    window.reset();
    const std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(asked, std::vector<double>{limit}) << "one picture, at the limit, and no more once the window went";
}

// The scale changes while the worker draws: the set under way stops after
// its picture and the scale asked for now is drawn and shown.
TEST(ScaledViewWorker, AnotherScaleStopsTheSetUnderWay) {
    ScaledView view(QSize(TILE_W * 3, TILE_H * 2));
    view.debounce_ms = 0;
    view.picture(2, QPoint(0, 0), QSize(TILE_W, TILE_H));
    std::atomic<int> at_three{0}, at_two{0};
    view.make_picture = [&](int code, double d) {
        if (d == 3) {
            ++at_three;
            hold_until_stopped(view);
        } else {
            ++at_two;
        }
        return plain_picture(code, d);
    };
    view.set_scale(3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return at_three > 0; }, WAIT_MS));
    EXPECT_EQ(view.drawing(), 3);
    view.set_scale(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.image() != nullptr; }, WAIT_MS));
    EXPECT_EQ(at_three, 1);
    EXPECT_EQ(at_two, static_cast<int>(PICTURE_CODES.size()));
    EXPECT_EQ(view.last_scale(), 2);
    EXPECT_EQ(view.image()->size(), QSize(TILE_W * 6, TILE_H * 4));
    EXPECT_EQ(view.image()->pixel(5, 5), QColor(Qt::darkYellow).rgb()) << "the tile drawn at 2";
    EXPECT_EQ(view.drawing(), 0);
}

INSTANTIATE_TEST_SUITE_P(Scale, ScaledWindowAt, ::testing::Values(1.0, 1.5, 2.25),
                         [](const auto& info) { return "x" + std::to_string(static_cast<int>(info.param * 100)); });

TEST_F(ScaledWindow, ARefusedDragPutsThePieceBackAndAPressAndReleaseOnOneSquareIsAClick) {
    start_between_people();
    // The lower side's pawn (5, 7) let go on its own pawn (4, 7): no move,
    // the buzz, and nothing selected.
    send_mouse(canvas(), QEvent::MouseButtonPress, square_centre(5, 7), Qt::LeftButton, Qt::LeftButton);
    send_mouse(canvas(), QEvent::MouseMove, square_centre(4, 7), Qt::NoButton, Qt::LeftButton);
    ASSERT_TRUE(canvas()->dragging());
    EXPECT_EQ(canvas()->landing(), std::nullopt);
    send_mouse(canvas(), QEvent::MouseButtonRelease, square_centre(4, 7), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(sound.count(test::KINSHI_WAV), 1);
    EXPECT_FALSE(game.view().turn.SENTAKU);
    EXPECT_EQ(game.view().kifu.tesu(), 0);
    EXPECT_EQ(game.view().pos.BAN[5][7], -HU);
    EXPECT_EQ(game.view().pos.BAN[4][7], -HU);
    // Let go off the board, in the background: the same.
    send_mouse(canvas(), QEvent::MouseButtonPress, square_centre(5, 7), Qt::LeftButton, Qt::LeftButton);
    send_mouse(canvas(), QEvent::MouseMove, cell_centre(14, 5), Qt::NoButton, Qt::LeftButton);
    send_mouse(canvas(), QEvent::MouseButtonRelease, cell_centre(14, 5), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(sound.count(test::KINSHI_WAV), 2);
    EXPECT_FALSE(game.view().turn.SENTAKU);

    // Pressed, moved past a twitch but within its square, and let go there:
    // a click, which selects the pawn and nothing more.
    const QPointF centre = square_centre(5, 7);
    send_mouse(canvas(), QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
    send_mouse(canvas(), QEvent::MouseMove, centre + QPointF(12, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(canvas()->dragging());
    send_mouse(canvas(), QEvent::MouseButtonRelease, centre + QPointF(12, 0), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(canvas()->dragging());
    EXPECT_TRUE(game.view().turn.SENTAKU);
    EXPECT_EQ(game.view().turn.SASHITE.from_x, 5);
    EXPECT_EQ(game.view().turn.SASHITE.from_y, 7);
    EXPECT_EQ(sound.count(test::KINSHI_WAV), 2);
    EXPECT_EQ(game.view().kifu.tesu(), 0);
    // The next click moves it, as clicks always did.
    send_mouse(canvas(), QEvent::MouseButtonPress, square_centre(5, 6), Qt::LeftButton, Qt::LeftButton);
    send_mouse(canvas(), QEvent::MouseButtonRelease, square_centre(5, 6), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(game.view().kifu.tesu(), 1);
    EXPECT_EQ(game.view().pos.BAN[9][6], -HU);

    // The opponent's piece cannot be carried: the upper side moves now, so
    // the lower side's pawn is not lifted.
    send_mouse(canvas(), QEvent::MouseButtonPress, square_centre(4, 7), Qt::LeftButton, Qt::LeftButton);
    send_mouse(canvas(), QEvent::MouseMove, square_centre(4, 6), Qt::NoButton, Qt::LeftButton);
    EXPECT_FALSE(canvas()->dragging());
    send_mouse(canvas(), QEvent::MouseButtonRelease, square_centre(4, 6), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(game.view().kifu.tesu(), 1);
}

// The record-file controls grow with the picture: at 1.5 times the first
// size the RETURN button (at 224, 200, 57 x 25 pixels) and its text are 1.5
// times as large, and back at the first size as they were.
TEST_F(ScaledWindow, RecordControlsGrowWithThePicture) {
    RecordControls* made_before = window.record_controls();
    ASSERT_EQ(made_before->command1()->geometry(), QRect(224, 200, 57, 25));
    scale_window(1.5);
    EXPECT_EQ(made_before->command1()->geometry(), QRect(QPoint(336, 300), QPoint(422 - 1, 338 - 1)));
    EXPECT_EQ(made_before->command1()->font().pixelSize(), 18);
    EXPECT_EQ(made_before->text_field(RecordText::Text1)->font().pixelSize(), 18);
    window.resize(window.minimumSize());
    ASSERT_TRUE(QTest::qWaitFor([this] { return canvas()->view_scale() == 1; }, WAIT_MS));
    EXPECT_EQ(made_before->command1()->geometry(), QRect(224, 200, 57, 25));
    EXPECT_EQ(made_before->command1()->font().pixelSize(), 12);
}

// A drag with the right button reaches the game as the right button's click
// does, which promotes where a move may promote (the game's side of it is
// the play tests' drag game).
TEST_F(ScaledWindow, ARightButtonDragLetsGoWithTheRightButton) {
    start_between_people();
    std::vector<int> buttons;
    window.events.drag_drop = [&buttons](int button, double, double) { buttons.push_back(button); };
    send_mouse(canvas(), QEvent::MouseButtonPress, square_centre(9, 7), Qt::RightButton, Qt::RightButton);
    ASSERT_TRUE(game.view().turn.SENTAKU);
    send_mouse(canvas(), QEvent::MouseMove, square_centre(9, 6), Qt::NoButton, Qt::RightButton);
    // Another button let go meanwhile is not the drag's.
    send_mouse(canvas(), QEvent::MouseButtonRelease, square_centre(9, 6), Qt::LeftButton, Qt::RightButton);
    EXPECT_TRUE(canvas()->dragging());
    send_mouse(canvas(), QEvent::MouseButtonRelease, square_centre(9, 6), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(buttons, std::vector<int>{MIGI_BUTTON});
}

}  // namespace
}  // namespace zemtori
