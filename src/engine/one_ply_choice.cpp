// The computer's one-ply search: every legal board move and drop of the upper
// side is put on the real board, the maps are rebuilt, the candidate is scored
// and taken back (by a scope guard, so the board is whole on every path).  No
// falling is applied to a trial position.
#include <cstring>

#include "engine/engine.h"
#include "engine/scratch.h"
#include "rules/board.h"
#include "rules/legality.h"
#include "rules/moves.h"

namespace zemtori {

namespace {

int king_distance(int x, int y, int kx, int ky) {
    const int dx = iabs(x - kx), dy = iabs(y - ky);
    return dx > dy ? dx : dy;
}

// Records a scored candidate and makes it the best when it is strictly better.
// Returns true when it became the best.
bool offer(Engine& e, const Candidate& c) {
    if (e.sink != nullptr) e.sink->scored(c);
    EngineWork& w = e.work;
    if (c.score > w.SAIZEN_TEN) {
        w.SAIZEN_TEN = c.score;
        w.best = c;
        w.has_best = true;
        return true;
    }
    return false;
}

}  // namespace

void com_junbi(Engine& e) {
    Position& p = *e.pos;
    EngineWork& w = e.work;
    std::memcpy(w.BAN_MAE, p.BAN, sizeof w.BAN_MAE);
    nifu_keisan(p);
    // The escape count of the position before our move, read from the maps as
    // they stand (the hand-over rebuilt them after the human's move).
    w.NIGEBA_KIJUN = nigeba_kazu(e);
    kiki_keisan(e);
    kaku_uchi_keisan(e);
    pin_keisan(e);
    std::memcpy(w.KIKI_SITA_MAE, e.maps.KIKI_SITA, sizeof w.KIKI_SITA_MAE);
    std::memcpy(w.KIKI_UE_MAE, e.maps.KIKI_UE, sizeof w.KIKI_UE_MAE);
    std::memcpy(w.ATARI_UE_X_MAE, e.maps.ATARI_UE_X, sizeof w.ATARI_UE_X_MAE);
    std::memcpy(w.ATARI_UE_Y_MAE, e.maps.ATARI_UE_Y, sizeof w.ATARI_UE_Y_MAE);
    w.MOCHI_UE_GOKEI = p.MOCHI_UE_GOKEI;
}

bool com_search(Engine& e) {
    Position& p = *e.pos;
    auto& B = p.BAN;
    EngineWork& w = e.work;
    w.SAIZEN_TEN = -99999;
    w.has_best = false;
    w.best = Candidate{};

    for (int x = 1; x <= 9; ++x) {
        if (e.clock_tick != nullptr) e.clock_tick->tick();
        for (int y = 1; y <= 9; ++y) {
            const int koma = B[x][y];
            if (!is_ue(koma)) continue;
            // A stepping piece looks only at the squares it can reach, in the
            // same order as a scan of the whole board would meet them.
            const ReachBox box = reach_box(koma, x, y);
            for (int tx = box.x0; tx <= box.x1; ++tx) {
                for (int ty = box.y0; ty <= box.y1; ++ty) {
                    if (idou_kanou(p, x, y, tx, ty, koma) != 1) continue;
                    w.UGOKI_KOMA = koma;
                    w.MOTO_KYORI = king_distance(x, y, p.OU_SITA_X, p.OU_SITA_Y);

                    const int captured = B[tx][ty];
                    int promoted = 0;
                    double score = 0.0;
                    int placed = koma;
                    {
                        const KariOki lift(p, x, y, KARA);
                        const KariOki put(p, tx, ty, koma);
                        if (nari_hantei(x, y, tx, ty, koma, &promoted) != 1) {
                            kiki_keisan(e);
                            score = te_hyoka(e, captured, koma, x, y, tx, ty);
                        } else if (funari_kanou(ty, koma) == 1) {
                            kiki_keisan(e);
                            const double plain = te_hyoka(e, captured, koma, x, y, tx, ty);
                            B[tx][ty] = promoted;
                            kiki_keisan(e);
                            const double raised = te_hyoka(e, captured, promoted, x, y, tx, ty);
                            score = raised > plain ? raised : plain;
                            placed = raised > plain ? promoted : koma;
                            // Pawn, bishop and rook lose nothing by promoting.
                            if (koma == HU || koma == KAKU || koma == HISHA) placed = promoted;
                        } else {
                            B[tx][ty] = promoted;
                            kiki_keisan(e);
                            score = te_hyoka(e, captured, promoted, x, y, tx, ty);
                            placed = promoted;
                        }
                    }  // the move is taken back here, whatever path leaves the block

                    const Candidate c{{x, y, tx, ty, placed}, koma, score};
                    // Taking the king ends the game: nothing can beat it.
                    if (offer(e, c) && captured == -OU) return true;
                }
            }
        }
    }

    if (w.MOCHI_UE_GOKEI > 0) {
        for (int k = 1; k <= MOCHI_SLOTS; ++k) {
            if (e.clock_tick != nullptr) e.clock_tick->tick();
            if (p.MOCHI_UE_KAZU[k] <= 0) continue;
            const int koma = p.MOCHI_UE_KOMA[k];
            w.UGOKI_KOMA = koma;
            for (int tx = 1; tx <= 9; ++tx) {
                for (int ty = 1; ty <= 9; ++ty) {
                    if (idou_kanou(p, UE_TE_X, k, tx, ty, koma) != 1) continue;
                    double score = 0.0;
                    {
                        const KariOki put(p, tx, ty, koma);
                        kiki_keisan(e);
                        score = te_hyoka(e, 0, koma, UE_TE_X, k, tx, ty);
                    }

                    const Candidate c{{UE_TE_X, k, tx, ty, koma}, koma, score};
                    // A mating drop cannot be beaten by another drop.
                    if (offer(e, c) && w.SAIZEN_TEN >= 9998) return true;
                }
            }
        }
    }
    return w.has_best;
}

}  // namespace zemtori
