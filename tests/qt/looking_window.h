// The real window for tests that act while the game runs: the test takes a
// look each time the game lets the window take its events (from inside the
// window's event handling, where a player's click or key arrives), and may
// count the canvas's paints while the game thinks.
#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <functional>

#include "play/game.h"
#include "qt/main_window.h"

namespace zemtori::test {

// With `test_clock` the time of day is the test's own: the game's waits pass
// no real time, and the test reads exactly how long the game went on waiting.
class LookingWindow final : public MainWindow {
public:
    using MainWindow::MainWindow;
    std::function<void()> look;
    void keep_alive() override {
        if (look) QTimer::singleShot(0, this, look);
        MainWindow::keep_alive();
    }
    bool test_clock = false;
    double now = 36000.0;
    double time_of_day() override { return test_clock ? now : MainWindow::time_of_day(); }
    void sleep(double seconds) override {
        if (test_clock) now += seconds;
        else MainWindow::sleep(seconds);
    }
};

// Counts the paints of the canvas while the game thinks.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* canvas, const Game& game) : game_(game) { canvas->installEventFilter(this); }
    int paints_while_thinking = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && (game_.thinking() || game_.reviewing())) ++paints_while_thinking;
        return false;
    }

private:
    const Game& game_;
};

}  // namespace zemtori::test
