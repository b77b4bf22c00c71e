// The review's window: a chart of the score after every move, from the
// lower side's view, with the marked moves drawn on it, and the list of the
// moves beside it; while the review runs, a small panel over the game's
// window with its progress and a button that stops it.  The window is not
// modal: the game goes on beside it.  Choosing a point of the chart or a row
// of the list tells the game which move was chosen.  The game reaches it
// through ReviewWindowOnDemand, which makes it the first time it is needed.
#pragma once

#include <QObject>
#include <QWidget>

#include <functional>

#include "review/review_view.h"

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QProgressBar;
class QPushButton;
class QScatterSeries;
class QTableWidget;
class QValueAxis;

namespace zemtori {

class ReviewWindow : public QWidget, public review::ReviewView {
    Q_OBJECT
public:
    // A window of its own, above `owner` (the game's window).
    explicit ReviewWindow(QWidget* owner);

    // A move (1, 2, …) was chosen on the chart or in the list.
    std::function<void(int move)> on_chosen;

    // ReviewView
    void review_progress(int done, int total) override;
    bool review_stop_requested() override { return stop_requested_; }
    void show_review(const review::Review& review) override;
    void close_review() override;

    // Inside views, for tests.
    QWidget* progress_panel() const { return progress_panel_; }
    QProgressBar* progress_bar() const { return progress_bar_; }
    QPushButton* stop_button() const { return stop_button_; }
    QChartView* chart_view() const { return chart_view_; }
    QTableWidget* list() const { return list_; }
    QLineSeries* score_line() const { return line_; }
    // The marks on the chart: the 悪手 and the 疑問手.
    QScatterSeries* blunders() const { return blunders_; }
    QScatterSeries* dubious() const { return dubious_; }
    QValueAxis* move_axis() const { return move_axis_; }

private:
    void make_chart();
    void choose(int move);

    QWidget* progress_panel_ = nullptr;
    QLabel* progress_text_ = nullptr;
    QProgressBar* progress_bar_ = nullptr;
    QPushButton* stop_button_ = nullptr;
    bool stop_requested_ = false;

    QChartView* chart_view_ = nullptr;
    QChart* chart_ = nullptr;
    QLineSeries* line_ = nullptr;
    QScatterSeries* blunders_ = nullptr;
    QScatterSeries* dubious_ = nullptr;
    QValueAxis* move_axis_ = nullptr;
    QTableWidget* list_ = nullptr;
    int moves_ = 0;
};

// The review's window as the game sees it, made when the game first shows a
// review's progress or a review: a game that is never reviewed never builds
// it.  It lives as long as `owner`, the game's window, whose child it is.
class ReviewWindowOnDemand : public QObject, public review::ReviewView {
    Q_OBJECT
public:
    explicit ReviewWindowOnDemand(QWidget* owner);

    // Passed on to the window, made or not.
    std::function<void(int move)> on_chosen;
    // The window, or nullptr while it is not needed yet.
    ReviewWindow* window() const { return window_; }

    // ReviewView: a stop or a close before the window is made concerns
    // nothing shown.
    void review_progress(int done, int total) override { made()->review_progress(done, total); }
    bool review_stop_requested() override { return window_ && window_->review_stop_requested(); }
    void show_review(const review::Review& review) override { made()->show_review(review); }
    void close_review() override {
        if (window_) window_->close_review();
    }

private:
    ReviewWindow* made();

    QWidget* owner_;
    ReviewWindow* window_ = nullptr;
};

}  // namespace zemtori
