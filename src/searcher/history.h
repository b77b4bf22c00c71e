// What a search is told of the game before its root.
//
// A game's history is the positions in which a move was played before the
// root, oldest first, each keyed with the army to move in it, and the number
// of plies played before the root.  The searcher looks for a repetition in
// the last GAME_KEYS_LOOKED_AT of those positions (and along its own line),
// and a repetition costs what the plies played make it cost
// (contempt_after): more the longer the game.  The root itself is not part
// of its history.
//
// Every caller builds the history with game_history, from whatever holds
// its game: the window's record, the review's, the engine protocol's
// position line, a match's own list of positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "rules/state.h"

namespace zemtori::searcher {

// How many of the game's last positions a repetition is looked for in.
constexpr std::size_t GAME_KEYS_LOOKED_AT = 24;

struct History {
    // The keys of the last positions before the root (GAME_KEYS_LOOKED_AT
    // at most), oldest first, each with its own side to move.
    std::vector<uint64_t> keys;
    // The plies played before the root: what a repetition costs grows with
    // them.
    std::size_t plies = 0;
    // Analysis (the review, the hint): a repetition is a draw worth 0 to
    // both sides, so the answer does not depend on who asks.
    bool neutral = false;
};

// Puts position n of the game (0 the oldest) into `pos` and answers the army
// to move in it: +1 upper, -1 lower, 0 when not known.
using PastPosition = std::function<int(std::size_t n, zemtori::Position& pos)>;

// The history of a root reached after the `count` positions 0 .. count - 1
// (each of which a move was played in), with `plies_before` plies played
// before position 0 (a game given from a position in its middle, or from a
// board turned in the middle of a game).  `root_side` is the army to move at
// the root; a position whose army is not known takes the one alternating
// back from the root.  Only the last GAME_KEYS_LOOKED_AT positions are asked
// for, so a long game costs no more than a short one.
History game_history(std::size_t count, std::size_t plies_before, int root_side, const PastPosition& position,
                     bool neutral = false);

}  // namespace zemtori::searcher
