// Positional terms that depend on the kind of piece that now stands on the
// destination: the computer's playing style.  Several of them end the
// evaluation at once with the score reached plus or minus a constant.
#include "engine/terms.h"

#include "engine/scratch.h"

#include "rules/board.h"
#include "rules/legality.h"

namespace zemtori {

namespace {

// True when (x, y) has the lower king's x or y and lies within two squares of
// it in both directions.
bool near_king_line(const Position& p, int x, int y) {
    const int kx = p.OU_SITA_X, ky = p.OU_SITA_Y;
    return (x == kx || y == ky) && iabs(x - kx) <= 2 && iabs(y - ky) <= 2;
}

}  // namespace

int kinbou_omomi(const Position& p, int x, int y) {
    const auto& B = p.BAN;
    int n = 0;
    for (int i = x - 1; i <= x + 1; ++i) {
        for (int j = y - 1; j <= y + 1; ++j) {
            if (i == x && j == y) continue;
            if (i < 1 || i > 9 || j < 1 || j > 9) continue;
            if (B[i][j] >= KAKU) ++n;
        }
    }
    return -n;
}

int file_probe(const Position& p, int x, int y) {
    const auto& B = p.BAN;
    for (int j = y + 1; j <= 9; ++j) {
        const int q = B[x][j];
        if (is_ue(q)) return 0;
        if (q == -KYOU || q == -HISHA || q == -RYU) {
            // With (x, y) emptied, a lance, rook or promoted rook moving along
            // the file toward y = 1 gets there exactly when every square in
            // between is empty: lower pieces passed on the way block it.
            for (int k = y + 1; k < j; ++k)
                if (B[x][k] != KARA) return 0;
            return 1;
        }
    }
    return 0;
}

double term_hu(const Engine& e, const TermInput& in, double s) {
    const auto& B = e.pos->BAN;
    const auto& m = e.maps;
    const auto& w = e.work;
    const int tx = in.to_x, ty = in.to_y, fx = in.from_x, fy = in.from_y;

    if (ty < 9) {
        const int f = B[tx][ty + 1];
        if (f == KIN) s += 0.5;
        if (f == HISHA) s -= 1;
        if (f < -HU && anzen_idou_kazu(e, tx, ty + 1, f) == 0) s += iabs(f);
    }
    if (m.KIKI_UE[tx][ty] > 0 && 1 < tx && tx < 9) {
        if (B[tx + 1][ty] == HISHA || B[tx - 1][ty] == HISHA) s -= 1;
    }

    if (fx == UE_TE_X) {
        if (B[2][8] == -KAKU && tx == 2 && ty == 7 &&
            (m.KIKI_SITA[2][7] != 0 || m.KIKI_UE[2][7] > 0)) {
            s += 30;
        }
        const int ax = m.ATARI_SITA_X[tx][ty], ay = m.ATARI_SITA_Y[tx][ty];
        if (!(m.KIKI_SITA[ax][ay] == 0 && w.KIKI_UE_MAE[ax][ay] > 0)) {
            const int a = m.ATARI_SITA[tx][ty];
            if (m.KIKI_UE[tx][ty] > 0 && ax == tx && (a == -KYOU || a == -HISHA) && ay > ty) {
                return s + 120;
            }
        }
        return s;
    }

    s -= 0.1;
    if (m.HIMO_UE[tx][ty] == KIN || m.HIMO_UE[tx][ty] == GIN) s += 0.6;
    if (ty < 8) {
        if (m.HIMO_UE[tx][ty] == KYOU) {
            s += 1;
        } else if (m.HIMO_UE[tx][ty] == HISHA && m.HIMO_UE_X[tx][ty] == tx &&
                   m.KIKI_UE[tx][ty] >= m.KIKI_SITA[tx][ty] && m.HIMO_UE_Y[tx][ty] < ty) {
            s += 2;
        }

        if (m.KIKI_SITA[tx][ty + 1] == 0 && B[tx][ty + 2] <= -KEI) s += 1;

        if (ty < 7) {
            if (B[tx][ty + 1] == -HU && m.KIKI_SITA[tx][ty + 1] > 0) s -= 5;
            if (tx < 9 && B[tx + 1][ty] == KAKU) {
                s += 0.5;
                if (B[tx + 1][ty + 2] == -HU) s += 5;
            }
            if (tx > 1) {
                if (tx == 7 && ty == 4 && B[8][2] == KAKU) s += 10;
                if (B[tx - 1][ty] == KAKU) {
                    s += 0.5;
                    if (B[tx - 1][ty + 2] == -HU) s += 5;
                }
            }
        }

        if (is_sita(in.captured) && m.KIKI_UE[fx][fy] == 1) {
            if (ty > 2 && m.ATARI_SITA[tx][ty] == -KYOU && B[tx][ty - 2] == KAKU) {
                s -= 5;
            } else {
                s += 5;
            }
            if (in.captured == -HU &&
                (m.ATARI_SITA[tx][ty] == -KYOU || m.ATARI_SITA[tx][ty] == -HISHA)) {
                s += 50;
            }
        }

        const int front = B[tx][ty + 1];
        if (front <= -HU) {
            if (m.KIKI_UE[tx][ty] > m.KIKI_SITA[tx][ty]) return s + 1;
            if (front == -HU) return s - 5;
            if (m.KIKI_UE[tx][ty] > 0) {
                if (w.KIKI_UE_MAE[tx][ty + 1] > 0 && w.KIKI_SITA_MAE[tx][ty + 1] == 0) return s - 1;
                if (m.KIKI_UE[tx][ty] >= m.KIKI_SITA[tx][ty]) return s + 5;
            } else if (m.KIKI_SITA[tx][ty] == 0) {
                return s + 1;
            }
        }
    }
    return s;
}

double term_to(const Engine& e, const TermInput& in, double s) {
    const auto& m = e.maps;
    if (m.KIKI_UE[in.to_x][in.to_y] >= m.KIKI_SITA[in.to_x][in.to_y]) return s + 1;
    return s;
}

double term_kyou(const Engine& e, const TermInput& in, double s) {
    const auto& B = e.pos->BAN;
    const auto& m = e.maps;
    const int tx = in.to_x, ty = in.to_y;

    if (in.from_x == UE_TE_X) {
        if (ty < 8 && B[tx][ty + 1] <= -KYOU &&
            (m.KIKI_SITA[tx][ty + 1] == 0 || m.KIKI_UE[tx][ty + 1] >= m.KIKI_SITA[tx][ty + 1])) {
            for (int r = ty + 2; r <= 9; ++r) {
                if (B[tx][r] == 0) continue;
                // Should the piece in front give way, the lance reaches the
                // first piece behind it.
                if (idou_kanou(*e.pos, tx, ty + 1, tx, r, KYOU) == 1 && B[tx][r] < -KYOU) {
                    return s + iabs(B[tx][r]);
                }
                break;
            }
        }
        return s;
    }

    if (in.captured == 0) return s - 0.9;
    if (in.captured == -KYOU) {
        s += 10;
        if (m.KIKI_SITA[tx][ty] >= 1) return s + 10;
    }
    return s;
}

double term_kei(const Engine& e, const TermInput& in, double s) {
    const auto& B = e.pos->BAN;
    const auto& m = e.maps;
    const int tx = in.to_x, ty = in.to_y;

    s -= 0.1;
    // An unpromoted knight never stands on y = 8 or 9, so the squares ahead exist.
    if (ty < 9 && m.KIKI_SITA[tx][ty + 1] > 0) s -= 1;
    if (ty < 8 && 1 < tx && tx < 9) {
        if (m.KIKI_SITA[tx - 1][ty + 2] > 0 && m.KIKI_SITA[tx + 1][ty + 2] > 0) s -= 1;
        if (tx == 7 && ty == 3 && B[8][4] == KAKU) return s - 5;
    }
    return s;
}

double term_gin(const Engine& e, const TermInput& in, double s) {
    const auto& B = e.pos->BAN;
    const int tx = in.to_x, ty = in.to_y;
    if (ty <= 1) return s;

    if (ty > in.from_y) {
        if (B[7][5] == -GIN || B[8][5] == -GIN || B[9][5] == -GIN) {
            if (in.from_x == tx) s += 5;
        } else if (in.from_x == tx) {
            s -= 0.1;
        }
    }
    if (B[tx][ty - 1] == KEI) s -= 0.5;
    if (tx == 7 && ty == 3 && B[8][3] == HU && B[8][5] == -HU) return s + 115;
    return s;
}

double term_kin(const Engine& e, const TermInput& in, double s) {
    const auto& B = e.pos->BAN;
    const auto& m = e.maps;
    const int tx = in.to_x, ty = in.to_y;

    if (ty > in.from_y && tx != in.from_x) s -= 0.5;
    if (ty == 4 && B[6][4] == KAKU && m.KIKI_SITA[6][4] > 0) return s - 5;
    if (ty == 2 && B[8][3] == HU && B[8][6] == -HU) {
        if (tx == 7 && m.HIMO_SITA[8][6] == -HISHA) s += 10;
    }
    return s;
}

double term_kaku(const Engine& e, const TermInput& in, double s) {
    const auto& B = e.pos->BAN;
    const auto& m = e.maps;
    const auto& w = e.work;
    const int tx = in.to_x, ty = in.to_y, fx = in.from_x, fy = in.from_y;

    s += kinbou_omomi(*e.pos, tx, ty);
    if (ty < 9) {
        if (ty == 3) {
            if (tx == 9 && B[9][4] == HU && B[9][6] == -HU && B[9][9] == -KYOU) s -= 10;
            if (tx == 7 && B[8][5] == -HU && m.HIMO_SITA[8][5] == -HISHA) s += 9;
        }
        if (m.KIKI_SITA[tx][ty + 1] > 0) {
            if (anzen_idou_kazu(e, tx, ty, KAKU) == 0) s -= 100;
            if (ty < 8 && B[tx][ty + 2] == -HU) s -= 1;
        }
    }
    if (fy == 3) {
        if (fx == 9 && B[9][4] == HU && B[9][6] == -HU && m.HIMO_SITA[9][6] == -KYOU) s += 10;
        if (fx == 7 && B[8][5] == -HU && m.HIMO_SITA[8][5] == -HISHA &&
            m.KIKI_UE[8][4] < w.KIKI_UE_MAE[8][4]) {
            s -= 10;
        }
    }
    if (fx == UE_TE_X) {
        if (ty > 6) {
            if (anzen_idou_kazu(e, tx, ty, KAKU) <= 3) return s - 20;
        } else {
            if (ty == 5 && (tx == 1 || tx == 9) && B[tx][7] == -HU) s -= 10;
            if (tx == 4 && ty == 5 && B[5][8] == -KIN) return s - 10;
        }
    }
    return s;
}

double term_uma(const Engine& e, const TermInput& in, double s) {
    s += kinbou_omomi(*e.pos, in.to_x, in.to_y);
    return s;
}

double term_hisha(const Engine& e, const TermInput& in, double s) {
    const auto& B = e.pos->BAN;
    const auto& m = e.maps;
    const auto& w = e.work;
    const int tx = in.to_x, ty = in.to_y, fx = in.from_x, fy = in.from_y;

    s += kinbou_omomi(*e.pos, tx, ty);
    if (fx == UE_TE_X) {
        if (ty == 9 && B[tx][8] == -GIN && 1 < tx && tx < 9) {
            if ((B[tx + 1][8] == -KIN && B[tx - 1][9] != 0) ||
                (B[tx - 1][8] == -KIN && B[tx + 1][9] != 0)) {
                return s - 1;
            }
        }
        return s;
    }

    if (m.KIKI_SITA[tx][ty] == 0 && tx == 3 && ty == 4 && B[3][7] == -KAKU && B[3][6] == -HU &&
        B[3][5] == 0) {
        s += 7;
    }
    if (ty < 8) {
        if (m.KIKI_SITA[tx][ty + 1] > 0) {
            s -= 1;
            if (B[tx][ty + 2] == -HU && fy == ty) s -= 5;
        }
        if (fy < 9 && B[8][fy + 1] == -HU && m.HIMO_SITA[8][fy + 1] == -HISHA) {
            if (m.KIKI_UE[8][fy] < w.KIKI_UE_MAE[8][fy]) s -= 11;
            if (B[7][fy] == HU && ty != fy) s -= 11;
        }
        if (m.KIKI_SITA[fx][fy] == 0 && fx == 2 && fy == 2 && tx == 2 && ty == 3) s -= 1;
    }
    if (m.KIKI_SITA[tx][ty] == 0 || (m.ATARI_SITA[tx][ty] == -OU && m.KIKI_UE[tx][ty] > 0)) {
        if (anzen_idou_kazu(e, tx, ty, HISHA) <= 1) return s - 35;
        if (near_king_line(*e.pos, tx, ty)) return s + 100;
    }
    return s;
}

double term_ryu(const Engine& e, const TermInput& in, double s) {
    const auto& B = e.pos->BAN;
    const auto& m = e.maps;
    const int tx = in.to_x, ty = in.to_y, fx = in.from_x, fy = in.from_y;

    s += kinbou_omomi(*e.pos, tx, ty);
    if (B[tx][ty - 1] == -GIN && 1 < tx && tx < 9) {
        if ((B[tx + 1][ty - 1] == -KIN && B[tx - 1][ty] != 0) ||
            (B[tx - 1][ty - 1] == -KIN && B[tx + 1][ty] != 0)) {
            s -= 10;
        }
    }
    // fy = 9 only happens for a board move: hand slots run 1..7.
    if (fy == 9 && fx >= 1 && B[fx][8] == -GIN) {
        if (fx > 1 && B[fx - 1][8] == -KIN) s += 2;
        if (fx < 9 && B[fx + 1][8] == -KIN) s += 2;
    }
    if (ty == 9 && B[tx][8] <= -HU) {
        if ((tx == 3 && B[2][9] <= -HU && B[4][8] == -KIN) ||
            (tx == 7 && B[8][9] <= -HU && B[6][8] == -KIN)) {
            s -= 150;
        }
    }
    if ((m.KIKI_SITA[tx][ty] == 0 || (m.ATARI_SITA[tx][ty] == -OU && m.KIKI_UE[tx][ty] > 0)) &&
        near_king_line(*e.pos, tx, ty)) {
        return s + 100;
    }
    return s;
}

double term_ou(const Engine& e, const TermInput& in, double s) {
    const auto& m = e.maps;
    const auto& w = e.work;
    const int tx = in.to_x, ty = in.to_y;

    if (ty > 3) {
        s -= 15;
        s -= ty;
    }
    if (tx != 5) s += 1;
    if (w.KUGI_UE_ARI == 1) s += 10;
    if (m.KIKI_UE[tx][ty] > w.KIKI_UE_MAE[tx][ty]) s += 1;
    if (anzen_idou_kazu(e, tx, ty, OU) < 2) return s - 20;
    return s;
}

double koma_betsu_hyoka(const Engine& e, const TermInput& in, double s) {
    switch (in.koma) {
    case HU: return term_hu(e, in, s);
    case TO: return term_to(e, in, s);
    case KYOU: return term_kyou(e, in, s);
    case KEI: return term_kei(e, in, s);
    case GIN: return term_gin(e, in, s);
    case KIN: return term_kin(e, in, s);
    case KAKU: return term_kaku(e, in, s);
    case UMA: return term_uma(e, in, s);
    case HISHA: return term_hisha(e, in, s);
    case RYU: return term_ryu(e, in, s);
    case OU: return term_ou(e, in, s);
    default: return s;  // promoted lance, knight and silver
    }
}

}  // namespace zemtori
