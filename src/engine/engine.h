// The computer player's state and operations: attack maps, mate tests,
// evaluation of a candidate, and the one-ply search of the upper side.
//
// Every operation works on an Engine, which points at the game's Position and
// owns the maps and the working values of a turn.  Nothing here draws.
#pragma once

#include "rules/state.h"

namespace zemtori {

// The attack maps, indexed (x, y) like BAN; index 0 is never touched.
struct AttackMaps {
    int KIKI_SITA[10][10] = {};
    int KIKI_UE[10][10] = {};
    int HIMO_SITA[10][10] = {};
    int HIMO_UE[10][10] = {};
    int HIMO_UE_X[10][10] = {};   // not reset by a pass
    int HIMO_UE_Y[10][10] = {};   // not reset by a pass
    int ATARI_SITA[10][10] = {};
    int ATARI_SITA_X[10][10] = {};
    int ATARI_SITA_Y[10][10] = {};
    int ATARI_UE[10][10] = {};
    int ATARI_UE_X[10][10] = {};  // not reset by a pass
    int ATARI_UE_Y[10][10] = {};  // not reset by a pass
    int OUTE_SITA[10][10] = {};
    int OUTE_UE[10][10] = {};
};

// One candidate of the search: the move (koma is the code placed on the
// destination, after promotion; a drop has from_x -1 and the slot as from_y),
// the code before the move and the score.
struct Candidate : Sashite {
    int moto_koma = 0;
    double score = 0.0;
};

// Working values of one computer turn, kept between turns where the game
// keeps them (MOTO_KYORI carries over).
struct EngineWork {
    double SAIZEN_TEN = 0.0;
    bool has_best = false;  // false until a candidate beat -99999
    Candidate best;
    int UGOKI_KOMA = 0;
    int MOTO_KYORI = 0;
    int NIGEBA_KIJUN = 0;
    int MOCHI_UE_GOKEI = 0;  // the hand total copied before the search

    // Snapshots of the position before the computer's move.
    int BAN_MAE[10][10] = {};
    int KIKI_SITA_MAE[10][10] = {};
    int KIKI_UE_MAE[10][10] = {};
    int ATARI_UE_X_MAE[10][10] = {};
    int ATARI_UE_Y_MAE[10][10] = {};

    // Markers prepared once per turn.
    int KUGI_SITA[10][10] = {};
    int KUGI_UE_ARI = 0;
    int KAKU_UCHI_SITA[10][10] = {};
};

// Receives every candidate scored, in scan order (for analysis); optional.
class CandidateSink {
public:
    virtual ~CandidateSink() = default;
    virtual void scored(const Candidate& c) = 0;
};

// Called once per origin x of the board scan and once per hand slot of the
// drop scan, so the clock keeps running while the computer thinks.
class ClockTick {
public:
    virtual ~ClockTick() = default;
    virtual void tick() = 0;
};

// The game's position as the engine holds it: writable through an Engine,
// read-only through a const Engine, so a view of the engine cannot change the
// board.
class PositionRef {
public:
    explicit PositionRef(Position& p) : p_(&p) {}
    Position& operator*() { return *p_; }
    const Position& operator*() const { return *p_; }
    Position* operator->() { return p_; }
    const Position* operator->() const { return p_; }

private:
    Position* p_;
};

struct Engine {
    explicit Engine(Position& p) : pos(p) {}
    PositionRef pos;
    AttackMaps maps;
    EngineWork work;
    // The computer's strength, 1..3 for this player; the game keeps its level
    // here alone, 4 meaning that the searching player moves instead.
    int COM_LEVEL = 3;
    ClockTick* clock_tick = nullptr;
    CandidateSink* sink = nullptr;
};

// Attack maps.  Also writes the kings' squares into the position.
void kiki_keisan(Engine& e);

// Mate tests.  tsumi_hantei works on its own copy of the position;
// tsumi_hantei_ue tries its moves on the live board (each trial rebuilds the
// maps) and puts every piece back, whatever path it leaves by.
int oute_hantei(const Engine& e);
int tsumi_hantei(const Engine& e);
int tsumi_hantei_ue(Engine& e);

// Evaluation.  Nothing here changes the position.
int nigeba_kazu(const Engine& e);
int anzen_idou_kazu(const Engine& e, int x, int y, int code);
void pin_keisan(Engine& e);
void kaku_uchi_keisan(Engine& e);
int kaku_ryouto(const Engine& e, int to_x, int to_y, int placed);
double ban_anzen_hyoka(const Engine& e, int placed, int to_x, int to_y);
double te_hyoka(const Engine& e, int captured, int placed, int from_x, int from_y, int to_x,
                int to_y);

// The computer's turn, before the search: snapshots, two-pawn flags, the
// escape count, the maps and the markers.
void com_junbi(Engine& e);
// The search; returns false when no candidate was legal (then work.best is unset).
bool com_search(Engine& e);

}  // namespace zemtori
