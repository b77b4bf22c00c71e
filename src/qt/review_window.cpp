#include "qt/review_window.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QProgressBar>
#include <QScatterSeries>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>

#include <cmath>

#include "display/move_text.h"

namespace zemtori {

namespace {

QString qstr(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The move as the text beside the board writes it: column, row, piece.
QString move_words(const Sashite& m) {
    return qstr(moji_henkan(10 - m.to_y) + moji_henkan(1000 + m.to_x) + moji_henkan(m.koma));
}

// The move axis has at most this many steps between its labels.
constexpr int MOST_MOVE_STEPS = 12;

QString score_text(int score) {
    if (score >= searcher::WIN - 1000) return QStringLiteral("勝ち");
    if (score <= -searcher::WIN + 1000) return QStringLiteral("負け");
    return QString::number(score);
}

// The moves between two labels of the chart's move axis: 1, 2, 5, 10, 20,
// 50 … moves, the first that needs no more than MOST_MOVE_STEPS steps to
// reach the last move.  A whole number, so that every label stands at its move.
int move_tick_interval(int moves) {
    for (int power = 1;; power *= 10)
        for (const int k : {1, 2, 5})
            if (moves <= k * power * MOST_MOVE_STEPS) return k * power;
}

}  // namespace

ReviewWindowOnDemand::ReviewWindowOnDemand(QWidget* owner) : QObject(owner), owner_(owner) {}

ReviewWindow* ReviewWindowOnDemand::made() {
    if (!window_) {
        window_ = new ReviewWindow(owner_);
        window_->on_chosen = [this](int move) {
            if (on_chosen) on_chosen(move);
        };
    }
    return window_;
}

ReviewWindow::ReviewWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setWindowTitle(QStringLiteral("解析"));
    resize(900, 420);

    // The progress panel: a small window of its own above the game's.
    progress_panel_ = new QWidget(owner, Qt::Tool);
    progress_panel_->setWindowTitle(QStringLiteral("解析中"));
    auto* panel = new QHBoxLayout(progress_panel_);
    progress_text_ = new QLabel(progress_panel_);
    progress_bar_ = new QProgressBar(progress_panel_);
    stop_button_ = new QPushButton(QStringLiteral("中止"), progress_panel_);
    panel->addWidget(progress_text_);
    panel->addWidget(progress_bar_, 1);
    panel->addWidget(stop_button_);
    progress_panel_->resize(420, 60);
    connect(stop_button_, &QPushButton::clicked, this, [this] { stop_requested_ = true; });
}

void ReviewWindow::review_progress(int done, int total) {
    if (done == 0) stop_requested_ = false;
    progress_bar_->setRange(0, total);
    progress_bar_->setValue(done);
    progress_text_->setText(QStringLiteral("局面 %1 / %2").arg(done).arg(total));
    if (progress_panel_->isVisible()) return;
    // Over the middle of the game's window, where the player looks, not
    // wherever the window system would put it.
    if (const QWidget* owner = parentWidget()) {
        // Its frame, not known before it shows, taken to be as thick as the
        // game window's; a position given to a window is its frame's.
        const QSize frame = owner->frameGeometry().size() - owner->size();
        QRect panel(QPoint(0, 0), progress_panel_->size() + frame);
        panel.moveCenter(owner->frameGeometry().center());
        progress_panel_->move(panel.topLeft());
    }
    progress_panel_->show();
}

// Made on first use: a game that is never reviewed never loads the chart.
void ReviewWindow::make_chart() {
    chart_ = new QChart;
    chart_->legend()->hide();
    line_ = new QLineSeries(chart_);
    blunders_ = new QScatterSeries(chart_);
    blunders_->setName(QStringLiteral("悪手"));
    blunders_->setColor(QColor(220, 30, 30));
    blunders_->setMarkerSize(11);
    dubious_ = new QScatterSeries(chart_);
    dubious_->setName(QStringLiteral("疑問手"));
    dubious_->setColor(QColor(240, 160, 0));
    dubious_->setMarkerSize(9);
    chart_->addSeries(line_);
    chart_->addSeries(dubious_);
    chart_->addSeries(blunders_);
    // Ticks at whole moves from 0, each label at the move it names: ticks
    // spread evenly over the range would stand between moves, under
    // labels rounded to the move before.
    auto* x = new QValueAxis(chart_);
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(0);
    x->setMinorTickCount(0);
    x->setLabelFormat(QStringLiteral("%d"));
    x->setTitleText(QStringLiteral("手数"));
    move_axis_ = x;
    auto* y = new QValueAxis(chart_);
    y->setRange(-review::CHART_LIMIT, review::CHART_LIMIT);
    y->setLabelFormat(QStringLiteral("%d"));
    y->setTitleText(QStringLiteral("評価値（下手から）"));
    chart_->addAxis(x, Qt::AlignBottom);
    chart_->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(line_), static_cast<QAbstractSeries*>(dubious_),
                               static_cast<QAbstractSeries*>(blunders_)}) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
    const auto clicked = [this](const QPointF& p) { choose(static_cast<int>(std::lround(p.x()))); };
    connect(line_, &QLineSeries::clicked, this, clicked);
    connect(blunders_, &QScatterSeries::clicked, this, clicked);
    connect(dubious_, &QScatterSeries::clicked, this, clicked);

    chart_view_ = new QChartView(chart_, this);
    chart_view_->setRenderHint(QPainter::Antialiasing);
    list_ = new QTableWidget(0, 5, this);
    list_->setHorizontalHeaderLabels({QStringLiteral("手"), QStringLiteral("指し手"), QStringLiteral("評価値"),
                                      QStringLiteral("印"), QStringLiteral("最善手")});
    list_->verticalHeader()->hide();
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(list_, &QTableWidget::cellClicked, this, [this](int row, int) { choose(row + 1); });
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(chart_view_, 3);
    layout->addWidget(list_, 2);
}

void ReviewWindow::show_review(const review::Review& review) {
    progress_panel_->hide();
    if (!chart_) make_chart();
    const std::vector<review::MoveReview> moves = review.moves();
    moves_ = static_cast<int>(moves.size());
    line_->clear();
    blunders_->clear();
    dubious_->clear();
    // The first position's own score starts the line.
    if (!review.looked().empty()) {
        const review::PositionReview& first = review.looked().front();
        line_->append(0, review::chart_score(first.side < 0 ? first.score : -first.score));
    }
    list_->setRowCount(moves_);
    for (int i = 0; i < moves_; ++i) {
        const review::MoveReview& m = moves[static_cast<std::size_t>(i)];
        const QPointF point(m.n, review::chart_score(m.score));
        line_->append(point);
        if (m.mark == review::Mark::Blunder) blunders_->append(point);
        if (m.mark == review::Mark::Dubious) dubious_->append(point);
        const QString cells[] = {
            QString::number(m.n),
            m.played_known ? move_words(m.played) : QStringLiteral("?"),
            score_text(m.score),
            qstr(review::mark_word(m.mark)),
            m.mark != review::Mark::None && m.has_best ? move_words(m.best) : QString(),
        };
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (m.mark == review::Mark::Blunder) item->setForeground(QColor(200, 0, 0));
            if (m.mark == review::Mark::Dubious) item->setForeground(QColor(190, 120, 0));
            list_->setItem(i, c, item);
        }
    }
    move_axis_->setRange(0, std::max(1, moves_));
    move_axis_->setTickInterval(move_tick_interval(moves_));
    show();
    raise();
}

void ReviewWindow::close_review() {
    progress_panel_->hide();
    hide();
}

void ReviewWindow::choose(int move) {
    if (move < 1 || move > moves_) return;
    list_->selectRow(move - 1);
    if (on_chosen) on_chosen(move);
}

}  // namespace zemtori
