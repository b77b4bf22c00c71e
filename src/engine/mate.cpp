// The mate tests.  They are not a mate search: a king in check is taken to
// have a way out when a pawn put between it and a distant checker would block
// every check, when it can step to a square the enemy does not reach, or when
// a board move onto a checking piece or a check line leaves the king safe.
// None of the three leaves the position changed: tsumi_hantei tries its moves
// on a copy, tsumi_hantei_ue puts every trial back through a scope guard.

#include "engine/engine.h"
#include "engine/scratch.h"
#include "rules/board.h"
#include "rules/legality.h"

namespace zemtori {

namespace {

// Whether some checking piece (a square marked 9 in `oute`) may still move
// onto the king's square (kx, ky).
bool oute_nokoru(const Position& pos, const int (&oute)[10][10], int kx, int ky) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (oute[x][y] == 9 && idou_kanou(pos, x, y, kx, ky, pos.BAN[x][y]) == 1) return true;
    return false;
}

// The interposition by a dropped pawn.  Returns true when the king's other
// escapes are to be tried (a checker stands next to the king, or a pawn on
// some check line would not block every check), false when a pawn on one of
// the lines blocks them all, or when no checker is marked at all.
bool aigoma_kiku(Position& pos, const int (&oute)[10][10], int kx, int ky, int hu) {
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            if (oute[x][y] == 9) {
                if (iabs(x - kx) < 2 && iabs(y - ky) < 2) return true;
            } else if (oute[x][y] == 1) {
                const KariOki aigoma(pos, x, y, hu);
                if (oute_nokoru(pos, oute, kx, ky)) return true;
            }
        }
    }
    return false;
}

// Whether the king on (kx, ky), moving as `ou`, may step to a square that
// `teki_kiki` says no enemy piece reaches.
bool nigeba_ari(const Position& pos, const int (&teki_kiki)[10][10], int kx, int ky, int ou) {
    for (int x = kx - 1; x <= kx + 1; ++x)
        for (int y = ky - 1; y <= ky + 1; ++y)
            if (on_board(x, y) && idou_kanou(pos, kx, ky, x, y, ou) == 1 && teki_kiki[x][y] == 0)
                return true;
    return false;
}

// Whether some upper piece may move onto the lower king's square.
int oute_ari(const Position& pos) {
    const int kx = pos.OU_SITA_X, ky = pos.OU_SITA_Y;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (is_ue(pos.BAN[x][y]) && idou_kanou(pos, x, y, kx, ky, pos.BAN[x][y]) == 1) return 1;
    return 0;
}

}  // namespace

int oute_hantei(const Engine& e) { return oute_ari(*e.pos); }

int tsumi_hantei(const Engine& e) {
    Position pos = *e.pos;  // the trials are made here, never on the game's board
    const AttackMaps& m = e.maps;
    const int kx = pos.OU_SITA_X, ky = pos.OU_SITA_Y;
    if (!on_board(kx, ky) || m.KIKI_UE[kx][ky] == 0) return 0;

    if (pos.MOCHI_SITA_GOKEI > 0 && !aigoma_kiku(pos, m.OUTE_UE, kx, ky, -HU)) return 0;

    if (nigeba_ari(pos, m.KIKI_UE, kx, ky, -OU)) return 0;

    // Captures of a checker and blocks of a check line by the other pieces.
    for (int sx = 1; sx <= 9; ++sx) {
        for (int sy = 1; sy <= 9; ++sy) {
            const int koma = pos.BAN[sx][sy];
            if (koma < -RYU || koma > -HU) continue;
            const ReachBox box = reach_box(koma, sx, sy);
            for (int tx = box.x0; tx <= box.x1; ++tx) {
                for (int ty = box.y0; ty <= box.y1; ++ty) {
                    if (tx == sx && ty == sy) continue;
                    if (m.OUTE_UE[tx][ty] <= 0 || idou_kanou(pos, sx, sy, tx, ty, koma) != 1) continue;
                    const KariOki put(pos, tx, ty, koma);
                    const KariOki lift(pos, sx, sy, KARA);
                    if (oute_ari(pos) == 0) return 0;
                }
            }
        }
    }
    return 1;
}

int tsumi_hantei_ue(Engine& e) {
    Position& pos = *e.pos;
    const AttackMaps& m = e.maps;
    const int kx = pos.OU_UE_X, ky = pos.OU_UE_Y;
    if (!on_board(kx, ky) || m.KIKI_SITA[kx][ky] == 0) return 0;

    if (pos.MOCHI_UE_GOKEI > 0 && !aigoma_kiku(pos, m.OUTE_SITA, kx, ky, HU)) return 0;

    if (nigeba_ari(pos, m.KIKI_SITA, kx, ky, OU)) return 0;

    // Each trial rebuilds the maps, and the maps are not rebuilt when the
    // trial is taken back: later targets are judged by OUTE_SITA of the last
    // trial position.
    for (int sx = 1; sx <= 9; ++sx) {
        for (int sy = 1; sy <= 9; ++sy) {
            const int koma = pos.BAN[sx][sy];
            if (koma < HU || koma > RYU) continue;
            const ReachBox box = reach_box(koma, sx, sy);
            for (int tx = box.x0; tx <= box.x1; ++tx) {
                for (int ty = box.y0; ty <= box.y1; ++ty) {
                    if (tx == sx && ty == sy) continue;
                    if (m.OUTE_SITA[tx][ty] <= 0 || idou_kanou(pos, sx, sy, tx, ty, koma) != 1) continue;
                    {
                        const KariOki put(pos, tx, ty, koma);
                        const KariOki lift(pos, sx, sy, KARA);
                        kiki_keisan(e);
                    }
                    const int ux = pos.OU_UE_X, uy = pos.OU_UE_Y;
                    if (on_board(ux, uy) && m.KIKI_SITA[ux][uy] == 0) return 0;
                }
            }
        }
    }
    return 1;
}

}  // namespace zemtori
