// The evaluation as a sum of weighted terms, so that its weights can be
// fitted to the results of games.  Every term is counted from the upper
// side's view (the lower side's pieces count negative); with the weights
// evaluate() uses, the clamped sum of weight times term is evaluate()'s score
// for the upper side.
#pragma once

#include <array>

#include "searcher/compact_position.h"

namespace zemtori::searcher {

enum EvalTerm : int {
    TERM_BOARD = 0,           // + kind - 1 (pawn .. rook): plain pieces on the board
    TERM_PROMOTED = 7,        // + kind - 1: promoted pieces on the board
    TERM_HAND = 14,           // + kind - 1: pieces in hand
    TERM_KING_BOTTOM = 21,    // a king on the bottom row
    TERM_KING_DANGER = 22,    // open squares next to a king times the enemy's hand danger
    TERM_SHELTER_NEAR = 23,   // own pieces next to a king
    TERM_SHELTER_FAR = 24,    // own pieces two squares from a king
    TERM_INTRUDER_NEAR = 25,  // enemy pieces next to a king
    TERM_INTRUDER_FAR = 26,   // enemy pieces two squares from a king
    TERM_FOOTING = 27,        // pieces standing on a piece of their own side
    TERM_COUNT = 28
};

using EvalTerms = std::array<int, TERM_COUNT>;

// The weights of the terms beyond material (the pieces' values are
// board_value() and hand_value()).
constexpr int KING_BOTTOM_WEIGHT = -257;
constexpr int DANGER_PER_SQUARE = 50;
constexpr int SHELTER_NEAR_WEIGHT = 47;
constexpr int SHELTER_FAR_WEIGHT = 96;
constexpr int INTRUDER_NEAR_WEIGHT = 323;
constexpr int INTRUDER_FAR_WEIGHT = 326;
constexpr int FOOTING_WEIGHT = -157;

// What a piece in the enemy's hand adds to the danger of a king's open
// squares, by kind (pawn, lance, knight, silver, gold, bishop, rook), and the
// most the hand adds.
constexpr int DANGER_WEIGHT[9] = {0, 1, 1, 2, 2, 2, 3, 3, 0};
constexpr int DANGER_CAP = 12;

// The terms of a position with both kings on the board.
EvalTerms eval_terms(const CompactPosition& pos);

// The weights evaluate() gives the terms.
EvalTerms eval_weights();

}  // namespace zemtori::searcher
