// The move text beside the board and the move counter.
//
// How the game calls these:
//   - after every move (human, computer, or a replay step forward) that lands
//     on square (x, y) with piece `code`:
//         sashite_hyouji(screen, turn, side, x, y, code, 15);
//     where `side` is turn.COM_GAWA for an upper piece and turn.MAN_GAWA for a
//     lower one;
//   - to blank one side's text (the computer's win, a new start):
//         sashite_kesu(screen, turn, side);
//   - after the move count changes (a move, 戻, 進, 反転):
//         tesu_hyouji(screen, kifu.tesu());
// Nothing here keeps state: the side areas are found from the turn state's
// COM_GAWA and MAN_GAWA, the background tile from screen.haikei().
#pragma once

#include <string>

#include "display/screen.h"
#include "rules/state.h"

namespace zemtori {

// The words for a value: 1..9 full-width digits, 1001..1009 kanji numerals,
// a piece code (either side) its name; anything else an empty text.
std::string moji_henkan(int v);

// Prints `text` at grid position (c, r) in 12 point in the given colour.  An
// empty text prints nothing.
void moji_insatsu(Screen& screen, double c, double r, const std::string& text, int colour);

// Tiles over the move-text area of `side`.  A side that is neither the
// upper side's player nor the human's does nothing.
void sashite_kesu(Screen& screen, const TurnState& turn, int side);

// Writes the move of `side` that arrived on square (x, y) with `code`:
// column digit, row numeral and piece name, each with its drop shadow.
void sashite_hyouji(Screen& screen, const TurnState& turn, int side, int x, int y, int code,
                    int colour);

// The move counter "n 手目" right of the board.
void tesu_hyouji(Screen& screen, int n);

}  // namespace zemtori
