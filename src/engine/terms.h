// The per-kind terms of the candidate evaluation and the small probes they
// share with it.  Every term reads the trial position on BAN, the live maps
// and the snapshots of the turn; the file probe lifts one piece for a moment
// and puts it back.
#pragma once

#include "engine/engine.h"

namespace zemtori {

// One candidate as the evaluation sees it: the code that stood on the
// destination, the code now standing there, the origin (from_x -1 and the
// hand slot for a drop) and the destination.
struct TermInput {
    int captured = 0;
    int placed = 0;
    int fx = 0, fy = 0;
    int tx = 0, ty = 0;
};

// Minus the number of the eight neighbours of (x, y) on the board that hold an
// upper bishop, promoted bishop, rook, promoted rook or king.
int kinbou_omomi(const Engine& e, int x, int y);

// 1 when (x, y), with its piece lifted for the moment, lies open to a lower
// lance, rook or promoted rook further along the file toward y = 9 (the walk
// stops at the first upper piece, and at the first lower lance or rook either
// way).  Leaves BAN as it found it.
int file_probe(Engine& e, int x, int y);

// The terms of each kind.  Each takes the score reached so far and gives the
// score the evaluation ends with.
double term_hu(Engine& e, const TermInput& in, double s);
double term_to(Engine& e, const TermInput& in, double s);
double term_kyou(Engine& e, const TermInput& in, double s);
double term_kei(Engine& e, const TermInput& in, double s);
double term_gin(Engine& e, const TermInput& in, double s);
double term_kin(Engine& e, const TermInput& in, double s);
double term_kaku(Engine& e, const TermInput& in, double s);
double term_uma(Engine& e, const TermInput& in, double s);
double term_hisha(Engine& e, const TermInput& in, double s);
double term_ryu(Engine& e, const TermInput& in, double s);
double term_ou(Engine& e, const TermInput& in, double s);

// Dispatches on the placed code; promoted lance, knight and silver get no term.
double koma_betsu_hyoka(Engine& e, const TermInput& in, double s);

}  // namespace zemtori
