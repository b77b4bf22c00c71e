// The score of one candidate of the computer, taken on the trial position with
// freshly built attack maps: material and safety from the maps, a few short
// probes with idou_kanou, and the per-kind terms at the end.
#include <algorithm>

#include "engine/engine.h"
#include "engine/scratch.h"
#include "engine/terms.h"
#include "rules/board.h"
#include "rules/legality.h"

namespace zemtori {

int nigeba_kazu(const Engine& e) {
    const auto& B = e.pos->BAN;
    const auto& m = e.maps;
    const int kx = e.pos->OU_SITA_X, ky = e.pos->OU_SITA_Y;
    int n = 0;
    for (int x = kx - 1; x <= kx + 1; ++x) {
        for (int y = ky - 1; y <= ky + 1; ++y) {
            if (x == kx && y == ky) continue;
            if (!on_board(x, y)) continue;
            if (B[x][y] == 0 && m.KIKI_UE[x][y] == 0) ++n;
        }
    }
    return n;
}

int anzen_idou_kazu(const Engine& e, int x, int y, int code) {
    const auto& m = e.maps;
    const ReachBox box = reach_box(code, x, y);
    int n = 0;
    for (int tx = box.x0; tx <= box.x1; ++tx) {
        for (int ty = box.y0; ty <= box.y1; ++ty) {
            if (idou_kanou(*e.pos, x, y, tx, ty, code) != 1) continue;
            const int guard = is_ue(code) ? m.KIKI_SITA[tx][ty] : m.KIKI_UE[tx][ty];
            if (guard == 0) ++n;
        }
    }
    return n;
}

// A piece is pinned when lifting it would let an enemy slider reach its
// king.  Lifting a piece only opens lines, so when a slider reaches the king
// already, every piece of the king's side counts; otherwise only the first
// piece on one of the king's eight lines can open one, and only to the piece
// behind it.
void pin_keisan(Engine& e) {
    Position& p = *e.pos;
    const auto& B = p.BAN;
    auto& w = e.work;
    for (auto& row : w.KUGI_SITA)
        for (int& v : row) v = 0;
    w.KUGI_UE_ARI = 0;

    // Does a slider of the side whose codes have sign `sign` reach (gx, gy)?
    auto slider_reaches = [&](int sign, int gx, int gy) {
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                const int c = B[x][y];
                if (c * sign <= 0 || !is_slider(c)) continue;
                if (idou_kanou(p, x, y, gx, gy, c) == 1) return true;
            }
        }
        return false;
    };
    // Calls mark(x, y) for every piece of the side opposite to `sign` whose
    // lifting lets a slider of side `sign` reach (gx, gy).
    auto pinned = [&](int sign, int gx, int gy, auto mark) {
        if (!on_board(gx, gy)) return;  // nothing reaches a king off the board
        if (slider_reaches(sign, gx, gy)) {
            for (int x = 1; x <= 9; ++x)
                for (int y = 1; y <= 9; ++y)
                    if (B[x][y] * sign <= -HU) mark(x, y);
            return;
        }
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                if (dx == 0 && dy == 0) continue;
                int px = gx + dx, py = gy + dy;
                while (on_board(px, py) && B[px][py] == KARA) px += dx, py += dy;
                if (!on_board(px, py) || B[px][py] * sign > -HU) continue;
                int sx = px + dx, sy = py + dy;
                while (on_board(sx, sy) && B[sx][sy] == KARA) sx += dx, sy += dy;
                if (!on_board(sx, sy)) continue;
                const int c = B[sx][sy];
                if (c * sign <= 0 || !is_slider(c)) continue;
                const KariOki lifted(p, px, py, KARA);
                if (idou_kanou(p, sx, sy, gx, gy, c) == 1) mark(px, py);
            }
        }
    };
    pinned(+1, p.OU_SITA_X, p.OU_SITA_Y, [&](int x, int y) { w.KUGI_SITA[x][y] = 1; });
    pinned(-1, p.OU_UE_X, p.OU_UE_Y, [&](int, int) { w.KUGI_UE_ARI = 1; });
}

void kaku_uchi_keisan(Engine& e) {
    const auto& B = e.pos->BAN;
    const auto& m = e.maps;
    auto& w = e.work;
    const int ux = e.pos->OU_UE_X, uy = e.pos->OU_UE_Y;
    for (auto& row : w.KAKU_UCHI_SITA)
        for (int& v : row) v = 0;
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            if (B[x][y] != 0 || m.KIKI_UE[x][y] != 0) continue;
            if (idou_kanou(*e.pos, x, y, ux, uy, -KAKU) == 1) w.KAKU_UCHI_SITA[x][y] = 1;
        }
    }
}

int kaku_ryouto(const Engine& e, int to_x, int to_y, int placed) {
    const auto& B = e.pos->BAN;
    const auto& w = e.work;
    // The first square from which a dropped lower bishop would hit our king
    // and that a bishop on the destination would also reach: a fork square.
    int sx = 0, sy = 0;
    for (int x = 1; x <= 9 && sx == 0; ++x) {
        for (int y = 1; y <= 9; ++y) {
            if (w.KAKU_UCHI_SITA[x][y] != 1) continue;
            if (idou_kanou(*e.pos, to_x, to_y, x, y, -KAKU) == 1 ||
                idou_kanou(*e.pos, to_x, to_y, x, y, -UMA) == 1) {
                sx = x;
                sy = y;
                break;
            }
        }
    }
    if (sx == 0) return 0;
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            const int c = B[x][y];
            if (c != -KAKU && c != -UMA) continue;
            if (idou_kanou(*e.pos, x, y, sx, sy, c) == 1) return placed;
        }
    }
    return 0;
}

double ban_anzen_hyoka(const Engine& e, int placed, int to_x, int to_y) {
    const auto& B = e.pos->BAN;
    const auto& m = e.maps;
    const auto& w = e.work;
    const int kx = e.pos->OU_SITA_X, ky = e.pos->OU_SITA_Y;
    const int ux = e.pos->OU_UE_X, uy = e.pos->OU_UE_Y;
    const bool dest_safe = m.KIKI_SITA[to_x][to_y] == 0;

    double total = 0.0;
    int threats = 0;
    int smallest_threat = 0;

    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            const int c = B[x][y];
            const int ks = m.KIKI_SITA[x][y];
            const int ku = m.KIKI_UE[x][y];

            if (c == 0 && ks > 0) {
                if (iabs(x - ux) <= 1 && iabs(y - uy) <= 1 && ku == 1 && ks > 1) total -= 10;
                if (ku == 0 && y <= 3) {
                    total -= 0.1;
                    if (file_probe(*e.pos, x, y) == 1) total -= 10;
                }
                if (y < 4 && B[x][y + 1] == -HU && m.KIKI_SITA[x][y + 1] >= m.KIKI_UE[x][y + 1]) {
                    total -= 30;
                    if (file_probe(*e.pos, x, y + 1) == 1) total -= 70;
                }
            }

            if (c == 0 && ku == 0) {
                if (y == 2 && B[x][1] == KEI) total -= 5;
                if (y < 4) total -= 0.1;
            }

            if (c == OU && y == 1 && m.KIKI_SITA[x][2] > 0) {
                total -= 50;
                if (m.KIKI_SITA[x][2] >= m.KIKI_UE[x][2]) total -= 250;
            }

            if (is_ue(c) && ks > 0) {
                const int weakest = iabs(m.ATARI_SITA[x][y]);
                const int ax = m.ATARI_SITA_X[x][y], ay = m.ATARI_SITA_Y[x][y];
                const bool attacker_free = w.KUGI_SITA[ax][ay] == 0;
                if (m.HIMO_UE[x][y] == OU && (ks > 1 || c > weakest)) total -= 100;
                if (attacker_free && c > weakest) {
                    total -= c;
                    total += weakest;
                }
                if (ku > 0 && attacker_free) {
                    if (ks > ku && m.HIMO_UE[x][y] >= weakest) total -= c;
                    if (y <= 3 && ku == ks && B[x][y + 1] != 0 && file_probe(*e.pos, x, y + 1) == 1) {
                        total -= c;
                        total -= iabs(m.ATARI_SITA[x][y + 1]);
                    }
                }
                if (ku == 0) {
                    total -= c;
                    if (y <= 3) total -= 10;
                    if (is_sita(w.BAN_MAE[x][y])) total += iabs(w.BAN_MAE[x][y]);
                    if (y < 4 && (m.ATARI_SITA[x][y] == -HU || m.ATARI_SITA[x][y] == -KYOU)) total -= 20;
                }
            }

            if (is_sita(c)) {
                if (w.KIKI_UE_MAE[x][y] == 0 && ku > 0) {
                    if (c == -KEI && y > 2) {
                        const int behind = B[x][y - 1];
                        if ((behind == GIN || behind == UMA || behind == RYU) &&
                            m.KIKI_SITA[x][y - 1] == 0) {
                            total += 1;
                        }
                    }
                    if (iabs(x - ux) <= 2 && iabs(y - uy) <= 2) total += 15;
                }
                if (c == -KEI && y > 4 && B[x][y - 4] >= GIN) {
                    auto open_landing = [&](int lx, int ly) {
                        const int t = B[lx][ly];
                        return (t == KARA || is_ue(t)) && m.KIKI_UE[lx][ly] == 0;
                    };
                    if (x > 1 && open_landing(x - 1, y - 2)) total -= 1;
                    if (x < 9 && open_landing(x + 1, y - 2)) total -= 1;
                }
                if ((c == -HISHA || c == -RYU || c == -KYOU) && x == ux) total -= 1;
                if (dest_safe && (ks == 0 || (x == kx && y == ky)) &&
                    idou_kanou(*e.pos, to_x, to_y, x, y, placed) == 1) {
                    total += 0.1;
                    const int mag = iabs(c);
                    if (threats == 0 || mag < smallest_threat) smallest_threat = mag;
                    ++threats;
                }
            }
        }
    }
    if (threats >= 2) total += smallest_threat;
    return total;
}

double te_hyoka(const Engine& e, int captured, int placed, int from_x, int from_y, int to_x,
                int to_y) {
    const auto& B = e.pos->BAN;
    const auto& m = e.maps;
    const auto& w = e.work;
    const int kx = e.pos->OU_SITA_X, ky = e.pos->OU_SITA_Y;
    const int ux = e.pos->OU_UE_X, uy = e.pos->OU_UE_Y;
    const bool drop = from_x == UE_TE_X;
    double s = 0.0;

    if (captured == -OU) return 9999;
    if (m.KIKI_SITA[ux][uy] >= 1) return -9998;

    const bool check = m.KIKI_UE[kx][ky] > 0;
    if (check) {
        if (tsumi_hantei(e) == 1) return placed == HU ? -9998 : 9998;
        if (m.ATARI_SITA[to_x][to_y] == -OU && m.KIKI_UE[to_x][to_y] > 0) s += 100;
        if (iabs(to_x - kx) == 1 && iabs(to_y - ky) == 1 && m.KIKI_SITA[to_x][to_y] <= 2 &&
            m.HIMO_UE[to_x][to_y] == RYU &&
            (m.HIMO_UE_X[to_x][to_y] == kx || m.HIMO_UE_Y[to_x][to_y] == ky)) {
            s += 900;
        }
        if (m.KIKI_SITA[to_x][to_y] == 0) s += 10;
    }

    if (drop) {
        s -= 5;
    } else {
        if (to_x == from_x - 1 && to_y == from_y) s -= 50;
        if (placed > w.UGOKI_KOMA) s += 10;
    }

    {
        const int dx = iabs(to_x - kx), dy = iabs(to_y - ky);
        if (dx > dy) {
            if (w.MOTO_KYORI > dx) s += 1;
        } else {
            if (w.MOTO_KYORI > dy) s += 0.1;
        }
    }

    s += ban_anzen_hyoka(e, placed, to_x, to_y);

    {
        // The weakest attacker is pinned to its king and our piece can take it.
        const int ax = m.ATARI_SITA_X[to_x][to_y], ay = m.ATARI_SITA_Y[to_x][to_y];
        const int ks_dest = m.KIKI_SITA[to_x][to_y];
        const bool few_attackers =
            ks_dest == 1 || (ks_dest == 2 && check && m.KIKI_UE[to_x][to_y] > 0);
        const bool line = (ay == ky && to_y != ky) || (ax == kx && to_x != kx) ||
                          ((to_x == kx || to_y == ky) && ax != kx && ay != ky);
        if (m.KIKI_SITA[ax][ay] > 0 && few_attackers && w.KUGI_SITA[ax][ay] == 1 && line &&
            idou_kanou(*e.pos, to_x, to_y, ax, ay, w.UGOKI_KOMA) == 1) {
            const int mx = w.ATARI_UE_X_MAE[ax][ay], my = w.ATARI_UE_Y_MAE[ax][ay];
            if (drop || B[mx][my] != 0) s += iabs(B[ax][ay]);
        }
    }

    if (m.KIKI_SITA[to_x][to_y] == 0) {
        if (placed != KAKU && placed != UMA && placed != OU && placed != HU) {
            s -= kaku_ryouto(e, to_x, to_y, placed);
        }
        if (placed == KYOU || (placed >= KAKU && placed <= RYU) ||
            (iabs(to_x - kx) <= 2 && iabs(to_y - ky) <= 2)) {
            const int n = nigeba_kazu(e);
            if (n < w.NIGEBA_KIJUN) s += w.NIGEBA_KIJUN - n;
        }
    } else if (m.KIKI_UE[to_x][to_y] > 0) {
        const int weakest = iabs(m.ATARI_SITA[to_x][to_y]);
        if (placed > weakest) {
            s -= placed;
            s += weakest;
        }
        if (m.ATARI_SITA[to_x][to_y] == -OU && to_y < ky && m.KIKI_UE[kx][ky] > 0) s += placed;
    } else if (drop) {
        s -= placed;
        s -= 50;
    }

    if (B[to_x][9] == -KYOU && (to_x == 1 || to_x == 9) && placed != KYOU && placed != HISHA &&
        placed != RYU && to_x != from_x) {
        s -= 0.1;
    }

    if (captured != 0) {
        const int gain = iabs(captured);
        if ((captured == -KAKU || captured == -UMA || captured == -HISHA || captured == -RYU) &&
            placed <= KIN) {
            s += gain;
        }
        if (e.COM_LEVEL == 1) return s;
        if (m.KIKI_SITA[to_x][to_y] > 0) {
            if (m.KIKI_UE[to_x][to_y] > 0) {
                if (placed < iabs(m.ATARI_SITA[to_x][to_y])) s += gain;
            } else if (!drop && w.KIKI_SITA_MAE[from_x][from_y] > 0 &&
                       anzen_idou_kazu(e, from_x, from_y, placed) == 0) {
                // The piece was lost where it stood anyway.
                s += gain;
            }
        } else {
            s += gain;
            if (captured == -TO || captured == -NARIKYOU || captured == -NARIKEI) s += 50;
        }
    }

    if (e.COM_LEVEL == 2) return s;

    TermInput in;
    in.from_x = from_x;
    in.from_y = from_y;
    in.to_x = to_x;
    in.to_y = to_y;
    in.koma = placed;
    in.captured = captured;
    return koma_betsu_hyoka(e, in, s);
}

}  // namespace zemtori
