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
    TERM_ATTACK = 28,         // pieces close to the enemy king, scaled by the hand behind them
    TERM_COUNT = 29
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

// A piece at Chebyshev distance d (1..ATTACK_REACH) from the enemy king
// adds ATTACK_NEAR[d], scaled up by the attacker's hand (weighted as for
// the danger, capped the same): (ATTACK_HAND_BASE + hand) / ATTACK_HAND_BASE.
constexpr int ATTACK_REACH = 3;
constexpr int ATTACK_NEAR[ATTACK_REACH + 1] = {0, 6, 4, 2};
constexpr int ATTACK_HAND_BASE = 4;
constexpr int ATTACK_WEIGHT = 1;

// One side's attack: the sum of ATTACK_NEAR over its pieces near the enemy
// king, scaled by its weighted hand.
constexpr int attack_value(int near, int hand) {
    return near * (ATTACK_HAND_BASE + (hand < DANGER_CAP ? hand : DANGER_CAP)) / ATTACK_HAND_BASE;
}

// The terms of a position with both kings on the board.
EvalTerms eval_terms(const CompactPosition& pos);

// The weights evaluate() gives the terms.
EvalTerms eval_weights();

}  // namespace zemtori::searcher
