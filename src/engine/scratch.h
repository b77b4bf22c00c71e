// Small tools the engine's probes share: a square changed for as long as a
// scope lasts, the sides of a code, and the squares a piece can reach at all.
#pragma once

#include "rules/board.h"
#include "rules/state.h"

namespace zemtori {

// Puts `code` on square (x, y) and puts back what stood there when the scope
// ends, on every path out of it (an early return included).
class KariOki {
public:
    KariOki(Position& pos, int x, int y, int code) : square_(pos.BAN[x][y]), moto_(square_) {
        square_ = code;
    }
    ~KariOki() { square_ = moto_; }
    KariOki(const KariOki&) = delete;
    KariOki& operator=(const KariOki&) = delete;

private:
    int& square_;
    int moto_;
};

constexpr bool is_ue(int code) { return code >= HU; }
constexpr bool is_sita(int code) { return code <= -HU; }

// Lance, bishop, rook and their promoted kinds other than the lance's: the
// pieces whose reach depends on the squares in between.
constexpr bool is_slider(int code) {
    switch (iabs(code)) {
    case KYOU: case KAKU: case UMA: case HISHA: case RYU: return true;
    default: return false;
    }
}

// The squares x0..x1, y0..y1 (on the board) that hold every destination a
// piece `koma` standing on (x, y) can move to; the whole board for a bishop,
// a rook, their promoted kinds and any code that is not a piece.  Scanning the
// box in the usual order (x, then y, ascending) meets the reachable squares in
// the same order as scanning the whole board.
struct ReachBox {
    int x0 = 1, x1 = 9, y0 = 1, y1 = 9;
};

constexpr ReachBox reach_box(int koma, int x, int y) {
    if (!on_board(x, y)) return ReachBox{};
    // The piece's columns run from `near` to `far` squares ahead of it (ahead
    // is +y for the upper side, -y for the lower); its rows from x - side to
    // x + side.
    int side = 0, near = 0, far = 0;
    switch (iabs(koma)) {
    case HU: near = far = 1; break;
    case KEI: side = 1; near = far = 2; break;
    case KYOU: near = 1; far = 8; break;
    case GIN: case KIN: case TO: case NARIKYOU: case NARIKEI: case NARIGIN: case OU:
        side = 1; near = -1; far = 1; break;
    default: return ReachBox{};
    }
    const int ahead = koma > 0 ? 1 : -1;
    int ya = y + ahead * near, yb = y + ahead * far;
    if (ya > yb) {
        const int t = ya;
        ya = yb;
        yb = t;
    }
    ReachBox b{x - side, x + side, ya, yb};
    if (b.x0 < 1) b.x0 = 1;
    if (b.x1 > 9) b.x1 = 9;
    if (b.y0 < 1) b.y0 = 1;
    if (b.y1 > 9) b.y1 = 9;
    return b;
}

}  // namespace zemtori
