// Joins the window's events to the game's handlers.
#pragma once

namespace zemtori {

class Game;
class MainWindow;

// Every event of `window` goes to `game` from now on.
void connect_game(MainWindow& window, Game& game);
// Nothing reaches the game any more (before it goes away).
void disconnect_game(MainWindow& window);

}  // namespace zemtori
