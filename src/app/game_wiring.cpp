#include "app/game_wiring.h"

#include "qt/main_window.h"
#include "qt/review_window.h"
#include "play/game.h"

namespace zemtori {

void connect_game(MainWindow& window, Game& game) {
    window.events.menu = [&game](const std::string& item) { game.menu(item); };
    window.events.mouse_down = [&game](int button, double x, double y) { game.mouse_down(button, x, y); };
    window.events.key_press = [&game](int key) { game.key_press(key); };
    window.events.timer_tick = [&game] { game.timer_tick(); };
    window.events.closing = [&game] { game.closing(); };
    window.events.ended_from_outside = [&game] { game.end_quietly(); };
    window.events.record_control_used = [&game](RecordControl c) { game.record_control_used(c); };
    window.events.drag_piece = [&game](double x, double y) { return game.drag_piece(x, y); };
    window.events.drag_landing = [&game](double x, double y) -> std::optional<QPoint> {
        const std::optional<Cell> cell = game.drag_landing(x, y);
        if (!cell) return std::nullopt;
        return QPoint(cell->c, cell->r);
    };
    window.events.drag_drop = [&game](int button, double x, double y) { game.drag_drop(button, x, y); };
    // The review's window, made when a review first needs it.
    auto* review = window.findChild<ReviewWindowOnDemand*>();
    if (!review) review = new ReviewWindowOnDemand(&window);
    game.review_view = review;
    review->on_chosen = [&window, &game](int move) {
        if (!window.busy()) game.review_chosen(move);
    };
}

void disconnect_game(MainWindow& window) {
    window.events = {};
    if (auto* review = window.findChild<ReviewWindowOnDemand*>()) review->on_chosen = {};
}

}  // namespace zemtori
