// The score of one candidate of the computer, taken on the trial position with
// freshly built attack maps: material and safety from the maps, a few short
// probes with idou_kanou, and the per-kind terms at the end.
#include <algorithm>

#include "engine/engine.h"
#include "engine/terms.h"
#include "rules/board.h"
#include "rules/legality.h"

namespace zemtori {

int nigeba_kazu(Engine& e) {
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

int anzen_idou_kazu(Engine& e, int x, int y, int code) {
    const auto& m = e.maps;
    int n = 0;
    for (int tx = 1; tx <= 9; ++tx) {
        for (int ty = 1; ty <= 9; ++ty) {
            if (idou_kanou(*e.pos, x, y, tx, ty, code) != 1) continue;
            const int guard = code >= 10 ? m.KIKI_SITA[tx][ty] : m.KIKI_UE[tx][ty];
            if (guard == 0) ++n;
        }
    }
    return n;
}

void pin_keisan(Engine& e) {
    auto& B = e.pos->BAN;
    auto& w = e.work;
    const int kx = e.pos->OU_SITA_X, ky = e.pos->OU_SITA_Y;
    const int ux = e.pos->OU_UE_X, uy = e.pos->OU_UE_Y;
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y) w.KUGI_SITA[x][y] = 0;
    w.KUGI_UE_ARI = 0;

    auto is_slider = [](int c) {
        const int a = iabs(c);
        return a == 20 || a == 60 || a == 61 || a == 70 || a == 71;
    };
    // Does a slider of the side whose codes have sign `sign` reach (gx, gy)?
    auto slider_reaches = [&](int sign, int gx, int gy) {
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                const int c = B[x][y];
                if (c * sign <= 0 || !is_slider(c)) continue;
                if (idou_kanou(*e.pos, x, y, gx, gy, c) == 1) return true;
            }
        }
        return false;
    };

    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            const int c = B[x][y];
            if (c == 0) continue;
            B[x][y] = 0;
            if (c <= -10) {
                if (slider_reaches(+1, kx, ky)) w.KUGI_SITA[x][y] = 1;
            } else if (c >= 10) {
                if (slider_reaches(-1, ux, uy)) w.KUGI_UE_ARI = 1;
            }
            B[x][y] = c;
        }
    }
}

void kaku_uchi_keisan(Engine& e) {
    const auto& B = e.pos->BAN;
    const auto& m = e.maps;
    auto& w = e.work;
    const int ux = e.pos->OU_UE_X, uy = e.pos->OU_UE_Y;
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y) w.KAKU_UCHI_SITA[x][y] = 0;
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            if (B[x][y] != 0 || m.KIKI_UE[x][y] != 0) continue;
            if (idou_kanou(*e.pos, x, y, ux, uy, -60) == 1) w.KAKU_UCHI_SITA[x][y] = 1;
        }
    }
}

int kaku_ryouto(Engine& e, int to_x, int to_y, int placed) {
    const auto& B = e.pos->BAN;
    const auto& w = e.work;
    // The first square from which a dropped lower bishop would hit our king
    // and that a bishop on the destination would also reach: a fork square.
    int sx = 0, sy = 0;
    for (int x = 1; x <= 9 && sx == 0; ++x) {
        for (int y = 1; y <= 9; ++y) {
            if (w.KAKU_UCHI_SITA[x][y] != 1) continue;
            if (idou_kanou(*e.pos, to_x, to_y, x, y, -60) == 1 ||
                idou_kanou(*e.pos, to_x, to_y, x, y, -61) == 1) {
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
            if (c != -60 && c != -61) continue;
            if (idou_kanou(*e.pos, x, y, sx, sy, c) == 1) return placed;
        }
    }
    return 0;
}

double ban_anzen_hyoka(Engine& e, int placed, int to_x, int to_y) {
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
                    if (file_probe(e, x, y) == 1) total -= 10;
                }
                if (y < 4 && B[x][y + 1] == -10 && m.KIKI_SITA[x][y + 1] >= m.KIKI_UE[x][y + 1]) {
                    total -= 30;
                    if (file_probe(e, x, y + 1) == 1) total -= 70;
                }
            }

            if (c == 0 && ku == 0) {
                if (y == 2 && B[x][1] == 30) total -= 5;
                if (y < 4) total -= 0.1;
            }

            if (c == 80 && y == 1 && m.KIKI_SITA[x][2] > 0) {
                total -= 50;
                if (m.KIKI_SITA[x][2] >= m.KIKI_UE[x][2]) total -= 250;
            }

            if (c >= 10 && ks > 0) {
                const int weakest = iabs(m.ATARI_SITA[x][y]);
                const int ax = m.ATARI_SITA_X[x][y], ay = m.ATARI_SITA_Y[x][y];
                const bool attacker_free = w.KUGI_SITA[ax][ay] == 0;
                if (m.HIMO_UE[x][y] == 80 && (ks > 1 || c > weakest)) total -= 100;
                if (attacker_free && c > weakest) {
                    total -= c;
                    total += weakest;
                }
                if (ku > 0 && attacker_free) {
                    if (ks > ku && m.HIMO_UE[x][y] >= weakest) total -= c;
                    if (y <= 3 && ku == ks && B[x][y + 1] != 0 && file_probe(e, x, y + 1) == 1) {
                        total -= c;
                        total -= iabs(m.ATARI_SITA[x][y + 1]);
                    }
                }
                if (ku == 0) {
                    total -= c;
                    if (y <= 3) total -= 10;
                    if (w.BAN_MAE[x][y] <= -10) total += iabs(w.BAN_MAE[x][y]);
                    if (y < 4 && (m.ATARI_SITA[x][y] == -10 || m.ATARI_SITA[x][y] == -20)) total -= 20;
                }
            }

            if (c <= -10) {
                if (w.KIKI_UE_MAE[x][y] == 0 && ku > 0) {
                    if (c == -30 && y > 2) {
                        const int behind = B[x][y - 1];
                        if ((behind == 40 || behind == 61 || behind == 71) &&
                            m.KIKI_SITA[x][y - 1] == 0) {
                            total += 1;
                        }
                    }
                    if (iabs(x - ux) <= 2 && iabs(y - uy) <= 2) total += 15;
                }
                if (c == -30 && y > 4 && B[x][y - 4] >= 40) {
                    auto open_landing = [&](int lx, int ly) {
                        const int t = B[lx][ly];
                        return (t == 0 || t >= 10) && m.KIKI_UE[lx][ly] == 0;
                    };
                    if (x > 1 && open_landing(x - 1, y - 2)) total -= 1;
                    if (x < 9 && open_landing(x + 1, y - 2)) total -= 1;
                }
                if ((c == -70 || c == -71 || c == -20) && x == ux) total -= 1;
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

double te_hyoka(Engine& e, int captured, int placed, int from_x, int from_y, int to_x, int to_y) {
    auto& B = e.pos->BAN;
    const auto& m = e.maps;
    const auto& w = e.work;
    const int kx = e.pos->OU_SITA_X, ky = e.pos->OU_SITA_Y;
    const int ux = e.pos->OU_UE_X, uy = e.pos->OU_UE_Y;
    const bool drop = from_x == UE_TE_X;
    double s = 0.0;

    if (captured == -80) return 9999;
    if (m.KIKI_SITA[ux][uy] >= 1) return -9998;

    const bool check = m.KIKI_UE[kx][ky] > 0;
    if (check) {
        if (tsumi_hantei(e) == 1) return placed == 10 ? -9998 : 9998;
        if (m.ATARI_SITA[to_x][to_y] == -80 && m.KIKI_UE[to_x][to_y] > 0) s += 100;
        if (iabs(to_x - kx) == 1 && iabs(to_y - ky) == 1 && m.KIKI_SITA[to_x][to_y] <= 2 &&
            m.HIMO_UE[to_x][to_y] == 71 &&
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
        if (placed != 60 && placed != 61 && placed != 80 && placed != 10) {
            s -= kaku_ryouto(e, to_x, to_y, placed);
        }
        if (placed == 20 || (placed >= 60 && placed <= 71) ||
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
        if (m.ATARI_SITA[to_x][to_y] == -80 && to_y < ky && m.KIKI_UE[kx][ky] > 0) s += placed;
    } else if (drop) {
        s -= placed;
        s -= 50;
    }

    if (B[to_x][9] == -20 && (to_x == 1 || to_x == 9) && placed != 20 && placed != 70 &&
        placed != 71 && to_x != from_x) {
        s -= 0.1;
    }

    if (captured != 0) {
        const int gain = iabs(captured);
        if ((captured == -60 || captured == -61 || captured == -70 || captured == -71) &&
            placed <= 50) {
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
            if (captured == -11 || captured == -21 || captured == -31) s += 50;
        }
    }

    if (e.COM_LEVEL == 2) return s;

    TermInput in;
    in.captured = captured;
    in.placed = placed;
    in.fx = from_x;
    in.fy = from_y;
    in.tx = to_x;
    in.ty = to_y;
    return koma_betsu_hyoka(e, in, s);
}

}  // namespace zemtori
