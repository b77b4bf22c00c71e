// 棋譜 › 解析 in the real window: a record read from a file is reviewed while
// the window paints, the chart and the list show every move with the planted
// blunder marked, choosing it steps the record and frames the better move,
// and the stop button answers at once.
#include <gtest/gtest.h>

#include <QChartView>
#include <QCoreApplication>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QValueAxis>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "../review/planted_game.h"
#include "app/game_wiring.h"
#include "play/game.h"
#include "port/geometry.h"
#include "qt/canvas.h"
#include "qt/main_window.h"
#include "qt/review_window.h"
#include "record/record_file.h"
#include "rules/board.h"
#include "sound/effects.h"
#include "looking_window.h"
#include "qt_test_support.h"

namespace zemtori {
namespace {

namespace fs = std::filesystem;

using test::LookingWindow;
using test::PaintWatch;

class ReviewInWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window.end_hook = [this] { ++ends; };
        ASSERT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
        connect_game(window, game);
        game.load();
        window.show();
        on_demand = window.findChild<ReviewWindowOnDemand*>();
        ASSERT_NE(on_demand, nullptr);
        EXPECT_EQ(on_demand->window(), nullptr) << "made when a review first needs it";
        game.review_limits = searcher::Limits{0, 20000, 0};
    }
    void TearDown() override {
        window.look = nullptr;
        disconnect_game(window);
    }

    // The planted game written to a file and read back as 読込 reads it.
    void read_planted() {
        planted = test::planted_rook_blunder();
        ASSERT_GT(planted.blunder, 0);
        const fs::path dir = fs::temp_directory_path() / ("zemtori-review-window-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        const std::string path = (dir / "planted.棋譜").string();
        std::string bytes, reason;
        int bad_line = 0;
        ASSERT_TRUE(format_record_file(planted.file, bytes, bad_line));
        ASSERT_TRUE(write_file_atomically(path, bytes, reason)) << reason;
        ASSERT_EQ(read_record_bytes(path, bytes, reason), ReadFailure::None) << reason;
        fs::remove_all(dir);
        GameSetup::load_record(game, parse_record_file(bytes));
    }

    // The middle of the top edge of grid cell `cell`, where its frame runs.
    QRgb frame_pixel(Cell cell) const {
        return test::canvas_pixel(window.canvas_image(), to_pixels(grid_x(cell.c + 0.5)), to_pixels(grid_y(cell.r)));
    }

    LookingWindow window{menu_entries()};
    SoundEffects sound{window, ZEMTORI_TEST_DATA_DIR};
    Game game{window, sound};
    test::OkToEveryBox boxes;
    ReviewWindowOnDemand* on_demand = nullptr;
    // The review's window, once made.
    ReviewWindow* review() const { return on_demand->window(); }
    test::PlantedGame planted;
    int ends = 0;
};

TEST_F(ReviewInWindow, ARecordFromAFileIsChartedListedAndItsBlunderSteppedTo) {
    read_planted();
    const int moves = static_cast<int>(planted.file.entries.size());
    window.action("KAISEKI")->trigger();

    // The progress ends at the last position, and its panel goes.
    EXPECT_EQ(review()->progress_bar()->maximum(), moves + 1);
    EXPECT_EQ(review()->progress_bar()->value(), moves + 1);
    EXPECT_FALSE(review()->progress_panel()->isVisible());
    ASSERT_TRUE(review()->isVisible());
    ASSERT_EQ(review()->list()->rowCount(), moves);
    EXPECT_EQ(review()->score_line()->count(), moves + 1) << "the first position and one point a move";
    EXPECT_EQ(review()->list()->item(planted.blunder - 1, 3)->text(), QStringLiteral("悪手"));

    // The blunder's point on the chart, clicked where it is drawn.
    const QList<QPointF> marks = review()->blunders()->points();
    const auto mark = std::find_if(marks.begin(), marks.end(),
                                   [this](const QPointF& p) { return std::lround(p.x()) == planted.blunder; });
    ASSERT_NE(mark, marks.end()) << "the planted blunder is marked on the chart";
    QChartView* view = review()->chart_view();
    QTest::qWait(10);
    const QPointF scene = view->chart()->mapToPosition(*mark, review()->blunders());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(scene));

    const auto& v = game.view();
    EXPECT_EQ(v.kifu.kifu_tesu(), planted.blunder - 1) << "the position the blunder was made in";
    ASSERT_TRUE(v.hint.has_value()) << "the better move is framed";
    const review::MoveReview better = game.shown_review()->moves()[static_cast<std::size_t>(planted.blunder - 1)];
    EXPECT_EQ(v.hint->to_x, better.best.to_x);
    EXPECT_EQ(v.hint->to_y, better.best.to_y);
    EXPECT_EQ(frame_pixel(square_cell(better.best.to_x, better.best.to_y)), test::palette_rgb(MIZUIRO));
    EXPECT_EQ(frame_pixel(source_cell(better.best.from_x, better.best.from_y)), test::palette_rgb(MIZUIRO));
    Position on_board = v.pos;
    Position want;
    v.kifu.restore(planted.blunder - 1, want);
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) ASSERT_EQ(on_board.BAN[x][y], want.BAN[x][y]);

    // A row of the list steps there too: the first move, made in the
    // settled opening, which a file does not hold.
    QTableWidget* list = review()->list();
    const QRect row = list->visualItemRect(list->item(0, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(v.kifu.kifu_tesu(), 0);
    Position opening;
    shoki_haichi(opening);
    rakka(opening, nullptr);
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) EXPECT_EQ(v.pos.BAN[x][y], opening.BAN[x][y]) << x << ',' << y;

    // A new game closes the review.
    window.action("CANCEL")->trigger();
    EXPECT_FALSE(review()->isVisible());
    EXPECT_EQ(ends, 0);
}

// A review whose first position is searched until told: the window paints
// meanwhile, the progress panel shows position 0 of all, and the stop button
// ends the review at the next look the game takes, with what was done shown.
TEST_F(ReviewInWindow, TheWindowPaintsWhileItRunsAndStoppingAnswersAtOnce) {
    read_planted();
    game.review_limits = searcher::Limits{0, 0, 0};  // each position until told
    PaintWatch watch(window.canvas(), game);
    int looks_after_stop = 0;
    bool stopped = false;
    window.look = [&] {
        if (!game.reviewing()) return;
        if (stopped) {
            if (++looks_after_stop > 100) window.close();  // a stop that does not answer ends the test
            return;
        }
        if (watch.paints_while_thinking == 0) {
            window.canvas()->update();  // something uncovers the window
            return;
        }
        EXPECT_TRUE(review()->progress_panel()->isVisible());
        EXPECT_EQ(review()->progress_bar()->value(), 0);
        EXPECT_EQ(review()->progress_bar()->maximum(), static_cast<int>(planted.file.entries.size()) + 1);
        QTest::mouseClick(review()->stop_button(), Qt::LeftButton);
        stopped = true;
    };
    window.action("KAISEKI")->trigger();
    EXPECT_GE(watch.paints_while_thinking, 1);
    EXPECT_TRUE(stopped);
    EXPECT_LE(looks_after_stop, 1);
    EXPECT_FALSE(game.reviewing());
    EXPECT_EQ(ends, 0);
    ASSERT_TRUE(game.shown_review().has_value());
    EXPECT_EQ(game.shown_review()->done(), 0) << "the position being searched is not kept";
    EXPECT_TRUE(review()->isVisible());
    EXPECT_EQ(review()->list()->rowCount(), 0);
}

// Without a move to review the command is refused and nothing opens.
TEST_F(ReviewInWindow, ARecordOfOnePositionIsRefused) {
    window.action("KAISEKI")->trigger();
    EXPECT_EQ(review(), nullptr) << "nothing made, nothing shown";
    EXPECT_FALSE(game.shown_review().has_value());
    // A new game closes a review there is none of.
    window.action("CANCEL")->trigger();
    EXPECT_EQ(review(), nullptr);
}

// The progress panel opens over the middle of the game's window, wherever
// that window stands.
TEST_F(ReviewInWindow, TheProgressPanelOpensOverTheMiddleOfTheGamesWindow) {
    read_planted();
    window.move(260, 140);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window.frameGeometry().topLeft() == QPoint(260, 140); }, 10000));
    game.review_limits = searcher::Limits{0, 0, 0};  // each position until told
    QRect panel, game_window;
    window.look = [&] {
        if (!game.reviewing() || !panel.isNull()) return;
        ASSERT_NE(review(), nullptr);
        ASSERT_TRUE(review()->progress_panel()->isVisible());
        panel = review()->progress_panel()->frameGeometry();
        game_window = window.frameGeometry();
        review()->stop_button()->click();
    };
    window.action("KAISEKI")->trigger();
    ASSERT_FALSE(panel.isNull());
    EXPECT_LE((panel.center() - game_window.center()).manhattanLength(), 2)
        << "panel centre " << panel.center().x() << "," << panel.center().y() << ", window centre "
        << game_window.center().x() << "," << game_window.center().y();
    EXPECT_TRUE(game_window.contains(panel));
    EXPECT_EQ(ends, 0);
}

// A review of a record of `moves` moves in which every position is decided
// without a search: what the chart shows of a game that long.
review::Review review_of(int moves) {
    review::Record record;
    record.entries.resize(static_cast<std::size_t>(moves) + 1);
    record.moves.resize(static_cast<std::size_t>(moves) + 1);
    review::Review review(record);
    while (!review.finished()) review.add(std::nullopt);
    return review;
}

// Where the axis puts its labels, read from its own settings: spread evenly
// over the range, or from the anchor at every interval.
std::vector<double> label_positions(const QValueAxis& axis) {
    std::vector<double> at;
    if (axis.tickType() == QValueAxis::TicksFixed) {
        for (int i = 0; i < axis.tickCount(); ++i)
            at.push_back(axis.min() + i * (axis.max() - axis.min()) / (axis.tickCount() - 1));
        return at;
    }
    const double step = axis.tickInterval();
    double first = axis.tickAnchor() + std::ceil((axis.min() - axis.tickAnchor()) / step) * step;
    for (double v = first; v <= axis.max() + 1e-9; v += step) at.push_back(v);
    return at;
}

// Every label of the move axis stands on the move it names (a label "5" at
// 5.5 made each point look a move early), for a short game and long ones,
// with a readable number of labels.
TEST(ReviewChart, EveryLabelOfTheMoveAxisStandsAtItsMove) {
    QWidget owner;
    ReviewWindow window(&owner);
    for (const int moves : {11, 1, 7, 60, 150, 300}) {
        window.show_review(review_of(moves));
        QValueAxis* axis = window.move_axis();
        ASSERT_NE(axis, nullptr);
        EXPECT_EQ(axis->min(), 0) << moves;
        EXPECT_EQ(axis->max(), moves) << moves;
        EXPECT_EQ(window.score_line()->count(), moves + 1) << moves;
        const std::vector<double> at = label_positions(*axis);
        ASSERT_GE(at.size(), 2u) << moves;
        EXPECT_LE(at.size(), 13u) << moves;
        EXPECT_EQ(at.front(), 0) << moves;
        for (const double v : at) EXPECT_EQ(v, std::round(v)) << moves << " moves: a label at " << v;
        // The last label no more than one step short of the last move.
        EXPECT_GT(at.back() + (at[1] - at[0]), moves) << moves;
    }
}

}  // namespace
}  // namespace zemtori
