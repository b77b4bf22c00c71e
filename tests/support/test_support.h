// Helpers shared by the test suites.
#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <string>

#include "rules/state.h"

namespace zemtori::test {

// Reads a board from nine lines, one per screen row x = 1..9, each with nine
// fields for y = 1..9: "." for an empty square or a piece code ("10", "-80").
// Hands, flags and kings' squares are left empty.
Position board_from_text(const std::string& text);

// A board holding only the given pieces, each {x, y, code}; hands empty.
Position board_with(std::initializer_list<std::array<int, 3>> pieces);

// The opening position (not yet fallen).
Position opening_position();

// The opening position after the start of a game has let it fall.
Position settled_opening();

// Expects the two boards to hold the same codes, naming each square that
// differs and showing the board got.
void expect_same_board(const Position& got, const Position& want);

// The same board and the same hands (codes and counts, slot by slot).
bool same_board_and_hands(const Position& a, const Position& b);

// The board as nine lines in the same format, for failure messages.
std::string board_to_text(const Position& pos);

// A test name from a case's description: its words run together, each
// capitalised, anything but letters and digits left out ("promoted rook
// ray, x = 1" reads "PromotedRookRayX1").
std::string case_name(const std::string& what);

// Runs `body` in a child process, as a fresh program would (the file-size
// signal at its default action), and gives the child's wait status.
int in_child(const std::function<int()>& body);

}  // namespace zemtori::test
