// The searching player's own position: small, copied whole to make a move
// (copy-make), and laid out for fast move generation.
//
// The board is a mailbox of 11 x 13 bytes holding the piece codes of the
// rules (10 pawn ... 80 king, negative for the lower side) with a wall
// around it: index (y + 1) * 11 + x for x 0..10 and y -1..11, where x 1..9
// and y 1..9 are the squares.  A column y is a run of nine bytes, so the
// falling pass is a compaction of that run toward x = 9.  The walls are two
// deep along y, so a knight's jump never leaves the table.
//
// The hands keep their seven slots exactly as the rules lay them out (the
// code in a slot outlives its last piece, and a capture goes to the slot
// already naming its kind), because that decides from which slot a later
// drop is written.  Per-kind counts sit beside them for the evaluation and
// the hash; which slot holds a kind does not change what can be played, so
// the hash reads the counts only.
#pragma once

#include <compare>
#include <cstdint>

#include "rules/state.h"

namespace zemtori::searcher {

constexpr int WIDTH = 11;
constexpr int SQUARES = 13 * WIDTH;
constexpr int8_t WALL = 127;

constexpr int sq(int x, int y) { return (y + 1) * WIDTH + x; }
constexpr int sq_x(int s) { return s % WIDTH; }
constexpr int sq_y(int s) { return s / WIDTH - 1; }

// A move source at or above DROP is the mover's own hand slot DROP + k.
constexpr int DROP = 200;

// `piece` is the code that moves (the hand slot's code for a drop), `placed`
// the code that stands on the destination afterwards (promoted or not).
struct Move {
    uint8_t from = 0, to = 0;
    int8_t piece = 0, placed = 0;

    bool is_drop() const { return from >= DROP; }
    bool is_null() const { return from == 0; }
    friend bool operator==(const Move&, const Move&) = default;
};

// The move as the rules and the tools write it: source (a drop from x -1 or
// 11 with the slot as y, the lower slots written + 2), destination, and the
// code placed.
struct RulesMove {
    int from_x, from_y, to_x, to_y, koma;
    friend auto operator<=>(const RulesMove&, const RulesMove&) = default;
};

// A game's positions have at most a few hundred moves (all seven kinds in
// hand on a bare board make 567 drops); a made-up position with dozens of
// rooks could have more, and those beyond the list's room are left out.
constexpr int MAX_MOVES = 1024;

struct MoveList {
    Move moves[MAX_MOVES];
    int size = 0;
    void push(Move m) {
        if (size < MAX_MOVES) moves[size++] = m;
    }
};

// Side index 0 is the upper side (+1), 1 the lower side (-1).
constexpr int side_index(int side) { return side > 0 ? 0 : 1; }

struct CompactPosition {
    int8_t board[SQUARES];
    int8_t hand_koma[2][8];  // slots 1..7, as the rules keep them
    int8_t hand_kazu[2][8];
    int16_t kinds[2][9];     // pieces in hand per kind (|code| / 10)
    uint8_t king[2];         // each king's square, 0 when off the board
    int8_t side;             // +1 the upper side to move, -1 the lower
    int8_t winner;           // the side that took a king, else 0
    bool settled;            // nothing on the board can fall
    int32_t material;        // board and hands, from the upper side's view
    uint64_t board_key;      // xor of the pieces on their squares
    uint64_t hand_key;       // sum over the pieces in hand

    uint64_t key() const;
    int8_t at(int x, int y) const { return board[sq(x, y)]; }
};

// Reads the rules' position with `side` to move; the hand slots are taken as
// they stand (a slot with pieces must name a plain code of its own side).
CompactPosition from_rules(const zemtori::Position& pos, int side);

// The rules' position: board, hand slots, totals (the sum of the counts);
// the two-pawn flags recomputed, the kings' squares left 0.
zemtori::Position to_rules_position(const CompactPosition& pos);

RulesMove to_rules_move(const CompactPosition& pos, Move m);

// Every move and drop the movement rules allow the side to move, each
// promotion choice a move of its own: the promoted code where the move may
// promote, the plain code where the piece may stay unpromoted.
void generate(const CompactPosition& pos, MoveList& list);

// Board moves onto enemy pieces only, each promotion choice included.
void generate_captures(const CompactPosition& pos, MoveList& list);

// Plays `m` and lets everything fall, exactly as the game does after a
// move: the capture goes into the mover's hand, which settles; the piece
// stands on the destination; the source empties (a hand settles after a
// drop); then the board's falling pass.  The other side is to move after.
void make(CompactPosition& pos, Move m);

// The values of the pieces on the board and in hand, for the material sum
// (also used to order captures).
int board_value(int code);
int hand_value(int kind);

}  // namespace zemtori::searcher
