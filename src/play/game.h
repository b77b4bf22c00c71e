// The game: all state of the window, and the handlers of its events.
#pragma once

#include <string>

#include "display/screen.h"
#include "platform/port.h"
#include "rules/state.h"

namespace zemtori {

class Game {
public:
    Game(Port& port, std::string data_dir);

    // Start-up: constants, settings, the first new game.
    void load();

    // Events from the window.
    void menu(const std::string& item);
    void mouse_down(int button, double x, double y);
    void key_press(int key);
    void timer_tick();
    void closing();

    // New game in the opening position, with a full redraw.
    void shinki_kyokumen();
    // Full redraw of the window.
    void gamen_hyouji();

    Port& port;
    Screen screen;
    Position pos;
    TurnState turn;

    std::string data_dir;

private:
    void owari();
};

// Menu item names and their captions, in menu order; the window builds its
// menu bar from this table.
struct MenuItem {
    const char* name;
    const char* caption;
    const char* parent;  // nullptr for a top-level menu
};
extern const MenuItem MENU_ITEMS[];
extern const int MENU_ITEM_COUNT;

// Sets the opening position on the board (not yet fallen).
void shoki_haichi(Position& pos);

}  // namespace zemtori
