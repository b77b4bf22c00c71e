// One entry of the game's record: the board, both hands and both players'
// accumulated times, as they stood before a move.  The in-memory record, the
// record files and the analysis tool all hold positions in this form.
#pragma once

#include "rules/state.h"

namespace zemtori {

struct RecordEntry {
    int BAN[10][10] = {};   // squares x, y = 1..9; index 0 is never written
    int SITA_KOMA[8] = {};  // hand slots 1..7
    int UE_KOMA[8] = {};
    int SITA_KAZU[8] = {};
    int UE_KAZU[8] = {};
    double MAN_MAE = 0, MAN_ATO = 0, COM_MAE = 0, COM_ATO = 0;  // seconds
};

// Copies the board and both hands of `pos` into `e`; the times stay.
void store_position(const Position& pos, RecordEntry& e);

// Copies the board and both hands of `e` into `pos`, exactly as stored, and
// sets each hand's total to the sum of its positive counts.
void restore_position(const RecordEntry& e, Position& pos);

// The sum of one hand's positive counts; side +1 the upper hand, -1 the lower.
int mochigoma_gokei(const Position& pos, int side);

}  // namespace zemtori
