// The per-kind terms of the candidate evaluation and the small probes they
// share with it.  Every term reads the trial position on BAN, the live maps
// and the snapshots of the turn, and changes none of them.
#pragma once

#include "engine/engine.h"

namespace zemtori {

// One candidate as the evaluation sees it: the move (koma is the code now
// standing on the destination; a drop comes from from_x -1 and the hand slot)
// and the code that stood on the destination.
struct TermInput : Sashite {
    int captured = 0;
};

// Minus the number of the eight neighbours of (x, y) on the board that hold an
// upper bishop, promoted bishop, rook, promoted rook or king.
int kinbou_omomi(const Position& p, int x, int y);

// 1 when (x, y), were its piece lifted, would lie open to a lower lance, rook
// or promoted rook further along the file toward y = 9 (the walk stops at the
// first upper piece, and at the first lower lance or rook either way).
int file_probe(const Position& p, int x, int y);

// The terms of each kind.  Each takes the score reached so far and gives the
// score the evaluation ends with.
double term_hu(const Engine& e, const TermInput& in, double s);
double term_to(const Engine& e, const TermInput& in, double s);
double term_kyou(const Engine& e, const TermInput& in, double s);
double term_kei(const Engine& e, const TermInput& in, double s);
double term_gin(const Engine& e, const TermInput& in, double s);
double term_kin(const Engine& e, const TermInput& in, double s);
double term_kaku(const Engine& e, const TermInput& in, double s);
double term_uma(const Engine& e, const TermInput& in, double s);
double term_hisha(const Engine& e, const TermInput& in, double s);
double term_ryu(const Engine& e, const TermInput& in, double s);
double term_ou(const Engine& e, const TermInput& in, double s);

// Dispatches on the placed code; promoted lance, knight and silver get no term.
double koma_betsu_hyoka(const Engine& e, const TermInput& in, double s);

}  // namespace zemtori
