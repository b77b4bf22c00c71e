#include "app/game_wiring.h"

#include "qt/main_window.h"
#include "play/game.h"

namespace zemtori {

void connect_game(MainWindow& window, Game& game) {
    window.events.menu = [&game](const std::string& item) { game.menu(item); };
    window.events.mouse_down = [&game](int button, double x, double y) { game.mouse_down(button, x, y); };
    window.events.key_press = [&game](int key) { game.key_press(key); };
    window.events.timer_tick = [&game] { game.timer_tick(); };
    window.events.closing = [&game] { game.closing(); };
    window.events.record_control_used = [&game](RecordControl c) { game.record_control_used(c); };
}

void disconnect_game(MainWindow& window) { window.events = {}; }

}  // namespace zemtori
