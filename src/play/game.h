// The game: all state of the window, and the handlers of its events.
//
// Events arrive as calls from the window (menu commands by item name, mouse
// presses in twips, keys, Timer1, closing); everything they do runs to its
// end inside the call, busy waits included.
#pragma once

#include <string>
#include <vector>

#include "display/clock.h"
#include "display/screen.h"
#include "platform/port.h"
#include "record/kifu.h"
#include "rules/state.h"
#include "sound/effects.h"

namespace zemtori {

// Mouse buttons as the window reports them; only 2 counts as the right button.
enum : int { HIDARI_BUTTON = 1, MIGI_BUTTON = 2, NAKA_BUTTON = 4 };
constexpr int ESC_KEY = 27;

class Game {
public:
    Game(Port& port, std::string data_dir);

    // Start-up: sound, constants, the first new game.
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

    // Menu commands.
    void START_Click();
    void OWARI_Click();
    void REPLAY_Click();
    void AFTER_Click();
    void CANCEL_Click();
    void REVERSE_Click();

    // Shows where the piece `koma` on (from_x, from_y) may go, in `colour`.
    void idou_shidou(int from_x, int from_y, int colour, int koma);

    Port& port;
    Screen screen;
    Position pos;
    TurnState turn;
    Kifu kifu;
    ClockState clock;
    SoundEffects sound;

    // The sounds played, by file name, in order (what a player heard).
    std::vector<std::string> sound_log;

    // Handicap ladder: the rung and whether one has been set.
    int HANDE_DAN = 0;
    int HANDE_SETTEI = 0;

    std::string data_dir;

private:
    void hide_record_controls();
    void play_piece();
    void play_refusal();
    void play_other();
    void refuse(const std::string& text, const std::string& title);
    void select_on_board(int x, int y);
    void destination_on_board(int button, int x, int y);
    void select_in_hand(int c, int r);
    void carry_out_move(int button);
    void hand_over();
    void start_turn_clock();
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

}  // namespace zemtori
