// The game state the rules work on: the board, the hands, the two-pawn flags,
// the kings' squares and whose turn it is.  Everything is a small integer.
//
// Coordinates: a square is (x, y), x the screen row (1 top .. 9 bottom, "down"
// is toward x = 9), y the screen column (1 left .. 9 right).  Index 0 of every
// table is never a square and stays 0.
#pragma once

#include <cstdint>

namespace zemtori {

// Piece codes.  Positive codes are the upper side's (left camp, moving toward
// y = 9), negative ones the lower side's.  A promoted code is the plain code
// plus one in magnitude.
enum : int {
    KARA = 0,
    HU = 10, TO = 11,
    KYOU = 20, NARIKYOU = 21,
    KEI = 30, NARIKEI = 31,
    GIN = 40, NARIGIN = 41,
    KIN = 50,
    KAKU = 60, UMA = 61,
    HISHA = 70, RYU = 71,
    OU = 80,
};

// Side values: +1 moves first (先手), -1 second (後手), 0 none.
enum : int { SENTE_GAWA = 1, GOTE_GAWA = -1, NASHI = 0 };

// Source x of a drop: from the upper side's hand column, or the lower side's.
constexpr int UE_TE_X = -1;
constexpr int SITA_TE_X = 11;

constexpr int MOCHI_SLOTS = 7;

// True for the 28 piece codes.
constexpr bool is_piece(int code) {
    const int m = code < 0 ? -code : code;
    switch (m) {
    case 10: case 11: case 20: case 21: case 30: case 31: case 40: case 41:
    case 50: case 60: case 61: case 70: case 71: case 80:
        return true;
    default:
        return false;
    }
}

// The board, the hands and what goes with them.
struct Position {
    int BAN[10][10] = {};

    // Hands, slots 1..7 (index 0 unused).
    int MOCHI_UE_KOMA[8] = {};
    int MOCHI_UE_KAZU[8] = {};
    int MOCHI_SITA_KOMA[8] = {};
    int MOCHI_SITA_KAZU[8] = {};
    int MOCHI_UE_GOKEI = 0;
    int MOCHI_SITA_GOKEI = 0;

    // Two-pawn flags per file x = 1..9, recomputed by nifu_keisan.
    int NIFU_UE[10] = {};
    int NIFU_SITA[10] = {};

    // Kings' squares: written by the attack-map pass and, for the lower king,
    // when a move puts it on a square.  The falling pass does not move them.
    int OU_SITA_X = 0, OU_SITA_Y = 0;
    int OU_UE_X = 0, OU_UE_Y = 0;
};

// The move being entered by the mouse: source, destination, code placed.
struct Sashite {
    int from_x = 0, from_y = 0, to_x = 0, to_y = 0, koma = 0;
};

// Whose turn it is and in which mode the game is played.
struct TurnState {
    int TEBAN = NASHI;          // side to move; NASHI = no game started
    int MAN_GAWA = GOTE_GAWA;   // side value of the human (lower side)
    int COM_GAWA = SENTE_GAWA;  // side value of the upper side's player
    bool COM_TAISEN = false;    // against the computer
    int SHOSHA = NASHI;         // winner's side value after the end, else NASHI
    bool SAIKAI = false;        // the next click must resume play first
    bool SENTAKU = false;       // while a piece is selected
    Sashite SASHITE;
};

}  // namespace zemtori
