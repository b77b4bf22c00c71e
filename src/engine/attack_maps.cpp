// The attack-map pass: for every square, how many pieces of each side reach
// it, the weakest defender and attacker of the piece standing there, the
// kings' squares and the lines along which a king is in check.
//
// The two sides are not recorded alike.  Every lower move records defence and
// attack with the mover's code; upper moves record them only for some kinds of
// move, and only some of those also write the mover's square.  The squares
// HIMO_UE_X/Y and ATARI_UE_X/Y are never reset, so where a pass lowers the
// code without a square they keep what an earlier pass wrote.
//
// This runs once for every candidate of the search, so it is plain loops over
// fixed tables and allocates nothing.

#include "engine/engine.h"
#include "rules/board.h"

namespace zemtori {

namespace {

// How a lower move marks a check on the upper king.
enum class SitaMove { Step, Knight, King, Ray };

// The kinds of upper move; each records defence and attack its own way.
enum class UeMove { Pawn, Knight, Silver, Gold, UmaStep, RyuStep, King, Ray };

// Records square (tx, ty) as reached by the lower piece on (x, y) with the
// recorded code r.  A ray's check line is drawn by the ray itself.
inline void kiroku_sita(Engine& e, int x, int y, int tx, int ty, int r, SitaMove kind) {
    AttackMaps& m = e.maps;
    const int t = e.pos->BAN[tx][ty];
    m.KIKI_SITA[tx][ty] += 1;
    if (t < 0) {
        if (m.HIMO_SITA[tx][ty] > r) m.HIMO_SITA[tx][ty] = r;
    } else if (t > 0) {
        if (m.ATARI_SITA[tx][ty] < r) {
            m.ATARI_SITA[tx][ty] = r;
            m.ATARI_SITA_X[tx][ty] = x;
            m.ATARI_SITA_Y[tx][ty] = y;
        }
        if (t == OU) {
            if (kind == SitaMove::Step || kind == SitaMove::Knight) m.OUTE_SITA[x][y] = 9;
            if (kind == SitaMove::Knight) m.OUTE_SITA[tx][ty] = 9;
        }
    }
}

inline void himo_ue_sage(AttackMaps& m, int tx, int ty, int r) {
    if (m.HIMO_UE[tx][ty] > r) m.HIMO_UE[tx][ty] = r;
}

inline void himo_ue_sage(AttackMaps& m, int tx, int ty, int r, int x, int y) {
    if (m.HIMO_UE[tx][ty] > r) {
        m.HIMO_UE[tx][ty] = r;
        m.HIMO_UE_X[tx][ty] = x;
        m.HIMO_UE_Y[tx][ty] = y;
    }
}

inline void atari_ue_sage(AttackMaps& m, int tx, int ty, int r) {
    if (m.ATARI_UE[tx][ty] > r) m.ATARI_UE[tx][ty] = r;
}

inline void atari_ue_sage(AttackMaps& m, int tx, int ty, int r, int x, int y) {
    if (m.ATARI_UE[tx][ty] > r) {
        m.ATARI_UE[tx][ty] = r;
        m.ATARI_UE_X[tx][ty] = x;
        m.ATARI_UE_Y[tx][ty] = y;
    }
}

// Records square (tx, ty) as reached by the upper piece on (x, y).  The
// lower king is a lower piece too, so reaching it both records the attack
// (where the kind records one) and marks the check.
inline void kiroku_ue(Engine& e, int x, int y, int tx, int ty, int r, UeMove kind) {
    AttackMaps& m = e.maps;
    const int t = e.pos->BAN[tx][ty];
    m.KIKI_UE[tx][ty] += 1;
    if (t >= HU) {
        switch (kind) {
        case UeMove::Pawn: himo_ue_sage(m, tx, ty, HU); break;
        case UeMove::Knight:
        case UeMove::Silver: himo_ue_sage(m, tx, ty, r, x, y); break;
        case UeMove::Gold: himo_ue_sage(m, tx, ty, KIN); break;
        case UeMove::UmaStep: break;
        case UeMove::RyuStep: himo_ue_sage(m, tx, ty, RYU, x, y); break;
        case UeMove::King: himo_ue_sage(m, tx, ty, OU); break;
        case UeMove::Ray: himo_ue_sage(m, tx, ty, r, x, y); break;
        }
    } else if (t <= -HU) {
        switch (kind) {
        case UeMove::Pawn: atari_ue_sage(m, tx, ty, HU); break;
        case UeMove::RyuStep: atari_ue_sage(m, tx, ty, RYU, x, y); break;
        case UeMove::Ray: atari_ue_sage(m, tx, ty, r, x, y); break;
        default: break;
        }
        if (t == -OU && kind != UeMove::King && kind != UeMove::Ray) {
            m.OUTE_UE[x][y] = 9;
            if (kind == UeMove::Knight) m.OUTE_UE[tx][ty] = 9;
        }
    }
}

inline void step_sita(Engine& e, int x, int y, int dx, int dy, int r,
                      SitaMove kind = SitaMove::Step) {
    const int tx = x + dx, ty = y + dy;
    if (on_board(tx, ty)) kiroku_sita(e, x, y, tx, ty, r, kind);
}

inline void step_ue(Engine& e, int x, int y, int dx, int dy, int r, UeMove kind) {
    const int tx = x + dx, ty = y + dy;
    if (on_board(tx, ty)) kiroku_ue(e, x, y, tx, ty, r, kind);
}

// One sliding ray from (x, y).  A negative code makes it a lower ray.  The
// ray looks straight through the enemy king, so a king cannot step away from
// a slider along its line; any other piece ends it after being recorded.
void hashiri(Engine& e, int code, int x, int y, int dx, int dy) {
    const auto& ban = e.pos->BAN;
    const bool sita = code < 0;
    const int teki_ou = sita ? OU : -OU;
    auto& oute = sita ? e.maps.OUTE_SITA : e.maps.OUTE_UE;
    for (int tx = x + dx, ty = y + dy; on_board(tx, ty); tx += dx, ty += dy) {
        if (sita) kiroku_sita(e, x, y, tx, ty, code, SitaMove::Ray);
        else kiroku_ue(e, x, y, tx, ty, code, UeMove::Ray);
        const int t = ban[tx][ty];
        if (t == teki_ou) {
            for (int bx = x + dx, by = y + dy; bx != tx || by != ty; bx += dx, by += dy)
                oute[bx][by] = 1;
            oute[x][y] = 9;
        }
        if (t != 0 && t != teki_ou) break;
    }
}

constexpr int SITA_OU_STEPS[8][2] = {{0, -1}, {-1, -1}, {+1, -1}, {0, +1},
                                     {-1, +1}, {+1, +1}, {-1, 0}, {+1, 0}};

}  // namespace

// Straight rays toward y = 1, y = 9, x = 9 and x = 1.
void kiki_hashiri_y_minus(Engine& e, int code, int x, int y) { hashiri(e, code, x, y, 0, -1); }
void kiki_hashiri_y_plus(Engine& e, int code, int x, int y) { hashiri(e, code, x, y, 0, +1); }
void kiki_hashiri_x_plus(Engine& e, int code, int x, int y) { hashiri(e, code, x, y, +1, 0); }
void kiki_hashiri_x_minus(Engine& e, int code, int x, int y) { hashiri(e, code, x, y, -1, 0); }

// The gold pattern of a lower gold-mover, recording its own code.
void kiki_kin_sita(Engine& e, int code, int x, int y) {
    step_sita(e, x, y, 0, -1, code);
    step_sita(e, x, y, -1, -1, code);
    step_sita(e, x, y, +1, -1, code);
    step_sita(e, x, y, 0, +1, code);
    step_sita(e, x, y, -1, 0, code);
    step_sita(e, x, y, +1, 0, code);
}

// The gold pattern of an upper gold-mover: every one of them records 50.
void kiki_kin_ue(Engine& e, int x, int y) {
    step_ue(e, x, y, 0, -1, KIN, UeMove::Gold);
    step_ue(e, x, y, 0, +1, KIN, UeMove::Gold);
    step_ue(e, x, y, -1, +1, KIN, UeMove::Gold);
    step_ue(e, x, y, +1, +1, KIN, UeMove::Gold);
    step_ue(e, x, y, -1, 0, KIN, UeMove::Gold);
    step_ue(e, x, y, +1, 0, KIN, UeMove::Gold);
}

// The diagonal rays of a lower bishop or promoted bishop, both recording -60.
void kiki_kaku_sita(Engine& e, int x, int y) {
    hashiri(e, -KAKU, x, y, -1, -1);
    hashiri(e, -KAKU, x, y, +1, -1);
    hashiri(e, -KAKU, x, y, -1, +1);
    hashiri(e, -KAKU, x, y, +1, +1);
}

// The diagonal rays of an upper bishop or promoted bishop, recording `code`.
void kiki_kaku_ue(Engine& e, int code, int x, int y) {
    hashiri(e, code, x, y, -1, -1);
    hashiri(e, code, x, y, +1, -1);
    hashiri(e, code, x, y, -1, +1);
    hashiri(e, code, x, y, +1, +1);
}

namespace {

void hisha_rays(Engine& e, int code, int x, int y) {
    kiki_hashiri_y_plus(e, code, x, y);
    kiki_hashiri_y_minus(e, code, x, y);
    kiki_hashiri_x_plus(e, code, x, y);
    kiki_hashiri_x_minus(e, code, x, y);
}

void reset_maps(AttackMaps& m) {
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            m.KIKI_SITA[x][y] = 0;
            m.KIKI_UE[x][y] = 0;
            m.HIMO_SITA[x][y] = 999;
            m.HIMO_UE[x][y] = 999;
            m.ATARI_SITA[x][y] = -999;
            m.ATARI_SITA_X[x][y] = 0;
            m.ATARI_SITA_Y[x][y] = 0;
            m.ATARI_UE[x][y] = 999;
            m.OUTE_SITA[x][y] = 0;
            m.OUTE_UE[x][y] = 0;
        }
    }
}

void koma_kiki(Engine& e, int c, int x, int y) {
    switch (c) {
    // Lower pieces.
    case -HU: step_sita(e, x, y, 0, -1, c); break;
    case -KYOU: kiki_hashiri_y_minus(e, c, x, y); break;
    case -KEI:
        if (y >= 3) {
            step_sita(e, x, y, -1, -2, c, SitaMove::Knight);
            step_sita(e, x, y, +1, -2, c, SitaMove::Knight);
        }
        break;
    case -GIN:
        step_sita(e, x, y, 0, -1, c);
        step_sita(e, x, y, -1, -1, c);
        step_sita(e, x, y, +1, -1, c);
        step_sita(e, x, y, -1, +1, c);
        step_sita(e, x, y, +1, +1, c);
        break;
    case -TO: case -NARIKYOU: case -NARIKEI: case -NARIGIN: case -KIN:
        kiki_kin_sita(e, c, x, y);
        break;
    case -KAKU: kiki_kaku_sita(e, x, y); break;
    case -UMA:
        step_sita(e, x, y, 0, -1, c);
        step_sita(e, x, y, 0, +1, c);
        step_sita(e, x, y, -1, 0, c);
        step_sita(e, x, y, +1, 0, c);
        kiki_kaku_sita(e, x, y);
        break;
    case -HISHA: hisha_rays(e, c, x, y); break;
    case -RYU:
        hisha_rays(e, c, x, y);
        step_sita(e, x, y, -1, -1, c);
        step_sita(e, x, y, +1, -1, c);
        step_sita(e, x, y, -1, +1, c);
        step_sita(e, x, y, +1, +1, c);
        break;
    case -OU:
        e.pos->OU_SITA_X = x;
        e.pos->OU_SITA_Y = y;
        for (const auto& d : SITA_OU_STEPS) step_sita(e, x, y, d[0], d[1], c, SitaMove::King);
        break;

    // Upper pieces.
    case HU: step_ue(e, x, y, 0, +1, HU, UeMove::Pawn); break;
    case KYOU: kiki_hashiri_y_plus(e, c, x, y); break;
    case KEI:
        if (y <= 7) {
            step_ue(e, x, y, -1, +2, KEI, UeMove::Knight);
            step_ue(e, x, y, +1, +2, KEI, UeMove::Knight);
        }
        break;
    case GIN:
        step_ue(e, x, y, 0, +1, GIN, UeMove::Silver);
        step_ue(e, x, y, -1, +1, GIN, UeMove::Silver);
        step_ue(e, x, y, +1, +1, GIN, UeMove::Silver);
        step_ue(e, x, y, -1, -1, GIN, UeMove::Silver);
        step_ue(e, x, y, +1, -1, GIN, UeMove::Silver);
        break;
    case TO: case NARIKYOU: case NARIKEI: case NARIGIN: case KIN:
        kiki_kin_ue(e, x, y);
        break;
    case KAKU: kiki_kaku_ue(e, KAKU, x, y); break;
    case UMA:
        step_ue(e, x, y, 0, -1, UMA, UeMove::UmaStep);
        step_ue(e, x, y, 0, +1, UMA, UeMove::UmaStep);
        step_ue(e, x, y, -1, 0, UMA, UeMove::UmaStep);
        step_ue(e, x, y, +1, 0, UMA, UeMove::UmaStep);
        kiki_kaku_ue(e, UMA, x, y);
        break;
    case HISHA: hisha_rays(e, c, x, y); break;
    case RYU:
        hisha_rays(e, c, x, y);
        step_ue(e, x, y, -1, -1, RYU, UeMove::RyuStep);
        step_ue(e, x, y, +1, -1, RYU, UeMove::RyuStep);
        step_ue(e, x, y, -1, +1, RYU, UeMove::RyuStep);
        step_ue(e, x, y, +1, +1, RYU, UeMove::RyuStep);
        break;
    case OU:
        e.pos->OU_UE_X = x;
        e.pos->OU_UE_Y = y;
        for (const auto& d : SITA_OU_STEPS) step_ue(e, x, y, d[0], d[1], OU, UeMove::King);
        break;

    default: break;  // not a piece: ignored
    }
}

}  // namespace

void kiki_keisan(Engine& e) {
    reset_maps(e.maps);
    const auto& ban = e.pos->BAN;
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            const int c = ban[x][y];
            if (c != 0) koma_kiki(e, c, x, y);
        }
    }
}

}  // namespace zemtori
